#pragma once

#include "core/platform/FileRevealer.h"

#include <QObject>
#include <QString>

// Reveals files through the file manager's org.freedesktop.FileManager1
// interface (Nautilus, Dolphin, Nemo, Caja, Thunar and others). When no file
// manager answers, the files' folders are opened with the default application
// for inode/directory instead, which shows the folders without a selection.
class FileManagerRevealer : public QObject, public FileRevealer {
    Q_OBJECT
public:
    explicit FileManagerRevealer(QObject* parent = nullptr);

    void reveal(const QList<QUrl>& files) override;
    // The bus name asked first; tests point it at a name nobody owns.
    void setServiceName(const QString& name) { m_service = name; }

Q_SIGNALS:
    // The request was handed to a file manager (true) or fell back (false).
    void revealed(bool byFileManager);

private:
    // Opens the folders holding `files`, each once.
    static void openParentFolders(const QList<QUrl>& files);

    QString m_service;
};
