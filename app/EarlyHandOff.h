#pragma once

#include <QList>
#include <QUrl>

// What the `corvanta` launcher can do without the full program: hand a request
// to the running instance over the session bus, with only QtCore and GIO loaded.
// Everything else (no instance, a broken request, the other commands) is the
// full program's, which repeats the same checks and reports.
namespace EarlyHandOff {
// What the launcher starts the full program with after it opened every file
// itself: become the tray, as a start for an open does, with nothing to route.
inline constexpr char afterOpenOption[] = "--after-open";
// What the bus service file starts Corvanta with.
inline constexpr char busStartOption[] = "--dbus-service";
// True when the running instance took the request of `corvanta ARGS`: files of
// `corvanta open` (plain or for rule hotkeys), or the settings window a second
// `corvanta` (or `corvanta open` without files) asks for.
bool handOver(int argc, char** argv);
// The files of a plain `corvanta open FILE...` (not sent for rule hotkeys);
// empty for any other start.
QList<QUrl> plainOpenFiles(int argc, char** argv);
// True when the environment names a display the tray could show on.
bool displayAnnounced();
} // namespace EarlyHandOff
