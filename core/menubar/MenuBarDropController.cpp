#include "core/menubar/MenuBarDropController.h"

#include "core/menubar/DropPalettePlacement.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <utility>

MenuBarDropController::MenuBarDropController(std::function<void(const QUrl&)> onDrop,
                                             PaletteFactory palettes, TrayGeometry geometry,
                                             Scheduler scheduler)
    : m_onDrop(std::move(onDrop))
    , m_palettes(std::move(palettes))
    , m_geometry(std::move(geometry))
    , m_scheduler(std::move(scheduler)) {}

MenuBarDropController::~MenuBarDropController() {
    m_lifetime.end();
    cancelHide();
}

MenuBarDropController::Scheduler MenuBarDropController::eventLoopScheduler(QObject* context) {
    return [context = QPointer<QObject>(context)](int ms, std::function<void()> work) {
        auto* timer = new QTimer(context);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, work = std::move(work)] {
            timer->deleteLater();
            work();
        });
        timer->start(ms);
        return std::function<void()>([timer = QPointer<QTimer>(timer)] {
            if (timer) {
                timer->stop();
                timer->deleteLater();
            }
        });
    };
}

DropPaletteSurface& MenuBarDropController::palette() {
    if (!m_palette) {
        DropPaletteSurface::Callbacks callbacks;
        callbacks.dragEntered = m_lifetime.guard([this] {
            m_dragOverPalette = true;
            cancelHide();
        });
        callbacks.dragExited = m_lifetime.guard([this] {
            m_dragOverPalette = false;
            // Shown from the menu, the palette waits for the user, not the drag.
            if (!m_untilDismissed)
                scheduleHide();
        });
        callbacks.drop = m_lifetime.guard([this](const QUrl& url) { handleDrop(url); });
        callbacks.dismissed = m_lifetime.guard([this] { hidePalette(); });
        callbacks.clickedAway = m_lifetime.guard([this] {
            if (m_untilDismissed)
                scheduleHide(clickAwayGraceMs);
        });
        m_palette = m_palettes(std::move(callbacks));
    }
    return *m_palette;
}

void MenuBarDropController::cancelHide() {
    if (m_hideTask) {
        const std::function<void()> cancel = std::exchange(m_hideTask, {});
        cancel();
    }
}

void MenuBarDropController::show(bool untilDismissed) {
    cancelHide();
    DropPaletteSurface& surface = palette();
    const std::optional<QRect> icon = m_geometry.iconRect();
    const QRect area = m_geometry.areaNear(icon);
    // A drag reaching the icon while the palette waits for one keeps it waiting.
    m_untilDismissed = untilDismissed || (m_untilDismissed && surface.isShown());
    surface.showAt(DropPalettePlacement::origin(icon, surface.size(), area), m_untilDismissed);
}

void MenuBarDropController::showPalette() {
    show(false);
}

void MenuBarDropController::showPaletteUntilDismissed() {
    show(true);
}

void MenuBarDropController::scheduleHide(int delayMs) {
    cancelHide();
    m_hideTask = m_scheduler(delayMs, m_lifetime.guard([this] {
        m_hideTask = {};
        hidePalette();
    }));
}

void MenuBarDropController::dragLeftIcon() {
    if (!m_dragOverPalette)
        scheduleHide();
}

void MenuBarDropController::hidePalette() {
    cancelHide();
    m_dragOverPalette = false;
    m_untilDismissed = false;
    palette().hide();
}

void MenuBarDropController::handleDrop(const QUrl& url) {
    hidePalette();
    // The drop event must end before the teaching dialogs run their own event
    // loops; the program the drag came from waits for its answer.
    m_scheduler(0, m_lifetime.guard([this, url] {
        if (m_onDrop)
            m_onDrop(url);
    }));
}

bool MenuBarDropController::isPaletteShown() const {
    return m_palette && m_palette->isShown();
}
