#include "core/routing/AppDelegate.h"
#include "app/DistributionBootstrap.h"
#include "core/model/RoutesFileCodec.h"
#include "core/pickers/UtilityPerformer.h"
#include "core/routing/StatusMenu.h"
#include "tests/support/FakePickerPorts.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QString alpha = QStringLiteral("org.example.Alpha");
const QString beta = QStringLiteral("org.example.Beta");

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_app_shell";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

Route route(const QString& id, const QString& name, const QString& extension) {
    Route r;
    r.id = id;
    r.name = name;
    r.extensions = {extension};
    r.isCustom = true;
    r.normalizeUtilities();
    for (const QString& editorID : {alpha, beta}) {
        Editor e;
        e.bundleID = editorID;
        e.name = editorID == alpha ? QStringLiteral("Alpha") : QStringLiteral("Beta");
        e.manual = true;
        r.editors.append(e);
    }
    r.activeBundleID = beta;
    return r;
}

class AppDelegateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fake.workspace.install(
            {QStringLiteral("io.corvanta.Corvanta"), QStringLiteral("Corvanta"), {}, {}, {}, {}});
        fake.workspace.install(
            {alpha, QStringLiteral("Alpha"), {}, {}, {}, QStringLiteral("text-editor")});
        fake.workspace.install({beta, QStringLiteral("Beta"), {}, {}, {}, {}});
        fake.types.addType(QStringLiteral("text/x-org"), {QStringLiteral("org")},
                           {QStringLiteral("text/plain")}, QStringLiteral("Org document"));
        utilities = std::make_unique<UtilityPerformer>(fake.workspace, terminals, clipboard,
                                                       revealer, fake.alerts);
    }
    void writeRoutes(const QList<Route>& routes) {
        RouteStore::State state;
        state.routes = routes;
        writeBytes(RoutesFileCodec::encode(state));
    }
    void writeBytes(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QString path() const { return dir.filePath(QStringLiteral("routes.json")); }
    void start() {
        delegate = std::make_unique<AppDelegate>(fake.platform(), pickers, *utilities, path());
    }
    // The menu as the user sees it when it opens.
    QMenu& openMenu() {
        QMenu* menu = delegate->statusItemMenu();
        Q_EMIT menu->aboutToShow();
        return *menu;
    }
    static QStringList titles(const QMenu& menu) {
        QStringList result;
        for (const QAction* action : menu.actions())
            result.append(action->isSeparator() ? QStringLiteral("---") : action->text());
        return result;
    }
    static QMenu* submenu(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions()) {
            if (action->text() == title)
                return action->menu();
        }
        return nullptr;
    }

    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    FakeClipboard clipboard;
    FakeFileRevealer revealer;
    FakeTerminalLauncher terminals;
    std::unique_ptr<UtilityPerformer> utilities;
    std::unique_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, MenuListsRoutesByNameThenTheCommands) {
    writeRoutes({route(QStringLiteral("custom.b"), QStringLiteral("beta"), QStringLiteral("bb")),
                 route(QStringLiteral("custom.a"), QStringLiteral("Alpha"), QStringLiteral("aa"))});
    start();
    delegate->applicationDidFinishLaunching();
    ASSERT_TRUE(delegate->statusItem());
    // Without an icon the tray would show nothing to click.
    EXPECT_FALSE(delegate->statusItem()->icon().isNull());
    QMenu& menu = openMenu();
    const QStringList all = titles(menu);
    // The built-in routes are there too; what matters is the order and the tail.
    const qsizetype a = all.indexOf(QStringLiteral("Alpha"));
    const qsizetype b = all.indexOf(QStringLiteral("beta"));
    ASSERT_GE(a, 0);
    EXPECT_LT(a, b);
    EXPECT_EQ(all.mid(all.size() - 6),
              (QStringList{QStringLiteral("---"), QStringLiteral("Settings…"),
                           QStringLiteral("Show Onboarding…"), QStringLiteral("---"),
                           QStringLiteral("About Corvanta"), QStringLiteral("Quit Corvanta")}));
}

TEST_F(AppDelegateTest, RouteSubmenuChecksTheActiveEditorAndSelectsAnother) {
    Route org = route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"));
    org.editors[1].opensFolder = true;
    writeRoutes({org});
    start();
    delegate->applicationDidFinishLaunching();
    QMenu* sub = submenu(openMenu(), QStringLiteral("Org"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(
        titles(*sub),
        (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("---"),
                     QStringLiteral("Open Enclosing Folder"), QStringLiteral("---"),
                     QStringLiteral("Edit Rules…"), QStringLiteral("Make Corvanta default")}));
    const QList<QAction*> items = sub->actions();
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_TRUE(items[1]->isChecked());
    if (!QIcon::fromTheme(QStringLiteral("text-editor")).isNull()) {
        EXPECT_FALSE(items[0]->icon().isNull());
    }
    EXPECT_TRUE(items[3]->isChecked());
    EXPECT_TRUE(items[3]->isEnabled());
    EXPECT_EQ(items[0]->data().toStringList(), (QStringList{QStringLiteral("custom.org"), alpha}));

    items[0]->trigger();
    EXPECT_EQ(delegate->store().routeWithID(QStringLiteral("custom.org"))->activeBundleID, alpha);
    // The menu is rebuilt from the store when it opens again.
    sub = submenu(openMenu(), QStringLiteral("Org"));
    EXPECT_TRUE(sub->actions()[0]->isChecked());
    EXPECT_FALSE(sub->actions()[1]->isChecked());
    EXPECT_FALSE(sub->actions()[3]->isChecked());
    sub->actions()[3]->trigger();
    EXPECT_TRUE(
        delegate->store().routeWithID(QStringLiteral("custom.org"))->editors[0].opensFolder);
}

TEST_F(AppDelegateTest, RouteWithoutEnabledEditorsShowsOnlyItsCommands) {
    Route org = route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"));
    for (Editor& e : org.editors)
        e.enabled = false;
    org.activeBundleID = std::nullopt;
    writeRoutes({org});
    start();
    delegate->applicationDidFinishLaunching();
    QMenu* sub = submenu(openMenu(), QStringLiteral("Org"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(titles(*sub),
              (QStringList{QStringLiteral("---"), QStringLiteral("Open Enclosing Folder"),
                           QStringLiteral("---"), QStringLiteral("Edit Rules…"),
                           QStringLiteral("Make Corvanta default")}));
    EXPECT_FALSE(sub->actions()[1]->isChecked());
    EXPECT_FALSE(sub->actions()[1]->isEnabled());
}

TEST_F(AppDelegateTest, RepresentedObjectsOfTheWrongShapeDoNothing) {
    writeRoutes(
        {route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"))});
    start();
    const QByteArray before = [&] {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    delegate->selectEditor(QStringList{QStringLiteral("custom.org")});
    delegate->selectEditor(QStringList{QStringLiteral("custom.org"), alpha, beta});
    delegate->selectEditor(QStringLiteral("custom.org"));
    delegate->toggleFolder(QStringList{QStringLiteral("custom.org")});
    delegate->toggleFolder(QStringLiteral("custom.gone"));
    delegate->makeRouteDefaultHandler(42);
    delegate->makeRouteDefaultHandler(QStringLiteral("custom.gone"));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_TRUE(fake.workspace.defaultCalls().isEmpty());
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
}

TEST_F(AppDelegateTest, MakeDefaultClaimsTheTypesOfTheRoutesExtensions) {
    Route org = route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"));
    org.extensions = {QStringLiteral("org"), QStringLiteral("zzunknown")};
    writeRoutes({org});
    start();
    delegate->makeRouteDefaultHandler(QStringLiteral("custom.org"));
    ASSERT_EQ(fake.workspace.defaultCalls().size(), 1);
    EXPECT_EQ(fake.workspace.defaultCalls()[0].type, QStringLiteral("text/x-org"));
    EXPECT_EQ(fake.workspace.defaultCalls()[0].location,
              FakeWorkspace::locationOf(QStringLiteral("io.corvanta.Corvanta")));
}

TEST_F(AppDelegateTest, MakeDefaultWhenNotInstalledExplainsHowToInstall) {
    writeRoutes(
        {route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"))});
    fake.workspace.uninstall(QStringLiteral("io.corvanta.Corvanta"));
    start();
    delegate->applicationDidFinishLaunching();
    QMenu* sub = submenu(openMenu(), QStringLiteral("Org"));
    EXPECT_FALSE(sub->actions().last()->isEnabled());
    delegate->makeRouteDefaultHandler(QStringLiteral("custom.org"));
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, QStringLiteral("Not running from an app bundle"));
    EXPECT_FALSE(fake.alerts.shown[0].informativeText.contains(QStringLiteral("Corvanta.app")));
    EXPECT_TRUE(fake.workspace.defaultCalls().isEmpty());
}

TEST_F(AppDelegateTest, DamagedRoutesFileIsReportedOnceAfterTheTrayIconExists) {
    writeBytes("{ this is not json");
    start();
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    bool trayExisted = false;
    fake.alerts.answerer = [&](const AlertRequest&) {
        trayExisted = delegate->statusItem() && delegate->statusItem()->isVisible();
        return 0;
    };
    delegate->applicationDidFinishLaunching();
    ASSERT_EQ(fake.alerts.messages(), QStringList{QStringLiteral("Could not load settings")});
    EXPECT_FALSE(fake.alerts.shown[0].informativeText.isEmpty());
    EXPECT_TRUE(trayExisted);
    // The built-in routes still work.
    EXPECT_TRUE(submenu(openMenu(), QStringLiteral("Markdown")));
}

class RecordingUpdates : public UpdateService {
public:
    int starts = 0;
    int checks = 0;
    void start() override { ++starts; }
    void checkForUpdates() override { ++checks; }
};

TEST_F(AppDelegateTest, UpdateCheckIsOfferedOnlyWithAnUpdateService) {
    writeRoutes({});
    start();
    delegate->applicationDidFinishLaunching();
    DistributionBootstrap none(*delegate, makeUpdateService());
    EXPECT_FALSE(none.hasUpdateService());
    EXPECT_FALSE(titles(openMenu()).contains(QStringLiteral("Check for Updates…")));

    auto service = std::make_unique<RecordingUpdates>();
    RecordingUpdates* updates = service.get();
    DistributionBootstrap bootstrap(*delegate, std::move(service));
    EXPECT_EQ(updates->starts, 1);
    QMenu& menu = openMenu();
    const QStringList all = titles(menu);
    const qsizetype check = all.indexOf(QStringLiteral("Check for Updates…"));
    ASSERT_GE(check, 0);
    EXPECT_EQ(all[check - 1], QStringLiteral("Show Onboarding…"));
    menu.actions()[check]->trigger();
    EXPECT_EQ(updates->checks, 1);
}

TEST_F(AppDelegateTest, OpeningAFileOfAnUnknownTypeTeachesIt) {
    writeRoutes({});
    start();
    QFile sample(dir.filePath(QStringLiteral("Agenda.ORG")));
    ASSERT_TRUE(sample.open(QIODevice::WriteOnly));
    sample.close();
    const QUrl url = QUrl::fromLocalFile(sample.fileName());
    delegate->applicationOpenURLs({url});
    ASSERT_EQ(fake.alerts.messages(), QStringList{QStringLiteral("Add file type?")});
    const std::optional<Route> taught = delegate->store().routeForFile(url);
    ASSERT_TRUE(taught);
    EXPECT_EQ(taught->id, QStringLiteral("custom.text/x-org"));
    ASSERT_EQ(fake.workspace.defaultCalls().size(), 1);
    EXPECT_EQ(fake.workspace.defaultCalls()[0].type, QStringLiteral("text/x-org"));
    // The file the system handed in is released after teaching.
    EXPECT_EQ(fake.workspace.stoppedAccessing(), QList<QUrl>{url});
}

TEST_F(AppDelegateTest, SettingsActionsChangeTheStore) {
    writeRoutes(
        {route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"))});
    start();
    const SettingsActions actions = delegate->makeSettingsActions();
    Rule rule;
    rule.id = QStringLiteral("R");
    rule.when.id = QStringLiteral("G");
    actions.upsertRule(QStringLiteral("custom.org"), rule);
    actions.setEnabled(QStringLiteral("custom.org"), beta, false);
    const std::optional<Route> org = delegate->store().routeWithID(QStringLiteral("custom.org"));
    ASSERT_TRUE(org);
    EXPECT_EQ(org->rules.size(), 1);
    EXPECT_EQ(org->activeBundleID, alpha);
    EXPECT_EQ(actions.routes(), delegate->store().routes());
    EXPECT_FALSE(actions.usesApplicationScripts());
    actions.removeCustomRoute(QStringLiteral("custom.org"));
    EXPECT_FALSE(delegate->store().routeWithID(QStringLiteral("custom.org")));
}

TEST_F(AppDelegateTest, ClosuresDoNothingOnceTheDelegateIsGone) {
    writeRoutes(
        {route(QStringLiteral("custom.org"), QStringLiteral("Org"), QStringLiteral("org"))});
    start();
    const auto teach = delegate->weakly(&AppDelegate::addTypeFromURL);
    const SettingsActions actions = delegate->makeSettingsActions();
    delegate.reset();
    const QByteArray before = [&] {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_EQ(teach(QUrl::fromLocalFile(dir.filePath(QStringLiteral("x.org")))), std::nullopt);
    EXPECT_EQ(actions.addTypeFromURL(QUrl::fromLocalFile(dir.filePath(QStringLiteral("y.rst")))),
              std::nullopt);
    EXPECT_TRUE(actions.routes().isEmpty());
    EXPECT_FALSE(actions.usesApplicationScripts());
    actions.removeCustomRoute(QStringLiteral("custom.org"));
    actions.setEnabled(QStringLiteral("custom.org"), alpha, false);
    EXPECT_TRUE(fake.alerts.shown.isEmpty());
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}
} // namespace
