#include "platform/linux/AtspiScreenReader.h"

#include <QDBusMessage>
#include <QDBusVariant>

AtspiScreenReader::AtspiScreenReader()
    : AtspiScreenReader(QDBusConnection::sessionBus()) {}

AtspiScreenReader::AtspiScreenReader(QDBusConnection bus, int timeoutMs)
    : m_bus(std::move(bus))
    , m_timeoutMs(timeoutMs) {}

bool AtspiScreenReader::isScreenReaderEnabled() const {
    if (!m_bus.isConnected())
        return false;
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    request << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
    // A screen reader needs the launcher running; asking must not start one.
    request.setAutoStartService(false);
    const QDBusMessage reply = m_bus.call(request, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant();
    return value.typeId() == QMetaType::Bool && value.toBool();
}
