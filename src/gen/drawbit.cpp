// The bitmap font and the markers, drawn pixel by pixel.
#include "gen/drawbit.h"

#include <cctype>
#include <cmath>

#include "gen/draw.h"

const unsigned short f[256][8] = {
#include "gen/drawbit_font.inc"
};

double pointsize = 0.798;
int insidecolor = 0;

void dot(double x, double y) { putpixel(SX(x), SY(y), x_color); }

void bigdot(double x, double y) {
    int px = SX(x), py = SY(y);
    putpixel(px, py, x_color);
    putpixel(px - 1, py, x_color);
    putpixel(px + 1, py, x_color);
    putpixel(px, py - 1, x_color);
    putpixel(px, py + 1, x_color);
}

namespace {

bool inside(int shape, double dx, double dy, double r) {
    switch (shape) {
    case 'o': return dx * dx + dy * dy < r * r;
    case 'd': return std::fabs(dx) + std::fabs(dy) < r;
    case 's': return std::fabs(dx) < r && std::fabs(dy) < r;
    case '^': return dy <= r / 2 && 1.7320508 * std::fabs(dx) - dy < r;
    case 'v': return -dy <= r / 2 && 1.7320508 * std::fabs(dx) + dy < r;
    default: return false;
    }
}

void plus(double cx, double cy, double r) {
    line((int)cx, (int)(cy - r), (int)cx, (int)(cy + r));
    line((int)(cx - r), (int)cy, (int)(cx + r), (int)cy);
}

}  // namespace

void point(double x, double y, int c) {
    int shape = tolower(c & 127);
    bool filled = shape == 'o' || shape == 's' || shape == 'd' || shape == '^' || shape == 'v';
    if (!filled && shape != '+' && shape != 'x' && shape != '*') return;
    double r = pointsize;
    if (shape == '+' || shape == 'd' || shape == 'v' || shape == '^') r *= 1.414;
    if (r <= 0) {
        dot(x, y);
        return;
    }
    double px = (x - scaling.x0) * scaling.kx, py = (scaling.y0 - y) * scaling.ky;
    if (!(std::fabs(px) < 4096 && std::fabs(py) < 4096)) return;
    int passes = shape == '*' || (filled && !(c & 128)) ? 2 : 1;
    // A marker is not part of a polyline: the pixel pen stays where the curve left it.
    int penx = ggx, peny = ggy;
    for (int pass = 0; pass < passes; pass++, r = 0.75 * r - 1) {
        double cx = px + 0.5, cy = py + 0.5;
        if (shape == 'x' || shape == '*') {
            line((int)(cx - r), (int)(cy - r), (int)(cx + r), (int)(cy + r));
            line((int)(cx - r), (int)(cy + r), (int)(cx + r), (int)(cy - r));
            if (shape == '*') plus(cx, cy, 1.414 * r);
        } else if (shape == '+') {
            plus(cx, cy, r);
        } else {
            int colour = pass == 0 ? x_color : insidecolor;
            for (int i = (int)(px + 1 - r); i < (int)(px + 1 + r); i++)
                for (int j = (int)(py + 1 - r); j < (int)(py + 1 + r); j++)
                    if (inside(shape, i - px, j - py, r)) putpixel(i, j, colour);
        }
    }
    ggx = penx;
    ggy = peny;
}
