#include "core/platform/LauncherProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace LauncherProgram {

QString path() {
    const QFileInfo self(QCoreApplication::applicationFilePath());
    if (self.fileName() != QLatin1String("corvanta-app"))
        return self.filePath();
    const QString launcher =
        QDir::cleanPath(self.dir().filePath(QStringLiteral(CORVANTA_LAUNCHER_FROM_FULL_PROGRAM)));
    return QFileInfo(launcher).isExecutable() ? launcher : self.filePath();
}

} // namespace LauncherProgram
