#pragma once

#include <QByteArray>
#include <QUrl>

// File URLs that carry a path's bytes exactly. File names on Linux are bytes,
// not text: a name that is not valid UTF-8 must survive the trip from the
// command line or a D-Bus request to the editor, so paths are kept as the
// percent-encoded bytes of the URL instead of going through QString.
namespace LocalFileURL {
// A file URL for an absolute native path (bytes as the kernel sees them).
QUrl fromNativePath(const QByteArray& path);
// The native path bytes of a file URL; empty for a URL that is not a local file.
QByteArray nativePath(const QUrl& url);
// The path without its last component ("/" for an item at the root).
QByteArray folderPath(const QByteArray& path);
// True when `path` names an existing item that is not a folder (symbolic links
// are followed, as opening the file would).
bool isExistingNonFolder(const QByteArray& path);
} // namespace LocalFileURL
