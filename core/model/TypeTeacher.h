#pragma once

#include "core/model/FileTypeProbe.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class Alerts;
class DefaultHandlerClaimer;
class RouteStore;
class TypeSystem;

// The teaching flow for sample files the routes do not cover.
class TypeTeaching {
public:
    virtual ~TypeTeaching() = default;
    // The id of the route that now covers the sample's type; none when nothing
    // was taught (no extension, or the user cancelled).
    virtual std::optional<QString> addTypeFromURL(const QUrl& url) = 0;
    // Shown by addTypeFromURL for a sample without an extension; callers that
    // teach several files show it once themselves after skipping such files.
    virtual void showMissingExtensionAlert() = 0;
};

// Teaches Corvanta a file type from one sample file: shows the existing route,
// extends a route that knows the type in part, or creates a custom route; then
// claims the type and opens the Settings window on the route.
class TypeTeacher : public TypeTeaching {
public:
    using ShowSettings = std::function<void(const QString& routeID)>;

    TypeTeacher(RouteStore& store, const TypeSystem& types, Alerts& alerts,
                DefaultHandlerClaimer& claimer, ShowSettings showSettings);

    std::optional<QString> addTypeFromURL(const QUrl& url) override;
    void showMissingExtensionAlert() override;

private:
    void showFolderAlert(const QUrl& url);
    std::optional<QString> addToExistingRoute(const SampleType& sample, const Route& route);
    std::optional<QString> addNewRoute(const SampleType& sample);
    void claimAndShow(const SampleType& sample, const QString& routeID);

    RouteStore& m_store;
    FileTypeProbe m_probe;
    Alerts& m_alerts;
    DefaultHandlerClaimer& m_claimer;
    ShowSettings m_showSettings;
};
