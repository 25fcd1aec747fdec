#include "core/model/LocalFileURL.h"

#include <sys/stat.h>

namespace LocalFileURL {

QUrl fromNativePath(const QByteArray& path) {
    // Everything but the unreserved characters and "/" is escaped, so the URL
    // parser never reinterprets "#", "?", "%" or control bytes in a name.
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path.toPercentEncoding("/"),
                             QUrl::StrictMode);
}

QByteArray nativePath(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QByteArray folderPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {};
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

bool isExistingNonFolder(const QByteArray& path) {
    // A NUL would silently cut the path short at the system call.
    if (path.isEmpty() || path.contains('\0'))
        return false;
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return false;
    return !S_ISDIR(info.st_mode);
}

} // namespace LocalFileURL
