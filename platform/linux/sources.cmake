# Sources of platform/linux, relative to this folder.
list(APPEND LINUX_SOURCES
  AtspiScreenReader.cpp
  DesktopEntryProgram.cpp
  DesktopProgramIndex.cpp
  DesktopTerminalLauncher.cpp
  FileManagerRevealer.cpp
  GioTypeSystem.cpp
  GioWorkspace.cpp
  LinuxDesktopTray.cpp
  LinuxPlatform.cpp
  ProcRunningApplications.cpp
  SessionBusCall.cpp
  X11Compositing.cpp
  QtClipboard.cpp
  SettingsPreferences.cpp
  ShortcutTable.cpp
  SpawnProcessRunner.cpp
  TerminalAlerts.cpp
  TypeIdentifierAliases.cpp
  XattrFileMetadata.cpp
)
