#include "core/menubar/DropAcceptance.h"

#include "core/model/LocalFileURL.h"

#include <QMimeData>

namespace DropAcceptance {

std::optional<QUrl> acceptableFile(const QList<QUrl>& urls) {
    if (urls.size() != 1)
        return std::nullopt;
    const QUrl& url = urls.first();
    if (!url.isLocalFile())
        return std::nullopt;
    // By the path's bytes: a name that is not valid UTF-8 is still a file. A
    // link to a folder is a folder.
    if (!LocalFileURL::isExistingNonFolder(LocalFileURL::nativePath(url)))
        return std::nullopt;
    return url;
}

std::optional<QUrl> acceptableFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    return acceptableFile(data->urls());
}

} // namespace DropAcceptance
