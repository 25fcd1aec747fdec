#include "core/model/Route.h"
#include "core/model/RoutesFileCodec.h"
#include "tests/support/FakeTypeSystem.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

namespace {

Editor editor(const QString& id, const QString& name, bool enabled = true) {
    return Editor{id, name, false, enabled, false, std::nullopt};
}

Route routeWithBAC() {
    Route r;
    r.id = "markdown";
    r.name = "Markdown";
    r.editors = {editor("B", "Beta"), editor("A", "Alpha"), editor("C", "Cobalt"),
                 editor("X", "Xylo", false)};
    return r;
}

TEST(RouteNormalisation, utilitiesBecomeThreeInFixedOrder) {
    const RouteStoreState state = std::get<RouteStoreState>(RoutesFileCodec::decode(R"({"routes": [
        {"id": "x", "name": "X", "utilities": [
            {"kind": "openParentInTerminal", "enabled": false,
             "terminalBundleID": "com.googlecode.iterm2"}]}]})"));
    const QList<PickerUtility> expected{
        PickerUtility{PickerUtilityKind::copyPOSIXPath, true, std::nullopt},
        PickerUtility{PickerUtilityKind::revealInFinder, true, std::nullopt},
        PickerUtility{PickerUtilityKind::openParentInTerminal, false,
                      QStringLiteral("com.googlecode.iterm2")}};
    EXPECT_EQ(state.routes[0].utilities, expected);
}

TEST(RouteNormalisation, laterUtilityEntryOfTheSameKindWins) {
    Route r;
    r.utilities = {PickerUtility{PickerUtilityKind::revealInFinder, false, std::nullopt},
                   PickerUtility{PickerUtilityKind::copyPOSIXPath, false, QStringLiteral("kept")},
                   PickerUtility{PickerUtilityKind::revealInFinder, true, QStringLiteral("t")}};
    r.normalizeUtilities();
    ASSERT_EQ(r.utilities.size(), 3);
    EXPECT_EQ(r.utilities[0],
              (PickerUtility{PickerUtilityKind::copyPOSIXPath, false, QStringLiteral("kept")}));
    EXPECT_EQ(r.utilities[1],
              (PickerUtility{PickerUtilityKind::revealInFinder, true, QStringLiteral("t")}));
    EXPECT_EQ(r.utilities[2], PickerUtility::makeDefault(PickerUtilityKind::openParentInTerminal));
    EXPECT_TRUE(r.utilities[2].terminalBundleID.has_value());
}

TEST(RouteNormalisation, defaultRuleIsNarrowedToThreeKinds) {
    const struct {
        std::optional<RuleActionKind> in;
        RuleActionKind out;
    } rows[] = {
        {std::nullopt, RuleActionKind::specificEditor},
        {RuleActionKind::specificEditor, RuleActionKind::specificEditor},
        {RuleActionKind::bestRunningEditor, RuleActionKind::specificEditor},
        {RuleActionKind::defaultEditor, RuleActionKind::specificEditor},
        {RuleActionKind::selectFromAllEditors, RuleActionKind::selectFromAllEditors},
        {RuleActionKind::selectFromRunningEditors, RuleActionKind::selectFromRunningEditors},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Route::normalizedDefaultActionKind(row.in), row.out);

    const auto decoded = RoutesFileCodec::decode(
        R"({"routes": [{"id": "x", "name": "X", "defaultActionKind": "bestRunningEditor"}]})");
    EXPECT_EQ(std::get<RouteStoreState>(decoded).routes[0].defaultActionKind,
              RuleActionKind::specificEditor);
}

TEST(RouteNormalisation, preferenceOrder) {
    const struct {
        const char* name;
        QStringList stored;
        std::optional<QString> active;
        QStringList expected;
    } rows[] = {
        {"stored order kept, stale dropped, rest by name",
         {"C", "X"},
         std::nullopt,
         {"C", "A", "B"}},
        {"empty order starts with the active editor", {}, QStringLiteral("B"), {"B", "A", "C"}},
        {"active editor ignored when an order survives",
         {"C"},
         QStringLiteral("B"),
         {"C", "A", "B"}},
        {"disabled active editor is not promoted", {}, QStringLiteral("X"), {"A", "B", "C"}},
        {"repeated entry stays repeated", {"A", "A"}, std::nullopt, {"A", "A", "B", "C"}},
        {"stale entries only", {"gone"}, QStringLiteral("C"), {"C", "A", "B"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Route r = routeWithBAC();
        r.defaultPreferenceOrder = row.stored;
        r.activeBundleID = row.active;
        r.normalizePreferenceOrder();
        EXPECT_EQ(r.defaultPreferenceOrder, row.expected);
    }
}

Rule ruleWith(RuleAction action) {
    Rule rule;
    rule.id = makeRuleIdentifier();
    rule.action = std::move(action);
    return rule;
}

TEST(RouteNormalisation, purgeEditorReferences) {
    Route r = routeWithBAC();
    r.defaultOpenBundleIDs = QStringList{"com.x", "A", "com.x"};
    r.rules = {
        ruleWith({RuleActionKind::specificEditor, QStringLiteral("com.x"), QStringList{"com.x"},
                  QStringList{"A"}}),
        ruleWith({RuleActionKind::specificEditor, QStringLiteral("com.x"),
                  QStringList{"com.x", "B", "com.x", "C"}, std::nullopt}),
        ruleWith(
            {RuleActionKind::specificEditor, QStringLiteral("com.x"), std::nullopt, std::nullopt}),
        ruleWith(
            {RuleActionKind::bestRunningEditor, std::nullopt, std::nullopt, QStringList{"com.x"}}),
        ruleWith({RuleActionKind::selectFromAllEditors, QStringLiteral("com.x"),
                  QStringList{"com.x"}, std::nullopt}),
    };
    r.purgeEditorReferences("com.x");

    EXPECT_EQ(r.defaultOpenBundleIDs, QStringList({"A"}));
    ASSERT_EQ(r.rules.size(), 5);
    EXPECT_EQ(r.rules[0].action, (RuleAction{RuleActionKind::specificEditor, std::nullopt,
                                             std::nullopt, std::nullopt}));
    EXPECT_EQ(r.rules[1].action, (RuleAction{RuleActionKind::specificEditor, QStringLiteral("B"),
                                             QStringList{"B", "C"}, std::nullopt}));
    EXPECT_EQ(r.rules[2].action, (RuleAction{RuleActionKind::specificEditor, std::nullopt,
                                             std::nullopt, std::nullopt}));
    // The list stays present even when it becomes empty.
    EXPECT_EQ(r.rules[3].action.preferenceOrder, QStringList());
    // Other kinds keep their editor fields.
    EXPECT_EQ(r.rules[4].action.bundleIDs, QStringList({"com.x"}));

    r.purgeEditorReferences("A");
    EXPECT_FALSE(r.defaultOpenBundleIDs.has_value());
}

TEST(RouteHelpers, editorViews) {
    Route r = routeWithBAC();
    QStringList enabled;
    for (const Editor& e : r.enabledEditors())
        enabled.append(e.bundleID);
    EXPECT_EQ(enabled, QStringList({"B", "A", "C"}));

    EXPECT_FALSE(r.activeEditor().has_value());
    r.activeBundleID = "X";
    ASSERT_TRUE(r.activeEditor().has_value());
    EXPECT_EQ(r.activeEditor()->name, "Xylo"); // disabled, still the active editor
    r.activeBundleID = "x";
    EXPECT_FALSE(r.activeEditor().has_value()); // identifiers are case-sensitive

    const QList<Editor> found = editorsForBundleIDs({"C", "nope", "b", "C", "A"}, r.editors);
    QStringList ids;
    for (const Editor& e : found)
        ids.append(e.bundleID);
    EXPECT_EQ(ids, QStringList({"C", "C", "A"}));
}

TEST(RouteHelpers, sortingIsCaseInsensitiveAndStable) {
    QList<Editor> editors{editor("1", "beta"), editor("2", "Alpha"), editor("3", "Beta"),
                          editor("4", "alpha")};
    sortEditorsByName(editors);
    QStringList ids;
    for (const Editor& e : editors)
        ids.append(e.bundleID);
    EXPECT_EQ(ids, QStringList({"2", "4", "1", "3"}));
}

TEST(RouteHelpers, typeMembership) {
    FakeTypeSystem types;
    types.addType("text/x-test", {"tst"});
    Route r;
    r.extensions = {"tst", "unknownext"};
    r.probeIdentifiers = {"net.example.probe"};
    EXPECT_TRUE(r.contentTypes(types).contains("text/x-test"));
    EXPECT_TRUE(r.matchesTypeIdentifier(QStringLiteral("text/x-test"), types));
    EXPECT_TRUE(r.matchesTypeIdentifier(QStringLiteral("net.example.probe"), types));
    EXPECT_FALSE(r.matchesTypeIdentifier(QStringLiteral(""), types));
    EXPECT_FALSE(r.matchesTypeIdentifier(std::nullopt, types));
    EXPECT_FALSE(r.matchesTypeIdentifier(QStringLiteral("text/plain"), types));

    EXPECT_FALSE(r.isHTMLRoute());
    r.extensions.append("htm");
    EXPECT_TRUE(r.isHTMLRoute());
    r.extensions = {};
    r.probeIdentifiers = {"public.html"};
    EXPECT_TRUE(r.isHTMLRoute());
}

} // namespace
