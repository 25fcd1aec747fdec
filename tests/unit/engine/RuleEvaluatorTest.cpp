#include "core/engine/RuleEvaluator.h"
#include "core/engine/CaseInsensitiveText.h"
#include "core/engine/OpenContextBuilder.h"
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
    const std::tuple<Predicate, OpenContext, bool> rows[] = {
        // Name: the whole name without its extension, ignoring case; empty never "contains".
        {fileName(SO::is, "notes.FINAL"), notes, true},
        {fileName(std::nullopt, "Notes.final"), notes, true},
        {fileName(SO::is, "Notes.final.md"), notes, false},
        {fileName(SO::isNot, "NOTES.FINAL"), notes, false},
        {fileName(SO::contains, "S.fi"), notes, true},
        {fileName(SO::contains, ""), notes, false},
        {fileName(SO::is, "ÄRGER"), contextFor("/w/ärger.md"), true},
        // Extension: outer dots trimmed, the last extension only.
        {fileExtension(SO::is, "..MD."), notes, true},
        {fileExtension(SO::is, "tar.gz"), tarball, false},
        {fileExtension(SO::is, "gz"), tarball, true},
        {fileExtension(SO::isNot, ".md"), notes, false},
        {fileExtension(SO::contains, ".."), notes, false},
        {fileExtension(SO::is, "."), contextFor("/w/README"), true},
        {fileExtension(SO::is, std::nullopt), notes, false},
        // Folder: ~ expanded, trailing slash and . / .. removed, at any depth, case-sensitive.
        {parentFolder(EO::is, "~/Projects"), direct, true},
        {parentFolder(EO::is, "~/Projects"), deep, true},
        {parentFolder(EO::is, "~/Projects"), sibling, false},
        {parentFolder(EO::is, "~/Projects/"), direct, true},
        {parentFolder(std::nullopt, "~/Projects"), deep, true},
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
        {QStringLiteral("CAF\u00C9"), decomposed, true},
        {QStringLiteral("stra\u00DFe"), "STRASSE", true},
        {QStringLiteral("STRA\u1E9EE"), "strasse", true}, // capital sharp s
        {QStringLiteral("\uFB01le"), "FILE", true},       // the fi ligature
        {QStringLiteral("\u03A3\u03BF\u03C6\u03CC\u03C2"),
         QStringLiteral("\u03C3\u03BF\u03C6\u03CC\u03C3"), true},
        {"Notes", "notes", true},
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
        {"My " + decomposed + " notes", QStringLiteral("CAF\u00C9 N"), true},
        {decomposed, "cafe", false}, // the accent is part of the letter
        {"abc", "", false},
        {"", "", false},
    };
    for (const auto& [haystack, needle, expected] : containsRows)
        EXPECT_EQ(CaseInsensitiveText::contains(haystack, needle), expected)
            << qPrintable(haystack + " / " + needle);
}

// Every string condition uses that comparison, not only the file name.
TEST(PredicateMatches, stringConditionsCompareLettersNotCodePoints) {
    const QString decomposedName = QStringLiteral("/w/Cafe\u0301 Stra\u00DFe.md");
    OpenContext c = contextFor(decomposedName);
    c.creatorName = QStringLiteral("R\u00E9sum\u00E9 Maker");
    c.creatorBundleID = QStringLiteral("org.gro\u00DF.app");
    const std::pair<Predicate, bool> rows[] = {
        {fileName(SO::is, QStringLiteral("CAF\u00C9 STRASSE")), true},
        {fileName(SO::isNot, QStringLiteral("caf\u00E9 strasse")), false},
        {fileName(SO::contains, QStringLiteral("\u00E9 STR")), true},
        {creatorApp(EO::is, std::nullopt, QStringLiteral("RE\u0301SUME\u0301 MAKER")), true},
        {creatorApp(EO::is, "ORG.GROSS.APP", std::nullopt), true},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(predicateMatches(rows[i].first, c), rows[i].second) << "row " << i;
    const OpenContext ligature = contextFor(QStringLiteral("/w/notes.\uFB01le"));
    EXPECT_TRUE(predicateMatches(fileExtension(SO::is, ".FILE"), ligature));
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

} // namespace
