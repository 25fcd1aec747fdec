#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

// The arguments of `corvanta open`: file paths (relative ones against the
// current folder) or URLs. Paths keep their bytes exactly, whatever encoding
// the file names use.
namespace OpenArguments {
// `cwd` is the current folder as the kernel reports it. An argument that
// names an existing file is a path even when it looks like "a:b"; otherwise
// an argument that starts with a URL scheme is a URL.
QList<QUrl> toURLs(const QList<QByteArray>& arguments, const QByteArray& cwd);
// The current folder's bytes; empty when it cannot be read.
QByteArray currentFolder();
} // namespace OpenArguments
