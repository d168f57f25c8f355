// qorres.cpp: the key table.
#include "qor/qorres.h"

#include "gen/ground.h"
#include "qor/qorsys.h"

// One flag byte per key: bits 0-2 phases, 0x08 critical, 0x10 azeotrope, 0x60 class
// (0x00 line, 0x40 point, 0x20 one-parameter point, 0x60 two-parameter point).
static const unsigned char keyflags[90] = {
    0,    0,    0x09, 0x49, 0x01, 0x02, 0x11, 0x03, 0x52, 0x4A,  //  0- 9
    0,    0,    0x21, 0x49, 0x29, 0x20, 0x39, 0x44, 0x32, 0x2A,  // 10-19
    0,    0,    0x41, 0x21, 0x49, 0x24, 0x21, 0x24, 0x32, 0x2A,  // 20-29
    0,    0,    0x2A, 0,    0x51, 0,    0x3A, 0x31, 0x33, 0x2B,  // 30-39
    0,    0,    0,    0x39, 0x31, 0,    0x31, 0,    0x32, 0x31,  // 40-49
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     // 50-59
    0,    0x7A, 0,    0,    0x6A, 0,    0x7B, 0,    0x73, 0x6B,  // 60-69
    0x72, 0x72, 0x6A, 0x6A, 0,    0,    0,    0,    0,    0,     // 70-79
    0x52, 0x52, 0x4A, 0x4A, 0,    0,    0,    0,    0,    0,     // 80-89
};

// A key and the key 100 higher share their flags.
int keystat(int key) {
    if (key < 2) return 0;
    int r = key % 100;
    return r > 89 ? 0 : keyflags[r];
}

void keylist() {
    header("key=phenomenon        #ph x  f");
    for (int i = 0; i < 99; i++) {
        int flags = keystat(i);
        if (!flags) continue;
        int f = i == 4 || i == 5           ? 2
                : (flags & 0x60) == 0x60 ? -2
                : flags & 0x40           ? 0
                : flags & 0x20           ? -1
                                         : 1;
        prt(" %-21s %d %c%c %2d", keyinfo(i), flags & 7, flags & 0x08 ? 'C' : ' ',
            flags & 0x10 ? 'A' : ' ', f);
    }
    header("");
}
