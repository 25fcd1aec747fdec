#include "core/model/RoutesFileCodec.h"
#include "tests/unit/model/JsonEdit.h"

#include <gtest/gtest.h>

using namespace JsonEdit;

namespace {

TEST(RoutesFileCodec, everyFieldIsReadAndWrittenBackExceptPathRules) {
    const RouteStoreState state = decodeOk(document());
    ASSERT_EQ(state.routes.size(), 2);
    const Route& r = state.routes.first();
    EXPECT_EQ(r.editors.value(1), (Editor{"com.b", "Beta", true, false, true, std::nullopt}));
    EXPECT_EQ(r.pathRules, QList<PathRule>({{"/srv/notes", "com.a"}}));
    EXPECT_EQ(r.defaultActionKind, RuleActionKind::selectFromAllEditors);
    EXPECT_EQ(r.enabledScripts, QList<EnabledScriptUtility>({{"tools/lint.sh", "Lint"}}));

    const QByteArray written = RoutesFileCodec::encode(state);
    EXPECT_FALSE(written.contains("\\/"));
    const QJsonObject back = QJsonDocument::fromJson(written).object();
    EXPECT_EQ(back.value("routes")[0], remove(document(), "routes[0].pathRules")["routes"][0]);
    EXPECT_EQ(decodeOk(set(document(), "routes[0].futureField", 42)), state)
        << "unknown keys are ignored";
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

    QJsonObject root = set(document(), "routes[0].editors[0].urlSchemeTemplate", QJsonValue::Null);
    root = set(root, "routes[0].utilities[2].terminalBundleID", QJsonValue::Null);
    const Route nested =
        decodeOk(set(root, "routes[0].defaultOpenBundleIDs", QJsonArray())).routes[0];
    EXPECT_FALSE(nested.editors.value(0).urlSchemeTemplate.has_value());
    EXPECT_FALSE(nested.utilities.value(2).terminalBundleID.has_value());
    EXPECT_FALSE(nested.defaultOpenBundleIDs.has_value()) << "an empty list reads as absent";
}

TEST(RoutesFileCodec, missingOrNullRequiredKeyFailsTheDocument) {
    expectRequired({"routes", "routes[0].id", "routes[1].name", "routes[0].editors[1].bundleID",
                    "routes[0].editors[1].name", "routes[0].editors[1].opensFolder",
                    "routes[0].editors[1].enabled", "routes[0].editors[0].manual",
                    "routes[0].pathRules[0].pathPrefix", "routes[0].pathRules[0].bundleID",
                    "routes[0].utilities[2].kind", "routes[0].utilities[0].enabled",
                    "routes[0].enabledShortcuts[0].id", "routes[0].enabledServices[0].name",
                    "routes[0].enabledScripts[0].relativePath",
                    "routes[0].enabledScripts[0].name"});
    EXPECT_EQ(decodeError(remove(document(), "routes[0].editors[1].manual")),
              R"(routes[0].editors[1]: missing key "manual")");
}

// Optional keys are checked as strictly as required ones.
TEST(RoutesFileCodec, wrongTypesAndUnknownValuesFailTheDocument) {
    const struct {
        const char* key;
        QJsonValue value;
        const char* suffix; // after the key's own path
    } rows[] = {
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
    };
    for (const auto& row : rows)
        EXPECT_EQ(decodeError(set(document(), row.key, row.value)), row.key + QString(row.suffix));
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
}

} // namespace
