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

GVariantPtr call(const char* service, const char* path, const char* interface, const char* method,
                 GVariant* parameters, const char* replyType, int timeoutMs) {
    GError* raw = nullptr;
    // Shared with the rest of the process and kept open by GIO.
    GObjectPtr<GDBusConnection> bus(
        sessionBusIsAnnounced() ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw) : nullptr);
    GVariantPtr reply;
    if (bus) {
        reply.reset(
            g_dbus_connection_call_sync(bus.get(), service, path, interface, method, parameters,
                                        replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                        G_DBUS_CALL_FLAGS_NO_AUTO_START, timeoutMs, nullptr, &raw));
    } else if (parameters) {
        // A floating reference the call would have taken.
        g_variant_unref(g_variant_ref_sink(parameters));
    }
    g_clear_error(&raw);
    return reply;
}

} // namespace SessionBusCall
