#pragma once

#include "core/model/Route.h"
#include "core/platform/Lifetime.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

class RouteStore;
class ShortcutRegistry;

// Keeps one global key handler registered for every hotkey name an enabled rule
// uses, and tells its owner which names a pressed combination stands for.
class RuleHotkeyCenter : public QObject {
    Q_OBJECT
public:
    using FireHandler = std::function<void(const QSet<QString>& names)>;

    RuleHotkeyCenter(ShortcutRegistry& registry, FireHandler onFire, QObject* parent = nullptr);
    ~RuleHotkeyCenter() override;

    // Follows `store`: syncs now and after every change, and clears "rule-" + id
    // of every rule that left the store (removed itself, or with its custom type).
    void follow(RouteStore& store);

    // Brings the installed handlers in line with `routes`.
    void sync(const QList<Route>& routes);

    // Every name an enabled rule's hotkey conditions use, nested groups included,
    // with "<route>: <summary of the first enabled rule using it>".
    static QHash<QString, QString> descriptions(const QList<Route>& routes,
                                                const ShortcutRegistry& registry);

    const QSet<QString>& registeredNames() const { return m_registeredNames; }

    // A key handler of `name` ran.
    void handleFire(const QString& name);

private:
    void storeChanged();

    ShortcutRegistry& m_registry;
    FireHandler m_onFire;
    QSet<QString> m_registeredNames;
    bool m_isHandlingFire = false;
    std::optional<int> m_recorderActiveObserver;
    RouteStore* m_store = nullptr;
    std::optional<int> m_storeObserver;
    // The ids of every rule in the store at the last change.
    QSet<QString> m_knownRuleIDs;
    Lifetime m_lifetime;
};
