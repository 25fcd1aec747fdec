#include "core/fileactions/KdeServiceMenuFile.h"

#include "core/fileactions/DesktopKeyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace KdeServiceMenuFile {

QString userFolder(const QString& dataHome) {
    return dataHome + QStringLiteral("/kio/servicemenus");
}

QStringList files(const FileManagerActionFolders& folders) {
    QStringList paths;
    for (const QString& subfolder :
         {QStringLiteral("/kio/servicemenus"), QStringLiteral("/kservices5/ServiceMenus")}) {
        QSet<QString> names;
        for (const QString& data : folders.dataFolders) {
            const bool userFolder = QDir(data) == QDir(folders.dataHome);
            for (const QFileInfo& info : actionFilesIn(data + subfolder, suffix)) {
                if (names.contains(info.fileName()))
                    continue;
                names.insert(info.fileName());
                if (!userFolder || info.isExecutable())
                    paths << info.absoluteFilePath();
            }
        }
    }
    return paths;
}

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages) {
    using Source = FileManagerAction::Source;
    const auto file = DesktopKeyFile::parse(data);
    const QString main = QStringLiteral("Desktop Entry");
    if (!file || !file->hasGroup(main))
        return {FileManagerAction::unreadableFile(Source::kdeServiceMenu, path)};
    const QString prefix = QStringLiteral("Desktop Action ");
    QStringList keys = file->stringList(main, QStringLiteral("Actions"));
    if (!file->hasKey(main, QStringLiteral("Actions"))) {
        for (const QString& group : file->groups())
            if (group.startsWith(prefix))
                keys.append(group.mid(prefix.size()));
    }
    // An action listed twice is still one action.
    keys.removeDuplicates();
    const bool accepts = !onlyFolderTypes(file->stringList(main, QStringLiteral("MimeType")));
    QList<FileManagerAction> actions;
    for (const QString& key : keys) {
        const QString group = prefix + key;
        const auto exec = file->string(group, QStringLiteral("Exec"));
        if (!exec || !file->hasGroup(group))
            continue;
        FileManagerAction action;
        action.source = Source::kdeServiceMenu;
        action.key = key;
        action.name = file->localeString(group, QStringLiteral("Name"), languages).value_or(key);
        action.filePath = path;
        action.exec = exec;
        action.acceptsFiles = accepts;
        actions.append(action);
    }
    if (actions.size() == 1)
        actions.first().key.clear();
    return actions;
}

QByteArray write(const ActionEntry& entry) {
    return (QStringLiteral("[Desktop Entry]\nType=Service\nMimeType=all/all;\n"
                           "Actions=corvantaRule;\nX-KDE-Priority=TopLevel\n\n"
                           "[Desktop Action corvantaRule]\nName=") +
            DesktopKeyFile::escaped(entry.name) + QStringLiteral("\nExec=") +
            DesktopKeyFile::execValue(entry.command) + u'\n')
        .toUtf8();
}

} // namespace KdeServiceMenuFile
