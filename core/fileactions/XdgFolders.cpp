#include "core/fileactions/XdgFolders.h"

#include <QDir>

namespace {

QString absoluteVariable(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

} // namespace

std::optional<XdgFolders> XdgFolders::fromEnvironment() {
    XdgFolders folders{absoluteVariable("XDG_DATA_HOME"), absoluteVariable("XDG_CONFIG_HOME"), {}};
    const QString home = absoluteVariable("HOME");
    if ((folders.dataHome.isEmpty() || folders.configHome.isEmpty()) && home.isEmpty())
        return std::nullopt;
    if (folders.dataHome.isEmpty())
        folders.dataHome = home + QStringLiteral("/.local/share");
    if (folders.configHome.isEmpty())
        folders.configHome = home + QStringLiteral("/.config");
    folders.dataFolders.append(folders.dataHome);
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts)) {
        const QString clean = QDir::cleanPath(dir);
        if (QDir::isAbsolutePath(clean) && !folders.dataFolders.contains(clean))
            folders.dataFolders.append(clean);
    }
    return folders;
}
