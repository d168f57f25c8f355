// The backend-independent part of the drawing layer: window geometry, the key buffer and the
// idle control of keyboard polling.
#include "gen/draw.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>

WindowHints xwindowhints = {40, 40, nullptr, nullptr, nullptr, "graphics", "graphics"};

int x_xsize = 640, x_ysize = 480;
int no_colors = 0;
unsigned long* xcoltab = nullptr;
unsigned long winbackground = 0;
int x_color = 15;
int x_fillcolor = 15;
int currentcolor = -1;
int xormode = 0;
int ggx = 0, ggy = 0;
const char* const turbo[16] = {"black",   "darkblue", "darkgreen", "darkcyan",
                               "darkred", "darkmagenta", "chocolate", "gray70",
                               "gray40",  "blue",     "green",     "cyan",
                               "red",     "magenta",  "yellow",    "white"};

unsigned char keybuf[KEYBUFLEN];
int keybufptr = 0;
int extrabufptr = 0;
DosMouse dosmouse = {0, 0, 0, 0, 0};
int mouseclicks = 0;
int clickx = 0, clicky = 0;

double worktime0 = 3;
int refreshtimer = 0;
double ti = 0, ti0 = 0;

namespace {

// A number of the geometry text; values far beyond any screen are cut so nothing overflows.
long number(const char** p) {
    char* end;
    long v = strtol(*p, &end, 10);
    *p = end;
    if (v > 100000) v = 100000;
    if (v < -100000) v = -100000;
    return v;
}

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + 1e-9 * (double)t.tv_nsec;
}

}  // namespace

WindowGeometry windowgeometry(const char* geometry, int sw, int sh) {
    WindowGeometry g;
    g.width = 2 * sw / 3;
    g.height = 2 * sh / 3;
    if (g.width > 640) g.width = 640;
    if (g.height > 480) g.height = 480;
    g.xoff = g.yoff = 1;
    bool xneg = false, yneg = false;
    if (geometry) {
        const char* p = geometry;
        if (isdigit((unsigned char)*p)) g.width = (int)number(&p);
        if ((*p == 'x' || *p == 'X') && isdigit((unsigned char)p[1])) {
            p++;
            g.height = (int)number(&p);
        }
        int found = 0;
        for (; *p && found < 2; p++) {
            if ((*p == '+' || *p == '-') && isdigit((unsigned char)p[1])) {
                bool neg = *p == '-';
                const char* q = p + 1;
                int v = (int)number(&q);
                if (found == 0) {
                    g.xoff = neg ? -v : v;
                    xneg = neg;
                } else {
                    g.yoff = neg ? -v : v;
                    yneg = neg;
                }
                found++;
                p = q - 1;
            }
        }
    }
    if (g.width < 60) g.width = 100;
    if (g.height < 60) g.height = 100;
    if (g.width > sw) g.width = sw;
    if (g.height > sh) g.height = sh;
    g.x = xneg ? g.xoff + sw - g.width : g.xoff;
    g.y = yneg ? g.yoff + sh - g.height : g.yoff;
    return g;
}

void addkey(int k) {
    if (keybufptr >= KEYBUFLEN - 1) {
        fprintf(stderr, "draw/X11 error: %s\n", "keybuf ofl");
        keybufptr--;
        return;
    }
    keybuf[keybufptr++] = (unsigned char)k;
}

int getch() {
    while (keybufptr == 0) {
        // Without a window no key can come: the screens take escape and leave.
        if (!windowopen()) return 27;
        hit(1);
    }
    int k = keybuf[0];
    keybufptr--;
    for (int i = 0; i < keybufptr; i++) keybuf[i] = keybuf[i + 1];
    return k;
}

int kbhit() {
    bool nokey = keybufptr == 0 && extrabufptr == 0;
    if (worktime0 <= 0) {
        hit(nokey ? 1 : 0);
        return keybufptr;
    }
    double t = now();
    if (ti0 == 0) ti0 = t;
    // Activity marked by Imworking counts: the program has just been busy, not the user idle.
    if (!refreshtimer && ti - ti0 > worktime0) {
        hit(nokey ? 1 : 0);
        refreshtimer = 1;
    } else {
        ti = t;
    }
    if (hit(0) > 0 || refreshtimer) {
        ti = ti0 = now();
        refreshtimer = 0;
    }
    return keybufptr;
}

void Imworking(double t) {
    if (t >= 0) worktime0 = t;
    refreshtimer = 1;
}

void delay(int n) {
    static volatile double fordelay = 0;
    for (long i = 0; i < 1000L * n; i++) fordelay = 1.4 - fordelay * fordelay;
}
