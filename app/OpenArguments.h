#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <optional>

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
// The URLs of a D-Bus request's URIs (percent-encoded), read without loss;
// relative and broken ones are dropped.
QList<QUrl> fromURIs(const QStringList& uris);

// `--hotkey NAME... -- FILE...`, what file-manager actions run.
struct HotkeyOpen {
    QStringList hotkeyNames;
    QList<QByteArray> files;
    bool operator==(const HotkeyOpen&) const = default;
};
// True when `arguments` ask for the hotkey form (they start with --hotkey).
bool isHotkeyOpen(const QList<QByteArray>& arguments);
// The names and files; none when the form is broken (a name missing, no "--",
// no file). Everything after "--" is a file, whatever it looks like.
std::optional<HotkeyOpen> hotkeyOpen(const QList<QByteArray>& arguments);
} // namespace OpenArguments
