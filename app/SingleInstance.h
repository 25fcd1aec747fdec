#pragma once

#include "app/InstanceBusName.h"

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QUrl>

// One Corvanta per user session: the instance owns the bus name; every other
// start hands its request to it.
class SingleInstance {
public:
    static constexpr auto& serviceName = InstanceBusName::service;
    static constexpr auto& objectPath = InstanceBusName::objectPath;

    explicit SingleInstance(QDBusConnection bus);

    // Asks the bus for the name. Exactly one of several processes asking at the
    // same moment gets it; the others are told it is taken.
    bool claim();
    // Hands URLs to the running instance; on failure `error` says why.
    bool forwardOpen(const QList<QUrl>& urls, QString* error) const;
    // Runs one of the instance's actions ("settings", "about", "quit").
    bool forwardAction(const QString& action, QString* error) const;

private:
    bool call(const QString& method, const QVariantList& arguments, QString* error) const;
    QDBusConnection m_bus;
};
