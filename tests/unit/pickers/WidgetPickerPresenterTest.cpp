#include "core/pickers/WidgetPickerPresenter.h"
#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "tests/support/FakeWorkspace.h"
#include "tests/unit/pickers/PickerTestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {
class WidgetPickerPresenterTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }
    FakeWorkspace workspace;
    WidgetPickerPresenter presenter{workspace};
};

TEST_F(WidgetPickerPresenterTest, ShowsTheRequestedStyleOneAtATime) {
    CompletionRecorder first, second;
    const QList<PickerChoice> entries{editorChoice("Kate"), editorChoice("Gedit")};
    presenter.present({QStringLiteral("First"), PickerStyle::radial, entries}, first.callback());
    presenter.present({QStringLiteral("Second"), PickerStyle::list, entries}, second.callback());

    ASSERT_NE(presenter.radialPicker(), nullptr);
    EXPECT_EQ(presenter.listPicker(), nullptr);
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Right);
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Return);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(first.last, entries[1]);

    // The waiting request is shown as soon as the first one is done.
    ASSERT_NE(presenter.listPicker(), nullptr);
    EXPECT_EQ(presenter.radialPicker(), nullptr);
    EXPECT_EQ(presenter.listPicker()->panel()->windowTitle(), QStringLiteral("Second"));
    QTest::keyClick(presenter.listPicker()->table(), Qt::Key_Escape);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(second.last, std::nullopt);
    EXPECT_FALSE(presenter.isShowing());
}

TEST_F(WidgetPickerPresenterTest, NoEntriesCompletesAtOnce) {
    for (PickerStyle style : {PickerStyle::radial, PickerStyle::list}) {
        CompletionRecorder recorder;
        presenter.present({QStringLiteral("Empty"), style, {}}, recorder.callback());
        EXPECT_EQ(recorder.calls, 1);
        EXPECT_EQ(recorder.last, std::nullopt);
        EXPECT_FALSE(presenter.isShowing());
    }
}

TEST_F(WidgetPickerPresenterTest, ACompletionMayPresentTheNextPicker) {
    CompletionRecorder inner;
    int outerCalls = 0;
    const QList<PickerChoice> entries{editorChoice("Kate")};
    presenter.present({QStringLiteral("Outer"), PickerStyle::list, entries},
                      [&](const std::optional<PickerChoice>&) {
                          ++outerCalls;
                          presenter.present({QStringLiteral("Inner"), PickerStyle::radial, entries},
                                            inner.callback());
                      });
    QTest::keyClick(presenter.listPicker()->table(), Qt::Key_Return);
    EXPECT_EQ(outerCalls, 1);
    ASSERT_NE(presenter.radialPicker(), nullptr);
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Return);
    EXPECT_EQ(inner.calls, 1);
    EXPECT_EQ(inner.last, entries[0]);
}
} // namespace
