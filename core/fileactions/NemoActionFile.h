#pragma once

#include "core/fileactions/FileManagerAction.h"

// Nemo's actions: one "<name>.nemo_action" key file each, in nemo/actions of
// every data folder.
namespace NemoActionFile {
inline constexpr QLatin1StringView suffix{".nemo_action"};
QString folder(const QString& dataFolder);
QStringList files(const FileManagerActionFolders& folders);

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages);
// Nemo expands %F into one quoted argument per file and runs the line
// without a shell.
QByteArray write(const ActionEntry& entry);
} // namespace NemoActionFile
