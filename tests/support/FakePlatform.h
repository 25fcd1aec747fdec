#pragma once

#include "core/platform/Platform.h"
#include "tests/support/FakeDesktopSettings.h"
#include "tests/support/FakeDesktopTray.h"
#include "tests/support/FakePickerPorts.h"
#include "tests/support/FakeProcessRunner.h"
#include "tests/support/FakeSelectionPorts.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FakeTypeSystem.h"
#include "tests/support/FakeWorkspace.h"

// Every port in memory; `platform()` hands them out as the core expects.
struct FakePlatform {
    FakeTypeSystem types;
    FakeWorkspace workspace;
    FakeRunningApplications running;
    FakeFileMetadata metadata;
    FakePreferences preferences;
    FakeScreenReader screenReader;
    FakeShortcutRegistry shortcuts;
    FakeAlerts alerts;
    FakeClipboard clipboard;
    FakeFileRevealer revealer;
    FakeTerminalLauncher terminals;
    FakeProcessRunner processes;
    FakeFrontmostApplication frontmost;
    FakeAccessibilitySelection accessibilitySelection;
    FakeFileManagerSelection fileManagerSelection;
    FakeSelectionPermissions selectionPermissions;
    FakeDesktopTray tray;
    FakeDesktopSettings desktopSettings;
    FakeLoginItem loginItem;

    Platform platform() {
        return Platform{types,
                        workspace,
                        running,
                        metadata,
                        preferences,
                        screenReader,
                        shortcuts,
                        alerts,
                        clipboard,
                        revealer,
                        terminals,
                        processes,
                        frontmost,
                        accessibilitySelection,
                        fileManagerSelection,
                        selectionPermissions,
                        tray,
                        desktopSettings,
                        loginItem};
    }
};
