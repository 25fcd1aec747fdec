#include "core/engine/RoutingDecision.h"
#include "core/engine/ActionResolver.h"
#include "tests/support/FakeServices.h"
#include "tests/support/RuleBuilders.h"

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

// The decision in short: the editors to open in, "-" for none, or the picker offered.
QString outcome(const RoutingDecision& d) {
    if (d.path == Path::picker)
        return d.pickerKind == Kind::selectFromAllEditors ? "picker" : "running picker";
    if (d.path == Path::open)
        return idsOf(d.editors).join(' ');
    return d.path == Path::noEditor ? "-" : "not found";
}

// Editors typora, zed and code are enabled, vim is disabled. Every route also holds rules
// that never apply (disabled, without conditions, not matching) before the matching one.
TEST(RoutingDecision, resolvesEveryActionKind) {
    // Matched rule's action (none: the Default Rule applies), Default Rule kind and editors,
    // active editor, running editors, expected outcome.
    const std::tuple<Opt<RuleAction>, Kind, Opt<QStringList>, const char*, const char*, const char*>
        rows[] = {
            {openIn(list("code typora")), {}, {}, "", "", "code typora"},
            {openIn(list("zed zed")), {}, {}, "", "", "zed zed"},
            {openIn(list("vim gone zed")), {}, {}, "typora", "", "zed"},
            {RuleAction{Kind::specificEditor, "code", QStringList(), {}}, {}, {}, "", "", "code"},
            {openIn(list("vim")), {}, {}, "zed", "", "zed"},
            {openIn({}), {}, {}, "", "", "-"},
            {openIn({}), {}, {}, "gone", "", "-"},
            {best(list("zed typora")), {}, {}, "code", "typora zed", "zed"},
            {best(list("vim code")), {}, {}, "typora", "vim code", "code"},
            {best(list("zed code")), {}, {}, "typora", "code", "code"},
            {best(), {}, {}, "vim", "code zed", "zed"},              // the route's order
            {best(QStringList()), {}, {}, "code", "typora", "code"}, // an empty order stays empty
            {best(), {}, {}, "vim", "", "vim"}, // fallback: the active editor, even disabled
            {best(), {}, {}, "", "", "-"},
            {actionOf(Kind::defaultEditor), {}, {}, "zed", "typora", "zed"},
            {actionOf(Kind::selectFromAllEditors), {}, {}, "", "", "picker"},
            {actionOf(Kind::selectFromRunningEditors), {}, {}, "zed", "", "running picker"},
            {{}, Kind::specificEditor, list("zed code"), "typora", "", "zed code"},
            {{}, Kind::specificEditor, QStringList(), "code", "", "code"},
            {{}, Kind::specificEditor, {}, "vim", "", "vim"},
            {{}, Kind::specificEditor, {}, "", "zed", "-"},
            {{}, Kind::selectFromAllEditors, list("code"), "typora", "", "picker"},
            {{}, Kind::selectFromRunningEditors, list("code"), "typora", "zed", "running picker"},
            {{}, Kind::selectFromRunningEditors, list("code"), "typora", "", "typora"},
            {{}, Kind::selectFromRunningEditors, {}, "", "", "-"},
        };
    for (const auto& [matched, kind, defaults, active, running, expected] : rows) {
        Route route = markdownRoute();
        route.rules = {rule(allOf({always}), openIn({"code"}), false),
                       rule(allOf({}), openIn({"code"})), rule(anyOf({never}), openIn({"code"}))};
        if (matched)
            route.rules.append(rule(allOf({always}), *matched));
        route.defaultActionKind = kind;
        route.defaultOpenBundleIDs = defaults;
        route.activeBundleID = opt(active);
        OpenContext context = contextFor("/w/notes.md");
        context.runningEnabledBundleIDs = setOf(running);
        const RoutingDecision d = RoutingDecision::decide(route, context, std::nullopt);
        EXPECT_EQ(outcome(d), expected) << active << " / " << running << " / " << expected;
        EXPECT_EQ(d.rule, matched ? Opt<Rule>(route.rules.last()) : std::nullopt) << expected;
    }
    // Select kinds resolve to the fallback where an editor list is needed anyway.
    Route route = markdownRoute();
    route.activeBundleID = "code";
    const Rule pick = rule(allOf({}), actionOf(Kind::selectFromRunningEditors));
    EXPECT_EQ(idsOf(resolveEditors(route, pick, setOf("typora"))), list("code"));
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

// A rule is named by its id, or by a name no other rule has; an id beats an equal name.
TEST(RoutingDecision, namedRuleIsUsedWhateverItsConditions) {
    Route route = markdownRoute();
    const Rule disabled = rule(allOf({never}), openIn({"zed"}), false, QStringLiteral("Zed"));
    const Rule picker = rule(allOf({}), actionOf(Kind::selectFromRunningEditors), true, "Pick");
    const Rule first = rule(allOf({always}), openIn({"typora"}), true, "Twin");
    const Rule namedLikeId = rule(allOf({}), openIn({"code"}), true, picker.id);
    route.rules = {first, disabled, namedLikeId, picker,
                   rule(allOf({always}), openIn({"code"}), true, "Twin")};
    const auto decide = [&](Opt<QString> reference) {
        const RoutingDecision d = RoutingDecision::decide(route, contextFor("/w/a.md"), reference);
        return outcome(d) + " / " + d.rule.value_or(Rule()).id;
    };
    EXPECT_EQ(decide("Zed"), "zed / " + disabled.id);
    EXPECT_EQ(decide(picker.id), "running picker / " + picker.id);
    EXPECT_EQ(decide(std::nullopt), "typora / " + first.id) << "the first matching rule";
    for (const QString& unknown :
         {QString("Twin"), QString("zed"), QString(), disabled.id.toLower()})
        EXPECT_EQ(decide(unknown), "not found / ") << unknown.toStdString();
}

} // namespace

TEST(PickerStyle, listWhenChosenOrWhenAScreenReaderRunsUnlessRadialIsForced) {
    // Stored style, screen reader running, radial forced, the style used.
    const std::tuple<std::optional<QString>, bool, std::optional<bool>, PickerStyle> rows[] = {
        {std::nullopt, false, std::nullopt, PickerStyle::radial},
        {QStringLiteral("list"), false, std::nullopt, PickerStyle::list},
        {QStringLiteral("radial"), true, std::nullopt, PickerStyle::list},
        {QStringLiteral("radial"), true, true, PickerStyle::radial},
        {QStringLiteral("list"), true, true, PickerStyle::list},
        {QStringLiteral("bogus"), false, std::nullopt, PickerStyle::radial},
    };
    for (const auto& [style, screenReaderOn, forceRadial, expected] : rows) {
        FakePreferences preferences;
        preferences.setString(PreferenceKeys::editorPickerStyle, style);
        if (forceRadial)
            preferences.setBoolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver,
                                   *forceRadial);
        FakeScreenReader screenReader;
        screenReader.enabled = screenReaderOn;
        EXPECT_EQ(ActionResolver::pickerStyle(preferences, screenReader), expected)
            << style.value_or(QStringLiteral("(none)")).toStdString() << " " << screenReaderOn;
    }
}
