#pragma once

#include "core/fileactions/FileManagerAction.h"
#include "core/platform/Shortcut.h"

// Nautilus's scripts: every executable under $XDG_DATA_HOME/nautilus/scripts
// is one (subfolders are submenus), run with the selected files as
// arguments; $XDG_CONFIG_HOME/nautilus/scripts-accels gives them keys.
namespace NautilusScriptsFolder {
QString folder(const QString& dataHome);
QString acceleratorsFile(const QString& configHome);
QStringList scripts(const QString& dataHome);
// None for a path that is not an executable file.
std::optional<FileManagerAction> read(const QString& path);

// The file name of one of ours: `label` made safe for one path component,
// then " (Corvanta)".
QString scriptName(const QString& label);
// A script handing the files on unchanged, whatever bytes they hold; its
// second line names `entry.id`.
QByteArray write(const ActionEntry& entry);
// True when `path` is a script written with an id starting with `ourPrefix`.
bool isOurs(const QString& path, const QString& ourPrefix);

struct Accelerator {
    QString id;          // the script's entry id
    QString accelerator; // GTK's text: "<Control><Alt>k"
    QString scriptName;
};
// GTK's accelerator text for a combination; none for keys without a name here.
std::optional<QString> gtkAccelerator(const Shortcut& shortcut);
// `existing` (the bytes of scripts-accels, none when there is no file) with
// our lines (ids starting with `ourPrefix`) replaced by `accelerators`; every
// line of the user's keeps its bytes. None when `existing` is not text, so
// that it is never overwritten.
std::optional<QByteArray> mergedAccelerators(const std::optional<QByteArray>& existing,
                                             const QString& ourPrefix,
                                             const QList<Accelerator>& accelerators);
} // namespace NautilusScriptsFolder
