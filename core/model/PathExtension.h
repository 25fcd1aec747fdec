#pragma once

#include <QString>
#include <QUrl>

// The part of a path's last component after its last dot, lower-cased; empty
// when the name has no dot or ends with one.
QString pathExtension(const QString& path);
QString pathExtension(const QUrl& url);
