#include "StoreTestSupport.h"

#include <QScopeGuard>
#include <csignal>
#include <sys/resource.h>

namespace {
// Limits the size of files this process may write, and ignores the signal that
// would otherwise end it, for one scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    struct rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

// A route with two editors and two rules, stored before each test.
Route exampleRoute() {
    Route route = makeCustomRoute("custom.a", "A type", "a");
    route.editors = {{"com.example.Alpha", "Alpha", false, true, true, std::nullopt},
                     {"com.example.Beta", "Beta", false, true, true, std::nullopt}};
    route.activeBundleID = "com.example.Beta";
    route.rules = {makeRule("R1", "com.example.Beta"), makeRule("R2", "com.example.Alpha"),
                   makeRule("R3", "com.example.Alpha")};
    return route;
}

QStringList ruleIDs(const Route& route) {
    QStringList ids;
    for (const Rule& rule : route.rules)
        ids.append(rule.id);
    return ids;
}

struct Operation {
    const char* name;
    std::function<void(RouteStore&, const QString& routeID)> run;
};

// Every change, applied to the route named by the caller.
const QList<Operation>& allOperations() {
    static const QList<Operation> operations{
        {"setEnabled",
         [](RouteStore& s, const QString& r) { s.setEnabled(r, "com.example.Alpha", false); }},
        {"setAllEditorsEnabled",
         [](RouteStore& s, const QString& r) { s.setAllEditorsEnabled(r, false); }},
        {"setUtilityEnabled",
         [](RouteStore& s, const QString& r) {
             s.setUtilityEnabled(r, PickerUtilityKind::copyPOSIXPath, false);
         }},
        {"setTerminalBundleID",
         [](RouteStore& s, const QString& r) {
             s.setTerminalBundleID(r, QStringLiteral("kitty"));
         }},
        {"setExternalUtilityEnabled",
         [](RouteStore& s, const QString& r) {
             s.setExternalUtilityEnabled(r, ExternalUtilityKind::shortcut, "S", "S", true);
         }},
        {"setScriptUtilityEnabled",
         [](RouteStore& s, const QString& r) {
             s.setScriptUtilityEnabled(r, "a/b.sh", "b", true);
         }},
        {"toggleFolder",
         [](RouteStore& s, const QString& r) { s.toggleFolder(r, "com.example.Alpha"); }},
        {"setURLSchemeTemplate",
         [](RouteStore& s, const QString& r) {
             s.setURLSchemeTemplate(r, "com.example.Alpha", QStringLiteral("x://{path}"));
         }},
        {"addEditor",
         [](RouteStore& s, const QString& r) { s.addEditor(r, "com.example.New", "New"); }},
        {"removeEditor",
         [](RouteStore& s, const QString& r) { s.removeEditor(r, "com.example.Alpha"); }},
        {"setDefaultActionKind",
         [](RouteStore& s, const QString& r) {
             s.setDefaultActionKind(r, RuleActionKind::selectFromAllEditors);
         }},
        {"setDefaultOpenBundleIDs",
         [](RouteStore& s, const QString& r) {
             s.setDefaultOpenBundleIDs(r, {"com.example.Alpha"});
         }},
        {"upsertRule",
         [](RouteStore& s, const QString& r) {
             s.upsertRule(r, makeRule("R9", "com.example.Alpha"));
         }},
        {"removeRule", [](RouteStore& s, const QString& r) { s.removeRule(r, "R1"); }},
        {"moveRule", [](RouteStore& s, const QString& r) { s.moveRule(r, 0, 2); }},
        {"setRuleEnabled",
         [](RouteStore& s, const QString& r) { s.setRuleEnabled(r, "R1", false); }},
        {"setDefaultPreferenceOrder",
         [](RouteStore& s, const QString& r) {
             s.setDefaultPreferenceOrder(r, {"com.example.Alpha"});
         }},
        {"setActiveBundleID",
         [](RouteStore& s, const QString& r) {
             s.setActiveBundleID(r, QStringLiteral("com.example.Alpha"));
         }},
        {"rescan", [](RouteStore& s, const QString& r) { s.rescan(r); }},
        {"removeCustomRoute", [](RouteStore& s, const QString& r) { s.removeCustomRoute(r); }},
        {"addTypeToRoute",
         [](RouteStore& s, const QString& r) {
             s.addTypeToRoute(r, "zz", QStringLiteral("text/x-zz"));
         }},
    };
    return operations;
}

class OperationsTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        writeRoutes({exampleRoute()});
        store = open();
        ASSERT_FALSE(store->loadFailed());
        store->addChangeHandler([this] { ++notifications; });
    }
    Route route() const { return *store->routeWithID("custom.a"); }

    std::unique_ptr<RouteStore> store;
    int notifications = 0;
};
} // namespace

TEST_F(OperationsTest, EveryOperationOnAnUnknownRouteChangesAndWritesNothing) {
    for (const Operation& op : allOperations()) {
        ageFile(path());
        const FileStamp before = stampOf(path());
        const QList<Route> routesBefore = store->routes();
        op.run(*store, QStringLiteral("custom.unknown"));
        EXPECT_EQ(stampOf(path()), before) << op.name;
        EXPECT_EQ(store->routes(), routesBefore) << op.name;
    }
    EXPECT_EQ(notifications, 0);
}

TEST_F(OperationsTest, EveryOperationOnAKnownRouteWritesWhatMemoryHolds) {
    for (const Operation& op : allOperations()) {
        writeRoutes({exampleRoute()});
        store = open();
        ageFile(path());
        const FileStamp before = stampOf(path());
        op.run(*store, QStringLiteral("custom.a"));
        EXPECT_NE(stampOf(path()), before) << op.name;
        EXPECT_EQ(readState().routes, store->routes()) << op.name;
        EXPECT_FALSE(store->lastWriteError().has_value()) << op.name;
    }
}

TEST_F(OperationsTest, UnmetPreconditionsWriteNothing) {
    const QList<Operation> noOps{
        {"script kind",
         [](RouteStore& s, const QString& r) {
             s.setExternalUtilityEnabled(r, ExternalUtilityKind::script, "x", "x", true);
         }},
        {"enable unknown editor",
         [](RouteStore& s, const QString& r) { s.setEnabled(r, "com.nobody", true); }},
        {"toggle unknown editor",
         [](RouteStore& s, const QString& r) { s.toggleFolder(r, "com.nobody"); }},
        {"template of unknown editor",
         [](RouteStore& s, const QString& r) {
             s.setURLSchemeTemplate(r, "com.nobody", QStringLiteral("x:"));
         }},
        {"add listed editor",
         [](RouteStore& s, const QString& r) { s.addEditor(r, "com.example.Alpha", "Other"); }},
        {"remove unknown editor",
         [](RouteStore& s, const QString& r) { s.removeEditor(r, "com.nobody"); }},
        {"move from count", [](RouteStore& s, const QString& r) { s.moveRule(r, 3, 0); }},
        {"move to count + 1", [](RouteStore& s, const QString& r) { s.moveRule(r, 0, 4); }},
        {"move from negative", [](RouteStore& s, const QString& r) { s.moveRule(r, -1, 0); }},
        {"enable unknown rule",
         [](RouteStore& s, const QString& r) { s.setRuleEnabled(r, "R404", true); }},
        {"remove built-in route",
         [](RouteStore& s, const QString&) { s.removeCustomRoute("markdown"); }},
    };
    const QList<Route> routesBefore = store->routes();
    for (const Operation& op : noOps) {
        ageFile(path());
        const FileStamp before = stampOf(path());
        op.run(*store, QStringLiteral("custom.a"));
        EXPECT_EQ(stampOf(path()), before) << op.name;
        EXPECT_EQ(store->routes(), routesBefore) << op.name;
    }
    EXPECT_EQ(notifications, 0);
}

TEST_F(OperationsTest, RemovingAnUnknownRuleStillRewritesTheFile) {
    ageFile(path());
    const FileStamp before = stampOf(path());
    store->removeRule("custom.a", "R404");
    EXPECT_NE(stampOf(path()), before);
    EXPECT_EQ(notifications, 1);
}

TEST_F(OperationsTest, RemoveEditorOnlyForManualEditors) {
    store->addEditor("markdown", "com.example.Manual", "Manual");
    store->removeEditor("markdown", "org.gnome.TextEditor");
    EXPECT_TRUE(editorIDs(*store->routeWithID("markdown")).contains("org.gnome.TextEditor"));
    store->removeEditor("markdown", "com.example.Manual");
    EXPECT_FALSE(editorIDs(*store->routeWithID("markdown")).contains("com.example.Manual"));
}

TEST_F(OperationsTest, DisablingTheLastEnabledActiveEditorLeavesNoActiveEditor) {
    store->setEnabled("custom.a", "com.example.Alpha", false);
    EXPECT_EQ(route().activeBundleID, "com.example.Beta");
    store->setEnabled("custom.a", "com.example.Beta", false);
    const Route r = route();
    EXPECT_FALSE(r.activeBundleID.has_value());
    ASSERT_EQ(r.rules.size(), 3) << "purging never deletes rules";
    EXPECT_FALSE(r.rules[0].action.bundleID.has_value());
    EXPECT_FALSE(r.rules[0].action.bundleIDs.has_value());
    EXPECT_TRUE(r.defaultPreferenceOrder.isEmpty());

    store->setEnabled("custom.a", "com.example.Alpha", true);
    EXPECT_FALSE(route().activeBundleID.has_value()) << "enabling does not pick an active editor";
    EXPECT_EQ(route().defaultPreferenceOrder, QStringList{"com.example.Alpha"});
}

TEST_F(OperationsTest, DisablingTheActiveEditorMovesActiveToFirstEnabled) {
    store->setEnabled("custom.a", "com.example.Beta", false);
    EXPECT_EQ(route().activeBundleID, "com.example.Alpha");
    EXPECT_EQ(route().rules[0].action.effectiveBundleIDs(), QStringList());
}

TEST_F(OperationsTest, EnablingAllEditorsPicksFirstEditorWhenActiveIsGone) {
    store->setActiveBundleID("custom.a", QStringLiteral("com.removed"));
    store->setAllEditorsEnabled("custom.a", false);
    EXPECT_FALSE(route().activeBundleID.has_value());
    EXPECT_TRUE(route().enabledEditors().isEmpty());
    store->setAllEditorsEnabled("custom.a", true);
    EXPECT_EQ(route().activeBundleID, "com.example.Alpha");
    EXPECT_EQ(route().defaultPreferenceOrder,
              (QStringList{"com.example.Alpha", "com.example.Beta"}));

    // A route without editors is still written.
    writeRoutes({makeCustomRoute("custom.e", "Empty", "e")});
    store = open();
    ageFile(path());
    const FileStamp before = stampOf(path());
    store->setAllEditorsEnabled("custom.e", true);
    EXPECT_NE(stampOf(path()), before);
    EXPECT_FALSE(store->routeWithID("custom.e")->activeBundleID.has_value());
}

TEST_F(OperationsTest, UtilitiesAndTerminal) {
    store->setTerminalBundleID("custom.a", QStringLiteral("  \n"));
    EXPECT_EQ(route().utilities[2].terminalBundleID, defaultTerminalBundleID());
    store->setTerminalBundleID("custom.a", std::nullopt);
    EXPECT_EQ(route().utilities[2].terminalBundleID, defaultTerminalBundleID());
    store->setTerminalBundleID("custom.a", QStringLiteral(" org.kde.konsole\t"));
    EXPECT_EQ(route().utilities[2].terminalBundleID, "org.kde.konsole");
    store->setUtilityEnabled("custom.a", PickerUtilityKind::revealInFinder, false);
    EXPECT_EQ(route().enabledUtilities().size(), 2);
    EXPECT_EQ(route().utilities[1].kind, PickerUtilityKind::revealInFinder);
}

TEST_F(OperationsTest, ExternalUtilitiesKeepTheOrderTheyWereEnabledIn) {
    store->setExternalUtilityEnabled("custom.a", ExternalUtilityKind::shortcut, "A", "A", true);
    store->setExternalUtilityEnabled("custom.a", ExternalUtilityKind::shortcut, "B", "B", true);
    store->setExternalUtilityEnabled("custom.a", ExternalUtilityKind::shortcut, "A", "A2", true);
    EXPECT_EQ(route().enabledShortcuts, (QList<EnabledExternalUtility>{{"B", "B"}, {"A", "A2"}}));
    store->setExternalUtilityEnabled("custom.a", ExternalUtilityKind::service, "V", "V", true);
    store->setExternalUtilityEnabled("custom.a", ExternalUtilityKind::shortcut, "B", "B", false);
    EXPECT_EQ(route().enabledShortcuts, (QList<EnabledExternalUtility>{{"A", "A2"}}));
    EXPECT_EQ(route().enabledServices, (QList<EnabledExternalUtility>{{"V", "V"}}));
    store->setScriptUtilityEnabled("custom.a", "x.sh", "x", true);
    store->setScriptUtilityEnabled("custom.a", "y.sh", "y", true);
    store->setScriptUtilityEnabled("custom.a", "x.sh", "x", false);
    EXPECT_EQ(route().enabledScripts, (QList<EnabledScriptUtility>{{"y.sh", "y"}}));
}

TEST_F(OperationsTest, EditorSettings) {
    store->toggleFolder("custom.a", "com.example.Alpha");
    EXPECT_TRUE(route().editors[0].opensFolder);
    store->setURLSchemeTemplate("custom.a", "com.example.Alpha", QStringLiteral("  x://{path}\n"));
    EXPECT_EQ(route().editors[0].urlSchemeTemplate, "x://{path}");
    store->setURLSchemeTemplate("custom.a", "com.example.Alpha", QStringLiteral(" \t"));
    EXPECT_FALSE(route().editors[0].urlSchemeTemplate.has_value());
    EXPECT_FALSE(readBytes().contains("urlSchemeTemplate"));
}

TEST_F(OperationsTest, AddedEditorIsSortedAndBecomesActiveOnlyWhenNoneIs) {
    store->addEditor("custom.a", "com.example.Aardvark", "aardvark");
    EXPECT_EQ(editorIDs(route()),
              (QStringList{"com.example.Aardvark", "com.example.Alpha", "com.example.Beta"}));
    EXPECT_EQ(route().activeBundleID, "com.example.Beta");
    EXPECT_TRUE(route().editors[0].manual);
    EXPECT_EQ(route().defaultPreferenceOrder,
              (QStringList{"com.example.Beta", "com.example.Alpha", "com.example.Aardvark"}))
        << "a newcomer joins the end of the user's order";

    store->setAllEditorsEnabled("custom.a", false);
    store->addEditor("custom.a", "com.example.Zed", "Zed");
    EXPECT_EQ(route().activeBundleID, "com.example.Zed");
}

TEST_F(OperationsTest, DefaultRule) {
    store->setDefaultActionKind("custom.a", RuleActionKind::bestRunningEditor);
    EXPECT_EQ(route().defaultActionKind, RuleActionKind::specificEditor);
    store->setDefaultActionKind("custom.a", RuleActionKind::selectFromRunningEditors);
    EXPECT_EQ(route().defaultActionKind, RuleActionKind::selectFromRunningEditors);

    store->setDefaultOpenBundleIDs("custom.a", {"com.example.Alpha", "com.example.Beta"});
    EXPECT_EQ(route().activeBundleID, "com.example.Alpha");
    store->setDefaultOpenBundleIDs("custom.a", {});
    EXPECT_FALSE(route().defaultOpenBundleIDs.has_value());
    EXPECT_EQ(route().activeBundleID, "com.example.Alpha");
    EXPECT_FALSE(readBytes().contains("defaultOpenBundleIDs"));
}

TEST_F(OperationsTest, RulesAreUpsertedInPlaceAndMovedByGap) {
    Rule changed = makeRule("R2", "com.example.Beta");
    changed.name = QStringLiteral("changed");
    store->upsertRule("custom.a", changed);
    EXPECT_EQ(ruleIDs(route()), (QStringList{"R1", "R2", "R3"}));
    EXPECT_EQ(route().rules[1], changed);
    store->upsertRule("custom.a", makeRule("R4", "com.example.Beta"));
    EXPECT_EQ(ruleIDs(route()), (QStringList{"R1", "R2", "R3", "R4"}));
    store->removeRule("custom.a", "R4");

    struct Move {
        qsizetype from, to;
        QStringList expected;
    };
    const QList<Move> moves{
        {0, 3, {"R2", "R3", "R1"}}, {0, 1, {"R1", "R2", "R3"}}, {2, 0, {"R3", "R1", "R2"}},
        {1, 1, {"R1", "R2", "R3"}}, {1, 3, {"R1", "R3", "R2"}}, {2, 1, {"R1", "R3", "R2"}},
    };
    for (const Move& move : moves) {
        writeRoutes({exampleRoute()});
        store = open();
        store->moveRule("custom.a", move.from, move.to);
        EXPECT_EQ(ruleIDs(route()), move.expected) << move.from << " -> " << move.to;
    }
    store->setRuleEnabled("custom.a", "R3", false);
    EXPECT_FALSE(route().rules[1].enabled);
    EXPECT_TRUE(route().rules[0].enabled && route().rules[2].enabled);
}

TEST_F(OperationsTest, PreferenceOrderAndActiveEditor) {
    store->setDefaultPreferenceOrder("custom.a", {"com.example.Beta", "com.nobody"});
    EXPECT_EQ(route().defaultPreferenceOrder,
              (QStringList{"com.example.Beta", "com.example.Alpha"}));
    store->setActiveBundleID("custom.a", QStringLiteral("com.not.listed"));
    EXPECT_EQ(route().activeBundleID, "com.not.listed") << "stored as given";
    store->setActiveBundleID("custom.a", std::nullopt);
    EXPECT_FALSE(route().activeBundleID.has_value());
}

TEST_F(OperationsTest, RemovingACustomRouteDropsItsRules) {
    store->removeCustomRoute("custom.a");
    EXPECT_FALSE(store->routeWithID("custom.a").has_value());
    EXPECT_FALSE(store->routeForFile(QUrl::fromLocalFile("/x/file.a")).has_value());
    EXPECT_FALSE(readBytes().contains("custom.a"));
}

TEST_F(OperationsTest, RouteForFileUsesTheLowerCasedLastExtension) {
    store->addTypeToRoute("custom.a", "gz", std::nullopt);
    writeRoutes({exampleRoute(), makeCustomRoute("custom.b", "Another", "a")});
    store = open();
    struct Case {
        const char* path;
        std::optional<QString> route;
    };
    const QList<Case> cases{
        {"/n/NOTES.MD", "markdown"},    {"/n/archive.tar.gz", std::nullopt},
        {"/n/README", std::nullopt},    {"/n/trailing.", std::nullopt},
        {"/n.md/README", std::nullopt}, {"/n/x.txt", "plaintext"},
        {"/n/two.a", "custom.a"},
    };
    for (const Case& c : cases) {
        const auto found = store->routeForFile(QUrl::fromLocalFile(c.path));
        EXPECT_EQ(found ? std::optional(found->id) : std::nullopt, c.route) << c.path;
    }
}

TEST_F(OperationsTest, ChangeHandlersAreCalledAndCanBeRemoved) {
    int other = 0;
    const int token = store->addChangeHandler([&other] { ++other; });
    store->toggleFolder("custom.a", "com.example.Alpha");
    store->removeChangeHandler(token);
    store->toggleFolder("custom.a", "com.example.Alpha");
    EXPECT_EQ(other, 1);
    EXPECT_EQ(notifications, 2);
}

TEST_F(OperationsTest, FailedWriteLosesNothingAndNextWriteStoresEverything) {
    ageFile(path());
    const FileStamp before = stampOf(path());
    {
        FileSizeLimit limit(256);
        ASSERT_TRUE(limit.active());
        store->addEditor("custom.a", "com.example.New", "New");
        store->upsertRule("custom.a", makeRule("R9", "com.example.New"));
        ASSERT_TRUE(store->lastWriteError().has_value());
        EXPECT_TRUE(store->lastWriteError()->contains("large", Qt::CaseInsensitive))
            << store->lastWriteError()->toStdString();
    }
    EXPECT_EQ(stampOf(path()), before) << "the previous file must stay as it was";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"routes.json"});
    EXPECT_TRUE(editorIDs(route()).contains("com.example.New"));
    EXPECT_EQ(route().rules.size(), 4);
    EXPECT_EQ(notifications, 2);

    store->toggleFolder("custom.a", "com.example.Alpha");
    EXPECT_FALSE(store->lastWriteError().has_value());
    auto reread = open();
    EXPECT_EQ(reread->routes(), store->routes());
    EXPECT_TRUE(editorIDs(*reread->routeWithID("custom.a")).contains("com.example.New"));
}

TEST_F(OperationsTest, FailedWriteInReadOnlyFolderKeepsThePreviousFile) {
    ageFile(path());
    const FileStamp before = stampOf(path());
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0644), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    auto restore =
        qScopeGuard([this] { ::chmod(QFile::encodeName(dir.path()).constData(), 0700); });

    const int result = runWithoutRoot([this] {
        auto readOnly = open();
        if (readOnly->loadFailed() || !readOnly->lastWriteError())
            return 1;
        readOnly->addEditor("custom.a", "com.example.New", "New");
        readOnly->removeRule("custom.a", "R1");
        if (!readOnly->lastWriteError())
            return 2;
        const Route changed = *readOnly->routeWithID("custom.a");
        if (!editorIDs(changed).contains("com.example.New") || changed.rules.size() != 2)
            return 3;
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stampOf(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"routes.json"});
}
