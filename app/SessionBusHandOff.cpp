#include "app/SessionBusHandOff.h"

#include "app/SingleInstance.h"

#include <gio/gio.h>

namespace SessionBusHandOff {

bool open(const QList<QUrl>& urls) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_clear_error(&error);
        return false;
    }
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    for (const QUrl& url : urls)
        g_variant_builder_add(&uris, "s", url.toEncoded().constData());
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    GVariant* reply = g_dbus_connection_call_sync(
        bus, SingleInstance::serviceName, SingleInstance::objectPath, "org.freedesktop.Application",
        "Open", g_variant_new("(asa{sv})", &uris, &platformData), nullptr,
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 10000, nullptr, &error);
    g_clear_error(&error);
    g_object_unref(bus);
    if (!reply)
        return false;
    g_variant_unref(reply);
    return true;
}

} // namespace SessionBusHandOff
