#include "core/model/RoutesFileLocation.h"

#include <QDir>
#include <QFileInfo>

QString RoutesFileLocation::configHome() {
    // Relative values are invalid per the XDG base directory rules and are ignored.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString RoutesFileLocation::defaultFilePath() {
    return configHome() + QStringLiteral("/Corvanta/routes.json");
}

QString RoutesFileLocation::prepareDefaultFilePath() {
    const QString path = defaultFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}
