#pragma once

#include <QByteArray>
#include <QStringList>

struct ScriptableFileManager;

// The helper program installed into the Application Scripts folder for each
// file manager, run to learn that file manager's selection.
class SelectionHelperScript {
public:
    // The program's exact bytes.
    static QByteArray contents(const ScriptableFileManager& manager);
    // Executable names whose window counts as the file manager's: the last
    // part of each desktop ID, lower-cased ("org.xfce.Thunar" gives "thunar").
    static QStringList programs(const ScriptableFileManager& manager);
};
