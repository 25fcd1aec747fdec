#include "core/settings/AlwaysOpenEditorsTable.h"
#include "core/settings/PredicateRowView.h"
#include "core/settings/ReorderableList.h"
#include "tests/unit/settings/SettingsTestSupport.h"

#include <QGroupBox>

namespace {
class SettingsSheetsTest : public WidgetTest {
protected:
    // A, B, C enabled (stored in that order), D disabled; preference [C, A].
    static Route abcRoute() {
        Route r;
        r.id = QStringLiteral("custom.t");
        r.name = QStringLiteral("T");
        for (const QString id : {"A", "B", "C", "D"})
            r.editors.append(RuleBuilders::editor(id, "Editor " + id, id != "D"));
        r.defaultPreferenceOrder = {"C", "A"};
        r.activeBundleID = QStringLiteral("A");
        return r;
    }

    struct Saved {
        Rule rule;
        std::optional<QStringList> order;
    };
    std::unique_ptr<RuleEditorSheet> ruleSheet(const std::optional<Rule>& rule,
                                               const Route& route = abcRoute()) {
        saved.clear();
        auto sheet = std::make_unique<RuleEditorSheet>(
            route, rule,
            [this](const Rule& r, const std::optional<QStringList>& order) {
                saved.append({r, order});
                return true;
            },
            choosers, hotkeys, fake.alerts);
        sheet->open();
        return sheet;
    }
    static QStringList itemTexts(const QComboBox* popup) {
        QStringList out;
        for (int i = 0; i < popup->count(); ++i)
            out.append(popup->itemText(i));
        return out;
    }
    static QStringList rowTexts(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            QWidget* cell = list->itemWidget(list->item(i));
            auto* box = cell ? cell->findChild<QCheckBox*>() : nullptr;
            out.append(box ? box->text() : list->item(i)->text());
        }
        return out;
    }

    FakePlatform fake;
    FakeSettingsChoosers choosers;
    FakeRuleHotkeys hotkeys{fake.shortcuts};
    QList<Saved> saved;
};
} // namespace

TEST_F(SettingsSheetsTest, DefaultRuleSheetModesAndSave) {
    using enum RuleActionKind;
    QList<std::pair<RuleActionKind, QStringList>> results;
    const auto onSave = [&](RuleActionKind kind, const QStringList& ids) {
        results.append({kind, ids});
        return true;
    };
    Route route = abcRoute();
    route.defaultActionKind = bestRunningEditor;
    {
        DefaultRuleEditorSheet sheet(route, onSave);
        EXPECT_EQ(sheet.windowTitle(), "Edit Default Rule");
        EXPECT_EQ(sheet.selectedMode(), specificEditor);
        EXPECT_EQ(sheet.editorLabel()->text(), "Always open in\u2026");
        EXPECT_FALSE(sheet.alwaysOpenContainer()->isHidden());
        EXPECT_TRUE(sheet.editorPopup()->isHidden());
        // The active editor is ticked when no list was saved.
        EXPECT_EQ(sheet.alwaysOpenTable()->checkedBundleIDs(), QStringList({"A"}));
        sheet.alwaysOpenTable()->checkbox(1)->click();
        EXPECT_FALSE(sheet.saveButton()->isEnabled());
        sheet.saveButton()->click();
        EXPECT_TRUE(results.isEmpty());
        sheet.alwaysOpenTable()->checkbox(2)->click();
        sheet.alwaysOpenTable()->checkbox(0)->click();
        sheet.saveButton()->click();
        ASSERT_EQ(results.size(), 1);
        EXPECT_EQ(results.last(), std::make_pair(specificEditor, QStringList({"C", "B"})));
    }
    {
        route.defaultActionKind = selectFromRunningEditors;
        DefaultRuleEditorSheet sheet(route, onSave);
        EXPECT_EQ(sheet.selectedMode(), selectFromRunningEditors);
        EXPECT_EQ(sheet.editorLabel()->text(), "Fallback editor:");
        EXPECT_TRUE(sheet.alwaysOpenContainer()->isHidden());
        sheet.editorPopup()->setCurrentIndex(sheet.editorPopup()->findData(QStringLiteral("B")));
        sheet.saveButton()->click();
        EXPECT_EQ(results.last(), std::make_pair(selectFromRunningEditors, QStringList({"B"})));
        // Switching to always-open re-evaluates Save against the ticks.
        sheet.modePopup()->setCurrentIndex(0);
        EXPECT_FALSE(sheet.alwaysOpenContainer()->isHidden());
        EXPECT_TRUE(sheet.saveButton()->isEnabled());
    }
    {
        Route noEditors = abcRoute();
        for (Editor& e : noEditors.editors)
            e.enabled = false;
        noEditors.defaultActionKind = selectFromAllEditors;
        DefaultRuleEditorSheet sheet(noEditors, onSave);
        EXPECT_EQ(sheet.alwaysOpenTable()->scrollView()->count(), 0);
        EXPECT_FALSE(sheet.saveButton()->isEnabled());
        const qsizetype before = results.size();
        sheet.saveButton()->click();
        sheet.cancelButton()->click();
        EXPECT_EQ(results.size(), before);
    }
}

TEST_F(SettingsSheetsTest, URLTemplateSheetSaveClearCancel) {
    struct Case {
        const char* what;
        std::optional<QString> current;
        QString typed;
        std::function<void(EditorURLTemplateSheet&)> press;
        QList<std::optional<QString>> expected;
    };
    const auto save = [](auto& s) { s.saveButton()->click(); };
    const auto clear = [](auto& s) { s.clearButton()->click(); };
    const QString old = QStringLiteral("x:");
    const QList<Case> cases{
        {"save of an empty field passes an empty text", old, "", save, {QString()}},
        {"save passes the text", std::nullopt, "x-a://{f}", save, {QStringLiteral("x-a://{f}")}},
        {"clear removes it even with text shown", old, "x:2", clear, {std::nullopt}},
        {"cancel saves nothing", old, "y:", [](auto& s) { s.cancelButton()->click(); }, {}},
        {"Escape saves nothing", old, "y:", [](auto& s) { s.reject(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<std::optional<QString>> calls;
        int completions = 0;
        EditorURLTemplateSheet sheet(QStringLiteral("Kate"), c.current,
                                     [&](const std::optional<QString>& t) {
                                         calls.append(t);
                                         return true;
                                     });
        sheet.completion = [&] { ++completions; };
        EXPECT_EQ(sheet.field()->text(), c.current.value_or(QString()));
        sheet.open();
        sheet.field()->setText(c.typed);
        c.press(sheet);
        sheet.reject();
        EXPECT_EQ(calls, c.expected);
        EXPECT_EQ(completions, 1);
    }
}

TEST_F(SettingsSheetsTest, NewRuleSavedUnchangedMatchesTheHomeFolderWithTheDefaultEditor) {
    auto sheet = ruleSheet(std::nullopt);
    EXPECT_EQ(sheet->windowTitle(), "Add Rule");
    EXPECT_EQ(sheet->actionPopup()->currentText(), "Use default editor");
    EXPECT_TRUE(sheet->editorContainer()->isHidden());
    EXPECT_TRUE(sheet->preferenceBox()->isHidden());
    ASSERT_EQ(sheet->predicateRows().size(), 1);
    EXPECT_EQ(sheet->predicateRows().first()->folderButton()->text(),
              QDir(QDir::homePath()).dirName());
    sheet->saveButton()->click();
    ASSERT_EQ(saved.size(), 1);
    const Rule& rule = saved.first().rule;
    EXPECT_TRUE(rule.enabled);
    EXPECT_FALSE(rule.name);
    EXPECT_EQ(rule.when.combine, PredicateGroupCombine::and_);
    ASSERT_EQ(rule.when.predicates.size(), 1);
    EXPECT_EQ(RuleBuilders::withoutID(rule.when.predicates.first()),
              RuleBuilders::withoutID(
                  RuleBuilders::parentFolder(EqualityOperator::is, QDir::homePath())));
    EXPECT_EQ(rule.action, RuleBuilders::actionOf(RuleActionKind::defaultEditor));
    EXPECT_EQ(sheet->preferenceOrder(), QStringList({"C", "A"})) << "the route's";
    EXPECT_FALSE(saved.first().order);
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(SettingsSheetsTest, RowsThatYieldNothingKeepTheSheetOpen) {
    auto sheet = ruleSheet(std::nullopt);
    PredicateRowView* row = sheet->predicateRows().first();
    row->kindPopup()->setCurrentIndex(3); // creator app, none chosen
    sheet->saveButton()->click();
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_TRUE(sheet->isVisible());
    // A hotkey row without a recorded shortcut.
    row->kindPopup()->setCurrentIndex(4);
    sheet->saveButton()->click();
    EXPECT_TRUE(saved.isEmpty());
    // Rows that yield a condition: the hotkey row is dropped; a count that is
    // no number gives a countless condition.
    sheet->addConditionButton()->click();
    sheet->addConditionButton()->click();
    ASSERT_EQ(sheet->predicateRows().size(), 3);
    sheet->predicateRows().at(1)->valueField()->setText(QStringLiteral("draft"));
    PredicateRowView* count = sheet->predicateRows().at(2);
    count->kindPopup()->setCurrentIndex(5);
    EXPECT_EQ(count->countField()->text(), "1");
    count->opPopup()->setCurrentIndex(2);
    count->countField()->setText(QStringLiteral("3x"));
    sheet->saveButton()->click();
    ASSERT_EQ(saved.size(), 1);
    const QList<Predicate>& p = saved.first().rule.when.predicates;
    ASSERT_EQ(p.size(), 2);
    using namespace RuleBuilders;
    EXPECT_EQ(withoutID(p[0]), withoutID(fileName(SO::contains, "draft")));
    EXPECT_EQ(withoutID(p[1]), withoutID(runningEditors(CO::greaterThan, std::nullopt)));
}

TEST_F(SettingsSheetsTest, ConditionRowsShowTheControlsOfTheirKind) {
    auto sheet = ruleSheet(std::nullopt);
    PredicateRowView* row = sheet->predicateRows().first();
    const struct {
        int kind;
        QStringList operators;
        bool value, folder, app, hotkey, count;
    } kinds[] = {
        {0, {"is", "is not", "contains"}, true, false, false, false, false},
        {1, {"is", "is not", "contains"}, true, false, false, false, false},
        {2, {"is", "is not"}, false, true, false, false, false},
        {3, {"is", "is not"}, false, false, true, false, false},
        {4, {}, false, false, false, true, false},
        {5, {"is", "less than", "greater than"}, false, false, false, false, true},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        row->kindPopup()->setCurrentIndex(k.kind);
        EXPECT_EQ(itemTexts(row->opPopup()), k.operators);
        EXPECT_EQ(row->opPopup()->isHidden(), k.operators.isEmpty());
        EXPECT_EQ(!row->valueField()->isHidden(), k.value);
        EXPECT_EQ(!row->folderButton()->isHidden(), k.folder);
        EXPECT_EQ(!row->appButton()->isHidden(), k.app);
        EXPECT_EQ(row->hotkeyRecorder() && !row->hotkeyRecorder()->isHidden(), k.hotkey);
        EXPECT_EQ(!row->hotkeyNote()->isHidden(), k.hotkey);
        EXPECT_EQ(!row->countField()->isHidden(), k.count);
    }
    // Leaving the hotkey kind ends a recording.
    row->kindPopup()->setCurrentIndex(4);
    const int stops = hotkeys.stops;
    row->kindPopup()->setCurrentIndex(0);
    EXPECT_EQ(hotkeys.stops, stops + 1);
    EXPECT_EQ(row->hotkeyNote()->text(),
              PlatformTexts::text(
                  "Include \u2318 so Finder doesn't steal the key. F-keys don't need it."));

    // Choosers fill the folder and the app.
    row->kindPopup()->setCurrentIndex(2);
    choosers.folders = {QStringLiteral("/srv/notes")};
    row->folderButton()->click();
    EXPECT_EQ(row->folderButton()->text(), "notes");
    row->kindPopup()->setCurrentIndex(3);
    choosers.applications = {SettingsChoosers::Application{QStringLiteral("org.kde.kate"), "Kate"}};
    row->appButton()->click();
    EXPECT_EQ(row->appButton()->text(), "Kate");
    EXPECT_EQ(row->draft().appBundleID, "org.kde.kate");
    // Cancelled choosers keep what was chosen.
    row->appButton()->click();
    EXPECT_EQ(row->draft().appBundleID, "org.kde.kate");

    row->removeButton()->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(sheet->predicateRows().isEmpty());
    sheet->saveButton()->click();
    EXPECT_TRUE(saved.isEmpty());
}

namespace {
// The controls Tab visits from `start` until it comes back, each after the one
// before it in reading order (same line: further right; else further down) and
// each saying what it is.
QList<QWidget*> expectTabInReadingOrder(QWidget* sheet, QWidget* start) {
    start->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 60; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (!visited.isEmpty() && focused == visited.first())
            break;
        visited.append(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    const auto place = [&](QWidget* w) { return w->mapTo(sheet, QPoint(0, 0)); };
    for (qsizetype i = 1; i < visited.size(); ++i) {
        const QPoint before = place(visited.at(i - 1)), now = place(visited.at(i));
        const bool sameLine = std::abs(now.y() - before.y()) < 12;
        EXPECT_TRUE(sameLine ? now.x() > before.x() : now.y() > before.y())
            << visited.at(i - 1)->objectName().toStdString() << " then "
            << visited.at(i)->objectName().toStdString();
    }
    for (QWidget* control : std::as_const(visited))
        expectSaysWhatItIs(control);
    return visited;
}
} // namespace

TEST_F(SettingsSheetsTest, TabGoesThroughTheSheetsInReadingOrder) {
    auto sheet = ruleSheet(std::nullopt);
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    // Controls that appear later: a second row, a recorder, the editor checklist.
    sheet->addConditionButton()->click();
    sheet->predicateRows().first()->kindPopup()->setCurrentIndex(4);
    sheet->actionPopup()->setCurrentIndex(0);
    sheet->alwaysOpenTable()->checkbox(0)->click();
    QCoreApplication::processEvents();
    const QList<QWidget*> visited = expectTabInReadingOrder(sheet.get(), sheet->nameField());
    for (QWidget* w : {sheet->predicateRows().first()->hotkeyRecorder()->focusProxy(),
                       static_cast<QWidget*>(sheet->predicateRows().last()->removeButton()),
                       static_cast<QWidget*>(sheet->addConditionButton()),
                       static_cast<QWidget*>(sheet->alwaysOpenTable()->checkbox(1)),
                       static_cast<QWidget*>(sheet->saveButton())})
        EXPECT_TRUE(visited.contains(w)) << w->objectName().toStdString();
    // Best running editor brings its order; a count row its field.
    sheet->actionPopup()->setCurrentIndex(1);
    sheet->predicateRows().last()->kindPopup()->setCurrentIndex(5);
    QCoreApplication::processEvents();
    const QList<QWidget*> best = expectTabInReadingOrder(sheet.get(), sheet->nameField());
    for (QWidget* w : {static_cast<QWidget*>(sheet->preferenceTable()),
                       static_cast<QWidget*>(sheet->saveAsDefaultButton()),
                       static_cast<QWidget*>(sheet->predicateRows().last()->countField())})
        EXPECT_TRUE(best.contains(w)) << w->objectName().toStdString();
    sheet->reject();

    // The Default Rule sheet: mode, fallback or editors, Cancel, Save.
    for (int mode : {0, 1}) {
        DefaultRuleEditorSheet defaultSheet(abcRoute(), {});
        defaultSheet.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&defaultSheet));
        defaultSheet.modePopup()->setCurrentIndex(mode);
        const QList<QWidget*> order =
            expectTabInReadingOrder(&defaultSheet, defaultSheet.modePopup());
        EXPECT_EQ(order.size(), mode == 0 ? 6 : 4) << mode;
        EXPECT_EQ(order.last(), defaultSheet.saveButton()) << mode;
    }
}

TEST_F(SettingsSheetsTest, CancelOrCloseRestoresTheHotkeyAsItWas) {
    Rule rule = folderRule(QStringLiteral("R"), QStringLiteral("/srv"), QStringLiteral("A"));
    const QString name = QStringLiteral("rule-R");
    struct Case {
        const char* what;
        std::optional<Shortcut> before;
        std::function<void(RuleEditorSheet&)> end;
        std::optional<Shortcut> after;
    };
    const Shortcut old{Qt::Key_A, Qt::ControlModifier | Qt::AltModifier};
    const Shortcut recorded{Qt::Key_F5, Qt::MetaModifier};
    const QList<Case> cases{
        {"cancel removes a new shortcut", std::nullopt, [](auto& s) { s.cancelButton()->click(); },
         std::nullopt},
        {"cancel restores the old shortcut", old, [](auto& s) { s.cancelButton()->click(); }, old},
        {"closing restores it", old, [](auto& s) { s.close(); }, old},
        {"a sheet that goes away restores it", old, [](auto&) {}, old},
        {"save keeps the recorded one", old, [](auto& s) { s.saveButton()->click(); }, recorded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.shortcuts.shortcuts.clear();
        if (c.before)
            hotkeys.setShortcut(name, *c.before);
        {
            auto sheet = ruleSheet(rule);
            hotkeys.setShortcut(name, recorded);
            c.end(*sheet);
        }
        EXPECT_EQ(hotkeys.shortcut(name), c.after);
    }
}

TEST_F(SettingsSheetsTest, ActionsAndPreferenceOrder) {
    Rule rule = folderRule(QStringLiteral("R"), QStringLiteral("/srv"), QStringLiteral("B"));
    rule.action.bundleIDs = QStringList{"B", "C"};
    auto sheet = ruleSheet(rule);
    EXPECT_EQ(sheet->windowTitle(), "Edit Rule");
    EXPECT_FALSE(sheet->editorContainer()->isHidden());
    EXPECT_EQ(sheet->alwaysOpenTable()->checkedBundleIDs(), QStringList({"C", "B"}));
    // Save is enabled only while an editor is ticked.
    sheet->alwaysOpenTable()->checkbox(0)->click();
    sheet->alwaysOpenTable()->checkbox(2)->click();
    EXPECT_FALSE(sheet->saveButton()->isEnabled());
    sheet->actionPopup()->setCurrentIndex(3);
    EXPECT_TRUE(sheet->saveButton()->isEnabled());
    EXPECT_TRUE(sheet->editorContainer()->isHidden());

    sheet->actionPopup()->setCurrentIndex(1);
    EXPECT_FALSE(sheet->preferenceBox()->isHidden());
    EXPECT_EQ(rowTexts(sheet->preferenceTable()), QStringList({"Editor C", "Editor A"}));
    sheet->movePreference(0, 2);
    EXPECT_EQ(sheet->preferenceOrder(), QStringList({"A", "C"}));
    EXPECT_EQ(rowTexts(sheet->preferenceTable()), QStringList({"Editor A", "Editor C"}));
    sheet->saveAsDefaultButton()->click();
    ASSERT_EQ(fake.alerts.shown.size(), 1);
    EXPECT_EQ(fake.alerts.shown.first().messageText, "Default preferences updated");
    EXPECT_EQ(fake.alerts.shown.first().informativeText,
              "These will be saved as the route template when you click Save.");
    sheet->nameField()->setText(QStringLiteral("  Fast  "));
    sheet->combinePopup()->setCurrentIndex(1);
    sheet->saveButton()->click();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().order, QStringList({"A", "C"}));
    EXPECT_EQ(saved.first().rule.action.kind, RuleActionKind::bestRunningEditor);
    EXPECT_EQ(saved.first().rule.action.preferenceOrder, QStringList({"A", "C"}));
    EXPECT_EQ(saved.first().rule.name, "Fast");
    EXPECT_EQ(saved.first().rule.when.combine, PredicateGroupCombine::or_);
    EXPECT_EQ(saved.first().rule.id, "R");
}
