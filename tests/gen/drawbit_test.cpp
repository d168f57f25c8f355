// The font's layout and the reference glyph.
#include "gen/drawbit.h"

#include <gtest/gtest.h>

namespace {

TEST(Drawbit, FontLayout) {
    const unsigned short A[8] = {0x7C, 0x7E, 0x13, 0x11, 0x13, 0x7E, 0x7C, 0x00};
    for (int i = 0; i < 8; i++) EXPECT_EQ(f['A'][i], A[i]) << "column " << i;
    for (int c = 0; c < 256; c++) {
        int ink = 0;
        for (int i = 0; i < 8; i++) {
            EXPECT_EQ(f[c][i] >> 9, 0) << "code " << c << ": only rows 0..8 exist";
            ink |= f[c][i];
        }
        if (c == 0 || c == 32 || c == 255) {
            EXPECT_EQ(ink, 0) << c;
        } else if (c > 32 && c < 127) {
            EXPECT_NE(ink, 0) << "printable " << c << " is empty";
        }
    }
    // Capitals stand on row 6; descenders reach rows 7 and 8.
    for (int c = 'A'; c <= 'Z'; c++) {
        int ink = 0;
        for (int i = 0; i < 8; i++) ink |= f[c][i];
        EXPECT_TRUE(ink & 0x40) << (char)c;
        EXPECT_EQ(ink & 0x180, c == 'Q' ? ink & 0x180 : 0) << (char)c;
    }
    int g = 0;
    for (int i = 0; i < 8; i++) g |= f['g'][i];
    EXPECT_TRUE(g & 0x100);
    EXPECT_NE(f[16][0] | f[16][3], 0);   // the right-pointing triangle of the key buttons
}

}  // namespace
