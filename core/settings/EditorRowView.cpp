#include "core/settings/EditorRowView.h"

#include "core/platform/PlatformTexts.h"
#include "core/settings/SettingsControls.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

EditorRowView::EditorRowView(const Editor& editor, const QIcon& icon, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_enabledBox(new QCheckBox(this))
    , m_badge(new QLabel(QStringLiteral("URL"), this))
    , m_templateButton(new QToolButton(this))
    , m_folderBox(new QCheckBox(QStringLiteral("Folder"), this)) {
    setObjectName(QStringLiteral("editorRowView"));
    m_enabledBox->setObjectName(QStringLiteral("enabledCheckBox"));
    m_enabledBox->setChecked(editor.enabled);
    m_enabledBox->setAccessibleName(editor.name);
    m_enabledBox->setToolTip(
        SettingsControls::plainToolTip(QStringLiteral("Offer ") + editor.name +
                                       PlatformTexts::text(" in the menu bar list for this type")));
    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(20, 20));
    auto* name = new QLabel(editor.name, this);
    name->setObjectName(QStringLiteral("nameLabel"));
    name->setTextFormat(Qt::PlainText);
    m_badge->setObjectName(QStringLiteral("templateBadgeLabel"));
    m_badge->setVisible(editor.urlSchemeTemplate.has_value());
    m_badge->setToolTip(
        SettingsControls::plainToolTip(editor.urlSchemeTemplate.value_or(QString())));
    m_badge->setStyleSheet(QStringLiteral("QLabel { color: #c9ccd2; border: 1px solid #5a5d65; "
                                          "border-radius: 6px; padding: 0 4px; }"));
    m_templateButton->setObjectName(QStringLiteral("templateToolButton"));
    m_templateButton->setIcon(QIcon::fromTheme(QStringLiteral("preferences-system"),
                                               QIcon::fromTheme(QStringLiteral("emblem-system"))));
    m_templateButton->setText(QStringLiteral("\u2699"));
    m_templateButton->setAutoRaise(true);
    const QString templateTip = QStringLiteral("Edit open URL template for ") + editor.name;
    m_templateButton->setToolTip(SettingsControls::plainToolTip(templateTip));
    m_templateButton->setAccessibleName(templateTip);
    m_templateButton->setFocusPolicy(Qt::StrongFocus);
    m_folderBox->setObjectName(QStringLiteral("folderCheckBox"));
    m_folderBox->setChecked(editor.opensFolder);
    m_folderBox->setAccessibleName(QStringLiteral("Open enclosing folder for ") + editor.name);
    m_folderBox->setToolTip(
        SettingsControls::plainToolTip(QStringLiteral("Open the file's folder in ") + editor.name +
                                       QStringLiteral(" instead of the file itself")));
    if (editor.manual)
        setToolTip(QStringLiteral("Added manually \u2014 select and Remove to drop it"));

    connect(m_enabledBox, &QCheckBox::toggled, this, &EditorRowView::enabledToggled);
    connect(m_folderBox, &QCheckBox::clicked, this, [this] { Q_EMIT folderToggled(); });
    connect(m_templateButton, &QToolButton::clicked, this, &EditorRowView::editTemplate);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(8);
    layout->addWidget(m_enabledBox);
    layout->addWidget(iconLabel);
    layout->addWidget(name, 1);
    layout->addWidget(m_badge);
    layout->addWidget(m_templateButton);
    layout->addWidget(m_folderBox);
}
