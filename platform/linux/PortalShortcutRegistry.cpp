#include "platform/linux/PortalShortcutRegistry.h"

#include "core/platform/KeySymbols.h"
#include "core/platform/ShortcutModifiers.h"

#include <algorithm>

PortalShortcutRegistry::PortalShortcutRegistry(std::optional<QString> tablePath)
    : TableShortcutRegistry(tablePath) {}

PortalShortcutRegistry::~PortalShortcutRegistry() = default;

std::optional<QString> PortalShortcutRegistry::trigger(const Shortcut& shortcut) {
    // The order of the desktop's own texts: Super, Ctrl, Alt, Shift.
    return KeySymbols::spell(shortcut, {{ShortcutModifiers::command, "LOGO+"},
                                        {ShortcutModifiers::control, "CTRL+"},
                                        {ShortcutModifiers::option, "ALT+"},
                                        {ShortcutModifiers::shift, "SHIFT+"}});
}

ShortcutGrab PortalShortcutRegistry::setShortcut(const std::optional<Shortcut>& shortcut,
                                                 const QString& name) {
    m_table.set(name, shortcut);
    if (!m_handlers.contains(name))
        return ShortcutGrab::notRegistered;
    rebind();
    grabStatesChanged();
    return grabState(name);
}

ShortcutGrab PortalShortcutRegistry::onKeyDown(const QString& name, Handler action) {
    m_handlers.insert(name, std::move(action));
    rebind();
    grabStatesChanged();
    return grabState(name);
}

void PortalShortcutRegistry::removeHandler(const QString& name) {
    if (m_handlers.remove(name)) {
        rebind();
        grabStatesChanged();
    }
}

ShortcutGrab PortalShortcutRegistry::grabState(const QString& name) const {
    const std::optional<Shortcut> shortcut = m_table.get(name);
    if (!m_handlers.contains(name) || !shortcut)
        return ShortcutGrab::notRegistered;
    const std::optional<QString> wanted = trigger(*shortcut);
    if (m_session == Session::failed || m_portal == Portal::gone || !wanted)
        return ShortcutGrab::unavailable;
    if (!m_enabled)
        return ShortcutGrab::paused;
    // Active once the portal took the name with this very combination.
    const bool granted = std::any_of(m_granted.cbegin(), m_granted.cend(), [&](const Binding& b) {
        return b.id == name && b.trigger == *wanted;
    });
    return granted ? ShortcutGrab::active : ShortcutGrab::notBoundByDesktop;
}

void PortalShortcutRegistry::setEnabled(bool enabled) {
    // The bindings stay with the portal while off and activations are dropped:
    // binding an empty list and the full one again would have the desktop ask the
    // user to confirm every rule hotkey after each recording.
    m_enabled = enabled;
    grabStatesChanged();
}

bool PortalShortcutRegistry::canRepresent(const Shortcut& shortcut) const {
    return trigger(shortcut).has_value();
}

void PortalShortcutRegistry::setDescription(const QString& name, const QString& description) {
    if (m_descriptions.value(name) == description)
        return;
    m_descriptions.insert(name, description);
    // Only a bound name's new text is worth a request.
    if (m_handlers.contains(name))
        rebind();
}

std::optional<QString>
PortalShortcutRegistry::desktopTriggerDescription(const QString& name) const {
    const auto it = m_triggerDescriptions.constFind(name);
    return it == m_triggerDescriptions.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

QList<PortalShortcutRegistry::Binding> PortalShortcutRegistry::wantedBindings() const {
    QList<Binding> bindings;
    for (auto it = m_handlers.cbegin(); it != m_handlers.cend(); ++it) {
        const std::optional<Shortcut> shortcut = m_table.get(it.key());
        const std::optional<QString> text = shortcut ? trigger(*shortcut) : std::nullopt;
        if (text)
            bindings.append(Binding{it.key(), *text, m_descriptions.value(it.key(), it.key())});
    }
    // One order for one set, so an unchanged set is never sent again.
    std::sort(bindings.begin(), bindings.end(),
              [](const Binding& a, const Binding& b) { return a.id < b.id; });
    return bindings;
}

void PortalShortcutRegistry::rebind() {
    switch (m_session) {
    case Session::failed:
    case Session::creating:
        return; // sent once the session is open
    case Session::none:
        // Nothing to bind yet: no session, so no portal traffic for a table alone.
        // Without an owner of the portal's name nothing is sent: its next owner
        // gets the session.
        if (wantedBindings().isEmpty())
            return;
        if (!m_client.isWatching()) {
            // The session is opened once the watch finds the portal.
            if (const std::optional<QString> why = m_client.watch())
                fail(*why);
            return;
        }
        if (m_portal == Portal::present) {
            m_session = Session::creating;
            m_client.createSession();
        }
        return;
    case Session::open:
        // One request at a time; the answer sends what is wanted by then.
        if (!m_bindPending && wantedBindings() != m_sent) {
            m_sent = wantedBindings();
            m_bindPending = true;
            m_client.bind(*m_sent);
        }
        return;
    }
}

void PortalShortcutRegistry::fail(const QString& why) {
    m_session = Session::failed;
    m_bindPending = false;
    qWarning("Corvanta: %s; rule hotkeys are kept but cannot be pressed in this session",
             qUtf8Printable(why));
    grabStatesChanged();
}

void PortalShortcutRegistry::forgetSession() {
    m_session = Session::none;
    m_sent.reset();
    m_bindPending = false;
    m_boundInSession = false;
    m_granted.clear();
    m_triggerDescriptions.clear();
    grabStatesChanged();
}

void PortalShortcutRegistry::portalAppeared() {
    // A new owner is a new portal: whatever the old one held is gone with it.
    forgetSession();
    m_portal = Portal::present;
    m_reopenedAfterClose = false;
    rebind();
}

void PortalShortcutRegistry::portalVanished() {
    if (m_portal == Portal::present)
        qWarning("Corvanta: the global shortcuts portal went away; rule hotkeys are bound again "
                 "when it is back");
    m_portal = Portal::gone;
    forgetSession();
}

void PortalShortcutRegistry::sessionOpened() {
    m_session = Session::open;
    rebind();
}

void PortalShortcutRegistry::sessionFailed(const QString& why) {
    fail(why);
}

void PortalShortcutRegistry::sessionClosed() {
    forgetSession();
    if (m_reopenedAfterClose) {
        fail(QStringLiteral("the desktop closed the global shortcuts session again"));
        return;
    }
    qWarning("Corvanta: the desktop closed the global shortcuts session; binding the rule "
             "hotkeys in a new one");
    m_reopenedAfterClose = true;
    rebind();
}

void PortalShortcutRegistry::readDescriptions(const QList<Held>& shortcuts) {
    for (const Held& held : shortcuts) {
        if (held.triggerDescription)
            m_triggerDescriptions.insert(held.id, *held.triggerDescription);
        else
            m_triggerDescriptions.remove(held.id);
    }
}

void PortalShortcutRegistry::shortcutsChanged(const QList<Held>& shortcuts) {
    if (m_session != Session::open)
        return;
    readDescriptions(shortcuts);
    // The desktop still holds these names, now under keys the user chose there.
    for (const Held& held : shortcuts) {
        for (const Binding& binding : m_sent ? *m_sent : QList<Binding>()) {
            if (binding.id == held.id && !m_granted.contains(binding))
                m_granted.append(binding);
        }
    }
    grabStatesChanged();
}

void PortalShortcutRegistry::bound(std::optional<uint> response,
                                   const std::optional<QList<Held>>& granted) {
    m_bindPending = false;
    if (!response)
        return; // said by the portal client; the next change tries again
    if (*response == 0) {
        m_granted.clear();
        m_triggerDescriptions.clear();
        if (granted)
            readDescriptions(*granted);
        for (const Binding& binding : std::as_const(*m_sent)) {
            // A portal that lists nothing took everything.
            const bool taken =
                !granted || std::any_of(granted->cbegin(), granted->cend(),
                                        [&](const Held& held) { return held.id == binding.id; });
            if (taken)
                m_granted.append(binding);
        }
        // Some desktops bind nothing at first and open their shortcut settings
        // instead; the keys count once the user assigns them there.
        if (m_granted.size() < m_sent->size())
            qInfo("Corvanta: the desktop bound %lld of %lld rule hotkeys; the others can be "
                  "assigned in its keyboard shortcut settings",
                  static_cast<long long>(m_granted.size()), static_cast<long long>(m_sent->size()));
        m_boundInSession = true;
    } else if (*response == 2 && m_boundInSession) {
        // GNOME binds once per session and refuses every later list. The changed
        // list goes to a new session, and the old one's keys go with it; GNOME's
        // bind dialog asks the user again for the new session.
        qInfo("Corvanta: the desktop binds once per session; the changed rule hotkeys go "
              "to a new one");
        m_client.closeSession();
        forgetSession();
        rebind();
        return;
    } else {
        qWarning("Corvanta: the desktop did not take the rule hotkeys (the request was %s)",
                 *response == 1 ? "cancelled" : "refused");
    }
    grabStatesChanged();
    // Changes made while the desktop was asking go out now.
    rebind();
}

void PortalShortcutRegistry::activated(const QString& id) {
    const auto it = m_handlers.constFind(id);
    const std::optional<Shortcut> shortcut = m_table.get(id);
    // A name whose combination was just cleared may still be bound a moment.
    if (it == m_handlers.constEnd() || !shortcut)
        return;
    // The desktop keeps the keys from a recorder's window: they reach it here.
    if (feedRecorder(*shortcut) || !m_enabled)
        return;
    // The handler may change the registrations; it runs from a copy.
    const Handler handler = *it;
    handler();
}
