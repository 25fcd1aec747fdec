#pragma once

#include <QString>
#include <QStringList>

// How one of the desktop's settings panels is opened: a desktop entry by ID
// (started through GIO, so its own Exec line runs), or a program with its
// arguments (started directly, never through a shell).
struct DesktopSettingsCommand {
    QString desktopID;
    QStringList program;
    bool operator==(const DesktopSettingsCommand&) const = default;

    // False when the entry or program could not be started.
    bool launch() const;

    // XDG_CURRENT_DESKTOP split at ':'.
    static QStringList currentDesktops();
    static bool desktopEntryExists(const QString& desktopID);
    static bool programExists(const QString& program);
};
