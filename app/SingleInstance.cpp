#include "app/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

SingleInstance::SingleInstance(QDBusConnection bus)
    : m_bus(std::move(bus)) {}

bool SingleInstance::claim() {
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(QLatin1String(serviceName),
                                           QDBusConnectionInterface::ReplaceExistingService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

bool SingleInstance::call(const QString& method, const QVariantList& arguments,
                          QString* error) const {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QStringLiteral("org.freedesktop.Application"), method);
    message.setArguments(arguments);
    // Only a process that already runs may answer: starting one belongs to the caller.
    message.setAutoStartService(false);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error)
            *error = reply.errorMessage();
        return false;
    }
    return true;
}

bool SingleInstance::forwardOpen(const QList<QUrl>& urls, QString* error) const {
    QStringList uris;
    for (const QUrl& url : urls)
        uris.append(QString::fromLatin1(url.toEncoded()));
    return call(QStringLiteral("Open"), {uris, QVariantMap()}, error);
}

bool SingleInstance::forwardAction(const QString& action, QString* error) const {
    return call(QStringLiteral("ActivateAction"),
                {action, QVariant::fromValue(QVariantList()), QVariantMap()}, error);
}
