#include "core/model/RouteStore.h"

#include "core/model/BuiltInRoutes.h"
#include "core/model/LegacyPathRules.h"
#include "core/model/PathExtension.h"
#include "core/model/RoutesFileCodec.h"
#include "core/model/RoutesFileLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
Editor* findEditor(Route& route, const QString& bundleID) {
    for (Editor& editor : route.editors) {
        if (editor.bundleID == bundleID)
            return &editor;
    }
    return nullptr;
}

Rule* findRule(Route& route, const QString& ruleID) {
    for (Rule& rule : route.rules) {
        if (rule.id == ruleID)
            return &rule;
    }
    return nullptr;
}

std::optional<QString> firstEnabledBundleID(const Route& route) {
    const QList<Editor> enabled = route.enabledEditors();
    if (enabled.isEmpty())
        return std::nullopt;
    return enabled.first().bundleID;
}

// Only a path that names nothing is missing. One that cannot even be looked at
// (a loop of symbolic links, a folder on the way that may not be searched) is
// there but unreadable: taking it for missing would put a new file in its place.
bool isMissing(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

QString loadFailureMessageFor(const QString& reason) {
    return QStringLiteral("Could not read saved settings (") + reason + QStringLiteral("). ") +
           QStringLiteral("The file was left unchanged; using built-in defaults for this session.");
}
} // namespace

RouteStore::RouteStore(const TypeSystem& types, const Workspace& workspace,
                       std::optional<QString> filePath, Access access)
    : m_discovery(types, workspace)
    , m_probe(types)
    , m_access(access) {
    if (filePath)
        m_filePath = *filePath;
    else if (access == Access::readOnly)
        m_filePath = RoutesFileLocation::defaultFilePath();
    else
        m_filePath = RoutesFileLocation::prepareDefaultFilePath();
    load();
}

bool RouteStore::readRoutes(QList<Route>& routes, QString& failure) {
    QList<Route> stored;
    if (!isMissing(m_filePath)) {
        QFile file(m_filePath);
        std::optional<QString> problem;
        QByteArray data;
        const QFileInfo info(m_filePath);
        // Opening a FIFO or device would block or read without end.
        if (info.exists() && !info.isFile() && !info.isDir()) {
            problem = QStringLiteral("not a regular file");
        } else if (!file.open(QIODevice::ReadOnly)) {
            problem = file.errorString();
        } else {
            data = file.readAll();
            if (file.error() != QFileDevice::NoError)
                problem = file.errorString();
        }
        if (!problem) {
            auto decoded = RoutesFileCodec::decode(data);
            if (const DecodeError* error = std::get_if<DecodeError>(&decoded))
                problem = error->description();
            else
                stored = std::get<State>(std::move(decoded)).routes;
        }
        if (problem) {
            failure = *problem;
            stored.clear();
        }
    }
    for (Route& route : stored)
        LegacyPathRules::convert(route);

    routes.clear();
    for (const Route& builtIn : BuiltInRoutes::all()) {
        auto match = std::find_if(stored.begin(), stored.end(),
                                  [&builtIn](const Route& r) { return r.id == builtIn.id; });
        routes.append(match != stored.end() ? BuiltInRoutes::merge(builtIn, *match) : builtIn);
    }
    for (const Route& route : stored) {
        if (route.isCustom && !BuiltInRoutes::isBuiltInID(route.id))
            routes.append(route);
    }

    for (Route& route : routes) {
        route = m_discovery.rediscoverEditors(route);
        route.normalizeUtilities();
        route.normalizePreferenceOrder();
    }
    sortRoutesByName(routes);
    return failure.isEmpty();
}

void RouteStore::load() {
    m_loadFailed = false;
    m_loadFailureMessage.reset();
    // Taken before reading: a change made while the file is read is seen as a
    // change by the next reloadIfChanged().
    rememberDiskIdentity();
    QString failure;
    if (!readRoutes(m_routes, failure)) {
        m_loadFailed = true;
        m_loadFailureMessage = loadFailureMessageFor(failure);
    }
    // A file that was read is rewritten in the current format; a damaged one is never touched.
    save();
}

QList<qint64> RouteStore::diskIdentity() const {
    struct stat info {};
    if (::stat(QFile::encodeName(m_filePath).constData(), &info) != 0)
        return {};
    return {qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec)};
}

void RouteStore::rememberDiskIdentity() {
    m_diskIdentity = diskIdentity();
}

RouteStore::Reload RouteStore::reloadIfChanged() {
    const Reload result = reread();
    if (result != Reload::unchanged && m_reloadHandler)
        m_reloadHandler(result);
    return result;
}

bool RouteStore::prepareChange() {
    if (m_access == Access::readOnly)
        return false;
    reloadIfChanged();
    return true;
}

RouteStore::Reload RouteStore::reread() {
    const QList<qint64> before = m_diskIdentity;
    rememberDiskIdentity();
    if (m_diskIdentity == before)
        return Reload::unchanged;
    QList<Route> routes;
    QString failure;
    if (!readRoutes(routes, failure)) {
        // The routes in memory stay; saving stops until the file reads again.
        const bool alreadyFailed = m_loadFailed;
        m_loadFailed = true;
        m_loadFailureMessage = loadFailureMessageFor(failure);
        return alreadyFailed ? Reload::stillFailing : Reload::failed;
    }
    m_loadFailed = false;
    m_loadFailureMessage.reset();
    // A file removed under the store is not written back at once: whatever
    // removed it may be about to put its own in place.
    if (routes != m_routes) {
        m_routes = routes;
        m_reportingReload = true;
        changed();
        m_reportingReload = false;
    }
    return Reload::reloaded;
}

bool RouteStore::save() {
    if (m_loadFailed || m_access == Access::readOnly)
        return false;
    // Changed on disk since it was read (a hand edit landing while the store
    // loads): writing now would undo it. The next reload takes it in.
    if (diskIdentity() != m_diskIdentity) {
        m_lastWriteError = QStringLiteral("the file was changed by another program meanwhile");
        return false;
    }
    State state;
    state.version = RoutesFileCodec::currentVersion;
    state.routes = m_routes;
    const QByteArray data = RoutesFileCodec::encode(state);

    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastWriteError = file.errorString();
        return false;
    }
    // commit() does not notice a buffered write that the disk cut short (a full
    // disk, a file size limit) and would put the truncated file in place, so the
    // buffer is flushed and checked first. Qt reports such a short write without
    // a reason; the system's reason is in errno.
    errno = 0;
    if (file.write(data) != data.size() || !file.flush()) {
        const int reason = errno;
        m_lastWriteError =
            reason != 0 ? QString::fromLocal8Bit(std::strerror(reason)) : file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        m_lastWriteError = file.errorString();
        return false;
    }
    m_lastWriteError.reset();
    // The store's own write is not a change from outside.
    rememberDiskIdentity();
    return true;
}

int RouteStore::addChangeHandler(ChangeHandler handler) {
    const int token = m_nextHandlerToken++;
    m_changeHandlers.append({token, std::move(handler)});
    return token;
}

void RouteStore::removeChangeHandler(int token) {
    m_changeHandlers.removeIf([token](const auto& entry) { return entry.first == token; });
}

void RouteStore::changed() {
    // A handler may add or remove handlers while being called.
    const auto handlers = m_changeHandlers;
    for (const auto& entry : handlers)
        entry.second();
}

qsizetype RouteStore::indexOf(const QString& routeID) const {
    for (qsizetype i = 0; i < m_routes.size(); ++i) {
        if (m_routes.at(i).id == routeID)
            return i;
    }
    return -1;
}

std::optional<Route> RouteStore::routeWithID(const QString& id) const {
    const qsizetype index = indexOf(id);
    if (index < 0)
        return std::nullopt;
    return m_routes.at(index);
}

std::optional<Route> RouteStore::routeForFile(const QUrl& url) const {
    const QString extension = pathExtension(url);
    if (extension.isEmpty())
        return std::nullopt;
    for (const Route& route : m_routes) {
        if (route.hasExtension(extension))
            return route;
    }
    return std::nullopt;
}

std::optional<TypeOverlap> RouteStore::overlap(const QString& extension,
                                               const std::optional<QString>& typeIdentifier) const {
    return m_probe.overlap(m_routes, extension, typeIdentifier);
}

Route RouteStore::rescanned(const Route& route) const {
    Route result = m_discovery.rediscoverEditors(route);
    result.normalizePreferenceOrder();
    return result;
}

bool RouteStore::modify(const QString& routeID, const std::function<bool(Route&)>& change) {
    if (!prepareChange())
        return false;
    const qsizetype index = indexOf(routeID);
    if (index < 0)
        return false;
    Route route = m_routes.at(index);
    if (!change(route))
        return false;
    m_routes[index] = std::move(route);
    save();
    changed();
    return true;
}

void RouteStore::setEnabled(const QString& routeID, const QString& bundleID, bool enabled) {
    modify(routeID, [&](Route& route) {
        Editor* editor = findEditor(route, bundleID);
        if (!editor)
            return false;
        editor->enabled = enabled;
        if (!enabled) {
            if (route.activeBundleID == bundleID)
                route.activeBundleID = firstEnabledBundleID(route);
            route.purgeEditorReferences(bundleID);
        }
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::setAllEditorsEnabled(const QString& routeID, bool enabled) {
    modify(routeID, [&](Route& route) {
        QStringList ids;
        for (Editor& editor : route.editors) {
            ids.append(editor.bundleID);
            editor.enabled = enabled;
        }
        if (enabled) {
            if (!route.activeEditor())
                route.activeBundleID = route.editors.isEmpty()
                                           ? std::nullopt
                                           : std::optional(route.editors.first().bundleID);
        } else {
            for (const QString& id : ids)
                route.purgeEditorReferences(id);
            route.activeBundleID.reset();
        }
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::setUtilityEnabled(const QString& routeID, PickerUtilityKind kind, bool enabled) {
    modify(routeID, [&](Route& route) {
        route.normalizeUtilities();
        for (PickerUtility& utility : route.utilities) {
            if (utility.kind == kind)
                utility.enabled = enabled;
        }
        return true;
    });
}

void RouteStore::setTerminalBundleID(const QString& routeID,
                                     const std::optional<QString>& bundleID) {
    modify(routeID, [&](Route& route) {
        route.normalizeUtilities();
        QString terminal = bundleID.value_or(QString()).trimmed();
        if (terminal.isEmpty())
            terminal = defaultTerminalBundleID();
        for (PickerUtility& utility : route.utilities) {
            if (utility.kind == PickerUtilityKind::openParentInTerminal)
                utility.terminalBundleID = terminal;
        }
        return true;
    });
}

void RouteStore::setExternalUtilityEnabled(const QString& routeID, ExternalUtilityKind kind,
                                           const QString& id, const QString& name, bool enabled) {
    if (kind == ExternalUtilityKind::script)
        return;
    modify(routeID, [&](Route& route) {
        QList<EnabledExternalUtility>& list =
            kind == ExternalUtilityKind::shortcut ? route.enabledShortcuts : route.enabledServices;
        list.removeIf([&id](const EnabledExternalUtility& u) { return u.id == id; });
        if (enabled)
            list.append({id, name});
        return true;
    });
}

void RouteStore::setScriptUtilityEnabled(const QString& routeID, const QString& relativePath,
                                         const QString& name, bool enabled) {
    modify(routeID, [&](Route& route) {
        route.enabledScripts.removeIf([&relativePath](const EnabledScriptUtility& u) {
            return u.relativePath == relativePath;
        });
        if (enabled)
            route.enabledScripts.append({relativePath, name});
        return true;
    });
}

void RouteStore::toggleFolder(const QString& routeID, const QString& bundleID) {
    modify(routeID, [&](Route& route) {
        Editor* editor = findEditor(route, bundleID);
        if (!editor)
            return false;
        editor->opensFolder = !editor->opensFolder;
        return true;
    });
}

void RouteStore::setURLSchemeTemplate(const QString& routeID, const QString& bundleID,
                                      const std::optional<QString>& urlTemplate) {
    modify(routeID, [&](Route& route) {
        Editor* editor = findEditor(route, bundleID);
        if (!editor)
            return false;
        const QString trimmed = urlTemplate.value_or(QString()).trimmed();
        editor->urlSchemeTemplate = trimmed.isEmpty() ? std::nullopt : std::optional(trimmed);
        return true;
    });
}

void RouteStore::addEditor(const QString& routeID, const QString& bundleID, const QString& name) {
    modify(routeID, [&](Route& route) {
        if (findEditor(route, bundleID))
            return false;
        Editor editor;
        editor.bundleID = bundleID;
        editor.name = name;
        editor.opensFolder = false;
        editor.enabled = true;
        editor.manual = true;
        route.editors.append(editor);
        sortEditorsByName(route.editors);
        if (!route.activeBundleID)
            route.activeBundleID = bundleID;
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::removeEditor(const QString& routeID, const QString& bundleID) {
    modify(routeID, [&](Route& route) {
        const auto it =
            std::find_if(route.editors.begin(), route.editors.end(),
                         [&bundleID](const Editor& e) { return e.bundleID == bundleID; });
        if (it == route.editors.end() || !it->manual)
            return false;
        route.editors.erase(it);
        if (route.activeBundleID == bundleID)
            route.activeBundleID = firstEnabledBundleID(route);
        route.purgeEditorReferences(bundleID);
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::setDefaultActionKind(const QString& routeID, RuleActionKind kind) {
    modify(routeID, [&](Route& route) {
        route.defaultActionKind = Route::normalizedDefaultActionKind(kind);
        return true;
    });
}

void RouteStore::setDefaultOpenBundleIDs(const QString& routeID, const QStringList& bundleIDs) {
    modify(routeID, [&](Route& route) {
        if (bundleIDs.isEmpty()) {
            route.defaultOpenBundleIDs.reset();
        } else {
            route.defaultOpenBundleIDs = bundleIDs;
            route.activeBundleID = bundleIDs.first();
        }
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::upsertRule(const QString& routeID, const Rule& rule) {
    modify(routeID, [&](Route& route) {
        if (Rule* existing = findRule(route, rule.id))
            *existing = rule;
        else
            route.rules.append(rule);
        return true;
    });
}

void RouteStore::removeRule(const QString& routeID, const QString& ruleID) {
    modify(routeID, [&](Route& route) {
        route.rules.removeIf([&ruleID](const Rule& r) { return r.id == ruleID; });
        return true;
    });
}

void RouteStore::moveRule(const QString& routeID, qsizetype from, qsizetype to) {
    modify(routeID, [&](Route& route) {
        const qsizetype count = route.rules.size();
        if (from < 0 || from >= count || to < 0 || to > count)
            return false;
        const Rule rule = route.rules.takeAt(from);
        // `to` is a gap in the list before the move: the gaps after `from` shift left by one.
        const qsizetype destination =
            std::clamp<qsizetype>(from < to ? to - 1 : to, 0, route.rules.size());
        route.rules.insert(destination, rule);
        return true;
    });
}

void RouteStore::setRuleEnabled(const QString& routeID, const QString& ruleID, bool enabled) {
    modify(routeID, [&](Route& route) {
        Rule* rule = findRule(route, ruleID);
        if (!rule)
            return false;
        rule->enabled = enabled;
        return true;
    });
}

void RouteStore::setDefaultPreferenceOrder(const QString& routeID, const QStringList& order) {
    modify(routeID, [&](Route& route) {
        route.defaultPreferenceOrder = order;
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::setActiveBundleID(const QString& routeID, const std::optional<QString>& bundleID) {
    modify(routeID, [&](Route& route) {
        route.activeBundleID = bundleID;
        route.normalizePreferenceOrder();
        return true;
    });
}

void RouteStore::rescan(const QString& routeID) {
    modify(routeID, [&](Route& route) {
        route = rescanned(route);
        return true;
    });
}

void RouteStore::removeCustomRoute(const QString& routeID) {
    if (!prepareChange())
        return;
    const qsizetype index = indexOf(routeID);
    if (index < 0 || !m_routes.at(index).isCustom)
        return;
    m_routes.removeAt(index);
    save();
    changed();
}

std::optional<Route> RouteStore::addCustomRoute(const SampleType& sample) {
    if (!prepareChange() || overlap(sample.extension, sample.typeIdentifier))
        return std::nullopt;
    QStringList ids;
    for (const Route& route : m_routes)
        ids.append(route.id);

    Route route;
    route.id = FileTypeProbe::customRouteID(sample.extension, sample.typeIdentifier, ids);
    route.name = sample.displayName;
    route.extensions = {sample.extension};
    if (sample.typeIdentifier && !sample.typeIdentifier->isEmpty())
        route.probeIdentifiers = {*sample.typeIdentifier};
    route.isCustom = true;
    route.defaultActionKind = RuleActionKind::specificEditor;
    route.normalizeUtilities();
    route = rescanned(route);

    m_routes.append(route);
    sortRoutesByName(m_routes);
    save();
    changed();
    return route;
}

std::optional<Route> RouteStore::addTypeToRoute(const QString& routeID, const QString& extension,
                                                const std::optional<QString>& typeIdentifier) {
    const bool found = modify(routeID, [&](Route& route) {
        if (!route.hasExtension(extension))
            route.extensions.append(extension);
        if (typeIdentifier && !typeIdentifier->isEmpty() &&
            !route.probeIdentifiers.contains(*typeIdentifier))
            route.probeIdentifiers.append(*typeIdentifier);
        route = rescanned(route);
        return true;
    });
    if (!found)
        return std::nullopt;
    return routeWithID(routeID);
}
