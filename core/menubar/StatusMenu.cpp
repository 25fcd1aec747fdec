#include "core/menubar/StatusMenu.h"

#include "core/menubar/RecentlyRoutedMenu.h"
#include "core/menubar/StatusMenuTarget.h"
#include "core/pickers/PickerIcons.h"
#include "core/platform/PlatformTexts.h"
#include "core/platform/Workspace.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>

QString StatusMenu::menuTitle(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

StatusMenu::StatusMenu(StatusMenuTarget& target, const Workspace& workspace)
    : m_target(target)
    , m_workspace(workspace) {}

QIcon StatusMenu::editorIcon(const QString& bundleID) const {
    const std::optional<QString> location = m_workspace.locationForBundleID(bundleID);
    if (!location)
        return {};
    return PickerIcons::applicationIcon(m_workspace.applicationIconName(*location));
}

QMenu* StatusMenu::routeMenu(const Route& route, QMenu& parent) const {
    auto* submenu = new QMenu(menuTitle(route.name), &parent);
    StatusMenuTarget& target = m_target;
    // One active editor: a single check mark, not a box on every row.
    auto* editors = new QActionGroup(submenu);
    editors->setExclusive(true);
    for (const Editor& editor : route.enabledEditors()) {
        QAction* item = submenu->addAction(menuTitle(editor.name));
        item->setCheckable(true);
        editors->addAction(item);
        item->setChecked(route.activeBundleID == editor.bundleID);
        item->setIcon(editorIcon(editor.bundleID));
        item->setIconVisibleInMenu(true);
        QObject::connect(item, &QAction::triggered, submenu,
                         [&target, routeID = route.id, bundleID = editor.bundleID] {
                             target.selectEditor(routeID, bundleID);
                         });
    }
    submenu->addSeparator();

    const std::optional<Editor> active = route.activeEditor();
    QAction* folder = submenu->addAction(QStringLiteral("Open Enclosing Folder"));
    folder->setCheckable(true);
    folder->setChecked(active && active->opensFolder);
    // Without an active editor there is nothing to flip; the item stays inert.
    folder->setEnabled(active.has_value());
    QObject::connect(folder, &QAction::triggered, submenu,
                     [&target, id = route.id] { target.toggleFolder(id); });

    addUtilityMenus(route, *submenu);

    submenu->addSeparator();
    QAction* rules = submenu->addAction(QStringLiteral("Edit Rules…"));
    QObject::connect(rules, &QAction::triggered, submenu,
                     [&target, id = route.id] { target.editRulesForRoute(id); });

    QAction* claim = submenu->addAction(QStringLiteral("Make Corvanta default"));
    // Stays enabled without an installed desktop entry: choosing it explains why
    // nothing can be claimed, where a greyed item would explain nothing.
    QObject::connect(claim, &QAction::triggered, submenu,
                     [&target, id = route.id] { target.makeRouteDefaultHandler(id); });
    return submenu;
}

void StatusMenu::addUtilityMenus(const Route& route, QMenu& submenu) const {
    StatusMenuTarget& target = m_target;
    for (const auto& [kind, refs] : externalUtilityGroups(route)) {
        QString title;
        QIcon icon;
        switch (kind) {
        case ExternalUtilityKind::shortcut:
            title = QStringLiteral("Run Shortcuts");
            icon = QIcon::fromTheme(QStringLiteral("system-run"));
            break;
        case ExternalUtilityKind::service:
            title = PlatformTexts::text("Run Services");
            icon = QIcon::fromTheme(QStringLiteral("preferences-system"));
            break;
        case ExternalUtilityKind::script:
            title = PlatformTexts::text("Run AppleScripts");
            icon = QIcon::fromTheme(QStringLiteral("text-x-script"));
            break;
        }
        QMenu* utilities = submenu.addMenu(title);
        for (const ExternalUtilityRef& ref : refs) {
            // Names come from files on disk: "&" must not turn into a mnemonic.
            QAction* item = utilities->addAction(icon, menuTitle(ref.name()));
            item->setIconVisibleInMenu(!icon.isNull());
            QObject::connect(item, &QAction::triggered, utilities,
                             [&target, ref] { target.runExternalUtilityOnSelection(ref); });
        }
    }
}

void StatusMenu::rebuild(QMenu& menu) const {
    // Submenus are children of the menu: clearing it alone would keep them alive.
    menu.clear();
    qDeleteAll(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));

    QList<Route> routes = m_target.statusMenuRoutes();
    sortRoutesByName(routes);
    for (const Route& route : routes)
        menu.addMenu(routeMenu(route, menu));
    menu.addSeparator();
    RecentlyRoutedMenu::add(menu, m_target.recentlyRouted(), routes, m_target);

    StatusMenuTarget& target = m_target;
    // Tray icons take no drops; this is the way to the palette everywhere.
    QObject::connect(menu.addAction(QStringLiteral("Route File Type…")), &QAction::triggered, &menu,
                     [&target] { target.showDropPalette(); });
    QObject::connect(menu.addAction(QStringLiteral("Settings…")), &QAction::triggered, &menu,
                     [&target] { target.openSettings(); });
    QObject::connect(menu.addAction(QStringLiteral("Show Onboarding…")), &QAction::triggered, &menu,
                     [&target] { target.showOnboarding(); });
    if (m_target.hasCheckForUpdatesHandler()) {
        QObject::connect(menu.addAction(QStringLiteral("Check for Updates…")), &QAction::triggered,
                         &menu, [&target] { target.checkForUpdatesFromStatusMenu(); });
    }
    menu.addSeparator();
    QObject::connect(menu.addAction(QStringLiteral("About Corvanta")), &QAction::triggered, &menu,
                     [&target] { target.showAbout(); });
    QAction* quit = menu.addAction(QStringLiteral("Quit Corvanta"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quit, &QAction::triggered, &menu, [&target] { target.terminate(); });
}
