#include "platform/linux/GlobalShortcutsPortal.h"

#include "platform/linux/GLibMainContext.h"
#include "platform/linux/GLibPointers.h"
#include "platform/linux/SessionBusCall.h"

#include <QGuiApplication>

namespace {
constexpr const char* requestInterface = "org.freedesktop.portal.Request";
constexpr const char* sessionInterface = "org.freedesktop.portal.Session";

// The D-Bus sender name as a path element: ":1.42" → "1_42".
QByteArray senderElement(GDBusConnection* bus) {
    QByteArray name(g_dbus_connection_get_unique_name(bus));
    if (name.startsWith(':'))
        name.remove(0, 1);
    return name.replace('.', '_');
}

// The error of a finished call; none when it was answered. A cancelled call
// (the client or its session is gone) counts as answered and reports nothing.
std::optional<QString> callError(GObject* source, GAsyncResult* result, bool* cancelled) {
    GErrorOut error;
    const GVariantPtr reply(
        g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, error));
    *cancelled = error.matches(G_IO_ERROR, G_IO_ERROR_CANCELLED);
    if (reply || *cancelled)
        return std::nullopt;
    return error.message(QStringLiteral("no answer"));
}
} // namespace

GlobalShortcutsPortal::GlobalShortcutsPortal(Listener& listener)
    : m_listener(listener) {}

GlobalShortcutsPortal::~GlobalShortcutsPortal() {
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
        g_dbus_connection_call(m_bus, service, m_sessionHandle.constData(), sessionInterface,
                               "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1,
                               nullptr, nullptr, nullptr);
    g_object_unref(m_bus);
}

uint GlobalShortcutsPortal::offeredVersion(int timeoutMs) {
    const GObjectPtr<GDBusConnection> bus = SessionBusCall::sessionBus();
    if (!bus)
        return 0;
    GErrorOut ignored;
    // The portal is started on demand; its desktop's backend decides whether the
    // interface is there at all.
    const GVariantPtr reply(g_dbus_connection_call_sync(
        bus.get(), service, objectPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", interface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
        timeoutMs, nullptr, ignored));
    if (!reply)
        return 0;
    GVariant* boxed = nullptr;
    g_variant_get(reply.get(), "(v)", &boxed);
    const GVariantPtr value(boxed);
    return g_variant_is_of_type(value.get(), G_VARIANT_TYPE_UINT32) ? g_variant_get_uint32(boxed)
                                                                    : 0;
}

std::optional<QString> GlobalShortcutsPortal::watch() {
    if (!glibMainContextRuns())
        return QStringLiteral("the portal's answers cannot arrive: Qt's event loop does not run "
                              "GLib's");
    m_bus = SessionBusCall::sessionBus().release();
    if (!m_bus)
        return QStringLiteral("there is no session bus for the global shortcuts portal");
    m_cancellable = g_cancellable_new();
    subscribeSignals();
    // The portal may be started for the watch, as for a call to it.
    m_nameWatch = g_bus_watch_name_on_connection(
        m_bus, service, G_BUS_NAME_WATCHER_FLAGS_AUTO_START,
        [](GDBusConnection*, const char*, const char*, gpointer data) {
            auto& self = *static_cast<GlobalShortcutsPortal*>(data);
            // A new owner is a new portal: whatever the old one held is gone with it.
            self.dropSession();
            self.m_listener.portalAppeared();
        },
        [](GDBusConnection*, const char*, gpointer data) {
            auto& self = *static_cast<GlobalShortcutsPortal*>(data);
            self.dropSession();
            self.m_listener.portalVanished();
        },
        this, nullptr);
    return std::nullopt;
}

void GlobalShortcutsPortal::subscribeSignals() {
    m_activatedSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, interface, "Activated", objectPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            auto& self = *static_cast<GlobalShortcutsPortal*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(osta{sv})")))
                return;
            const char* session = nullptr;
            const char* id = nullptr;
            g_variant_get(parameters, "(&o&sta{sv})", &session, &id, nullptr, nullptr);
            if (!self.m_sessionHandle.isEmpty() && self.m_sessionHandle == session)
                self.m_listener.activated(QString::fromUtf8(id));
        },
        this, nullptr);
    m_changedSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, interface, "ShortcutsChanged", objectPath, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            auto& self = *static_cast<GlobalShortcutsPortal*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(oa(sa{sv}))")))
                return;
            const char* session = nullptr;
            GVariant* shortcuts = nullptr;
            g_variant_get(parameters, "(&o@a(sa{sv}))", &session, &shortcuts);
            const GVariantPtr owned(shortcuts);
            if (!self.m_sessionHandle.isEmpty() && self.m_sessionHandle == session)
                self.m_listener.shortcutsChanged(heldShortcuts(shortcuts));
        },
        this, nullptr);
}

QList<GlobalShortcutsPortal::Held> GlobalShortcutsPortal::heldShortcuts(GVariant* shortcuts) {
    QList<Held> held;
    for (gsize i = 0; i < g_variant_n_children(shortcuts); ++i) {
        const char* id = nullptr;
        GVariant* raw = nullptr;
        g_variant_get_child(shortcuts, i, "(&s@a{sv})", &id, &raw);
        const GVariantPtr info(raw);
        const char* text = nullptr;
        Held shortcut{QString::fromUtf8(id), std::nullopt};
        if (g_variant_lookup(info.get(), "trigger_description", "&s", &text) && *text)
            shortcut.triggerDescription = QString::fromUtf8(text);
        held.append(shortcut);
    }
    return held;
}

QByteArray GlobalShortcutsPortal::nextToken() {
    return "corvanta" + QByteArray::number(m_nextToken++);
}

QByteArray GlobalShortcutsPortal::requestPath(const QByteArray& token) const {
    return QByteArrayLiteral("/org/freedesktop/portal/desktop/request/") + senderElement(m_bus) +
           '/' + token;
}

void GlobalShortcutsPortal::subscribeResponse(const QByteArray& path, ResponseHandler handler) {
    unsubscribeResponse();
    m_responseHandler = handler;
    m_responseSubscription = g_dbus_connection_signal_subscribe(
        m_bus, service, requestInterface, "Response", path.constData(), nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
            auto& self = *static_cast<GlobalShortcutsPortal*>(data);
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})")))
                return;
            guint32 response = 2;
            GVariant* results = nullptr;
            g_variant_get(parameters, "(u@a{sv})", &response, &results);
            const GVariantPtr owned(results);
            const ResponseHandler handler = self.m_responseHandler;
            // A request is answered once.
            self.unsubscribeResponse();
            if (handler)
                handler(self, response, results);
        },
        this, nullptr);
}

void GlobalShortcutsPortal::unsubscribeResponse() {
    if (m_responseSubscription)
        g_dbus_connection_signal_unsubscribe(m_bus, m_responseSubscription);
    m_responseSubscription = 0;
    m_responseHandler = nullptr;
}

void GlobalShortcutsPortal::createSession() {
    // A program outside a sandbox names itself first, so the desktop can show
    // and keep its shortcuts under its own name; older portals do not know this.
    const QByteArray appID = QGuiApplication::desktopFileName().toUtf8();
    if (!appID.isEmpty())
        g_dbus_connection_call(m_bus, service, objectPath, "org.freedesktop.host.portal.Registry",
                               "Register", g_variant_new("(sa{sv})", appID.constData(), nullptr),
                               nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);

    // The response is subscribed on its predictable path before the call.
    const QByteArray token = nextToken();
    subscribeResponse(requestPath(token), &GlobalShortcutsPortal::sessionCreated);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token));
    // Its own path for each session: a closed one may linger in the portal a moment.
    g_variant_builder_add(&options, "{sv}", "session_handle_token", g_variant_new_string(token));
    g_dbus_connection_call(
        m_bus, service, objectPath, interface, "CreateSession", g_variant_new("(a{sv})", &options),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, -1, m_cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            bool cancelled = false;
            if (const std::optional<QString> error = callError(source, result, &cancelled)) {
                auto& self = *static_cast<GlobalShortcutsPortal*>(data);
                self.unsubscribeResponse();
                self.m_listener.sessionFailed(
                    QStringLiteral("the global shortcuts portal refused a session: ") + *error);
            }
        },
        this);
}

void GlobalShortcutsPortal::sessionCreated(GlobalShortcutsPortal& self, uint response,
                                           GVariant* results) {
    const char* handle = nullptr;
    if (response != 0 || !(g_variant_lookup(results, "session_handle", "&s", &handle) ||
                           g_variant_lookup(results, "session_handle", "&o", &handle))) {
        self.m_listener.sessionFailed(
            QStringLiteral("the global shortcuts portal opened no session"));
        return;
    }
    self.m_sessionHandle = handle;
    self.m_closedSubscription = g_dbus_connection_signal_subscribe(
        self.m_bus, service, sessionInterface, "Closed", handle, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*, GVariant*,
           gpointer data) {
            auto& portal = *static_cast<GlobalShortcutsPortal*>(data);
            portal.dropSession();
            portal.m_listener.sessionClosed();
        },
        &self, nullptr);
    self.m_listener.sessionOpened();
}

void GlobalShortcutsPortal::bind(const QList<Binding>& bindings) {
    const QByteArray token = nextToken();
    subscribeResponse(requestPath(token), &GlobalShortcutsPortal::shortcutsBound);
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
            bool cancelled = false;
            if (const std::optional<QString> error = callError(source, result, &cancelled)) {
                auto& self = *static_cast<GlobalShortcutsPortal*>(data);
                qWarning("Corvanta: the global shortcuts portal did not bind the rule hotkeys: %s",
                         qUtf8Printable(*error));
                self.unsubscribeResponse();
                self.m_listener.bound(std::nullopt, std::nullopt);
            }
        },
        this);
}

void GlobalShortcutsPortal::shortcutsBound(GlobalShortcutsPortal& self, uint response,
                                           GVariant* results) {
    const GVariantPtr granted(
        g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
    self.m_listener.bound(response,
                          granted ? std::optional(heldShortcuts(granted.get())) : std::nullopt);
}

void GlobalShortcutsPortal::dropSession() {
    // Answers to calls made in the old session must not land in the new one.
    if (m_cancellable) {
        g_cancellable_cancel(m_cancellable);
        g_object_unref(m_cancellable);
        m_cancellable = g_cancellable_new();
    }
    unsubscribeResponse();
    if (m_closedSubscription)
        g_dbus_connection_signal_unsubscribe(m_bus, m_closedSubscription);
    m_closedSubscription = 0;
    m_sessionHandle.clear();
}

void GlobalShortcutsPortal::closeSession() {
    const QByteArray handle = m_sessionHandle;
    dropSession();
    if (!handle.isEmpty())
        g_dbus_connection_call(m_bus, service, handle.constData(), sessionInterface, "Close",
                               nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr,
                               nullptr);
}
