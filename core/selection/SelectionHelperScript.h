#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One helper program per file manager Corvanta knows, installed into the
// Application Scripts folder and run to learn that file manager's selection.
struct SelectionHelperScript {
    // The file manager's name as its users know it ("Thunar").
    QString fileManagerName;
    // Desktop IDs of the file manager.
    QStringList desktopIDs;
    // Base names of the executables whose window counts as the file manager's.
    QStringList programs;
    // The helper's file name in the Application Scripts folder.
    QString scriptFileName;
    // Its clipboard copy turns names that are not UTF-8 into U+FFFD.
    bool replacesUndecodableNames = false;
    bool operator==(const SelectionHelperScript&) const = default;

    // The program's exact bytes.
    QByteArray contents() const;

    // Every helper, in a fixed order.
    static const QList<SelectionHelperScript>& builtins();
    // The helper for a desktop ID, or none.
    static const SelectionHelperScript* forDesktopID(const QString& desktopID);
};
