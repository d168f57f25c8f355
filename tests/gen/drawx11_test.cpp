// Translation of key presses into the PC-style key stream.
// gtest first: Xlib defines macros (None, Bool) that gtest's own names would run into.
#include <gtest/gtest.h>

#include "gen/drawx11.h"

#include <X11/keysym.h>

#include <cstring>
#include <vector>

namespace {

struct KeyCase {
    unsigned long keysym;
    const char* text;
    std::vector<int> codes;
};

TEST(DrawX11, KeyCodesTable) {
    const KeyCase cases[] = {
        {XK_Up, "", {0, 72}},
        {XK_KP_Up, "", {0, 72}},
        {XK_Home, "", {0, 71}},
        {XK_Begin, "", {0, 71}},
        {XK_Left, "", {0, 75}},
        {XK_Right, "", {0, 77}},
        {XK_Down, "", {0, 80}},
        {XK_Prior, "", {0, 73}},
        {XK_Next, "", {0, 81}},
        {XK_End, "", {0, 79}},
        {XK_Insert, "", {0, 82}},
        {XK_Delete, "\177", {0, 83}},   // Delete is the extended key even though it has a char
        {XK_F1, "", {29}},
        {XK_Shift_L, "", {}},
        {XK_Control_R, "", {}},
        {XK_Alt_L, "", {}},
        {XK_a, "a", {'a'}},
        {XK_c, "\003", {3}},            // Ctrl-C
        {XK_Escape, "\033", {27}},
        {XK_Return, "\r", {13}},
    };
    for (const auto& c : cases) {
        unsigned char codes[8];
        int n = xkeycodes(c.keysym, c.text, (int)strlen(c.text), codes);
        std::vector<int> got(codes, codes + n);
        EXPECT_EQ(got, c.codes) << XKeysymToString(c.keysym);
    }
}

}  // namespace
