#include "tests/integration/BusPeer.h"

#include "tests/integration/LinuxSandbox.h"

BusPeer::BusPeer()
    : m_context(g_main_context_new())
    , m_loop(g_main_loop_new(m_context, FALSE)) {
    const QByteArray address = LinuxSandbox::current().busAddress().toUtf8();
    m_bus = g_dbus_connection_new_for_address_sync(
        address.constData(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
}

BusPeer::~BusPeer() {
    stopAnswering();
    if (m_bus) {
        g_dbus_connection_close_sync(m_bus, nullptr, nullptr);
        g_object_unref(m_bus);
    }
    for (GDBusNodeInfo* node : std::as_const(m_nodes))
        g_dbus_node_info_unref(node);
    g_main_loop_unref(m_loop);
    g_main_context_unref(m_context);
}

bool BusPeer::exportObject(const char* path, const char* xml) {
    if (!m_bus || (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()))
        return false;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
    if (!node)
        return false;
    m_nodes.append(node);
    static const GDBusInterfaceVTable vtable = {
        [](GDBusConnection*, const char*, const char* objectPath, const char* interface,
           const char* method, GVariant* parameters, GDBusMethodInvocation* invocation,
           gpointer self) {
            static_cast<BusPeer*>(self)->call(objectPath, interface, method, parameters,
                                              invocation);
        },
        [](GDBusConnection*, const char*, const char* objectPath, const char* interface,
           const char* name, GError** error, gpointer self) {
            GVariant* value = static_cast<BusPeer*>(self)->property(objectPath, interface, name);
            if (!value)
                g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no %s", name);
            return value;
        },
        nullptr,
        {}};
    // Calls are dispatched in the context current at registration: the peer's.
    g_main_context_push_thread_default(m_context);
    const guint id = g_dbus_connection_register_object(m_bus, path, node->interfaces[0], &vtable,
                                                       this, nullptr, nullptr);
    g_main_context_pop_thread_default(m_context);
    return id != 0;
}

void BusPeer::start() {
    if (m_thread.joinable())
        return;
    m_thread = std::thread([this] {
        g_main_context_push_thread_default(m_context);
        g_main_loop_run(m_loop);
        g_main_context_pop_thread_default(m_context);
    });
}

void BusPeer::stopAnswering() {
    if (!m_thread.joinable())
        return;
    // Quit from inside the loop: a quit before the thread reaches it is lost.
    GSource* quit = g_idle_source_new();
    g_source_set_callback(
        quit,
        [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        m_loop, nullptr);
    g_source_attach(quit, m_context);
    g_source_unref(quit);
    m_thread.join();
}

bool BusPeer::own(const char* name) {
    GVariant* reply = g_dbus_connection_call_sync(
        m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", name, 4u /* do not queue */), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (!reply)
        return false;
    guint32 result = 0;
    g_variant_get(reply, "(u)", &result);
    g_variant_unref(reply);
    return result == 1; // primary owner
}

void BusPeer::emitSignal(const char* path, const char* interface, const char* member,
                         GVariant* parameters) {
    g_dbus_connection_emit_signal(m_bus, nullptr, path, interface, member, parameters, nullptr);
    g_dbus_connection_flush_sync(m_bus, nullptr, nullptr);
}

void BusPeer::call(const QByteArray&, const QByteArray&, const QByteArray& method, GVariant*,
                   GDBusMethodInvocation* invocation) {
    g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                          "%s is not answered here", method.constData());
}

GVariant* BusPeer::property(const QByteArray&, const QByteArray&, const QByteArray&) {
    return nullptr;
}
