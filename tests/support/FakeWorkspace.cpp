#include "tests/support/FakeWorkspace.h"

#include <algorithm>

QString FakeWorkspace::locationOf(const QString& bundleID) {
    return QStringLiteral("/apps/") + bundleID + QStringLiteral(".desktop");
}

QString FakeWorkspace::install(const App& app) {
    uninstall(app.bundleID);
    m_apps.append(app);
    return locationOf(app.bundleID);
}

void FakeWorkspace::uninstall(const QString& bundleID) {
    m_apps.removeIf([&](const App& a) { return a.bundleID == bundleID; });
}

const FakeWorkspace::App* FakeWorkspace::appAt(const QString& location) const {
    for (const App& a : m_apps) {
        if (locationOf(a.bundleID) == location)
            return &a;
    }
    return nullptr;
}

QStringList FakeWorkspace::editorRoleHandlers(const QString& type) const {
    QStringList ids;
    for (const App& a : m_apps) {
        if (a.editsTypes.contains(type))
            ids.append(a.bundleID);
    }
    return ids;
}

QStringList FakeWorkspace::viewerRoleHandlers(const QString& type) const {
    QStringList ids;
    for (const App& a : m_apps) {
        if (a.viewsTypes.contains(type) && !a.editsTypes.contains(type))
            ids.append(a.bundleID);
    }
    return ids;
}

QStringList FakeWorkspace::applicationsForType(const QString& type) const {
    QStringList locations;
    for (const App& a : m_apps) {
        if (a.editsTypes.contains(type))
            locations.append(locationOf(a.bundleID));
    }
    return locations;
}

QStringList FakeWorkspace::applicationsForURL(const QUrl& url) const {
    QStringList locations;
    for (const App& a : m_apps) {
        if (a.urlSchemes.contains(url.scheme()))
            locations.append(locationOf(a.bundleID));
    }
    return locations;
}

std::optional<QString> FakeWorkspace::locationForBundleID(const QString& bundleID) const {
    for (const App& a : m_apps) {
        if (a.bundleID == bundleID)
            return locationOf(a.bundleID);
    }
    return std::nullopt;
}

std::optional<QString> FakeWorkspace::bundleIDForLocation(const QString& location) const {
    if (const App* a = appAt(location))
        return a->bundleID;
    return std::nullopt;
}

QString FakeWorkspace::applicationName(const QString& location) const {
    const App* a = appAt(location);
    return a ? a->name : QString();
}

QString FakeWorkspace::applicationIconName(const QString& location) const {
    const App* a = appAt(location);
    return a ? a->iconName : QString();
}

std::optional<QString> FakeWorkspace::defaultApplicationForScheme(const QString& scheme) const {
    auto it = m_schemeDefaults.find(scheme);
    if (it == m_schemeDefaults.end())
        return std::nullopt;
    return *it;
}

std::optional<QString> FakeWorkspace::defaultFor(const QString& type) const {
    auto it = m_defaults.find(type);
    if (it == m_defaults.end())
        return std::nullopt;
    return *it;
}

void FakeWorkspace::setDefaultApplication(const QString& location, const QString& type,
                                          Completion completion) {
    m_defaultCalls.append({location, type});
    auto failure = m_defaultFailures.find(type);
    if (failure != m_defaultFailures.end()) {
        completion(*failure);
        return;
    }
    m_defaults.insert(type, bundleIDForLocation(location).value_or(location));
    completion(std::nullopt);
}

void FakeWorkspace::openURLs(const QList<QUrl>& urls, const QString& location,
                             Completion completion) {
    m_openCalls.append({urls, location});
    auto failure = m_openFailures.find(location);
    completion(failure == m_openFailures.end() ? std::nullopt : std::optional(*failure));
}

bool FakeWorkspace::openURL(const QUrl& url) {
    m_openedURLs.append(url);
    return m_openURLResult;
}
