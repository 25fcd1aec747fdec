#pragma once

#include "core/menubar/StatusMenu.h"
#include "core/menubar/TrayGeometry.h"
#include "core/platform/Lifetime.h"

#include <QObject>
#include <memory>
#include <optional>

class DesktopTray;
class QMenu;
class QSystemTrayIcon;

// The tray icon and its menu, which is filled from the target each time it
// opens. A plain click on the icon opens the menu too, as a menu-bar item would.
class TrayController : public QObject {
    Q_OBJECT
public:
    TrayController(StatusMenuTarget& target, const Workspace& workspace, DesktopTray& tray);
    ~TrayController() override;

    // Shows the icon, and again to a tray that appears later.
    void show();
    // None before `show()`.
    QSystemTrayIcon* icon() const { return m_icon.get(); }
    QMenu* menu() const { return m_menu.get(); }
    // The icon's place: as the tray reports it, else where it was last clicked.
    TrayGeometry geometry() const;

    // Themed when the desktop entry's icons are installed, else the bundled ones.
    static QIcon applicationIcon(const QString& name);

private:
    void availabilityChanged(bool available);

    DesktopTray& m_tray;
    StatusMenu m_statusMenu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<QMenu> m_menu;
    std::optional<QRect> m_lastIconClick;
    Lifetime m_lifetime;
};
