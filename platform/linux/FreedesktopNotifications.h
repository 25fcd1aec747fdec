#pragma once

#include "core/platform/DesktopNotifications.h"

#include <QDBusConnection>

// org.freedesktop.Notifications on the session bus. Sends without waiting for
// the answer; sends nothing when no service owns or can be started for the name.
class FreedesktopNotifications : public DesktopNotifications {
public:
    explicit FreedesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus());
    bool notify(const QString& summary, const QString& body) override;

private:
    bool serviceExists() const;

    QDBusConnection m_bus;
};
