#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/RadialEditorPickerView.h"
#include "tests/unit/pickers/PickerTestSupport.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {
class RadialEditorPickerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void show(const QList<PickerChoice>& candidates) {
        picker = std::make_unique<RadialEditorPicker>(QStringLiteral("Choose a Markdown editor"),
                                                      candidates);
        picker->show(recorder.callback());
        if (picker->panel()) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(picker->panel()));
        }
    }
    RadialEditorPickerView* view() const { return picker->pickerView(); }
    QPoint at(const QPointF& p) const { return p.toPoint(); }

    const QList<PickerChoice> three{editorChoice("Kate"), editorChoice("Gedit"),
                                    utilityChoice(PickerUtilityKind::copyPOSIXPath)};
    std::unique_ptr<RadialEditorPicker> picker;
    CompletionRecorder recorder;
};

TEST_F(RadialEditorPickerTest, ArrowKeysWrapAndReturnConfirmsTheHighlight) {
    show(three);
    struct Step {
        Qt::Key key;
        int highlight;
    };
    const Step steps[] = {{Qt::Key_Left, 2}, {Qt::Key_Up, 1},    {Qt::Key_Right, 2},
                          {Qt::Key_Down, 0}, {Qt::Key_Right, 1}, {Qt::Key_Up, 0}};
    for (const Step& s : steps) {
        QTest::keyClick(view(), s.key);
        EXPECT_EQ(view()->highlightIndex(), s.highlight);
    }
    EXPECT_EQ(recorder.calls, 0);
    QTest::keyClick(view(), Qt::Key_Right);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, three[1]);
    EXPECT_EQ(picker->panel(), nullptr);
}

TEST_F(RadialEditorPickerTest, KeypadEnterConfirmsAndEscapeCancels) {
    show(three);
    QTest::keyClick(view(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(recorder.last, three[0]);

    recorder = {};
    show(three);
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(RadialEditorPickerTest, CtrlDigitConfirmsOnlySlicesThatExist) {
    show(three);
    QTest::keyClick(view(), Qt::Key_4, Qt::ControlModifier);
    QTest::keyClick(view(), Qt::Key_9, Qt::ControlModifier);
    QTest::keyClick(view(), Qt::Key_3); // without Ctrl
    EXPECT_EQ(recorder.calls, 0);
    QTest::keyClick(view(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, three[2]);
}

TEST_F(RadialEditorPickerTest, PointerHighlightsOnTheRingAndClicksByZone) {
    show(three);
    const RadialPickerGeometry& g = view()->geometry();
    QTest::mouseMove(view(), at(g.iconCenter(2)));
    EXPECT_EQ(view()->highlightIndex(), 2);
    // Off the ring the highlight stays where it was.
    QTest::mouseMove(view(), at(g.layout().discCenter));
    EXPECT_EQ(view()->highlightIndex(), 2);

    QTest::mouseClick(view(), Qt::LeftButton, {}, at(g.layout().discCenter));
    QTest::mouseClick(view(), Qt::LeftButton, {}, at(g.layout().pillRect.center()));
    QTest::mouseClick(view(), Qt::RightButton, {}, at(g.iconCenter(1)));
    EXPECT_EQ(recorder.calls, 0);

    QTest::mouseClick(view(), Qt::LeftButton, {}, at(g.iconCenter(1)));
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, three[1]);
}

TEST_F(RadialEditorPickerTest, ClickOutsideTheDiscCancels) {
    show(three);
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(RadialEditorPickerTest, OneCandidateAnyRingClickConfirmsIt) {
    show({editorChoice("Kate")});
    const RadialPickerGeometry& g = view()->geometry();
    const QPointF c = g.layout().discCenter;
    const qreal r = (g.layout().innerRadius + g.layout().outerRadius) / 2;
    QTest::mouseClick(view(), Qt::LeftButton, {}, at(c + QPointF(-r, 0)));
    EXPECT_EQ(recorder.last, editorChoice("Kate"));
}

TEST_F(RadialEditorPickerTest, CompletionRunsOnceWhenConfirmIsFollowedByClose) {
    show(three);
    QWidget* panel = picker->panel();
    QObject::connect(view(), &RadialEditorPickerView::confirmed, panel, [panel] {
        // The window system closing the window right after the choice.
        panel->close();
    });
    QTest::keyClick(view(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, three[0]);
}

TEST_F(RadialEditorPickerTest, ClosingTheWindowCancels) {
    show(three);
    picker->panel()->close();
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(RadialEditorPickerTest, NoCandidatesFinishesAtOnceWithoutAWindow) {
    show({});
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
    EXPECT_EQ(picker->panel(), nullptr);
}

TEST_F(RadialEditorPickerTest, ClickInAnotherWindowOfOursCancels) {
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    show(three);
    QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(RadialEditorPickerTest, ComesBackToTheFrontWhenItLosesFocus) {
    show(three);
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == picker->panel(); }));
    EXPECT_EQ(recorder.calls, 0);
    EXPECT_TRUE(picker->isPending());
}

TEST_F(RadialEditorPickerTest, OneAccessibleButtonPerSliceWithHelpAndPress) {
    QList<PickerChoice> many;
    for (int i = 0; i < 10; ++i)
        many.append(editorChoice(QStringLiteral("E%1").arg(i)));
    many.append(shortcutChoice("Publish"));
    show(many);
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(view());
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("Choose a Markdown editor"));
    ASSERT_EQ(group->childCount(), 11);

    QAccessibleInterface* first = group->child(0);
    EXPECT_EQ(first->role(), QAccessible::Button);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("E0"));
    EXPECT_EQ(first->text(QAccessible::Help),
              QStringLiteral("1 of 11. Click or press to open with E0. Shortcut Ctrl+1"));
    EXPECT_TRUE(first->state().selected);
    EXPECT_EQ(group->indexOfChild(first), 0);
    // Past nine there is no shortcut.
    EXPECT_EQ(group->child(9)->text(QAccessible::Help),
              QStringLiteral("10 of 11. Click or press to open with E9"));
    EXPECT_EQ(group->child(10)->text(QAccessible::Help),
              QStringLiteral("11 of 11. Click or press to run Publish"));

    QTest::keyClick(view(), Qt::Key_Left);
    EXPECT_FALSE(first->state().selected);
    EXPECT_TRUE(group->child(10)->state().selected);
    const QPoint sliceCenter = group->child(3)->rect().center();
    EXPECT_EQ(group->childAt(sliceCenter.x(), sliceCenter.y()), group->child(3));

    QAccessibleActionInterface* action = group->child(4)->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, many[4]);
}
} // namespace
