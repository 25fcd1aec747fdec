#include "core/pickers/RadialPickerGeometry.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {
constexpr qreal ringMargin = 12;
constexpr qreal smallestIconSize = 24;
constexpr qreal singleRingRadius = 115.2;
constexpr qreal singleIconSize = 48;
// Space under the disc for the caption pill, and above it.
constexpr qreal bottomSpace = 68;
constexpr qreal topSpace = 20;
constexpr qreal pillBottom = 20;
constexpr qreal pillHeight = 34;

qreal baseIconSize(int n) {
    if (n < 9)
        return 48;
    if (n < 15)
        return 44;
    if (n < 23)
        return 40;
    return 34;
}

// Icons sit 1.55 icon sides apart along the ring.
qreal ringRadiusFor(int n, qreal iconSize) {
    if (n < 2)
        return std::max(2.4 * iconSize, 100.0);
    return iconSize * 1.55 / (2 * std::sin(M_PI / n));
}

qreal clampToRange(qreal value, qreal extent, qreal minimum, qreal maximum) {
    if (maximum - minimum < extent)
        return minimum;
    return std::min(std::max(value, minimum), maximum - extent);
}
} // namespace

RadialPickerGeometry::RadialPickerGeometry(int count)
    : m_count(std::max(count, 0)) {
    const int n = m_count;
    qreal s = n < 2 ? singleIconSize : baseIconSize(n);
    qreal r = n < 2 ? singleRingRadius : ringRadiusFor(n, s);
    auto fits = [&] { return r + s / 2 + ringMargin <= radiusLimit; };
    while (!fits() && s > smallestIconSize) {
        s -= 2;
        r = ringRadiusFor(n, s);
    }
    qreal outer = 0;
    if (fits()) {
        outer = r + s / 2 + ringMargin;
    } else {
        outer = radiusLimit;
        r = radiusLimit - s / 2 - ringMargin;
    }

    RadialLayout& l = m_layout;
    l.outerRadius = outer;
    l.innerRadius = std::max(r - s / 2 - ringMargin, 0.22 * outer);
    l.ringRadius = r;
    l.iconSize = s;
    const qreal side = std::max(0.75 * s, 28.0);
    l.contentSize = QSizeF(2 * outer + 2 * side, 2 * outer + bottomSpace + topSpace);
    l.discCenter = QPointF(l.contentSize.width() / 2, topSpace + outer);
    l.pillRect =
        QRectF(side, l.contentSize.height() - pillBottom - pillHeight, 2 * outer, pillHeight);
}

qreal RadialPickerGeometry::sliceSpan() const {
    return m_count > 0 ? 2 * M_PI / m_count : 2 * M_PI;
}

qreal RadialPickerGeometry::sliceStartAngle(int index) const {
    return M_PI / 2 - sliceSpan() * index;
}

qreal RadialPickerGeometry::iconAngle(int index) const {
    if (m_count == 1)
        return M_PI / 2;
    return M_PI / 2 - sliceSpan() * (index + 0.5);
}

QPointF RadialPickerGeometry::pointAt(qreal angle, qreal distance) const {
    // View coordinates grow downwards, mathematical angles upwards.
    return m_layout.discCenter + QPointF(std::cos(angle), -std::sin(angle)) * distance;
}

QPointF RadialPickerGeometry::iconCenter(int index) const {
    return pointAt(iconAngle(index), (m_layout.outerRadius + m_layout.innerRadius) / 2);
}

QPointF RadialPickerGeometry::badgeCenter(int index) const {
    const qreal inset = std::max(0.35 * m_layout.iconSize, 10.0);
    return pointAt(iconAngle(index), m_layout.outerRadius - inset);
}

QRectF RadialPickerGeometry::accessibleRect(int index) const {
    const qreal side = m_layout.iconSize + 16;
    QRectF rect(0, 0, side, side);
    rect.moveCenter(iconCenter(index));
    return rect;
}

int RadialPickerGeometry::sliceAt(const QPointF& point) const {
    if (m_count < 2)
        return 0;
    const qreal dx = point.x() - m_layout.discCenter.x();
    const qreal dy = m_layout.discCenter.y() - point.y();
    qreal fromTop = std::fmod(M_PI / 2 - std::atan2(dy, dx), 2 * M_PI);
    if (fromTop < 0)
        fromTop += 2 * M_PI;
    return static_cast<int>(std::floor(fromTop / sliceSpan())) % m_count;
}

RadialPickerGeometry::Zone RadialPickerGeometry::zoneAt(const QPointF& point) const {
    const QPointF offset = point - m_layout.discCenter;
    const qreal distance = std::hypot(offset.x(), offset.y());
    if (distance >= m_layout.innerRadius && distance <= m_layout.outerRadius)
        return Zone::ring;
    if (m_layout.pillRect.contains(point))
        return Zone::pill;
    if (distance < m_layout.innerRadius)
        return Zone::hole;
    return Zone::outside;
}

QPointF RadialPickerGeometry::panelOrigin(const QPointF& pointer, const QSizeF& size,
                                          const QList<ScreenArea>& screens, int mainIndex) {
    if (screens.isEmpty())
        return {0, 0};
    const ScreenArea* screen = nullptr;
    for (const ScreenArea& candidate : screens) {
        if (candidate.frame.contains(pointer)) {
            screen = &candidate;
            break;
        }
    }
    if (!screen)
        screen = &screens.at(std::clamp(mainIndex, 0, int(screens.size()) - 1));
    const QRectF& area = screen->availableFrame;
    const qreal x =
        clampToRange(pointer.x() - size.width() / 2, size.width(), area.left(), area.right());
    // Too tall a panel keeps its bottom edge (and the caption) on the screen.
    const qreal y = area.height() < size.height()
                        ? area.bottom() - size.height()
                        : clampToRange(pointer.y() - size.height() / 2, size.height(), area.top(),
                                       area.bottom());
    return {x, y};
}
