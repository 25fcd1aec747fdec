#include "core/hotkeys/HotkeyRecorderView.h"
#include "core/hotkeys/HotkeyRecordingPeriod.h"
#include "core/settings/ElidingLabel.h"
#include "core/settings/ReorderableList.h"
#include "core/settings/RouteSettingsSummary.h"
#include "core/settings/RulesSettingsPage.h"
#include "core/utilities/ExternalUtilityChecklistSheet.h"
#include "tests/unit/settings/SettingsTestSupport.h"

#include <QButtonGroup>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>
#include <QTextDocument>
#include <QToolButton>

namespace {
class SettingsWindowTest : public WidgetTest {
protected:
    void SetUp() override { world.open(); }

    template <typename W = QWidget> W* child(const QString& name) const {
        return world.child<W>(name);
    }
    QListWidget* editorsTable() const { return child<QListWidget>("editorsTableView"); }
    ReorderableList* rulesTable() const { return child<ReorderableList>("rulesTableView"); }
    ReorderableList* orderTable() const { return child<ReorderableList>("orderTableView"); }
    // The widget of row `row` of `list`.
    template <typename W> W* rowWidget(QListWidget* list, int row, const QString& name) const {
        QWidget* cell = list->itemWidget(list->item(row));
        return cell ? cell->findChild<W*>(name) : nullptr;
    }
    static int rowOf(QListWidget* list, const QString& id) {
        int row = 0;
        while (row < list->count() && list->item(row)->data(Qt::UserRole) != id)
            ++row;
        return row;
    }
    Editor editorOf(const QString& id) const {
        for (const Editor& e : world.route().editors) {
            if (e.bundleID == id)
                return e;
        }
        return {};
    }
    PickerUtility utilityOf(PickerUtilityKind kind) const {
        for (const PickerUtility& u : world.route().utilities) {
            if (u.kind == kind)
                return u;
        }
        return {};
    }
    std::optional<QString> terminal() const {
        return utilityOf(PickerUtilityKind::openParentInTerminal).terminalBundleID;
    }
    QStringList ruleIDs() const {
        QStringList out;
        for (const Rule& r : world.route().rules)
            out.append(r.id);
        return out;
    }
    // The Org route with all three editors enabled; their preference order.
    QStringList openWithThreeEditors() {
        Route org = orgRoute();
        org.editors[2].enabled = true;
        org.normalizePreferenceOrder();
        world.open({org});
        return org.defaultPreferenceOrder;
    }
    void showTab(int tab) {
        world.window->show(QStringLiteral("custom.org"));
        world.window->tabs()->setCurrentIndex(tab);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(world.window.get()));
    }
    static void settle() { QCoreApplication::processEvents(); }

    SettingsWorld world;
};
} // namespace

TEST_F(SettingsWindowTest, EachControlChangesTheStoreAndTheFile) {
    struct Case {
        const char* control;
        std::function<void()> use;
        std::function<bool()> changed;
    };
    const QList<Case> cases{
        {"editor's enabled box",
         [&] { rowWidget<QCheckBox>(editorsTable(), 0, "enabledCheckBox")->click(); },
         [&] { return !editorOf(alpha).enabled; }},
        {"utility box", [&] { child<QCheckBox>("utilityCheckBox_copyPOSIXPath")->click(); },
         [&] { return !utilityOf(PickerUtilityKind::copyPOSIXPath).enabled; }},
        {"terminal pop-up",
         [&] {
             QComboBox* popup = child<QComboBox>("terminalPopUpButton");
             const int kitty = popup->findData(QStringLiteral("kitty"));
             ASSERT_GE(kitty, 0);
             popup->setCurrentIndex(kitty);
             Q_EMIT popup->activated(kitty);
         },
         [&] { return terminal() == "kitty"; }},
        {"terminal Choose…",
         [&] {
             world.choosers.applications = {{{"org.kde.konsole", "Konsole"}}};
             world.click("chooseTerminalButton");
         },
         [&] { return terminal() == "org.kde.konsole"; }},
        {"Remove under the editors",
         [&] {
             editorsTable()->setCurrentRow(2);
             child<QPushButton>("removeEditorButton")->click();
         },
         [&] { return world.route().editors.size() == 2; }},
        {"rule's enabled box",
         [&] { rowWidget<QCheckBox>(rulesTable(), 0, "ruleEnabledCheckBox")->click(); },
         [&] { return !world.route().rules.first().enabled; }},
        {"Remember routed files", [&] { child<QCheckBox>("rememberRoutedFilesCheckBox")->click(); },
         [&] {
             return world.fake.preferences.boolean(PreferenceKeys::remembersRoutedFiles) == false;
         }},
        {"notification switch", [&] { child<QCheckBox>("notifyWhenBeepingCheckBox")->click(); },
         [&] {
             return world.fake.preferences.boolean(PreferenceKeys::notifiesWhenBeeping) == false;
         }},
        {"Clear History", [&] { child<QPushButton>("clearHistoryButton")->click(); },
         [&] { return world.historyCleared == 1; }},
        {"a rule from a choice confirmed with Shift, saved",
         [&] {
             world.window->proposeRule("/home/ann/Drafts", beta);
             world.window->ruleSheet()->saveButton()->click();
         },
         [&] {
             const Rule first = world.route().rules.first();
             const Predicate folder = first.when.predicates.value(0);
             return ruleIDs().mid(1) == QStringList{"R1", "R2"} && first.name == "Drafts" &&
                    first.action.kind == RuleActionKind::specificEditor &&
                    first.action.effectiveBundleIDs() == QStringList{beta} &&
                    first.when.predicates.size() == 1 &&
                    folder.kind == PredicateKind::parentFolder &&
                    folder.folderPath == "/home/ann/Drafts" &&
                    folder.equalityOperator == EqualityOperator::is;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        world.open();
        c.use();
        settle();
        EXPECT_TRUE(c.changed());
        EXPECT_EQ(world.routesOnDisk(), world.store->routes());
    }
}

TEST_F(SettingsWindowTest, CancelledPanelsAndDisabledControlsChangeNothing) {
    const QList<Route> before = world.store->routes();
    child<QPushButton>("removeEditorButton")->click();
    child<QPushButton>("addAppButton")->click();
    child<QPushButton>("chooseTerminalButton")->click();
    child<QPushButton>("addTypeButton")->click();
    world.window->proposeRule("/home/ann/Drafts", beta);
    world.window->ruleSheet()->cancelButton()->click();
    EXPECT_EQ(world.choosers.requests.size(), 3);
    EXPECT_EQ(world.choosers.requests.at(1).message,
              "Choose the terminal app used to open parent folders.");
    EXPECT_EQ(world.choosers.requests.at(2).prompt, "Add Type");
    // A discovered editor cannot be removed.
    world.window->show(QStringLiteral("markdown"));
    ASSERT_EQ(world.window->selectedRouteID(), "markdown");
    for (int row = 0; row < editorsTable()->count(); ++row) {
        editorsTable()->setCurrentRow(row);
        EXPECT_FALSE(child<QPushButton>("removeEditorButton")->isEnabled());
    }
    EXPECT_FALSE(child<QPushButton>("removeTypeButton")->isEnabled());
    EXPECT_TRUE(world.fake.alerts.shown.isEmpty());
    EXPECT_EQ(world.store->routes(), before);
}

TEST_F(SettingsWindowTest, PickerStyleControls) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(world.window.get()));
    auto* radial = child<QToolButton>("radialSegmentButton");
    auto* list = child<QToolButton>("listSegmentButton");
    EXPECT_EQ(child<QLabel>("pickerChipLabel")->text(), "PICKER  radial");
    // The segments follow the arrows; Space checks one.
    radial->setFocus();
    QTest::keyClick(radial, Qt::Key_Right);
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(world.fake.preferences.string(PreferenceKeys::editorPickerStyle), "list");
    EXPECT_FALSE(child<QCheckBox>("forceRadialCheckBox")->isEnabled());
    EXPECT_EQ(child<QLabel>("pickerChipLabel")->text(), "PICKER  list");
    // The checked segment stands apart from the other, and says so.
    const auto fill = [](QToolButton* b) { // inside the border, left of the centred text
        return b->grab().toImage().pixelColor(4, b->height() / 2);
    };
    for (QToolButton* checked : {list, radial}) {
        checked->click();
        QToolButton* other = checked == radial ? list : radial;
        const QColor on = fill(checked), off = fill(other);
        const int distance = std::abs(on.red() - off.red()) + std::abs(on.green() - off.green()) +
                             std::abs(on.blue() - off.blue());
        EXPECT_GT(distance, 120) << on.name().toStdString() << " vs " << off.name().toStdString();
        // The other one stays as dark as the window around it.
        EXPECT_LT(off.lightness(), 100) << off.name().toStdString();
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(checked)->state().checked);
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(other)->state().checkable);
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(other)->state().checked);
    }
    EXPECT_EQ(world.fake.preferences.string(PreferenceKeys::editorPickerStyle), "radial");
    child<QCheckBox>("forceRadialCheckBox")->click();
    EXPECT_EQ(world.fake.preferences.boolean(PreferenceKeys::editorPickerForceRadialWithVoiceOver),
              true);
    // A window built later starts from the stored choice.
    world.fake.preferences.setString(PreferenceKeys::editorPickerStyle, QStringLiteral("list"));
    world.open();
    EXPECT_TRUE(child<QToolButton>("listSegmentButton")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("forceRadialCheckBox")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("forceRadialCheckBox")->isEnabled());
    EXPECT_EQ(child<QLabel>("activeChipLabel")->text(), "ACTIVE  Beta");

    child<QPushButton>("showOnboardingButton")->click();
    EXPECT_EQ(world.onboardingShown, 1);
    // The checklist of each kind opens on the window, for the selected route.
    const std::pair<const char*, ExternalUtilityKind> buttons[] = {
        {"runShortcutsButton", ExternalUtilityKind::shortcut},
        {"runServicesButton", ExternalUtilityKind::service},
        {"runScriptsButton", ExternalUtilityKind::script}};
    for (const auto& [button, kind] : buttons) {
        child<QPushButton>(QString::fromLatin1(button))->click();
        auto* sheet = world.window->findChild<ExternalUtilityChecklistSheet*>();
        ASSERT_TRUE(sheet) << button;
        EXPECT_EQ(sheet->kind(), kind);
        EXPECT_EQ(sheet->routeID(), "custom.org");
        delete sheet;
    }
}

TEST_F(SettingsWindowTest, SelectionIsKeptAcrossReloadsFollowsAddTypeAndFallsBackToTheFirstRoute) {
    world.window->show(QStringLiteral("custom.gone"));
    EXPECT_EQ(world.window->selectedRouteID(), "custom.org");
    // A change from elsewhere (the tray) shows at once and keeps the selection.
    world.store->setEnabled(QStringLiteral("custom.org"), alpha, false);
    auto* alphaBox =
        rowWidget<QCheckBox>(editorsTable(), rowOf(editorsTable(), alpha), "enabledCheckBox");
    ASSERT_TRUE(alphaBox);
    EXPECT_FALSE(alphaBox->isChecked());
    EXPECT_EQ(world.window->selectedRouteID(), "custom.org");
    EXPECT_EQ(child<QComboBox>("routePopUpButton")->currentData().toString(), "custom.org");

    // The pop-up switches the route.
    QComboBox* popup = child<QComboBox>("routePopUpButton");
    const int markdown = popup->findData(QStringLiteral("markdown"));
    ASSERT_GE(markdown, 0);
    Q_EMIT popup->activated(markdown);
    EXPECT_EQ(world.window->selectedRouteID(), "markdown");
    EXPECT_EQ(child<QLabel>("routeTitleLabel")->text(), world.route("markdown").name);

    // Add Type selects the route it taught; with nothing taught the selection stays.
    const QUrl sample = QUrl::fromLocalFile(QStringLiteral("/tmp/x.org"));
    world.choosers.files = {sample, sample};
    world.click("addTypeButton");
    EXPECT_EQ(world.window->selectedRouteID(), "markdown");
    world.teachingResult = QStringLiteral("custom.org");
    world.click("addTypeButton");
    EXPECT_EQ(world.taught, (QList<QUrl>{sample, sample}));
    EXPECT_EQ(world.window->selectedRouteID(), "custom.org");

    // Removing the selected custom type asks first, then selects the first route.
    world.fake.alerts.answers = {1};
    world.click("removeTypeButton");
    EXPECT_TRUE(world.store->routeWithID(QStringLiteral("custom.org")));
    ASSERT_EQ(world.fake.alerts.shown.size(), 1);
    EXPECT_EQ(world.fake.alerts.shown.first().messageText, "Remove Org document?");
    EXPECT_EQ(world.fake.alerts.shown.first().buttons, QStringList({"Remove", "Cancel"}));
    world.fake.alerts.answers = {0};
    world.click("removeTypeButton");
    EXPECT_FALSE(world.store->routeWithID(QStringLiteral("custom.org")));
    EXPECT_EQ(world.window->selectedRouteID(), world.store->routes().first().id);
    EXPECT_EQ(child<QComboBox>("routePopUpButton")->currentIndex(), 0);
    EXPECT_EQ(world.routesOnDisk(), world.store->routes());
}

TEST_F(SettingsWindowTest, OrderTabShowsEnabledEditorsAndItsEmptyLabel) {
    ASSERT_EQ(orderTable()->count(), 2);
    EXPECT_EQ(orderTable()->item(0)->text(), "Beta");
    EXPECT_EQ(orderTable()->item(1)->text(), "Alpha");
    world.click("deselectAllButton");
    EXPECT_EQ(orderTable()->count(), 0);
    QLabel* empty = child<QLabel>("orderEmptyLabel");
    EXPECT_EQ(static_cast<QStackedWidget*>(empty->parentWidget())->currentWidget(), empty);
    world.click("selectAllButton");
    EXPECT_EQ(static_cast<QStackedWidget*>(empty->parentWidget())->currentWidget(), orderTable());
    EXPECT_EQ(orderTable()->count(), 3);
}

namespace {
// Sends a drag of row `from` of `list` to `position`, as a user's drag would
// arrive; whether the view took the drop.
bool dragRow(ReorderableList* list, int from, QPoint position) {
    list->setCurrentRow(from);
    std::unique_ptr<QMimeData> data(list->model()->mimeData({list->model()->index(from, 0)}));
    if (!data)
        return false;
    QWidget* target = list->viewport();
    QDragEnterEvent enter(position, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(position, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(QPointF(position), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

QPoint upperHalf(QListWidget* list, int row) {
    const QRect r = list->visualItemRect(list->item(row));
    return {r.center().x(), r.top() + 2};
}
QPoint lowerHalf(QListWidget* list, int row) {
    const QRect r = list->visualItemRect(list->item(row));
    return {r.center().x(), r.bottom() - 2};
}
} // namespace

TEST_F(SettingsWindowTest, RowsMoveIntoGapsOfTheirListByDropsAndAltArrowsNeverPastTheDefaultRule) {
    const QStringList order = openWithThreeEditors();
    ASSERT_EQ(order.size(), 3);
    const QString &a = order.at(0), &b = order.at(1), &c = order.at(2);
    // Drops onto the upper half of row `to` (the gap before it), its lower half
    // (the gap after it) or below every row; keys pressed on row `from`, after
    // which `to` is the current row.
    enum Move { upper, lower, below, altUp, altDown, down };
    const struct {
        const char* what;
        bool rules;
        int from;
        Move move;
        int to;
        QStringList expected;
    } moves[] = {
        {"lower half of the Default Rule", true, 0, lower, 2, {"R1", "R2"}},
        {"below every row", true, 0, below, 2, {"R1", "R2"}},
        {"upper half of the Default Rule", true, 0, upper, 2, {"R2", "R1"}},
        {"into the first gap", true, 1, upper, 0, {"R2", "R1"}},
        {"the Default Rule itself", true, 2, upper, 0, {"R1", "R2"}},
        {"an editor to the end", false, 0, lower, 2, {b, c, a}},
        {"an editor up", false, 2, upper, 1, {a, c, b}},
        {"rule down", true, 0, altDown, 1, {"R2", "R1"}},
        {"rule up", true, 1, altUp, 0, {"R2", "R1"}},
        {"first rule up", true, 0, altUp, 0, {"R1", "R2"}},
        {"last rule past the Default Rule", true, 1, altDown, 1, {"R1", "R2"}},
        {"the Default Rule up", true, 2, altUp, 2, {"R1", "R2"}},
        {"plain arrow only moves the cursor", true, 0, down, 1, {"R1", "R2"}},
        {"editor down", false, 0, altDown, 1, {b, a, c}},
        {"editor up from the end", false, 2, altUp, 1, {a, c, b}},
        {"last editor down", false, 2, altDown, 2, order},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.what);
        openWithThreeEditors();
        showTab(m.rules ? SettingsWindowController::rulesTab : SettingsWindowController::orderTab);
        ReorderableList* list = m.rules ? rulesTable() : orderTable();
        const auto rows = [&] {
            return m.rules ? ruleIDs() : world.route().defaultPreferenceOrder;
        };
        const QStringList before = rows();
        if (m.move >= altUp) {
            list->setFocus();
            list->setCurrentRow(m.from);
            QTest::keyClick(list, m.move == altUp ? Qt::Key_Up : Qt::Key_Down,
                            m.move == down ? Qt::NoModifier : Qt::AltModifier);
            settle();
            EXPECT_EQ(list->currentRow(), m.to);
        } else {
            const QPoint where = m.move == upper   ? upperHalf(list, m.to)
                                 : m.move == lower ? lowerHalf(list, m.to)
                                                   : QPoint(10, list->viewport()->height() - 2);
            EXPECT_EQ(dragRow(list, m.from, where), m.expected != before) << "taken";
        }
        EXPECT_EQ(rows(), m.expected);
        EXPECT_EQ(world.routesOnDisk(), world.store->routes());
    }

    // A drag from another list is refused.
    std::unique_ptr<QMimeData> foreign(
        orderTable()->model()->mimeData({orderTable()->model()->index(0, 0)}));
    QDragEnterEvent enter(upperHalf(rulesTable(), 0), Qt::MoveAction, foreign.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(rulesTable()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(SettingsWindowTest, RulesContextMenuCopiesTheClickedOrCurrentRulesIDOrLink) {
    // Clicked row (-1: none, the current one), current row, what each action copies.
    const struct {
        int row, current;
        const char* id;
        const char* link;
    } rows[] = {{0, -1, "R1", "x-corvanta://open?rule=R1&file="},
                {-1, 1, "R2", "x-corvanta://open?rule=R2&file="},
                {2, 0, nullptr, nullptr},
                {-1, -1, nullptr, nullptr}};
    for (const auto& r : rows) {
        rulesTable()->setCurrentRow(r.current);
        std::unique_ptr<QMenu> menu(child<RulesSettingsPage>("rulesPage")->makeContextMenu(r.row));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), 2);
        EXPECT_EQ(actions.at(0)->text(), "Copy Rule ID");
        EXPECT_EQ(actions.at(1)->text(), "Copy URL Scheme Template");
        for (int i = 0; i < 2; ++i) {
            const char* copied = i == 0 ? r.id : r.link;
            EXPECT_EQ(actions.at(i)->isEnabled(), copied != nullptr) << r.row << r.current;
            world.fake.clipboard.text.clear();
            actions.at(i)->trigger();
            EXPECT_EQ(world.fake.clipboard.text, QString::fromUtf8(copied)) << r.row << r.current;
        }
    }
}

// A rule whose hotkey does nothing says why, in its row and in its recorder, and
// both follow the registry's states as the desktop changes them.
TEST_F(SettingsWindowTest, AnInactiveHotkeySaysWhyInTheRulesListAndTheRecorder) {
    FakeShortcutRegistry& keys = world.fake.shortcuts;
    Route org = orgRoute();
    org.rules[0].when.predicates = {RuleBuilders::hotkey(QStringLiteral("rule-R1"))};
    world.open({org});
    keys.setShortcut(Shortcut{Qt::Key_F5, {}}, "rule-R1");
    keys.onKeyDown("rule-R1", [] {}); // as the hotkey center does for an enabled rule
    HotkeyRecordingPeriod period(keys, [] { return Qt::KeyboardModifiers(); });
    HotkeyRecorderView recorder(keys, period, QStringLiteral("rule-R1"));
    const auto shown = [](QLabel* label) {
        return label && !label->isHidden() ? label->text() : QString();
    };
    // Each step sets the whole state; later ones show which reason comes first.
    const struct {
        bool held, unbound, missing, global;
        QString reason;
    } steps[] = {
        {false, false, false, true, {}},
        {true, false, false, true, "Hotkey inactive: another program uses it"},
        {false, true, false, true, "Hotkey inactive: not bound by the desktop"},
        {false, true, true, true, "Hotkey inactive: no such key in this keyboard layout"},
        {false, true, true, false, "Hotkey inactive: this session offers no global hotkeys"},
        {false, false, false, true, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.reason.toStdString());
        keys.heldByOthers = step.held ? QList<Shortcut>{{Qt::Key_F5, {}}} : QList<Shortcut>();
        keys.unboundByDesktop = step.unbound ? QStringList{"rule-R1"} : QStringList();
        keys.missingKeys = step.missing ? QList<Qt::Key>{Qt::Key_F5} : QList<Qt::Key>();
        keys.offersGlobalKeys = step.global;
        keys.desktopChanged();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown(rowWidget<QLabel>(rulesTable(), 0, "hotkeyStateLabel")), step.reason);
        const QString heard = rulesTable()->item(0)->data(Qt::AccessibleTextRole).toString();
        EXPECT_EQ(heard.endsWith(" (" + step.reason + ')'), !step.reason.isEmpty());
        EXPECT_EQ(shown(recorder.stateLabel()), step.reason);
        EXPECT_EQ(shown(rowWidget<QLabel>(rulesTable(), 1, "hotkeyStateLabel")), QString());
    }
}

TEST_F(SettingsWindowTest, TabReachesEveryControlOfEachTabAndEachSaysWhatItIs) {
    world.window->show(QStringLiteral("custom.org"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(world.window.get()));
    for (int tab = 0; tab < world.window->tabs()->count(); ++tab) {
        SCOPED_TRACE(tab);
        world.window->tabs()->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        QSet<QWidget*> expected;
        for (QWidget* w : world.window->findChildren<QWidget*>()) {
            // Of an exclusive group Tab reaches the checked button; arrows the others.
            const auto* button = qobject_cast<QAbstractButton*>(w);
            if (button && button->group() && button->group()->exclusive() && !button->isChecked())
                continue;
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                !w->focusProxy())
                expected.insert(w);
        }
        child<QComboBox>("routePopUpButton")->setFocus();
        QSet<QWidget*> reached;
        for (int i = 0; i < 200 && !reached.contains(expected); ++i) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (QWidget* w : expected) {
            EXPECT_TRUE(reached.contains(w))
                << w->objectName().toStdString() << " " << w->metaObject()->className();
            expectSaysWhatItIs(w);
        }
    }
}

namespace {
Route& orgIn(QList<Route>& routes) {
    for (Route& r : routes) {
        if (r.id == QStringLiteral("custom.org"))
            return r;
    }
    return routes.first();
}
} // namespace

TEST_F(SettingsWindowTest, AHandEditShowsAtOnceAndTheNextActionDoesWhatTheWindowShows) {
    Rule r3 = folderRule(QStringLiteral("R3"), QStringLiteral("/srv/r3"), alpha);
    const struct {
        const char* what;
        std::function<void(Route&)> edit;
        // Whether the store read the edit before the user acts (its watcher fired).
        bool reloaded;
        std::function<void()> act;
        QStringList rulesAfter;
    } cases[] = {
        {"rule added, then removed from the list",
         [&](Route& r) { r.rules.append(r3); },
         true,
         [&] {
             rulesTable()->setCurrentRow(2);
             world.click("removeRuleButton");
         },
         {"R1", "R2"}},
        {"rule removed: the one selected is no longer there",
         [](Route& r) { r.rules.removeFirst(); },
         true,
         [&] { EXPECT_FALSE(child<QPushButton>("removeRuleButton")->isEnabled()); },
         {"R2"}},
        // Shown R1, R2 while the file already says R2, R1: dragging R2 above R1
        // leaves R2 above R1, not R1 moved by its old row.
        {"rules reordered, not read yet",
         [](Route& r) { r.rules.swapItemsAt(0, 1); },
         false,
         [&] { EXPECT_TRUE(dragRow(rulesTable(), 1, upperHalf(rulesTable(), 0))); },
         {"R2", "R1"}},
        {"rule renamed, then edited: replaced in place",
         [](Route& r) { r.rules[1].name = QStringLiteral("Work"); },
         true,
         [&] {
             rulesTable()->setCurrentRow(1);
             world.click("editRuleButton");
             ASSERT_TRUE(world.window->ruleSheet());
             EXPECT_EQ(world.window->ruleSheet()->nameField()->text(), "Work");
             world.window->ruleSheet()->nameField()->setText(QStringLiteral("Work 2"));
             world.window->ruleSheet()->saveButton()->click();
             EXPECT_EQ(world.route().rules.at(1).name, "Work 2");
         },
         {"R1", "R2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.open();
        showTab(SettingsWindowController::rulesTab);
        rulesTable()->setCurrentRow(0);
        world.handEdit([&](QList<Route>& routes) { c.edit(orgIn(routes)); }, c.reloaded);
        if (c.reloaded) {
            EXPECT_EQ(rulesTable()->count(), world.route().rules.size() + 1);
            EXPECT_EQ(child<ElidingLabel>("metaLineLabel")->fullText(),
                      RouteSettingsSummary::metaLine(world.route()));
        }
        c.act();
        settle();
        EXPECT_EQ(ruleIDs(), c.rulesAfter);
        EXPECT_EQ(world.routesOnDisk(), world.store->routes());
    }
}

TEST_F(SettingsWindowTest, ASheetWhoseRouteOrRuleVanishedKeepsItsDraft) {
    const struct {
        const char* what;
        bool defaultRule;
        std::function<void(QList<Route>&)> edit;
    } cases[] = {
        {"rule removed", false, [](QList<Route>& routes) { orgIn(routes).rules.removeFirst(); }},
        {"route removed", false, [](QList<Route>& routes) { routes.removeOne(orgIn(routes)); }},
        {"route removed under the Default Rule", true,
         [](QList<Route>& routes) { routes.removeOne(orgIn(routes)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.open();
        world.fake.alerts.shown.clear();
        rulesTable()->setCurrentRow(c.defaultRule ? 2 : 0);
        world.click("editRuleButton");
        QDialog* sheet = c.defaultRule ? static_cast<QDialog*>(world.window->defaultRuleSheet())
                                       : world.window->ruleSheet();
        ASSERT_TRUE(sheet);
        world.handEdit(c.edit);
        const QList<Route> before = world.store->routes();
        sheet->findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
        EXPECT_TRUE(sheet->isVisible());
        ASSERT_EQ(world.fake.alerts.shown.size(), 1);
        EXPECT_EQ(world.fake.alerts.shown.first().messageText, "Could not save");
        // Nothing written anywhere, in particular not under another route.
        EXPECT_EQ(world.store->routes(), before);
        EXPECT_EQ(world.routesOnDisk(), before);
        sheet->reject();
    }
}

TEST_F(SettingsWindowTest, ActionsUseTheStoresCurrentState) {
    // A tray choice of the active editor, then the Default Rule sheet.
    world.handEdit([](QList<Route>& routes) {
        orgIn(routes).defaultActionKind = RuleActionKind::selectFromAllEditors;
    });
    world.store->setActiveBundleID(QStringLiteral("custom.org"), alpha);
    EXPECT_EQ(child<QLabel>("activeChipLabel")->text(), "ACTIVE  Alpha");
    rulesTable()->setCurrentRow(2);
    world.click("editRuleButton");
    ASSERT_TRUE(world.window->defaultRuleSheet());
    EXPECT_EQ(world.window->defaultRuleSheet()->editorPopup()->currentData().toString(), alpha);
    world.window->defaultRuleSheet()->saveButton()->click();
    EXPECT_EQ(world.route().defaultActionKind, RuleActionKind::selectFromAllEditors);
    EXPECT_EQ(world.route().defaultOpenBundleIDs, QStringList{alpha});

    // The folder box turned on in the file before the window heard of it: a
    // click that turns it on keeps it on.
    world.handEdit([](QList<Route>& routes) { orgIn(routes).editors[1].opensFolder = true; },
                   false);
    auto* folder = rowWidget<QCheckBox>(editorsTable(), 1, "folderCheckBox");
    ASSERT_FALSE(folder->isChecked());
    folder->click();
    settle();
    EXPECT_TRUE(editorOf(beta).opensFolder);

    // "Add App…" lands on the route it was chosen for, even when the window
    // switched to another meanwhile.
    world.choosers.applications.append(
        SettingsChoosers::Application{QStringLiteral("org.example.New"), "New"});
    world.choosers.whileOpen = [&] { world.window->show(QStringLiteral("markdown")); };
    world.click("addAppButton");
    EXPECT_TRUE(editorOf("org.example.New").manual && editorOf("org.example.New").name == "New");
    EXPECT_EQ(world.routesOnDisk(), world.store->routes());
    EXPECT_EQ(world.window->selectedRouteID(), "markdown");
}

TEST_F(SettingsWindowTest, FocusInARowMakesItCurrentAndNamesShowAsTyped) {
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data home");
    Route org = orgRoute();
    org.editors[2].name = QStringLiteral("<font size=40>X</font>");
    org.extensions = QStringList(30, QStringLiteral("orgmode"));
    world.open({org});
    world.window->resize(480, 700);
    ASSERT_TRUE(QTest::qWaitForWindowActive(world.window.get()));

    // Tab into a row's box: the list's buttons act on that row.
    showTab(SettingsWindowController::rulesTab);
    rulesTable()->setCurrentRow(0);
    rowWidget<QCheckBox>(rulesTable(), 1, "ruleEnabledCheckBox")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(rulesTable()->currentRow(), 1);
    world.click("removeRuleButton");
    EXPECT_EQ(ruleIDs(), QStringList{"R1"});
    showTab(SettingsWindowController::editorsTab);
    const int gamma = rowOf(editorsTable(), gammaApp);
    rowWidget<QCheckBox>(editorsTable(), gamma, "folderCheckBox")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(editorsTable()->currentRow(), gamma);

    // A name that looks like markup shows its characters, in the row and its tool tip.
    auto* name = rowWidget<QLabel>(editorsTable(), gamma, "nameLabel");
    EXPECT_GE(name->sizeHint().width(), name->fontMetrics().horizontalAdvance(org.editors[2].name));
    const QString tip = rowWidget<QCheckBox>(editorsTable(), gamma, "folderCheckBox")->toolTip();
    QTextDocument shown;
    Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
    EXPECT_TRUE(shown.toPlainText().contains(org.editors[2].name)) << tip.toStdString();

    // The meta line ends in "…" where the window ends; paths follow $XDG_DATA_HOME.
    auto* meta = child<ElidingLabel>("metaLineLabel");
    EXPECT_TRUE(meta->text().endsWith(u'\u2026')) << meta->text().toStdString();
    EXPECT_EQ(meta->fullText(), RouteSettingsSummary::metaLine(world.route()));
    EXPECT_EQ(child<QPushButton>("openScriptsFolderButton")->toolTip(),
              PlatformTexts::text("Reveal ~/Library/Scripts in Finder")
                  .arg("/srv/data home/Corvanta/Scripts"));
    qputenv("XDG_DATA_HOME", dataHome);
}

TEST_F(SettingsWindowTest, SheetsStoreTheirResults) {
    SettingsWindowController& window = *world.window;
    // A new rule with a changed default order.
    world.click("addRuleButton");
    ASSERT_TRUE(window.ruleSheet());
    window.ruleSheet()->actionPopup()->setCurrentIndex(1);
    window.ruleSheet()->movePreference(1, 0);
    const QStringList order = window.ruleSheet()->preferenceOrder();
    window.ruleSheet()->saveAsDefaultButton()->click();
    window.ruleSheet()->saveButton()->click();
    EXPECT_EQ(world.route().rules.size(), 3);
    EXPECT_EQ(world.route().defaultPreferenceOrder, order);
    EXPECT_EQ(rulesTable()->count(), 4);

    // The gear of an editor opens its template sheet.
    rowWidget<QToolButton>(editorsTable(), 0, "templateToolButton")->click();
    ASSERT_TRUE(window.urlTemplateSheet());
    window.urlTemplateSheet()->field()->setText(QStringLiteral("x-alpha://{filepath}"));
    window.urlTemplateSheet()->saveButton()->click();
    EXPECT_EQ(world.route().editors.first().urlSchemeTemplate, "x-alpha://{filepath}");
    EXPECT_EQ(world.routesOnDisk(), world.store->routes());

    // Closing the window (dark, as every sheet) ends an open rule sheet as
    // cancelled, says so, and keeps the window and its selection for next time.
    EXPECT_LT(window.palette().color(QPalette::Window).lightness(), 80);
    world.click("addRuleButton");
    ASSERT_TRUE(window.ruleSheet());
    const QString name = window.ruleSheet()->draft().hotkeyName();
    world.hotkeys.setShortcut(name, Shortcut{Qt::Key_K, Qt::ControlModifier | Qt::AltModifier});
    window.close();
    EXPECT_FALSE(world.hotkeys.shortcut(name));
    EXPECT_EQ(world.route().rules.size(), 3);
    EXPECT_EQ(world.closed, 1);
    window.show();
    EXPECT_EQ(window.selectedRouteID(), "custom.org");
}
