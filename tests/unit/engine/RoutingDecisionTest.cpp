#include "core/engine/RoutingDecision.h"
#include "core/engine/ActionResolver.h"
#include "tests/support/FakeServices.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;
using namespace ActionResolver;
using Path = RoutingDecision::Path;

namespace {

RuleAction best(Opt<QStringList> order = std::nullopt) {
    return actionOf(Kind::bestRunningEditor, order);
}

QSet<QString> setOf(const char* words) {
    const QStringList l = list(words);
    return {l.begin(), l.end()};
}

// The route's editors: typora, zed and code enabled, vim disabled.
TEST(ResolveEditors, withAMatchedRule) {
    const struct {
        RuleAction action;
        const char* active;
        const char* running;
        const char* expected;
    } rows[] = {
        {openIn(list("code typora")), "", "", "code typora"},
        {openIn(list("zed zed")), "", "", "zed zed"},
        {openIn(list("vim gone zed")), "typora", "", "zed"},
        {{Kind::specificEditor, "code", QStringList(), std::nullopt}, "", "", "code"},
        {openIn(list("vim")), "zed", "", "zed"},
        {openIn({}), "", "", ""},
        {openIn({}), "gone", "", ""},
        {best(list("zed typora")), "code", "typora zed", "zed"},
        {best(list("vim code")), "typora", "vim code", "code"},
        {best(list("zed code")), "typora", "code", "code"},
        {best(), "vim", "code zed", "zed"},              // the route's order
        {best(QStringList()), "code", "typora", "code"}, // an empty order stays empty
        {best(), "vim", "", "vim"}, // fallback: the active editor, even disabled
        {best(), "", "", ""},
        {actionOf(Kind::defaultEditor), "zed", "typora", "zed"},
        {actionOf(Kind::selectFromAllEditors), "code", "", "code"},
        {actionOf(Kind::selectFromRunningEditors), "", "typora", ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        Route route = markdownRoute();
        route.activeBundleID = opt(rows[i].active);
        const Rule matched = rule(allOf({always()}), rows[i].action);
        EXPECT_EQ(idsOf(resolveEditors(route, matched, setOf(rows[i].running))),
                  list(rows[i].expected))
            << "row " << i;
    }
}

TEST(ResolveEditors, withTheDefaultRule) {
    const struct {
        Kind kind;
        Opt<QStringList> defaults;
        const char* active;
        const char* expected;
    } rows[] = {
        {Kind::specificEditor, list("zed code"), "typora", "zed code"},
        {Kind::specificEditor, QStringList(), "code", "code"},
        {Kind::specificEditor, std::nullopt, "zed", "zed"},
        {Kind::specificEditor, list("vim"), "typora", "typora"},
        {Kind::specificEditor, std::nullopt, "vim", "vim"},
        {Kind::specificEditor, std::nullopt, "", ""},
        {Kind::bestRunningEditor, list("code"), "typora", "code"},
        {Kind::selectFromAllEditors, list("code"), "typora", "typora"},
        {Kind::selectFromRunningEditors, list("code"), "", ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        Route route = markdownRoute();
        route.defaultActionKind = rows[i].kind;
        route.defaultOpenBundleIDs = rows[i].defaults;
        route.activeBundleID = opt(rows[i].active);
        EXPECT_EQ(idsOf(resolveEditors(route, std::nullopt, setOf("typora zed code"))),
                  list(rows[i].expected))
            << "row " << i;
    }
}

TEST(PickerCandidates, preferenceOrderFirstThenStoredOrderEachOnce) {
    Route route = markdownRoute();
    route.editors << editor("new", "New") << editor("zed", "Zed again");
    route.defaultPreferenceOrder = list("code gone vim code typora");
    const QList<Editor> all = pickerEditorCandidates(route, Kind::selectFromAllEditors, {});
    EXPECT_EQ(all, editorsForBundleIDs(list("code typora zed new"), route.editors)
                       << route.editors[5]);
    EXPECT_EQ(pickerEditorCandidates(route, Kind::bestRunningEditor, {}), all);
    EXPECT_EQ(idsOf(pickerEditorCandidates(route, Kind::selectFromRunningEditors,
                                           setOf("zed typora vim new"))),
              list("typora zed new zed"));
    EXPECT_TRUE(pickerEditorCandidates(route, Kind::selectFromRunningEditors, {"vim"}).isEmpty());
    EXPECT_EQ(pickerTitle(route, Kind::selectFromAllEditors), "Choose a Markdown editor");
    EXPECT_EQ(pickerTitle(route, Kind::selectFromRunningEditors),
              "Choose a running Markdown editor");
}

TEST(PickerStyleChoice, followsTheDefaultsAndTheScreenReader) {
    const struct {
        const char* style;
        Opt<bool> forceRadial;
        bool screenReader;
        PickerStyle expected;
    } rows[] = {
        {"", {}, false, PickerStyle::radial},        {"list", {}, false, PickerStyle::list},
        {"list", true, true, PickerStyle::list},     {"List", {}, false, PickerStyle::radial},
        {"", {}, true, PickerStyle::list},           {"radial", false, true, PickerStyle::list},
        {"radial", true, true, PickerStyle::radial}, {"", true, false, PickerStyle::radial},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        FakePreferences preferences;
        preferences.setString(PreferenceKeys::editorPickerStyle, opt(rows[i].style));
        if (rows[i].forceRadial)
            preferences.setBoolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver,
                                   *rows[i].forceRadial);
        FakeScreenReader screenReader;
        screenReader.enabled = rows[i].screenReader;
        EXPECT_EQ(pickerStyle(preferences, screenReader), rows[i].expected) << "row " << i;
    }
}

class RoutingDecisionTest : public ::testing::Test {
protected:
    Route route = markdownRoute();
    OpenContext context = contextFor("/w/notes.md");

    RoutingDecision decide(Opt<QString> reference = std::nullopt) const {
        return RoutingDecision::decide(route, context, reference);
    }
    RoutingDecision opens(const char* ids, Opt<Rule> rule = {}) const {
        return {Path::open, rule, editorsForBundleIDs(list(ids), route.editors), noPicker};
    }
    static RoutingDecision picks(Kind kind, Opt<Rule> rule = {}) {
        return {Path::picker, rule, {}, kind};
    }
    static RoutingDecision none(Path path, Opt<Rule> rule = {}) {
        return {path, rule, {}, noPicker};
    }
    static inline const Kind noPicker = RoutingDecision().pickerKind;
};

TEST_F(RoutingDecisionTest, defaultAndMatchedRuleRows) {
    const Rule specific = rule(allOf({always()}), openIn(list("zed typora")));
    const Rule bestRule = rule(allOf({always()}), best());
    const Rule pickAll = rule(allOf({always()}), actionOf(Kind::selectFromAllEditors));
    const Rule pickRunning = rule(allOf({always()}), actionOf(Kind::selectFromRunningEditors));
    // Rules that never apply: disabled, without conditions, not matching.
    const QList<Rule> idle = {rule(allOf({always()}), openIn({"zed"}), false),
                              rule(allOf({}), openIn({"zed"})),
                              rule(anyOf({never()}), openIn({"zed"}))};
    const struct {
        Opt<Rule> matched;
        Kind kind;
        const char* running;
        const char* active;
        RoutingDecision expected;
    } rows[] = {
        {{}, Kind::selectFromAllEditors, "", "", picks(Kind::selectFromAllEditors)},
        {{},
         Kind::selectFromRunningEditors,
         "zed",
         "typora",
         picks(Kind::selectFromRunningEditors)},
        {{}, Kind::selectFromRunningEditors, "", "typora", opens("typora")},
        {{}, Kind::selectFromRunningEditors, "", "", none(Path::noEditor)},
        {{}, Kind::specificEditor, "", "zed", opens("zed")},
        {{}, Kind::specificEditor, "zed", "", none(Path::noEditor)},
        {specific, Kind::selectFromAllEditors, "", "", opens("zed typora", specific)},
        {bestRule, Kind::selectFromAllEditors, "zed", "", opens("zed", bestRule)},
        {bestRule, Kind::selectFromAllEditors, "", "typora", opens("typora", bestRule)},
        {bestRule, Kind::selectFromAllEditors, "", "", none(Path::noEditor, bestRule)},
        {pickAll, Kind::specificEditor, "", "", picks(Kind::selectFromAllEditors, pickAll)},
        {pickRunning, Kind::specificEditor, "", "zed",
         picks(Kind::selectFromRunningEditors, pickRunning)},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        route.rules = idle;
        if (rows[i].matched)
            route.rules.append(*rows[i].matched);
        route.defaultActionKind = rows[i].kind;
        route.activeBundleID = opt(rows[i].active);
        context.runningEnabledBundleIDs = setOf(rows[i].running);
        EXPECT_EQ(decide(), rows[i].expected) << "row " << i;
    }
}

TEST_F(RoutingDecisionTest, namedRuleIsUsedWhateverItsConditions) {
    const Rule disabled = rule(allOf({never()}), openIn({"zed"}), false, QStringLiteral("Zed"));
    const Rule picker = rule(allOf({}), actionOf(Kind::selectFromRunningEditors), true, "Pick");
    const Rule matching = rule(allOf({always()}), openIn({"typora"}), true, "Twin");
    route.rules = {matching, disabled, picker, rule(allOf({}), openIn({"code"}), true, "Twin")};
    EXPECT_EQ(decide(disabled.id), opens("zed", disabled));
    EXPECT_EQ(decide("Zed"), opens("zed", disabled));
    EXPECT_EQ(decide("Pick"), picks(Kind::selectFromRunningEditors, picker));
    EXPECT_EQ(decide(), opens("typora", matching));
    for (const char* unknown : {"Twin", "missing", ""})
        EXPECT_EQ(decide(QString(unknown)), none(Path::ruleNotFound)) << unknown;
}

} // namespace
