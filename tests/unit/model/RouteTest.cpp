#include "core/model/Route.h"
#include "core/model/PathExtension.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/RuleBuilders.h"

#include <gtest/gtest.h>

namespace {

using RuleBuilders::editor;
using Kind = RuleActionKind;
using UK = PickerUtilityKind;

// Enabled B ("Beta"), A ("Alpha"), C ("Cobalt"); X disabled.
Route routeWithBAC() {
    Route r;
    r.editors = {editor("B", "Beta"), editor("A", "Alpha"), editor("C", "Cobalt"),
                 editor("X", "Xylo", false)};
    return r;
}

TEST(RouteNormalisation, defaultRuleIsNarrowedAndUtilitiesBecomeThree) {
    const QJsonObject root =
        JsonEdit::set(JsonEdit::document(), "routes[1].defaultActionKind", "bestRunningEditor");
    EXPECT_EQ(JsonEdit::decodeOk(root).routes.value(1).defaultActionKind, Kind::specificEditor);
    for (Kind kind : {Kind::selectFromAllEditors, Kind::selectFromRunningEditors})
        EXPECT_EQ(Route::normalizedDefaultActionKind(kind), kind);
    for (std::optional<Kind> kind : {std::optional(Kind::defaultEditor), std::optional<Kind>()})
        EXPECT_EQ(Route::normalizedDefaultActionKind(kind), Kind::specificEditor);

    // Fixed order; a later entry of a kind wins; a missing kind gets its default entry.
    Route r;
    r.utilities = {{UK::openParentInTerminal, false, "iterm"},
                   {UK::revealInFinder, false, std::nullopt},
                   {UK::revealInFinder, true, "t"}};
    r.normalizeUtilities();
    EXPECT_EQ(r.utilities, QList<PickerUtility>({PickerUtility::makeDefault(UK::copyPOSIXPath),
                                                 {UK::revealInFinder, true, "t"},
                                                 {UK::openParentInTerminal, false, "iterm"}}));
    EXPECT_EQ(r.utilities[0], (PickerUtility{UK::copyPOSIXPath, true, std::nullopt}));
}

TEST(RouteNormalisation, preferenceOrder) {
    // Stored order, active editor, normalised order.
    const std::tuple<QStringList, std::optional<QString>, QStringList> rows[] = {
        {{"C", "X"}, {}, {"C", "A", "B"}}, // stale dropped, the rest by name
        {{}, "B", {"B", "A", "C"}},        // an empty order starts with the active editor
        {{"C"}, "B", {"C", "A", "B"}},
        {{}, "X", {"A", "B", "C"}}, // a disabled active editor is not promoted
        {{"A", "A"}, {}, {"A", "A", "B", "C"}},
        {{"gone"}, "C", {"C", "A", "B"}},
    };
    for (const auto& [stored, active, expected] : rows) {
        Route r = routeWithBAC();
        r.defaultPreferenceOrder = stored;
        r.activeBundleID = active;
        r.normalizePreferenceOrder();
        EXPECT_EQ(r.defaultPreferenceOrder, expected) << stored.join(',').toStdString();
    }
}

TEST(RouteNormalisation, purgeEditorReferencesKeepsEveryRule) {
    const std::pair<RuleAction, RuleAction> rows[] = {
        {{Kind::specificEditor, "x", QStringList{"x"}, QStringList{"A"}}, {}},
        {{Kind::specificEditor, "x", QStringList{"x", "B", "x", "C"}, std::nullopt},
         {Kind::specificEditor, "B", QStringList{"B", "C"}, std::nullopt}},
        {{Kind::specificEditor, "x", std::nullopt, std::nullopt}, {}},
        // Other kinds only lose the editor from their order; the list stays when empty.
        {{Kind::bestRunningEditor, std::nullopt, std::nullopt, QStringList{"x"}},
         {Kind::bestRunningEditor, std::nullopt, std::nullopt, QStringList()}},
        {{Kind::selectFromAllEditors, "x", QStringList{"x"}, std::nullopt},
         {Kind::selectFromAllEditors, "x", QStringList{"x"}, std::nullopt}},
    };
    Route r = routeWithBAC();
    r.defaultOpenBundleIDs = QStringList{"x", "A", "x"};
    for (const auto& row : rows)
        r.rules.append(Rule{makeRuleIdentifier(), std::nullopt, true, {}, row.first});
    r.purgeEditorReferences("x");
    EXPECT_EQ(r.defaultOpenBundleIDs, QStringList({"A"}));
    ASSERT_EQ(r.rules.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(r.rules[i].action, rows[i].second) << i;
    r.purgeEditorReferences("A");
    EXPECT_FALSE(r.defaultOpenBundleIDs.has_value());
}

// An HTML route lists the web browsers: it may know the type by any of its names.
TEST(RouteFacts, htmlRouteIsKnownByExtensionOrEitherTypeName) {
    const std::tuple<QStringList, QStringList, bool> rows[] = {
        {{"HTM"}, {}, true},
        {{"xhtml"}, {"text/html"}, true},
        {{}, {"public.html"}, true},
        {{"xhtml"}, {"application/xhtml+xml", "text/plain"}, false},
    };
    for (const auto& [extensions, identifiers, expected] : rows) {
        Route r;
        r.extensions = extensions;
        r.probeIdentifiers = identifiers;
        EXPECT_EQ(r.isHTMLRoute(), expected) << identifiers.join(',').toStdString();
    }
}

// Route lookup and rule facts rely on these; a dotfile must not be routed by its name.
TEST(PathExtension, splitsTheLastComponent) {
    const char* rows[][3] = {
        {"/u/Notes.Final.MD", "md", "Notes.Final"},
        {"/u/README", "", "README"},
        {"/u/.profile", "", ".profile"},
        {"/u/.config.json", "json", ".config"},
        {"/u/dir.d/", "d", "dir"},
        {"/", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(pathExtension(QString::fromUtf8(row[0])), row[1]) << row[0];
        EXPECT_EQ(pathBaseName(QString::fromUtf8(row[0])), row[2]) << row[0];
    }
    EXPECT_EQ(pathExtension(QUrl::fromLocalFile("/tmp/a b%20c.Md")), "md");
    EXPECT_EQ(urlPath(QUrl("file:///tmp/a%20b.md")), "/tmp/a b.md");
}

} // namespace
