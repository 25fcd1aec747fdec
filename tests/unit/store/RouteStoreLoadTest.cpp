#include "StoreTestSupport.h"

#include "core/model/BuiltInRoutes.h"
#include "core/model/RoutesFileLocation.h"

#include <QScopeGuard>

TEST_F(StoreTest, FirstStartWritesBuiltInRoutesUnderTheXdgConfigHome) {
    const bool had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    auto restore =
        qScopeGuard([&] { had ? qputenv("XDG_CONFIG_HOME", old) : qunsetenv("XDG_CONFIG_HOME"); });
    // Relative values are invalid and ignored.
    for (const char* ignored : {"", "relative/config"}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(RoutesFileLocation::configHome(), QDir::homePath() + "/.config") << ignored;
    }
    const QString configHome = dir.filePath("config");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome + "/"));
    RouteStore store(fake.types, fake.workspace);

    EXPECT_EQ(store.filePath(), configHome + "/Corvanta/routes.json");
    QFile file(store.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto decoded = RoutesFileCodec::decode(file.readAll());
    ASSERT_TRUE(std::holds_alternative<RouteStore::State>(decoded));
    EXPECT_EQ(std::get<RouteStore::State>(decoded).routes, store.routes());
    EXPECT_EQ(routeIDs(store.routes()), (QList<QString>{"markdown", "plaintext"}));
    EXPECT_EQ(editorIDs(store.routes()[0]),
              (QStringList{"org.gnome.TextEditor", "com.example.Viewer"}));
}

TEST_F(StoreTest, StoredRoutesAreMergedKeptOrDroppedAndTheFileRewritten) {
    Route stored;
    stored.id = "markdown";
    stored.name = "My Notes";
    stored.isCustom = true;
    stored.extensions = {"mdx", "md", "MD"};
    stored.probeIdentifiers = {"com.example.mdx", "public.markdown"};
    stored.editors = {{"com.example.Manual", "Manual", true, true, true, "x-edit://{path}"}};
    stored.activeBundleID = "com.example.Manual";
    stored.rules = {makeRule("R1", "com.example.Manual")};
    stored.defaultActionKind = RuleActionKind::selectFromAllEditors;
    stored.enabledShortcuts = {{"S1", "Shortcut"}};
    stored.utilities = {{PickerUtilityKind::revealInFinder, false, std::nullopt}};
    Route retired = makeCustomRoute("retired", "Retired", "ret");
    retired.isCustom = false;
    // The second "markdown" record is not merged again.
    writeRoutes({stored, makeCustomRoute("markdown", "Duplicate", "dup"), retired,
                 makeCustomRoute("custom.org", "Org Mode", "org")});

    auto store = open();
    EXPECT_EQ(routeIDs(store->routes()), (QList<QString>{"markdown", "custom.org", "plaintext"}))
        << "custom routes kept, unknown built-ins dropped, sorted by name";
    EXPECT_EQ(routeIDs(readState().routes), routeIDs(store->routes()));
    const Route route = *store->routeWithID("markdown");
    EXPECT_EQ(route.name, "Markdown");
    EXPECT_FALSE(route.isCustom);
    // The built-in lists come first; stored additions follow in their order.
    const Route builtIn = BuiltInRoutes::all()[0];
    EXPECT_EQ(route.extensions, builtIn.extensions + QStringList({"mdx", "MD"}));
    EXPECT_EQ(route.probeIdentifiers, builtIn.probeIdentifiers + QStringList{"com.example.mdx"});
    EXPECT_EQ(route.rules, stored.rules);
    EXPECT_EQ(route.defaultActionKind, RuleActionKind::selectFromAllEditors);
    EXPECT_EQ(route.activeBundleID, "com.example.Manual");
    EXPECT_EQ(route.enabledShortcuts, stored.enabledShortcuts);
    ASSERT_EQ(route.utilities.size(), 3);
    EXPECT_FALSE(route.utilities[1].enabled);
    EXPECT_EQ(editorIDs(route),
              (QStringList{"com.example.Manual", "org.gnome.TextEditor", "com.example.Viewer"}));
}

TEST_F(StoreTest, PathRulesBecomeRulesLongestPrefixFirstUnlessRulesExist) {
    Route route = makeCustomRoute("custom.a", "A type", "a");
    route.pathRules =
        QList<PathRule>{{"/a", "com.x"}, {"/a/b/c", "com.y"}, {"/q/r", "com.z"}, {"/p/q", "com.w"}};
    Route withRules = makeCustomRoute("custom.b", "B type", "b");
    withRules.rules = {makeRule("R1", "com.x")};
    withRules.pathRules = QList<PathRule>{{"/a", "com.y"}};
    writeRoutes({route, withRules});

    auto store = open();
    EXPECT_EQ(store->routeWithID("custom.b")->rules, withRules.rules);
    const Route loaded = *store->routeWithID("custom.a");
    ASSERT_EQ(loaded.rules.size(), 4);
    // Equal lengths keep their stored order.
    const QList<PathRule> expected{
        {"/a/b/c", "com.y"}, {"/q/r", "com.z"}, {"/p/q", "com.w"}, {"/a", "com.x"}};
    QSet<QString> ids;
    for (int i = 0; i < 4; ++i) {
        const Rule& rule = loaded.rules[i];
        ASSERT_EQ(rule.when.predicates.size(), 1);
        const Predicate& predicate = rule.when.predicates[0];
        ids << rule.id << rule.when.id << predicate.id;
        EXPECT_TRUE(rule.enabled);
        EXPECT_EQ(predicate.kind, PredicateKind::parentFolder);
        EXPECT_EQ(predicate.equalityOperator, EqualityOperator::is);
        EXPECT_EQ(predicate.folderPath, expected[i].pathPrefix) << i;
        EXPECT_EQ(rule.action.kind, RuleActionKind::specificEditor);
        EXPECT_EQ(rule.action.effectiveBundleIDs(), QStringList{expected[i].bundleID}) << i;
    }
    EXPECT_EQ(ids.size(), 12) << "every rule, group and predicate needs its own identifier";
    EXPECT_FALSE(stampOf(path()).bytes.contains("pathRules"));
    EXPECT_EQ(open()->routeWithID("custom.a")->rules, loaded.rules) << "identifiers are stored";
}

TEST_F(StoreTest, LoadFailureMessageNamesTheReason) {
    write(R"({"routes": [{"id": "custom.x"}]})");
    const auto decoded = RoutesFileCodec::decode(stampOf(path()).bytes);
    ASSERT_TRUE(std::holds_alternative<DecodeError>(decoded));
    auto store = open();
    EXPECT_TRUE(store->loadFailed());
    EXPECT_EQ(*store->loadFailureMessage(),
              "Could not read saved settings (" + std::get<DecodeError>(decoded).description() +
                  "). The file was left unchanged; using built-in defaults for this session.");
    EXPECT_TRUE(std::get<DecodeError>(decoded).description().contains("name"));
}
