#pragma once

#include "core/model/Route.h"
#include "core/settings/DefaultRuleDraft.h"

#include <QDialog>
#include <functional>
#include <memory>

class AlwaysOpenEditorsTable;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// Edits what a route does when no rule matches.
class DefaultRuleEditorSheet : public QDialog {
    Q_OBJECT
public:
    // False when the result could not be stored: the sheet stays open.
    using OnSave = std::function<bool(RuleActionKind kind, const QStringList& bundleIDs)>;

    DefaultRuleEditorSheet(const Route& route, OnSave onSave, QWidget* parent = nullptr);
    ~DefaultRuleEditorSheet() override;

    QComboBox* modePopup() const { return m_modePopup; }
    QComboBox* editorPopup() const { return m_editorPopup; }
    QLabel* editorLabel() const { return m_editorLabel; }
    QWidget* alwaysOpenContainer() const { return m_alwaysOpenContainer; }
    AlwaysOpenEditorsTable* alwaysOpenTable() const { return m_alwaysOpenTable; }
    QPushButton* saveButton() const { return m_saveButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    RuleActionKind selectedMode() const;

private:
    void modeChanged();
    void updateSaveButton();
    void save();

    OnSave m_onSave;
    QList<Editor> m_editors;
    QComboBox* m_modePopup;
    QLabel* m_editorLabel;
    QComboBox* m_editorPopup;
    QWidget* m_alwaysOpenContainer;
    AlwaysOpenEditorsTable* m_alwaysOpenTable;
    QPushButton* m_saveButton;
    QPushButton* m_cancelButton;
};
