#pragma once

#include "core/model/EditorDiscovery.h"
#include "core/model/ExternalUtilityKind.h"
#include "core/model/FileTypeProbe.h"
#include "core/model/Route.h"
#include "core/model/RouteStoreState.h"
#include "core/model/SampleType.h"
#include "core/model/TypeOverlap.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class TypeSystem;
class Workspace;

// The routes in memory and their mirror on disk. The only writer of routes:
// every change goes through one of the operations below and is written at once,
// unless the file could not be read, in which case nothing is written until a
// reload reads it again.
class RouteStore {
public:
    using State = RouteStoreState;
    using ChangeHandler = std::function<void()>;

    // readOnly: loads, discovers and decides in memory like the owner does, but
    // creates and writes nothing and refuses every change. For the processes
    // that only look (`routes`, `explain`, `check`) while another may own the file.
    enum class Access { readWrite, readOnly };

    // What reloadIfChanged() found.
    enum class Reload {
        unchanged,   // the file is the one last read or written
        reloaded,    // read and decoded; its routes replaced those in memory
        failed,      // could not be read or decoded; the routes in memory stay
        stillFailing // as `failed`, but the file could not be read before either
    };

    // Loads (or creates) the routes file at `filePath`; without one, the default
    // location is used and, unless read-only, its folder created.
    RouteStore(const TypeSystem& types, const Workspace& workspace,
               std::optional<QString> filePath = std::nullopt, Access access = Access::readWrite);

    // Queries.
    QList<Route> routes() const { return m_routes; }
    const QString& filePath() const { return m_filePath; }
    QUrl fileURL() const { return QUrl::fromLocalFile(m_filePath); }
    bool isReadOnly() const { return m_access == Access::readOnly; }
    bool loadFailed() const { return m_loadFailed; }
    const std::optional<QString>& loadFailureMessage() const { return m_loadFailureMessage; }
    // Why the most recent write failed; none after a successful one.
    const std::optional<QString>& lastWriteError() const { return m_lastWriteError; }
    std::optional<Route> routeForFile(const QUrl& url) const;
    std::optional<Route> routeWithID(const QString& id) const;
    std::optional<TypeOverlap> overlap(const QString& extension,
                                       const std::optional<QString>& typeIdentifier) const;

    // Writes the whole document atomically; does nothing after a failed load
    // or in a read-only store. False when nothing was written (the reason is
    // in lastWriteError() when a write was tried and failed).
    bool save();

    // Reads the file again when something other than this store changed it
    // since it was last read or written. A reload that decodes replaces the
    // routes (and makes the store writable again after a failed load); one that
    // fails keeps the routes in memory and stops all writing until a later
    // reload succeeds, so the damaged file is never written over.
    // Every change checks the file first, so a change is made on top of what
    // the file holds now, never on top of routes it no longer has.
    Reload reloadIfChanged();
    // Hears of every reload that found the file changed.
    void setReloadHandler(std::function<void(Reload)> handler) {
        m_reloadHandler = std::move(handler);
    }

    // Called after every change that reached the routes, written or not.
    int addChangeHandler(ChangeHandler handler);
    // True while change handlers hear of routes read again from disk (a hand
    // edit, a file put back), false for the store's own operations.
    bool isReportingReload() const { return m_reportingReload; }
    void removeChangeHandler(int token);

    // Changes. An unknown route id changes and writes nothing.
    void setEnabled(const QString& routeID, const QString& bundleID, bool enabled);
    void setAllEditorsEnabled(const QString& routeID, bool enabled);
    void setUtilityEnabled(const QString& routeID, PickerUtilityKind kind, bool enabled);
    void setTerminalBundleID(const QString& routeID, const std::optional<QString>& bundleID);
    void setExternalUtilityEnabled(const QString& routeID, ExternalUtilityKind kind,
                                   const QString& id, const QString& name, bool enabled);
    void setScriptUtilityEnabled(const QString& routeID, const QString& relativePath,
                                 const QString& name, bool enabled);
    void toggleFolder(const QString& routeID, const QString& bundleID);
    void setURLSchemeTemplate(const QString& routeID, const QString& bundleID,
                              const std::optional<QString>& urlTemplate);
    void addEditor(const QString& routeID, const QString& bundleID, const QString& name);
    void removeEditor(const QString& routeID, const QString& bundleID);
    void setDefaultActionKind(const QString& routeID, RuleActionKind kind);
    void setDefaultOpenBundleIDs(const QString& routeID, const QStringList& bundleIDs);
    void upsertRule(const QString& routeID, const Rule& rule);
    void removeRule(const QString& routeID, const QString& ruleID);
    void moveRule(const QString& routeID, qsizetype from, qsizetype to);
    void setRuleEnabled(const QString& routeID, const QString& ruleID, bool enabled);
    void setDefaultPreferenceOrder(const QString& routeID, const QStringList& order);
    void setActiveBundleID(const QString& routeID, const std::optional<QString>& bundleID);
    void rescan(const QString& routeID);
    void removeCustomRoute(const QString& routeID);

    // Teaching new types.
    std::optional<Route> addCustomRoute(const SampleType& sample);
    std::optional<Route> addTypeToRoute(const QString& routeID, const QString& extension,
                                        const std::optional<QString>& typeIdentifier);

private:
    // The routes of the file merged into the built-in routes; false (with the
    // reason) when the file exists but cannot be read or decoded.
    bool readRoutes(QList<Route>& routes, QString& failure);
    void load();
    QList<qint64> diskIdentity() const;
    void rememberDiskIdentity();
    Reload reread();
    // False when the store may not change (read-only); reloads a changed file first.
    bool prepareChange();
    // Rediscovered editors, then the preference order restored.
    Route rescanned(const Route& route) const;
    qsizetype indexOf(const QString& routeID) const;
    // Applies `change` to a copy of the route; when it returns true the copy
    // replaces the route and the store saves and notifies.
    bool modify(const QString& routeID, const std::function<bool(Route&)>& change);
    void changed();

    EditorDiscovery m_discovery;
    FileTypeProbe m_probe;
    Access m_access;
    QString m_filePath;
    QList<Route> m_routes;
    // What the file was when this store last read or wrote it (device, inode,
    // size, modification time); empty while there was no file.
    QList<qint64> m_diskIdentity;
    bool m_loadFailed = false;
    std::optional<QString> m_loadFailureMessage;
    std::optional<QString> m_lastWriteError;
    QList<std::pair<int, ChangeHandler>> m_changeHandlers;
    std::function<void(Reload)> m_reloadHandler;
    bool m_reportingReload = false;
    int m_nextHandlerToken = 1;
};
