#include "platform/linux/FreedesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
}

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection bus)
    : m_bus(std::move(bus)) {}

bool FreedesktopNotifications::serviceExists() const {
    QDBusConnectionInterface* daemon = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!daemon)
        return false;
    // A notification daemon is often started by the bus on the first call.
    return daemon->isServiceRegistered(service).value() ||
           daemon->activatableServiceNames().value().contains(service);
}

bool FreedesktopNotifications::notify(const QString& summary, const QString& body) {
    if (!serviceExists())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    call << QStringLiteral("Corvanta") << 0u << QStringLiteral("io.corvanta.Corvanta") << summary
         << body << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("io.corvanta.Corvanta")}}
         << -1;
    m_bus.asyncCall(call);
    return true;
}
