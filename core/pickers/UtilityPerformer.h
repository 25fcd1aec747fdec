#pragma once

#include "core/model/PickerUtility.h"
#include "core/platform/Lifetime.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class Alerts;
class Clipboard;
class FileRevealer;
class TerminalLauncher;
class Workspace;
struct Platform;

// Performs a built-in picker utility on the files of one picker.
class UtilityPerformer {
public:
    UtilityPerformer(Workspace& workspace, TerminalLauncher& terminals, Clipboard& clipboard,
                     FileRevealer& revealer, Alerts& alerts);
    explicit UtilityPerformer(const Platform& platform);
    UtilityPerformer(const UtilityPerformer&) = delete;
    UtilityPerformer& operator=(const UtilityPerformer&) = delete;

    // Runs once the files are no longer needed: before a missing terminal is
    // reported, otherwise right after the utility was started.
    using EndAccess = std::function<void()>;
    void performUtility(const PickerUtility& utility, const QList<QUrl>& files,
                        const EndAccess& endAccess = {});

    // The files' paths, one per line, without a line feed after the last.
    static QString pathsText(const QList<QUrl>& files);
    // The folders holding `files`, each named once, in the order first met.
    static QStringList parentFolders(const QList<QUrl>& files);
    // The terminal a utility names, or the default one when it names none.
    static QString terminalBundleID(const PickerUtility& utility);
    // The desktops whose own terminals the default prefers (XDG_CURRENT_DESKTOP
    // unless set here).
    void setCurrentDesktops(QStringList desktops) { m_desktops = std::move(desktops); }

private:
    void openParentsInTerminal(const PickerUtility& utility, const QList<QUrl>& files,
                               const EndAccess& endAccess);

    Workspace& m_workspace;
    TerminalLauncher& m_terminals;
    Clipboard& m_clipboard;
    FileRevealer& m_revealer;
    Alerts& m_alerts;
    std::optional<QStringList> m_desktops;
    // Launch completions that arrive after this object is gone show no alert.
    Lifetime m_lifetime;
};
