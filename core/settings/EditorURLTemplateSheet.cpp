#include "core/settings/EditorURLTemplateSheet.h"

#include "core/settings/SettingsAppearance.h"
#include "core/settings/SettingsControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

EditorURLTemplateSheet::EditorURLTemplateSheet(const QString& editorName,
                                               const std::optional<QString>& current, OnSave onSave,
                                               QWidget* parent)
    : QDialog(parent)
    , m_onSave(std::move(onSave))
    , m_field(new QLineEdit(current.value_or(QString()), this))
    , m_save(new QPushButton(QStringLiteral("Save"), this))
    , m_clear(new QPushButton(QStringLiteral("Clear"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("urlTemplateSheet"));
    setWindowTitle(QStringLiteral("Open URL template for ") + editorName);
    setWindowModality(Qt::WindowModal);
    SettingsAppearance::applyDark(this);
    resize(480, 200);

    m_field->setObjectName(QStringLiteral("templateLineEdit"));
    m_field->setAccessibleName(QStringLiteral("Open URL template for ") + editorName);
    m_field->setPlaceholderText(QStringLiteral(
        "x-quillnest://open?notebook={folderpath~.urlencoded}&note={filename.urlencoded}"));
    auto* hint = SettingsControls::hintLabel(
        QStringLiteral("Placeholders: {filepath}, {folderpath}, {filename}, tilde forms "
                       "{filepath~}/{folderpath~}, and .urlencoded variants. Leave empty to open "
                       "the file or folder normally."),
        this, true);

    m_save->setObjectName(QStringLiteral("saveButton"));
    m_save->setDefault(true);
    m_clear->setObjectName(QStringLiteral("clearButton"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_save, &QPushButton::clicked, this,
            [this] { finish(Accepted, std::optional<QString>(m_field->text())); });
    connect(m_clear, &QPushButton::clicked, this,
            [this] { finish(Accepted, std::optional<QString>()); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { finish(Rejected, std::nullopt); });

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(m_clear);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addWidget(m_field);
    layout->addSpacing(8);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addLayout(buttons);
    setTabOrder(m_field, m_clear);
    setTabOrder(m_clear, m_cancel);
    setTabOrder(m_cancel, m_save);
}

void EditorURLTemplateSheet::finish(int result,
                                    const std::optional<std::optional<QString>>& saved) {
    // A refused save (the editor is gone) keeps the text open.
    if (saved && m_onSave && !m_onSave(*saved))
        return;
    done(result);
}

void EditorURLTemplateSheet::done(int result) {
    QDialog::done(result);
    if (completion) {
        auto once = std::move(completion);
        completion = nullptr;
        once();
    }
}
