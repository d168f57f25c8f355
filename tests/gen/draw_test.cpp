// Window geometry, the key buffer, and running without any display.
#include "gen/draw.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct GeometryCase {
    const char* text;
    int sw, sh;
    int width, height, xoff, yoff, x, y;
};
const GeometryCase geometryCases[] = {
    {"300x200-10+20", 1024, 768, 300, 200, -10, 20, 1024 - 300 - 10, 20},
    {"20x20", 1024, 768, 100, 100, 1, 1, 1, 1},           // below 60 becomes 100
    {nullptr, 1280, 1024, 640, 480, 1, 1, 1, 1},          // two thirds, at most 640 x 480
    {nullptr, 600, 450, 400, 300, 1, 1, 1, 1},            // 2 * 600 / 3 in integers
    {"5000x4000+3+4", 1024, 768, 1024, 768, 3, 4, 3, 4},  // cut to the screen
    {"640x480+10-20", 1024, 768, 640, 480, 10, -20, 10, 768 - 480 - 20},
    {"300x200-0-0", 1024, 768, 300, 200, 0, 0, 724, 568},  // -0 is flush right and bottom
    {"500", 1024, 768, 500, 480, 1, 1, 1, 1},             // a width alone keeps the height
    {"junk", 1024, 768, 640, 480, 1, 1, 1, 1},
};

TEST(Draw, GeometryTable) {
    for (const auto& c : geometryCases) {
        WindowGeometry g = windowgeometry(c.text, c.sw, c.sh);
        const char* t = c.text ? c.text : "(none)";
        EXPECT_EQ(g.width, c.width) << t;
        EXPECT_EQ(g.height, c.height) << t;
        EXPECT_EQ(g.xoff, c.xoff) << t;
        EXPECT_EQ(g.yoff, c.yoff) << t;
        EXPECT_EQ(g.x, c.x) << t;
        EXPECT_EQ(g.y, c.y) << t;
    }
}

TEST(Draw, KeyBufferOverflowDropsTheNewest) {
    keybufptr = 0;
    for (int k = 0; k < KEYBUFLEN - 1; k++) addkey(k + 1);
    EXPECT_EQ(keybufptr, 127);
    testing::internal::CaptureStderr();
    addkey(200);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "draw/X11 error: keybuf ofl\n");
    EXPECT_EQ(keybufptr, 126);                 // the newest waiting code is gone, 200 not stored
    EXPECT_EQ(keybuf[125], 126);
    EXPECT_EQ(getch(), 1);                     // the oldest comes first
    keybufptr = 0;
}

// Without a display the program learns it from startgraph and goes on: drawing does nothing,
// the key stream gives escape so that screens end, and nothing crashes or waits.
TEST(Draw, NoDisplayGoesOnInTextMode) {
    const char* displays[] = {nullptr, ":9997"};   // unset, and a server that is not there
    for (const char* d : displays) {
        EXPECT_EXIT(
            {
                if (d) setenv("DISPLAY", d, 1); else unsetenv("DISPLAY");
                if (startgraph(0) != -1) exit(1);
                setcolor(12);
                line(0, 0, 10, 10);
                bar(0, 0, 5, 5);
                putpixel(1, 1, 3);
                setwritemode(1);
                clearviewport();
                closegraph();
                if (kbhit() != 0 || hit(1) != 0) exit(2);
                if (getch() != 27) exit(3);
                int w;
                int h;
                if (readwindow(&w, &h)) exit(4);
                exit(0);
            },
            testing::ExitedWithCode(0), "draw/X11 error: XOpenDisplay")
            << (d ? d : "unset");
    }
}

TEST(Draw, ImworkingSetsIdleTimeAndMarksActivity) {
    double saved = worktime0;
    refreshtimer = 0;
    Imworking(-1);
    EXPECT_EQ(worktime0, saved);
    EXPECT_EQ(refreshtimer, 1);
    Imworking(7);
    EXPECT_EQ(worktime0, 7);
    worktime0 = saved;
}

}  // namespace
