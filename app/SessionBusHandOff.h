#pragma once

#include <QList>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <optional>

// The quick way for `corvanta open` to reach a running instance: one D-Bus
// call on GIO's connection, before any Qt application object (and its
// connection to the display) exists. Starts nothing.
namespace SessionBusHandOff {
// True when the running instance accepted the URLs; false when there is no
// session bus, no instance, or it did not answer.
bool open(const QList<QUrl>& urls);
// True when the running instance accepted the sample file to teach its type
// (ActivateAction "teach" with the file's URI): it asks and writes there.
bool teach(const QUrl& sample);
// True when the running instance accepted files sent for rule hotkeys
// (ActivateAction "open-with-hotkeys": the names, "--", the URIs).
bool openWithHotkeys(const QStringList& hotkeyNames, const QList<QUrl>& urls);
// `open`, or `openWithHotkeys` when the files were sent for rule hotkeys.
bool route(const QList<QUrl>& urls, const std::optional<QSet<QString>>& hotkeyNames);
// True when the running instance showed its settings window (ActivateAction
// "settings"), what a second start of the tray asks for.
bool showSettings();
} // namespace SessionBusHandOff
