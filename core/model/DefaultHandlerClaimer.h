#pragma once

#include "core/platform/Alerts.h"

#include <QString>
#include <QStringList>
#include <optional>

class Preferences;
class TypeSystem;
class Workspace;

// Makes Corvanta the default application for content types, never for link
// types, remembering the user's browser before HTML is taken over.
class DefaultHandlerClaimer {
public:
    DefaultHandlerClaimer(const TypeSystem& types, Workspace& workspace, Preferences& preferences,
                          Alerts& alerts);

    // Corvanta's own installed application (its desktop entry), when the system finds it.
    std::optional<QString> ownLocation() const;
    bool runsFromApplicationBundle() const { return ownLocation().has_value(); }

    // `types` without link types and their general supertypes, in order.
    QStringList claimableContentTypes(const QStringList& types) const;
    // Asks the workspace for each claimable type; a refusal is reported in an alert.
    void claimDefaultHandler(const QStringList& types);
    // Stores the current default browser for handing web links back to it.
    void rememberDefaultBrowser();

    // The alert for a refused claim of `type`.
    AlertRequest refusalAlert(const QString& type, const QString& errorDescription) const;

private:
    bool isHTMLType(const QString& type) const;

    const TypeSystem& m_types;
    Workspace& m_workspace;
    Preferences& m_preferences;
    Alerts& m_alerts;
};
