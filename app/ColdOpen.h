#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// A `corvanta open` that finds no instance running opens the files itself when
// each goes straight to its editors: deciding needs no display, so the editors
// start before the full program and its display connection load. The full
// program then only becomes the tray (and routes what is left).
namespace ColdOpen {
// Opens `files` (local files of a plain `corvanta open`) when every one is
// decided to open in editors that are installed, and records them in the
// history. Returns the files left for the full program: all of them when it
// could not decide alone (a picker, a rule asking for more, no route, a URL
// template, a damaged routes file), none when all opened, and those whose
// launch failed, so that the full program reports the failure.
// `activationToken` is the leave to take focus the request came with.
QList<QUrl> openFiles(const QList<QUrl>& files,
                      const std::optional<QString>& activationToken = std::nullopt);
} // namespace ColdOpen
