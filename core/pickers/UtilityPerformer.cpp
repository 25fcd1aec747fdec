#include "core/pickers/UtilityPerformer.h"

#include "core/pickers/DefaultTerminal.h"

#include "core/platform/Alerts.h"
#include "core/platform/Clipboard.h"
#include "core/platform/FileRevealer.h"
#include "core/platform/Platform.h"
#include "core/platform/TerminalLauncher.h"
#include "core/platform/Workspace.h"

#include <QDir>
#include <QSet>

namespace {
QString filePath(const QUrl& url) {
    QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

void endAccessIfAsked(const UtilityPerformer::EndAccess& endAccess) {
    if (endAccess)
        endAccess();
}
} // namespace

UtilityPerformer::UtilityPerformer(Workspace& workspace, TerminalLauncher& terminals,
                                   Clipboard& clipboard, FileRevealer& revealer, Alerts& alerts)
    : m_workspace(workspace)
    , m_terminals(terminals)
    , m_clipboard(clipboard)
    , m_revealer(revealer)
    , m_alerts(alerts) {}

UtilityPerformer::UtilityPerformer(const Platform& platform)
    : UtilityPerformer(platform.workspace, platform.terminals, platform.clipboard,
                       platform.revealer, platform.alerts) {}

void UtilityPerformer::performUtility(const PickerUtility& utility, const QList<QUrl>& files,
                                      const EndAccess& endAccess) {
    switch (utility.kind) {
    case PickerUtilityKind::copyPOSIXPath:
        if (!m_clipboard.setText(pathsText(files)))
            m_alerts.beep();
        endAccessIfAsked(endAccess);
        return;
    case PickerUtilityKind::revealInFinder:
        m_revealer.reveal(files);
        endAccessIfAsked(endAccess);
        return;
    case PickerUtilityKind::openParentInTerminal:
        openParentsInTerminal(utility, files, endAccess);
        return;
    }
}

void UtilityPerformer::openParentsInTerminal(const PickerUtility& utility, const QList<QUrl>& files,
                                             const EndAccess& endAccess) {
    QString terminal = terminalBundleID(utility);
    // The stored default stands for "the default terminal": the one this
    // desktop has, where GNOME Terminal is not installed or not its own.
    if (terminal == defaultTerminalBundleID()) {
        const QStringList desktops = m_desktops.value_or(DefaultTerminal::currentDesktops());
        terminal = DefaultTerminal::firstInstalled(m_workspace, desktops).value_or(terminal);
    }
    const std::optional<QString> location = m_workspace.locationForBundleID(terminal);
    if (!location) {
        endAccessIfAsked(endAccess);
        m_alerts.runAlert(AlertRequest::warning(
            QStringLiteral("Terminal not found"),
            QStringLiteral("The selected terminal app (") + terminal +
                QStringLiteral(") is no longer installed. Pick another in Settings.")));
        return;
    }
    m_terminals.launchInFolders(*location, parentFolders(files),
                                m_lifetime.guard([this](const std::optional<QString>& error) {
                                    if (error)
                                        m_alerts.runAlert(AlertRequest::warning(
                                            QStringLiteral("Could not open Terminal"), *error));
                                }));
    endAccessIfAsked(endAccess);
}

QString UtilityPerformer::pathsText(const QList<QUrl>& files) {
    QStringList paths;
    paths.reserve(files.size());
    for (const QUrl& url : files)
        paths.append(filePath(url));
    return paths.join(QLatin1Char('\n'));
}

QStringList UtilityPerformer::parentFolders(const QList<QUrl>& files) {
    QStringList folders;
    QSet<QString> seen;
    for (const QUrl& url : files) {
        const QString path = QDir::cleanPath(filePath(url));
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString folder = slash <= 0 ? QStringLiteral("/") : path.left(slash);
        if (!seen.contains(folder)) {
            seen.insert(folder);
            folders.append(folder);
        }
    }
    return folders;
}

QString UtilityPerformer::terminalBundleID(const PickerUtility& utility) {
    const QString trimmed = utility.terminalBundleID.value_or(QString()).trimmed();
    return trimmed.isEmpty() ? defaultTerminalBundleID() : trimmed;
}
