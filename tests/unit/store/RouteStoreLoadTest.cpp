#include "StoreTestSupport.h"

#include "core/model/BuiltInRoutes.h"
#include "core/model/RoutesFileLocation.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>

namespace {
const QString failurePrefix = QStringLiteral("Could not read saved settings (");
const QString failureSuffix =
    QStringLiteral("). The file was left unchanged; using built-in defaults for this session.");

const QStringList markdownExtensions{"md", "markdown", "mdown", "mmd", "qmd"};

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};
} // namespace

TEST_F(StoreTest, FirstStartCreatesFolderAndWritesBuiltInRoutesWithDiscoveredEditors) {
    const QString configHome = dir.filePath(QStringLiteral("config"));
    ScopedEnv env("XDG_CONFIG_HOME", QFile::encodeName(configHome));
    RouteStore store(fake.types, fake.workspace);

    EXPECT_EQ(store.filePath(), configHome + QStringLiteral("/Corvanta/routes.json"));
    EXPECT_FALSE(store.loadFailed());
    QFile file(store.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto decoded = RoutesFileCodec::decode(file.readAll());
    ASSERT_TRUE(std::holds_alternative<RouteStore::State>(decoded));
    const auto& state = std::get<RouteStore::State>(decoded);
    EXPECT_EQ(routeIDs(state.routes), (QList<QString>{"markdown", "plaintext"}));
    EXPECT_EQ(state.routes, store.routes());
    EXPECT_EQ(editorIDs(state.routes[0]),
              (QStringList{"org.gnome.TextEditor", "com.example.Viewer"}));
}

TEST(RoutesFileLocationTest, ConfigHomeFollowsXdgRules) {
    struct Case {
        const char* value;
        bool set;
        QString expected;
    };
    const QString home = QDir::homePath();
    const QList<Case> cases{
        {"", false, home + "/.config"},
        {"", true, home + "/.config"},
        {"relative/config", true, home + "/.config"},
        {"/srv/cfg/", true, "/srv/cfg"},
    };
    for (const Case& c : cases) {
        const bool had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        if (c.set)
            qputenv("XDG_CONFIG_HOME", c.value);
        else
            qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(RoutesFileLocation::configHome(), c.expected) << c.value;
        EXPECT_EQ(RoutesFileLocation::defaultFilePath(), c.expected + "/Corvanta/routes.json");
        if (had)
            qputenv("XDG_CONFIG_HOME", old);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
}

TEST_F(StoreTest, CustomRouteIsKeptAndRoutesAreSortedByName) {
    writeRoutes({makeCustomRoute("custom.org", "Org Mode", "org")});
    auto store = open();
    QStringList names;
    for (const Route& route : store->routes())
        names.append(route.name);
    EXPECT_EQ(names, (QStringList{"Markdown", "Org Mode", "Plain Text"}));
    EXPECT_EQ(routeIDs(readState().routes), routeIDs(store->routes()));
}

TEST_F(StoreTest, StoredBuiltInRouteIsMergedBuiltInListsFirst) {
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
    stored.defaultOpenBundleIDs = QStringList{"com.example.Manual"};
    stored.enabledShortcuts = {{"S1", "Shortcut"}};
    stored.utilities = {{PickerUtilityKind::revealInFinder, false, std::nullopt}};
    stored.pathRules = QList<PathRule>{{"/a", "com.x"}};
    // A second record with the same id is not merged again.
    Route duplicate = makeCustomRoute("markdown", "Duplicate", "dup");
    writeRoutes({stored, duplicate});

    auto store = open();
    ASSERT_EQ(store->routes().size(), 2);
    const Route route = *store->routeWithID("markdown");
    EXPECT_EQ(route.name, "Markdown");
    EXPECT_FALSE(route.isCustom);
    EXPECT_EQ(route.extensions, markdownExtensions + QStringList({"mdx", "MD"}));
    EXPECT_EQ(route.probeIdentifiers,
              BuiltInRoutes::all()[0].probeIdentifiers + QStringList{"com.example.mdx"});
    EXPECT_EQ(route.rules, stored.rules);
    EXPECT_EQ(route.defaultActionKind, RuleActionKind::selectFromAllEditors);
    EXPECT_EQ(route.defaultOpenBundleIDs, stored.defaultOpenBundleIDs);
    EXPECT_EQ(route.activeBundleID, "com.example.Manual");
    EXPECT_EQ(route.enabledShortcuts, stored.enabledShortcuts);
    ASSERT_EQ(route.utilities.size(), 3);
    EXPECT_FALSE(route.utilities[1].enabled);
    EXPECT_FALSE(route.pathRules.has_value());
    EXPECT_TRUE(editorIDs(route).contains("com.example.Manual"));
    EXPECT_TRUE(editorIDs(route).contains("org.gnome.TextEditor"));
}

TEST_F(StoreTest, UnknownNonCustomRouteIsDroppedFromMemoryAndFile) {
    Route retired = makeCustomRoute("retired", "Retired", "ret");
    retired.isCustom = false;
    writeRoutes({retired, makeCustomRoute("custom.a", "A type", "a")});
    auto store = open();
    EXPECT_EQ(routeIDs(store->routes()), (QList<QString>{"custom.a", "markdown", "plaintext"}));
    EXPECT_EQ(routeIDs(readState().routes), routeIDs(store->routes()));
}

TEST_F(StoreTest, PathRulesBecomeRulesLongestPrefixFirst) {
    Route route = makeCustomRoute("custom.a", "A type", "a");
    route.pathRules =
        QList<PathRule>{{"/a", "com.x"}, {"/a/b/c", "com.y"}, {"/q/r", "com.z"}, {"/p/q", "com.w"}};
    writeRoutes({route});

    auto store = open();
    const Route loaded = *store->routeWithID("custom.a");
    ASSERT_EQ(loaded.rules.size(), 4);
    const QStringList expectedFolders{"/a/b/c", "/q/r", "/p/q", "/a"};
    const QStringList expectedEditors{"com.y", "com.z", "com.w", "com.x"};
    const QRegularExpression uuid("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$");
    QSet<QString> ids;
    for (int i = 0; i < 4; ++i) {
        const Rule& rule = loaded.rules[i];
        EXPECT_TRUE(uuid.match(rule.id).hasMatch()) << rule.id.toStdString();
        ids << rule.id << rule.when.id;
        EXPECT_FALSE(rule.name.has_value());
        EXPECT_TRUE(rule.enabled);
        EXPECT_EQ(rule.when.combine, PredicateGroupCombine::and_);
        EXPECT_TRUE(rule.when.groups.isEmpty());
        ASSERT_EQ(rule.when.predicates.size(), 1);
        const Predicate& predicate = rule.when.predicates[0];
        ids << predicate.id;
        EXPECT_EQ(predicate.kind, PredicateKind::parentFolder);
        EXPECT_EQ(predicate.equalityOperator, EqualityOperator::is);
        EXPECT_EQ(predicate.folderPath, expectedFolders[i]);
        EXPECT_FALSE(predicate.stringOperator || predicate.stringValue || predicate.bundleID ||
                     predicate.countValue || predicate.hotkeyName || predicate.comparisonOperator);
        EXPECT_EQ(rule.action.kind, RuleActionKind::specificEditor);
        EXPECT_EQ(rule.action.bundleID, expectedEditors[i]);
        EXPECT_EQ(rule.action.bundleIDs, QStringList{expectedEditors[i]});
        EXPECT_FALSE(rule.action.preferenceOrder.has_value());
    }
    EXPECT_EQ(ids.size(), 12) << "every rule, group and predicate needs its own identifier";

    EXPECT_FALSE(readBytes().contains("pathRules"));
    // The converted rules are stored, so the next start keeps their identifiers.
    auto again = open();
    EXPECT_EQ(again->routeWithID("custom.a")->rules, loaded.rules);
}

TEST_F(StoreTest, PathRulesBesideRulesAreDiscarded) {
    Route route = makeCustomRoute("custom.a", "A type", "a");
    route.rules = {makeRule("R1", "com.x")};
    route.pathRules = QList<PathRule>{{"/a", "com.y"}};
    writeRoutes({route});
    auto store = open();
    EXPECT_EQ(store->routeWithID("custom.a")->rules, route.rules);
    EXPECT_FALSE(readBytes().contains("pathRules"));
}

TEST_F(StoreTest, EmptyAndVersionlessDocumentsAreRewrittenInCurrentFormat) {
    for (const QByteArray& document :
         {QByteArray(R"({"routes": []})"), QByteArray(R"({"version": 1, "routes": []})"),
          QByteArray(R"({"routes": [{"id": "custom.x", "name": "X", "isCustom": true}]})")}) {
        write(document);
        auto store = open();
        EXPECT_FALSE(store->loadFailed()) << document.constData();
        const QJsonObject root = QJsonDocument::fromJson(readBytes()).object();
        EXPECT_EQ(root.value("version").toInt(), 2) << document.constData();
        EXPECT_EQ(root.keys(), (QStringList{"routes", "version"}));
        EXPECT_EQ(readState().routes, store->routes());
    }
}

TEST_F(StoreTest, StoredEditorSettingsSurviveRediscoveryAndUninstalledEditorsDisappear) {
    Route markdown = BuiltInRoutes::all()[0];
    markdown.editors = {
        {"ORG.GNOME.TEXTEDITOR", "Old Name", true, false, false, "x-te://{path}"},
        {"org.gone.Editor", "Gone", false, true, false, std::nullopt},
    };
    markdown.activeBundleID = "org.gone.Editor";
    markdown.defaultPreferenceOrder = {"org.gone.Editor"};
    writeRoutes({markdown});

    auto store = open();
    const Route route = *store->routeWithID("markdown");
    ASSERT_EQ(route.editors.size(), 2);
    const Editor& editor = route.editors[0];
    EXPECT_EQ(editor,
              (Editor{"org.gnome.TextEditor", "Text Editor", true, false, false, "x-te://{path}"}));
    EXPECT_EQ(route.editors[1].bundleID, "com.example.Viewer");
    EXPECT_FALSE(route.editors[1].enabled) << "a viewer starts disabled";
    EXPECT_FALSE(route.activeBundleID.has_value());
    EXPECT_TRUE(route.defaultPreferenceOrder.isEmpty());
}

struct DamagedFile {
    const char* name;
    std::function<void(StoreTest&, const QString& path)> make;
    // A part of the reason the message must carry.
    QString reason;
};

class DamagedFileTest : public StoreTest, public ::testing::WithParamInterface<int> {};

const QList<DamagedFile>& damagedFiles() {
    static const QList<DamagedFile> files{
        {"truncated",
         [](StoreTest&, const QString& p) {
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             f.write("{");
         },
         "line 1"},
        {"missingName",
         [](StoreTest&, const QString& p) {
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             f.write(R"({"routes": [{"id": "custom.x"}]})");
         },
         "missing key \"name\""},
        {"editorWithoutManual",
         [](StoreTest&, const QString& p) {
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             f.write(
                 R"({"routes": [{"id": "markdown", "name": "M", "editors": [{"bundleID": "a", "name": "A", "opensFolder": false, "enabled": true}]}]})");
         },
         "manual"},
        {"wrongType",
         [](StoreTest&, const QString& p) {
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             f.write(R"({"routes": 5})");
         },
         "routes"},
        {"binary",
         [](StoreTest&, const QString& p) {
             QFile f(p);
             f.open(QIODevice::WriteOnly);
             QByteArray garbage;
             for (int i = 0; i < 4096; ++i)
                 garbage.append(char((i * 131 + 7) % 256));
             f.write(garbage);
         },
         ""},
        {"directory", [](StoreTest&, const QString& p) { QDir().mkpath(p); }, ""},
    };
    return files;
}

TEST_P(DamagedFileTest, IsNeverOverwrittenAndBuiltInsAreUsed) {
    const DamagedFile& damaged = damagedFiles()[GetParam()];
    damaged.make(*this, path());
    ageFile(path());
    const FileStamp before = stampOf(path());
    ASSERT_TRUE(before.exists);

    auto store = open();
    ASSERT_TRUE(store->loadFailed());
    ASSERT_TRUE(store->loadFailureMessage().has_value());
    const QString message = *store->loadFailureMessage();
    EXPECT_TRUE(message.startsWith(failurePrefix)) << message.toStdString();
    EXPECT_TRUE(message.endsWith(failureSuffix)) << message.toStdString();
    const QString reason = message.mid(failurePrefix.size(), message.size() - failurePrefix.size() -
                                                                 failureSuffix.size());
    EXPECT_FALSE(reason.trimmed().isEmpty());
    EXPECT_TRUE(reason.contains(damaged.reason)) << reason.toStdString();
    EXPECT_EQ(routeIDs(store->routes()), (QList<QString>{"markdown", "plaintext"}));

    // Everything the store can do changes memory only.
    store->setEnabled("markdown", "com.example.Viewer", true);
    store->addEditor("plaintext", "com.example.Manual", "Manual");
    store->upsertRule("markdown", makeRule("R1", "org.gnome.TextEditor"));
    store->setTerminalBundleID("plaintext", QStringLiteral("kitty"));
    SampleType sample{"org", std::nullopt, ".org"};
    ASSERT_TRUE(store->addCustomRoute(sample).has_value());
    store->addTypeToRoute("markdown", "mdx", std::nullopt);
    store->rescan("plaintext");
    store->removeCustomRoute("custom.org");
    EXPECT_FALSE(store->save());
    EXPECT_FALSE(store->lastWriteError().has_value());

    EXPECT_EQ(store->routeWithID("plaintext")->editors.size(), 2);
    EXPECT_EQ(store->routeWithID("markdown")->rules.size(), 1);
    EXPECT_TRUE(store->routeWithID("markdown")->extensions.contains("mdx"));
    EXPECT_TRUE(store->loadFailed());
    EXPECT_EQ(stampOf(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"routes.json"})
        << "no temporary file may be left behind";
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::Range(0, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(damagedFiles()[info.param].name);
                         });

TEST_F(StoreTest, UnreadableFileIsNeverOverwritten) {
    write(R"({"routes": []})");
    // Writable but not readable, in a folder anyone may write to: only the
    // store's own rule keeps it from replacing the file.
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0222), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ageFile(path());
    const FileStamp before = stampOf(path());

    const int result = runWithoutRoot([this] {
        auto store = open();
        if (!store->loadFailed() || !store->loadFailureMessage())
            return 1;
        const QString message = *store->loadFailureMessage();
        if (!message.startsWith(failurePrefix + "Permission denied") ||
            !message.endsWith(failureSuffix))
            return 2;
        if (routeIDs(store->routes()) != QList<QString>{"markdown", "plaintext"})
            return 3;
        store->addEditor("markdown", "com.example.Manual", "Manual");
        store->addCustomRoute({"org", std::nullopt, ".org"});
        store->save();
        if (store->routeWithID("custom.org") == std::nullopt)
            return 4;
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stampOf(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"routes.json"});
}

TEST_F(StoreTest, LoadFailureMessageCarriesTheDecoderDescription) {
    const QByteArray data = R"({"routes": [{"id": "custom.x"}]})";
    write(data);
    auto store = open();
    const auto decoded = RoutesFileCodec::decode(data);
    ASSERT_TRUE(std::holds_alternative<DecodeError>(decoded));
    EXPECT_EQ(*store->loadFailureMessage(),
              failurePrefix + std::get<DecodeError>(decoded).description() + failureSuffix);
}

TEST_F(StoreTest, HandEditedUpperCaseExtensionStillRoutesItsFiles) {
    writeRoutes({makeCustomRoute("custom.org", "Org Mode", "ORG")});
    auto store = open();
    const auto route = store->routeForFile(QUrl::fromLocalFile(QStringLiteral("/tmp/todo.org")));
    ASSERT_TRUE(route.has_value());
    EXPECT_EQ(route->id, QStringLiteral("custom.org"));
}
