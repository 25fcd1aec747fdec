#pragma once

#include "core/model/LocalFileURL.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>

// Writes `bytes` to `path`, making its folders; `executable` adds the owner's x bit.
// A failure is reported to the running test, and false.
inline bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    file.close();
    if (written && executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    EXPECT_TRUE(written) << "could not write " << qPrintable(path);
    return written;
}

// The file's bytes; none when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empty files `names` in `folder`, as URLs of their native paths.
inline QList<QUrl> touchFiles(const QString& folder, const QStringList& names) {
    QList<QUrl> urls;
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        writeFile(path, {});
        urls.append(LocalFileURL::fromNativePath(QFile::encodeName(path)));
    }
    return urls;
}

inline QList<QByteArray> nativePaths(const QList<QUrl>& urls) {
    QList<QByteArray> paths;
    for (const QUrl& url : urls)
        paths.append(LocalFileURL::nativePath(url));
    return paths;
}

// Replaces the file the way an editor saving atomically does: a new file renamed over it.
inline void replaceFile(const QString& path, const QByteArray& bytes) {
    writeFile(path + QStringLiteral(".new"), bytes);
    ASSERT_EQ(std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                          QFile::encodeName(path).constData()),
              0);
}
