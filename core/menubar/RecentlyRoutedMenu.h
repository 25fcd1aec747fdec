#pragma once

#include "core/history/RoutingHistoryEntry.h"
#include "core/model/Route.h"

class QMenu;
class StatusMenuTarget;

// The tray menu's "Recently Routed": the last files routed, each with "Open Again",
// "Open With" the route's editors and "Show Why…".
namespace RecentlyRoutedMenu {
constexpr qsizetype shown = 10;
// Adds the submenu to `menu`; nothing while no file was routed.
void add(QMenu& menu, const QList<RoutingHistoryEntry>& newestFirst, const QList<Route>& routes,
         StatusMenuTarget& target);
} // namespace RecentlyRoutedMenu
