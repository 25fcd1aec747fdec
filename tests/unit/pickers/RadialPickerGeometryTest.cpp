#include "core/pickers/RadialPickerGeometry.h"

#include <gtest/gtest.h>

#include <QtMath>
#include <cmath>

using Zone = RadialPickerGeometry::Zone;
using Screen = RadialPickerGeometry::ScreenArea;

TEST(RadialPickerGeometryTest, SizingPerCount) {
    const struct {
        int count;
        double outer, inner, icon;
    } cases[] = {{1, 151.20, 79.20, 48}, {2, 73.20, 16.10, 48},    {5, 99.29, 27.29, 48},
                 {9, 133.70, 65.70, 44}, {23, 222.51, 164.51, 34}, {60, 471.25, 417.25, 30},
                 {80, 480, 432, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        const RadialLayout l = RadialPickerGeometry(c.count).layout();
        EXPECT_DOUBLE_EQ(std::round(l.outerRadius * 100) / 100, c.outer);
        EXPECT_DOUBLE_EQ(std::round(l.innerRadius * 100) / 100, c.inner);
        EXPECT_DOUBLE_EQ(l.iconSize, c.icon);
    }
}

TEST(RadialPickerGeometryTest, HitTestingAtSliceBordersHoleAndPill) {
    // A border belongs to the slice that starts there.
    const double eps = 1e-6;
    const struct {
        int count;
        double angle; // counter-clockwise from 3 o'clock
        int slice;
    } borders[] = {
        {2, M_PI / 2 - eps, 0},  {2, M_PI / 2 + eps, 1},  {2, -M_PI / 2 + eps, 0},
        {2, -M_PI / 2 - eps, 1}, {3, -M_PI / 6 + eps, 0}, {3, -M_PI / 6 - eps, 1},
        {5, M_PI / 2 + eps, 4},  {5, M_PI / 2, 0},
    };
    for (const auto& c : borders) {
        SCOPED_TRACE(testing::Message() << c.count << " slices at " << c.angle);
        const RadialPickerGeometry g(c.count);
        const RadialLayout& l = g.layout();
        const double d = (l.innerRadius + l.outerRadius) / 2;
        const QPointF p = l.discCenter + QPointF(std::cos(c.angle), -std::sin(c.angle)) * d;
        EXPECT_EQ(g.zoneAt(p), Zone::ring);
        EXPECT_EQ(g.sliceAt(p), c.slice);
    }
    const RadialPickerGeometry g(5);
    const RadialLayout& l = g.layout();
    // Straight up from the centre. The centre and the pill are the widget tests'
    // clicks, a corner the end-to-end test's.
    const std::pair<double, Zone> zones[] = {{l.innerRadius - 0.5, Zone::hole},
                                             {l.innerRadius, Zone::ring},
                                             {l.outerRadius, Zone::ring},
                                             {l.outerRadius + 0.5, Zone::outside}};
    for (const auto& [up, zone] : zones)
        EXPECT_EQ(g.zoneAt(l.discCenter - QPointF(0, up)), zone) << up;
}

TEST(RadialPickerGeometryTest, PanelStaysInsideTheAvailableFrame) {
    // Two screens side by side; the first has a 32 pixel panel at the top.
    const QList<Screen> two{{QRectF(0, 0, 1920, 1080), QRectF(0, 32, 1920, 1048)},
                            {QRectF(1920, 0, 1280, 1024), QRectF(1920, 0, 1280, 1024)}};
    const QList<Screen> tiny{{QRectF(0, 0, 320, 240), QRectF(0, 20, 320, 220)}};
    const struct {
        QList<Screen> screens;
        QPointF pointer, origin;
    } cases[] = {
        {two, {960, 540}, {760, 390}},    {two, {5, 40}, {0, 32}},
        {two, {1915, 1075}, {1520, 780}}, {two, {1925, 500}, {1920, 350}},
        {two, {3199, 1023}, {2800, 724}}, {two, {-500, -500}, {0, 32}}, // off screen: main one
        {tiny, {300, 200}, {0, -60}}, // too small: pinned to the lower left
        {{}, {500, 500}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pointer.x() << "," << c.pointer.y());
        EXPECT_EQ(RadialPickerGeometry::panelOrigin(c.pointer, {400, 300}, c.screens, 0), c.origin);
    }
}
