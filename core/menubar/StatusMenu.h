#pragma once

#include "core/model/Route.h"

#include <QIcon>

class QMenu;
class StatusMenuTarget;
class Workspace;

// Fills the tray icon's menu from the current routes each time it opens: one
// submenu per route (sorted by name) with its editors, then the application's
// commands.
class StatusMenu {
public:
    StatusMenu(StatusMenuTarget& target, const Workspace& workspace);

    // Replaces everything in `menu`.
    void rebuild(QMenu& menu) const;
    // A menu title shows "&" as written, not as the mnemonic marker.
    static QString menuTitle(QString text);

private:
    QMenu* routeMenu(const Route& route, QMenu& parent) const;
    QIcon editorIcon(const QString& bundleID) const;
    void addUtilityMenus(const Route& route, QMenu& submenu) const;

    StatusMenuTarget& m_target;
    const Workspace& m_workspace;
};
