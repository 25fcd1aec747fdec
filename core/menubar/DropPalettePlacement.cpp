#include "core/menubar/DropPalettePlacement.h"

#include <algorithm>

namespace DropPalettePlacement {

QPoint origin(const std::optional<QRect>& icon, QSize palette, const QRect& visibleArea) {
    if (!icon || icon->isEmpty()) {
        return {visibleArea.x() + (visibleArea.width() - palette.width()) / 2,
                visibleArea.y() + (visibleArea.height() - palette.height()) / 2};
    }
    int x = icon->x() + icon->width() / 2 - palette.width() / 2;
    int y = icon->y() + icon->height() + margin;
    if (!visibleArea.isEmpty()) {
        // Left edge first, so a palette wider than the area sticks to the right.
        x = std::max(x, visibleArea.left() + margin);
        x = std::min(visibleArea.x() + visibleArea.width() - palette.width() - margin, x);
        // A tray at the bottom (or an icon below the visible area) has no room
        // below it.
        if (y + palette.height() > visibleArea.y() + visibleArea.height())
            y = icon->y() - margin - palette.height();
    }
    return {x, y};
}

} // namespace DropPalettePlacement
