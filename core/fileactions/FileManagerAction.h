#pragma once

#include <QByteArray>
#include <QFileInfoList>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Where the file managers keep the actions they offer on files.
struct FileManagerActionFolders {
    // $XDG_DATA_HOME first, then $XDG_DATA_DIRS (KDE service menus, Nemo actions).
    QStringList dataFolders;
    // $XDG_CONFIG_HOME (Thunar's uca.xml).
    QString configHome;
    // $XDG_DATA_HOME (Nautilus scripts; the user's own service menus).
    QString dataHome;
    QStringList languages;

    // From the environment (no folders without a home).
    static FileManagerActionFolders fromEnvironment();
};

// One action a file manager offers: what the Services catalog lists and the
// runner starts.
struct FileManagerAction {
    enum class Source { kdeServiceMenu, nemoAction, thunarAction, nautilusScript };
    Source source = Source::kdeServiceMenu;
    // The action's name inside its file (empty when the file holds just one).
    QString key;
    QString name;
    QString filePath;
    // The command line; none for a Nautilus script (the file itself runs) and
    // for a file that could not be read.
    std::optional<QString> exec;
    bool acceptsFiles = true;
    // Nemo's Quote= key (lower case): how Nemo wraps each value it substitutes.
    QString quote;
    // The file could not be read: listed under its file name, never run.
    bool unreadable = false;

    // The catalog key: key "|" path, or the path alone.
    QString id() const;
    bool operator==(const FileManagerAction&) const = default;

    // A file that could not be read: one action named after the file.
    static FileManagerAction unreadableFile(Source source, const QString& path);
};

// What Corvanta puts into a file manager's menu: the files selected there are
// handed to `command` (program first) as further arguments.
struct ActionEntry {
    QString id; // unique among ours, plain (letters, digits, "-_.")
    QString name;
    QString description;
    QStringList command;
};

// The words of `command` for /bin/sh, each single-quoted.
QString shellWords(const QStringList& command);

// Action files are untrusted and small; anything larger is not one.
std::optional<QByteArray> readActionFile(const QString& path);
// The files in `folder` whose names end in `suffix`, by name.
QFileInfoList actionFilesIn(const QString& folder, QLatin1StringView suffix);
// MIME types that name folders only ("inode/...").
bool onlyFolderTypes(const QStringList& types);
