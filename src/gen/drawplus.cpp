// Buttons, click areas and panels; the merged key stream of keyboard and mouse; grid lines.
#include "gen/drawplus.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "gen/alloc.h"
#include "gen/ground.h"

clickarea* buttons = nullptr;
clickarea* lastbutton = nullptr;
ButtState butt = {0, 0, 0, 0, 27, AREA_BUTTON, 2, 8, 0, 2, 14};
unsigned char* mykeybuf = nullptr;
int maxmybuflen = 0;
int mybufpos = 0;
int mouseon = 0;
MouseSample New = {0, 0, 1, 1, 1}, Last = {0, 0, 1, 1, 1};
int iswheel = 0;
clickarea* wheelp = nullptr;

namespace {

// Text of the widgets: size 1, left and top justified, whatever the caller's plot uses.
struct PlainText {
    int size = textsize, xj = xjust, yj = yjust;
    PlainText() {
        textsize = 1;
        xjust = 0;
        yjust = 2;
    }
    ~PlainText() {
        textsize = size;
        xjust = xj;
        yjust = yj;
    }
};

bool same(const MouseSample& a, const MouseSample& b) {
    return a.x == b.x && a.y == b.y && a.left == b.left && a.right == b.right &&
           a.middle == b.middle;
}

// Waits for the release of logical button b, sleeping on the event queue meanwhile.
void waitrelease(int b) {
    while (!getButton(b) && windowopen()) hit(1);
}

bool contains(const clickarea& a, int x, int y) {
    return x >= a.x1 && x <= a.x2 && y >= a.y1 && y <= a.y2;
}

}  // namespace

void drawplus(int areas, int keybuflen, int mouse) {
    mouseon = mouse;
    butt.rightkey = 27;
    if (mouse) doMouse();
    if (!buttons) {
        if (areas < 1) areas = 1;
        mymalloc(&buttons, areas * (int)sizeof(clickarea), 1);
        butt.max = buttons ? areas : 0;
        butt.n = 0;
    }
    if (!mykeybuf) {
        if (keybuflen < 1) keybuflen = 1;
        mymalloc(&mykeybuf, keybuflen, 1);
        maxmybuflen = mykeybuf ? keybuflen : 0;
        mybufpos = extrabufptr = 0;
    }
}

void registerclickarea(int x1, int y1, int x2, int y2, int key) {
    if (!buttons || butt.n >= butt.max) {
        lastbutton = nullptr;
        MYERROR(1, "drawplus", "button %c[%d] ofl", key & 255, key & 255);
        return;
    }
    clickarea& a = buttons[butt.n++];
    a.x1 = x1;
    a.y1 = y1;
    a.x2 = x2;
    a.y2 = y2;
    a.key = (unsigned char)key;
    a.type = butt.type;
    lastbutton = &a;
}

void registerbutton(int x1, int x2, int key) {
    registerclickarea(x1 - 1, butt.y - 1, x2 + 1, butt.y + 10, key);
}

void createcolbutton(const char* label, int x, int colour) {
    int key = (unsigned char)label[0];
    const char* shown = label[0] ? label + 1 : label;
    bool advance = x < 0;
    if (advance) x = 0;
    int px = butt.x + x;
    printinfo(px, butt.y, shown, colour);
    registerbutton(px, butt.right, key);
    if (lastbutton) buttonborder(lastbutton, butt.type == AREA_WHEEL ? 12 : 7);
    if (advance) butt.x = butt.right + butt.gap;
    const char* hot = key ? strchr(shown, key) : nullptr;
    if (hot) {
        char letter[2] = {(char)key, 0};
        printinfo(-(px + 8 * (int)(hot - shown)), butt.y, letter, colour == 14 ? 15 : 14);
    }
}

void createbutton(const char* label, int x) { createcolbutton(label, x, 15); }

void createpmbutton(const char* name, const char* keys, int withfactors) {
    char label[16];
    snprintf(label, sizeof label, "%c %s%.6s", keys[0], strlen(name) < 3 ? " " : "", name);
    while (strlen(label) < 5) strcat(label, " ");
    createbutton(label, 0);
    if (withfactors) {
        char times[3] = {keys[1], '*', 0}, by[3] = {keys[2], '/', 0};
        createcolbutton(times, 55, 11);
        createcolbutton(by, 74, 11);
    }
    buttnl();
}

void buttnl() { butt.y += butt.lineh; }

void buttonborder(clickarea* a, int colour) {
    if (!a) return;
    setwritemode(0);
    setcolor(colour);
    rectangle(a->x1, a->y1, a->x2, a->y2);
    rectangle(a->x1 - 1, a->y1 - 1, a->x2 + 1, a->y2 + 1);
}

void panel(int columns, int lines, int colour) {
    int x1 = butt.x - 2, x2 = butt.x + 8 * columns + 2, y2 = butt.y + lines * butt.lineh - 1;
    setwritemode(0);
    setfillstyle(1, colour);
    bar(x1, butt.y, x2, y2);
    setfillstyle(1, 0);
    bar(x1, y2 + 1, x2, y2 + 4);
    butt.y += 4;
}

void printinfo(int x, int y, const char* text, int bg) {
    bool narrow = x < 0;
    if (narrow) x = -x;
    butt.right = x + 8 * (int)strlen(text) + 4;
    setwritemode(0);
    setfillstyle(1, bg);
    if (narrow)
        bar(x + 2, y, butt.right - 2, y + 9);
    else
        bar(x, y, butt.right, y + 9);
    setcolor(bg < 7 || bg == 7 || bg == 9 || bg == 12 ? 15 : 0);
    PlainText plain;
    outtextxy(x + 3, y + 1, text);
    setcolor(0);
}

void addmykey(int key) {
    if (mybufpos < maxmybuflen) mykeybuf[mybufpos++] = (unsigned char)key;
    extrabufptr = mybufpos;
}

int extkey() {
    int k = getch();
    if (k == 27) mybufpos = extrabufptr = 0;
    if (k == 0) return getch() | 128;
    return k;
}

void nextevent() {
    nextmouseevent();
    // nextmouseevent has read the events; a second kbhit here could sleep on the queue and
    // swallow a button press before the mouse is looked at.
    while (keybufptr > 0 && mybufpos < maxmybuflen) addmykey(extkey());
}

int mykbhit() {
    nextevent();
    return mybufpos ? mykeybuf[0] : 0;
}

int mykey() {
    if (!mouseon) return extkey();
    if (!windowopen() && !mybufpos) return extkey();
    while (!mybufpos) nextevent();
    int k = mykeybuf[0];
    mybufpos--;
    memmove(mykeybuf, mykeybuf + 1, (size_t)mybufpos);
    extrabufptr = mybufpos;
    return k;
}

void nextmouseevent() {
    kbhit();
    if (!mouseon) return;
    MouseSample s = {getMouseX(), getMouseY(), getButton(1), getButton(2), getButton(4)};
    // A press since the last look is judged where it happened (a drag starts there), and a
    // click that began and ended meanwhile counts as held now.
    int clicks = mouseclicks;
    mouseclicks = 0;
    if ((clicks & Map[1]) && !iswheel) {
        if (s.left && Last.left) s.left = 0;
        if (!s.left) {
            s.x = clickx;
            s.y = clicky;
        }
    }
    if (s.right && (clicks & Map[2])) s.right = 0;
    if (s.middle && (clicks & Map[4])) s.middle = 0;
    if (same(s, Last)) return;
    bool wheel = false;
    if (!s.left) {
        if (iswheel) {
            wheel = true;
        } else {
            for (int i = butt.first; i < butt.n; i++) {
                clickarea& a = buttons[i];
                if (!contains(a, s.x, s.y)) continue;
                if (a.type == AREA_WHEEL) {
                    wheelp = &a;
                    iswheel = s.x > 0 ? s.x : 1;
                    buttonborder(wheelp, 4);
                    delay(250);
                } else {
                    addmykey(a.key);
                    if (a.type == AREA_BUTTON) {
                        buttonborder(&a, 0);
                        waitrelease(1);
                        buttonborder(&a, 7);
                        s.left = 1;
                    }
                }
                break;
            }
        }
    } else if (iswheel) {
        iswheel = 0;
        wheel = true;
    }
    if (!wheel) {
        if (!s.middle) {
            waitrelease(4);
            addmykey(27);
        }
        if (!s.right) {
            waitrelease(2);
            addmykey(butt.rightkey & 255);
        }
    } else if (wheelp) {
        buttonborder(wheelp, iswheel ? 4 : 12);
        if (s.x != Last.x) {
            if (!(mybufpos && mykeybuf[mybufpos - 1] == wheelp->key)) {
                addmykey(wheelp->key);
                butt.wheel = 0;
            }
            int width = wheelp->x2 - wheelp->x1;
            if (width > 0) butt.wheel += (double)(s.x - Last.x) / width;
        }
    }
    New = s;
    Last = s;
}

void showMouse() {
    if (mouseon) showMouseCursor();
}

void hideMouse() {
    if (mouseon) hideMouseCursor();
}

double fint(double a) {
    if (a < 0) return -fint(-a);
    const double top = 72057594037927936.0;  // 2^56
    if (a > top) MYERROR(0, "drawplus", "fint(%g): fix ofl", a);
    double sum = 0;
    for (double b = top; b >= 256;) {
        b /= 256;
        double c = std::trunc(a / b) * b;
        a -= c;
        sum += c;
    }
    return sum;
}

int gridstep(double m, double from, double to, GridStep* g) {
    double span = to - from;
    if (!(span > 0) || !std::isfinite(span) || !(m > 0) || !std::isfinite(m)) return 0;
    double B = 1;
    int d = 0;
    for (int k = 0; k < 700 && 10 * m * B < span; k++) B *= 10, d--;
    for (int k = 0; k < 700 && m * B > span; k++) B /= 10, d++;
    if (!(B > 0) || !std::isfinite(B) || span / B > 1e5) return 0;
    if (d > 16) d = 16;
    g->B = B;
    g->d = d;
    if (d < 0 || (std::fabs(from) < 1e-5 && std::fabs(to) < 1e-5))
        snprintf(g->fmt, sizeof g->fmt, "%%g");
    else
        snprintf(g->fmt, sizeof g->fmt, "%%.%df", d);
    g->c0 = 10 * fint(from / (10 * B));
    double a = from / B - 0.0001 - g->c0, b = to / B + 0.0001 - g->c0;
    if (!(std::fabs(a) < 1e6 && std::fabs(b) < 1e6)) return 0;
    g->i0 = (int)a;
    g->i1 = (int)b;
    return 1;
}

int gridlabel(const GridStep* g, int i, char* text, int size) {
    // Every fifth line, or all of them when the range holds only a few.
    if (!(i % 5 == 0 || g->i1 - g->i0 < 11)) return 0;
    snprintf(text, (size_t)size, g->fmt, (i + g->c0) * g->B);
    return 1;
}

void makegrid(int mode, double m, int vertical, double from, double to, double l1, double l2,
              int t) {
    GridStep g;
    if (mode == 0 || !gridstep(m, from, to, &g)) return;
    double tol = 0.0001 * (to - from);
    int lastend = INT_MIN / 2;
    PlainText plain;
    setlinestyle(4, 0, 1);
    auto gridline = [&](double v) {
        if (vertical)
            lline(v, l1, v, l2);
        else
            lline(l1, v, l2, v);
    };
    for (int i = g.i0; i <= g.i1; i++) {
        double E = (i + g.c0) * g.B;
        // Lines are kept inside from..to: the index range may reach one step beyond it.
        double half = E + g.B / 2;
        if (half < to + tol && half > from - tol) {
            setcolor(mode == 2 ? 7 : 8);
            gridline(half);
        }
        if (!(E > from - tol && E < to + tol)) continue;
        int colour = i % 10 == 0 || mode == 2 ? 15 : 7;
        setcolor(colour);
        gridline(E);
        char label[40];
        if (!gridlabel(&g, i, label, sizeof label)) continue;
        int len = (int)strlen(label);
        if (vertical) {
            int px = SX(E), x = px - (4 * len - 1);
            if (x < lastend + 8) continue;
            outtextxy(x, t, label);
            lastend = x + 8 * len;
            int r1 = t >= 100 ? t - 2 : t + 8, r2 = t >= 100 ? t - 3 : t + 9;
            putpixel(px - 1, r1, 15);
            putpixel(px, r1, 15);
            putpixel(px + 1, r1, 15);
            putpixel(px, r2, 15);
        } else {
            outtextxy(t, SY(E) - 4, label);
        }
    }
    setlinestyle(0, 0, 1);
    up();
}
