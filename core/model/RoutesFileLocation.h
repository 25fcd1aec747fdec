#pragma once

#include <QString>

// Where the routes file lives when the caller names no file:
// $XDG_CONFIG_HOME/Corvanta/routes.json, with ~/.config as the fallback.
class RoutesFileLocation {
public:
    // $XDG_CONFIG_HOME when it is set to an absolute path, otherwise ~/.config.
    static QString configHome();
    static QString defaultFilePath();
    // The default path, after creating its folder. A failure to create the
    // folder is ignored: the later read or write fails on its own.
    static QString prepareDefaultFilePath();
};
