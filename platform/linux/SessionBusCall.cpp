#include "platform/linux/SessionBusCall.h"

#include "platform/linux/GLibPointers.h"

namespace {
// Without either variable there is no session to reach (ssh, cron, `env -i`),
// and asking GLib anyway makes it create ~/.cache as a runtime folder and try
// to start a bus through X11.
bool sessionBusIsAnnounced() {
    return qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") ||
           qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
}
} // namespace

namespace SessionBusCall {

GObjectPtr<GDBusConnection> sessionBus() {
    if (!sessionBusIsAnnounced())
        return nullptr;
    GErrorOut error;
    // Shared with the rest of the process and kept open by GIO.
    return GObjectPtr<GDBusConnection>(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error));
}

GVariantPtr call(const char* service, const char* path, const char* interface, const char* method,
                 GVariant* parameters, const char* replyType, int timeoutMs) {
    GErrorOut error;
    const GObjectPtr<GDBusConnection> bus = sessionBus();
    GVariantPtr reply;
    if (bus) {
        reply.reset(g_dbus_connection_call_sync(
            bus.get(), service, path, interface, method, parameters,
            replyType ? G_VARIANT_TYPE(replyType) : nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
            timeoutMs, nullptr, error));
    } else if (parameters) {
        // A floating reference the call would have taken.
        g_variant_unref(g_variant_ref_sink(parameters));
    }
    return reply;
}

bool booleanProperty(const char* service, const char* path, const char* interface,
                     const char* property, int timeoutMs) {
    const GVariantPtr reply = call(service, path, "org.freedesktop.DBus.Properties", "Get",
                                   g_variant_new("(ss)", interface, property), "(v)", timeoutMs);
    if (!reply)
        return false;
    GVariantPtr value;
    {
        GVariant* boxed = nullptr;
        g_variant_get(reply.get(), "(v)", &boxed);
        value.reset(boxed);
    }
    return g_variant_is_of_type(value.get(), G_VARIANT_TYPE_BOOLEAN) &&
           g_variant_get_boolean(value.get());
}

} // namespace SessionBusCall
