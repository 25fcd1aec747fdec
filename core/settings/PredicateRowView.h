#pragma once

#include "core/settings/ConditionRowDraft.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RuleHotkeyAccess;
class SettingsChoosers;

// One condition row of the rule editor. Its controls edit a ConditionRowDraft;
// only the controls of the row's kind are shown.
class PredicateRowView : public QWidget {
    Q_OBJECT
public:
    PredicateRowView(const ConditionRowDraft& draft, const QString& hotkeyName,
                     SettingsChoosers& choosers, RuleHotkeyAccess& hotkeys,
                     QWidget* parent = nullptr);

    const ConditionRowDraft& draft() const { return m_draft; }
    std::function<void(PredicateRowView*)> onRemove;
    // The row gained a control (the hotkey recorder appears on first use).
    std::function<void()> onControlsChanged;

    QComboBox* kindPopup() const { return m_kindPopup; }
    QComboBox* opPopup() const { return m_opPopup; }
    QLineEdit* valueField() const { return m_valueField; }
    QPushButton* folderButton() const { return m_folderButton; }
    QPushButton* appButton() const { return m_appButton; }
    QWidget* hotkeyRecorder() const { return m_hotkeyRecorder; }
    QLabel* hotkeyNote() const { return m_hotkeyNote; }
    QLineEdit* countField() const { return m_countField; }
    QPushButton* removeButton() const { return m_removeButton; }

    // Ends a recording in progress in this row's recorder.
    void stopRecording();
    // Every control that can take focus, left to right (hidden ones included:
    // Tab skips them).
    QList<QWidget*> focusOrder() const;

private:
    void kindChanged(int index);
    void refill();
    void chooseFolder();
    void chooseApp();

    ConditionRowDraft m_draft;
    QString m_hotkeyName;
    SettingsChoosers& m_choosers;
    RuleHotkeyAccess& m_hotkeys;
    QComboBox* m_kindPopup;
    QComboBox* m_opPopup;
    QLineEdit* m_valueField;
    QPushButton* m_folderButton;
    QPushButton* m_appButton;
    QWidget* m_hotkeyRecorder = nullptr;
    QLabel* m_hotkeyNote;
    QLineEdit* m_countField;
    QPushButton* m_removeButton;
};
