#pragma once

#include "core/platform/DesktopTray.h"
#include "platform/linux/DesktopSettingsCommand.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QTimer;

// The tray of a freedesktop desktop: StatusNotifierItem hosts on the session
// bus and XEmbed trays on X11 (their _NET_SYSTEM_TRAY_Sn selections), drags
// seen through the owner of XdndSelection (XFixes tells when it changes), and
// the desktop's settings for the tray's icons.
class LinuxDesktopTray : public QObject, public DesktopTray, public QAbstractNativeEventFilter {
public:
    using SettingsCommand = DesktopSettingsCommand;
    // The desktop's tray settings: GNOME shows tray icons through an extension,
    // so its Extensions app; XFCE's panel preferences hold the status tray.
    // `desktops` is XDG_CURRENT_DESKTOP split at ':'.
    static std::optional<SettingsCommand>
    traySettingsCommand(const QStringList& desktops,
                        const std::function<bool(const QString& desktopID)>& hasEntry,
                        const std::function<bool(const QString& program)>& hasProgram);

    explicit LinuxDesktopTray(QObject* parent = nullptr);
    ~LinuxDesktopTray() override;

    bool isAvailable() const override;
    void watchAvailability(std::function<void(bool available)> changed) override;
    void watchDragsOverIcon(std::function<std::optional<QRect>()> iconGeometry,
                            std::function<void(bool over)> over) override;
    bool hasTraySettings() const override;
    bool openTraySettings() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct X11;
    void availabilityMayHaveChanged();
    void dragStarted();
    void followPointer();

    std::unique_ptr<X11> m_x11;
    QDBusServiceWatcher* m_watcher = nullptr;
    std::function<void(bool)> m_availabilityChanged;
    bool m_lastAvailable = false;
    std::function<std::optional<QRect>()> m_iconGeometry;
    std::function<void(bool)> m_over;
    QTimer* m_pointerTimer;
    bool m_pointerOverIcon = false;
};
