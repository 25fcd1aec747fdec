#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/PortalShortcutRegistry.h"
#include "platform/linux/QtX11Connection.h"

namespace {
// Starting the portal on demand takes a moment; a desktop that needs longer
// offers no hotkeys this run.
constexpr int portalProbeTimeoutMs = 3000;

std::unique_ptr<ShortcutRegistry> makeShortcutRegistry() {
    // On X11, and in commands (they read and write the table only), key grabs.
    if (!x11IsOffLimits())
        return std::make_unique<X11ShortcutRegistry>();
    // Only a desktop session has the portal; offscreen runs (tests) start none.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
        PortalShortcutRegistry::offeredVersion(portalProbeTimeoutMs) > 0)
        return std::make_unique<PortalShortcutRegistry>();
    // Keeps the table; every hotkey reads as unavailable, and no X server is asked.
    return std::make_unique<X11ShortcutRegistry>();
}
} // namespace

LinuxPlatform::LinuxPlatform()
    : m_shortcuts(makeShortcutRegistry()) {
    m_workspace.setActivationTokenSource([this] { return m_activation.requestToken(); });
}

Platform LinuxPlatform::platform() {
    return Platform{m_types,
                    m_workspace,
                    m_running,
                    m_metadata,
                    m_preferences,
                    m_screenReader,
                    *m_shortcuts,
                    *m_alerts,
                    m_clipboard,
                    m_revealer,
                    m_terminals,
                    m_processes,
                    m_frontmost,
                    m_accessibilitySelection,
                    m_fileManagerSelection,
                    m_selectionPermissions,
                    m_tray,
                    m_desktopSettings,
                    m_loginItem};
}
