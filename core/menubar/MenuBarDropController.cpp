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
    *m_alive = false;
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
        const std::weak_ptr<bool> alive = m_alive;
        // Callbacks do nothing once the controller is gone.
        auto guarded = [this, alive](auto method) {
            return [this, alive, method](auto&&... args) {
                if (const auto flag = alive.lock(); flag && *flag)
                    (this->*method)(args...);
            };
        };
        DropPaletteSurface::Callbacks callbacks;
        callbacks.dragEntered = [this, alive] {
            if (const auto flag = alive.lock(); flag && *flag) {
                m_dragOverPalette = true;
                cancelHide();
            }
        };
        callbacks.dragExited = [this, alive] {
            const auto flag = alive.lock();
            if (!flag || !*flag)
                return;
            m_dragOverPalette = false;
            // Shown from the menu, the palette waits for the user, not the drag.
            if (!m_untilDismissed)
                scheduleHide();
        };
        callbacks.drop = guarded(&MenuBarDropController::handleDrop);
        callbacks.dismissed = guarded(&MenuBarDropController::hidePalette);
        callbacks.clickedAway = [this, alive] {
            const auto flag = alive.lock();
            if (flag && *flag && m_untilDismissed)
                scheduleHide(clickAwayGraceMs);
        };
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
    const std::weak_ptr<bool> alive = m_alive;
    m_hideTask = m_scheduler(delayMs, [this, alive] {
        if (const auto flag = alive.lock(); !flag || !*flag)
            return;
        m_hideTask = {};
        hidePalette();
    });
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
    const std::weak_ptr<bool> alive = m_alive;
    m_scheduler(0, [this, alive, url] {
        if (const auto flag = alive.lock(); flag && *flag && m_onDrop)
            m_onDrop(url);
    });
}

bool MenuBarDropController::isPaletteShown() const {
    return m_palette && m_palette->isShown();
}
