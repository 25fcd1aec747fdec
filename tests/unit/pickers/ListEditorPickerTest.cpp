#include "core/pickers/ListEditorPicker.h"
#include "tests/unit/pickers/PickerTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace {
class ListEditorPickerTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void show(const QList<PickerChoice>& entries) {
        picker =
            std::make_unique<ListEditorPicker>(QStringLiteral("Choose a Markdown editor"), entries);
        picker->show(recorder.callback());
        if (picker->panel()) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(picker->panel()));
        }
    }
    ListPickerTable* table() const { return picker->table(); }
    void key(QWidget* target, Qt::Key k) { QTest::keyClick(target, k); }

    // Kate, Gedit, separator, Copy, Run Shortcuts, Run Services.
    const QList<PickerChoice> entries{editorChoice("Kate"),
                                      editorChoice("Gedit"),
                                      utilityChoice(PickerUtilityKind::copyPOSIXPath),
                                      shortcutChoice("Publish"),
                                      shortcutChoice("Archive"),
                                      serviceChoice("Convert")};
    std::unique_ptr<ListEditorPicker> picker;
    CompletionRecorder recorder;
};

TEST_F(ListEditorPickerTest, ShowsRowsWithTheFirstSelectedAndTheHint) {
    show(entries);
    EXPECT_EQ(picker->panel()->windowTitle(), QStringLiteral("Choose a Markdown editor"));
    EXPECT_EQ(picker->panel()->size(), QSize(320, 280));
    ASSERT_EQ(table()->count(), 6);
    EXPECT_EQ(table()->currentRow(), 0);
    EXPECT_EQ(table()->item(4)->text(), QStringLiteral("Run Shortcuts  \u203A"));
    EXPECT_EQ(table()->item(2)->flags(), Qt::NoItemFlags);
    EXPECT_EQ(table()->visualItemRect(table()->item(0)).height(), 28);
    auto* hint = picker->panel()->findChild<QLabel*>(QStringLiteral("hintLabel"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("Return to confirm \u00B7 Escape to cancel"));
    EXPECT_EQ(table()->accessibleName(), QStringLiteral("Choose editor or action"));
}

TEST_F(ListEditorPickerTest, ArrowsSkipTheSeparatorAndReturnConfirms) {
    show(entries);
    key(table(), Qt::Key_Down);
    EXPECT_EQ(table()->currentRow(), 1);
    key(table(), Qt::Key_Down);
    EXPECT_EQ(table()->currentRow(), 3);
    key(table(), Qt::Key_Up);
    EXPECT_EQ(table()->currentRow(), 1);
    key(table(), Qt::Key_Down);
    key(table(), Qt::Key_Return);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, entries[2]);
    EXPECT_EQ(picker->panel(), nullptr);
}

TEST_F(ListEditorPickerTest, EscapeCancels) {
    show(entries);
    key(table(), Qt::Key_Escape);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(ListEditorPickerTest, EscapeInAChildListReturnsToTheMainList) {
    show(entries);
    table()->setCurrentRow(5);
    key(table(), Qt::Key_Enter);
    ListEditorPicker* child = picker->childPicker();
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(child->panel()));
    EXPECT_FALSE(picker->panel()->isVisible());
    EXPECT_EQ(child->panel()->windowTitle(), QStringLiteral("Run Services"));
    ASSERT_EQ(child->table()->count(), 2);
    EXPECT_EQ(child->table()->item(0)->text(), QStringLiteral("\u2039 Back"));

    key(child->table(), Qt::Key_Escape);
    EXPECT_EQ(picker->childPicker(), nullptr);
    EXPECT_EQ(recorder.calls, 0);
    EXPECT_TRUE(picker->panel()->isVisible());
    EXPECT_EQ(table()->currentRow(), 5);

    key(table(), Qt::Key_Escape);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(ListEditorPickerTest, BackRowReturnsAndAChildChoiceCompletesTheMainList) {
    show(entries);
    table()->setCurrentRow(4);
    key(table(), Qt::Key_Return);
    ASSERT_NE(picker->childPicker(), nullptr);
    // The back row is selected first.
    key(picker->childPicker()->table(), Qt::Key_Return);
    ASSERT_EQ(picker->childPicker(), nullptr);
    EXPECT_EQ(recorder.calls, 0);

    key(table(), Qt::Key_Return);
    ListEditorPicker* child = picker->childPicker();
    ASSERT_NE(child, nullptr);
    key(child->table(), Qt::Key_Down);
    key(child->table(), Qt::Key_Down);
    key(child->table(), Qt::Key_Return);
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, entries[4]);
}

TEST_F(ListEditorPickerTest, KeysReachOnlyTheChildWhileItIsOpen) {
    show(entries);
    table()->setCurrentRow(4);
    key(table(), Qt::Key_Return);
    ASSERT_NE(picker->childPicker(), nullptr);
    // A stray key at the hidden main list must neither confirm nor cancel it.
    key(table(), Qt::Key_Escape);
    ASSERT_EQ(recorder.calls, 0);
    key(table(), Qt::Key_Return);
    EXPECT_NE(picker->childPicker(), nullptr);
    EXPECT_EQ(recorder.calls, 0);
    EXPECT_FALSE(picker->panel()->isVisible());
}

TEST_F(ListEditorPickerTest, DoubleClickConfirmsLikeReturn) {
    show(entries);
    const QRect row = table()->visualItemRect(table()->item(1));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, entries[1]);
}

TEST_F(ListEditorPickerTest, DoubleClickOnTheSeparatorConfirmsNothing) {
    show(entries);
    const QRect separator = table()->visualItemRect(table()->item(2));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, separator.center());
    EXPECT_EQ(table()->currentRow(), 0);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, separator.center());
    EXPECT_EQ(recorder.calls, 0);
}

TEST_F(ListEditorPickerTest, ClickingEmptySpaceKeepsTheSelection) {
    show(entries);
    table()->setCurrentRow(3);
    const QRect last = table()->visualItemRect(table()->item(5));
    ASSERT_LT(last.bottom() + 20, table()->viewport()->height());
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, QPoint(20, last.bottom() + 15));
    EXPECT_EQ(table()->selectedItems().size(), 1);
    key(table(), Qt::Key_Return);
    EXPECT_EQ(recorder.last, entries[2]);
}

TEST_F(ListEditorPickerTest, OnlyUtilitiesShowWithoutSeparatorFirstSelected) {
    show({utilityChoice(PickerUtilityKind::revealInFinder),
          utilityChoice(PickerUtilityKind::openParentInTerminal)});
    ASSERT_EQ(table()->count(), 2);
    EXPECT_EQ(table()->currentRow(), 0);
    key(table(), Qt::Key_Return);
    EXPECT_EQ(recorder.last, utilityChoice(PickerUtilityKind::revealInFinder));
}

TEST_F(ListEditorPickerTest, NoEntriesFinishAtOnceWithoutAWindow) {
    show({});
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
    EXPECT_EQ(picker->panel(), nullptr);
}

TEST_F(ListEditorPickerTest, ClosingTheWindowCancelsOnce) {
    show(entries);
    picker->panel()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.calls, 1);
    EXPECT_EQ(recorder.last, std::nullopt);
}

TEST_F(ListEditorPickerTest, ComesBackToTheFrontWhenItLosesFocus) {
    show(entries);
    QWidget other;
    other.resize(100, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == picker->panel(); }));
    EXPECT_TRUE(picker->isPending());
}
} // namespace
