#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

// Edits one editor's open-URL template. Save hands on the text as typed (empty
// included); Clear hands on none; Cancel nothing.
class EditorURLTemplateSheet : public QDialog {
    Q_OBJECT
public:
    // False when the template could not be stored: the sheet stays open.
    using OnSave = std::function<bool(const std::optional<QString>& urlTemplate)>;

    EditorURLTemplateSheet(const QString& editorName, const std::optional<QString>& current,
                           OnSave onSave, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* cancelButton() const { return m_cancel; }
    // Runs once when the sheet finishes, however it does.
    std::function<void()> completion;

protected:
    void done(int result) override;

private:
    void finish(int result, const std::optional<std::optional<QString>>& saved);

    OnSave m_onSave;
    QLineEdit* m_field;
    QPushButton* m_save;
    QPushButton* m_clear;
    QPushButton* m_cancel;
};
