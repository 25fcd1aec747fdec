#include "tests/support/FakeWorkspace.h"

#include <algorithm>

namespace {
template <class Map> std::optional<QString> valueOf(const Map& map, const QString& key) {
    const auto it = map.constFind(key);
    return it == map.constEnd() ? std::nullopt : std::optional<QString>(*it);
}
} // namespace

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
    const auto it = std::find_if(m_apps.cbegin(), m_apps.cend(),
                                 [&](const App& a) { return locationOf(a.bundleID) == location; });
    return it == m_apps.cend() ? nullptr : &*it;
}

QStringList FakeWorkspace::applications(const std::function<bool(const App&)>& test,
                                        bool locations) const {
    QStringList found;
    for (const App& a : m_apps) {
        if (test(a))
            found.append(locations ? locationOf(a.bundleID) : a.bundleID);
    }
    return found;
}

QStringList FakeWorkspace::editorRoleHandlers(const QString& type) const {
    return applications([&](const App& a) { return a.editsTypes.contains(type); }, false);
}

QStringList FakeWorkspace::viewerRoleHandlers(const QString& type) const {
    return applications(
        [&](const App& a) { return a.viewsTypes.contains(type) && !a.editsTypes.contains(type); },
        false);
}

QStringList FakeWorkspace::applicationsForType(const QString& type) const {
    return applications([&](const App& a) { return a.editsTypes.contains(type); }, true);
}

QStringList FakeWorkspace::applicationsForURL(const QUrl& url) const {
    return applications([&](const App& a) { return a.urlSchemes.contains(url.scheme()); }, true);
}

std::optional<QString> FakeWorkspace::locationForBundleID(const QString& bundleID) const {
    if (applications([&](const App& a) { return a.bundleID == bundleID; }, true).isEmpty())
        return std::nullopt;
    return locationOf(bundleID);
}

std::optional<QString> FakeWorkspace::bundleIDForLocation(const QString& location) const {
    const App* a = appAt(location);
    return a ? std::optional(a->bundleID) : std::nullopt;
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
    return valueOf(m_schemeDefaults, scheme);
}

void FakeWorkspace::setDefaultApplication(const QString& location, const QString& type,
                                          Completion completion) {
    m_defaultCalls.append({location, type});
    if (const auto failure = valueOf(m_defaultFailures, type))
        return completion(failure);
    completion(std::nullopt);
}

void FakeWorkspace::openURLs(const QList<QUrl>& urls, const QString& location,
                             Completion completion) {
    m_openCalls.append({urls, location});
    completion(valueOf(m_openFailures, location));
}

bool FakeWorkspace::openURL(const QUrl& url) {
    m_openedURLs.append(url);
    return true;
}
