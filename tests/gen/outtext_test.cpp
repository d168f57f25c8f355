// Viewport, world-to-pixel mapping and its limits.
#include "gen/outtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gen/draw.h"

namespace {

TEST(Outtext, ViewportToWindowEdgesAndUnitSquare) {
    x_xsize = 640;
    x_ysize = 480;
    lwindow(0, 0, 0, 0);
    EXPECT_EQ(wx0, 0);
    EXPECT_EQ(wx1, 639);
    EXPECT_EQ(wy0, 0);
    EXPECT_EQ(wy1, 479);
    scale(0, 1, 0, 1);
    EXPECT_EQ(SX(0), 0);
    EXPECT_EQ(SY(0), 479);
    EXPECT_EQ(SX(1), 639);
    EXPECT_EQ(SY(1), 0);
    for (double p : {0.0, 17.0, 320.5, 639.0}) {   // the inverse is exact
        EXPECT_NEAR(SX(iSX(p)), std::floor(p + 0.5), 0) << p;
        EXPECT_NEAR(iSY(SY(iSY(p))), iSY(std::floor(p + 0.5)), 1e-12) << p;
    }
    lwindow(96, 600, 8, 400);
    scale(-2, 2, 10, 20);
    EXPECT_EQ(SX(-2), 96);
    EXPECT_EQ(SX(2), 600);
    EXPECT_EQ(SY(20), 8);
    EXPECT_EQ(SY(10), 400);
}

struct RoundCase {
    double x;
    int px;
};
const RoundCase roundCases[] = {
    {2.5, 3},        // halves upward
    {-2.5, -2},
    {2.49, 2},
    {-16000.7, -16001},
    {32766.9, 32767},
    {1e6, 32767},    // far outside: limited, never overflowing
    {-1e6, -32767},
    {1e300, 32767},
    {-1e300, -32767},
    {std::numeric_limits<double>::infinity(), 32767},
    {-std::numeric_limits<double>::infinity(), -32767},
    {std::numeric_limits<double>::quiet_NaN(), 32767},
};

TEST(Outtext, SXRoundsAndClamps) {
    wx0 = wy0 = 0;
    wx1 = wy1 = 100;
    scale(0, 100, 100, 0);   // one pixel per unit, y downward like x
    for (const auto& c : roundCases) {
        EXPECT_EQ(SX(c.x), c.px) << c.x;
        EXPECT_EQ(SY(c.x), c.px) << c.x;
    }
}

TEST(Outtext, DrawMovesThePenAndUpLiftsIt) {
    wx0 = wy0 = 0;
    wx1 = wy1 = 100;
    scale(0, 100, 100, 0);
    up();
    draw(10, 20);   // pen up: only moves
    EXPECT_EQ(pen, 1);
    EXPECT_EQ(ggx, 10);
    EXPECT_EQ(ggy, 20);
    draw(30, 40);   // a line (no window here): the pen follows
    EXPECT_EQ(ggx, 30);
    EXPECT_EQ(ggy, 40);
    lline(1, 2, 3, 4);
    EXPECT_EQ(ggx, 3);
    EXPECT_EQ(ggy, 4);
    up();
    EXPECT_EQ(pen, 0);
}

}  // namespace
