#pragma once

#include "core/platform/Platform.h"
#include "platform/linux/AtspiAccessibilitySelection.h"
#include "platform/linux/AtspiScreenReader.h"
#include "platform/linux/DesktopTerminalLauncher.h"
#include "platform/linux/DesktopWindowActivation.h"
#include "platform/linux/FileManagerRevealer.h"
#include "platform/linux/GioTypeSystem.h"
#include "platform/linux/GioWorkspace.h"
#include "platform/linux/LinuxDesktopSettings.h"
#include "platform/linux/LinuxDesktopTray.h"
#include "platform/linux/LinuxSelectionPermissions.h"
#include "platform/linux/ProcRunningApplications.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/SettingsPreferences.h"
#include "platform/linux/SpawnProcessRunner.h"
#include "platform/linux/TerminalAlerts.h"
#include "platform/linux/X11ClipboardSelection.h"
#include "platform/linux/X11FrontmostApplication.h"
#include "platform/linux/X11ShortcutRegistry.h"
#include "platform/linux/XattrFileMetadata.h"
#include "platform/linux/XdgAutostartEntry.h"

#include <memory>

// Owns one implementation of every port for the freedesktop stack. Alerts start
// on the terminal; a graphical front end installs its own with `setAlerts`.
class LinuxPlatform {
public:
    LinuxPlatform();
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Platform platform();
    // `alerts` must outlive every Platform handed out afterwards.
    void setAlerts(Alerts& alerts) { m_alerts = &alerts; }

    GioTypeSystem& types() { return m_types; }
    GioWorkspace& workspace() { return m_workspace; }
    X11ClipboardSelection& clipboardSelection() { return m_fileManagerSelection; }
    // The token of the request being handled; launches pass it on.
    DesktopWindowActivation& activation() { return m_activation; }

private:
    GioTypeSystem m_types;
    DesktopWindowActivation m_activation;
    GioWorkspace m_workspace;
    ProcRunningApplications m_running;
    XattrFileMetadata m_metadata;
    SettingsPreferences m_preferences;
    AtspiScreenReader m_screenReader;
    // Key grabs on X11; the desktop's shortcuts portal where Qt runs elsewhere.
    std::unique_ptr<ShortcutRegistry> m_shortcuts;
    TerminalAlerts m_terminalAlerts;
    QtClipboard m_clipboard;
    FileManagerRevealer m_revealer;
    DesktopTerminalLauncher m_terminals;
    SpawnProcessRunner m_processes;
    LinuxDesktopTray m_tray;
    LinuxDesktopSettings m_desktopSettings;
    X11FrontmostApplication m_frontmost;
    AtspiAccessibilitySelection m_accessibilitySelection{m_frontmost};
    X11ClipboardSelection m_fileManagerSelection;
    LinuxSelectionPermissions m_selectionPermissions;
    XdgAutostartEntry m_loginItem;
    Alerts* m_alerts = &m_terminalAlerts;
};
