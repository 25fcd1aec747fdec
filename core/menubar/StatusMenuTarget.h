#pragma once

#include "core/history/RoutingHistoryEntry.h"
#include "core/model/Route.h"
#include "core/utilities/ExternalUtilityRef.h"

#include <QList>

// What the status menu reads and whom its items call (the application delegate).
class StatusMenuTarget {
public:
    virtual ~StatusMenuTarget() = default;

    virtual QList<Route> statusMenuRoutes() const = 0;
    virtual bool hasCheckForUpdatesHandler() const = 0;
    // Corvanta's own desktop entry is installed where the desktop finds it.
    virtual bool runsFromApplicationBundle() const = 0;

    virtual void selectEditor(const QString& routeID, const QString& bundleID) = 0;
    // Flips "Open Enclosing Folder" of the route's active editor.
    virtual void toggleFolder(const QString& routeID) = 0;
    // Runs a Shortcut, Service or script on the file manager's selection.
    virtual void runExternalUtilityOnSelection(const ExternalUtilityRef& ref) = 0;
    virtual void editRulesForRoute(const QString& routeID) = 0;
    virtual void makeRouteDefaultHandler(const QString& routeID) = 0;
    virtual void openSettings() = 0;
    virtual void showOnboarding() = 0;
    // The drop palette near the tray, for a file to teach its type.
    virtual void showDropPalette() = 0;
    virtual void checkForUpdatesFromStatusMenu() = 0;
    virtual void showAbout() = 0;
    virtual void terminate() = 0;

    // The routing history, newest first, and what "Recently Routed" does with a file.
    virtual QList<RoutingHistoryEntry> recentlyRouted() const { return {}; }
    // Routed again, as a double-click would.
    virtual void openRoutedAgain(const QByteArray& path) { Q_UNUSED(path); }
    virtual void openRoutedWith(const QByteArray& path, const QString& bundleID) {
        Q_UNUSED(path);
        Q_UNUSED(bundleID);
    }
    virtual void showWhyRouted(const RoutingHistoryEntry& entry) { Q_UNUSED(entry); }
};
