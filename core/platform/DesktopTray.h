#pragma once

#include <QRect>
#include <functional>
#include <optional>

// The desktop's tray as far as Corvanta needs more than its icon: whether one
// shows icons at all, drags passing over the icon (tray icons take no drops),
// and the desktop's own settings for which icons the tray shows.
class DesktopTray {
public:
    virtual ~DesktopTray() = default;

    // Whether a tray shows icons now.
    virtual bool isAvailable() const = 0;
    // `changed` runs whenever a tray appears or goes away.
    virtual void watchAvailability(std::function<void(bool available)> changed) = 0;

    // While a drag is in progress, `over(true)` runs when the pointer enters
    // `iconGeometry()` (in global coordinates; none when unknown) and
    // `over(false)` when it leaves or the drag ends. Does nothing where drags of
    // other programs cannot be watched.
    virtual void watchDragsOverIcon(std::function<std::optional<QRect>()> iconGeometry,
                                    std::function<void(bool over)> over) = 0;

    // Whether the desktop has settings that choose the tray's icons, and opening
    // them; false when there is nothing to open or it could not be started.
    virtual bool hasTraySettings() const = 0;
    virtual bool openTraySettings() = 0;
};
