#pragma once

#include <QString>
#include <QUrl>

// File name parts, shared by route lookup and the facts rules are evaluated
// against, so that both always agree on a file's extension.

// The last component of a path, ignoring trailing slashes.
QString lastPathComponent(const QString& path);
// The lower-cased extension of the path's last component, without the dot. A
// leading dot (".profile") or a trailing dot ("notes.") starts no extension.
QString pathExtension(const QString& path);
QString pathExtension(const QUrl& url);
// The last component without its extension ("Notes.final.md" gives "Notes.final").
QString pathBaseName(const QString& path);
// The local path of a file URL, or the decoded path of any other URL.
QString urlPath(const QUrl& url);
