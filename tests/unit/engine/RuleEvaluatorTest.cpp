#include "core/engine/RuleEvaluator.h"
#include "tests/unit/engine/RuleBuilders.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace RuleBuilders;
using namespace RuleEvaluator;

namespace {

using SO = StringMatchOperator;
using EO = EqualityOperator;
using CO = ComparisonOperator;

struct PredicateRow {
    const char* name;
    Predicate predicate;
    OpenContext context;
    bool expected;
};

void checkRows(const std::vector<PredicateRow>& rows) {
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(predicateMatches(row.predicate, row.context), row.expected);
    }
}

TEST(PredicateMatches, fileName) {
    const OpenContext notes = contextFor("/w/Notes.final.md");
    EXPECT_EQ(notes.fileName, "Notes.final");
    checkRows({
        {"is, ignoring case", fileName(SO::is, "notes.FINAL"), notes, true},
        {"absent operator reads as is", fileName(std::nullopt, "Notes.final"), notes, true},
        {"is needs the whole name", fileName(SO::is, "Notes"), notes, false},
        {"is does not see the extension", fileName(SO::is, "Notes.final.md"), notes, false},
        {"is not", fileName(SO::isNot, "other"), notes, true},
        {"is not, same name other case", fileName(SO::isNot, "NOTES.FINAL"), notes, false},
        {"contains, ignoring case", fileName(SO::contains, "S.fi"), notes, true},
        {"contains, missing text", fileName(SO::contains, "draft"), notes, false},
        {"contains the empty string never matches", fileName(SO::contains, ""), notes, false},
        {"contains an absent value never matches", fileName(SO::contains, std::nullopt), notes,
         false},
        {"is the empty string", fileName(SO::is, std::nullopt), notes, false},
        {"is not the empty string", fileName(SO::isNot, std::nullopt), notes, true},
        {"non-ASCII case folding", fileName(SO::is, "ÄRGER"), contextFor("/w/ärger.md"), true},
    });
}

TEST(PredicateMatches, fileExtension) {
    const OpenContext notes = contextFor("/w/notes.md");
    const OpenContext tarball = contextFor("/w/a.tar.gz");
    const OpenContext readme = contextFor("/w/README");
    checkRows({
        {".MD matches md (dots trimmed, case ignored)", fileExtension(SO::is, ".MD"), notes, true},
        {"every leading and trailing dot is trimmed", fileExtension(SO::is, "..md."), notes, true},
        {"inner dots stay: tar.gz is not gz", fileExtension(SO::is, "tar.gz"), tarball, false},
        {"gz matches a.tar.gz", fileExtension(SO::is, "gz"), tarball, true},
        {"is not", fileExtension(SO::isNot, "txt"), notes, true},
        {"is not, same extension", fileExtension(SO::isNot, ".md"), notes, false},
        {"contains", fileExtension(SO::contains, "M"), notes, true},
        {"contains only dots is the empty search", fileExtension(SO::contains, ".."), notes, false},
        {"empty value is the empty extension", fileExtension(SO::is, "."), readme, true},
        {"absent value against a real extension", fileExtension(SO::is, std::nullopt), notes,
         false},
    });
}

TEST(PredicateMatches, parentFolder) {
    const QString home = QDir::homePath();
    const OpenContext direct = contextFor(home + "/Projects/a.md");
    const OpenContext deep = contextFor(home + "/Projects/x/y/b.md");
    const OpenContext sibling = contextFor(home + "/Projects2/c.md");
    checkRows({
        {"~ folder, file directly inside", parentFolder(EO::is, "~/Projects"), direct, true},
        {"~ folder, file at any depth", parentFolder(EO::is, "~/Projects"), deep, true},
        {"a longer sibling name is not inside", parentFolder(EO::is, "~/Projects"), sibling, false},
        {"trailing slash removed", parentFolder(EO::is, "~/Projects/"), direct, true},
        {"trailing slash, sibling", parentFolder(EO::is, "~/Projects/"), sibling, false},
        {"absent operator reads as is", parentFolder(std::nullopt, "~/Projects"), deep, true},
        {"is not", parentFolder(EO::isNot, "~/Projects"), sibling, true},
        {"is not, inside", parentFolder(EO::isNot, "~/Projects"), deep, false},
        {"absolute folder with . and ..", parentFolder(EO::is, home + "/Other/../Projects/./x"),
         deep, true},
        {"case matters in folders", parentFolder(EO::is, "~/projects"), direct, false},
        {"empty folder matches every file", parentFolder(EO::is, ""), direct, true},
        {"absent folder matches every file", parentFolder(EO::is, std::nullopt), sibling, true},
        {"empty folder with is not matches none", parentFolder(EO::isNot, ""), direct, false},
        {"the root folder holds every file", parentFolder(EO::is, "/"), direct, true},
        {"the file's own path is inside", parentFolder(EO::is, "~/Projects/a.md"), direct, true},
        {"file URL with . components is standardised", parentFolder(EO::is, "/w/p"),
         contextFor("/w/q/../p/./n.md"), true},
    });
}

TEST(PredicateMatches, creatorApp) {
    OpenContext none = contextFor("/w/a.md");
    OpenContext byName = none;
    byName.creatorName = "Ulysses";
    OpenContext byBundle = none;
    byBundle.creatorBundleID = "com.ulyssesapp.mac";
    checkRows({
        {"no creator facts: is fails", creatorApp(EO::is, "com.x", "X"), none, false},
        {"no creator facts: is not holds", creatorApp(EO::isNot, "com.x", "X"), none, true},
        {"no creator facts, empty predicate, is not", creatorApp(EO::isNot, "", ""), none, true},
        {"name equals creator name ignoring case", creatorApp(EO::is, std::nullopt, "ulysses"),
         byName, true},
        {"bundle id equals creator bundle id", creatorApp(std::nullopt, "COM.ulyssesapp.mac", ""),
         byBundle, true},
        {"bundle id compared with the creator name", creatorApp(EO::is, "Ulysses", std::nullopt),
         byName, true},
        {"name is not compared with the creator bundle id",
         creatorApp(EO::is, std::nullopt, "com.ulyssesapp.mac"), byBundle, false},
        {"empty values never match", creatorApp(EO::is, "", ""), byName, false},
        {"different creator", creatorApp(EO::is, "com.x", "X"), byName, false},
        {"different creator, is not", creatorApp(EO::isNot, "com.x", "X"), byName, true},
        {"same creator, is not", creatorApp(EO::isNot, std::nullopt, "ULYSSES"), byName, false},
    });
}

TEST(PredicateMatches, hotkey) {
    OpenContext doubleClick = contextFor("/w/a.md");
    OpenContext fired = doubleClick;
    fired.activeHotkeyNames = QSet<QString>{"rule-A", "rule-B"};
    OpenContext firedNone = doubleClick;
    firedNone.activeHotkeyNames = QSet<QString>{};
    checkRows({
        {"fired hotkey", hotkey("rule-B"), fired, true},
        {"other hotkey", hotkey("rule-C"), fired, false},
        {"exact case", hotkey("rule-b"), fired, false},
        {"not opened by a hotkey", hotkey("rule-A"), doubleClick, false},
        {"empty set of hotkeys", hotkey("rule-A"), firedNone, false},
        {"empty name", hotkey(""), fired, false},
        {"absent name", hotkey(std::nullopt), fired, false},
    });
    // No operator applies to hotkeys: a stray one does not negate the result.
    Predicate negated = hotkey("rule-A");
    negated.equalityOperator = EO::isNot;
    negated.stringOperator = SO::isNot;
    EXPECT_TRUE(predicateMatches(negated, fired));
    EXPECT_FALSE(predicateMatches(negated, doubleClick));
}

TEST(PredicateMatches, runningEditors) {
    OpenContext none = contextFor("/w/a.md");
    OpenContext two = none;
    two.runningEnabledBundleIDs = {"a", "b"};
    checkRows({
        {"is 0 with none running", runningEditors(CO::is, 0), none, true},
        {"absent count reads as 0", runningEditors(CO::is, std::nullopt), none, true},
        {"absent operator reads as is", runningEditors(std::nullopt, 2), two, true},
        {"less than 1 with none running", runningEditors(CO::lessThan, 1), none, true},
        {"less than 2 with two running", runningEditors(CO::lessThan, 2), two, false},
        {"greater than 1 with two running", runningEditors(CO::greaterThan, 1), two, true},
        {"greater than 2 with two running", runningEditors(CO::greaterThan, 2), two, false},
        {"negative counts compare as numbers", runningEditors(CO::greaterThan, -1), none, true},
        {"is 1 with two running", runningEditors(CO::is, 1), two, false},
    });
}

TEST(EvaluateGroup, emptyAndNestedGroups) {
    const OpenContext c = contextFor("/w/a.md");
    EXPECT_FALSE(evaluateGroup(allOf({}), c));
    EXPECT_FALSE(evaluateGroup(anyOf({}), c));
    EXPECT_TRUE(evaluateGroup(anyOf({always()}, {allOf({})}), c));
    EXPECT_FALSE(evaluateGroup(allOf({always()}, {allOf({})}), c));
    EXPECT_FALSE(evaluateGroup(allOf({}, {allOf({}), anyOf({})}), c));
    EXPECT_TRUE(evaluateGroup(allOf({always(), always()}), c));
    EXPECT_FALSE(evaluateGroup(allOf({always(), never()}), c));
    EXPECT_TRUE(evaluateGroup(anyOf({never(), always()}), c));
    EXPECT_FALSE(evaluateGroup(anyOf({never(), never()}), c));
    // Nested groups only: and needs every group, or any.
    EXPECT_TRUE(evaluateGroup(allOf({}, {anyOf({never(), always()}), allOf({always()})}), c));
    EXPECT_FALSE(evaluateGroup(allOf({}, {anyOf({never()}), allOf({always()})}), c));
    EXPECT_TRUE(evaluateGroup(anyOf({never()}, {allOf({never()}), allOf({always()})}), c));
    // Deep nesting.
    PredicateGroup deep = allOf({always()});
    for (int i = 0; i < 50; ++i)
        deep = (i % 2 ? allOf({}, {deep}) : anyOf({never()}, {deep}));
    EXPECT_TRUE(evaluateGroup(deep, c));
}

TEST(FirstMatchingRule, skipsDisabledAndTakesTheFirstMatch) {
    const OpenContext c = contextFor("/w/draft.md");
    EXPECT_FALSE(firstMatchingRule({}, c).has_value());

    const Rule disabled = rule(allOf({always()}), openIn({"A"}), false);
    const Rule empty = rule(allOf({}), openIn({"B"}));
    const Rule miss = rule(allOf({fileName(SO::is, "other")}), openIn({"C"}));
    const Rule first = rule(allOf({fileName(SO::contains, "raf")}), openIn({"D"}));
    const Rule second = rule(allOf({always()}), openIn({"E"}));
    EXPECT_FALSE(firstMatchingRule({disabled, empty, miss}, c).has_value());
    EXPECT_EQ(firstMatchingRule({disabled, empty, miss, first, second}, c), first);
    EXPECT_EQ(firstMatchingRule({second, first}, c), second);
}

TEST(FindRule, byIdThenByUniqueName) {
    const Rule a = rule(allOf({}), openIn({"A"}), false, QStringLiteral("Work"));
    const Rule b = rule(allOf({}), openIn({"B"}), true, QStringLiteral("Work"));
    const Rule c = rule(allOf({}), openIn({"C"}), true, QStringLiteral("Home"));
    Rule namedLikeId = rule(allOf({}), openIn({"D"}), true, c.id);
    const QList<Rule> rules{a, b, namedLikeId, c};

    EXPECT_FALSE(findRule("", rules).has_value());
    EXPECT_EQ(findRule(a.id, rules), a);               // disabled, still found by id
    EXPECT_EQ(findRule(c.id, rules), c);               // an id beats an equal name
    EXPECT_EQ(findRule("Home", rules), c);             // unique name
    EXPECT_FALSE(findRule("Work", rules).has_value()); // ambiguous name
    EXPECT_FALSE(findRule("home", rules).has_value()); // exact case
    EXPECT_FALSE(findRule(a.id.toLower(), rules).has_value());
    EXPECT_FALSE(findRule("Nothing", rules).has_value());

    Rule unnamed = rule(allOf({}), openIn({"E"}));
    unnamed.name = "";
    EXPECT_FALSE(findRule("", {unnamed}).has_value());
}

TEST(StandardizedPath, expandsTildeAndCleans) {
    const QString home = QDir::homePath();
    const struct {
        QString in;
        QString out;
    } rows[] = {
        {"~", home},
        {"~/Projects/", home + "/Projects"},
        {"/a/./b/../c", "/a/c"},
        {"/a//b/", "/a/b"},
        {"/", "/"},
        {"", ""},
        {"/a/~/b", "/a/~/b"},
        {"~other/x", "~other/x"},
        {"/a/b/..", "/a"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(standardizedPath(row.in), row.out) << row.in.toStdString();
}

} // namespace
