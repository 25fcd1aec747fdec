#pragma once

#include <QList>
#include <QUrl>
#include <optional>

class QMimeData;

// What a drag must carry for the drop palette to take it: exactly one URL,
// a local file, naming an existing item that is not a folder. Several files,
// a folder, a web link or a missing file are refused.
namespace DropAcceptance {
std::optional<QUrl> acceptableFile(const QList<QUrl>& urls);
std::optional<QUrl> acceptableFile(const QMimeData* data);
} // namespace DropAcceptance
