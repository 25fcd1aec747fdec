#include "core/engine/RuleDescriptions.h"
#include "tests/support/FakeServices.h"
#include "tests/support/RuleBuilders.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace RuleBuilders;

namespace {

TEST(RuleDescriptions, predicateAndConditionTexts) {
    FakeShortcutRegistry shortcuts;
    const RuleDescriptions descriptions{shortcuts};
    shortcuts.shortcuts.insert("rule-set", {Qt::Key_M, Qt::ControlModifier | Qt::AltModifier});
    const QString home = QDir::homePath();
    const std::pair<Predicate, QString> rows[] = {
        {fileName(SO::is, "draft"), "Name is “draft”"},
        {fileExtension(SO::contains, ".MD."), "Extension contains “.MD.”"},
        {parentFolder(EO::isNot, home + "/Archive"), "Folder is not ~/Archive"},
        {parentFolder(EO::is, home), "Folder is ~"},
        {parentFolder(EO::is, home + "2/x"), "Folder is " + home + "2/x"},
        {parentFolder(std::nullopt, std::nullopt), "Folder is "},
        {creatorApp(EO::is, "com.ulyssesapp.mac", "Ulysses"), "Creator is com.ulyssesapp.mac"},
        {creatorApp(EO::isNot, std::nullopt, "Ulysses"), "Creator is not "},
        {hotkey("rule-set"), "Hotkey Ctrl+Alt+M"},
        {hotkey("rule-unset"), "Hotkey (not set)"},
        {runningEditors(CO::greaterThan, 1), "Running editors > 1"},
        {runningEditors(std::nullopt, std::nullopt), "Running editors is 0"},
    };
    for (const auto& [predicate, expected] : rows)
        EXPECT_EQ(descriptions.predicateSummary(predicate), expected);

    EXPECT_EQ(descriptions.conditionSummary(anyOf({})), "No conditions (never matches)");
    EXPECT_EQ(descriptions.conditionSummary(anyOf({}, {allOf({}), anyOf({fileName(SO::is, "b")})})),
              "(No conditions (never matches)) or (Name is “b”)");
}

TEST(RuleDescriptions, actionTexts) {
    const std::pair<RuleAction, QString> rows[] = {
        {openIn({"vim"}), "Vim"}, // disabled editors still have names
        {openIn({"org.unknown"}), "org.unknown"},
        {openIn({}), "?"},
        {openIn({"typora", "code", "vim", "x"}), "Typora + 3 more"},
        {{Kind::specificEditor, "code", QStringList(), std::nullopt}, "Code"},
        {actionOf(Kind::bestRunningEditor), "Best running editor"},
        {actionOf(Kind::defaultEditor), "Default editor"},
        {actionOf(Kind::selectFromAllEditors), "Select from all editors"},
        {actionOf(Kind::selectFromRunningEditors), "Select from running editors"},
    };
    for (const auto& [action, expected] : rows)
        EXPECT_EQ(RuleDescriptions::actionSummary(action, markdownRoute().editors), expected);
}

TEST(RuleDescriptions, defaultRuleTexts) {
    Route route = markdownRoute();
    // Default Rule kind, its editors, active editor, expected text after the arrow.
    const std::tuple<Kind, Opt<QStringList>, const char*, const char*> rows[] = {
        {Kind::selectFromRunningEditors, {}, "code", "Select from running (fallback: Code)"},
        {Kind::selectFromAllEditors, {}, "vim", "Select from all (fallback: No Editor Selected)"},
        {Kind::selectFromAllEditors, list("code"), "",
         "Select from all (fallback: No Editor Selected)"},
        {Kind::specificEditor, list("vim code gone zed"), "typora", "Code, Zed"},
        {Kind::specificEditor, list("zed code typora"), "", "Zed + 2 more"},
        {Kind::specificEditor, list("vim"), "code", "No Editor Selected"},
        {Kind::specificEditor, QStringList(), "zed", "Zed"},
        {Kind::specificEditor, {}, "vim", "No Editor Selected"},
    };
    for (const auto& [kind, defaults, active, expected] : rows) {
        route.defaultActionKind = kind;
        route.defaultOpenBundleIDs = defaults;
        route.activeBundleID = opt(active);
        EXPECT_EQ(RuleDescriptions::defaultRuleSummary(route),
                  "Default Rule → " + QString::fromUtf8(expected));
    }
}

} // namespace
