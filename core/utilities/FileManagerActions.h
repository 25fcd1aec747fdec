#pragma once

#include "core/utilities/CatalogEntry.h"
#include "core/utilities/ExecCommandLine.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Where the file managers keep the actions they offer on files.
struct FileManagerActionFolders {
    // $XDG_DATA_HOME first, then $XDG_DATA_DIRS (KDE service menus, Nemo actions).
    QStringList dataFolders;
    // $XDG_CONFIG_HOME (Thunar's uca.xml).
    QString configHome;
    // $XDG_DATA_HOME (Nautilus scripts).
    QString dataHome;
    QStringList languages;

    // From the environment, as the XDG base directory rules say.
    static FileManagerActionFolders fromEnvironment();
};

// One action a file manager offers: what the Services catalog lists and the
// runner starts.
struct FileManagerAction {
    enum class Source { kdeServiceMenu, nemoAction, thunarAction, nautilusScript };
    Source source = Source::kdeServiceMenu;
    // The action's name inside its file (empty when the file holds just one).
    QString key;
    QString name;
    QString filePath;
    // The command line; none for a Nautilus script (the file itself runs) and
    // for a file that could not be read.
    std::optional<QString> exec;
    bool acceptsFiles = true;
    // Nemo's Quote= key (lower case): how Nemo wraps each value it substitutes.
    QString quote;
    // The file could not be read: listed under its file name, never run.
    bool unreadable = false;

    // The catalog key: key "|" path, or the path alone.
    QString id() const;
    ExecCommandLine::Dialect dialect() const;
    bool operator==(const FileManagerAction&) const = default;
};

// Readers of the file managers' action files. Every file is untrusted input:
// one that cannot be read becomes a single unreadable action named after the
// file, never a failure of the whole scan.
namespace FileManagerActions {
QList<FileManagerAction> readServiceMenu(const QString& path, const QByteArray& data,
                                         const QStringList& languages);
QList<FileManagerAction> readNemoAction(const QString& path, const QByteArray& data,
                                        const QStringList& languages);
QList<FileManagerAction> readThunarActions(const QString& path, const QByteArray& data,
                                           const QStringList& languages);
// Reads a file by its kind (from its name and place); nothing for other files.
QList<FileManagerAction> readFile(const QString& path, const FileManagerActionFolders& folders);
// The files that hold actions (Nautilus scripts are their own files).
QStringList installedActionFiles(const FileManagerActionFolders& folders);
// Every action installed, in folder order.
QList<FileManagerAction> installed(const FileManagerActionFolders& folders);
// The Services catalog: actions that accept files, by name.
CatalogScan listServices(const FileManagerActionFolders& folders);
// The action an enabled Service names: the one with `id`'s key in `id`'s file,
// else the one in that file whose name is `name`.
std::optional<FileManagerAction> find(const QString& id, const QString& name,
                                      const FileManagerActionFolders& folders);
} // namespace FileManagerActions
