#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

// One installed application as an application chooser lists it.
struct InstalledApplication {
    QString bundleID;
    QString name;
    // Empty when it has none.
    QString iconName;
    bool operator==(const InstalledApplication&) const = default;
};

// Installed applications, their registrations for types and URL schemes, and
// launching. Applications are named by bundle identifier (the desktop file ID on
// Linux) or by location (the path of their desktop entry).
class Workspace {
public:
    virtual ~Workspace() = default;

    // Bundle identifiers registered as editors of `type` (the type itself is named).
    virtual QStringList editorRoleHandlers(const QString& type) const = 0;
    // Bundle identifiers registered only as viewers (they name a parent type).
    virtual QStringList viewerRoleHandlers(const QString& type) const = 0;
    // Locations of every application that can open `type`.
    virtual QStringList applicationsForType(const QString& type) const = 0;
    // Locations of the applications that can open `url` (browsers for http/https).
    virtual QStringList applicationsForURL(const QUrl& url) const = 0;
    virtual std::optional<QString> locationForBundleID(const QString& bundleID) const = 0;
    virtual std::optional<QString> bundleIDForLocation(const QString& location) const = 0;
    // Display name of the application at `location` (its localised name).
    virtual QString applicationName(const QString& location) const = 0;
    // Icon name of the application at `location`; empty when it has none.
    virtual QString applicationIconName(const QString& location) const = 0;
    // The applications a user may choose from (those the desktop shows in its
    // menus), in no particular order.
    virtual QList<InstalledApplication> installedApplications() const { return {}; }
    // Corvanta's own bundle identifier; none when it cannot be read.
    virtual std::optional<QString> ownBundleID() const = 0;
    // The application the system opens `scheme` URLs with.
    virtual std::optional<QString> defaultApplicationForScheme(const QString& scheme) const = 0;

    using Completion = std::function<void(const std::optional<QString>& errorDescription)>;
    // Makes the application at `location` the default for `type`. The completion
    // runs on the main thread, with the system's error description on failure.
    virtual void setDefaultApplication(const QString& location, const QString& type,
                                       Completion completion) = 0;
    // Opens `urls` with the application at `location`; completion as above.
    virtual void openURLs(const QList<QUrl>& urls, const QString& location,
                          Completion completion) = 0;
    // Opens `url` with the system's handler for it; false when nothing took it.
    virtual bool openURL(const QUrl& url) = 0;

    // Sandboxed access to files the system hands in. Linux has no such sandbox,
    // so these do nothing there; the routing pipeline still ends access to every
    // file it was given once it is done with it.
    virtual bool startAccessingSecurityScopedResource(const QUrl& url) {
        Q_UNUSED(url);
        return false;
    }
    virtual void stopAccessingSecurityScopedResource(const QUrl& url) { Q_UNUSED(url); }
};
