#pragma once

#include "core/model/Route.h"

class TypeSystem;
class Workspace;

// Finds the applications that can open a route's types and turns them into the
// route's editor list, carrying over the user's settings per application.
class EditorDiscovery {
public:
    EditorDiscovery(const TypeSystem& types, const Workspace& workspace);

    // The route with a fresh `editors` list and `activeBundleID`; nothing else changes.
    Route rediscoverEditors(const Route& route) const;

private:
    // The application's display name; the location's file name when it has none.
    QString nameOf(const QString& location) const;
    void addBrowsers(const Route& before, QList<Editor>& editors) const;

    const TypeSystem& m_types;
    const Workspace& m_workspace;
};
