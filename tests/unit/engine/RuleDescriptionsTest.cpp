#include "core/engine/RuleDescriptions.h"
#include "tests/support/FakeServices.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace RuleBuilders;

namespace {

using SO = StringMatchOperator;
using EO = EqualityOperator;
using CO = ComparisonOperator;

class RuleDescriptionsTest : public ::testing::Test {
protected:
    FakeShortcutRegistry shortcuts;
    RuleDescriptions descriptions{shortcuts};
    Route route = markdownRoute();
};

TEST_F(RuleDescriptionsTest, predicateTexts) {
    shortcuts.shortcuts.insert("rule-set", "Ctrl+Alt+M");
    const QString home = QDir::homePath();
    const struct {
        Predicate predicate;
        QString expected;
    } rows[] = {
        {fileName(SO::is, "draft"), "Name is “draft”"},
        {fileName(std::nullopt, std::nullopt), "Name is “”"},
        {fileName(SO::isNot, "x"), "Name is not “x”"},
        {fileExtension(SO::contains, "md"), "Extension contains “md”"},
        {fileExtension(SO::is, ".MD."), "Extension is “.MD.”"},
        {parentFolder(EO::isNot, home + "/Archive"), "Folder is not ~/Archive"},
        {parentFolder(EO::is, home), "Folder is ~"},
        {parentFolder(std::nullopt, "~/x"), "Folder is ~/x"},
        {parentFolder(EO::is, "/srv/notes"), "Folder is /srv/notes"},
        {parentFolder(EO::is, home + "2/x"), "Folder is " + home + "2/x"},
        {parentFolder(EO::is, std::nullopt), "Folder is "},
        {creatorApp(EO::is, "com.ulyssesapp.mac", "Ulysses"), "Creator is com.ulyssesapp.mac"},
        {creatorApp(EO::isNot, std::nullopt, "Ulysses"), "Creator is not "},
        {hotkey("rule-set"), "Hotkey Ctrl+Alt+M"},
        {hotkey("rule-unset"), "Hotkey (not set)"},
        {hotkey(""), "Hotkey (not set)"},
        {hotkey(std::nullopt), "Hotkey (not set)"},
        {runningEditors(CO::greaterThan, 1), "Running editors > 1"},
        {runningEditors(CO::lessThan, 2), "Running editors < 2"},
        {runningEditors(std::nullopt, std::nullopt), "Running editors is 0"},
        {runningEditors(CO::is, -3), "Running editors is -3"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(descriptions.predicateSummary(row.predicate), row.expected);
}

TEST_F(RuleDescriptionsTest, conditionTexts) {
    EXPECT_EQ(descriptions.conditionSummary(allOf({})), "No conditions (never matches)");
    EXPECT_EQ(descriptions.conditionSummary(anyOf({})), "No conditions (never matches)");
    EXPECT_EQ(
        descriptions.conditionSummary(allOf(
            {fileName(SO::is, "a")}, {anyOf({parentFolder(EO::is, "~/x"), hotkey("rule-none")})})),
        "Name is “a” and (Folder is ~/x or Hotkey (not set))");
    EXPECT_EQ(descriptions.conditionSummary(anyOf({}, {allOf({}), anyOf({fileName(SO::is, "b")})})),
              "(No conditions (never matches)) or (Name is “b”)");
}

TEST_F(RuleDescriptionsTest, actionAndEditorListTexts) {
    const QList<Editor>& editors = route.editors;
    const struct {
        RuleAction action;
        QString expected;
    } rows[] = {
        {openIn({"io.typora.Typora"}), "Typora"},
        {openIn({"vim"}), "Vim"}, // disabled editors still have names
        {openIn({"org.unknown"}), "org.unknown"},
        {openIn({}), "?"},
        {openIn({"code", "dev.zed.Zed"}), "Code, Zed"},
        {openIn({"io.typora.Typora", "code", "x"}), "Typora + 2 more"},
        {openIn({"io.typora.Typora", "code", "vim", "dev.zed.Zed"}), "Typora + 3 more"},
        {{RuleActionKind::specificEditor, QStringLiteral("code"), QStringList(), std::nullopt},
         "Code"},
        {actionOf(RuleActionKind::bestRunningEditor), "Best running editor"},
        {actionOf(RuleActionKind::defaultEditor), "Default editor"},
        {actionOf(RuleActionKind::selectFromAllEditors), "Select from all editors"},
        {actionOf(RuleActionKind::selectFromRunningEditors), "Select from running editors"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RuleDescriptions::actionSummary(row.action, editors), row.expected);
}

TEST_F(RuleDescriptionsTest, ruleTexts) {
    const Rule named =
        rule(allOf({fileName(SO::is, "x")}), openIn({"code"}), true, QStringLiteral("Work files"));
    EXPECT_EQ(descriptions.ruleSummary(named, route.editors), "Work files");

    Rule emptyName = named;
    emptyName.name = "";
    EXPECT_EQ(descriptions.ruleSummary(emptyName, route.editors), "Name is “x” → Code");

    const Rule unnamed = rule(allOf({}), actionOf(RuleActionKind::bestRunningEditor));
    EXPECT_EQ(descriptions.ruleSummary(unnamed, route.editors),
              "No conditions (never matches) → Best running editor");
}

TEST_F(RuleDescriptionsTest, defaultRuleTexts) {
    const struct {
        const char* name;
        RuleActionKind kind;
        std::optional<QStringList> defaults;
        std::optional<QString> active;
        QString expected;
    } rows[] = {
        {"running, enabled active", RuleActionKind::selectFromRunningEditors, std::nullopt, "code",
         "Default Rule → Select from running (fallback: Code)"},
        {"all, disabled active", RuleActionKind::selectFromAllEditors, std::nullopt, "vim",
         "Default Rule → Select from all (fallback: No Editor Selected)"},
        {"all, no active", RuleActionKind::selectFromAllEditors, QStringList{"code"}, std::nullopt,
         "Default Rule → Select from all (fallback: No Editor Selected)"},
        {"listed editors, disabled skipped", RuleActionKind::specificEditor,
         QStringList{"vim", "code", "gone", "dev.zed.Zed"}, "io.typora.Typora",
         "Default Rule → Code, Zed"},
        {"three listed", RuleActionKind::specificEditor,
         QStringList{"dev.zed.Zed", "code", "io.typora.Typora"}, std::nullopt,
         "Default Rule → Zed + 2 more"},
        {"listed all disabled", RuleActionKind::specificEditor, QStringList{"vim"}, "code",
         "Default Rule → No Editor Selected"},
        {"active editor when nothing listed", RuleActionKind::specificEditor, QStringList(),
         "dev.zed.Zed", "Default Rule → Zed"},
        {"disabled active editor", RuleActionKind::specificEditor, std::nullopt, "vim",
         "Default Rule → No Editor Selected"},
        {"nothing at all", RuleActionKind::specificEditor, std::nullopt, std::nullopt,
         "Default Rule → No Editor Selected"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        route.defaultActionKind = row.kind;
        route.defaultOpenBundleIDs = row.defaults;
        route.activeBundleID = row.active;
        EXPECT_EQ(RuleDescriptions::defaultRuleSummary(route), row.expected);
    }
}

TEST_F(RuleDescriptionsTest, abbreviatingWithTilde) {
    const QString home = QDir::homePath();
    EXPECT_EQ(RuleDescriptions::abbreviatingWithTilde(home), "~");
    EXPECT_EQ(RuleDescriptions::abbreviatingWithTilde(home + "/a/b"), "~/a/b");
    EXPECT_EQ(RuleDescriptions::abbreviatingWithTilde(home + "x/a"), home + "x/a");
    EXPECT_EQ(RuleDescriptions::abbreviatingWithTilde("/elsewhere"), "/elsewhere");
    EXPECT_EQ(RuleDescriptions::abbreviatingWithTilde(""), "");
}

TEST(RulesTableRows, rulesThenOneDefaultRow) {
    Route route = markdownRoute();
    EXPECT_EQ(rulesTableRows(route), QList<RulesTableRow>({RulesTableRow::defaultFallback()}));

    const Rule a = rule(allOf({}), openIn({"code"}));
    const Rule b = rule(allOf({}), openIn({"vim"}));
    route.rules = {a, b};
    const QList<RulesTableRow> rows = rulesTableRows(route);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], RulesTableRow::conditional(a));
    EXPECT_EQ(rows[1].rule(), b);
    EXPECT_TRUE(rows[2].isDefaultFallback());
    EXPECT_FALSE(rows[0].isDefaultFallback());
    EXPECT_NE(rows[0], rows[1]);
    EXPECT_NE(rows[0], rows[2]);
    EXPECT_EQ(RulesTableRow::defaultFallback(), rows[2]);
}

} // namespace
