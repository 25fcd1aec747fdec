#include "core/utilities/FileManagerActions.h"

#include "core/fileactions/KdeServiceMenuFile.h"
#include "core/fileactions/NautilusScriptsFolder.h"
#include "core/fileactions/NemoActionFile.h"
#include "core/fileactions/ThunarActionsFile.h"
#include "core/platform/PlatformTexts.h"

#include <QFileInfo>
#include <QMap>

namespace FileManagerActions {

QList<FileManagerAction> readFile(const QString& path, const FileManagerActionFolders& folders) {
    using Source = FileManagerAction::Source;
    if (path.startsWith(NautilusScriptsFolder::folder(folders.dataHome) + QLatin1Char('/'))) {
        const auto script = NautilusScriptsFolder::read(path);
        return script ? QList{*script} : QList<FileManagerAction>();
    }
    const QFileInfo info(path);
    using Reader =
        QList<FileManagerAction> (*)(const QString&, const QByteArray&, const QStringList&);
    Source source;
    Reader reader;
    if (path.endsWith(NemoActionFile::suffix)) {
        source = Source::nemoAction;
        reader = NemoActionFile::read;
    } else if (info.fileName() == QLatin1String("uca.xml")) {
        source = Source::thunarAction;
        reader = ThunarActionsFile::read;
    } else if (path.endsWith(KdeServiceMenuFile::suffix)) {
        source = Source::kdeServiceMenu;
        reader = KdeServiceMenuFile::read;
    } else {
        return {};
    }
    if (!info.exists())
        return {};
    const auto data = readActionFile(path);
    if (!data)
        return {FileManagerAction::unreadableFile(source, path)};
    return reader(path, *data, folders.languages);
}

QList<FileManagerAction> installed(const FileManagerActionFolders& folders) {
    QList<FileManagerAction> actions;
    for (const QString& path : installedActionFiles(folders))
        actions << readFile(path, folders);
    return actions;
}

QStringList installedActionFiles(const FileManagerActionFolders& folders) {
    QStringList paths = KdeServiceMenuFile::files(folders) + NemoActionFile::files(folders);
    const QString uca = ThunarActionsFile::path(folders.configHome);
    if (QFileInfo(uca).isFile())
        paths << uca;
    return paths + NautilusScriptsFolder::scripts(folders.dataHome);
}

CatalogScan listServices(const FileManagerActionFolders& folders) {
    QMap<QString, CatalogEntry> byID;
    for (const FileManagerAction& action : installed(folders)) {
        if (action.acceptsFiles)
            byID.insert(action.id(), {action.id(), action.name});
    }
    QList<CatalogEntry> entries = byID.values();
    if (entries.isEmpty())
        return CatalogScan::failure(
            PlatformTexts::text("No file Services found in Library/Services."));
    sortCatalogEntries(entries);
    return {entries, std::nullopt};
}

std::optional<FileManagerAction> find(const QString& id, const QString& name,
                                      const FileManagerActionFolders& folders) {
    // The key ends at the first bar before an absolute path; the path may hold bars.
    const qsizetype split = id.indexOf(QStringLiteral("|/"));
    const QString key = split >= 0 ? id.left(split) : QString();
    const QString path = split >= 0 ? id.mid(split + 1) : id;
    // Only files where the file managers keep their actions: an id from a
    // damaged or foreign routes file must not run some other file's command.
    if (!installedActionFiles(folders).contains(path))
        return std::nullopt;
    const QList<FileManagerAction> actions = readFile(path, folders);
    for (const FileManagerAction& action : actions) {
        if (action.key == key && !action.unreadable)
            return action;
    }
    for (const FileManagerAction& action : actions) {
        if (action.name == name && !action.unreadable)
            return action;
    }
    return std::nullopt;
}

ExecCommandLine::Dialect dialect(const FileManagerAction& action) {
    switch (action.source) {
    case FileManagerAction::Source::thunarAction:
        return ExecCommandLine::Dialect::thunar;
    case FileManagerAction::Source::nemoAction:
        return ExecCommandLine::Dialect::nemo;
    case FileManagerAction::Source::kdeServiceMenu:
    case FileManagerAction::Source::nautilusScript:
        break;
    }
    return ExecCommandLine::Dialect::desktopEntry;
}

} // namespace FileManagerActions
