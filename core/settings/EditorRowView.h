#pragma once

#include "core/model/Editor.h"

#include <QIcon>
#include <QWidget>

class QCheckBox;
class QLabel;
class QToolButton;

// One row of the editors table: offered or not, icon, name, a badge when the
// editor has an open-URL template, the template button and the folder switch.
class EditorRowView : public QWidget {
    Q_OBJECT
public:
    EditorRowView(const Editor& editor, const QIcon& icon, QWidget* parent = nullptr);

    const Editor& editor() const { return m_editor; }
    QCheckBox* enabledBox() const { return m_enabledBox; }
    QToolButton* templateButton() const { return m_templateButton; }
    QCheckBox* folderBox() const { return m_folderBox; }
    QLabel* badge() const { return m_badge; }

Q_SIGNALS:
    void enabledToggled(bool enabled);
    void folderToggled();
    void editTemplate();

private:
    Editor m_editor;
    QCheckBox* m_enabledBox;
    QLabel* m_badge;
    QToolButton* m_templateButton;
    QCheckBox* m_folderBox;
};
