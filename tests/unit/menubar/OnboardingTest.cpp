#include "core/menubar/OnboardingArrowPanel.h"
#include "core/menubar/OnboardingGeometry.h"
#include "core/menubar/OnboardingSteps.h"
#include "core/menubar/OnboardingWindowController.h"
#include "core/settings/StartAtLoginSwitch.h"
#include "tests/support/FakeDesktopTray.h"
#include "tests/support/FakeServices.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/WidgetTest.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
class OnboardingTest : public WidgetTest {
protected:
    std::unique_ptr<OnboardingWindowController> window(std::optional<QRect> icon) {
        TrayGeometry geometry;
        geometry.icon = [icon] { return icon; };
        geometry.visibleArea = [](const QPoint&) { return QRect(0, 30, 1920, 1050); };
        auto controller = std::make_unique<OnboardingWindowController>(preferences, tray, loginItem,
                                                                       geometry, true);
        controller->onWillShow = [this] { log << QStringLiteral("will show"); };
        controller->onWillClose = [this](QWidget*) { log << QStringLiteral("will close"); };
        return controller;
    }
    bool completed() const {
        return preferences.boolean(PreferenceKeys::hasCompletedMenuBarOnboarding).value_or(false);
    }
    template <typename T> static T* child(QWidget* window, const char* name) {
        return window->findChild<T*>(QLatin1String(name));
    }

    FakePreferences preferences;
    FakeDesktopTray tray;
    FakeLoginItem loginItem;
    QStringList log;
};

TEST_F(OnboardingTest, ArrowAndWindowPlacement) {
    const QRect topPanel(0, 30, 1920, 1050), bottomPanel(0, 0, 1920, 1040);
    const struct {
        const char* name;
        QRect icon;
        QRect area;
        QPoint arrow;
        bool up;
    } arrows[] = {
        {"under the icon", QRect(900, 0, 24, 30), topPanel, {894, 32}, true},
        {"left edge", QRect(0, 0, 10, 30), topPanel, {4, 32}, true},
        {"right edge", QRect(1910, 0, 10, 30), topPanel, {1920 - 36 - 4, 32}, true},
        {"tray at the bottom: above, pointing down",
         QRect(900, 1044, 24, 36),
         bottomPanel,
         {894, 1044 - 48 - 2},
         false},
    };
    for (const auto& a : arrows) {
        SCOPED_TRACE(a.name);
        const auto place = OnboardingGeometry::arrowPlacement(a.icon, a.area);
        EXPECT_EQ(place.origin, a.arrow);
        EXPECT_EQ(place.pointsUp, a.up);
    }

    const QSize size(520, 640);
    const struct {
        const char* name;
        std::optional<QRect> icon;
        QRect area;
        QPoint origin;
    } windows[] = {
        // 15 % of the free 410 px is 61, measured from the edge away from the tray.
        {"tray at the top", QRect(900, 0, 24, 30), topPanel, {700, 30 + 1050 - 640 - 61}},
        {"tray at the bottom", QRect(900, 1044, 24, 36), bottomPanel, {700, 0 + 60}},
        // 15 % of 160 is 24: at least 40.
        {"small screen", QRect(10, 0, 24, 24), QRect(0, 0, 1024, 800), {252, 800 - 640 - 40}},
        {"screen smaller than the window", QRect(10, 0, 24, 24), QRect(0, 20, 480, 600), {0, 20}},
        {"unknown icon: centred", std::nullopt, topPanel, {700, 30 + 205}},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        EXPECT_EQ(OnboardingGeometry::windowOrigin(w.icon, size, w.area), w.origin);
    }
}

// The Settings button only where the desktop has tray settings; the arrow only
// where the icon's place is known.
TEST_F(OnboardingTest, WindowWalksThePagesEachWithItsControls) {
    const struct {
        const char* label;
        const char* next;
        bool back, settings, arrow;
    } pages[] = {{"1 of 3", "Next", false, true, false},
                 {"2 of 3", "Next", true, false, true},
                 {"3 of 3", "Done", true, false, false}};
    for (const bool known : {true, false}) {
        SCOPED_TRACE(known);
        tray.settings = known;
        auto onboarding = window(known ? std::optional(QRect(900, 0, 24, 30)) : std::nullopt);
        onboarding->showOnboarding();
        EXPECT_EQ(onboarding->size(), QSize(520, 640));
        auto* back = child<QPushButton>(onboarding.get(), "backButton");
        auto* next = child<QPushButton>(onboarding.get(), "nextButton");
        auto* settings = child<QPushButton>(onboarding.get(), "openSettingsButton");
        auto* image = child<QLabel>(onboarding.get(), "imageView");
        // Forward to the last page, then back to the first.
        for (const int step : {0, 1, 2, 1, 0}) {
            if (step != onboarding->stepIndex())
                QTest::mouseClick(step > onboarding->stepIndex() ? next : back, Qt::LeftButton);
            ASSERT_EQ(onboarding->stepIndex(), step);
            const auto& page = pages[step];
            EXPECT_EQ(child<QLabel>(onboarding.get(), "pageLabel")->text(), page.label);
            EXPECT_EQ(next->text(), page.next);
            EXPECT_EQ(!back->isHidden(), page.back);
            EXPECT_EQ(!settings->isHidden(), page.settings && known);
            EXPECT_EQ(onboarding->arrowPanel()->isVisible(), page.arrow && known);
            if (page.arrow && known) {
                EXPECT_EQ(onboarding->arrowPanel()->pos(), QPoint(894, 32));
            }
            EXPECT_EQ(image->pixmap().deviceIndependentSize().height(), 360)
                << "the illustration is built in";
        }
        if (known) {
            QTest::mouseClick(settings, Qt::LeftButton);
            EXPECT_EQ(tray.settingsOpened, 1);
        }
        EXPECT_FALSE(completed()) << "walking the pages completes nothing";
    }
    // Texts that name the menu bar have a tray wording.
    for (const OnboardingStep& step : OnboardingFlow::steps()) {
        for (const QString& text : {step.title, step.body}) {
            EXPECT_FALSE(text.contains("menu bar", Qt::CaseInsensitive)) << text.toStdString();
            EXPECT_FALSE(text.contains("System Settings")) << text.toStdString();
        }
    }
}

TEST_F(OnboardingTest, EveryWayOfClosingCompletesAndShowingAgainStartsOver) {
    // Only Done with the box ticked (as it starts) has Corvanta start at login.
    enum How { closeButton, skip, done, doneUnticked };
    for (How how : {closeButton, skip, done, doneUnticked}) {
        SCOPED_TRACE(int(how));
        preferences.values.clear();
        loginItem.enabled = false;
        log.clear();
        auto onboarding = window(QRect(900, 0, 24, 30));
        onboarding->showOnboarding();
        EXPECT_TRUE(onboarding->startAtLoginBox()->isHidden()) << "only on the last page";
        if (how == closeButton) {
            onboarding->close();
        } else if (how == skip) {
            QTest::mouseClick(child<QPushButton>(onboarding.get(), "skipButton"), Qt::LeftButton);
        } else {
            // Return and Enter go to the next page; on the last one they finish.
            ASSERT_TRUE(QTest::qWaitForWindowActive(onboarding.get()));
            QTest::keyClick(onboarding.get(), Qt::Key_Return);
            QTest::keyClick(onboarding.get(), Qt::Key_Enter);
            EXPECT_EQ(onboarding->stepIndex(), 2);
            EXPECT_TRUE(onboarding->isVisible() && onboarding->startAtLoginBox()->isChecked());
            onboarding->startAtLoginBox()->setChecked(how == done);
            QTest::keyClick(onboarding.get(), Qt::Key_Return);
        }
        EXPECT_FALSE(onboarding->isVisible());
        EXPECT_FALSE(onboarding->arrowPanel()->isVisible());
        EXPECT_TRUE(completed());
        EXPECT_EQ(loginItem.enabled, how == done);
        EXPECT_EQ(log, (QStringList{"will show", "will close"}));

        onboarding->showOnboarding();
        EXPECT_EQ(onboarding->stepIndex(), 0) << "shown again from the first page";
        EXPECT_TRUE(onboarding->isVisible());
    }
}

// The general tab's switch: what the desktop does now, each time it shows.
TEST_F(OnboardingTest, StartAtLoginSwitchFollowsTheEntryAndTellsAFailedChange) {
    FakeAlerts alerts;
    StartAtLoginSwitch box(loginItem, alerts);
    box.show();
    EXPECT_FALSE(box.isChecked());
    box.hide();
    loginItem.enabled = true; // switched on elsewhere (onboarding, the file)
    box.show();
    EXPECT_TRUE(box.isChecked());
    box.click();
    EXPECT_FALSE(loginItem.enabled);
    loginItem.failure = QStringLiteral("cannot write entry: No space left on device");
    box.click();
    EXPECT_FALSE(box.isChecked()) << "back to what is true";
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].messageText, "Could not change starting at login");
    EXPECT_EQ(alerts.shown[0].informativeText, *loginItem.failure);
}

TEST_F(OnboardingTest, ArrowPointsTowardsTheTrayInTheAccentColour) {
    OnboardingArrowPanel arrow(true);
    arrow.showAt(QPoint(10, 10), true);
    EXPECT_EQ(arrow.triangle(), QPolygonF({QPointF(18, 2), QPointF(6, 38), QPointF(30, 38)}));
    arrow.showAt(QPoint(10, 10), false);
    EXPECT_EQ(arrow.triangle(), QPolygonF({QPointF(18, 46), QPointF(6, 10), QPointF(30, 10)}));
    const QImage picture = arrow.grab().toImage();
    EXPECT_EQ(
        picture.pixelColor(18 * picture.devicePixelRatio(), 24 * picture.devicePixelRatio()).name(),
        QColor::fromRgbF(0.345f, 0.651f, 1.0f).name());
}
} // namespace
