// Layout of buttons, the merged key stream, fint and grid labelling (no window needed).
#include "gen/drawplus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gen/ground.h"

#include "capture.h"

namespace {


class Drawplus : public testing::Test {
protected:
    void SetUp() override {
        drawplus(75, 16, 0);
        butt.n = butt.first = 0;
        butt.type = AREA_BUTTON;
        butt.x = 2;
        butt.y = 9;
        butt.gap = 8;
        butt.lineh = 14;
        mybufpos = extrabufptr = 0;
        keybufptr = 0;
    }
};

TEST_F(Drawplus, ButtonsRegisterTheirBoxes) {
    createbutton("hhelp", 50);
    ASSERT_EQ(butt.n, 1);
    const clickarea& a = buttons[0];
    EXPECT_EQ(a.key, 'h');
    EXPECT_EQ(a.type, AREA_BUTTON);
    // the box spans 52 .. 52 + 8*4 + 4; the area one pixel more around it
    EXPECT_EQ(a.x1, 51);
    EXPECT_EQ(a.x2, 89);
    EXPECT_EQ(a.y1, 8);
    EXPECT_EQ(a.y2, 19);
    EXPECT_EQ(lastbutton, &buttons[0]);

    // A negative x places the button at the cursor and moves the cursor past it.
    butt.x = 2;
    createbutton("xx", -1);
    EXPECT_EQ(buttons[1].x1, 1);
    EXPECT_EQ(butt.x, 2 + 8 + 4 + butt.gap);   // right edge of the box plus the gap
    butt.type = AREA_WHEEL;
    createcolbutton("\005move", -1, 15);
    EXPECT_EQ(buttons[2].type, AREA_WHEEL);
    EXPECT_EQ(buttons[2].key, 5);
}

TEST_F(Drawplus, PlusMinusRowAndPanel) {
    createpmbutton("q", "\021Qq", 1);
    ASSERT_EQ(butt.n, 3);
    EXPECT_EQ(buttons[0].key, 17);
    EXPECT_EQ(buttons[0].x2 - buttons[0].x1, 8 * 4 + 4 + 2);   // shown "  q " padded to 4
    EXPECT_EQ(buttons[1].key, 'Q');
    EXPECT_EQ(buttons[1].x1, 2 + 55 - 1);
    EXPECT_EQ(buttons[2].key, 'q');
    EXPECT_EQ(buttons[2].x1, 2 + 74 - 1);
    EXPECT_EQ(butt.y, 9 + 14);
    createpmbutton("temperature", "\024Tt", 0);   // at most 6 characters of the name
    EXPECT_EQ(butt.n, 4);
    EXPECT_EQ(buttons[3].x2 - buttons[3].x1, 8 * 7 + 4 + 2);   // shown " temper"
    int y = butt.y;
    panel(11, 2, 8);
    EXPECT_EQ(butt.y, y + 4);
}

TEST_F(Drawplus, AreaTableOverflowIsAnError) {
    EXPECT_EXIT(
        {
            out = tmpfile();   // not interactive: the error ends the program with its level
            for (int i = 0; i <= butt.max; i++) registerclickarea(0, 0, 1, 1, 'k');
        },
        testing::ExitedWithCode(1), "button k\\[107\\] ofl");
}

TEST_F(Drawplus, KeyStreamFromTheKeyboard) {
    addkey(0);
    addkey(72);      // Up
    addkey('a');
    EXPECT_EQ(mykey(), 200);
    EXPECT_EQ(mykey(), 'a');
    addmykey('z');
    addkey(27);
    EXPECT_EQ(extkey(), 27);
    EXPECT_EQ(mybufpos, 0);        // escape empties the extra buffer
    EXPECT_EQ(extrabufptr, 0);
    for (int i = 0; i < 20; i++) addmykey(i);
    EXPECT_EQ(mybufpos, 16);       // further keys are dropped
    mouseon = 1;
    EXPECT_EQ(mykbhit(), 0);       // the first waiting key stays
    EXPECT_EQ(mykey(), 0);
    EXPECT_EQ(mykey(), 1);
    EXPECT_EQ(mybufpos, 14);
    EXPECT_EQ(extrabufptr, 14);
    mouseon = 0;
}

struct FintCase {
    double a, want;
};
const FintCase fintCases[] = {
    {-3.7, -3}, {3.7, 3}, {0.5, 0}, {0, 0}, {255.99, 255}, {65536.5, 65536},
    {4503599627370495.5, 4503599627370495.0},   // 2^52 - 0.5: beyond any int
    {72057594037927936.0, 72057594037927936.0},
};

TEST(Fint, IntegerPartTable) {
    for (const auto& c : fintCases) EXPECT_EQ(fint(c.a), c.want) << c.a;
    std::string r = written([] { fint(1e20); });
    EXPECT_NE(r.find("fint(1e+20): fix ofl"), std::string::npos) << r;
    EXPECT_NE(r.find("WARNING"), std::string::npos) << r;
}

struct GridCase {
    double m, from, to;
    double B;
    int d;
    const char* fmt;
    int i0, i1;
};
const GridCase gridCases[] = {
    {2, 0, 1, 0.1, 1, "%.1f", 0, 10},
    {20, 0, 2, 0.1, 1, "%.1f", 0, 20},
    {3, 0, 1000, 100, -2, "%g", 0, 10},
    {3, 1e-6, 3e-6, 1e-7, 7, "%g", 9, 30},     // tiny values: %g; line 9 lies below from
    {3, 0.37, 0.52, 0.01, 2, "%.2f", 6, 22},   // indexed from a multiple of 10 B (30)
    {3, -0.37, 0.2, 0.1, 1, "%.1f", -3, 2},
};

TEST(Grid, StepTable) {
    for (const auto& c : gridCases) {
        GridStep g;
        ASSERT_TRUE(gridstep(c.m, c.from, c.to, &g)) << c.from << ".." << c.to;
        EXPECT_NEAR(g.B, c.B, 1e-12 * c.B) << c.from << ".." << c.to;
        EXPECT_EQ(g.d, c.d) << c.from << ".." << c.to;
        EXPECT_STREQ(g.fmt, c.fmt) << c.from << ".." << c.to;
        EXPECT_EQ(g.i0, c.i0) << c.from << ".." << c.to;
        EXPECT_EQ(g.i1, c.i1) << c.from << ".." << c.to;
    }
    GridStep g;
    EXPECT_FALSE(gridstep(3, 1, 1, &g));            // empty
    EXPECT_FALSE(gridstep(3, 2, 1, &g));            // reversed
    EXPECT_FALSE(gridstep(0, 0, 1, &g));            // no count: the search would not end
    EXPECT_FALSE(gridstep(3, 0, INFINITY, &g));
    EXPECT_FALSE(gridstep(3, NAN, 1, &g));
}

std::vector<std::string> labels(double m, double from, double to) {
    GridStep g;
    std::vector<std::string> v;
    if (!gridstep(m, from, to, &g)) return v;
    char text[40];
    for (int i = g.i0; i <= g.i1; i++)
        if (gridlabel(&g, i, text, sizeof text)) v.push_back(text);
    return v;
}

TEST(Grid, Labels) {
    // Indices 0..10 differ by less than 11: every line is labelled.
    EXPECT_EQ(labels(2, 0, 1), (std::vector<std::string>{"0.0", "0.1", "0.2", "0.3", "0.4", "0.5",
                                                          "0.6", "0.7", "0.8", "0.9", "1.0"}));
    // 0..20: only every fifth.
    EXPECT_EQ(labels(20, 0, 2), (std::vector<std::string>{"0.0", "0.5", "1.0", "1.5", "2.0"}));
    EXPECT_EQ(labels(3, 0, 1000)[1], "100");
}

}  // namespace
