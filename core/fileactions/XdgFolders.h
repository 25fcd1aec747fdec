#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The user's base directories, as the XDG base directory rules give them:
// relative values are ignored, unset ones fall back to folders in $HOME.
struct XdgFolders {
    QString dataHome;   // $XDG_DATA_HOME, ~/.local/share
    QString configHome; // $XDG_CONFIG_HOME, ~/.config
    // $XDG_DATA_HOME first, then $XDG_DATA_DIRS (/usr/local/share:/usr/share).
    QStringList dataFolders;

    // None when a home folder is needed and $HOME is not absolute.
    static std::optional<XdgFolders> fromEnvironment();
};
