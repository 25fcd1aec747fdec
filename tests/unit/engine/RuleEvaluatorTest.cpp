#include "core/engine/RuleEvaluator.h"
#include "core/engine/CaseInsensitiveText.h"
#include "core/engine/OpenContextBuilder.h"
#include "core/engine/RuleDescriptions.h"
#include "tests/support/FakeServices.h"
#include "tests/support/RuleBuilders.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace RuleBuilders;
using namespace RuleEvaluator;

namespace {

TEST(PredicateMatches, everyKindAndOperator) {
    const QString home = QDir::homePath();
    const OpenContext notes = contextFor("/w/Notes.final.md"); // no creator, hotkey or editors
    const OpenContext tarball = contextFor("/w/a.tar.gz");
    const OpenContext direct = contextFor(home + "/Projects/a.md");
    const OpenContext deep = contextFor(home + "/Projects/x/y/b.md");
    const OpenContext sibling = contextFor(home + "/Projects2/c.md");
    OpenContext rich = notes;
    rich.creatorName = "Ulysses";
    rich.creatorBundleID = "com.u.mac";
    rich.activeHotkeyNames = QSet<QString>{"rule-A", "rule-B"};
    rich.runningEnabledBundleIDs = {"a", "b"};
    // Decomposed, as some file systems and tools give names; typed names are usually composed.
    OpenContext decomposed = contextFor(QStringLiteral("/w/Cafe\u0301 Stra\u00DFe.md"));
    decomposed.creatorName = QStringLiteral("R\u00E9sum\u00E9 Maker");
    decomposed.creatorBundleID = QStringLiteral("org.gro\u00DF.app");
    const std::tuple<Predicate, OpenContext, bool> rows[] = {
        // Name: the whole name without its extension, ignoring case; empty never "contains".
        {fileName(SO::is, "notes.FINAL"), notes, true},
        {fileName(SO::is, "Notes.final.md"), notes, false},
        {fileName(SO::isNot, "NOTES.FINAL"), notes, false},
        {fileName(SO::contains, "S.fi"), notes, true},
        {fileName(SO::contains, ""), notes, false},
        {fileName(SO::is, "ÄRGER"), contextFor("/w/ärger.md"), true},
        // Every string condition compares letters, not code points.
        {fileName(SO::is, QStringLiteral("CAF\u00C9 STRASSE")), decomposed, true},
        {fileName(SO::isNot, QStringLiteral("caf\u00E9 strasse")), decomposed, false},
        {fileName(SO::contains, QStringLiteral("\u00E9 STR")), decomposed, true},
        {creatorApp(EO::is, std::nullopt, QStringLiteral("RE\u0301SUME\u0301 MAKER")), decomposed,
         true},
        {creatorApp(EO::is, "ORG.GROSS.APP", std::nullopt), decomposed, true},
        {fileExtension(SO::is, ".FILE"), contextFor(QStringLiteral("/w/notes.\uFB01le")), true},
        // Extension: outer dots trimmed, the last extension only.
        {fileExtension(SO::is, "..MD."), notes, true},
        {fileExtension(SO::is, "tar.gz"), tarball, false},
        {fileExtension(SO::is, "gz"), tarball, true},
        {fileExtension(SO::isNot, ".md"), notes, false},
        {fileExtension(SO::contains, ".."), notes, false},
        {fileExtension(SO::is, "."), contextFor("/w/README"), true},
        {fileExtension(SO::is, std::nullopt), notes, false},
        // Folder: ~ expanded, . / .. removed, at any depth, case-sensitive. (Absent operators
        // and a trailing slash: "corvanta explain" in CommandsTest.)
        {parentFolder(EO::is, "~/Projects"), direct, true},
        {parentFolder(EO::is, "~/Projects"), deep, true},
        {parentFolder(EO::is, "~/Projects"), sibling, false},
        {parentFolder(EO::isNot, "~/Projects"), deep, false},
        {parentFolder(EO::is, home + "/O/../Projects/./x"), deep, true},
        {parentFolder(EO::is, ""), direct, true},
        {parentFolder(EO::is, std::nullopt), sibling, true},
        {parentFolder(EO::isNot, ""), direct, false},
        {parentFolder(EO::is, "/"), direct, true},
        {parentFolder(EO::is, "/w/p"), contextFor("/w/q/../p/./n.md"), true},
        // Creator: the bundle id is compared with both facts, the name only with the name.
        {creatorApp(EO::is, "com.x", "X"), notes, false},
        {creatorApp(EO::isNot, "com.x", "X"), notes, true},
        {creatorApp(EO::is, std::nullopt, "ulysses"), rich, true},
        {creatorApp(std::nullopt, "COM.u.mac", ""), rich, true},
        {creatorApp(EO::is, "Ulysses", std::nullopt), rich, true},
        {creatorApp(EO::is, std::nullopt, "com.u.mac"), rich, false},
        {creatorApp(EO::isNot, std::nullopt, "ULYSSES"), rich, false},
        // Hotkey: exact name among the fired ones.
        {hotkey("rule-B"), rich, true},
        {hotkey("rule-b"), rich, false},
        {hotkey("rule-A"), notes, false},
        // Running editors: absent operator is "is", absent count is 0.
        {runningEditors(CO::is, std::nullopt), notes, true},
        {runningEditors(std::nullopt, 2), rich, true},
        {runningEditors(CO::lessThan, 2), rich, false},
        {runningEditors(CO::greaterThan, 2), rich, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(predicateMatches(get<0>(rows[i]), get<1>(rows[i])), get<2>(rows[i]))
            << "row " << i;

    // No operator applies to hotkeys: a stray one does not negate the result.
    Predicate negated = hotkey("rule-A");
    negated.equalityOperator = EO::isNot;
    negated.stringOperator = SO::isNot;
    EXPECT_TRUE(predicateMatches(negated, rich));
    EXPECT_FALSE(predicateMatches(negated, notes));
}

// File names reach Corvanta decomposed from some file systems and tools, and
// typed names are usually composed; full folding makes ß and SS one spelling.
TEST(CaseInsensitiveText, normalisationFormsAndFullCaseFoldingCompareEqual) {
    const QString composed = QStringLiteral("caf\u00E9"), decomposed = QStringLiteral("cafe\u0301");
    const std::tuple<QString, QString, bool> equalRows[] = {
        {composed, decomposed, true},
        {QStringLiteral("stra\u00DFe"), "STRASSE", true},
        {QStringLiteral("STRA\u1E9EE"), "strasse", true}, // capital sharp s
        {QStringLiteral("\u03A3\u03BF\u03C6\u03CC\u03C2"),
         QStringLiteral("\u03C3\u03BF\u03C6\u03CC\u03C3"), true},
        {"cafe", composed, false},
        {"strasse", "strase", false},
        {"", "", true},
    };
    for (const auto& [a, b, expected] : equalRows) {
        EXPECT_EQ(CaseInsensitiveText::equal(a, b), expected) << qPrintable(a + " / " + b);
        EXPECT_EQ(CaseInsensitiveText::equal(b, a), expected) << qPrintable(b + " / " + a);
    }
    const std::tuple<QString, QString, bool> containsRows[] = {
        {QStringLiteral("Gro\u00DFe Stra\u00DFe"), "SSE STR", true},
        {decomposed, "cafe", false}, // the accent is part of the letter
        {"", "", false},
    };
    for (const auto& [haystack, needle, expected] : containsRows)
        EXPECT_EQ(CaseInsensitiveText::contains(haystack, needle), expected)
            << qPrintable(haystack + " / " + needle);
}

TEST(EvaluateGroup, emptyAndNestedGroups) {
    const OpenContext c = contextFor("/w/a.md");
    const std::pair<PredicateGroup, bool> rows[] = {
        {allOf({}), false},
        {anyOf({}), false},
        {anyOf({always}, {allOf({})}), true},
        {allOf({always}, {allOf({})}), false},
        {allOf({always, never}), false},
        {anyOf({never, always}), true},
        {allOf({}, {anyOf({never, always}), allOf({always})}), true},
        {allOf({}, {anyOf({never}), allOf({always})}), false},
        {anyOf({never}, {allOf({never}), allOf({always})}), true},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(evaluateGroup(rows[i].first, c), rows[i].second) << "row " << i;
}

// Names, extension, hotkeys and creator are also checked through "corvanta explain".
TEST(OpenContextBuilder, factsOfTheFile) {
    FakeRunningApplications running;
    running.running = {"code", "vim", "org.mozilla.firefox"};
    FakeFileMetadata metadata;
    metadata.creators.insert("/w/blank.md", "");
    const OpenContextBuilder builder{running, metadata};
    const OpenContext c =
        builder.makeOpenContext(QUrl::fromLocalFile("/w/./x/../blank.md"), markdownRoute(), {});
    EXPECT_EQ(c.runningEnabledBundleIDs, QSet<QString>({"code"})) << "vim is disabled";
    EXPECT_EQ(c.parentPath, "/w");
    EXPECT_EQ(c.creatorName, std::nullopt) << "an empty creator is none";
}

TEST(RuleDescriptions, predicateAndConditionTexts) {
    FakeShortcutRegistry shortcuts;
    const RuleDescriptions descriptions{shortcuts};
    const QString home = QDir::homePath();
    const std::pair<Predicate, QString> rows[] = {
        {fileName(SO::is, "draft"), "Name is “draft”"},
        {fileExtension(SO::contains, ".MD."), "Extension contains “.MD.”"},
        {parentFolder(EO::is, home), "Folder is ~"},
        {parentFolder(EO::is, home + "2/x"), "Folder is " + home + "2/x"},
        {parentFolder(std::nullopt, std::nullopt), "Folder is "},
        {creatorApp(EO::is, "com.ulyssesapp.mac", "Ulysses"), "Creator is com.ulyssesapp.mac"},
        {creatorApp(EO::isNot, std::nullopt, "Ulysses"), "Creator is not "},
        {hotkey("rule-unset"), "Hotkey (not set)"},
        {runningEditors(std::nullopt, std::nullopt), "Running editors is 0"},
    };
    for (const auto& [predicate, expected] : rows)
        EXPECT_EQ(descriptions.predicateSummary(predicate), expected);

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
