#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Editors that take documents only through their own URL scheme are reached
// by expanding a template such as
//   x-notes://open?folder={folderpath~.urlencoded}&note={filename.urlencoded}
// once per file. Placeholders: {filepath}, {folderpath}, {filename}, the first
// two also with "~" (home abbreviated), and each of those five with
// ".urlencoded". Unknown placeholders stay as written; replaced values are
// never scanned again.
QString expandURLTemplate(const QString& urlTemplate, const QUrl& fileURL, const QString& home);

// "~" for the home folder itself, "~/rest" below it, the path unchanged
// elsewhere (so /home/anna stays as it is for the home /home/ann).
QString abbreviatingHome(const QString& path, const QString& home);

// Percent-encodes for a query value: keeps ASCII letters and digits and
// @ - . _ ~ ! $ ' ( ) * : / ; encodes everything else (& + = ? ; , included)
// as upper-case escapes of the UTF-8 bytes.
QString percentEncodedQueryValue(const QString& value);

// A strict URL check: a scheme, then only characters that may stand in a URL,
// with well-formed escapes. A string with a space or a brace is not a URL.
bool isStrictURL(const QString& text);
