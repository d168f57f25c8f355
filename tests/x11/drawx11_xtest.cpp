// The drawing layer on a real (virtual) X server: pixels through the program's own dump,
// keys through real key presses.
#include "xvfb.h"

#include <X11/Xutil.h>

#include <climits>

using xtest::Shot;
using xtest::shot;

namespace {

struct Box {
    int x1 = INT_MAX, y1 = INT_MAX, x2 = INT_MIN, y2 = INT_MIN, n = 0;
};
Box inkof(const Shot& s, int colour) {
    Box b;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            if (s.at(x, y) == colour) {
                b.x1 = std::min(b.x1, x);
                b.y1 = std::min(b.y1, y);
                b.x2 = std::max(b.x2, x);
                b.y2 = std::max(b.y2, y);
                b.n++;
            }
    return b;
}

// One world unit a pixel, world y = pixel row, so markers land on exact pixel centres.
void pixelworld() {
    lwindow(0, 639, 0, 479);
    scale(0, 639, 479, 0);
}

TEST_F(OnWindow, PlacedAndSizedByTheGeometryHint) {
    int x, y;
    Window child;
    XTranslateCoordinates(display, win, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 1024 - 640 - 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(x_xsize, 640);
    EXPECT_EQ(x_ysize, 480);
}

TEST_F(OnWindow, PrimitivesDrawInTheirColours) {
    setcolor(12);
    line(10, 10, 100, 10);
    setfillstyle(1, 14);
    bar(20, 20, 29, 24);
    setcolor(11);
    rectangle(60, 40, 50, 30);   // corners in any order
    putpixel(300, 200, 13);
    setcolor(10);
    setlinestyle(1, 0, 1);
    line(100, 60, 140, 60);
    setlinestyle(0, 0, 1);
    Shot s = shot();
    ASSERT_EQ(s.w, 640);
    EXPECT_EQ(s.at(10, 10), 12);
    EXPECT_EQ(s.at(100, 10), 12);   // both end points
    EXPECT_EQ(s.at(55, 10), 12);
    EXPECT_EQ(s.at(55, 11), 0);
    EXPECT_EQ(s.at(101, 10), 0);
    EXPECT_EQ(inkof(s, 12).n, 91);
    Box b = inkof(s, 14);
    EXPECT_EQ(b.x1, 20);
    EXPECT_EQ(b.y1, 20);
    EXPECT_EQ(b.x2, 29);   // corners included
    EXPECT_EQ(b.y2, 24);
    EXPECT_EQ(b.n, 10 * 5);
    b = inkof(s, 11);
    EXPECT_EQ(b.x1, 50);
    EXPECT_EQ(b.y1, 30);
    EXPECT_EQ(b.x2, 60);
    EXPECT_EQ(b.y2, 40);
    EXPECT_EQ(s.at(55, 35), 0);   // only the outline
    EXPECT_EQ(s.at(300, 200), 13);
    // dotted: one pixel on, three off, starting two into the pattern
    std::string dots;
    for (int x = 100; x <= 112; x++) dots += s.at(x, 60) == 10 ? '#' : '.';
    EXPECT_EQ(dots, "..#...#...#..");
    EXPECT_EQ(x_color, 10);
    EXPECT_EQ(ggx, 140);
    EXPECT_EQ(ggy, 60);
}

TEST_F(OnWindow, ColourOutOfRangeIsReportedAndIgnored) {
    setcolor(12);
    line(0, 5, 9, 5);
    testing::internal::CaptureStderr();
    putpixel(3, 3, 99);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "draw/X11 error: color\n");
    EXPECT_EQ(currentcolor, 12);
    EXPECT_EQ(shot().at(3, 3), 12);   // drawn in the foreground that stayed
}

TEST_F(OnWindow, XorTwiceRestoresThePicture) {
    setcolor(15);
    line(0, 100, 639, 100);
    setfillstyle(1, 2);
    bar(200, 50, 300, 150);
    Shot before = shot();
    setwritemode(1);
    setcolor(12);
    line(150, 20, 350, 180);
    setfillstyle(1, 9);
    bar(250, 90, 400, 120);
    Shot once = shot();
    EXPECT_EQ(once.at(150, 20), 12);    // on the background xor draws the colour itself
    EXPECT_EQ(once.at(390, 95), 9);
    line(150, 20, 350, 180);
    bar(250, 90, 400, 120);
    setwritemode(0);
    EXPECT_EQ(shot().rgb, before.rgb);
}

TEST_F(OnWindow, TextMetrics) {
    setcolor(14);
    settextstyle(0, 0, 1);
    settextjustify(0, 2);
    outtextxy(12, 8, "INACTIVE");
    Box b = inkof(shot(), 14);
    ASSERT_GT(b.n, 0);
    EXPECT_GE(b.x1, 12);
    EXPECT_LE(b.x2, 75);
    EXPECT_GE(b.y1, 8);
    EXPECT_LE(b.y2, 16);
    EXPECT_EQ(b.y1, 8);     // capitals start in the top row
    EXPECT_EQ(b.y2, 14);    // and stand on row 6
    clearviewport();
    // centred both ways at size 2: x - (4n-1)s, y - 3s
    settextstyle(0, 0, 2);
    settextjustify(1, 1);
    outtextxy(320, 240, "AA");
    settextstyle(0, 0, 1);
    settextjustify(0, 2);
    b = inkof(shot(), 14);
    EXPECT_EQ(b.x1, 320 - 14);          // 'A' has ink in its first column
    EXPECT_EQ(b.y1, 240 - 6);
    EXPECT_EQ(b.y2, 240 - 6 + 13);      // 7 rows, doubled
    EXPECT_EQ(b.x2, 320 - 14 + 16 + 13);
}

// Lattice points strictly inside a circle of radius r around a pixel centre.
int discpixels(double r) {
    int n = 0;
    for (int i = -8; i <= 8; i++)
        for (int j = -8; j <= 8; j++) n += i * i + j * j < r * r;
    return n;
}

TEST_F(OnWindow, Markers) {
    pixelworld();
    setcolor(12);
    insidecolor = 9;
    pointsize = 4;
    point(200, 100, 'o');
    Shot s = shot();
    EXPECT_EQ(inkof(s, 9).n, discpixels(2));                    // 0.75 * 4 - 1
    EXPECT_EQ(inkof(s, 12).n, discpixels(4) - discpixels(2));   // the border
    Box b = inkof(s, 12);
    EXPECT_EQ(b.x1, 197);
    EXPECT_EQ(b.x2, 203);
    clearviewport();
    point(200, 100, 'O');   // case does not matter
    EXPECT_EQ(shot().rgb, s.rgb);
    clearviewport();
    point(200, 100, 239);   // solid
    s = shot();
    EXPECT_EQ(inkof(s, 12).n, discpixels(4));
    EXPECT_EQ(inkof(s, 9).n, 0);
    clearviewport();
    pointsize = 0;
    point(50, 60, 's');
    b = inkof(shot(), 12);
    EXPECT_EQ(b.n, 1);
    EXPECT_EQ(b.x1, 50);
    EXPECT_EQ(b.y1, 60);
    clearviewport();
    pointsize = 3;
    point(100, 100, 'x');
    point(100, 100, 'q');   // no such shape
    point(9000, 100, 'o');  // far outside: nothing
    b = inkof(shot(), 12);
    EXPECT_EQ(b.x1, 97);
    EXPECT_EQ(b.x2, 103);
    EXPECT_EQ(b.n, 13);
    pointsize = 0.798;
    insidecolor = 0;
}

TEST_F(OnWindow, KeyPressesBecomeKeyCodes) {
    xtest::type({"Up", "F1", "a", "ctrl+c", "Delete", "Escape"});
    ASSERT_TRUE(xtest::waitkeys(8));
    std::vector<int> got(keybuf, keybuf + keybufptr);
    EXPECT_EQ(got, (std::vector<int>{0, 72, 29, 'a', 3, 0, 83, 27}));   // Shift adds nothing
    keybufptr = 0;
    xtest::type({"Shift_L", "Control_L"});
    usleep(200000);
    xtest::settle();
    EXPECT_EQ(keybufptr, 0);
    xtest::type({"Left"});
    ASSERT_TRUE(xtest::waitkeys(2));
    EXPECT_EQ(getch(), 0);
    EXPECT_EQ(getch(), 75);
}

TEST_F(OnWindow, ResizeQueuesRedraw) {
    xtest::run({"xdotool", "windowsize", "--sync", xtest::winid(), "600", "440"});
    ASSERT_TRUE(xtest::waitkeys(1));
    EXPECT_EQ(keybuf[0], KEY_REDRAW);
    EXPECT_EQ(x_xsize, 600);
    EXPECT_EQ(x_ysize, 440);
    EXPECT_EQ(shot().w, 600);
    keybufptr = 0;
    xtest::run({"xdotool", "windowsize", "--sync", xtest::winid(), "640", "480"});
    xtest::waitkeys(1);
    EXPECT_EQ(x_xsize, 640);
    keybufptr = 0;
}

TEST_F(OnWindow, CloseMarksInactiveAndStartRedrawsWithoutStrayKeys) {
    addkey('q');
    closegraph();
    EXPECT_EQ(keybufptr, 0);
    Shot s = shot();
    EXPECT_EQ(s.at(5, 5), 12);                // the notice
    EXPECT_EQ(s.at(0, 300), 12);              // the frame
    EXPECT_EQ(s.at(1, 300), 12);
    EXPECT_EQ(s.at(2, 300), 0);
    EXPECT_GT(inkof(s, 14).n, 0);             // " WINDOW INACTIVE"
    EXPECT_LE(inkof(s, 14).x2, 75);
    EXPECT_EQ(startgraph(9), 9);
    xtest::settle();
    EXPECT_EQ(keybufptr, 0);
    EXPECT_EQ(inkof(shot(), 12).n, 0);        // cleared
}

TEST_F(OnWindow, DumpKeysChooseFormatAndInversion) {
    setcolor(15);
    line(0, 0, 639, 0);
    char name[] = "/tmp/qorpsXXXXXX";
    close(mkstemp(name));
    setenv("PRTSCR", name, 1);
    auto read = [&] {
        std::string t;
        FILE* f = fopen(name, "rb");
        for (int c; f && (c = fgetc(f)) != EOF;) t += (char)c;
        if (f) fclose(f);
        return t;
    };
    xtest::settle();
    DumpScr('M');
    std::string t = read();
    ASSERT_EQ(t.size(), 15 + 640 * 480 * 3u);
    EXPECT_EQ(t.substr(15, 3), std::string(3, '\0'));       // white turns black
    EXPECT_EQ(t.substr(15 + 640 * 3, 3), "\xff\xff\xff");   // the background white
    DumpScr('P');
    DumpScr('p');                                          // the second is plain again
    t = read();
    size_t data = t.find("image\n");
    ASSERT_NE(data, std::string::npos);
    EXPECT_NE(t.find("translate 640.00 480 scale"), std::string::npos);
    EXPECT_EQ(t.substr(data + 6, 5), "fd fd");
    EXPECT_EQ(t.substr(data + 5 + 640 * 3, 3), "\n00");   // second row: background
    unsetenv("PRTSCR");
    remove(name);
}

TEST_F(OnWindow, MouseButtonsThroughTheMap) {
    xtest::run({"xdotool", "mousemove", "--window", xtest::winid(), "30", "40", "mousedown", "3"});
    xtest::settle();
    EXPECT_EQ(getMouseX(), 30);
    EXPECT_EQ(getMouseY(), 40);
    EXPECT_EQ(getButton(1), 1);
    EXPECT_EQ(getButton(2), 0);   // right is X button 3
    int saved[8];
    std::copy(Map, Map + 8, saved);
    setenv("MOUSEMAP", "321", 1);
    doMouse();
    EXPECT_EQ(getButton(1), 0);   // now the left
    xtest::run({"xdotool", "mouseup", "3"});
    xtest::settle();
    EXPECT_EQ(getButton(1), 1);
    unsetenv("MOUSEMAP");
    std::copy(saved, saved + 8, Map);
}

// After worktime0 idle seconds kbhit sleeps on the event queue instead of spinning.
TEST_F(OnWindow, IdlePollingSleeps) {
    double saved = worktime0;
    worktime0 = 0.2;
    xtest::run({"xdotool", "windowfocus", "--sync", xtest::winid()});
    xtest::settle();
    pid_t typist = xtest::start({"xdotool", "sleep", "1", "key", "b"});
    Imworking(-1);
    timespec t0, t;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    long early = 0, late = 0;
    while (kbhit() == 0) {
        clock_gettime(CLOCK_MONOTONIC, &t);
        double s = (double)(t.tv_sec - t0.tv_sec) + 1e-9 * (double)(t.tv_nsec - t0.tv_nsec);
        if (s < 0.1) early++;
        if (s > 0.4) late++;
    }
    EXPECT_GT(early, 10);   // spinning while the user may still act
    EXPECT_LT(late, 3);     // then asleep until the key came
    EXPECT_EQ(getch(), 'b');
    waitpid(typist, nullptr, 0);
    worktime0 = saved;
}

}  // namespace

namespace {

// The window manager's close button leaves the screen (escape) instead of ending the program.
TEST_F(OnWindow, CloseRequestIsEscape) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = win;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSendEvent(display, win, False, NoEventMask, &e);
    ASSERT_TRUE(xtest::waitkeys(1));
    EXPECT_EQ(getch(), 27);
}

}  // namespace
