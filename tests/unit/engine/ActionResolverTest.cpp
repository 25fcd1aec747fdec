#include "core/engine/ActionResolver.h"
#include "tests/support/FakeServices.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace RuleBuilders;
using namespace ActionResolver;

namespace {

const QString typora = "io.typora.Typora";
const QString zed = "dev.zed.Zed";
const QString code = "code";
const QString vim = "vim"; // disabled

Rule ruleWith(RuleAction action) {
    return rule(allOf({always()}), std::move(action));
}

RuleAction bestRunning(std::optional<QStringList> order) {
    RuleAction action = actionOf(RuleActionKind::bestRunningEditor);
    action.preferenceOrder = std::move(order);
    return action;
}

TEST(ResolveEditors, withAMatchedRule) {
    const struct {
        const char* name;
        RuleAction action;
        std::optional<QString> active;
        QSet<QString> running;
        QStringList expected;
    } rows[] = {
        {"specific editors open in listed order",
         openIn({code, typora}),
         std::nullopt,
         {},
         {code, typora}},
        {"a repeated editor opens twice", openIn({zed, zed}), std::nullopt, {}, {zed, zed}},
        {"disabled and unknown editors are skipped", openIn({vim, "gone", zed}), typora, {}, {zed}},
        {"bundleID alone",
         {RuleActionKind::specificEditor, code, QStringList(), std::nullopt},
         std::nullopt,
         {},
         {code}},
        {"nothing usable falls back to the active editor", openIn({vim}), zed, {}, {zed}},
        {"no editors and no active editor gives nothing", openIn({}), std::nullopt, {}, {}},
        {"best running uses the rule's order",
         bestRunning(QStringList{zed, typora}),
         code,
         {typora, zed},
         {zed}},
        {"best running skips a running disabled editor",
         bestRunning(QStringList{vim, code}),
         typora,
         {vim, code},
         {code}},
        {"best running skips editors not running",
         bestRunning(QStringList{zed, code}),
         typora,
         {code},
         {code}},
        {"best running without an order uses the route's",
         bestRunning(std::nullopt),
         vim,
         {code, zed},
         {zed}},
        {"an empty order stays empty: fallback",
         bestRunning(QStringList()),
         code,
         {typora},
         {code}},
        {"nothing running: the active editor, even disabled",
         bestRunning(std::nullopt),
         vim,
         {},
         {vim}},
        {"nothing qualifies and no active editor", bestRunning(std::nullopt), std::nullopt, {}, {}},
        {"default editor is the active editor",
         actionOf(RuleActionKind::defaultEditor),
         zed,
         {typora},
         {zed}},
        {"select kinds resolve to the fallback",
         actionOf(RuleActionKind::selectFromAllEditors),
         code,
         {},
         {code}},
        {"select running resolves to the fallback",
         actionOf(RuleActionKind::selectFromRunningEditors),
         std::nullopt,
         {typora},
         {}},
        {"an active id matching no editor is no fallback", openIn({}), "gone", {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Route route = markdownRoute();
        route.activeBundleID = row.active;
        EXPECT_EQ(idsOf(resolveEditors(route, ruleWith(row.action), row.running)), row.expected);
    }
}

TEST(ResolveEditors, withTheDefaultRule) {
    const struct {
        const char* name;
        RuleActionKind kind;
        std::optional<QStringList> defaults;
        std::optional<QString> active;
        QStringList expected;
    } rows[] = {
        {"listed default editors",
         RuleActionKind::specificEditor,
         QStringList{zed, code},
         typora,
         {zed, code}},
        {"empty list uses the active editor",
         RuleActionKind::specificEditor,
         QStringList(),
         code,
         {code}},
        {"absent list uses the active editor",
         RuleActionKind::specificEditor,
         std::nullopt,
         zed,
         {zed}},
        {"disabled listed editors fall back",
         RuleActionKind::specificEditor,
         QStringList{vim},
         typora,
         {typora}},
        {"disabled active editor: listed through enabled, then fallback",
         RuleActionKind::specificEditor,
         std::nullopt,
         vim,
         {vim}},
        {"nothing at all", RuleActionKind::specificEditor, std::nullopt, std::nullopt, {}},
        {"best running behaves as open in editors",
         RuleActionKind::bestRunningEditor,
         QStringList{code},
         typora,
         {code}},
        {"default editor behaves as open in editors",
         RuleActionKind::defaultEditor,
         QStringList{code},
         typora,
         {code}},
        {"select from all ignores the list",
         RuleActionKind::selectFromAllEditors,
         QStringList{code},
         typora,
         {typora}},
        {"select from running ignores the list",
         RuleActionKind::selectFromRunningEditors,
         QStringList{code},
         std::nullopt,
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Route route = markdownRoute();
        route.defaultActionKind = row.kind;
        route.defaultOpenBundleIDs = row.defaults;
        route.activeBundleID = row.active;
        EXPECT_EQ(idsOf(resolveEditors(route, std::nullopt, {typora, zed, code})), row.expected);
    }
}

TEST(PickerCandidates, preferenceOrderFirstThenStoredOrder) {
    Route route = markdownRoute();
    route.editors.append(editor("a.new", "New"));
    route.defaultPreferenceOrder = {code, "gone", vim, code, typora};
    EXPECT_EQ(idsOf(pickerEditorCandidates(route, RuleActionKind::selectFromAllEditors, {})),
              QStringList({code, typora, zed, "a.new"}));
    // Only editors running now, in the same order.
    EXPECT_EQ(idsOf(pickerEditorCandidates(route, RuleActionKind::selectFromRunningEditors,
                                           {zed, typora, vim, "a.new"})),
              QStringList({typora, zed, "a.new"}));
    EXPECT_TRUE(
        pickerEditorCandidates(route, RuleActionKind::selectFromRunningEditors, {vim}).isEmpty());
    // Any other kind offers every enabled editor, running or not.
    EXPECT_EQ(pickerEditorCandidates(route, RuleActionKind::bestRunningEditor, {}).size(), 4);
}

TEST(PickerCandidates, duplicateEditorsAreOfferedOnce) {
    Route route = markdownRoute();
    route.editors.append(editor(zed, "Zed again"));
    route.defaultPreferenceOrder = {zed, zed};
    const QList<Editor> candidates =
        pickerEditorCandidates(route, RuleActionKind::selectFromAllEditors, {});
    ASSERT_EQ(candidates.size(), 4);
    EXPECT_EQ(candidates[0].name, "Zed");
    EXPECT_EQ(candidates[3].name, "Zed again");
}

TEST(PickerTitle, namesTheRoute) {
    const Route route = markdownRoute();
    EXPECT_EQ(pickerTitle(route, RuleActionKind::selectFromAllEditors), "Choose a Markdown editor");
    EXPECT_EQ(pickerTitle(route, RuleActionKind::selectFromRunningEditors),
              "Choose a running Markdown editor");
}

TEST(PickerStyleChoice, followsTheDefaultsAndTheScreenReader) {
    const struct {
        std::optional<QString> style;
        std::optional<bool> forceRadial;
        bool screenReader;
        PickerStyle expected;
    } rows[] = {
        {std::nullopt, std::nullopt, false, PickerStyle::radial},
        {"radial", std::nullopt, false, PickerStyle::radial},
        {"list", std::nullopt, false, PickerStyle::list},
        {"list", true, true, PickerStyle::list},
        {"List", std::nullopt, false, PickerStyle::radial},
        {std::nullopt, std::nullopt, true, PickerStyle::list},
        {"radial", false, true, PickerStyle::list},
        {"radial", true, true, PickerStyle::radial},
        {std::nullopt, true, false, PickerStyle::radial},
    };
    for (const auto& row : rows) {
        FakePreferences preferences;
        preferences.setString(PreferenceKeys::editorPickerStyle, row.style);
        if (row.forceRadial)
            preferences.setBoolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver,
                                   *row.forceRadial);
        FakeScreenReader screenReader;
        screenReader.enabled = row.screenReader;
        EXPECT_EQ(pickerStyle(preferences, screenReader), row.expected)
            << row.style.value_or("-").toStdString() << " " << row.forceRadial.value_or(false)
            << " " << row.screenReader;
    }
}

} // namespace
