// qorsys.cpp: long jumps, interrupts, console colours and the machine precision.
#include "qor/qorsys.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "qor/qor.h"

JmpInfo jmpinfo = {"", "?", 1};
int ansi = 3;
double realprec = 2.220446049250313e-16;

void jmpError(const char* format, ...) {
    va_list a;
    va_start(a, format);
    vsnprintf(jmpinfo.text, sizeof jmpinfo.text, format, a);
    va_end(a);
    if (jmpinfo.line <= 0) jmpinfo.line = 1;
    throw JumpError{jmpinfo.line};
}

// The decrease a -> 2a/3 stops where rounding noise takes over; the noise of exp(log(i)) and
// sqrt(i)^2 adds what the library functions lose.
double machprec() {
    volatile double a = 1e-6, b;
    for (int guard = 0; guard < 2000; guard++) {
        b = ((3 + a) * 2) / 3 - 2;
        if (!(b < a)) break;
        a = b;
    }
    a = 2 * b;
    for (int i = 2; i <= 17; i++) a += (std::fabs(i - std::exp(std::log((double)i))) +
                                        std::fabs(i - std::pow(std::sqrt((double)i), 2))) / i;
    return a / 10;
}

void ansicolor(int n) {
    static const int table[3][8] = {{30, 34, 32, 36, 31, 35, 33, 37},
                                    {37, 33, 32, 36, 31, 35, 34, 30},
                                    {1, 0, 7, 0, 7, 0, 1, 0}};
    if (ansi >= 4 || ansi <= -4) ansi = 0;
    if (ansi == 0) return;
    fprintf(stderr, "\033[%i;%im", ansi > 0 ? 1 : 0, table[std::abs(ansi) - 1][n & 7]);
}

// ---- Key names read from the help file ----------------------------------------------------

KeyCell keykey[84];

const char* keyinfo(int k) {
    static char buf[16];
    snprintf(buf, sizeof buf, "%d=?", k);
    for (const KeyCell& c : keykey)
        if (c.text[0] && (unsigned char)c.text[0] == k + 146) return c.text + 1;
    return buf;
}
