#include "core/model/PathExtension.h"

QString pathExtension(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return name.mid(dot + 1).toLower();
}

QString pathExtension(const QUrl& url) {
    return pathExtension(url.isLocalFile() ? url.toLocalFile() : url.path());
}
