#include "core/fileactions/FileManagerAction.h"

#include "core/fileactions/DesktopKeyFile.h"
#include "core/fileactions/XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FileManagerActionFolders FileManagerActionFolders::fromEnvironment() {
    const XdgFolders xdg = XdgFolders::fromEnvironment().value_or(XdgFolders{});
    return {xdg.dataFolders, xdg.configHome, xdg.dataHome, DesktopKeyFile::userLanguages()};
}

QString FileManagerAction::id() const {
    return key.isEmpty() ? filePath : key + QLatin1Char('|') + filePath;
}

FileManagerAction FileManagerAction::unreadableFile(Source source, const QString& path) {
    FileManagerAction action;
    action.source = source;
    action.name = QFileInfo(path).fileName();
    action.filePath = path;
    action.unreadable = true;
    return action;
}

std::optional<QByteArray> readActionFile(const QString& path) {
    constexpr qint64 maximumFileSize = 1 << 20;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumFileSize)
        return std::nullopt;
    const QByteArray data = file.read(maximumFileSize + 1);
    if (data.size() > maximumFileSize)
        return std::nullopt;
    return data;
}

QFileInfoList actionFilesIn(const QString& folder, QLatin1StringView suffix) {
    return QDir(folder).entryInfoList({u'*' + suffix}, QDir::Files, QDir::Name);
}

bool onlyFolderTypes(const QStringList& types) {
    for (const QString& type : types) {
        if (!type.startsWith(QLatin1String("inode/")))
            return false;
    }
    return !types.isEmpty();
}

QString shellWords(const QStringList& command) {
    QStringList words;
    for (QString word : command)
        words.append(u'\'' + word.replace(u'\'', QStringLiteral("'\\''")) + u'\'');
    return words.join(u' ');
}
