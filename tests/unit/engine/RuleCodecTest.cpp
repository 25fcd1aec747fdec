#include "core/engine/RuleCodec.h"
#include "tests/unit/engine/RuleBuilders.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;
using namespace JsonEdit;

namespace {

QList<Rule> decodeRules(const QJsonObject& root) {
    return decodeOk(root).routes.value(0).rules;
}

TEST(RuleCodec, rulesAreReadAndWrittenBackUnchanged) {
    const QList<Rule> rules = decodeRules(document());
    ASSERT_EQ(rules.size(), 2);
    EXPECT_FALSE(rules[1].enabled);
    EXPECT_EQ(rules[1].when.predicates.value(2).comparisonOperator, CO::greaterThan);
    EXPECT_EQ(rules[1].when.groups.value(0).predicates.value(0).bundleID, QStringLiteral("com.a"));
    for (qsizetype i = 0; i < rules.size(); ++i)
        EXPECT_EQ(RuleCodec::encode(rules[i]), document()["routes"][0]["rules"][i].toObject()) << i;

    const Predicate bare = hotkey(std::nullopt);
    EXPECT_EQ(RuleCodec::encode(bare).keys(), QStringList({"id", "kind"}));
    Rule emptyName = rules[0];
    emptyName.name = "";
    EXPECT_EQ(RuleCodec::encode(emptyName).value("name"), "") << "an empty name is kept";
    const QString id = makeRuleIdentifier();
    EXPECT_EQ(id.size(), 36);
    EXPECT_EQ(id, id.toUpper());
}

TEST(RuleCodec, missingOrNullRequiredKeyFails) {
    QStringList keys;
    for (const char* key : {"id", "enabled", "when", "action", "when.id", "when.combine",
                            "when.predicates", "when.predicates[2].id", "when.predicates[0].kind",
                            "when.groups[0].predicates[1].id", "action.kind"})
        keys.append(QStringLiteral("routes[0].rules[1].") + key);
    expectRequired(keys);
}

TEST(RuleCodec, optionalKeysHoldingNullReadAsAbsent) {
    QJsonObject root = document();
    for (const char* key : {"name", "when.groups", "when.predicates[0].stringOperator",
                            "when.predicates[0].stringValue", "when.predicates[2].countValue",
                            "action.preferenceOrder", "action.bundleIDs", "action.bundleID"})
        root = set(root, QStringLiteral("routes[0].rules[1].") + key, QJsonValue::Null);
    const Rule r = decodeRules(root).value(1);
    EXPECT_EQ(r.name, std::nullopt);
    EXPECT_TRUE(r.when.groups.isEmpty());
    EXPECT_EQ(r.when.predicates.value(0).stringOperator, std::nullopt);
    EXPECT_EQ(r.when.predicates.value(0).stringValue, std::nullopt);
    EXPECT_EQ(r.when.predicates.value(2).countValue, std::nullopt);
    EXPECT_EQ(r.action, actionOf(Kind::specificEditor));
}

// The retired "modifierHeld" is only tolerated under its exact name, as a whole predicate.
TEST(RuleCodec, wrongTypesAndUnknownValuesFail) {
    const struct {
        const char* key;
        QJsonValue value;
        const char* suffix; // after the key's own path
    } rows[] = {
        {"when.predicates[0].kind", "fileSize", R"(: unknown value "fileSize")"},
        {"when.predicates[0].stringOperator", "startsWith", R"(: unknown value "startsWith")"},
        {"when.predicates[1].equalityOperator", "contains", R"(: unknown value "contains")"},
        {"when.predicates[2].comparisonOperator", "atLeast", R"(: unknown value "atLeast")"},
        {"when.predicates[2].countValue", "2", ": expected an integer, found a string"},
        {"when.predicates[2].countValue", 1.5, ": expected an integer, found 1.5"},
        {"when.predicates[1].kind", "ModifierHeld", R"(: unknown value "ModifierHeld")"},
        {"when.predicates[1]", "modifierHeld", ": expected an object, found a string"},
        {"when.groups[0].combine", "nand", R"(: unknown value "nand")"},
        {"when.groups", QJsonObject(), ": expected an array, found an object"},
        {"name", 1, ": expected a string, found a number"},
        {"action.kind", "openTwice", R"(: unknown value "openTwice")"},
        {"action.bundleIDs", "com.a", ": expected an array, found a string"},
        {"action.preferenceOrder", QJsonArray{"a", 5}, "[1]: expected a string, found a number"},
    };
    for (const auto& row : rows) {
        const QString key = QStringLiteral("routes[0].rules[1].") + row.key;
        EXPECT_EQ(decodeError(set(document(), key, row.value)), key + row.suffix);
    }
}

TEST(RuleCodec, retiredModifierHeldBetweenPredicatesIsDroppedAndNotWritten) {
    const QList<Rule> rules = decodeRules(set(document(), "routes[0].rules[1].when.predicates[1]",
                                              QJsonObject{{"kind", "modifierHeld"}}));
    ASSERT_EQ(rules.size(), 2);
    const QList<Predicate>& predicates = rules[1].when.predicates;
    ASSERT_EQ(predicates.size(), 2);
    EXPECT_EQ(predicates[0].id, "P0");
    EXPECT_EQ(predicates[1].id, "P2");
    EXPECT_FALSE(bytes(RuleCodec::encode(rules[1])).contains("modifierHeld"));
}

TEST(RuleCodec, actionEditorListIsNormalisedBothWays) {
    const std::pair<const char*, RuleAction> reads[] = {
        {R"({"kind": "specificEditor", "bundleID": "A"})", openIn({"A"})},
        {R"({"kind": "specificEditor", "bundleIDs": ["A", "B"]})", openIn({"A", "B"})},
        {R"({"kind": "specificEditor", "bundleIDs": []})", openIn({})},
        {R"({"kind": "specificEditor", "bundleID": "A", "bundleIDs": []})", openIn({"A"})},
        {R"({"kind": "specificEditor", "bundleID": "Z", "bundleIDs": ["A"]})",
         {Kind::specificEditor, "Z", QStringList{"A"}, std::nullopt}},
        {R"({"kind": "bestRunningEditor", "preferenceOrder": []})",
         actionOf(Kind::bestRunningEditor, QStringList())},
    };
    for (const auto& [json, action] : reads)
        EXPECT_EQ(RuleCodec::decodeAction(JsonNode(parse(json), "action")), action) << json;

    const std::pair<RuleAction, const char*> writes[] = {
        {{Kind::specificEditor, "A", QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":["A"],"kind":"specificEditor"})"},
        {{Kind::specificEditor, "Z", list("A B"), list("B")},
         R"({"bundleID":"A","bundleIDs":["A","B"],"kind":"specificEditor","preferenceOrder":["B"]})"},
        {openIn({}), R"({"kind":"specificEditor"})"},
        {{Kind::selectFromAllEditors, "A", QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":[],"kind":"selectFromAllEditors"})"},
    };
    for (const auto& [action, json] : writes)
        EXPECT_EQ(bytes(RuleCodec::encode(action)), json);
}

} // namespace
