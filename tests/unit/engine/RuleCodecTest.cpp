#include "core/engine/RuleCodec.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/unit/engine/RuleBuilders.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;

namespace {

const char documentWithRules[] = R"({"routes": [{"id": "markdown", "name": "Markdown", "rules": [
  {"id": "R0", "enabled": true,
   "when": {"id": "G0", "combine": "or", "predicates": []},
   "action": {"kind": "bestRunningEditor"}},
  {"id": "R1", "name": "Drafts", "enabled": false,
   "when": {"id": "G1", "combine": "and", "predicates": [
       {"id": "P0", "kind": "fileName", "stringOperator": "contains", "stringValue": "draft"},
       {"id": "P1", "kind": "parentFolder", "equalityOperator": "isNot", "folderPath": "~/x"},
       {"id": "P2", "kind": "runningEditors", "comparisonOperator": "greaterThan",
        "countValue": 2}],
     "groups": [{"id": "G2", "combine": "or", "predicates": [
       {"id": "P3", "kind": "creatorApp", "bundleID": "com.a", "stringValue": "A"},
       {"id": "P4", "kind": "hotkey", "hotkeyName": "rule-R1"}]}]},
   "action": {"kind": "specificEditor", "bundleIDs": ["com.a", "com.b"],
              "preferenceOrder": []}}
]}]})";

QJsonObject document() {
    return JsonEdit::parse(documentWithRules);
}

QList<Rule> decodeRules(const QJsonObject& root) {
    const auto result = RoutesFileCodec::decode(JsonEdit::bytes(root));
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        ADD_FAILURE() << error->description().toStdString();
        return {};
    }
    return std::get<RouteStoreState>(result).routes.first().rules;
}

QString decodeError(const QJsonObject& root) {
    const auto result = RoutesFileCodec::decode(JsonEdit::bytes(root));
    if (const auto* error = std::get_if<DecodeError>(&result))
        return error->description();
    return QStringLiteral("<decoded>");
}

TEST(RuleDecoding, readsEveryField) {
    const QList<Rule> rules = decodeRules(document());
    ASSERT_EQ(rules.size(), 2);
    EXPECT_FALSE(rules[0].name.has_value());
    EXPECT_TRUE(rules[0].when.groups.isEmpty());
    const Rule& r = rules[1];
    EXPECT_EQ(r.id, "R1");
    EXPECT_EQ(r.name, QStringLiteral("Drafts"));
    EXPECT_FALSE(r.enabled);
    EXPECT_EQ(r.when.combine, PredicateGroupCombine::and_);
    ASSERT_EQ(r.when.predicates.size(), 3);
    EXPECT_EQ(r.when.predicates[0].stringOperator, StringMatchOperator::contains);
    EXPECT_EQ(r.when.predicates[1].equalityOperator, EqualityOperator::isNot);
    EXPECT_EQ(r.when.predicates[1].folderPath, QStringLiteral("~/x"));
    EXPECT_EQ(r.when.predicates[2].comparisonOperator, ComparisonOperator::greaterThan);
    EXPECT_EQ(r.when.predicates[2].countValue, 2);
    ASSERT_EQ(r.when.groups.size(), 1);
    EXPECT_EQ(r.when.groups[0].combine, PredicateGroupCombine::or_);
    const Predicate& creator = r.when.groups[0].predicates[0];
    EXPECT_EQ(creator.kind, PredicateKind::creatorApp);
    EXPECT_FALSE(creator.equalityOperator.has_value());
    EXPECT_EQ(creator.bundleID, QStringLiteral("com.a"));
    EXPECT_EQ(r.when.groups[0].predicates[1].hotkeyName, QStringLiteral("rule-R1"));
    EXPECT_EQ(r.action.bundleID, QStringLiteral("com.a"));
    EXPECT_EQ(r.action.preferenceOrder, QStringList());
}

TEST(RuleDecoding, missingOrNullRequiredKeyFails) {
    const struct {
        const char* key;
        const char* expected;
    } rows[] = {
        {"routes[0].rules[1].id", R"(routes[0].rules[1]: missing key "id")"},
        {"routes[0].rules[1].enabled", R"(routes[0].rules[1]: missing key "enabled")"},
        {"routes[0].rules[1].when", R"(routes[0].rules[1]: missing key "when")"},
        {"routes[0].rules[1].action", R"(routes[0].rules[1]: missing key "action")"},
        {"routes[0].rules[1].when.id", R"(routes[0].rules[1].when: missing key "id")"},
        {"routes[0].rules[1].when.combine", R"(routes[0].rules[1].when: missing key "combine")"},
        {"routes[0].rules[1].when.predicates",
         R"(routes[0].rules[1].when: missing key "predicates")"},
        {"routes[0].rules[1].when.predicates[2].id",
         R"(routes[0].rules[1].when.predicates[2]: missing key "id")"},
        {"routes[0].rules[1].when.predicates[0].kind",
         R"(routes[0].rules[1].when.predicates[0]: missing key "kind")"},
        {"routes[0].rules[1].when.groups[0].predicates[1].id",
         R"(routes[0].rules[1].when.groups[0].predicates[1]: missing key "id")"},
        {"routes[0].rules[1].action.kind", R"(routes[0].rules[1].action: missing key "kind")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(decodeError(JsonEdit::remove(document(), row.key)), row.expected);
        EXPECT_EQ(decodeError(JsonEdit::set(document(), row.key, QJsonValue::Null)), row.expected);
    }
}

TEST(RuleDecoding, optionalKeysHoldingNullReadAsAbsent) {
    QJsonObject root = document();
    for (const char* key :
         {"routes[0].rules[1].name", "routes[0].rules[1].when.groups",
          "routes[0].rules[1].when.predicates[0].stringOperator",
          "routes[0].rules[1].when.predicates[0].stringValue",
          "routes[0].rules[1].when.predicates[2].countValue",
          "routes[0].rules[1].action.preferenceOrder", "routes[0].rules[1].action.bundleIDs"})
        root = JsonEdit::set(root, key, QJsonValue::Null);
    const Rule r = decodeRules(root).value(1);
    EXPECT_FALSE(r.name.has_value());
    EXPECT_TRUE(r.when.groups.isEmpty());
    EXPECT_FALSE(r.when.predicates[0].stringOperator.has_value());
    EXPECT_FALSE(r.when.predicates[0].stringValue.has_value());
    EXPECT_FALSE(r.when.predicates[2].countValue.has_value());
    EXPECT_FALSE(r.action.preferenceOrder.has_value());
    EXPECT_FALSE(r.action.bundleIDs.has_value());
}

TEST(RuleDecoding, wrongTypesAndUnknownValuesFail) {
    const struct {
        const char* key;
        QJsonValue value;
        const char* expected;
    } rows[] = {
        {"routes[0].rules[1].when.predicates[0].kind", "fileSize",
         R"(routes[0].rules[1].when.predicates[0].kind: unknown value "fileSize")"},
        {"routes[0].rules[1].when.predicates[0].kind", "FileName",
         R"(routes[0].rules[1].when.predicates[0].kind: unknown value "FileName")"},
        {"routes[0].rules[1].when.predicates[0].kind", 3,
         "routes[0].rules[1].when.predicates[0].kind: expected a string, found a number"},
        {"routes[0].rules[1].when.predicates[0].stringOperator", "startsWith",
         R"(routes[0].rules[1].when.predicates[0].stringOperator: unknown value "startsWith")"},
        {"routes[0].rules[1].when.predicates[1].equalityOperator", "contains",
         R"(routes[0].rules[1].when.predicates[1].equalityOperator: unknown value "contains")"},
        {"routes[0].rules[1].when.predicates[2].comparisonOperator", "atLeast",
         R"(routes[0].rules[1].when.predicates[2].comparisonOperator: unknown value "atLeast")"},
        {"routes[0].rules[1].when.predicates[2].countValue", "2",
         "routes[0].rules[1].when.predicates[2].countValue: expected an integer, found a string"},
        {"routes[0].rules[1].when.predicates[2].countValue", 1.5,
         "routes[0].rules[1].when.predicates[2].countValue: expected an integer, found 1.5"},
        {"routes[0].rules[1].when.combine", "xor",
         R"(routes[0].rules[1].when.combine: unknown value "xor")"},
        {"routes[0].rules[1].when.groups", QJsonObject(),
         "routes[0].rules[1].when.groups: expected an array, found an object"},
        {"routes[0].rules[1].when.groups[0].combine", "nand",
         R"(routes[0].rules[1].when.groups[0].combine: unknown value "nand")"},
        {"routes[0].rules[1].when", "always",
         "routes[0].rules[1].when: expected an object, found a string"},
        {"routes[0].rules[1].enabled", "true",
         "routes[0].rules[1].enabled: expected a boolean, found a string"},
        {"routes[0].rules[1].name", 1,
         "routes[0].rules[1].name: expected a string, found a number"},
        {"routes[0].rules[1].action.kind", "openTwice",
         R"(routes[0].rules[1].action.kind: unknown value "openTwice")"},
        {"routes[0].rules[1].action.bundleIDs", "com.a",
         "routes[0].rules[1].action.bundleIDs: expected an array, found a string"},
        {"routes[0].rules[1].action.preferenceOrder", QJsonArray{"a", 5},
         "routes[0].rules[1].action.preferenceOrder[1]: expected a string, found a number"},
        {"routes[0].rules[1].when.predicates[1]", "modifierHeld",
         "routes[0].rules[1].when.predicates[1]: expected an object, found a string"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(decodeError(JsonEdit::set(document(), row.key, row.value)), row.expected);
    }
}

TEST(RuleDecoding, retiredModifierHeldPredicateIsDropped) {
    QJsonObject root = JsonEdit::set(document(), "routes[0].rules[1].when.predicates[1]",
                                     QJsonObject{{"kind", "modifierHeld"}, {"modifier", "option"}});
    const QList<Rule> rules = decodeRules(root);
    ASSERT_EQ(rules.size(), 2);
    const QList<Predicate>& predicates = rules[1].when.predicates;
    ASSERT_EQ(predicates.size(), 2);
    EXPECT_EQ(predicates[0].id, "P0");
    EXPECT_EQ(predicates[1].id, "P2");

    // Not written back.
    const QJsonObject written = RuleCodec::encode(rules[1]);
    EXPECT_FALSE(QJsonDocument(written).toJson().contains("modifierHeld"));

    // Only the exact retired name is tolerated.
    root = JsonEdit::set(root, "routes[0].rules[1].when.predicates[1].kind", "ModifierHeld");
    EXPECT_EQ(decodeError(root),
              R"(routes[0].rules[1].when.predicates[1].kind: unknown value "ModifierHeld")");
}

RuleAction decodeAction(const char* json) {
    return RuleCodec::decodeAction(JsonNode(JsonEdit::parse(json), "action"));
}

TEST(RuleDecoding, actionEditorListIsNormalised) {
    const struct {
        const char* json;
        std::optional<QString> bundleID;
        std::optional<QStringList> bundleIDs;
    } rows[] = {
        {R"({"kind": "specificEditor", "bundleID": "A"})", "A", QStringList{"A"}},
        {R"({"kind": "specificEditor", "bundleIDs": ["A", "B"]})", "A", QStringList{"A", "B"}},
        {R"({"kind": "specificEditor", "bundleIDs": []})", std::nullopt, std::nullopt},
        {R"({"kind": "specificEditor", "bundleID": "A", "bundleIDs": []})", "A", QStringList{"A"}},
        {R"({"kind": "specificEditor", "bundleID": "Z", "bundleIDs": ["A", "B"]})", "Z",
         QStringList{"A", "B"}},
        {R"({"kind": "bestRunningEditor"})", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        const RuleAction action = decodeAction(row.json);
        EXPECT_EQ(action.bundleID, row.bundleID);
        EXPECT_EQ(action.bundleIDs, row.bundleIDs);
        EXPECT_FALSE(action.preferenceOrder.has_value());
    }
    EXPECT_EQ(
        decodeAction(R"({"kind": "bestRunningEditor", "preferenceOrder": []})").preferenceOrder,
        QStringList());
}

TEST(RuleEncoding, actionKeys) {
    const struct {
        const char* name;
        RuleAction action;
        const char* expected;
    } rows[] = {
        {"specific editor from bundleID only",
         {RuleActionKind::specificEditor, QStringLiteral("A"), QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":["A"],"kind":"specificEditor"})"},
        {"specific editor takes its first listed editor",
         {RuleActionKind::specificEditor, QStringLiteral("Z"), QStringList{"A", "B"},
          QStringList{"B"}},
         R"({"bundleID":"A","bundleIDs":["A","B"],"kind":"specificEditor","preferenceOrder":["B"]})"},
        {"specific editor without editors",
         {RuleActionKind::specificEditor, std::nullopt, std::nullopt, std::nullopt},
         R"({"kind":"specificEditor"})"},
        {"best running editor, bare",
         {RuleActionKind::bestRunningEditor, std::nullopt, std::nullopt, std::nullopt},
         R"({"kind":"bestRunningEditor"})"},
        {"empty preference order stays",
         {RuleActionKind::bestRunningEditor, std::nullopt, std::nullopt, QStringList()},
         R"({"kind":"bestRunningEditor","preferenceOrder":[]})"},
        {"other kinds keep editor fields as stored",
         {RuleActionKind::selectFromAllEditors, QStringLiteral("A"), QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":[],"kind":"selectFromAllEditors"})"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QJsonDocument(RuleCodec::encode(row.action)).toJson(QJsonDocument::Compact),
                  QByteArray(row.expected));
    }
}

TEST(RuleEncoding, predicateGroupAndRuleKeys) {
    Predicate bare;
    bare.id = "P";
    bare.kind = PredicateKind::hotkey;
    EXPECT_EQ(RuleCodec::encode(bare).keys(), QStringList({"id", "kind"}));

    Predicate full = runningEditors(ComparisonOperator::lessThan, 3);
    full.stringOperator = StringMatchOperator::isNot;
    full.equalityOperator = EqualityOperator::isNot;
    full.stringValue = "";
    full.folderPath = "/a";
    full.bundleID = "b";
    full.hotkeyName = "h";
    const QJsonObject o = RuleCodec::encode(full);
    EXPECT_EQ(o.keys(), QStringList({"bundleID", "comparisonOperator", "countValue",
                                     "equalityOperator", "folderPath", "hotkeyName", "id", "kind",
                                     "stringOperator", "stringValue"}));
    EXPECT_EQ(o.value("comparisonOperator").toString(), "lessThan");
    EXPECT_EQ(o.value("countValue").toInteger(), 3);

    const QJsonObject g =
        RuleCodec::encode(PredicateGroup{"G", PredicateGroupCombine::or_, {}, {}});
    EXPECT_EQ(g.keys(), QStringList({"combine", "groups", "id", "predicates"}));
    EXPECT_EQ(g.value("combine").toString(), "or");
    EXPECT_EQ(g.value("groups").toArray(), QJsonArray());

    Rule unnamed = rule(allOf({}), actionOf(RuleActionKind::defaultEditor));
    EXPECT_EQ(RuleCodec::encode(unnamed).keys(), QStringList({"action", "enabled", "id", "when"}));
    unnamed.name = "";
    EXPECT_TRUE(RuleCodec::encode(unnamed).contains("name"));
}

TEST(RuleEncoding, roundTripThroughTheDocument) {
    const QList<Rule> rules = decodeRules(document());
    Route route;
    route.id = "r";
    route.name = "R";
    route.rules = rules;
    route.rules.append(rule(anyOf({hotkey("rule-x"), creatorApp(EqualityOperator::is, "c", "n")},
                                  {allOf({}, {anyOf({never()})})}),
                            openIn({"A", "B", "C"}), true, QStringLiteral("Nested")));
    route.normalizeUtilities();
    RouteStoreState state;
    state.routes = {route};
    const auto back = RoutesFileCodec::decode(RoutesFileCodec::encode(state));
    ASSERT_TRUE(std::holds_alternative<RouteStoreState>(back));
    EXPECT_EQ(std::get<RouteStoreState>(back).routes.first().rules, route.rules);
}

TEST(RuleEquality, comparesIdentifiersToo) {
    const Rule a = rule(allOf({always()}), openIn({"A"}));
    Rule b = a;
    EXPECT_EQ(a, b);
    b.id = makeRuleIdentifier();
    EXPECT_NE(a, b);
    b = a;
    b.when.predicates[0].id = "other";
    EXPECT_NE(a, b);
    b = a;
    b.action.bundleIDs = QStringList{"A", "A"};
    EXPECT_NE(a, b);
}

TEST(RuleIdentifiers, areUpperCaseUuidsWithoutBraces) {
    const QString id = makeRuleIdentifier();
    EXPECT_EQ(id.size(), 36);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_FALSE(id.contains('{'));
    EXPECT_NE(id, makeRuleIdentifier());
    const Rule r{id, std::nullopt, true, {}, {}};
    EXPECT_EQ(r.hotkeyName(), "rule-" + id);
}

TEST(RuleEnumerations, storedNamesRoundTrip) {
    for (auto kind :
         {PredicateKind::fileName, PredicateKind::fileExtension, PredicateKind::parentFolder,
          PredicateKind::creatorApp, PredicateKind::hotkey, PredicateKind::runningEditors})
        EXPECT_EQ(fromString<PredicateKind>(toString(kind)), kind);
    for (auto kind : {RuleActionKind::specificEditor, RuleActionKind::bestRunningEditor,
                      RuleActionKind::defaultEditor, RuleActionKind::selectFromAllEditors,
                      RuleActionKind::selectFromRunningEditors})
        EXPECT_EQ(fromString<RuleActionKind>(toString(kind)), kind);
    EXPECT_EQ(toString(PredicateGroupCombine::and_), "and");
    EXPECT_EQ(toString(PredicateGroupCombine::or_), "or");
    EXPECT_EQ(toString(StringMatchOperator::isNot), "isNot");
    EXPECT_EQ(toString(ComparisonOperator::greaterThan), "greaterThan");
    EXPECT_FALSE(fromString<PredicateGroupCombine>("and_").has_value());
    EXPECT_EQ(allStringMatchOperators.size(), 3u);
    EXPECT_EQ(allEqualityOperators.back(), EqualityOperator::isNot);
    EXPECT_EQ(allComparisonOperators.front(), ComparisonOperator::is);
}

} // namespace
