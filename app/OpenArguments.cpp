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

QList<QUrl> fromURIs(const QStringList& uris) {
    QList<QUrl> urls;
    for (const QString& uri : uris) {
        const QUrl url = QUrl::fromEncoded(uri.toUtf8());
        if (url.isValid() && !url.isRelative())
            urls.append(url);
    }
    return urls;
}

bool isHotkeyOpen(const QList<QByteArray>& arguments) {
    return !arguments.isEmpty() && arguments.first() == "--hotkey";
}

std::optional<HotkeyOpen> hotkeyOpen(const QList<QByteArray>& arguments) {
    HotkeyOpen result;
    qsizetype i = 0;
    while (i < arguments.size() && arguments.at(i) == "--hotkey") {
        if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty() ||
            arguments.at(i + 1) == "--")
            return std::nullopt;
        result.hotkeyNames.append(QString::fromUtf8(arguments.at(i + 1)));
        i += 2;
    }
    if (result.hotkeyNames.isEmpty() || i >= arguments.size() || arguments.at(i) != "--")
        return std::nullopt;
    result.files = arguments.mid(i + 1);
    if (result.files.isEmpty())
        return std::nullopt;
    return result;
}

} // namespace OpenArguments
