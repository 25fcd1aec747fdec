#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// Where the drop palette goes (global coordinates, top-left corner).
namespace DropPalettePlacement {
// Gap between the icon and the palette, and between the palette and the
// edges of the screen's visible area.
inline constexpr int margin = 4;

// Centred below the tray icon, kept `margin` inside the visible area
// horizontally; above the icon when the tray sits at the bottom of the screen.
// Without a known icon the palette is centred in the visible area.
QPoint origin(const std::optional<QRect>& icon, QSize palette, const QRect& visibleArea);
} // namespace DropPalettePlacement
