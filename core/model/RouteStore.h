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
// unless the file could not be read at load, in which case nothing is ever written.
class RouteStore {
public:
    using State = RouteStoreState;
    using ChangeHandler = std::function<void()>;

    // Loads (or creates) the routes file at `filePath`; without one, the default
    // location is used and its folder created.
    RouteStore(const TypeSystem& types, const Workspace& workspace,
               std::optional<QString> filePath = std::nullopt);

    // Queries.
    QList<Route> routes() const { return m_routes; }
    const QString& filePath() const { return m_filePath; }
    QUrl fileURL() const { return QUrl::fromLocalFile(m_filePath); }
    bool loadFailed() const { return m_loadFailed; }
    const std::optional<QString>& loadFailureMessage() const { return m_loadFailureMessage; }
    // Why the most recent write failed; none after a successful one.
    const std::optional<QString>& lastWriteError() const { return m_lastWriteError; }
    std::optional<Route> routeForFile(const QUrl& url) const;
    std::optional<Route> routeWithID(const QString& id) const;
    std::optional<TypeOverlap> overlap(const QString& extension,
                                       const std::optional<QString>& typeIdentifier) const;

    // Writes the whole document atomically; does nothing after a failed load.
    // False when the write failed (the reason is in lastWriteError()).
    bool save();

    // Called after every change that reached the routes, written or not.
    int addChangeHandler(ChangeHandler handler);
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
    void load();
    // Rediscovered editors, then the preference order restored.
    Route rescanned(const Route& route) const;
    qsizetype indexOf(const QString& routeID) const;
    // Applies `change` to a copy of the route; when it returns true the copy
    // replaces the route and the store saves and notifies.
    bool modify(const QString& routeID, const std::function<bool(Route&)>& change);
    void changed();

    EditorDiscovery m_discovery;
    FileTypeProbe m_probe;
    QString m_filePath;
    QList<Route> m_routes;
    bool m_loadFailed = false;
    std::optional<QString> m_loadFailureMessage;
    std::optional<QString> m_lastWriteError;
    QList<std::pair<int, ChangeHandler>> m_changeHandlers;
    int m_nextHandlerToken = 1;
};
