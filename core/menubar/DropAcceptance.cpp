#include "core/menubar/DropAcceptance.h"

#include <QFileInfo>
#include <QMimeData>

namespace DropAcceptance {

std::optional<QUrl> acceptableFile(const QList<QUrl>& urls) {
    if (urls.size() != 1)
        return std::nullopt;
    const QUrl& url = urls.first();
    if (!url.isLocalFile())
        return std::nullopt;
    const QFileInfo info(url.toLocalFile());
    // A link to a folder is a folder.
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return url;
}

std::optional<QUrl> acceptableFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    return acceptableFile(data->urls());
}

} // namespace DropAcceptance
