#pragma once

#include "core/platform/Workspace.h"

#include <QHash>

// Installed applications held in memory. An application is registered with its
// bundle id, a location "/apps/<id>.desktop" and the types it edits or views.
class FakeWorkspace : public Workspace {
public:
    struct App {
        QString bundleID;
        QString name;
        QStringList editsTypes;
        QStringList viewsTypes;
        QStringList urlSchemes;
        QString iconName;
    };
    struct OpenCall {
        QList<QUrl> urls;
        QString location;
        bool operator==(const OpenCall&) const = default;
    };

    QString install(const App& app) {
        uninstall(app.bundleID);
        m_apps.append(app);
        return locationOf(app.bundleID);
    }
    void uninstall(const QString& bundleID) {
        m_apps.removeIf([&](const App& a) { return a.bundleID == bundleID; });
    }
    static QString locationOf(const QString& bundleID) { return "/apps/" + bundleID + ".desktop"; }
    // Failures the next calls report, keyed by location or type; absent means success.
    QHash<QString, QString> openFailures, defaultFailures;
    QHash<QString, QString> schemeDefaults;
    // What was asked of the desktop, in order; the types it was made the default for.
    const QList<OpenCall>& openCalls() const { return m_openCalls; }
    const QStringList& defaultCalls() const { return m_defaultTypes; }
    QList<QUrl> openedURLs, startedAccessing, stoppedAccessing;

    QStringList editorRoleHandlers(const QString& type) const override {
        return ids([&](const App& a) { return a.editsTypes.contains(type); });
    }
    QStringList viewerRoleHandlers(const QString& type) const override {
        return ids([&](const App& a) {
            return a.viewsTypes.contains(type) && !a.editsTypes.contains(type);
        });
    }
    QStringList applicationsForType(const QString& type) const override {
        return locations(editorRoleHandlers(type));
    }
    QStringList applicationsForURL(const QUrl& url) const override {
        return locations(ids([&](const App& a) { return a.urlSchemes.contains(url.scheme()); }));
    }
    std::optional<QString> locationForBundleID(const QString& bundleID) const override {
        return found(locations(ids([&](const App& a) { return a.bundleID == bundleID; })).value(0));
    }
    std::optional<QString> bundleIDForLocation(const QString& location) const override {
        return found(appAt(location).bundleID);
    }
    QString applicationName(const QString& location) const override { return appAt(location).name; }
    QString applicationIconName(const QString& location) const override {
        return appAt(location).iconName;
    }
    QList<InstalledApplication> installedApplications() const override {
        QList<InstalledApplication> all;
        for (const App& app : m_apps)
            all.append({app.bundleID, app.name, app.iconName});
        return all;
    }
    std::optional<QString> ownBundleID() const override { return "io.corvanta.Corvanta"; }
    std::optional<QString> defaultApplicationForScheme(const QString& scheme) const override {
        return valueOf(schemeDefaults, scheme);
    }
    void setDefaultApplication(const QString&, const QString& type,
                               Completion completion) override {
        m_defaultTypes.append(type);
        completion(valueOf(defaultFailures, type));
    }
    void openURLs(const QList<QUrl>& urls, const QString& location,
                  Completion completion) override {
        m_openCalls.append({urls, location});
        completion(valueOf(openFailures, location));
    }
    bool openURL(const QUrl& url) override {
        openedURLs.append(url);
        return true;
    }
    bool startAccessingSecurityScopedResource(const QUrl& url) override {
        startedAccessing.append(url);
        return true;
    }
    void stopAccessingSecurityScopedResource(const QUrl& url) override {
        stoppedAccessing.append(url);
    }

private:
    static std::optional<QString> valueOf(const QHash<QString, QString>& map, const QString& key) {
        return map.contains(key) ? std::optional(map.value(key)) : std::nullopt;
    }
    static std::optional<QString> found(const QString& text) {
        return text.isEmpty() ? std::nullopt : std::optional(text);
    }
    // The application installed at `location`; one without an id when there is none.
    App appAt(const QString& location) const {
        for (const App& a : m_apps)
            if (locationOf(a.bundleID) == location)
                return a;
        return {};
    }
    // The ids of the applications passing `test`, in the order they were installed.
    QStringList ids(const std::function<bool(const App&)>& test) const {
        QStringList found;
        for (const App& a : m_apps)
            if (test(a))
                found.append(a.bundleID);
        return found;
    }
    static QStringList locations(QStringList ids) {
        for (QString& id : ids)
            id = locationOf(id);
        return ids;
    }

    QList<App> m_apps;
    QList<OpenCall> m_openCalls;
    QStringList m_defaultTypes;
};
