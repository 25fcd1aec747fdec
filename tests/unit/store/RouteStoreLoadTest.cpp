#include "tests/support/StoreTestSupport.h"

#include "core/model/BuiltInRoutes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

TEST_F(StoreTest, StoredRoutesAreMergedKeptOrDroppedAndTheFileRewritten) {
    Route stored = makeCustomRoute("markdown", "My Notes", "mdx");
    stored.extensions += {"md", "MD"};
    stored.probeIdentifiers = {"com.example.mdx", "public.markdown"};
    stored.editors = {{"com.example.Manual", "Manual", true, true, true, "x-edit://{path}"}};
    stored.activeBundleID = "com.example.Manual";
    stored.rules = {makeRule("R1", "com.example.Manual")};
    stored.defaultActionKind = RuleActionKind::selectFromAllEditors;
    stored.utilities[1].enabled = false;
    Route retired = makeCustomRoute("retired", "Retired", "ret");
    retired.isCustom = false;
    // The second "markdown" record is not merged again.
    writeRoutes({stored, makeCustomRoute("markdown", "Duplicate", "dup"), retired,
                 makeCustomRoute("custom.org", "Org Mode", "org")});

    auto store = open();
    EXPECT_EQ(routeIDs(store->routes()), (QList<QString>{"markdown", "custom.org", "plaintext"}))
        << "custom routes kept, unknown built-ins dropped, sorted by name";
    EXPECT_EQ(readState().routes, store->routes());
    // The built-in's name and lists come first; stored additions follow in their order.
    const Route builtIn = BuiltInRoutes::all()[0];
    Route expected = stored;
    expected.name = builtIn.name;
    expected.isCustom = false;
    expected.extensions = builtIn.extensions + QStringList({"mdx", "MD"});
    expected.probeIdentifiers = builtIn.probeIdentifiers + QStringList{"com.example.mdx"};
    expected.editors = {stored.editors[0],
                        {"org.gnome.TextEditor", "Text Editor", false, true, false, std::nullopt},
                        {"com.example.Viewer", "Viewer", false, false, false, std::nullopt}};
    expected.defaultPreferenceOrder = {"com.example.Manual", "org.gnome.TextEditor"};
    EXPECT_EQ(*store->routeWithID("markdown"), expected);
}

TEST_F(StoreTest, PathRulesBecomeRulesLongestPrefixFirstUnlessRulesExist) {
    const QList<PathRule> stored{
        {"/a", "com.x"}, {"/a/b/c", "com.y"}, {"/q/r", "com.z"}, {"/p/q", "com.w"}};
    QJsonArray pathRules, routes;
    for (const PathRule& rule : stored)
        pathRules.append(QJsonObject{{"pathPrefix", rule.pathPrefix}, {"bundleID", rule.bundleID}});
    Route withRules = makeCustomRoute("custom.b", "B type", "b");
    withRules.rules = {makeRule("R1", "com.x")};
    for (const Route& route : {makeCustomRoute("custom.a", "A type", "a"), withRules}) {
        QJsonObject object = RoutesFileCodec::encode(route);
        object.insert("pathRules", pathRules);
        routes.append(object);
    }
    write(QJsonDocument(QJsonObject{{"version", 2}, {"routes", routes}}).toJson());

    auto store = open();
    EXPECT_EQ(store->routeWithID("custom.b")->rules, withRules.rules);
    const Route loaded = *store->routeWithID("custom.a");
    ASSERT_EQ(loaded.rules.size(), 4);
    // Equal lengths keep their stored order.
    const int order[] = {1, 2, 3, 0};
    QSet<QString> ids;
    for (int i = 0; i < 4; ++i) {
        const Rule& rule = loaded.rules[i];
        ASSERT_EQ(rule.when.predicates.size(), 1);
        const Predicate& predicate = rule.when.predicates[0];
        ids << rule.id << rule.when.id << predicate.id;
        EXPECT_TRUE(rule.enabled && predicate.kind == PredicateKind::parentFolder &&
                    predicate.equalityOperator == EqualityOperator::is &&
                    rule.action.kind == RuleActionKind::specificEditor);
        EXPECT_EQ(predicate.folderPath, stored[order[i]].pathPrefix) << i;
        EXPECT_EQ(rule.action.effectiveBundleIDs(), QStringList{stored[order[i]].bundleID}) << i;
    }
    EXPECT_EQ(ids.size(), 12) << "every rule, group and predicate needs its own identifier";
    EXPECT_FALSE(stampOf(path()).bytes.contains("pathRules"));
    EXPECT_EQ(open()->routeWithID("custom.a")->rules, loaded.rules) << "identifiers are stored";
}
