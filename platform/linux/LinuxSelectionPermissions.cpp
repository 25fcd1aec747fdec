#include "platform/linux/LinuxSelectionPermissions.h"

#include "platform/linux/SessionBusCall.h"
#include "platform/linux/XcbConnection.h"

LinuxSelectionPermissions::LinuxSelectionPermissions(int timeoutMs)
    : m_timeoutMs(timeoutMs) {}

bool LinuxSelectionPermissions::isAccessibilityEnabled() const {
    // What the accessibility source needs: the bus's address, asked without
    // starting its launcher (the session setting alone reads nothing).
    return SessionBusCall::call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                nullptr, "(s)", m_timeoutMs) != nullptr;
}

bool LinuxSelectionPermissions::enableAccessibility() {
    // Without a running bus the source reads nothing, whatever the setting.
    if (!isAccessibilityEnabled())
        return false;
    // The property desktops set from their accessibility settings; toolkits
    // that start afterwards register their windows on the bus.
    const GVariantPtr reply = SessionBusCall::call(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(TRUE)), "()",
        m_timeoutMs);
    return reply != nullptr;
}

AutomationStatus LinuxSelectionPermissions::automationStatus() const {
    // Keys sent through XWayland never reach a Wayland client.
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return AutomationStatus::unavailable;
    const std::unique_ptr<XcbConnection> x = XcbConnection::open();
    if (!x)
        return AutomationStatus::unavailable;
    return x->hasExtension("XTEST") && x->hasExtension("XFIXES") ? AutomationStatus::granted
                                                                 : AutomationStatus::unavailable;
}
