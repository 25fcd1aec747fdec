#include "core/hotkeys/HotkeyRecorderView.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "tests/support/FakeShortcutRegistry.h"
#include "tests/support/WidgetTest.h"
#include "tests/unit/hotkeys/HotkeyTestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace hotkeytest;

namespace {
class HotkeyRecorderViewTest : public WidgetTest {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        view = new HotkeyRecorderView(registry, period, QStringLiteral("rule-R"), &window);
        other = new QLineEdit(&window);
        layout->addWidget(view);
        layout->addWidget(other);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
    }
    QString title() const { return view->button()->text(); }
    void startRecording() {
        QTest::mouseClick(view->button(), Qt::LeftButton);
        ASSERT_TRUE(view->isRecording());
    }

    FakeShortcutRegistry registry;
    HotkeyRecordingPeriod period{registry, [] { return Qt::KeyboardModifiers(); }};
    QWidget window;
    HotkeyRecorderView* view = nullptr;
    QLineEdit* other = nullptr;
};

// Where the desktop assigns the keys, the recorder says so; on X11 it does not.
TEST_F(HotkeyRecorderViewTest, ReachedFromTheKeyboardAndNotesOnlyADesktopsConfirmation) {
    // Focus given to the view lands on the button.
    view->setFocus();
    EXPECT_TRUE(view->button()->hasFocus());

    const QString note = HotkeyRecorder::desktopConfirmsNote();
    EXPECT_EQ(view->button()->toolTip(), HotkeyRecorder::toolTip());

    registry.confirmsBindings = true;
    HotkeyRecorderView portal(registry, period, QStringLiteral("rule-P"));
    EXPECT_TRUE(portal.button()->toolTip().startsWith(HotkeyRecorder::toolTip()));
    EXPECT_TRUE(portal.button()->toolTip().endsWith(note));
    EXPECT_EQ(portal.button()->accessibleDescription(), note);
}

// While it records, a window's shortcut does not take the keys typed into it.
TEST_F(HotkeyRecorderViewTest, RecordsACombinationTypedIntoItBeforeWindowShortcuts) {
    int triggered = 0;
    QAction close(&window);
    close.setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    window.addAction(&close);
    QObject::connect(&close, &QAction::triggered, [&triggered] { ++triggered; });
    QSignalSpy changed(view, &HotkeyRecorderView::shortcutChanged);
    startRecording();
    EXPECT_EQ(title(), QStringLiteral("Press keys\u2026"));
    QTest::keyClick(view->button(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(triggered, 0);
    EXPECT_EQ(title(), needsSuper);
    QTest::keyClick(view->button(), Qt::Key_E, Qt::MetaModifier | Qt::ShiftModifier);
    EXPECT_EQ(registry.getShortcut("rule-R"), superShiftE);
    EXPECT_EQ(title(), QStringLiteral("Super+Shift+E"));
    QTest::keyClick(other, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1) << "the shortcut works again once recording ended";

    // Clicking again (recording ended) and pressing Backspace clears it.
    startRecording();
    QTest::keyClick(view->button(), Qt::Key_Backspace);
    EXPECT_FALSE(registry.getShortcut("rule-R"));
    EXPECT_EQ(title(), QStringLiteral("Record Shortcut"));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(HotkeyRecorderViewTest, EndsRecordingWithoutChangeWhenLeft) {
    registry.setShortcut(ctrlAltF5, "rule-R");
    struct Row {
        const char* what;
        std::function<void()> leave;
    };
    const Row rows[] = {
        {"Escape", [this] { QTest::keyClick(view->button(), Qt::Key_Escape); }},
        {"a click elsewhere", [this] { QTest::mouseClick(other, Qt::LeftButton); }},
        {"a click on the button", [this] { QTest::mouseClick(view->button(), Qt::LeftButton); }},
        {"Tab",
         [this] {
             QTest::keyClick(view->button(), Qt::Key_Tab);
             EXPECT_TRUE(other->hasFocus()) << "Tab moves the focus on";
         }},
        {"hiding", [this] { view->hide(); }},
    };
    for (const Row& row : rows) {
        view->show();
        startRecording();
        row.leave();
        EXPECT_FALSE(view->isRecording()) << row.what;
        // The title names the stored keys: they stay.
        EXPECT_EQ(title(), QStringLiteral("Ctrl+Alt+F5")) << row.what;
        EXPECT_TRUE(registry.isEnabled()) << row.what;
    }
}
} // namespace
