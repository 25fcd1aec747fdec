#include "core/menubar/DropPalettePanel.h"
#include "core/menubar/DropZoneView.h"
#include "core/settings/SettingsWindowController.h"
#include "tests/support/DelegateTest.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
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
    QAction* entry = trayItem(QStringLiteral("Route File Type…"));
    ASSERT_NE(entry, nullptr);
    entry->trigger();
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
} // namespace
