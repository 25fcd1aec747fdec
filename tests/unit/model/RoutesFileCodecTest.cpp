#include "core/model/RoutesFileCodec.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace {

const char fullDocument[] = R"({
  "version": 2,
  "routes": [{
    "id": "markdown", "name": "Markdown",
    "extensions": ["md", "markdown"],
    "probeIdentifiers": ["net.daringfireball.markdown"],
    "editors": [
      {"bundleID": "com.a", "name": "Alpha", "opensFolder": false, "enabled": true,
       "manual": false, "urlSchemeTemplate": "alpha://open?path={path}"},
      {"bundleID": "com.b", "name": "Beta", "opensFolder": true, "enabled": false,
       "manual": true}
    ],
    "activeBundleID": "com.a",
    "rules": [{"id": "R1", "name": "Work", "enabled": true,
               "when": {"id": "G1", "combine": "and", "predicates": [], "groups": []},
               "action": {"kind": "bestRunningEditor"}}],
    "defaultPreferenceOrder": ["com.a"],
    "isCustom": true,
    "pathRules": [{"pathPrefix": "/srv/notes", "bundleID": "com.a"}],
    "defaultActionKind": "selectFromAllEditors",
    "defaultOpenBundleIDs": ["com.a"],
    "utilities": [
      {"kind": "copyPOSIXPath", "enabled": true},
      {"kind": "revealInFinder", "enabled": false},
      {"kind": "openParentInTerminal", "enabled": true, "terminalBundleID": "org.kde.konsole"}
    ],
    "enabledShortcuts": [{"id": "S1", "name": "Make PDF"}],
    "enabledServices": [{"id": "V1", "name": "Word Count"}],
    "enabledScripts": [{"relativePath": "tools/lint.sh", "name": "Lint"}]
  }]
})";

QJsonObject full() {
    return JsonEdit::parse(fullDocument);
}

RouteStoreState decodeOk(const QJsonObject& root) {
    const auto result = RoutesFileCodec::decode(JsonEdit::bytes(root));
    if (const auto* error = std::get_if<DecodeError>(&result)) {
        ADD_FAILURE() << "unexpected error: " << error->description().toStdString();
        return {};
    }
    return std::get<RouteStoreState>(result);
}

QString decodeError(const QByteArray& data) {
    const auto result = RoutesFileCodec::decode(data);
    if (const auto* error = std::get_if<DecodeError>(&result))
        return error->description();
    return QStringLiteral("<decoded>");
}

QString decodeError(const QJsonObject& root) {
    return decodeError(JsonEdit::bytes(root));
}

TEST(RoutesFileDecoding, readsEveryField) {
    const RouteStoreState state = decodeOk(full());
    ASSERT_EQ(state.routes.size(), 1);
    const Route& r = state.routes.first();
    EXPECT_EQ(state.version, 2);
    EXPECT_EQ(r.id, "markdown");
    EXPECT_EQ(r.extensions, QStringList({"md", "markdown"}));
    EXPECT_EQ(r.probeIdentifiers, QStringList({"net.daringfireball.markdown"}));
    ASSERT_EQ(r.editors.size(), 2);
    EXPECT_EQ(r.editors[0].urlSchemeTemplate, QStringLiteral("alpha://open?path={path}"));
    EXPECT_EQ(r.editors[1], (Editor{"com.b", "Beta", true, false, true, std::nullopt}));
    EXPECT_EQ(r.activeBundleID, QStringLiteral("com.a"));
    ASSERT_EQ(r.rules.size(), 1);
    EXPECT_EQ(r.rules[0].name, QStringLiteral("Work"));
    EXPECT_TRUE(r.isCustom);
    ASSERT_TRUE(r.pathRules.has_value());
    EXPECT_EQ(*r.pathRules, QList<PathRule>({{"/srv/notes", "com.a"}}));
    EXPECT_EQ(r.defaultActionKind, RuleActionKind::selectFromAllEditors);
    EXPECT_EQ(r.defaultOpenBundleIDs, QStringList({"com.a"}));
    ASSERT_EQ(r.utilities.size(), 3);
    EXPECT_FALSE(r.utilities[1].enabled);
    EXPECT_EQ(r.utilities[2].terminalBundleID, QStringLiteral("org.kde.konsole"));
    EXPECT_EQ(r.enabledShortcuts, QList<EnabledExternalUtility>({{"S1", "Make PDF"}}));
    EXPECT_EQ(r.enabledServices, QList<EnabledExternalUtility>({{"V1", "Word Count"}}));
    EXPECT_EQ(r.enabledScripts, QList<EnabledScriptUtility>({{"tools/lint.sh", "Lint"}}));
}

TEST(RoutesFileDecoding, routeWithOnlyIdAndNameGetsDefaults) {
    const RouteStoreState state =
        decodeOk(JsonEdit::parse(R"({"routes": [{"id": "x", "name": "X"}]})"));
    EXPECT_EQ(state.version, 1);
    ASSERT_EQ(state.routes.size(), 1);
    const Route& r = state.routes.first();
    EXPECT_TRUE(r.extensions.isEmpty());
    EXPECT_TRUE(r.probeIdentifiers.isEmpty());
    EXPECT_TRUE(r.editors.isEmpty());
    EXPECT_TRUE(r.rules.isEmpty());
    EXPECT_TRUE(r.defaultPreferenceOrder.isEmpty());
    EXPECT_FALSE(r.activeBundleID.has_value());
    EXPECT_FALSE(r.isCustom);
    EXPECT_FALSE(r.pathRules.has_value());
    EXPECT_EQ(r.defaultActionKind, RuleActionKind::specificEditor);
    EXPECT_FALSE(r.defaultOpenBundleIDs.has_value());
    QList<PickerUtility> defaults;
    for (PickerUtilityKind kind : allPickerUtilityKinds)
        defaults.append(PickerUtility::makeDefault(kind));
    EXPECT_EQ(r.utilities, defaults);
    EXPECT_TRUE(r.enabledShortcuts.isEmpty() && r.enabledServices.isEmpty() &&
                r.enabledScripts.isEmpty());
}

TEST(RoutesFileDecoding, ignoresUnknownKeys) {
    QJsonObject root = JsonEdit::set(full(), "routes[0].futureField", 42);
    root = JsonEdit::set(root, "routes[0].editors[0].colour", "red");
    root.insert("generator", "elsewhere");
    EXPECT_EQ(decodeOk(root), decodeOk(full()));
}

// Every required key: missing and null both fail, reported at the object that lacks it.
TEST(RoutesFileDecoding, missingOrNullRequiredKeyFailsTheDocument) {
    const struct {
        const char* key;
        const char* expected;
    } rows[] = {
        {"routes", R"(missing key "routes")"},
        {"routes[0].id", R"(routes[0]: missing key "id")"},
        {"routes[0].name", R"(routes[0]: missing key "name")"},
        {"routes[0].editors[1].bundleID", R"(routes[0].editors[1]: missing key "bundleID")"},
        {"routes[0].editors[1].name", R"(routes[0].editors[1]: missing key "name")"},
        {"routes[0].editors[1].opensFolder", R"(routes[0].editors[1]: missing key "opensFolder")"},
        {"routes[0].editors[1].enabled", R"(routes[0].editors[1]: missing key "enabled")"},
        {"routes[0].editors[0].manual", R"(routes[0].editors[0]: missing key "manual")"},
        {"routes[0].pathRules[0].pathPrefix",
         R"(routes[0].pathRules[0]: missing key "pathPrefix")"},
        {"routes[0].pathRules[0].bundleID", R"(routes[0].pathRules[0]: missing key "bundleID")"},
        {"routes[0].utilities[2].kind", R"(routes[0].utilities[2]: missing key "kind")"},
        {"routes[0].utilities[0].enabled", R"(routes[0].utilities[0]: missing key "enabled")"},
        {"routes[0].enabledShortcuts[0].id", R"(routes[0].enabledShortcuts[0]: missing key "id")"},
        {"routes[0].enabledServices[0].name",
         R"(routes[0].enabledServices[0]: missing key "name")"},
        {"routes[0].enabledScripts[0].relativePath",
         R"(routes[0].enabledScripts[0]: missing key "relativePath")"},
        {"routes[0].enabledScripts[0].name", R"(routes[0].enabledScripts[0]: missing key "name")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(decodeError(JsonEdit::remove(full(), row.key)), row.expected);
        EXPECT_EQ(decodeError(JsonEdit::set(full(), row.key, QJsonValue::Null)), row.expected);
    }
}

TEST(RoutesFileDecoding, errorNamesTheRouteByItsIndex) {
    QJsonObject root = full();
    QJsonArray routes = root.value("routes").toArray();
    routes.append(routes.at(0));
    routes.append(routes.at(0));
    root.insert("routes", routes);
    EXPECT_EQ(decodeError(JsonEdit::remove(root, "routes[2].editors[0].manual")),
              R"(routes[2].editors[0]: missing key "manual")");
}

TEST(RoutesFileDecoding, optionalKeyHoldingNullReadsAsMissing) {
    QJsonObject root = full();
    for (const char* key :
         {"version", "routes[0].extensions", "routes[0].probeIdentifiers", "routes[0].editors",
          "routes[0].activeBundleID", "routes[0].rules", "routes[0].defaultPreferenceOrder",
          "routes[0].isCustom", "routes[0].pathRules", "routes[0].defaultActionKind",
          "routes[0].defaultOpenBundleIDs", "routes[0].utilities", "routes[0].enabledShortcuts",
          "routes[0].enabledServices", "routes[0].enabledScripts"})
        root = JsonEdit::set(root, key, QJsonValue::Null);
    const RouteStoreState viaNull = decodeOk(root);
    const RouteStoreState minimal =
        decodeOk(JsonEdit::parse(R"({"routes": [{"id": "markdown", "name": "Markdown"}]})"));
    EXPECT_EQ(viaNull, minimal);

    const RouteStoreState nested = decodeOk(JsonEdit::set(
        JsonEdit::set(full(), "routes[0].editors[0].urlSchemeTemplate", QJsonValue::Null),
        "routes[0].utilities[2].terminalBundleID", QJsonValue::Null));
    EXPECT_FALSE(nested.routes[0].editors[0].urlSchemeTemplate.has_value());
    EXPECT_FALSE(nested.routes[0].utilities[2].terminalBundleID.has_value());
}

TEST(RoutesFileDecoding, wrongJsonTypeFailsEvenForOptionalKeys) {
    const struct {
        const char* key;
        QJsonValue value;
        const char* expected;
    } rows[] = {
        {"version", "2", "version: expected an integer, found a string"},
        {"version", 2.5, "version: expected an integer, found 2.5"},
        {"routes", QJsonObject(), "routes: expected an array, found an object"},
        {"routes[0]", "markdown", "routes[0]: expected an object, found a string"},
        {"routes[0].id", 7, "routes[0].id: expected a string, found a number"},
        {"routes[0].extensions", "md", "routes[0].extensions: expected an array, found a string"},
        {"routes[0].extensions[1]", true,
         "routes[0].extensions[1]: expected a string, found a boolean"},
        {"routes[0].editors[0]", QJsonArray(),
         "routes[0].editors[0]: expected an object, found an array"},
        {"routes[0].editors[0].enabled", "yes",
         "routes[0].editors[0].enabled: expected a boolean, found a string"},
        {"routes[0].editors[0].urlSchemeTemplate", 1,
         "routes[0].editors[0].urlSchemeTemplate: expected a string, found a number"},
        {"routes[0].activeBundleID", false,
         "routes[0].activeBundleID: expected a string, found a boolean"},
        {"routes[0].isCustom", 1, "routes[0].isCustom: expected a boolean, found a number"},
        {"routes[0].pathRules", QJsonObject(),
         "routes[0].pathRules: expected an array, found an object"},
        {"routes[0].defaultActionKind", 0,
         "routes[0].defaultActionKind: expected a string, found a number"},
        {"routes[0].defaultOpenBundleIDs[0]", QJsonObject(),
         "routes[0].defaultOpenBundleIDs[0]: expected a string, found an object"},
        {"routes[0].utilities[0].terminalBundleID", 3,
         "routes[0].utilities[0].terminalBundleID: expected a string, found a number"},
        {"routes[0].enabledShortcuts[0].name", QJsonArray(),
         "routes[0].enabledShortcuts[0].name: expected a string, found an array"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(decodeError(JsonEdit::set(full(), row.key, row.value)), row.expected);
    }
}

TEST(RoutesFileDecoding, unknownEnumerationValuesFail) {
    EXPECT_EQ(decodeError(JsonEdit::set(full(), "routes[0].defaultActionKind", "alwaysAsk")),
              R"(routes[0].defaultActionKind: unknown value "alwaysAsk")");
    EXPECT_EQ(decodeError(JsonEdit::set(full(), "routes[0].utilities[1].kind", "printFile")),
              R"(routes[0].utilities[1].kind: unknown value "printFile")");
    // Case names are exact.
    EXPECT_EQ(decodeError(JsonEdit::set(full(), "routes[0].utilities[1].kind", "RevealInFinder")),
              R"(routes[0].utilities[1].kind: unknown value "RevealInFinder")");
}

TEST(RoutesFileDecoding, malformedDocumentsFail) {
    EXPECT_EQ(decodeError(QByteArray("[]")), "expected an object at the top level");
    EXPECT_TRUE(decodeError(QByteArray("{\"routes\": [\n  {]")).startsWith("line 2, column"));
    EXPECT_NE(decodeError(QByteArray()), "<decoded>");
}

TEST(RoutesFileDecoding, emptyDefaultEditorListReadsAsAbsent) {
    const RouteStoreState state =
        decodeOk(JsonEdit::set(full(), "routes[0].defaultOpenBundleIDs", QJsonArray()));
    EXPECT_FALSE(state.routes[0].defaultOpenBundleIDs.has_value());
}

QJsonObject encodedRoute(const Route& route) {
    return RoutesFileCodec::encode(route);
}

QStringList keysOf(const QJsonObject& object) {
    return object.keys();
}

TEST(RoutesFileEncoding, writesOptionalKeysOnlyWhenPresent) {
    Route bare;
    bare.id = "x";
    bare.name = "X";
    bare.editors = {Editor{"com.a", "Alpha", false, true, false, std::nullopt}};
    bare.utilities = {PickerUtility::makeDefault(PickerUtilityKind::copyPOSIXPath)};
    const QJsonObject o = encodedRoute(bare);
    EXPECT_EQ(keysOf(o),
              QStringList({"defaultActionKind", "defaultPreferenceOrder", "editors",
                           "enabledScripts", "enabledServices", "enabledShortcuts", "extensions",
                           "id", "isCustom", "name", "probeIdentifiers", "rules", "utilities"}));
    EXPECT_EQ(keysOf(o.value("editors").toArray().at(0).toObject()),
              QStringList({"bundleID", "enabled", "manual", "name", "opensFolder"}));
    EXPECT_EQ(keysOf(o.value("utilities").toArray().at(0).toObject()),
              QStringList({"enabled", "kind"}));

    Route rich = decodeOk(full()).routes.first();
    const QJsonObject r = encodedRoute(rich);
    EXPECT_EQ(r.value("activeBundleID").toString(), "com.a");
    EXPECT_EQ(r.value("defaultOpenBundleIDs").toArray(), QJsonArray({"com.a"}));
    EXPECT_FALSE(r.contains("pathRules"));
    EXPECT_EQ(r.value("editors").toArray().at(0).toObject().value("urlSchemeTemplate").toString(),
              "alpha://open?path={path}");
    EXPECT_EQ(r.value("utilities").toArray().at(2).toObject().value("terminalBundleID").toString(),
              "org.kde.konsole");

    rich.defaultOpenBundleIDs = QStringList();
    EXPECT_FALSE(encodedRoute(rich).contains("defaultOpenBundleIDs"));
}

TEST(RoutesFileEncoding, documentIsVersionTwoWithSortedKeysAndPlainSlashes) {
    RouteStoreState state = decodeOk(full());
    state.version = 1;
    const QByteArray data = RoutesFileCodec::encode(state);
    EXPECT_FALSE(data.contains("pathRules"));
    EXPECT_TRUE(data.contains("\"tools/lint.sh\""));
    EXPECT_FALSE(data.contains("\\/"));
    EXPECT_FALSE(data.contains("null"));
    const QJsonObject root = QJsonDocument::fromJson(data).object();
    EXPECT_EQ(root.keys(), QStringList({"routes", "version"}));
    EXPECT_EQ(root.value("version").toInteger(), 2);
    // Keys appear in ascending order in the text itself.
    const qsizetype a = data.indexOf("\"activeBundleID\"");
    const qsizetype d = data.indexOf("\"defaultActionKind\"");
    const qsizetype i = data.indexOf("\"id\": \"markdown\"");
    const qsizetype u = data.indexOf("\"utilities\"");
    EXPECT_TRUE(a >= 0 && a < d && d < i && i < u);
    EXPECT_LT(data.indexOf("\"routes\""), data.indexOf("\"version\""));
}

TEST(RoutesFileEncoding, roundTripKeepsEverythingButPathRules) {
    RouteStoreState state = decodeOk(full());
    state.routes[0].pathRules.reset();
    Route second = state.routes[0];
    second.id = "plaintext";
    second.activeBundleID.reset();
    second.defaultOpenBundleIDs.reset();
    second.editors[0].urlSchemeTemplate.reset();
    second.defaultActionKind = RuleActionKind::selectFromRunningEditors;
    state.routes.append(second);
    const auto back = RoutesFileCodec::decode(RoutesFileCodec::encode(state));
    ASSERT_TRUE(std::holds_alternative<RouteStoreState>(back));
    EXPECT_EQ(std::get<RouteStoreState>(back), state);
}

} // namespace
