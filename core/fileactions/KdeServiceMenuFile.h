#pragma once

#include "core/fileactions/FileManagerAction.h"

// KDE's service menus: key files with one [Desktop Action] group per entry,
// in kio/servicemenus (and the older kservices5/ServiceMenus) of every data
// folder.
namespace KdeServiceMenuFile {
inline constexpr QLatin1StringView suffix{".desktop"};
// Where the user's own menus go.
QString userFolder(const QString& dataHome);
// As KIO finds them: a file in an earlier folder hides one of the same name
// in a later one, and a menu in the user's own folder counts only when it is
// executable (KIO shows no other: anything could have dropped it there).
QStringList files(const FileManagerActionFolders& folders);

QList<FileManagerAction> read(const QString& path, const QByteArray& data,
                              const QStringList& languages);
// One action for every file; to be written executable.
QByteArray write(const ActionEntry& entry);
} // namespace KdeServiceMenuFile
