#include "core/settings/ConditionRowDraft.h"
#include "core/settings/DefaultRuleDraft.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleDraft.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;

namespace {
ConditionRowDraft row(PredicateKind kind, int op = 0) {
    ConditionRowDraft r;
    r.id = QStringLiteral("ROW");
    r.kind = kind;
    r.operatorIndex = op;
    return r;
}

Editor editor(const QString& id, bool enabled = true) {
    return RuleBuilders::editor(id, id, enabled);
}

Route routeWith(const QList<Editor>& editors, const QStringList& order = {}) {
    Route r;
    r.id = QStringLiteral("custom.t");
    r.name = QStringLiteral("T");
    r.editors = editors;
    r.defaultPreferenceOrder = order;
    return r;
}
} // namespace

TEST(ConditionRowDraftTest, EachKindBuildsItsConditionOrNothing) {
    const QString name = QStringLiteral("rule-X");
    struct Case {
        const char* what;
        ConditionRowDraft row;
        bool recorded;
        std::optional<Predicate> expected;
    };
    QList<Case> cases;
    ConditionRowDraft draft = row(PredicateKind::fileName, 1);
    draft.valueText = QStringLiteral(" Draft ");
    cases.append({"name is not, text as typed", draft, false, fileName(SO::isNot, " Draft ")});
    cases.append({"empty extension text is kept", row(PredicateKind::fileExtension, 2), false,
                  fileExtension(SO::contains, QString())});
    cases.append({"folder never chosen", row(PredicateKind::parentFolder, 1), false, std::nullopt});
    draft = row(PredicateKind::parentFolder, 1);
    draft.folderPath = QStringLiteral("/srv/notes");
    cases.append({"folder is not", draft, false, parentFolder(EO::isNot, "/srv/notes")});
    draft = row(PredicateKind::creatorApp);
    draft.appBundleID = QStringLiteral("org.kde.kate");
    cases.append({"app without text has no string", draft, false,
                  creatorApp(EO::is, "org.kde.kate", std::nullopt)});
    draft.valueText = QStringLiteral("Kate");
    cases.append({"app keeps its text", draft, false, creatorApp(EO::is, "org.kde.kate", "Kate")});
    cases.append({"hotkey recorded", row(PredicateKind::hotkey), true, hotkey(name)});
    const std::pair<const char*, std::optional<qint64>> counts[] = {
        {"3", 3}, {"+2", 2},  {"-1", -1},  {"3x", {}},
        {"", {}}, {" 3", {}}, {"3\n", {}}, {"99999999999999999999", {}},
        {"٣", {}}};
    for (const auto& [text, count] : counts) {
        draft = row(PredicateKind::runningEditors, 2);
        draft.countText = QString::fromUtf8(text);
        cases.append({text, draft, false, runningEditors(CO::greaterThan, count)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<Predicate> built = c.row.build(name, c.recorded);
        ASSERT_EQ(built.has_value(), c.expected.has_value());
        if (!built)
            continue;
        EXPECT_FALSE(built->id.isEmpty());
        EXPECT_NE(built->id, c.row.id);
        EXPECT_EQ(withoutID(*built), withoutID(*c.expected));
    }
}

TEST(ConditionRowDraftTest, StoredConditionsComeBackUnchangedApartFromTheirId) {
    const QList<Predicate> stored{fileName(SO::contains, "draft"),
                                  fileExtension(SO::isNot, "md"),
                                  parentFolder(EO::isNot, "/tmp"),
                                  creatorApp(EO::isNot, "org.kde.kate", "Kate"),
                                  hotkey("rule-X"),
                                  runningEditors(CO::lessThan, 2)};
    for (const Predicate& p : stored) {
        SCOPED_TRACE(toString(p.kind).toStdString());
        std::optional<Predicate> again =
            ConditionRowDraft::fromPredicate(p).build(QStringLiteral("rule-X"), true);
        ASSERT_TRUE(again);
        again->id = p.id;
        EXPECT_EQ(*again, p);
    }
}

TEST(ConditionRowDraftTest, ChangingKindResetsTheOperatorAndKeepsTheInput) {
    // A new row's kind and operator are the sheet test's: "contains" a file name.
    ConditionRowDraft r = ConditionRowDraft::newCondition();
    r.valueText = QStringLiteral("x");
    r.setKind(PredicateKind::runningEditors);
    EXPECT_EQ(r.operatorIndex, 0);
    r.setKind(PredicateKind::fileName);
    EXPECT_EQ(r.valueText, "x");
}

TEST(RuleDraftTest, SaveRules) {
    using enum RuleActionKind;
    const Route route = routeWith({editor("A"), editor("B"), editor("C")});
    const Predicate ext = fileExtension(SO::is, "org");
    RuleAction existingAction = openIn({"A", "B"});
    existingAction.preferenceOrder = QStringList{"C"};
    Rule existing = rule(anyOf({ext}), existingAction, false, "Old");
    existing.id = QStringLiteral("R");
    // The action: always-open takes the checked in list order, best running
    // the order alone, select actions neither.
    const RuleAction always = openIn({"C", "B"}), best = actionOf(bestRunningEditor, {{"C"}});
    const struct {
        RuleActionKind kind;
        QStringList checked;
        std::optional<RuleAction> expected;
    } actions[] = {
        {specificEditor, {}, std::nullopt},
        {specificEditor, {"C", "B"}, always},
        {bestRunningEditor, {"A"}, best},
        {selectFromRunningEditors, {"A"}, actionOf(selectFromRunningEditors)},
    };
    for (const auto& a : actions) {
        SCOPED_TRACE(toString(a.kind).toStdString());
        RuleDraft draft = RuleDraft::fromRule(existing, route);
        draft.actionKind = a.kind;
        const std::optional<Rule> rule = draft.build(a.checked, false);
        EXPECT_EQ(rule ? std::optional(rule->action) : std::nullopt, a.expected);
    }

    // Id, enabled and combine kept; the name trimmed, absent when blank.
    RuleDraft draft = RuleDraft::fromRule(existing, route);
    EXPECT_EQ(draft.checkedBundleIDs, QStringList({"A", "B"}));
    draft.nameText = QStringLiteral(" \n Docs\t");
    std::optional<Rule> rule = draft.build({"A"}, false);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->id, "R");
    EXPECT_FALSE(rule->enabled);
    EXPECT_EQ(rule->name, "Docs");
    EXPECT_EQ(rule->when.combine, PredicateGroupCombine::or_);
    EXPECT_NE(rule->when.id, existing.when.id);
    draft.nameText = QStringLiteral("  \n");
    rule = draft.build({"A"}, false);
    ASSERT_TRUE(rule);
    EXPECT_FALSE(rule->name);
}

TEST(RuleDraftTest, NestedGroupsOfAHandEditedRuleSurviveASave) {
    const Predicate name = fileName(SO::contains, "x");
    const PredicateGroup inner = anyOf({name});
    Rule rule = RuleBuilders::rule(allOf({}, {inner}), actionOf(Kind::defaultEditor));
    // Only groups is still a rule with conditions; with a condition beside them too.
    for (const qsizetype conditions : {0, 1}) {
        SCOPED_TRACE(conditions);
        rule.when.predicates = QList<Predicate>(conditions, name);
        const std::optional<Rule> saved =
            RuleDraft::fromRule(rule, routeWith({editor("A")})).build({}, false);
        ASSERT_TRUE(saved);
        ASSERT_EQ(saved->when.groups.size(), 1);
        EXPECT_TRUE(saved->when.groups.first() == inner);
        EXPECT_EQ(saved->when.predicates.size(), conditions);
    }
}

TEST(DefaultRuleDraftTest, ModesCheckedEditorsAndSaving) {
    using enum RuleActionKind;
    // The sheet's tests open it on the other kinds.
    EXPECT_EQ(DefaultRuleDraft::modeFor(specificEditor), specificEditor);
    EXPECT_EQ(DefaultRuleDraft::modeFor(defaultEditor), specificEditor);

    // The sheet's tests cover an absent list, Save with and without ticks and
    // the results of both modes; here the cases they do not reach.
    Route route = routeWith({editor("A"), editor("B")});
    route.activeBundleID = QStringLiteral("B");
    route.defaultOpenBundleIDs = QStringList{};
    EXPECT_EQ(DefaultRuleDraft::forRoute(route).checkedBundleIDs, QStringList({"B"}));
    route.defaultOpenBundleIDs = QStringList{"A", "B"};
    EXPECT_EQ(DefaultRuleDraft::forRoute(route).checkedBundleIDs, QStringList({"A", "B"}));
    EXPECT_EQ(DefaultRuleDraft::forRoute(route).fallbackBundleID, "B");
    EXPECT_TRUE(DefaultRuleDraft::canSave(selectFromRunningEditors, {}, 1));
    using Result = DefaultRuleDraft::Result;
    EXPECT_EQ(DefaultRuleDraft::result(selectFromAllEditors, {"B"}, std::nullopt), std::nullopt);
    EXPECT_EQ(DefaultRuleDraft::result(selectFromAllEditors, {"B"}, QStringLiteral("A")),
              (Result{selectFromAllEditors, {"A"}}));
}

TEST(RouteSettingsSummaryTest, MetaLine) {
    Route route = routeWith({editor("A"), editor("B", false), editor("C")});
    route.extensions = {QStringLiteral("md"), QStringLiteral("markdown")};
    route.probeIdentifiers = {QStringLiteral("net.daringfireball.markdown"),
                              QStringLiteral("text/markdown")};
    route.rules = {Rule(), Rule()};
    EXPECT_EQ(RouteSettingsSummary::metaLine(route),
              "\u002emd, .markdown \u00b7 net.daringfireball.markdown \u00b7 2 editors \u00b7 3 "
              "rules");
    EXPECT_EQ(RouteSettingsSummary::metaLine(routeWith({})),
              "\u2014 \u00b7 \u2014 \u00b7 0 editors \u00b7 1 rule");
    EXPECT_EQ(RouteSettingsSummary::metaLine(routeWith({editor("A")})),
              "\u2014 \u00b7 \u2014 \u00b7 1 editor \u00b7 1 rule");
}

// The window's drops and Alt+arrows move rows by these too; here the moves
// they do not make and what is out of range.
TEST(RouteSettingsSummaryTest, MovingIntoGaps) {
    const QStringList abc{"A", "B", "C"};
    const struct {
        qsizetype from, gap;
        QStringList expected;
    } cases[] = {
        {0, 0, abc},
        {0, 1, abc},
        {2, 0, {"C", "A", "B"}},
        {1, 3, {"A", "C", "B"}},
        {2, 3, abc},
        {3, 0, abc},
        {0, 4, abc},
        {-1, 0, abc},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RouteSettingsSummary::movedToGap(abc, c.from, c.gap), c.expected)
            << c.from << "->" << c.gap;
    EXPECT_TRUE(RouteSettingsSummary::acceptsGap(0, 0));
    EXPECT_TRUE(RouteSettingsSummary::acceptsGap(2, 2));
    EXPECT_FALSE(RouteSettingsSummary::acceptsGap(3, 2));
    EXPECT_FALSE(RouteSettingsSummary::acceptsGap(-1, 2));
}

TEST(RouteSettingsSummaryTest, SelectionWithoutAChoiceAndTerminals) {
    Route a = routeWith({editor("A")});
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({a}, std::nullopt), "custom.t");
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({}, QStringLiteral("a")), std::nullopt);

    a.normalizeUtilities();
    EXPECT_EQ(RouteSettingsSummary::terminalBundleID(a), defaultTerminalBundleID());
    EXPECT_EQ(RouteSettingsSummary::terminalChoices(a, {"kitty"}),
              QStringList({"kitty", defaultTerminalBundleID()}));
    for (PickerUtility& u : a.utilities) {
        if (u.kind == PickerUtilityKind::openParentInTerminal)
            u.terminalBundleID = QStringLiteral(" kitty ");
    }
    EXPECT_EQ(RouteSettingsSummary::terminalBundleID(a), "kitty");
    EXPECT_EQ(RouteSettingsSummary::terminalChoices(a, {"kitty", "xterm"}),
              QStringList({"kitty", "xterm"}));
}
