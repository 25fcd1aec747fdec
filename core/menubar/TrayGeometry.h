#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

// Where the tray icon is, for windows placed next to it.
struct TrayGeometry {
    // The icon in global coordinates; none when the tray does not say.
    std::function<std::optional<QRect>()> icon;
    // The visible area (without panels) of the screen holding `point`.
    std::function<QRect(const QPoint& point)> visibleArea;

    std::optional<QRect> iconRect() const { return icon ? icon() : std::nullopt; }
    QRect areaNear(const std::optional<QRect>& rect) const {
        return visibleArea ? visibleArea(rect ? rect->center() : QPoint()) : QRect();
    }
};
