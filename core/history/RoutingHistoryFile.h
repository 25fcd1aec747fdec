#pragma once

#include "core/history/RoutingHistoryEntry.h"

#include <QList>
#include <QString>

// The history on disk: one JSON object per line, newest first, at most `limit`
// lines. Written whole through a temporary file, so a reader never sees half.
namespace RoutingHistoryFile {
constexpr qsizetype limit = 500;
// $XDG_STATE_HOME/Corvanta/history.jsonl (~/.local/state when unset or relative).
QString defaultPath();
// The entries, newest first; damaged lines are skipped. None when the file
// exists but cannot be read; empty when there is no file.
std::optional<QList<RoutingHistoryEntry>> read(const QString& path);
// What a write does with the entries the file already holds.
enum class Older { dropped, kept };
// Replaces the file with `newestFirst` and, when kept, the file's own entries
// after them (damaged lines left out), the newest `limit` in all; the file's
// lines are copied one at a time, so a write costs no more memory with a full
// history than an empty one. An empty result removes the file. False with
// `error` set when it could not be written, or the file to keep could not be
// read; the old file is then kept.
bool write(const QString& path, const QList<RoutingHistoryEntry>& newestFirst, QString& error,
           Older older = Older::dropped);
} // namespace RoutingHistoryFile
