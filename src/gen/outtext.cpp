// World coordinates, the world pen and bitmap text.
#include "gen/outtext.h"

#include <cstring>

#include "gen/draw.h"

int wx0 = 0, wx1 = 639, wy0 = 0, wy1 = 479;
Scaling scaling = {0, 1, 0, 1};
int pen = 0;
int textsize = 1;
int xjust = 0;
int yjust = 2;

namespace {

// Rounds a pixel offset: halves go up above -16383.5 (integer part of v + 16383.5), and the
// result is limited to what an X coordinate holds. NaN lands far off the window too.
int topixel(double v) {
    double t = v + 16383.5;
    if (!(t < 32767.0 + 16384.0)) return 32767;
    if (t < -32767.0) return -32767;
    int r = (int)t - 16383;
    return r > 32767 ? 32767 : r < -32767 ? -32767 : r;
}

}  // namespace

void lwindow(int x0, int x1, int y0, int y1) {
    wx0 = x0;
    wy0 = y0;
    wx1 = x0 >= x1 ? x_xsize - 1 : x1;
    wy1 = y0 >= y1 ? x_ysize - 1 : y1;
}

void scale(double xl, double xr, double yb, double yt) {
    scaling.kx = (wx1 - wx0) / (xr - xl);
    scaling.x0 = xl - wx0 / scaling.kx;
    scaling.ky = (wy1 - wy0) / (yt - yb);
    scaling.y0 = wy0 / scaling.ky + yt;
}

int SX(double x) { return topixel((x - scaling.x0) * scaling.kx); }
int SY(double y) { return topixel((scaling.y0 - y) * scaling.ky); }
double iSX(double p) { return p / scaling.kx + scaling.x0; }
double iSY(double p) { return scaling.y0 - p / scaling.ky; }

void up() { pen = 0; }

void draw(double x, double y) {
    int px = SX(x), py = SY(y);
    if (pen) {
        line(ggx, ggy, px, py);
    } else {
        ggx = px;
        ggy = py;
    }
    pen = 1;
}

void lline(double x1, double y1, double x2, double y2) {
    up();
    draw(x1, y1);
    draw(x2, y2);
}

void settextstyle(int, int, int size) { textsize = size; }

void settextjustify(int horizontal, int vertical) {
    xjust = horizontal;
    yjust = vertical;
}

void outtextxy(int x, int y, const char* text) {
    int n = (int)strlen(text);
    int s = textsize > 0 ? textsize : 1;
    x -= xjust * (4 * n - 1) * s;
    y -= (6 - 3 * yjust) * s;
    for (const unsigned char* c = (const unsigned char*)text; *c; c++, x += 8 * s) {
        const unsigned short* g = f[*c];
        for (int i = 0; i < 8; i++) {
            if (!g[i]) continue;
            for (int j = 0; j < 9; j++) {
                if (!(g[i] >> j & 1)) continue;
                for (int a = 0; a < s; a++)
                    for (int b = 0; b < s; b++) putpixel(x + i * s + a, y + j * s + b, x_color);
            }
        }
    }
}

void outtext(const char* text) { outtextxy(ggx, ggy, text); }
