#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A file manager Corvanta knows how to ask for its selection.
struct ScriptableFileManager {
    // Desktop IDs (without ".desktop") that denote this file manager.
    QStringList bundleIDs;
    // Its helper program in the Application Scripts folder.
    QString scriptFileName;
    // How the user knows it.
    QString name;

    bool operator==(const ScriptableFileManager&) const = default;

    // True when `bundleID` is one of `bundleIDs`, or extends one of them by
    // further dot-separated components ("org.gnome.Nautilus.Devel").
    bool matches(const QString& bundleID) const;
    static bool matches(const QString& bundleID, const QStringList& bundleIDs);

    static const ScriptableFileManager& nautilus();
    static const ScriptableFileManager& dolphin();
    static const ScriptableFileManager& thunar();
    static const ScriptableFileManager& nemo();
    static const ScriptableFileManager& caja();
    static const ScriptableFileManager& pcmanfmQt();
    static const ScriptableFileManager& pcmanfm();
    // Every built-in manager, in the order the frontmost one is looked up.
    static const QList<ScriptableFileManager>& builtins();
};
