# Sources of platform/linux, relative to this folder.
list(APPEND LINUX_SOURCES
  AtspiAccessibilitySelection.cpp
  AtspiScreenReader.cpp
  DesktopEntryProgram.cpp
  DesktopProgramIndex.cpp
  DesktopTerminalLauncher.cpp
  FileManagerRevealer.cpp
  GioTypeSystem.cpp
  GioWorkspace.cpp
  LinuxPlatform.cpp
  LinuxSelectionPermissions.cpp
  ProcRunningApplications.cpp
  SessionBusCall.cpp
  X11Compositing.cpp
  X11KeyGrabber.cpp
  X11ShortcutRegistry.cpp
  QtClipboard.cpp
  SettingsPreferences.cpp
  ShortcutTable.cpp
  SpawnProcessRunner.cpp
  TerminalAlerts.cpp
  TypeIdentifierAliases.cpp
  X11ClipboardSelection.cpp
  X11FrontmostApplication.cpp
  XattrFileMetadata.cpp
  XcbConnection.cpp
)
