#include "core/hotkeys/RuleHotkeyCenter.h"

#include "core/engine/RuleDescriptions.h"
#include "core/model/RouteStore.h"
#include "core/platform/ShortcutRegistry.h"

#include <QTimer>

namespace {
QSet<QString> ruleIDs(const QList<Route>& routes) {
    QSet<QString> ids;
    for (const Route& route : routes) {
        for (const Rule& rule : route.rules)
            ids.insert(rule.id);
    }
    return ids;
}
} // namespace

RuleHotkeyCenter::RuleHotkeyCenter(ShortcutRegistry& registry, FireHandler onFire, QObject* parent)
    : QObject(parent)
    , m_registry(registry)
    , m_onFire(std::move(onFire)) {
    m_recorderActiveObserver =
        m_registry.addRecorderActiveObserver(m_lifetime.guard([this](const QVariantMap& userInfo) {
            const QVariant isActive = userInfo.value(QLatin1String(ShortcutRegistry::isActiveKey));
            const bool active = isActive.typeId() == QMetaType::Bool && isActive.toBool();
            m_registry.setEnabled(!active);
        }));
}

RuleHotkeyCenter::~RuleHotkeyCenter() {
    if (m_recorderActiveObserver)
        m_registry.removeRecorderActiveObserver(*m_recorderActiveObserver);
    if (m_store && m_storeObserver)
        m_store->removeChangeHandler(*m_storeObserver);
    for (const QString& name : std::as_const(m_registeredNames))
        m_registry.removeHandler(name);
}

void RuleHotkeyCenter::follow(RouteStore& store) {
    if (m_store && m_storeObserver)
        m_store->removeChangeHandler(*m_storeObserver);
    m_store = &store;
    m_knownRuleIDs = ruleIDs(store.routes());
    m_storeObserver = store.addChangeHandler(m_lifetime.guard([this] { storeChanged(); }));
    sync(store.routes());
}

void RuleHotkeyCenter::storeChanged() {
    const QList<Route> routes = m_store->routes();
    const QSet<QString> ids = ruleIDs(routes);
    // A rule removed through the store (itself, or with its custom type) takes
    // its shortcut along; a rule that was only disabled keeps it. Rules missing
    // from a file read again keep theirs: the file may be on its way back (an
    // editor that deletes before writing), and a stale entry costs nothing. A
    // removal the store could not write (or, the file being unreadable, never
    // tried to) is not one: the rule is still in the file, and its shortcut
    // goes only with a later change that is written.
    const bool reload = m_store->isReportingReload();
    const bool written = !m_store->lastWriteError() && !m_store->loadFailed();
    if (!reload && written) {
        for (const QString& id : std::as_const(m_knownRuleIDs)) {
            if (!ids.contains(id))
                m_registry.setShortcut(std::nullopt, QStringLiteral("rule-") + id);
        }
    }
    m_knownRuleIDs = reload || written ? ids : m_knownRuleIDs + ids;
    sync(routes);
}

QHash<QString, QString> RuleHotkeyCenter::descriptions(const QList<Route>& routes,
                                                       const ShortcutRegistry& registry) {
    const RuleDescriptions texts(registry);
    QHash<QString, QString> result;
    for (const Route& route : routes) {
        for (const Rule& rule : route.rules) {
            if (!rule.enabled)
                continue;
            for (const QString& name : rule.usedHotkeyNames()) {
                if (!result.contains(name))
                    result.insert(name, route.name + QStringLiteral(": ") +
                                            texts.ruleSummary(rule, route.editors));
            }
        }
    }
    return result;
}

void RuleHotkeyCenter::sync(const QList<Route>& routes) {
    // The described names are the wanted ones: one walk over the rules gives both.
    const QHash<QString, QString> texts = descriptions(routes, m_registry);
    const QSet<QString> wanted(texts.keyBegin(), texts.keyEnd());
    // Before any handler goes in, so a desktop binding new names gets their texts
    // in the same request.
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        m_registry.setDescription(it.key(), it.value());
    for (const QString& name : std::as_const(m_registeredNames)) {
        if (!wanted.contains(name))
            m_registry.removeHandler(name);
    }
    for (const QString& name : wanted) {
        if (m_registeredNames.contains(name))
            continue;
        m_registry.onKeyDown(name, m_lifetime.guard([this, name] { handleFire(name); }));
    }
    m_registeredNames = wanted;
}

void RuleHotkeyCenter::handleFire(const QString& name) {
    if (m_isHandlingFire)
        return;
    m_isHandlingFire = true;

    QSet<QString> active;
    const std::optional<Shortcut> pressed = m_registry.getShortcut(name);
    if (!pressed) {
        active.insert(name);
    } else {
        for (const QString& registered : std::as_const(m_registeredNames)) {
            if (m_registry.getShortcut(registered) == pressed)
                active.insert(registered);
        }
        active.insert(name);
    }
    if (m_onFire)
        m_onFire(active);
    // The other names of this press are called right after this one returns;
    // posted only now, so an alert's event loop inside the fire cannot end the
    // press early.
    QTimer::singleShot(0, this, [this] { m_isHandlingFire = false; });
}
