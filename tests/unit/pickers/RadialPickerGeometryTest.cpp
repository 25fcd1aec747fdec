#include "core/pickers/RadialPickerGeometry.h"

#include <gtest/gtest.h>

#include <QtMath>
#include <cmath>

namespace {
using Zone = RadialPickerGeometry::Zone;

double twoDecimals(double value) {
    return std::round(value * 100) / 100;
}

struct SizingCase {
    int count;
    double outer;
    double inner;
    double icon;
};

class RadialSizing : public testing::TestWithParam<SizingCase> {};

TEST_P(RadialSizing, MatchesTheKnownValues) {
    const SizingCase c = GetParam();
    const RadialLayout layout = RadialPickerGeometry(c.count).layout();
    EXPECT_DOUBLE_EQ(twoDecimals(layout.outerRadius), c.outer);
    EXPECT_DOUBLE_EQ(twoDecimals(layout.innerRadius), c.inner);
    EXPECT_DOUBLE_EQ(layout.iconSize, c.icon);
    EXPECT_LE(layout.outerRadius, RadialPickerGeometry::radiusLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RadialSizing,
    testing::Values(SizingCase{1, 151.20, 79.20, 48}, SizingCase{2, 73.20, 16.10, 48},
                    SizingCase{5, 99.29, 27.29, 48}, SizingCase{9, 133.70, 65.70, 44},
                    SizingCase{23, 222.51, 164.51, 34}, SizingCase{60, 471.25, 417.25, 30},
                    SizingCase{80, 480, 432, 24}));

TEST(RadialLayoutTest, DiscSitsAboveThePillWithRoomAround) {
    for (int n : {1, 2, 5, 9, 23, 60, 80}) {
        SCOPED_TRACE(n);
        const RadialLayout l = RadialPickerGeometry(n).layout();
        const double side = std::max(0.75 * l.iconSize, 28.0);
        EXPECT_DOUBLE_EQ(l.contentSize.width(), 2 * l.outerRadius + 2 * side);
        EXPECT_DOUBLE_EQ(l.contentSize.height(), 2 * l.outerRadius + 88);
        // 20 above the disc, 68 below it; the pill 20 above the bottom edge.
        EXPECT_DOUBLE_EQ(l.discCenter.y() - l.outerRadius, 20);
        EXPECT_DOUBLE_EQ(l.contentSize.height() - (l.discCenter.y() + l.outerRadius), 68);
        EXPECT_DOUBLE_EQ(l.contentSize.height() - l.pillRect.bottom(), 20);
        EXPECT_DOUBLE_EQ(l.pillRect.height(), 34);
        EXPECT_DOUBLE_EQ(l.pillRect.width(), 2 * l.outerRadius);
        EXPECT_DOUBLE_EQ(l.pillRect.center().x(), l.discCenter.x());
    }
}

TEST(RadialLayoutTest, OneCandidateSitsAtTwelveOnTheSizingRing) {
    const RadialPickerGeometry g(1);
    const QPointF icon = g.iconCenter(0);
    EXPECT_NEAR(icon.x(), g.layout().discCenter.x(), 1e-9);
    EXPECT_NEAR(g.layout().discCenter.y() - icon.y(), 115.2, 1e-9);
}

TEST(RadialLayoutTest, SlicesRunClockwiseFromTwelve) {
    const RadialPickerGeometry g(4);
    const QPointF c = g.layout().discCenter;
    // Slice 0 is centred between 12 and 3 o'clock, slice 1 between 3 and 6.
    EXPECT_GT(g.iconCenter(0).x(), c.x());
    EXPECT_LT(g.iconCenter(0).y(), c.y());
    EXPECT_GT(g.iconCenter(1).x(), c.x());
    EXPECT_GT(g.iconCenter(1).y(), c.y());
    EXPECT_LT(g.iconCenter(2).x(), c.x());
    EXPECT_GT(g.iconCenter(2).y(), c.y());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g.sliceAt(g.iconCenter(i)), i);
    // Badges sit between the icon and the outer edge, on the icon's ray.
    const QPointF badge = g.badgeCenter(0) - c;
    EXPECT_NEAR(std::hypot(badge.x(), badge.y()), g.layout().outerRadius - 16.8, 1e-9);
}

QPointF onRing(const RadialPickerGeometry& g, double mathAngle) {
    const RadialLayout& l = g.layout();
    const double d = (l.innerRadius + l.outerRadius) / 2;
    return l.discCenter + QPointF(std::cos(mathAngle), -std::sin(mathAngle)) * d;
}

TEST(RadialHitTest, SliceBordersBelongToTheSliceThatStartsThere) {
    const double eps = 1e-6;
    struct Case {
        int count;
        double angle;
        int slice;
    };
    const Case cases[] = {
        {2, M_PI / 2 - eps, 0},  // just right of 12 o'clock
        {2, M_PI / 2 + eps, 1},  // just left of it
        {2, 0, 0},               // 3 o'clock: right half
        {2, M_PI, 1},            // 9 o'clock: left half
        {2, -M_PI / 2 + eps, 0}, // just right of 6 o'clock
        {2, -M_PI / 2 - eps, 1}, // just left of it
        {3, M_PI / 2 - 2 * M_PI / 3 + eps, 0},
        {3, M_PI / 2 - 2 * M_PI / 3 - eps, 1},
        {5, M_PI / 2 + eps, 4}, // last slice ends at 12 o'clock
        {5, M_PI / 2, 0},
        {1, -2.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " slices at " << c.angle);
        const RadialPickerGeometry g(c.count);
        const QPointF p = onRing(g, c.angle);
        EXPECT_EQ(g.zoneAt(p), Zone::ring);
        EXPECT_EQ(g.sliceAt(p), c.slice);
    }
}

TEST(RadialHitTest, ZonesOfHoleRingPillAndOutside) {
    const RadialPickerGeometry g(5);
    const RadialLayout& l = g.layout();
    const QPointF c = l.discCenter;
    struct Case {
        QPointF point;
        Zone zone;
    };
    const Case cases[] = {
        {c, Zone::hole},
        {c + QPointF(l.innerRadius - 0.5, 0), Zone::hole},
        {c + QPointF(l.innerRadius, 0), Zone::ring},
        {c + QPointF(0, -l.outerRadius), Zone::ring},
        {c + QPointF(0, -l.outerRadius - 0.5), Zone::outside},
        {l.pillRect.center(), Zone::pill},
        {l.pillRect.topLeft() + QPointF(1, 1), Zone::pill},
        {QPointF(1, 1), Zone::outside},
        {QPointF(l.contentSize.width() - 1, l.contentSize.height() - 1), Zone::outside},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.point.x() << "," << k.point.y());
        EXPECT_EQ(g.zoneAt(k.point), k.zone);
    }
}

TEST(RadialHitTest, AccessibleRectsAreSquaresAroundTheIcons) {
    const RadialPickerGeometry g(9);
    for (int i = 0; i < 9; ++i) {
        const QRectF r = g.accessibleRect(i);
        EXPECT_DOUBLE_EQ(r.width(), 60);
        EXPECT_DOUBLE_EQ(r.height(), 60);
        EXPECT_EQ(r.center(), g.iconCenter(i));
    }
}

using Screen = RadialPickerGeometry::ScreenArea;

TEST(RadialPlacement, KeepsThePanelInsideTheAvailableFrame) {
    // Two screens side by side; the first has a 32 pixel panel at the top.
    const QList<Screen> screens{{QRectF(0, 0, 1920, 1080), QRectF(0, 32, 1920, 1048)},
                                {QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024)}};
    const QSizeF size(400, 300);
    struct Case {
        QPointF pointer;
        QPointF origin;
    };
    const Case cases[] = {
        {{960, 540}, {760, 390}},    // centred on the pointer
        {{5, 40}, {0, 32}},          // top-left corner, below the panel
        {{1915, 1075}, {1520, 780}}, // bottom-right corner of the first screen
        {{1925, 500}, {1920, 350}},  // left edge of the second screen
        {{3199, 1023}, {2800, 724}}, // bottom-right corner of the second screen
        {{-500, -500}, {0, 32}},     // on no screen: the main screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x() << "," << c.pointer.y());
        EXPECT_EQ(RadialPickerGeometry::panelOrigin(c.pointer, size, screens, 0), c.origin);
    }
}

TEST(RadialPlacement, ScreenSmallerThanThePanelPinsItToTheLowerLeftCorner) {
    const QList<Screen> screens{{QRectF(0, 0, 320, 240), QRectF(0, 20, 320, 220)}};
    const QPointF origin =
        RadialPickerGeometry::panelOrigin({300, 200}, QSizeF(400, 300), screens, 0);
    EXPECT_EQ(origin, QPointF(0, 240 - 300));
}

TEST(RadialPlacement, NoScreenMeansTheOrigin) {
    EXPECT_EQ(RadialPickerGeometry::panelOrigin({500, 500}, QSizeF(100, 100), {}, 0),
              QPointF(0, 0));
}
} // namespace
