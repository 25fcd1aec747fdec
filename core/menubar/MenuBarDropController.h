#pragma once

#include "core/menubar/DropPaletteSurface.h"
#include "core/menubar/TrayGeometry.h"
#include "core/platform/Lifetime.h"

#include <QRect>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

// The drop palette under the tray icon: shown while a file is dragged over the
// icon (or from the tray menu), hidden 0.4 s after the drag leaves the icon or
// the palette, or at once when the file is dropped. A dropped file teaches its
// type; it is not routed.
class MenuBarDropController {
public:
    // Runs `work` `ms` milliseconds from now on the event loop; calling the
    // returned function cancels it.
    using Scheduler = std::function<std::function<void()>(int ms, std::function<void()> work)>;
    using PaletteFactory =
        std::function<std::unique_ptr<DropPaletteSurface>(DropPaletteSurface::Callbacks)>;

    static constexpr int hideDelayMs = 400;
    // Shown from the menu, a click elsewhere may be the user picking up the
    // file to drop: the palette stays this long for the drag to reach it.
    static constexpr int clickAwayGraceMs = 2000;

    MenuBarDropController(std::function<void(const QUrl&)> onDrop, PaletteFactory palettes,
                          TrayGeometry geometry, Scheduler scheduler);
    ~MenuBarDropController();

    // A drag with an acceptable file reached the icon.
    void showPalette();
    // From the tray menu: no drag yet, so the palette stays until a drop,
    // Escape or a click elsewhere.
    void showPaletteUntilDismissed();
    // The drag left the icon or the palette.
    void scheduleHide(int delayMs = hideDelayMs);
    // The drag left the icon. Where the icon is watched from afar the palette
    // may hear of the drag first; a drag already over the palette keeps it.
    void dragLeftIcon();
    void hidePalette();
    // Hides the palette, then hands the file on once the event loop is back.
    void handleDrop(const QUrl& url);

    bool isPaletteShown() const;
    bool isHidePending() const { return bool(m_hideTask); }

    // A scheduler on Qt timers owned by `context`.
    static Scheduler eventLoopScheduler(QObject* context);

private:
    void show(bool untilDismissed);
    void cancelHide();
    DropPaletteSurface& palette();

    std::function<void(const QUrl&)> m_onDrop;
    PaletteFactory m_palettes;
    TrayGeometry m_geometry;
    Scheduler m_scheduler;
    std::unique_ptr<DropPaletteSurface> m_palette;
    std::function<void()> m_hideTask;
    bool m_untilDismissed = false;
    bool m_dragOverPalette = false;
    // Pending work and the palette's callbacks do nothing once the controller is gone.
    Lifetime m_lifetime;
};
