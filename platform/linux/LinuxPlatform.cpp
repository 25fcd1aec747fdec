#include "platform/linux/LinuxPlatform.h"

LinuxPlatform::LinuxPlatform() {
    m_workspace.setActivationTokenSource([this] { return m_activation.requestToken(); });
}

Platform LinuxPlatform::platform() {
    return Platform{m_types,
                    m_workspace,
                    m_running,
                    m_metadata,
                    m_preferences,
                    m_screenReader,
                    m_shortcuts,
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
                    m_desktopSettings};
}
