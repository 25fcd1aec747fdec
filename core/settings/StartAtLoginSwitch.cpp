#include "core/settings/StartAtLoginSwitch.h"

#include "core/platform/Alerts.h"
#include "core/platform/LoginItem.h"

#include <QSignalBlocker>

StartAtLoginSwitch::StartAtLoginSwitch(LoginItem& loginItem, Alerts& alerts, QWidget* parent)
    : QCheckBox(QStringLiteral("Start Corvanta when you log in"), parent)
    , m_loginItem(loginItem)
    , m_alerts(alerts) {
    setObjectName(QStringLiteral("startAtLoginCheckBox"));
    setToolTip(QStringLiteral("Keep rule hotkeys working from the moment you log in"));
    reflect();
    connect(this, &QCheckBox::toggled, this, &StartAtLoginSwitch::switched);
}

void StartAtLoginSwitch::showEvent(QShowEvent* event) {
    reflect();
    QCheckBox::showEvent(event);
}

void StartAtLoginSwitch::reflect() {
    const QSignalBlocker quiet(this);
    setChecked(m_loginItem.isEnabled());
}

void StartAtLoginSwitch::switched(bool on) {
    const std::optional<QString> error = m_loginItem.setEnabled(on);
    if (!error)
        return;
    reflect();
    AlertRequest alert;
    alert.messageText = QStringLiteral("Could not change starting at login");
    alert.informativeText = *error;
    m_alerts.runAlert(alert);
}
