#include "core/model/PathExtension.h"

namespace {
qsizetype extensionDot(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return -1;
    return dot;
}
} // namespace

QString lastPathComponent(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

QString pathExtension(const QString& path) {
    const QString name = lastPathComponent(path);
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

QString pathExtension(const QUrl& url) {
    return pathExtension(urlPath(url));
}

QString pathBaseName(const QString& path) {
    const QString name = lastPathComponent(path);
    const qsizetype dot = extensionDot(name);
    return dot < 0 ? name : name.left(dot);
}

QString urlPath(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
}
