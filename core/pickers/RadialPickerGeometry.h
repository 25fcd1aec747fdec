#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Sizes of the radial picker, in device-independent pixels and view coordinates
// (origin at the top left, y growing downwards).
struct RadialLayout {
    qreal outerRadius = 0;
    qreal innerRadius = 0;
    // Radius of the circle the sizing placed the icons on.
    qreal ringRadius = 0;
    qreal iconSize = 0;
    QSizeF contentSize;
    QPointF discCenter;
    QRectF pillRect;
};

// Where things are in a radial picker of `count` slices: sizing, slice angles,
// hit testing and the panel's place on the screen. Pure, so it is tested
// without any window.
class RadialPickerGeometry {
public:
    // The disc never grows past this radius.
    static constexpr qreal radiusLimit = 480;

    explicit RadialPickerGeometry(int count);

    int count() const { return m_count; }
    const RadialLayout& layout() const { return m_layout; }

    // Mathematical angles (radians, counter-clockwise from 3 o'clock). Slice i
    // runs clockwise from sliceStartAngle(i) over sliceSpan(); slice 0 starts
    // at 12 o'clock.
    qreal sliceSpan() const;
    qreal sliceStartAngle(int index) const;
    qreal iconAngle(int index) const;
    QPointF iconCenter(int index) const;
    QPointF badgeCenter(int index) const;
    // The square an accessibility client sees for a slice.
    QRectF accessibleRect(int index) const;

    enum class Zone { ring, hole, pill, outside };
    Zone zoneAt(const QPointF& point) const;
    // The slice in the direction of `point`, whether or not it is on the ring.
    int sliceAt(const QPointF& point) const;

    struct ScreenArea {
        QRectF frame;
        QRectF availableFrame;
    };
    // Top-left corner of a panel of `size` centred on `pointer` and kept inside
    // the available frame of the screen under the pointer (else of `screens`'
    // element `mainIndex`). A panel larger than that frame is pinned to its
    // lower-left corner; without screens it goes to the origin.
    static QPointF panelOrigin(const QPointF& pointer, const QSizeF& size,
                               const QList<ScreenArea>& screens, int mainIndex);

private:
    QPointF pointAt(qreal angle, qreal distance) const;

    int m_count = 0;
    RadialLayout m_layout;
};
