#include "core/menubar/OnboardingGeometry.h"

#include <algorithm>

namespace OnboardingGeometry {
namespace {
constexpr int edgeMargin = 4;
constexpr int iconGap = 2;

bool trayAtBottom(const QRect& icon, const QRect& area) {
    return icon.center().y() > area.center().y();
}
} // namespace

ArrowPlacement arrowPlacement(const QRect& icon, const QRect& visibleArea) {
    const bool up = visibleArea.isEmpty() || !trayAtBottom(icon, visibleArea);
    int x = icon.x() + icon.width() / 2 - arrowSize.width() / 2;
    const int y = up ? icon.y() + icon.height() + iconGap : icon.y() - arrowSize.height() - iconGap;
    if (!visibleArea.isEmpty()) {
        x = std::max(x, visibleArea.x() + edgeMargin);
        x = std::min(visibleArea.x() + visibleArea.width() - arrowSize.width() - edgeMargin, x);
    }
    return {{x, y}, up};
}

QPoint windowOrigin(const std::optional<QRect>& icon, QSize window, const QRect& visibleArea) {
    const QRect& v = visibleArea;
    if (!icon || icon->isEmpty() || v.isEmpty())
        return {v.x() + (v.width() - window.width()) / 2,
                v.y() + (v.height() - window.height()) / 2};
    int x = v.x() + v.width() / 2 - window.width() / 2;
    const int offset = std::max(int((v.height() - window.height()) * 0.15), 40);
    // Measured from the edge away from the tray.
    int y = trayAtBottom(*icon, v) ? v.y() + offset : v.y() + v.height() - window.height() - offset;
    // Left and top win when the window is larger than the area.
    x = std::max(v.x(), std::min(x, v.x() + v.width() - window.width()));
    y = std::max(v.y(), std::min(y, v.y() + v.height() - window.height()));
    return {x, y};
}
} // namespace OnboardingGeometry
