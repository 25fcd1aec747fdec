#include "core/history/RoutingHistory.h"
#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/DropZoneView.h"
#include "core/platform/PlatformTexts.h"
#include "core/settings/SettingsWindowController.h"
#include "tests/support/DelegateTest.h"

#include <QMenuBar>
#include <QMimeData>
#include <QSystemTrayIcon>
#include <QTest>

namespace {
// The delegate's tray presence: first-run onboarding, a missing tray, the
// palette from the menu and the About box's presentation.
class PresenceTest : public DelegateTest {
protected:
    void SetUp() override {
        fake.types.addType("text/x-org", {"org"}, {"text/plain"}, "Org document");
        fake.workspace.install({"org.gnu.Emacs", "Emacs", {"text/x-org"}, {}, {}, {}});
        writeRoutes(routesPath(), {});
    }
    bool onboardingShows() const {
        return delegate->onboardingWindow() && delegate->onboardingWindow()->isVisible();
    }
    bool settingsShows() const {
        return delegate->settingsWindow() && delegate->settingsWindow()->isVisible();
    }
    void turnEventLoop() { QTest::qWait(20); }

    // The shown top-level windows of that name.
    static QList<QWidget*> shown(const char* name) {
        QList<QWidget*> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String(name) && window->isVisible())
                windows << window;
        }
        return windows;
    }
};

TEST_F(PresenceTest, FirstRunShowsOnboardingAfterLaunchingAndTheTrayMenuAgain) {
    launch();
    EXPECT_FALSE(onboardingShows()) << "not during launching";
    turnEventLoop();
    ASSERT_TRUE(onboardingShows());
    EXPECT_EQ(delegate->onboardingWindow()->stepIndex(), 0);
    EXPECT_TRUE(delegate->windowPresenter().hasTaskbarEntry());
    EXPECT_NE(delegate->mainMenu().menuBar(delegate->onboardingWindow()), nullptr)
        << "the window carries the main menu";
    delegate->onboardingWindow()->close();
    EXPECT_FALSE(delegate->windowPresenter().hasTaskbarEntry());

    // Asked for from the tray menu, it shows again from the first page.
    trayItem(QStringLiteral("Show Onboarding…"))->trigger();
    ASSERT_TRUE(onboardingShows());
    EXPECT_EQ(delegate->onboardingWindow()->stepIndex(), 0);
}

TEST_F(PresenceTest, OnceOnboardedOnlyTheUserLookingForCorvantaWithoutATrayGetsAWindow) {
    using enum LaunchReason;
    const struct {
        LaunchReason reason;
        bool tray;
        bool completed;
        bool onboarding;
        bool settings;
    } cases[] = {
        {login, false, true, false, false},    {open, false, true, false, false},
        {activate, false, true, false, true},  {activate, true, true, false, false},
        {login, false, false, true, false},    {open, true, false, true, false},
        {activate, false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.reason) << c.tray << c.completed);
        fake.preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, c.completed);
        fake.tray.available = c.tray;
        launch(c.reason);
        turnEventLoop();
        EXPECT_EQ(onboardingShows(), c.onboarding);
        EXPECT_EQ(settingsShows(), c.settings);
    }
    // Started quietly at login, then launched from the application menu.
    fake.preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    fake.tray.available = false;
    launch(login);
    delegate->applicationDidActivate();
    turnEventLoop();
    EXPECT_TRUE(settingsShows());
    EXPECT_FALSE(onboardingShows());

    fake.tray.setAvailable(true);
    EXPECT_TRUE(delegate->tray().icon()->isVisible()) << "the icon comes with the tray";
}

TEST_F(PresenceTest, PaletteFromTheTrayMenuTeachesTheDroppedTypeOnce) {
    fake.preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    launch();
    trayItem(QStringLiteral("Route File Type…"))->trigger();
    ASSERT_EQ(shown("dropPalettePanel").size(), 1) << "the palette shows";
    DropZoneView* zone = shown("dropPalettePanel")[0]->findChild<DropZoneView*>();
    ASSERT_NE(zone, nullptr);

    const QString sample = dir.filePath(QStringLiteral("plan.org"));
    writeFile(sample, {});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(sample)});
    const qsizetype before = delegate->store().routes().size();
    QDragEnterEvent enter(QPoint(100, 55), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zone, &enter);
    QDropEvent drop(QPointF(100, 55), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(zone, &drop);
    turnEventLoop();
    turnEventLoop();
    EXPECT_EQ(delegate->store().routes().size(), before + 1);
    EXPECT_TRUE(delegate->store().routeForFile(QUrl::fromLocalFile(sample)).has_value());
}

TEST_F(PresenceTest, AboutBoxKeepsTheTaskbarEntryWhileItShows) {
    fake.preferences.setBoolean(PreferenceKeys::hasCompletedMenuBarOnboarding, true);
    launch();
    trayItem(QStringLiteral("About Corvanta"))->trigger();
    EXPECT_TRUE(delegate->windowPresenter().hasTaskbarEntry());
    ASSERT_EQ(shown("aboutBox").size(), 1);
    QWidget* about = shown("aboutBox")[0];
    turnEventLoop();
    EXPECT_TRUE(delegate->windowPresenter().hasTaskbarEntry()) << "not just for one turn";
    trayItem(QStringLiteral("About Corvanta"))->trigger();
    EXPECT_EQ(shown("aboutBox"), QList<QWidget*>{about})
        << "asking again brings the same box forward";
    about->close();
    turnEventLoop();
    EXPECT_FALSE(delegate->windowPresenter().hasTaskbarEntry());
}

const QString org = QStringLiteral("custom.org");

// The tray menu as the delegate fills it, and what its items do.
using TrayMenuTest = DelegateTest;

TEST_F(TrayMenuTest, MenuListsRoutesByNameThenTheCommandsWithUpdatesOnlyWithAHandler) {
    start({route("custom.b", "beta", "b"), route("custom.a", "Alpha", "a")});
    // Without an icon the tray would show nothing to click.
    EXPECT_FALSE(delegate->tray().icon()->icon().isNull());
    QStringList titles = menu();
    EXPECT_LT(titles.indexOf("Alpha"), titles.indexOf("beta"));
    EXPECT_GE(titles.indexOf("Alpha"), 0);
    EXPECT_EQ(titles.mid(titles.size() - 7),
              (QStringList{"---", "Route File Type…", "Settings…", "Show Onboarding…", "---",
                           "About Corvanta", "Quit Corvanta"}));
    int checks = 0;
    delegate->setCheckForUpdatesHandler([&] { ++checks; });
    titles = menu();
    const qsizetype check = titles.indexOf("Check for Updates…");
    ASSERT_GT(check, 0);
    EXPECT_EQ(titles[check - 1], "Show Onboarding…");
    delegate->tray().menu()->actions()[check]->trigger();
    EXPECT_EQ(checks, 1);
}

TEST_F(TrayMenuTest, RouteSubmenuShowsNamesAsTypedChecksTheActiveEditorAndChangesIt) {
    Route r = route(org, "Notes & Docs", "org");
    r.editors[0].opensFolder = true;
    r.editors[1].name = "Write & Read";
    start({r});
    EXPECT_TRUE(menu().contains("Notes && Docs"));
    QList<QAction*> items = submenu("Notes && Docs");
    ASSERT_EQ(items.size(), 7);
    QStringList titles;
    for (const QAction* item : items)
        titles << (item->isChecked() ? "[x] " : "") + item->text();
    EXPECT_EQ(titles, (QStringList{"[x] Alpha", "Write && Read", "", "[x] Open Enclosing Folder",
                                   "", "Edit Rules…", "Make Corvanta default"}));
    // The editors are one exclusive group: choosing another moves the mark.
    ASSERT_NE(items[0]->actionGroup(), nullptr);
    EXPECT_EQ(items[0]->actionGroup(), items[1]->actionGroup());
    items[1]->trigger();
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_EQ(delegate->store().routeWithID(org)->activeBundleID, beta);
    // Rebuilt from the store when it opens again; the folder item follows Beta now.
    items = submenu("Notes && Docs");
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked() || items[3]->isChecked());
    items[3]->trigger();
    EXPECT_TRUE(delegate->store().routeWithID(org)->editors[1].opensFolder);

    // Without an installed desktop entry, claiming the type explains itself.
    fake.workspace.uninstall(QStringLiteral("io.corvanta.Corvanta"));
    submenu("Notes && Docs").last()->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].messageText, "Not running from an app bundle");
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              "Install Corvanta (scripts/run.sh installs it for your user), then start it from "
              "your applications menu.");
    EXPECT_TRUE(fake.workspace.defaultCalls().isEmpty());
}

TEST_F(TrayMenuTest, RouteSubmenuOffersItsUtilitiesByKindAndRunsThemOnTheSelection) {
    Route r = route(org, "Org", "org");
    r.enabledShortcuts = {{"S-1", "Resize"}};
    r.enabledServices = {{"b|/menus/b.desktop", "Send & Share"}, {"/menus/a.desktop", "Archive"}};
    r.enabledScripts = {{"tool.sh", "tool.sh"}};
    start({r});
    const QList<QAction*> items = submenu("Org");
    QStringList titles;
    for (const QAction* item : items)
        titles << item->text();
    const QString services = PlatformTexts::text("Run Services");
    EXPECT_EQ(titles.mid(3),
              (QStringList{"Open Enclosing Folder", "Run Shortcuts", services, "Run Scripts", "",
                           "Edit Rules…", "Make Corvanta default"}));
    QStringList entries;
    QList<QAction*> utilities;
    for (int i = 4; i <= 6; ++i)
        for (QAction* entry : items[i]->menu()->actions()) {
            entries << entry->text();
            utilities << entry;
        }
    // Stored order within a kind; "&" shows as itself, not as a mnemonic.
    EXPECT_EQ(entries, (QStringList{"Resize", "Send && Share", "Archive", "tool.sh"}));

    // Nothing selected: the no-files alert, nothing started.
    QAction* resize = utilities[0];
    resize->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown[0].informativeText,
              PlatformTexts::text(
                  "Select one or more files in Finder (or another file manager), then try again."));
    EXPECT_TRUE(fake.processes.runs.isEmpty());

    // With a selection the utility runs on it; a failure to start is reported.
    const QList<QUrl> selection = touchFiles(dir.path(), {"a b", "-c"});
    fake.frontmost.bundleID = QStringLiteral("thunar");
    fake.fileManagerSelection.selections[QStringLiteral("Thunar")] = selection;
    resize->trigger();
    ASSERT_EQ(fake.processes.runs.size(), 1);
    EXPECT_EQ(fake.processes.runs[0].arguments,
              (QList<QByteArray>{"run", "S-1", "-i", LocalFileURL::nativePath(selection[0]), "-i",
                                 LocalFileURL::nativePath(selection[1])}));
    fake.processes.results["/usr/bin/shortcuts"] = FakeProcessRunner::launchFailure("gone");
    resize->trigger();
    ASSERT_EQ(fake.alerts.shown.size(), 2) << "a run that started says nothing";
    EXPECT_EQ(fake.alerts.shown[1].informativeText,
              "Could not run shortcut \u201CResize\u201D: gone");
    // Each entry runs its own utility (these are not installed); alerts carry its name.
    for (QAction* entry : utilities.mid(1))
        entry->trigger();
    EXPECT_EQ(fake.alerts.messages(),
              (QStringList{"Resize", "Resize", "Send & Share", "Archive", "tool.sh"}));
}

TEST_F(TrayMenuTest, RecentlyRoutedListsTheLastTenFilesOnceAndOpensThemAgainOrWithAnEditor) {
    start({route(org, "Org", "org")});
    RoutingHistory history(fake.preferences, dir.filePath(QStringLiteral("history.jsonl")));
    delegate->setRoutingHistory(&history);
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("f%1.org").arg(i);
    const QList<QUrl> files = touchFiles(dir.path(), names);
    delegate->applicationOpenURLs(files);
    delegate->applicationOpenURLs({files[3]});
    QStringList titles;
    for (const QAction* file : submenu("Recently Routed"))
        titles << file->text();
    EXPECT_EQ(titles, (QStringList{"f3.org", "f11.org", "f10.org", "f9.org", "f8.org", "f7.org",
                                   "f6.org", "f5.org", "f4.org", "f2.org"}));
    const QList<QAction*> actions = submenu("Recently Routed").first()->menu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[2]->text(), "Show Why…");
    const qsizetype before = fake.workspace.openCalls().size();
    actions[0]->trigger(); // Open Again: routed as a double-click, to the active editor
    actions[1]->menu()->actions().last()->trigger(); // Open With the route's second editor
    const auto calls = fake.workspace.openCalls().mid(before);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].location, FakeWorkspace::locationOf(alpha));
    EXPECT_EQ(calls[1].location, FakeWorkspace::locationOf(beta));
    EXPECT_EQ(calls[1].urls, QList<QUrl>{files[3]});
    EXPECT_EQ(history.entries().first().path, LocalFileURL::nativePath(files[3]));
}

} // namespace
