#pragma once

#include "core/platform/Workspace.h"

#include <QHash>
#include <functional>

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
    struct DefaultCall {
        QString location;
        QString type;
        bool operator==(const DefaultCall&) const = default;
    };

    QString install(const App& app);
    void uninstall(const QString& bundleID);
    static QString locationOf(const QString& bundleID);
    // Failures the next calls report, keyed by location; absent means success.
    void failOpeningWith(const QString& location, const QString& description) {
        m_openFailures.insert(location, description);
    }
    void refuseDefaultFor(const QString& type, const QString& description) {
        m_defaultFailures.insert(type, description);
    }
    void setDefaultForScheme(const QString& scheme, const QString& bundleID) {
        m_schemeDefaults.insert(scheme, bundleID);
    }

    const QList<OpenCall>& openCalls() const { return m_openCalls; }
    const QList<DefaultCall>& defaultCalls() const { return m_defaultCalls; }
    const QList<QUrl>& openedURLs() const { return m_openedURLs; }

    QStringList editorRoleHandlers(const QString& type) const override;
    QStringList viewerRoleHandlers(const QString& type) const override;
    QStringList applicationsForType(const QString& type) const override;
    QStringList applicationsForURL(const QUrl& url) const override;
    std::optional<QString> locationForBundleID(const QString& bundleID) const override;
    std::optional<QString> bundleIDForLocation(const QString& location) const override;
    QString applicationName(const QString& location) const override;
    QString applicationIconName(const QString& location) const override;
    QList<InstalledApplication> installedApplications() const override {
        QList<InstalledApplication> all;
        for (const App& app : m_apps)
            all.append({app.bundleID, app.name, app.iconName});
        return all;
    }
    std::optional<QString> ownBundleID() const override { return m_own; }
    std::optional<QString> defaultApplicationForScheme(const QString& scheme) const override;
    void setDefaultApplication(const QString& location, const QString& type,
                               Completion completion) override;
    void openURLs(const QList<QUrl>& urls, const QString& location, Completion completion) override;
    bool openURL(const QUrl& url) override;
    bool startAccessingSecurityScopedResource(const QUrl& url) override {
        m_startedAccessing.append(url);
        return true;
    }
    void stopAccessingSecurityScopedResource(const QUrl& url) override {
        m_stoppedAccessing.append(url);
    }
    const QList<QUrl>& startedAccessing() const { return m_startedAccessing; }
    const QList<QUrl>& stoppedAccessing() const { return m_stoppedAccessing; }

private:
    const App* appAt(const QString& location) const;
    // The ids, or the locations, of the applications passing `test`.
    QStringList applications(const std::function<bool(const App&)>& test, bool locations) const;

    QList<App> m_apps;
    std::optional<QString> m_own = QStringLiteral("io.corvanta.Corvanta");
    QHash<QString, QString> m_openFailures;
    QHash<QString, QString> m_defaultFailures;
    QHash<QString, QString> m_schemeDefaults;
    QList<OpenCall> m_openCalls;
    QList<DefaultCall> m_defaultCalls;
    QList<QUrl> m_openedURLs;
    QList<QUrl> m_startedAccessing;
    QList<QUrl> m_stoppedAccessing;
};
