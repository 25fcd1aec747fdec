# Sources of platform/linux, relative to this folder.
list(APPEND LINUX_SOURCES
  AtspiAccessibilitySelection.cpp
  AtspiScreenReader.cpp
  DesktopSettingsCommand.cpp
  DesktopTerminalLauncher.cpp
  DesktopWindowActivation.cpp
  FileManagerRevealer.cpp
  FreedesktopNotifications.cpp
  LinuxDesktopSettings.cpp
  LinuxDesktopTray.cpp
  LinuxPlatform.cpp
  LinuxSelectionPermissions.cpp
  X11Compositing.cpp
  X11KeyGrabber.cpp
  X11KeyboardMap.cpp
  X11ShortcutRegistry.cpp
  QtClipboard.cpp
  GlobalShortcutsPortal.cpp
  PortalShortcutRegistry.cpp
  TableShortcutRegistry.cpp
  ShortcutTable.cpp
  SpawnProcessRunner.cpp
  TerminalAlerts.cpp
  X11ClipboardOwner.cpp
  X11ClipboardSelection.cpp
  X11FrontmostApplication.cpp
  XdgAutostartEntry.cpp
  XcbConnection.cpp
)

# The ports a `corvanta open` needs to open files before any display is
# connected: QtCore and GIO only.
list(APPEND LINUX_HEADLESS_SOURCES
  DesktopEntryCache.cpp
  DesktopEntryProgram.cpp
  DesktopProgramIndex.cpp
  GioTypeSystem.cpp
  GioWorkspace.cpp
  ProcRunningApplications.cpp
  SettingsPreferences.cpp
  TypeIdentifierAliases.cpp
  XattrFileMetadata.cpp
)
