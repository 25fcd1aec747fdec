#include "core/pickers/ListEditorPicker.h"
#include "core/pickers/RadialEditorPicker.h"
#include "core/pickers/WidgetPickerPresenter.h"
#include "core/platform/PlatformTexts.h"
#include "tests/support/FakeWorkspace.h"
#include "tests/support/RecordingActivation.h"
#include "tests/support/WidgetTest.h"

#include <QTest>

namespace {
// The completions a picker reported, in order.
using Results = QList<std::optional<PickerChoice>>;

PickerChoice editor(const QString& name) {
    Editor e;
    e.name = name;
    return {e};
}

class EditorPickerWidgetsTest : public WidgetTest {
protected:
    static auto record(Results& into) {
        return [&into](const std::optional<PickerChoice>& choice) { into.append(choice); };
    }
    template <typename Picker> std::unique_ptr<Picker> show(const QList<PickerChoice>& entries) {
        results.clear();
        auto picker = std::make_unique<Picker>("Choose a Markdown editor", entries);
        picker->show(record(results));
        EXPECT_TRUE(!picker->panel() || QTest::qWaitForWindowExposed(picker->panel()));
        return picker;
    }

    // Kate, Gedit, separator, Copy, Run Shortcuts, Run Services.
    const QList<PickerChoice> entries{
        editor("Kate"),
        editor("Gedit"),
        {PickerUtility::makeDefault(PickerUtilityKind::copyPOSIXPath)},
        {ExternalUtilityRef::shortcut({"sc-Publish", "Publish"})},
        {ExternalUtilityRef::shortcut({"sc-Archive", "Archive"})},
        {ExternalUtilityRef::service({"sv-Convert", "Convert"})},
    };
    Results results;
};

TEST_F(EditorPickerWidgetsTest, RadialKeysAndClicksCompleteOnce) {
    const RadialPickerGeometry g(int(entries.size()));
    const auto ctrl = Qt::ControlModifier;
    // Shift on an editor asks for a rule; on anything else it changes nothing.
    PickerChoice ruleFromGedit = entries[1];
    ruleFromGedit.makesRule = true;
    const struct {
        Results expected;
        std::optional<QPointF> click;
        QList<QKeyCombination> keys;
        Qt::KeyboardModifiers clickWith = {};
    } cases[] = {
        {{ruleFromGedit}, g.iconCenter(1), {}, Qt::ShiftModifier},
        {{entries[3]}, g.iconCenter(3), {}, Qt::ShiftModifier},
        {{entries[1]}, {}, {Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}},
        {{entries[4]}, {}, {Qt::Key_Up, Qt::Key_Up, Qt::KeypadModifier | Qt::Key_Enter}},
        {{}, {}, {ctrl | Qt::Key_7, ctrl | Qt::Key_9, Qt::Key_3}}, // no such slice
        {{}, g.layout().discCenter, {}},
        {{}, g.layout().pillRect.center(), {}},
        {{entries[1]}, g.iconCenter(1), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        const auto picker = show<RadialEditorPicker>(entries);
        // The window system may close the window right after the choice: still
        // one completion.
        QWidget* panel = picker->panel();
        QObject::connect(picker->pickerView(), &RadialEditorPickerView::confirmed, panel,
                         [panel] { panel->close(); });
        for (QKeyCombination key : c.keys)
            if (picker->pickerView())
                QTest::keyClick(picker->pickerView(), key.key(), key.keyboardModifiers());
        if (c.click)
            QTest::mouseClick(picker->pickerView(), Qt::LeftButton, c.clickWith,
                              c.click->toPoint());
        QCoreApplication::processEvents();
        EXPECT_EQ(results, c.expected);
        EXPECT_EQ(picker->panel() == nullptr, !c.expected.isEmpty());
    }
}

TEST_F(EditorPickerWidgetsTest, ListRowsKeysAndDoubleClick) {
    const auto picker = show<ListEditorPicker>(entries);
    ListPickerTable* table = picker->table();
    ASSERT_EQ(table->count(), 6);
    EXPECT_EQ(table->item(4)->text(), QStringLiteral("Run Shortcuts  \u203A"));
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down})
        QTest::keyClick(table, key);
    EXPECT_EQ(table->currentRow(), 3); // past the separator
    // A double click confirms its row, unless that is the separator.
    for (int row : {2, 1}) {
        const QPoint at = table->visualItemRect(table->item(row)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(results, Results{entries[1]});
    EXPECT_EQ(picker->panel(), nullptr);
}

// Whatever the user clicks or types, Return always has exactly one row to confirm.
TEST_F(EditorPickerWidgetsTest, ListKeepsExactlyOneHighlightedRow) {
    const auto picker = show<ListEditorPicker>(entries);
    ListPickerTable* table = picker->table();
    const auto ctrl = Qt::ControlModifier;
    auto clickRow = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                          table->visualItemRect(table->item(row)).center());
    };
    auto below = [&] {
        const QRect last = table->visualItemRect(table->item(table->count() - 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, last.bottomLeft() + QPoint(4, 6));
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"ctrl+click on the highlighted row", [&] { clickRow(0, ctrl); }},
        {"ctrl+space", [&] { QTest::keyClick(table, Qt::Key_Space, ctrl); }},
        {"ctrl+click on another row", [&] { clickRow(1, ctrl); }},
        {"click on the separator", [&] { clickRow(2, {}); }},
        {"click below the rows", below},
        {"ctrl+down then ctrl+space",
         [&] {
             QTest::keyClick(table, Qt::Key_Down, ctrl);
             QTest::keyClick(table, Qt::Key_Space, ctrl);
         }},
    };
    for (const auto& [what, step] : steps) {
        step();
        EXPECT_EQ(table->selectedItems().size(), 1) << what;
        EXPECT_TRUE(table->currentItem() && table->currentItem()->isSelected()) << what;
    }
    clickRow(1, ctrl);
    QTest::keyClick(table, Qt::Key_Space, ctrl);
    QTest::keyClick(table, Qt::Key_Return, Qt::ShiftModifier);
    PickerChoice ruleFromGedit = entries[1];
    ruleFromGedit.makesRule = true;
    EXPECT_EQ(results, Results{ruleFromGedit});
}

TEST_F(EditorPickerWidgetsTest, EscapeInAChildListReturnsToTheMainList) {
    const auto picker = show<ListEditorPicker>(entries);
    picker->table()->setCurrentRow(5);
    QTest::keyClick(picker->table(), Qt::Key_Enter);
    ListEditorPicker* child = picker->childPicker();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->panel()->windowTitle(), PlatformTexts::text("Run Services"));
    EXPECT_EQ(child->table()->item(0)->text(), QStringLiteral("\u2039 Back"));
    EXPECT_FALSE(picker->panel()->isVisible());
    // Keys at the hidden main list neither cancel nor confirm it.
    QTest::keyClick(picker->table(), Qt::Key_Escape);
    QTest::keyClick(picker->table(), Qt::Key_Return);
    EXPECT_EQ(picker->childPicker(), child);

    QTest::keyClick(child->table(), Qt::Key_Escape);
    EXPECT_EQ(picker->childPicker(), nullptr);
    EXPECT_TRUE(picker->panel()->isVisible());
    EXPECT_EQ(picker->table()->currentRow(), 5);
    EXPECT_TRUE(results.isEmpty());

    // The child's choice completes the main list.
    QTest::keyClick(picker->table(), Qt::Key_Return);
    ASSERT_NE(picker->childPicker(), nullptr);
    QTest::keyClick(picker->childPicker()->table(), Qt::Key_Down);
    QTest::keyClick(picker->childPicker()->table(), Qt::Key_Return);
    EXPECT_EQ(results, Results{entries[5]});
}

// One picker at a time; each window, child lists included, is handed the
// request's token before it shows, so it gets keyboard focus after a double-click.
TEST_F(EditorPickerWidgetsTest, PresenterShowsOneAtATimeEachPreparedForFocus) {
    EXPECT_EQ(show<RadialEditorPicker>({})->panel(), nullptr);
    EXPECT_EQ(results, Results{std::nullopt});
    EXPECT_EQ(show<ListEditorPicker>({})->panel(), nullptr);
    EXPECT_EQ(results, Results{std::nullopt});

    RecordingActivation activation;
    FakeWorkspace workspace;
    WidgetPickerPresenter presenter(workspace);
    presenter.setActivation(&activation);
    const auto preparedLast = [&](const QWidget* panel) {
        return !activation.prepared.isEmpty() && activation.prepared.last() == panel->winId();
    };
    results.clear();
    // A completion may present another picker; it waits behind the queued one.
    presenter.present({"First", PickerStyle::radial, entries}, [&](const auto& choice) {
        results.append(choice);
        presenter.present({"Third", PickerStyle::radial, entries}, record(results));
    });
    presenter.present({"Second", PickerStyle::list, entries}, record(results));
    EXPECT_EQ(presenter.listPicker(), nullptr);
    EXPECT_TRUE(preparedLast(presenter.radialPicker()->panel()));
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Return);
    ListEditorPicker* list = presenter.listPicker();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->panel()->windowTitle(), QStringLiteral("Second"));
    EXPECT_TRUE(preparedLast(list->panel()));
    list->table()->setCurrentRow(4);
    QTest::keyClick(list->table(), Qt::Key_Return);
    ASSERT_NE(list->childPicker(), nullptr);
    EXPECT_TRUE(preparedLast(list->childPicker()->panel()));
    QTest::keyClick(list->childPicker()->table(), Qt::Key_Escape);
    QTest::keyClick(list->table(), Qt::Key_Escape);
    ASSERT_NE(presenter.radialPicker(), nullptr);
    EXPECT_TRUE(preparedLast(presenter.radialPicker()->panel()));
    EXPECT_EQ(activation.prepared.size(), 4);
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Right);
    QTest::keyClick(presenter.radialPicker()->pickerView(), Qt::Key_Return);
    EXPECT_EQ(results, (Results{entries[0], std::nullopt, entries[1]}));
    EXPECT_FALSE(presenter.isShowing());
}

// Without a compositing manager, translucent pixels show black: the panel is
// then opaque and cut to the disc and caption, and asked anew for each picker.
TEST_F(EditorPickerWidgetsTest, RadialPanelIsCutToItsShapeWhereWindowsCannotBlend) {
    FakeWorkspace workspace;
    bool blending = true;
    WidgetPickerPresenter presenter(workspace, [&] { return blending; });
    for (const bool translucent : {true, false, true}) {
        blending = translucent;
        presenter.present({"Choose", PickerStyle::radial, entries}, {});
        const RadialEditorPicker* picker = presenter.radialPicker();
        ASSERT_NE(picker, nullptr);
        const QWidget* panel = picker->panel();
        const QRegion mask = panel->mask();
        EXPECT_EQ(panel->testAttribute(Qt::WA_TranslucentBackground), translucent);
        EXPECT_EQ(mask.isEmpty(), translucent);
        if (!translucent) {
            const RadialLayout& l = picker->pickerView()->geometry().layout();
            const QPointF top = l.discCenter - QPointF(0, l.outerRadius - 2);
            for (const QPointF inside : {top, l.discCenter, l.pillRect.center()})
                EXPECT_TRUE(mask.contains(inside.toPoint()));
            for (const QPoint corner :
                 {QPoint(1, 1), QPoint(panel->width() - 2, 1), QPoint(1, panel->height() - 2)})
                EXPECT_FALSE(mask.contains(corner));
        }
        QTest::keyClick(picker->pickerView(), Qt::Key_Escape);
    }
}
} // namespace
