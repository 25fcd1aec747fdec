#include "platform/linux/SessionBusCall.h"

#include "platform/linux/GLibPointers.h"

namespace SessionBusCall {

GVariantPtr call(const char* service, const char* path, const char* interface, const char* method,
                 GVariant* parameters, const char* replyType, int timeoutMs) {
    GError* raw = nullptr;
    // Shared with the rest of the process and kept open by GIO.
    GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw));
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
