#include "core/menubar/RecentlyRoutedMenu.h"

#include "core/menubar/StatusMenu.h"
#include "core/menubar/StatusMenuTarget.h"

#include <QFileInfo>
#include <QMenu>
#include <QSet>

void RecentlyRoutedMenu::add(QMenu& menu, const QList<RoutingHistoryEntry>& newestFirst,
                             const QList<Route>& routes, StatusMenuTarget& target) {
    if (newestFirst.isEmpty())
        return;
    QMenu* recent = menu.addMenu(QStringLiteral("Recently Routed"));
    QSet<QByteArray> listed;
    for (const RoutingHistoryEntry& entry : newestFirst) {
        if (listed.size() == shown)
            break;
        // A file routed twice is listed once, as it went last.
        if (listed.contains(entry.path))
            continue;
        listed.insert(entry.path);
        QMenu* file =
            recent->addMenu(StatusMenu::menuTitle(QFileInfo(entry.displayPath()).fileName()));
        file->setToolTip(entry.displayPath());
        QObject::connect(file->addAction(QStringLiteral("Open Again")), &QAction::triggered, file,
                         [&target, path = entry.path] { target.openRoutedAgain(path); });
        QMenu* openWith = file->addMenu(QStringLiteral("Open With"));
        for (const Route& route : routes) {
            if (route.id != entry.routeID)
                continue;
            for (const Editor& editor : route.enabledEditors()) {
                QObject::connect(openWith->addAction(StatusMenu::menuTitle(editor.name)),
                                 &QAction::triggered, file,
                                 [&target, path = entry.path, id = editor.bundleID] {
                                     target.openRoutedWith(path, id);
                                 });
            }
        }
        openWith->setEnabled(!openWith->isEmpty());
        QObject::connect(file->addAction(QStringLiteral("Show Why…")), &QAction::triggered, file,
                         [&target, entry] { target.showWhyRouted(entry); });
    }
}
