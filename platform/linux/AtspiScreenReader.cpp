#include "platform/linux/AtspiScreenReader.h"

#include "platform/linux/SessionBusCall.h"

AtspiScreenReader::AtspiScreenReader(int timeoutMs)
    : m_timeoutMs(timeoutMs) {}

bool AtspiScreenReader::isScreenReaderEnabled() const {
    // A screen reader needs the launcher running; asking does not start one.
    const GVariantPtr reply = SessionBusCall::call(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", "org.a11y.Status", "ScreenReaderEnabled"), "(v)", m_timeoutMs);
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
