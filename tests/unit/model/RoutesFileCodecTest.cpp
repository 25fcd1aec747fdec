#include "core/model/RoutesFileCodec.h"
#include "core/model/PathExtension.h"
#include "core/model/RuleCodec.h"
#include "tests/support/JsonEdit.h"
#include "tests/support/RuleBuilders.h"

#include <gtest/gtest.h>

using namespace JsonEdit;
using namespace RuleBuilders;

namespace {

// Keys starting with "@" address the second rule of the first route.
QString keyPath(QString key) {
    return key.replace("@", "routes[0].rules[1].");
}

TEST(RoutesFileCodec, everyFieldIsReadAndWrittenBackExceptPathRules) {
    const RouteStoreState state = decodeOk(document());
    ASSERT_EQ(state.routes.size(), 2);
    const Route& r = state.routes.first();
    EXPECT_EQ(r.editors.value(1), (Editor{"com.b", "Beta", true, false, true, std::nullopt}));
    EXPECT_EQ(r.pathRules, QList<PathRule>({{"/srv/notes", "com.a"}}));
    EXPECT_EQ(r.rules.value(1).when.predicates.value(2).comparisonOperator, CO::greaterThan);
    EXPECT_EQ(r.rules.value(1).when.groups.value(0).predicates.value(0).bundleID, "com.a");

    const QByteArray written = RoutesFileCodec::encode(state);
    EXPECT_FALSE(written.contains("\\/"));
    const QJsonObject back = QJsonDocument::fromJson(written).object();
    EXPECT_EQ(back.value("routes")[0], remove(document(), "routes[0].pathRules")["routes"][0]);
    EXPECT_EQ(decodeOk(set(document(), "routes[0].futureField", 42)), state)
        << "unknown keys are ignored";

    // The retired "modifierHeld" predicate is dropped, here between two valid ones.
    const QJsonObject retired =
        set(document(), keyPath("@when.predicates[1]"), QJsonObject{{"kind", "modifierHeld"}});
    const QList<Predicate> left = decodeOk(retired).routes.value(0).rules.value(1).when.predicates;
    EXPECT_EQ(left.size() == 2 ? left[0].id + left[1].id : QString(), "P0P2");
}

// A route with only "id" and "name", and one whose optional keys are all null, read the same.
TEST(RoutesFileCodec, missingAndNullOptionalKeysTakeTheDefaults) {
    Route expected;
    expected.id = "plaintext";
    expected.name = "Plain Text";
    expected.normalizeUtilities();
    QJsonObject nulls =
        set(set(document(), "routes[0].id", "plaintext"), "routes[0].name", "Plain Text");
    nulls.insert("version", QJsonValue::Null);
    for (const char* key : {"extensions", "probeIdentifiers", "editors", "activeBundleID", "rules",
                            "defaultPreferenceOrder", "isCustom", "pathRules", "defaultActionKind",
                            "defaultOpenBundleIDs", "utilities", "enabledShortcuts",
                            "enabledServices", "enabledScripts"})
        nulls = set(nulls, QStringLiteral("routes[0].") + key, QJsonValue::Null);
    const RouteStoreState state = decodeOk(nulls);
    EXPECT_EQ(state.version, 1);
    EXPECT_EQ(state.routes, QList<Route>({expected, expected}));

    QJsonObject root = set(document(), "routes[0].defaultOpenBundleIDs", QJsonArray());
    root = set(root, "routes[0].editors[0].urlSchemeTemplate", QJsonValue::Null);
    root = set(root, "routes[0].utilities[2].terminalBundleID", QJsonValue::Null);
    QJsonObject ruleLeft = document()["routes"][0]["rules"][1].toObject();
    for (const char* key : {"name", "when.groups", "when.predicates[0].stringOperator",
                            "when.predicates[0].stringValue", "when.predicates[2].countValue",
                            "action.preferenceOrder", "action.bundleIDs", "action.bundleID"}) {
        root = set(root, QStringLiteral("routes[0].rules[1].") + key, QJsonValue::Null);
        ruleLeft = remove(ruleLeft, key);
    }
    const Route r = decodeOk(root).routes.value(0);
    EXPECT_FALSE(r.defaultOpenBundleIDs.has_value()) << "an empty list reads as absent";
    EXPECT_FALSE(r.editors.value(0).urlSchemeTemplate.has_value());
    EXPECT_FALSE(r.utilities.value(2).terminalBundleID.has_value());
    EXPECT_EQ(RuleCodec::encode(r.rules.value(1)), set(ruleLeft, "when.groups", QJsonArray()));
}

// Removing a required key, or setting it to null, fails the whole document with an error
// naming the object that lacks it.
TEST(RoutesFileCodec, missingOrNullRequiredKeyFailsTheDocument) {
    const QStringList keys =
        list("routes routes[0].id routes[1].name routes[0].editors[1].bundleID "
             "routes[0].editors[1].name routes[0].editors[1].opensFolder "
             "routes[0].editors[1].enabled routes[0].editors[0].manual "
             "routes[0].pathRules[0].pathPrefix routes[0].pathRules[0].bundleID "
             "routes[0].utilities[2].kind routes[0].utilities[0].enabled "
             "routes[0].enabledShortcuts[0].id routes[0].enabledServices[0].name "
             "routes[0].enabledScripts[0].relativePath routes[0].enabledScripts[0].name @id "
             "@enabled @when @action @when.id @when.combine @when.predicates "
             "@when.predicates[2].id @when.predicates[0].kind @when.groups[0].predicates[1].id "
             "@action.kind");
    for (const QString& key : keys) {
        const QString path = keyPath(key);
        const qsizetype dot = path.lastIndexOf('.');
        const QString expected = (dot < 0 ? QString() : path.left(dot) + ": ") + "missing key \"" +
                                 path.mid(dot + 1) + '"';
        EXPECT_EQ(decodeError(remove(document(), path)), expected);
        EXPECT_EQ(decodeError(set(document(), path, QJsonValue::Null)), expected);
    }
    EXPECT_EQ(decodeError(remove(document(), "routes[0].editors[1].manual")),
              R"(routes[0].editors[1]: missing key "manual")");
}

// Optional keys are checked as strictly as required ones. The retired "modifierHeld" is
// only tolerated under its exact name, as a whole predicate.
TEST(RoutesFileCodec, wrongTypesAndUnknownValuesFailTheDocument) {
    // Key, value put there, error after the key's own path.
    const std::tuple<const char*, QJsonValue, const char*> rows[] = {
        {"version", "2", ": expected an integer, found a string"},
        {"version", 2.5, ": expected an integer, found 2.5"},
        {"routes", QJsonObject(), ": expected an array, found an object"},
        {"routes[1]", "plaintext", ": expected an object, found a string"},
        {"routes[0].id", 7, ": expected a string, found a number"},
        {"routes[0].editors[0].enabled", "yes", ": expected a boolean, found a string"},
        {"routes[0].editors[0].urlSchemeTemplate", 1, ": expected a string, found a number"},
        {"routes[0].activeBundleID", false, ": expected a string, found a boolean"},
        {"routes[0].isCustom", 1, ": expected a boolean, found a number"},
        {"routes[0].pathRules", QJsonObject(), ": expected an array, found an object"},
        {"routes[0].defaultOpenBundleIDs[0]", QJsonArray(), ": expected a string, found an array"},
        {"routes[0].defaultActionKind", "alwaysAsk", R"(: unknown value "alwaysAsk")"},
        {"routes[0].utilities[1].kind", "RevealInFinder", R"(: unknown value "RevealInFinder")"},
        {"@when.predicates[0].kind", "fileSize", R"(: unknown value "fileSize")"},
        {"@when.predicates[0].stringOperator", "startsWith", R"(: unknown value "startsWith")"},
        {"@when.predicates[1].equalityOperator", "contains", R"(: unknown value "contains")"},
        {"@when.predicates[2].comparisonOperator", "atLeast", R"(: unknown value "atLeast")"},
        {"@when.predicates[2].countValue", "2", ": expected an integer, found a string"},
        {"@when.predicates[2].countValue", 1.5, ": expected an integer, found 1.5"},
        {"@when.predicates[1].kind", "ModifierHeld", R"(: unknown value "ModifierHeld")"},
        {"@when.predicates[1]", "modifierHeld", ": expected an object, found a string"},
        {"@when.groups[0].combine", "nand", R"(: unknown value "nand")"},
        {"@action.kind", "openTwice", R"(: unknown value "openTwice")"},
        {"@action.bundleIDs", "com.a", ": expected an array, found a string"},
        {"@action.preferenceOrder", QJsonArray{"a", 5}, "[1]: expected a string, found a number"},
    };
    for (const auto& [key, value, suffix] : rows)
        EXPECT_EQ(decodeError(set(document(), keyPath(key), value)), keyPath(key) + suffix);
    EXPECT_EQ(decodeError(QByteArray("[]")), "expected an object at the top level");
    EXPECT_TRUE(decodeError(QByteArray("{\"routes\": [\n  {]")).startsWith("line 2, column"));
    EXPECT_NE(decodeError(QByteArray()), "<decoded>");
}

TEST(RoutesFileCodec, absentKeysAndPathRulesAreNotWritten) {
    Route bare = decodeOk(document()).routes.value(1);
    bare.pathRules = QList<PathRule>{{"/srv", "com.a"}};
    bare.defaultOpenBundleIDs = QStringList();
    EXPECT_EQ(RoutesFileCodec::encode(bare).keys(),
              QStringList({"defaultActionKind", "defaultPreferenceOrder", "editors",
                           "enabledScripts", "enabledServices", "enabledShortcuts", "extensions",
                           "id", "isCustom", "name", "probeIdentifiers", "rules", "utilities"}));
    const RouteStoreState versionOne{1, {bare}};
    EXPECT_EQ(QJsonDocument::fromJson(RoutesFileCodec::encode(versionOne))["version"], 2);

    EXPECT_EQ(RuleCodec::encode(hotkey(std::nullopt)).keys(), QStringList({"id", "kind"}));
    const Rule emptyName = rule(allOf({}), openIn({}), true, QString());
    EXPECT_EQ(RuleCodec::encode(emptyName).value("name"), "") << "an empty name is kept";
    EXPECT_EQ(emptyName.id.size(), 36);
    EXPECT_EQ(emptyName.id, emptyName.id.toUpper());
}

TEST(RoutesFileCodec, actionEditorListIsNormalisedBothWays) {
    const std::pair<const char*, RuleAction> reads[] = {
        {R"({"kind": "specificEditor", "bundleID": "A"})", openIn({"A"})},
        {R"({"kind": "specificEditor", "bundleIDs": ["A", "B"]})", openIn({"A", "B"})},
        {R"({"kind": "specificEditor", "bundleIDs": []})", openIn({})},
        {R"({"kind": "specificEditor", "bundleID": "A", "bundleIDs": []})", openIn({"A"})},
        {R"({"kind": "specificEditor", "bundleID": "Z", "bundleIDs": ["A"]})",
         {Kind::specificEditor, "Z", QStringList{"A"}, std::nullopt}},
    };
    for (const auto& [json, action] : reads)
        EXPECT_EQ(RuleCodec::decodeAction(JsonNode(parse(json), "action")), action) << json;

    const std::pair<RuleAction, const char*> writes[] = {
        {{Kind::specificEditor, "A", QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":["A"],"kind":"specificEditor"})"},
        {{Kind::specificEditor, "Z", list("A B"), list("B")},
         R"({"bundleID":"A","bundleIDs":["A","B"],"kind":"specificEditor","preferenceOrder":["B"]})"},
        {openIn({}), R"({"kind":"specificEditor"})"},
        {{Kind::selectFromAllEditors, "A", QStringList(), std::nullopt},
         R"({"bundleID":"A","bundleIDs":[],"kind":"selectFromAllEditors"})"},
    };
    for (const auto& [action, json] : writes)
        EXPECT_EQ(bytes(RuleCodec::encode(action)), json);
}

using UK = PickerUtilityKind;

// Enabled B ("Beta"), A ("Alpha"), C ("Cobalt"); X disabled.
Route routeWithBAC() {
    Route r;
    r.editors = {editor("B", "Beta"), editor("A", "Alpha"), editor("C", "Cobalt"),
                 editor("X", "Xylo", false)};
    return r;
}

TEST(RouteNormalisation, defaultRuleIsNarrowedAndUtilitiesBecomeThree) {
    const QJsonObject root = set(document(), "routes[1].defaultActionKind", "bestRunningEditor");
    EXPECT_EQ(decodeOk(root).routes.value(1).defaultActionKind, Kind::specificEditor);
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
