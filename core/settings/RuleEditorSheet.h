#pragma once

#include "core/model/Route.h"
#include "core/platform/Shortcut.h"
#include "core/settings/RuleDraft.h"

#include <QDialog>
#include <functional>
#include <optional>

class AlwaysOpenEditorsTable;
class PredicateRowView;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class ReorderableList;
class RuleHotkeyAccess;
class SettingsChoosers;
class Alerts;

// Creates or edits one rule of a route. Save hands the rule on; Cancel, or
// closing the window any other way, puts the rule's hotkey back as it was.
class RuleEditorSheet : public QDialog {
    Q_OBJECT
public:
    // False when the rule could not be stored: the sheet stays open on its draft.
    using OnSave =
        std::function<bool(const Rule& rule, const std::optional<QStringList>& defaultOrder)>;

    // Shows `draft` (a stored rule's, or a new one's).
    RuleEditorSheet(const Route& route, RuleDraft draft, OnSave onSave, SettingsChoosers& choosers,
                    RuleHotkeyAccess& hotkeys, Alerts& alerts, QWidget* parent = nullptr);
    // `rule` none: a new rule.
    RuleEditorSheet(const Route& route, const std::optional<Rule>& rule, OnSave onSave,
                    SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys, Alerts& alerts,
                    QWidget* parent = nullptr);
    ~RuleEditorSheet() override;

    const RuleDraft& draft() const { return m_draft; }
    QLineEdit* nameField() const { return m_nameField; }
    QComboBox* combinePopup() const { return m_combinePopup; }
    QComboBox* actionPopup() const { return m_actionPopup; }
    QWidget* editorContainer() const { return m_editorContainer; }
    AlwaysOpenEditorsTable* alwaysOpenTable() const { return m_alwaysOpenTable; }
    QGroupBox* preferenceBox() const { return m_preferenceBox; }
    ReorderableList* preferenceTable() const { return m_preferenceTable; }
    QPushButton* saveAsDefaultButton() const { return m_saveAsDefaultButton; }
    QPushButton* addConditionButton() const { return m_addConditionButton; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    const QList<PredicateRowView*>& predicateRows() const { return m_predicateRows; }
    const QStringList& preferenceOrder() const { return m_draft.preferenceOrder; }
    const std::optional<QStringList>& pendingDefaultPreferenceOrder() const {
        return m_draft.pendingDefaultPreferenceOrder;
    }

    // Moves a row of the preference order into a gap, as a drop does.
    void movePreference(int from, int gap);

protected:
    void done(int result) override;

private:
    PredicateRowView* addRow(const ConditionRowDraft& row);
    void removeRow(PredicateRowView* row);
    // Tab follows the sheet from top to bottom, rows included.
    void updateFocusOrder();
    void actionChanged();
    void updateSaveButton();
    void refillPreferenceTable();
    void saveAsDefaultPreferences();
    void save();
    void restoreHotkey();
    RuleActionKind selectedAction() const;

    Route m_route;
    RuleDraft m_draft;
    OnSave m_onSave;
    SettingsChoosers& m_choosers;
    RuleHotkeyAccess& m_hotkeys;
    Alerts& m_alerts;
    std::optional<Shortcut> m_hotkeySnapshot;
    bool m_hotkeyResolved = false;

    QLineEdit* m_nameField;
    QComboBox* m_combinePopup;
    QVBoxLayout* m_predicatesStack;
    QPushButton* m_addConditionButton;
    QComboBox* m_actionPopup;
    QWidget* m_editorContainer;
    AlwaysOpenEditorsTable* m_alwaysOpenTable;
    QGroupBox* m_preferenceBox;
    ReorderableList* m_preferenceTable;
    QPushButton* m_saveAsDefaultButton;
    QPushButton* m_saveButton;
    QPushButton* m_cancelButton;
    QList<PredicateRowView*> m_predicateRows;
};
