#pragma once

#include "core/menubar/LaunchPresentation.h"

#include <QByteArray>
#include <QList>

// The executable's two ways to start: as the tray instance (no command), or to
// open files and links (`corvanta open ARG...`), which hands them to the
// running instance, becomes the instance when none runs, or, without a session
// bus or a display, routes them itself and exits when done.
namespace ApplicationShell {
// `reason` is how this start came about (the user, the login, the bus). A
// start the bus made waits for the request it was made for, unless
// `mayAwaitRequest` is false (the launcher opened the files already).
int runTray(int argc, char** argv, LaunchReason reason, bool mayAwaitRequest = true);
int runOpen(int argc, char** argv, const QList<QByteArray>& arguments);
} // namespace ApplicationShell
