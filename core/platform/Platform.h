#pragma once

class AccessibilitySelection;
class Alerts;
class Clipboard;
class DesktopSettings;
class DesktopTray;
class FileRevealer;
class FileManagerSelection;
class FileMetadata;
class LoginItem;
class FrontmostApplication;
class Preferences;
class ProcessRunner;
class RunningApplications;
class ScreenReader;
class SelectionPermissions;
class ShortcutRegistry;
class TerminalLauncher;
class TypeSystem;
class Workspace;

// Every port the core needs, passed down from the executable (or a test).
// The referenced objects outlive everything that holds this struct.
struct Platform {
    TypeSystem& types;
    Workspace& workspace;
    RunningApplications& running;
    FileMetadata& metadata;
    Preferences& preferences;
    ScreenReader& screenReader;
    ShortcutRegistry& shortcuts;
    Alerts& alerts;
    Clipboard& clipboard;
    FileRevealer& revealer;
    TerminalLauncher& terminals;
    ProcessRunner& processes;
    FrontmostApplication& frontmost;
    AccessibilitySelection& accessibilitySelection;
    FileManagerSelection& fileManagerSelection;
    SelectionPermissions& selectionPermissions;
    DesktopTray& tray;
    DesktopSettings& desktopSettings;
    LoginItem& loginItem;
};
