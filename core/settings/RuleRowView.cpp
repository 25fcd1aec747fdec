#include "core/settings/RuleRowView.h"

#include "core/settings/SettingsControls.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

RuleRowView::RuleRowView(const QString& summary, std::optional<bool> enabled, QWidget* parent)
    : QWidget(parent)
    , m_summary(new QLabel(summary, this))
    , m_hotkeyState(SettingsControls::hintLabel(QString(), this, true)) {
    setObjectName(QStringLiteral("ruleRowView"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(8);
    if (enabled) {
        m_enabledBox = new QCheckBox(this);
        m_enabledBox->setObjectName(QStringLiteral("ruleEnabledCheckBox"));
        m_enabledBox->setChecked(*enabled);
        m_enabledBox->setAccessibleName(summary);
        m_enabledBox->setToolTip(QStringLiteral("When off, this rule is skipped during routing"));
        connect(m_enabledBox, &QCheckBox::toggled, this, &RuleRowView::enabledToggled);
        layout->addWidget(m_enabledBox);
        setToolTip(QStringLiteral("Double-click to edit. Drag to reorder"));
    } else {
        QFont italic = m_summary->font();
        italic.setItalic(true);
        m_summary->setFont(italic);
        setToolTip(QStringLiteral("Double-click to edit the Default Rule"));
    }
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setTextFormat(Qt::PlainText);
    layout->addWidget(m_summary, 1);
    m_hotkeyState->setObjectName(QStringLiteral("hotkeyStateLabel"));
    m_hotkeyState->setWordWrap(false);
    m_hotkeyState->hide();
    layout->addWidget(m_hotkeyState);
}

void RuleRowView::setHotkeyState(const std::optional<QString>& inactiveReason) {
    m_hotkeyState->setText(inactiveReason.value_or(QString()));
    m_hotkeyState->setVisible(inactiveReason.has_value());
}
