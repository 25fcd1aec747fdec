#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusReply>

// What a screen reader hears, read from the real accessibility bus (AT-SPI).
constexpr int labelledBy = 2;                     // ATSPI_RELATION_LABELLED_BY
using Node = std::pair<QString, QDBusObjectPath>; // bus name, object path

struct Heard {
    QString role;
    QString name;
    QStringList labels; // the names of the nodes it is labelled by
};

// Reads one application's accessible tree over its own connection to the bus.
class AtspiTree {
public:
    // On the session bus's accessibility bus.
    AtspiTree()
        : m_bus(QDBusConnection::connectToBus(address(), QStringLiteral("atspi-reader"))) {}
    ~AtspiTree() { QDBusConnection::disconnectFromBus(QStringLiteral("atspi-reader")); }

    QList<Heard> application(const QString& name) {
        const Node registry{QStringLiteral("org.a11y.atspi.Registry"),
                            QDBusObjectPath("/org/a11y/atspi/accessible/root")};
        for (const Node& app : nodes(call(registry, "GetChildren")))
            if (this->name(app) == name)
                return walk(app);
        return {};
    }

private:
    static QString address() {
        return QDBusReply<QString>(
                   QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                       "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress")))
            .value();
    }
    // Its events run while it waits, so a process can read its own tree too.
    QVariant call(const Node& node, const char* method,
                  const char* interface = "org.a11y.atspi.Accessible",
                  const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            node.first, node.second.path(), QLatin1String(interface), QLatin1String(method));
        message.setArguments(arguments);
        return m_bus.call(message, QDBus::BlockWithGui, 2000).arguments().value(0);
    }
    static QList<Node> nodes(const QVariant& reply) {
        QList<Node> out;
        if (reply.canConvert<QDBusArgument>())
            reply.value<QDBusArgument>() >> out;
        return out;
    }
    QString name(const Node& node) {
        return call(node, "Get", "org.freedesktop.DBus.Properties",
                    {QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("Name")})
            .value<QDBusVariant>()
            .variant()
            .toString();
    }
    QList<Heard> walk(const Node& root) {
        QList<Heard> heard;
        QList<Node> queue{root};
        while (!queue.isEmpty() && heard.size() < 2000) {
            const Node node = queue.takeFirst();
            Heard h{call(node, "GetRoleName").toString(), name(node), {}};
            QList<std::pair<uint, QList<Node>>> relations;
            if (const QVariant set = call(node, "GetRelationSet"); set.canConvert<QDBusArgument>())
                set.value<QDBusArgument>() >> relations;
            for (const auto& [type, targets] : relations)
                for (const Node& target : targets)
                    if (type == labelledBy)
                        h.labels.append(name(target));
            heard.append(h);
            queue.append(nodes(call(node, "GetChildren")));
        }
        return heard;
    }

    QDBusConnection m_bus;
};
