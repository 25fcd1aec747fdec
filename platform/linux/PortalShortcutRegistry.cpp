#include "platform/linux/PortalShortcutRegistry.h"

#include "core/platform/KeySymbols.h"
#include "core/platform/ShortcutModifiers.h"
#include "platform/linux/GLibMainContext.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SessionBusCall.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <algorithm>

namespace {
constexpr const char* requestInterface = "org.freedesktop.portal.Request";

// The D-Bus sender name as a path element: ":1.42" → "1_42".
QByteArray senderElement(GDBusConnection* bus) {
    QByteArray name(g_dbus_connection_get_unique_name(bus));
    if (name.startsWith(':'))
        name.remove(0, 1);
    return name.replace('.', '_');
}
} // namespace

PortalShortcutRegistry::PortalShortcutRegistry(std::optional<QString> tablePath)
    : m_table(tablePath ? *tablePath : ShortcutTable::defaultFilePath()) {}

PortalShortcutRegistry::~PortalShortcutRegistry() {
    if (m_cancellable) {
        // Calls still on their way must not reach this object.
        g_cancellable_cancel(m_cancellable);
        g_object_unref(m_cancellable);
    }
    if (!m_bus)
        return;
    if (m_nameWatch)
        g_bus_unwatch_name(m_nameWatch);
    unsubscribeResponse();
    for (const uint subscription :
         {m_activatedSubscription, m_changedSubscription, m_closedSubscription}) {
        if (subscription)
            g_dbus_connection_signal_unsubscribe(m_bus, subscription);
    }
    if (!m_sessionHandle.isEmpty())
        g_dbus_connection_call(m_bus, service, m_sessionHandle.constData(),
                               "org.freedesktop.portal.Session", "Close", nullptr, nullptr,
                               G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, nullptr, nullptr, nullptr);
    g_object_unref(m_bus);
}

uint PortalShortcutRegistry::offeredVersion(int timeoutMs) {
    const GObjectPtr<GDBusConnection> bus = SessionBusCall::sessionBus();
    if (!bus)
        return 0;
    GError* raw = nullptr;
    // The portal is started on demand; its desktop's backend decides whether the
    // interface is there at all.
    const GVariantPtr reply(g_dbus_connection_call_sync(
        bus.get(), service, objectPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", interface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
        timeoutMs, nullptr, &raw));
    g_clear_error(&raw);
    if (!reply)
        return 0;
    GVariant* boxed = nullptr;
    g_variant_get(reply.get(), "(v)", &boxed);
    const GVariantPtr value(boxed);
    return g_variant_is_of_type(value.get(), G_VARIANT_TYPE_UINT32) ? g_variant_get_uint32(boxed)
                                                                    : 0;
}

std::optional<QString> PortalShortcutRegistry::trigger(const Shortcut& shortcut) {
    const std::optional<QString> key = KeySymbols::name(shortcut.key);
    if (!key)
        return std::nullopt;
    QString text;
    // The order of the desktop's own texts: Super, Ctrl, Alt, Shift.
    if (shortcut.modifiers & ShortcutModifiers::command)
        text += QStringLiteral("LOGO+");
    if (shortcut.modifiers & ShortcutModifiers::control)
        text += QStringLiteral("CTRL+");
    if (shortcut.modifiers & ShortcutModifiers::option)
        text += QStringLiteral("ALT+");
    if (shortcut.modifiers & ShortcutModifiers::shift)
        text += QStringLiteral("SHIFT+");
    return text + *key;
}

std::optional<Shortcut> PortalShortcutRegistry::getShortcut(const QString& name) const {
    return m_table.get(name);
}

ShortcutGrab PortalShortcutRegistry::setShortcut(const std::optional<Shortcut>& shortcut,
                                                 const QString& name) {
    m_table.set(name, shortcut);
    if (!m_handlers.contains(name))
        return ShortcutGrab::notRegistered;
    rebind();
    return grabState(name);
}

ShortcutGrab PortalShortcutRegistry::onKeyDown(const QString& name, Handler action) {
    m_handlers.insert(name, std::move(action));
    rebind();
    return grabState(name);
}

void PortalShortcutRegistry::removeHandler(const QString& name) {
    if (m_handlers.remove(name))
        rebind();
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
    if (granted)
        return ShortcutGrab::active;
    return ShortcutGrab::notRegistered;
}

void PortalShortcutRegistry::setEnabled(bool enabled) {
    // The bindings stay with the portal while off and activations are dropped:
    // binding an empty list and the full one again would have the desktop ask the
    // user to confirm every rule hotkey after each recording.
    m_enabled = enabled;
}

bool PortalShortcutRegistry::canRepresent(const Shortcut& shortcut) const {
    return trigger(shortcut).has_value();
}

QString PortalShortcutRegistry::displayText(const Shortcut& shortcut) const {
    return ShortcutModifiers::displayPrefix(shortcut.modifiers) +
           QKeySequence(shortcut.key).toString(QKeySequence::NativeText);
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
        if (!m_bus) {
            startWatching();
            return; // the session is opened once the watch finds the portal
        }
        if (m_portal == Portal::present)
            createSession();
        return;
    case Session::open:
        // One request at a time; the answer sends what is wanted by then.
        if (!m_bindPending && wantedBindings() != m_sent)
            sendBindings();
        return;
    }
}

void PortalShortcutRegistry::fail(const char* why) {
    m_session = Session::failed;
    m_bindPending = false;
    unsubscribeResponse();
    qWarning("Corvanta: %s; rule hotkeys are kept but cannot be pressed in this session", why);
}

QByteArray PortalShortcutRegistry::requestPath(const QByteArray& token) const {
    return QByteArrayLiteral("/org/freedesktop/portal/desktop/request/") + senderElement(m_bus) +
           '/' + token;
}

void PortalShortcutRegistry::subscribeResponse(const QByteArray& path,
                                               void (*handler)(PortalShortcutRegistry&, uint,
                                                               GVariant*)) {
    unsubscribeResponse();
    m_responseHandler = handler;
    m_responseSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, requestInterface, "Response", path.constData(), nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            auto& self = *static_cast<PortalShortcutRegistry*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})")))
                return;
            guint32 response = 2;
            GVariant* results = nullptr;
            g_variant_get(parameters, "(u@a{sv})", &response, &results);
            const GVariantPtr owned(results);
            const auto handler = self.m_responseHandler;
            // A request is answered once.
            self.unsubscribeResponse();
            if (handler)
                handler(self, response, results);
        },
        this, nullptr);
}

void PortalShortcutRegistry::unsubscribeResponse() {
    if (m_responseSubscription)
        g_dbus_connection_signal_unsubscribe(m_bus, m_responseSubscription);
    m_responseSubscription = 0;
    m_responseHandler = nullptr;
}

void PortalShortcutRegistry::startWatching() {
    if (!glibMainContextRuns()) {
        fail("the portal's answers cannot arrive: Qt's event loop does not run GLib's");
        return;
    }
    m_bus = SessionBusCall::sessionBus().release();
    if (!m_bus) {
        fail("there is no session bus for the global shortcuts portal");
        return;
    }
    m_cancellable = g_cancellable_new();

    m_activatedSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, interface, "Activated", objectPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            const auto& self = *static_cast<const PortalShortcutRegistry*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(osta{sv})")))
                return;
            const char* session = nullptr;
            const char* id = nullptr;
            g_variant_get(parameters, "(&o&sta{sv})", &session, &id, nullptr, nullptr);
            if (self.m_sessionHandle == session)
                self.activated(QString::fromUtf8(id));
        },
        this, nullptr);
    m_changedSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, interface, "ShortcutsChanged", objectPath, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            auto& self = *static_cast<PortalShortcutRegistry*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oa(sa{sv}))")))
                return;
            const char* session = nullptr;
            GVariant* shortcuts = nullptr;
            g_variant_get(parameters, "(&o@a(sa{sv}))", &session, &shortcuts);
            const GVariantPtr owned(shortcuts);
            if (self.m_session == Session::open && self.m_sessionHandle == session)
                self.shortcutsChanged(shortcuts);
        },
        this, nullptr);

    // The portal may be started for the watch, as for a call to it. The first
    // report comes from the main context, like every later one.
    m_nameWatch =
        g_bus_watch_name_on_connection(m_bus, service, G_BUS_NAME_WATCHER_FLAGS_AUTO_START,
                                       &PortalShortcutRegistry::portalAppeared,
                                       &PortalShortcutRegistry::portalVanished, this, nullptr);
}

void PortalShortcutRegistry::portalAppeared(GDBusConnection*, const char*, const char*,
                                            gpointer data) {
    auto& self = *static_cast<PortalShortcutRegistry*>(data);
    // A new owner is a new portal: whatever the old one held is gone with it.
    self.dropSession();
    self.m_portal = Portal::present;
    self.m_reopenedAfterClose = false;
    self.rebind();
}

void PortalShortcutRegistry::portalVanished(GDBusConnection*, const char*, gpointer data) {
    auto& self = *static_cast<PortalShortcutRegistry*>(data);
    if (self.m_portal == Portal::present)
        qWarning("Corvanta: the global shortcuts portal went away; rule hotkeys are bound again "
                 "when it is back");
    self.dropSession();
    self.m_portal = Portal::gone;
}

void PortalShortcutRegistry::dropSession() {
    // Answers to calls made in the old session must not land in the new one.
    g_cancellable_cancel(m_cancellable);
    g_object_unref(m_cancellable);
    m_cancellable = g_cancellable_new();
    unsubscribeResponse();
    if (m_closedSubscription)
        g_dbus_connection_signal_unsubscribe(m_bus, m_closedSubscription);
    m_closedSubscription = 0;
    m_session = Session::none;
    m_sessionHandle.clear();
    m_sent.reset();
    m_bindPending = false;
    m_boundInSession = false;
    m_granted.clear();
    m_triggerDescriptions.clear();
}

void PortalShortcutRegistry::sessionClosed() {
    dropSession();
    if (m_reopenedAfterClose) {
        fail("the desktop closed the global shortcuts session again");
        return;
    }
    qWarning("Corvanta: the desktop closed the global shortcuts session; binding the rule "
             "hotkeys in a new one");
    m_reopenedAfterClose = true;
    rebind();
}

void PortalShortcutRegistry::readDescriptions(GVariant* shortcuts) {
    for (gsize i = 0; i < g_variant_n_children(shortcuts); ++i) {
        const char* id = nullptr;
        GVariant* raw = nullptr;
        g_variant_get_child(shortcuts, i, "(&s@a{sv})", &id, &raw);
        const GVariantPtr info(raw);
        const char* text = nullptr;
        if (g_variant_lookup(info.get(), "trigger_description", "&s", &text) && *text)
            m_triggerDescriptions.insert(QString::fromUtf8(id), QString::fromUtf8(text));
        else
            m_triggerDescriptions.remove(QString::fromUtf8(id));
    }
}

void PortalShortcutRegistry::shortcutsChanged(GVariant* shortcuts) {
    readDescriptions(shortcuts);
    // The desktop still holds these names, now under keys the user chose there.
    for (gsize i = 0; m_sent && i < g_variant_n_children(shortcuts); ++i) {
        const char* id = nullptr;
        g_variant_get_child(shortcuts, i, "(&sa{sv})", &id, nullptr);
        for (const Binding& binding : std::as_const(*m_sent)) {
            if (binding.id == QString::fromUtf8(id) && !m_granted.contains(binding))
                m_granted.append(binding);
        }
    }
}

void PortalShortcutRegistry::createSession() {
    m_session = Session::creating;

    // A program outside a sandbox names itself first, so the desktop can show
    // and keep its shortcuts under its own name; older portals do not know this.
    const QByteArray appID = QGuiApplication::desktopFileName().toUtf8();
    if (!appID.isEmpty())
        g_dbus_connection_call(m_bus, service, objectPath, "org.freedesktop.host.portal.Registry",
                               "Register", g_variant_new("(sa{sv})", appID.constData(), nullptr),
                               nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);

    const QByteArray token = "corvanta" + QByteArray::number(m_nextToken++);
    subscribeResponse(requestPath(token), &PortalShortcutRegistry::sessionCreated);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token));
    // Its own path for each session: a closed one may linger in the portal a moment.
    g_variant_builder_add(&options, "{sv}", "session_handle_token", g_variant_new_string(token));
    g_dbus_connection_call(
        m_bus, service, objectPath, interface, "CreateSession", g_variant_new("(a{sv})", &options),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, -1, m_cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* raw = nullptr;
            const GVariantPtr reply(
                g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw));
            const GErrorPtr error(raw);
            if (g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_CANCELLED))
                return; // the registry or the session is gone
            auto& self = *static_cast<PortalShortcutRegistry*>(data);
            if (!reply) {
                self.fail(qPrintable(QStringLiteral("the global shortcuts portal refused a "
                                                    "session: %1")
                                         .arg(QString::fromUtf8(error->message))));
            }
        },
        this);
}

void PortalShortcutRegistry::sessionCreated(PortalShortcutRegistry& self, uint response,
                                            GVariant* results) {
    const char* handle = nullptr;
    if (response != 0 || !(g_variant_lookup(results, "session_handle", "&s", &handle) ||
                           g_variant_lookup(results, "session_handle", "&o", &handle))) {
        self.fail("the global shortcuts portal opened no session");
        return;
    }
    self.m_sessionHandle = handle;
    self.m_session = Session::open;
    self.m_closedSubscription = g_dbus_connection_signal_subscribe(
        self.m_bus, service, "org.freedesktop.portal.Session", "Closed", handle, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*, GVariant*,
           gpointer data) { static_cast<PortalShortcutRegistry*>(data)->sessionClosed(); },
        &self, nullptr);
    self.rebind();
}

void PortalShortcutRegistry::sendBindings() {
    const QList<Binding> bindings = wantedBindings();
    m_sent = bindings;
    m_bindPending = true;
    const QByteArray token = "corvanta" + QByteArray::number(m_nextToken++);
    subscribeResponse(requestPath(token), &PortalShortcutRegistry::shortcutsBound);

    GVariantBuilder shortcuts;
    g_variant_builder_init(&shortcuts, G_VARIANT_TYPE("a(sa{sv})"));
    for (const Binding& binding : bindings) {
        const QByteArray id = binding.id.toUtf8();
        GVariantBuilder info;
        g_variant_builder_init(&info, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&info, "{sv}", "description",
                              g_variant_new_string(binding.description.toUtf8().constData()));
        g_variant_builder_add(&info, "{sv}", "preferred_trigger",
                              g_variant_new_string(binding.trigger.toUtf8().constData()));
        g_variant_builder_add(&shortcuts, "(sa{sv})", id.constData(), &info);
    }
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token));
    g_dbus_connection_call(
        m_bus, service, objectPath, interface, "BindShortcuts",
        g_variant_new("(oa(sa{sv})sa{sv})", m_sessionHandle.constData(), &shortcuts, "", &options),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, -1, m_cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            GError* raw = nullptr;
            const GVariantPtr reply(
                g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw));
            const GErrorPtr error(raw);
            if (g_error_matches(error.get(), G_IO_ERROR, G_IO_ERROR_CANCELLED))
                return;
            auto& self = *static_cast<PortalShortcutRegistry*>(data);
            if (!reply) {
                qWarning("Corvanta: the global shortcuts portal did not bind the rule hotkeys: %s",
                         error->message);
                self.unsubscribeResponse();
                self.m_bindPending = false;
            }
        },
        this);
}

void PortalShortcutRegistry::shortcutsBound(PortalShortcutRegistry& self, uint response,
                                            GVariant* results) {
    self.m_bindPending = false;
    if (response == 0) {
        self.m_granted.clear();
        self.m_triggerDescriptions.clear();
        GVariant* raw = g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})"));
        const GVariantPtr granted(raw);
        if (granted)
            self.readDescriptions(granted.get());
        for (const Binding& binding : std::as_const(*self.m_sent)) {
            bool taken = !granted; // a portal that lists nothing took everything
            for (gsize i = 0; granted && i < g_variant_n_children(granted.get()) && !taken; ++i) {
                const char* id = nullptr;
                g_variant_get_child(granted.get(), i, "(&sa{sv})", &id, nullptr);
                taken = binding.id == QString::fromUtf8(id);
            }
            if (taken)
                self.m_granted.append(binding);
        }
        // Some desktops bind nothing at first and open their shortcut settings
        // instead; the keys count once the user assigns them there.
        if (self.m_granted.size() < self.m_sent->size())
            qInfo("Corvanta: the desktop bound %lld of %lld rule hotkeys; the others can be "
                  "assigned in its keyboard shortcut settings",
                  static_cast<long long>(self.m_granted.size()),
                  static_cast<long long>(self.m_sent->size()));
        self.m_boundInSession = true;
    } else if (response == 2 && self.m_boundInSession) {
        // GNOME binds once per session and refuses every later list. The changed
        // list goes to a new session, and the old one's keys go with it; GNOME's
        // bind dialog asks the user again for the new session.
        qInfo("Corvanta: the desktop binds once per session; the changed rule hotkeys go "
              "to a new one");
        self.replaceSession();
        return;
    } else {
        qWarning("Corvanta: the desktop did not take the rule hotkeys (the request was %s)",
                 response == 1 ? "cancelled" : "refused");
    }
    // Changes made while the desktop was asking go out now.
    self.rebind();
}

void PortalShortcutRegistry::replaceSession() {
    const QByteArray handle = m_sessionHandle;
    dropSession();
    g_dbus_connection_call(m_bus, service, handle.constData(), "org.freedesktop.portal.Session",
                           "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr,
                           nullptr);
    rebind();
}

void PortalShortcutRegistry::activated(const QString& id) const {
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
