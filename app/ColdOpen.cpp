#include "app/ColdOpen.h"

#include "core/history/RoutingHistory.h"
#include "core/history/RoutingHistoryFile.h"
#include "core/model/LocalFileURL.h"
#include "core/model/RouteStore.h"
#include "core/platform/Alerts.h"
#include "core/platform/StartupTimeline.h"
#include "core/routing/EditorGroup.h"
#include "core/routing/EditorOpener.h"
#include "core/routing/FileDecider.h"
#include "platform/linux/GioTypeSystem.h"
#include "platform/linux/GioWorkspace.h"
#include "platform/linux/ProcRunningApplications.h"
#include "platform/linux/SessionBusCall.h"
#include "platform/linux/SettingsPreferences.h"
#include "platform/linux/XattrFileMetadata.h"

#include <QDateTime>
#include <QSet>

namespace {
// Failures reach the full program as files left to route, which alerts.
class SilentAlerts : public Alerts {
public:
    int runAlert(const AlertRequest&) override { return 0; }
    void beep() override {}
};

// The decisions when every file opens in installed editors without a URL
// template; none otherwise.
std::optional<QList<RoutingHistoryEntry>> straightOpens(const QList<QUrl>& files,
                                                        const RouteStore& store,
                                                        const Workspace& workspace,
                                                        EditorGroups& groups) {
    const ProcRunningApplications running;
    const XattrFileMetadata metadata;
    const FileDecider decider(store, running, metadata);
    QList<RoutingHistoryEntry> entries;
    for (const QUrl& file : files) {
        if (!file.isLocalFile())
            return std::nullopt;
        const FileDecision decided = decider.decide(file, std::nullopt, std::nullopt);
        if (!decided.route || decided.decision.path != RoutingDecision::Path::open)
            return std::nullopt;
        for (const Editor& editor : decided.decision.editors) {
            if (!editor.urlSchemeTemplate.value_or(QString()).trimmed().isEmpty() ||
                !workspace.locationForBundleID(editor.bundleID))
                return std::nullopt;
        }
        entries.append(plannedOpen(file, *decided.route, decided.decision, groups));
    }
    return entries;
}

void record(QList<RoutingHistoryEntry> entries, const QList<QUrl>& failed) {
    QSet<QByteArray> failedPaths;
    for (const QUrl& url : failed)
        failedPaths.insert(LocalFileURL::nativePath(url));
    SettingsPreferences preferences;
    RoutingHistory history(preferences, RoutingHistoryFile::defaultPath());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (RoutingHistoryEntry& entry : entries) {
        // The full program records these when it routes them again.
        if (failedPaths.contains(entry.path))
            continue;
        entry.when = now;
        history.record(entry);
    }
}
} // namespace

namespace ColdOpen {
QList<QUrl> openFiles(const QList<QUrl>& files, const std::optional<QString>& activationToken) {
    // Other commands come here with no files: they connect to nothing.
    if (files.isEmpty())
        return files;
    // Without a session bus the full program routes the files and quits
    // instead of becoming the tray.
    const GObjectPtr<GDBusConnection> bus = SessionBusCall::sessionBus();
    if (!bus)
        return files;
    GioTypeSystem types;
    GioWorkspace workspace;
    workspace.setActivationTokenSource([activationToken] { return activationToken; });
    const RouteStore store(types, workspace, std::nullopt, RouteStore::Access::readOnly);
    EditorGroups groups;
    const auto entries =
        store.loadFailed() ? std::nullopt : straightOpens(files, store, workspace, groups);
    if (!entries)
        return files;
    SilentAlerts alerts;
    EditorOpener opener(workspace, alerts);
    QList<QUrl> failed;
    opener.setFailureHandler([&failed](const QList<QUrl>& urls, const QString&) {
        for (const QUrl& url : urls) {
            if (!failed.contains(url))
                failed.append(url);
        }
    });
    for (const EditorGroup& group : groups.groups())
        opener.openFiles(group.urls, group.editor, nullptr);
    StartupTimeline::mark("launcher opened the files");
    // GIO announces launches on the bus from its own thread: sent before this
    // process becomes the full program.
    g_dbus_connection_flush_sync(bus.get(), nullptr, nullptr);
    record(*entries, failed);
    return failed;
}
} // namespace ColdOpen
