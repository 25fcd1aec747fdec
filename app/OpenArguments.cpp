#include "app/OpenArguments.h"

#include "core/model/LocalFileURL.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool hasScheme(const QByteArray& argument) {
    const qsizetype colon = argument.indexOf(':');
    if (colon < 1)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const char c = argument[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

bool exists(const QByteArray& path) {
    struct stat info {};
    return !path.contains('\0') && ::stat(path.constData(), &info) == 0;
}
} // namespace

namespace OpenArguments {

QByteArray currentFolder() {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return {};
    return QByteArray(buffer);
}

QList<QUrl> toURLs(const QList<QByteArray>& arguments, const QByteArray& cwd) {
    QList<QUrl> urls;
    for (const QByteArray& argument : arguments) {
        if (argument.isEmpty())
            continue;
        QByteArray path = argument;
        if (!path.startsWith('/'))
            path = (cwd.endsWith('/') ? cwd : cwd + '/') + argument;
        if (hasScheme(argument) && !exists(path)) {
            urls.append(QUrl::fromEncoded(argument));
            continue;
        }
        urls.append(LocalFileURL::fromNativePath(path));
    }
    return urls;
}

} // namespace OpenArguments
