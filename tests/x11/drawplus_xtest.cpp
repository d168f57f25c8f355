// Buttons, wheels and the merged key stream driven by real clicks, drags and key presses.
#include "xvfb.h"

#include "gen/drawplus.h"

using xtest::Shot;
using xtest::shot;

namespace {

class Panel : public OnWindow {
protected:
    void SetUp() override {
        OnWindow::SetUp();
        if (IsSkipped()) return;
        drawplus(75, 16, 1);
        butt.n = butt.first = 0;
        butt.type = AREA_BUTTON;
        butt.rightkey = 27;
        butt.wheel = 0;
        butt.x = 100;
        butt.y = 100;
        butt.gap = 8;
        butt.lineh = 14;
        mybufpos = extrabufptr = 0;
        iswheel = 0;
        wheelp = nullptr;
    }
    // Runs xdotool in the background and turns events into keys until it is done.
    void drive(std::initializer_list<std::string> args) {
        pid_t pid = xtest::start(args);
        while (!xtest::finished(pid)) {
            nextevent();
            usleep(1000);
        }
        for (int i = 0; i < 20; i++) {
            xtest::settle();
            nextevent();
        }
    }
    std::string keys() { return std::string(mykeybuf, mykeybuf + mybufpos); }
};

TEST_F(Panel, ClickQueuesTheKeyOnce) {
    createbutton("kkey", 0);   // box 100..136 x 100..109
    const std::string w = xtest::winid();
    Shot s = shot();
    EXPECT_EQ(s.at(99, 99), 7);     // light grey frame
    EXPECT_EQ(s.at(127, 100), 15);  // white box
    EXPECT_EQ(s.at(105, 100), 14);  // the hot letter k on yellow
    drive({"xdotool", "mousemove", "--window", w, "120", "105", "sleep", "0.2", "mousedown", "1",
           "sleep", "0.8", "mouseup", "1", "sleep", "0.2"});
    EXPECT_EQ(keys(), "k");
    EXPECT_EQ(shot().at(99, 99), 7);   // released look again
    mybufpos = 0;
    // a click quicker than one poll still counts, once
    xtest::run({"xdotool", "mousemove", "--window", w, "125", "103", "click", "1"});
    for (int i = 0; i < 20; i++) {
        xtest::settle();
        nextevent();
    }
    EXPECT_EQ(keys(), "k");
    mybufpos = 0;
    // outside every area, and on an area that is no longer active
    drive({"xdotool", "mousemove", "--window", w, "300", "300", "click", "1"});
    EXPECT_EQ(keys(), "");
    butt.first = 1;
    drive({"xdotool", "mousemove", "--window", w, "120", "105", "click", "1"});
    EXPECT_EQ(keys(), "");
}

TEST_F(Panel, MiddleGivesEscapeRightGivesItsKey) {
    const std::string w = xtest::winid();
    butt.rightkey = 13;
    drive({"xdotool", "mousemove", "--window", w, "300", "300", "click", "2", "sleep", "0.2",
           "click", "3"});
    EXPECT_EQ(keys(), "\033\r");
}

TEST_F(Panel, WheelDragCountsWidths) {
    butt.type = AREA_WHEEL;
    createcolbutton("\005move", 0, 15);   // area 99..137: 38 pixels wide
    butt.type = AREA_BUTTON;
    const clickarea a = buttons[0];
    int width = a.x2 - a.x1;
    ASSERT_EQ(width, 38);
    EXPECT_EQ(shot().at(a.x1, a.y1), 12);   // a wheel has a red frame
    const std::string w = xtest::winid();
    auto drag = [&] {
        drive({"xdotool", "mousemove", "--window", w, "110", "105", "sleep", "0.2", "mousedown",
               "1", "sleep", "0.4", "mousemove_relative", "19", "0", "sleep", "0.2",
               "mousemove_relative", "38", "0", "sleep", "0.2", "mouseup", "1", "sleep", "0.2"});
    };
    drag();
    EXPECT_EQ(keys(), "\005");
    EXPECT_DOUBLE_EQ(butt.wheel, 1.5);
    EXPECT_EQ(iswheel, 0);
    EXPECT_EQ(mykey(), 5);
    drag();   // the key was taken: queued again, counting from 0
    EXPECT_EQ(keys(), "\005");
    EXPECT_DOUBLE_EQ(butt.wheel, 1.5);
}

TEST_F(Panel, KeyboardThroughMykey) {
    addmykey('z');
    xtest::type({"Up", "x"});
    ASSERT_TRUE(xtest::waitkeys(3));
    EXPECT_EQ(mykey(), 'z');
    EXPECT_EQ(mykey(), 200);
    EXPECT_EQ(mykey(), 'x');
    addmykey('z');
    xtest::type({"Escape"});
    ASSERT_TRUE(xtest::waitkeys(1));
    EXPECT_EQ(extkey(), 27);
    EXPECT_EQ(mybufpos, 0);   // escape from the keyboard dropped the waiting 'z'
}

TEST_F(Panel, HotKeyLetterAndTextBoxColours) {
    createcolbutton("hhelp", 0, 1);   // dark blue box, white text, hot 'h' on yellow
    Shot s = shot();
    EXPECT_EQ(s.at(101, 104), 1);    // box left of the narrow letter box
    EXPECT_EQ(s.at(102, 100), 14);   // the letter's box starts 2 pixels in
    int white = 0;
    for (int x = 112; x < 136; x++)
        for (int y = 101; y < 108; y++) white += s.at(x, y) == 15;
    EXPECT_GT(white, 20);            // "elp" in white
    printinfo(300, 300, "ab", 11);   // cyan: black text
    s = shot();
    EXPECT_EQ(s.at(300, 300), 11);
    EXPECT_EQ(s.at(320, 309), 11);   // to 300 + 8 * 2 + 4 inclusive
    EXPECT_EQ(s.at(321, 309), 0);
    EXPECT_EQ(x_color, 0);
}

int inkin(const Shot& s, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) n += s.at(x, y) > 0;
    return n;
}

TEST_F(Panel, GridLinesTicksAndLabels) {
    lwindow(100, 599, 10, 400);
    scale(0, 1, 0, 1);
    makegrid(1, 2, 1, 0, 1, 0, 1, 410);
    makegrid(1, 2, 0, 0, 1, 0, 1, 20);
    Shot s = shot();
    for (int k = 0; k <= 10; k++) {
        int px = SX(k / 10.0);
        EXPECT_EQ(s.at(px, 410 - 3), 15) << k;   // labels below row 100: ticks above them
        EXPECT_EQ(s.at(px - 1, 410 - 2), 15) << k;
        EXPECT_EQ(s.at(px + 1, 410 - 2), 15) << k;
        EXPECT_GT(inkin(s, px - 11, 410, px + 12, 418), 5) << k;   // "0.k" centred below
    }
    EXPECT_EQ(s.at(SX(0.05), 410 - 3), 0);                 // half steps carry no tick
    // horizontal lines: labels at column 20, four rows above the line
    EXPECT_GT(inkin(s, 20, SY(0.5) - 4, 44, SY(0.5) + 4), 5);
    // The line at 0 is white, 0.1 light grey, the half step dark grey (all dotted).
    int white = 0, grey = 0, dark = 0;
    for (int y = 10; y <= 400; y++) {
        white += s.at(SX(0), y) == 15;
        grey += s.at(SX(0.1), y) == 7;
        dark += s.at(SX(0.05), y) == 8;
    }
    EXPECT_GT(white, 80);
    EXPECT_GT(grey, 80);
    EXPECT_GT(dark, 80);
    for (int x = 0; x < 100; x++) EXPECT_NE(s.at(x, 200), 8) << x;   // nothing left of from
    EXPECT_EQ(pen, 0);
}

}  // namespace
