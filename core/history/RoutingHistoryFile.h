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
// Replaces the file with the newest `limit` entries (an empty list removes it).
// False with `error` set when it could not be written; the old file is then kept.
bool write(const QString& path, const QList<RoutingHistoryEntry>& newestFirst, QString& error);
} // namespace RoutingHistoryFile
