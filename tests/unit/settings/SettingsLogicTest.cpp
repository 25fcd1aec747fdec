#include "core/settings/ConditionRowDraft.h"
#include "core/settings/DefaultRuleDraft.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RuleDraft.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {
ConditionRowDraft row(PredicateKind kind, int op = 0) {
    ConditionRowDraft r;
    r.id = QStringLiteral("ROW");
    r.kind = kind;
    r.operatorIndex = op;
    return r;
}

Editor editor(const QString& id, bool enabled = true) {
    Editor e;
    e.bundleID = id;
    e.name = id;
    e.enabled = enabled;
    return e;
}

RuleAction actionOf(RuleActionKind kind) {
    RuleAction action;
    action.kind = kind;
    return action;
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
    const auto predicate = [](PredicateKind kind, auto fill) {
        Predicate p;
        p.kind = kind;
        fill(p);
        return std::optional<Predicate>(p);
    };
    QList<Case> cases;
    {
        ConditionRowDraft r = row(PredicateKind::fileName, 1);
        r.valueText = QStringLiteral(" Draft ");
        cases.append({"name is not, text as typed", r, false,
                      predicate(PredicateKind::fileName, [](Predicate& p) {
                          p.stringOperator = StringMatchOperator::isNot;
                          p.stringValue = QStringLiteral(" Draft ");
                      })});
    }
    cases.append({"empty extension text is kept", row(PredicateKind::fileExtension, 2), false,
                  predicate(PredicateKind::fileExtension, [](Predicate& p) {
                      p.stringOperator = StringMatchOperator::contains;
                      p.stringValue = QString();
                  })});
    cases.append({"folder never chosen", row(PredicateKind::parentFolder, 1), false, std::nullopt});
    {
        ConditionRowDraft r = row(PredicateKind::parentFolder, 1);
        r.folderPath = QStringLiteral("/srv/notes");
        cases.append(
            {"folder is not", r, false, predicate(PredicateKind::parentFolder, [](Predicate& p) {
                 p.equalityOperator = EqualityOperator::isNot;
                 p.folderPath = QStringLiteral("/srv/notes");
             })});
    }
    cases.append({"app never chosen", row(PredicateKind::creatorApp), false, std::nullopt});
    {
        ConditionRowDraft r = row(PredicateKind::creatorApp);
        r.appBundleID = QStringLiteral("org.kde.kate");
        cases.append({"app without text has no string", r, false,
                      predicate(PredicateKind::creatorApp, [](Predicate& p) {
                          p.equalityOperator = EqualityOperator::is;
                          p.bundleID = QStringLiteral("org.kde.kate");
                      })});
        r.valueText = QStringLiteral("Kate");
        cases.append(
            {"app keeps its text", r, false, predicate(PredicateKind::creatorApp, [](Predicate& p) {
                 p.equalityOperator = EqualityOperator::is;
                 p.bundleID = QStringLiteral("org.kde.kate");
                 p.stringValue = QStringLiteral("Kate");
             })});
    }
    cases.append({"hotkey not recorded", row(PredicateKind::hotkey), false, std::nullopt});
    cases.append({"hotkey recorded", row(PredicateKind::hotkey), true,
                  predicate(PredicateKind::hotkey, [&](Predicate& p) { p.hotkeyName = name; })});
    const struct {
        const char* text;
        std::optional<qint64> count;
    } counts[] = {{"3", 3},
                  {"+2", 2},
                  {"-1", -1},
                  {"3x", std::nullopt},
                  {"", std::nullopt},
                  {" 3", std::nullopt},
                  {"3\n", std::nullopt},
                  {"99999999999999999999", std::nullopt},
                  {"٣", std::nullopt}};
    for (const auto& c : counts) {
        ConditionRowDraft r = row(PredicateKind::runningEditors, 2);
        r.countText = QString::fromUtf8(c.text);
        cases.append({c.text, r, false, predicate(PredicateKind::runningEditors, [&](Predicate& p) {
                          p.comparisonOperator = ComparisonOperator::greaterThan;
                          p.countValue = c.count;
                      })});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<Predicate> built = c.row.build(name, c.recorded);
        ASSERT_EQ(built.has_value(), c.expected.has_value());
        if (!built)
            continue;
        EXPECT_FALSE(built->id.isEmpty());
        EXPECT_NE(built->id, c.row.id);
        built->id.clear();
        EXPECT_EQ(*built, *c.expected);
    }
}

TEST(ConditionRowDraftTest, StoredConditionsComeBackUnchangedApartFromTheirId) {
    QList<Predicate> stored;
    const auto add = [&](PredicateKind kind, auto fill) {
        Predicate p;
        p.id = QStringLiteral("P");
        p.kind = kind;
        fill(p);
        stored.append(p);
    };
    add(PredicateKind::fileName, [](Predicate& p) {
        p.stringOperator = StringMatchOperator::contains;
        p.stringValue = QStringLiteral("draft");
    });
    add(PredicateKind::fileExtension, [](Predicate& p) {
        p.stringOperator = StringMatchOperator::isNot;
        p.stringValue = QStringLiteral("md");
    });
    add(PredicateKind::parentFolder, [](Predicate& p) {
        p.equalityOperator = EqualityOperator::isNot;
        p.folderPath = QStringLiteral("/tmp");
    });
    add(PredicateKind::creatorApp, [](Predicate& p) {
        p.equalityOperator = EqualityOperator::isNot;
        p.bundleID = QStringLiteral("org.kde.kate");
        p.stringValue = QStringLiteral("Kate");
    });
    add(PredicateKind::hotkey, [](Predicate& p) { p.hotkeyName = QStringLiteral("rule-X"); });
    add(PredicateKind::runningEditors, [](Predicate& p) {
        p.comparisonOperator = ComparisonOperator::lessThan;
        p.countValue = 2;
    });
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
    ConditionRowDraft r = ConditionRowDraft::newCondition();
    EXPECT_EQ(r.kind, PredicateKind::fileName);
    EXPECT_EQ(ConditionRowDraft::operatorTitles(r.kind).at(r.operatorIndex), "contains");
    r.valueText = QStringLiteral("x");
    r.setKind(PredicateKind::runningEditors);
    EXPECT_EQ(r.operatorIndex, 0);
    r.setKind(PredicateKind::fileName);
    EXPECT_EQ(r.valueText, "x");
    EXPECT_EQ(ConditionRowDraft::operatorTitles(PredicateKind::hotkey), QStringList());
    EXPECT_EQ(ConditionRowDraft::kindTitles().size(), ConditionRowDraft::kinds().size());
}

TEST(RuleDraftTest, NewRuleSavedUnchangedMatchesTheHomeFolderWithTheDefaultEditor) {
    const Route route = routeWith({editor("A"), editor("B")}, {"B", "A"});
    const RuleDraft draft = RuleDraft::forNewRule(route, QStringLiteral("/u"));
    EXPECT_EQ(draft.preferenceOrder, QStringList({"B", "A"}));
    const std::optional<Rule> rule = draft.build({}, false);
    ASSERT_TRUE(rule);
    EXPECT_TRUE(rule->enabled);
    EXPECT_FALSE(rule->name);
    EXPECT_EQ(rule->when.combine, PredicateGroupCombine::and_);
    ASSERT_EQ(rule->when.predicates.size(), 1);
    const Predicate& p = rule->when.predicates.first();
    EXPECT_EQ(p.kind, PredicateKind::parentFolder);
    EXPECT_EQ(p.equalityOperator, EqualityOperator::is);
    EXPECT_EQ(p.folderPath, "/u");
    EXPECT_EQ(rule->action, actionOf(RuleActionKind::defaultEditor));
}

TEST(RuleDraftTest, SaveRules) {
    using enum RuleActionKind;
    const Route route = routeWith({editor("A"), editor("B"), editor("C")});
    Rule existing;
    existing.id = QStringLiteral("R");
    existing.enabled = false;
    existing.name = QStringLiteral("Old");
    existing.when.id = QStringLiteral("G");
    existing.when.combine = PredicateGroupCombine::or_;
    Predicate ext;
    ext.id = QStringLiteral("P");
    ext.kind = PredicateKind::fileExtension;
    ext.stringOperator = StringMatchOperator::is;
    ext.stringValue = QStringLiteral("org");
    existing.when.predicates = {ext};
    existing.action.kind = specificEditor;
    existing.action.bundleID = QStringLiteral("A");
    existing.action.bundleIDs = QStringList{"A", "B"};
    existing.action.preferenceOrder = QStringList{"C"};

    // The action: always-open takes the checked in list order, best running
    // the order alone, select actions neither.
    RuleAction always = actionOf(specificEditor), best = actionOf(bestRunningEditor);
    always.bundleID = QStringLiteral("C");
    always.bundleIDs = QStringList{"C", "B"};
    best.preferenceOrder = QStringList{"C"};
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
    EXPECT_EQ(draft.windowTitle(), "Edit Rule");
    EXPECT_EQ(draft.checkedBundleIDs, QStringList({"A", "B"}));
    draft.nameText = QStringLiteral(" \n Docs\t");
    std::optional<Rule> rule = draft.build({"A"}, false);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->id, "R");
    EXPECT_FALSE(rule->enabled);
    EXPECT_EQ(rule->name, "Docs");
    EXPECT_EQ(rule->when.combine, PredicateGroupCombine::or_);
    EXPECT_NE(rule->when.id, "G");
    draft.nameText = QStringLiteral("  \n");
    rule = draft.build({"A"}, false);
    ASSERT_TRUE(rule);
    EXPECT_FALSE(rule->name);

    // Rows that yield nothing are left out; a rule needs one that does.
    Predicate hotkey;
    hotkey.kind = PredicateKind::hotkey;
    hotkey.hotkeyName = QStringLiteral("rule-R");
    const struct {
        const char* what;
        QList<ConditionRowDraft> rows;
        bool recorded;
        std::optional<Predicate> only;
    } rows[] = {
        {"a lone unrecorded hotkey", {row(PredicateKind::hotkey)}, false, std::nullopt},
        {"a recorded hotkey names the rule's", {row(PredicateKind::hotkey)}, true, hotkey},
        {"incomplete rows",
         {row(PredicateKind::parentFolder), ConditionRowDraft::fromPredicate(ext),
          row(PredicateKind::creatorApp)},
         false,
         ext},
        {"no rows at all", {}, false, std::nullopt},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        draft.rows = r.rows;
        rule = draft.build({"A"}, r.recorded);
        ASSERT_EQ(rule.has_value(), r.only.has_value());
        if (!rule)
            continue;
        ASSERT_EQ(rule->when.predicates.size(), 1);
        Predicate built = rule->when.predicates.first();
        built.id = r.only->id;
        EXPECT_EQ(built, *r.only);
    }
}

TEST(RuleDraftTest, NestedGroupsOfAHandEditedRuleSurviveASave) {
    Rule rule;
    rule.id = QStringLiteral("R");
    rule.when.id = QStringLiteral("G");
    PredicateGroup inner;
    inner.id = QStringLiteral("inner");
    inner.combine = PredicateGroupCombine::or_;
    Predicate name;
    name.id = QStringLiteral("N");
    name.kind = PredicateKind::fileName;
    name.stringOperator = StringMatchOperator::contains;
    name.stringValue = QStringLiteral("x");
    inner.predicates = {name};
    rule.when.groups = {inner};
    rule.action.kind = RuleActionKind::defaultEditor;
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

TEST(RuleDraftTest, PreferenceOrderComesFromTheRuleElseTheRoute) {
    const Route route = routeWith({editor("A"), editor("B")}, {"B", "A"});
    Rule rule;
    rule.id = QStringLiteral("R");
    EXPECT_EQ(RuleDraft::fromRule(rule, route).preferenceOrder, QStringList({"B", "A"}));
    rule.action.preferenceOrder = QStringList{"A"};
    EXPECT_EQ(RuleDraft::fromRule(rule, route).preferenceOrder, QStringList({"A"}));
    EXPECT_EQ(RuleDraft::actionTitles().size(), RuleDraft::actionKinds().size());
}

TEST(DefaultRuleDraftTest, ModesCheckedEditorsAndSaving) {
    using enum RuleActionKind;
    const struct {
        RuleActionKind kind;
        RuleActionKind mode;
    } modes[] = {{specificEditor, specificEditor},
                 {bestRunningEditor, specificEditor},
                 {defaultEditor, specificEditor},
                 {selectFromAllEditors, selectFromAllEditors},
                 {selectFromRunningEditors, selectFromRunningEditors}};
    for (const auto& m : modes)
        EXPECT_EQ(DefaultRuleDraft::modeFor(m.kind), m.mode) << toString(m.kind).toStdString();

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
    const Route bare = routeWith({});
    EXPECT_EQ(RouteSettingsSummary::metaLine(bare),
              "\u2014 \u00b7 \u2014 \u00b7 0 editors \u00b7 1 rule");
    EXPECT_EQ(RouteSettingsSummary::metaLine(routeWith({editor("A")})),
              "\u2014 \u00b7 \u2014 \u00b7 1 editor \u00b7 1 rule");
}

TEST(RouteSettingsSummaryTest, MovingIntoGaps) {
    const QStringList abc{"A", "B", "C"};
    const struct {
        qsizetype from, gap;
        QStringList expected;
    } cases[] = {
        {0, 0, abc},
        {0, 1, abc},
        {0, 2, {"B", "A", "C"}},
        {0, 3, {"B", "C", "A"}},
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

TEST(RouteSettingsSummaryTest, SelectionOrderAndTerminals) {
    Route a = routeWith({editor("A"), editor("B", false), editor("C")}, {"C", "A"});
    a.id = QStringLiteral("a");
    Route b = a;
    b.id = QStringLiteral("b");
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({a, b}, QStringLiteral("b")), "b");
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({a, b}, QStringLiteral("gone")), "a");
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({a, b}, std::nullopt), "a");
    EXPECT_EQ(RouteSettingsSummary::resolveSelection({}, QStringLiteral("a")), std::nullopt);

    QStringList order;
    for (const Editor& e : RouteSettingsSummary::orderedEnabledEditors(a))
        order.append(e.bundleID);
    EXPECT_EQ(order, QStringList({"C", "A"}));

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
