#pragma once

#include "core/platform/TerminalLauncher.h"

// Starts a terminal from its desktop entry with the folder as the working
// directory of the new process.
//
// Terminals differ in how they take a start folder (--working-directory, -d,
// --workdir, a folder argument, or none), but every one of them starts its
// shell in the directory it was started from. So the entry's Exec line is
// launched through GIO (field codes, startup environment, search path) with a
// child-setup hook that changes into the folder just before exec. Entries that
// GIO would activate over D-Bus instead (DBusActivatable) are launched through
// their Exec line too, since D-Bus activation carries no working directory.
class DesktopTerminalLauncher : public TerminalLauncher {
public:
    void launchInFolders(const QString& location, const QStringList& folders,
                         Completion completion) override;
};
