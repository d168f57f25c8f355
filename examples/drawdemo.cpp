// drawdemo: a plot of a few curves with grid, labels and markers, a panel of buttons and a
// wheel, every button with its key; "@" and one more key dump the window (m = PPM, p = PS).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gen/draw.h"
#include "gen/drawplus.h"
#include "gen/dumpscr.h"

namespace {

const double xinit0 = 0, xinit1 = 10, ylo = -1.6, yhi = 2.6;
double xlo = xinit0, xhi = xinit1;   // the x range shown
int gridmode = 1;        // 0 none, 1 grey, 2 bright (makegrid's modes)
int markers = 1;         // markers on the parabola
int shape = 0;           // index into shapes
const char shapes[] = "osd^v+x*";
const char* info = "";   // one line in the status box

struct Curve {
    const char* name;
    int colour;
    double (*f)(double);
};
const Curve curves[] = {
    {"sin x", 14, [](double x) { return std::sin(x); }},
    {"cos x e^-x/5", 11, [](double x) { return std::cos(x) * std::exp(-x / 5); }},
    {"x^2/40-1", 12, [](double x) { return x * x / 40 - 1; }},
    {"sqrt x/2", 10, [](double x) { return x >= 0 ? std::sqrt(x) / 2 : NAN; }},
};

// Clips the segment to the plot range (Liang-Barsky); false when nothing is left.
bool clip(double& ax, double& ay, double& bx, double& by) {
    double t0 = 0, t1 = 1, dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {ax - xlo, xhi - ax, ay - ylo, yhi - ay};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double r = q[i] / p[i];
        if (p[i] < 0 && r > t0) t0 = r;
        if (p[i] > 0 && r < t1) t1 = r;
    }
    if (t0 > t1) return false;
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax += t0 * dx;
    ay += t0 * dy;
    return true;
}

void plotcurve(const Curve& c) {
    setcolor(c.colour);
    const int n = 400;
    double px = NAN, py = NAN;
    for (int i = 0; i <= n; i++) {
        double x = xlo + (xhi - xlo) * i / n, y = c.f(x);
        double ax = px, ay = py, bx = x, by = y;
        if (std::isfinite(ay) && std::isfinite(by) && clip(ax, ay, bx, by)) lline(ax, ay, bx, by);
        px = x;
        py = y;
    }
    up();
}

void plot() {
    lwindow(134, x_xsize - 6, 8, x_ysize - 42);
    setfillstyle(1, 0);
    bar(94, 0, x_xsize - 1, x_ysize - 29);
    scale(xlo, xhi, ylo, yhi);
    makegrid(gridmode, 3, 1, xlo, xhi, ylo, yhi, wy1 + 6);
    makegrid(gridmode, 3, 0, ylo, yhi, xlo, xhi, 98);
    setcolor(8);
    rectangle(wx0, wy0, wx1, wy1);
    for (const Curve& c : curves) plotcurve(c);
    if (markers) {
        setcolor(12);
        insidecolor = 4;
        pointsize = 3.5;
        for (double x = std::ceil(xlo); x <= xhi; x += 1) {
            double y = curves[2].f(x);
            if (y >= ylo && y <= yhi) point(x, y, shapes[shape]);
        }
    }
    // legend, right-aligned in the top right corner of the plot
    settextjustify(2, 2);
    for (int i = 0; i < 4; i++) {
        setcolor(curves[i].colour);
        outtextxy(wx1 - 4, wy0 + 4 + 12 * i, curves[i].name);
    }
    settextjustify(0, 2);
    char range[40];
    snprintf(range, sizeof range, "x %.3g .. %.3g", xlo, xhi);
    printinfo(x_xsize - 8 * (int)strlen(range) - 10, x_ysize - 20, range, 2);
}

// The status box holds 11 characters.
void status(const char* text) {
    info = text;
    setfillstyle(1, 1);
    bar(0, 0, 91, 25);
    setcolor(14);
    outtextxy(4, 3, "drawdemo");
    setcolor(15);
    outtextxy(4, 14, info);
}

void screen() {
    clearviewport();
    butt.n = butt.first = 0;
    butt.type = AREA_BUTTON;
    butt.rightkey = 27;
    butt.lineh = 16;
    butt.gap = 6;
    status(info);
    butt.x = 4;
    butt.y = 32;
    panel(10, 7, 8);
    createbutton("\033esc", 0);
    createbutton("hhelp", 50);
    buttnl();
    createbutton("+in+", 0);
    createbutton("-out-", 50);
    buttnl();
    createbutton("ggrid", 0);
    createbutton("mmark", 50);
    buttnl();
    createbutton("sshape", 0);
    createbutton("iinit", 50);
    buttnl();
    createbutton("rredraw", 0);
    buttnl();
    createbutton("@@dump", 0);
    buttnl();
    createcolbutton("\xCB \x11 ", 0, 11);    // the keys of Left and Right: 203, 205
    createcolbutton("\xCD \x10 ", 50, 11);
    // bottom bar: a wheel that drags the range
    butt.x = 2;
    butt.y = x_ysize - 20;
    panel(30, 1, 8);
    butt.type = AREA_WHEEL;
    createcolbutton("\005\x11 drag to move \x10", -1, 15);
    butt.type = AREA_BUTTON;
    plot();
}

void help() {
    setfillstyle(1, 8);
    bar(100, 20, 540, 330);
    setcolor(15);
    const char* lines[] = {
        "MOUSE: click a button, drag the wheel, right: quit",
        "",
        "KEYBOARD:",
        "  + -          zoom in, out",
        "  Left Right   move the range (also , and .)",
        "  g            grid: none, grey, bright",
        "  m s          markers on/off, next shape",
        "  i            initial range",
        "  r            redraw",
        "  @ m / @ M    dump to prtscr.ppm (M inverted)",
        "  @ p / @ P    dump to prtscr.ps, gray (P inverted)",
        "  h ?          this help",
        "  esc q        quit",
        "",
        "...press any key or button",
    };
    int y = 30;
    for (const char* l : lines) outtextxy(112, y += 18, l);
    butt.first = butt.n;   // only keys count now
    registerclickarea(0, 0, x_xsize - 1, x_ysize - 1, ' ');
}

void zoom(double factor) {
    double c = (xlo + xhi) / 2, h = (xhi - xlo) / 2 * factor;
    xlo = c - h;
    xhi = c + h;
}

void pan(double fraction) {
    double d = (xhi - xlo) * fraction;
    xlo += d;
    xhi += d;
}

// Without a window the curves are written as a table.
int textmode() {
    printf("%10s", "x");
    for (const Curve& c : curves) printf(" %14s", c.name);
    printf("\n");
    for (int i = 0; i <= 10; i++) {
        double x = xinit0 + (xinit1 - xinit0) * i / 10;
        printf("%10.3f", x);
        for (const Curve& c : curves) printf(" %14.6f", c.f(x));
        printf("\n");
    }
    return 0;
}

}  // namespace

int main() {
    xwindowhints.title = "drawdemo";
    xwindowhints.icon_title = "drawdemo";
    if (!xwindowhints.geometry) xwindowhints.geometry = "640x480";
    if (startgraph(0) < 0) {
        fprintf(stderr, "drawdemo: cannot start graphics, writing the curves as text\n");
        return textmode();
    }
    Imworking(0);   // nothing to do between events: sleep on them at once
    drawplus(40, 16, 1);
    info = "@m: dump";
    screen();
    for (;;) {
        int k = mykey();
        printf("key %d\n", k);
        fflush(stdout);
        if (butt.first > 0 && k != '@') {   // leaving the help screen
            screen();
            continue;
        }
        switch (k) {
        case 27:
        case 'q':
        case 3: closegraph(); return 0;
        case KEY_REDRAW:
            screen();
            break;
        case '+': zoom(0.618); plot(); break;
        case '-': zoom(1 / 0.618); plot(); break;
        case 203: case ',': pan(-0.1); plot(); break;
        case 205: case '.': pan(0.1); plot(); break;
        case 5: pan(-butt.wheel); butt.wheel = 0; plot(); break;
        case 'g': gridmode = (gridmode + 1) % 3; plot(); break;
        case 'm': markers = !markers; plot(); break;
        case 's': shape = (shape + 1) % 8; plot(); break;
        case 'i': xlo = xinit0; xhi = xinit1; plot(); break;
        case 'r': screen(); break;
        case 'h': case '?': help(); break;
        case '@': {
            const char* was = info;
            status("dump:mMpP?");
            int kind = mykey();
            status(was);
            DumpScr(kind);
            printf("key %d\n", kind);   // logged once the file is complete
            fflush(stdout);
            break;
        }
        default: status("? see help"); break;
        }
    }
}
