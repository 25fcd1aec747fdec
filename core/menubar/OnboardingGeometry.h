#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// Where the welcome window and its arrow go (global coordinates, top-left).
namespace OnboardingGeometry {
inline constexpr QSize arrowSize{36, 48};

struct ArrowPlacement {
    QPoint origin;
    // Up when the arrow sits below the icon (a tray at the top of the screen).
    bool pointsUp;
};

// Just below the icon (above it when the tray is at the bottom of the
// screen), kept 4 px inside the visible area horizontally.
ArrowPlacement arrowPlacement(const QRect& icon, const QRect& visibleArea);

// Centred horizontally; vertically 15 % of the free height (at least 40 px)
// from the screen edge opposite the tray, so the arrow under the icon stays
// clear; clamped into the visible area. Centred when the icon is unknown.
QPoint windowOrigin(const std::optional<QRect>& icon, QSize window, const QRect& visibleArea);
} // namespace OnboardingGeometry
