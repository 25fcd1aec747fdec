#include "core/menubar/TrayController.h"

#include "core/platform/DesktopTray.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>

TrayController::TrayController(StatusMenuTarget& target, const Workspace& workspace,
                               DesktopTray& tray)
    : m_tray(tray)
    , m_statusMenu(target, workspace) {}

TrayController::~TrayController() = default;

QIcon TrayController::applicationIcon(const QString& name) {
    return QIcon::fromTheme(name,
                            QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")));
}

void TrayController::show() {
    m_icon = std::make_unique<QSystemTrayIcon>(
        applicationIcon(QStringLiteral("io.corvanta.Corvanta-symbolic")));
    m_icon->setToolTip(QStringLiteral("Corvanta"));
    m_menu = std::make_unique<QMenu>();
    m_menu->setAccessibleName(QStringLiteral("Corvanta"));
    QMenu* menu = m_menu.get();
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { m_statusMenu.rebuild(*menu); });
    // A tray host may read the menu before it ever opens it.
    m_statusMenu.rebuild(*menu);
    m_icon->setContextMenu(menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Most trays do not tell where the icon is; a click on it does.
                constexpr int side = 24;
                const QPoint at = QCursor::pos();
                m_lastIconClick = QRect(at.x() - side / 2, at.y() - side / 2, side, side);
                if (reason == QSystemTrayIcon::Trigger)
                    m_menu->popup(at);
            });
    m_icon->show();
    m_tray.watchAvailability(
        m_lifetime.guard([this](bool available) { availabilityChanged(available); }));
    if (!m_tray.isAvailable())
        qWarning("Corvanta: the desktop shows no tray; files are still routed when opened");
}

void TrayController::availabilityChanged(bool available) {
    if (!available)
        return;
    // Announce the icon again to the tray that just appeared.
    m_icon->hide();
    m_icon->show();
}

TrayGeometry TrayController::geometry() const {
    TrayGeometry geometry;
    geometry.icon = m_lifetime.guard([this]() -> std::optional<QRect> {
        if (m_icon && m_icon->geometry().isValid() && !m_icon->geometry().isEmpty())
            return m_icon->geometry();
        return m_lastIconClick;
    });
    geometry.visibleArea = [](const QPoint& point) {
        QScreen* screen = QGuiApplication::screenAt(point);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    };
    return geometry;
}
