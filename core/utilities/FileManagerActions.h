#pragma once

#include "core/fileactions/FileManagerAction.h"
#include "core/utilities/CatalogEntry.h"
#include "core/utilities/ExecCommandLine.h"

#include <optional>

// The Services catalog: the actions of every file manager's format. Every
// file is untrusted input: one that cannot be read becomes a single
// unreadable action named after the file, never a failure of the whole scan.
namespace FileManagerActions {
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
// How the action's file manager reads its command line.
ExecCommandLine::Dialect dialect(const FileManagerAction& action);
} // namespace FileManagerActions
