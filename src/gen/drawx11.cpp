// The X11 backend of the drawing layer: the window, its palette and graphics context, the
// primitives, and the translation of X events into the key stream and the mouse record.
#include "gen/drawx11.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gen/draw.h"

Display* display = nullptr;
int screen_num = 0;
int display_width = 0, display_height = 0;
Window win = 0;
GC gc = nullptr;
Colormap cmap = 0;

namespace {

bool gcinitialised = false;  // setcolor has loaded the first foreground and background
Atom deletewindow = None;    // the window manager's "close" request
int xerrors = 0;             // X protocol errors seen (they are reported, not fatal)

void xerror(const char* what) { fprintf(stderr, "draw/X11 error: %s\n", what); }

// A protocol error (a bad request, a window partly off the screen for an image) is reported
// and counted; the default handler would end the program.
int onxerror(Display* d, XErrorEvent* e) {
    char text[128];
    XGetErrorText(d, e->error_code, text, sizeof text);
    xerror(text);
    xerrors++;
    return 0;
}

void onevent(XEvent* e) {
    switch (e->type) {
    case KeyPress: {
        char text[16];
        KeySym ks = NoSymbol;
        int n = XLookupString(&e->xkey, text, sizeof text, &ks, nullptr);
        unsigned char codes[8];
        int m = xkeycodes(ks, text, n, codes);
        for (int i = 0; i < m; i++) addkey(codes[i]);
        break;
    }
    case ButtonPress:
    case ButtonRelease: {
        dosmouse.x = e->xbutton.x;
        dosmouse.y = e->xbutton.y;
        int down = e->type == ButtonPress;
        int bit = e->xbutton.button == Button1 ? 1 : e->xbutton.button == Button3 ? 2
                : e->xbutton.button == Button2 ? 4 : 0;
        if (bit == 1) dosmouse.b1 = down;
        if (bit == 4) dosmouse.b4 = down;
        if (bit == 2) dosmouse.b2 = down;
        if (bit && down) {
            mouseclicks |= bit;
            clickx = dosmouse.x;
            clicky = dosmouse.y;
        }
        break;
    }
    case MotionNotify:
        dosmouse.x = e->xmotion.x;
        dosmouse.y = e->xmotion.y;
        break;
    case Expose:
        if (e->xexpose.count == 0) addkey(KEY_REDRAW);
        break;
    case ClientMessage:
        // Closing the window through the window manager is escape: the screen is left,
        // the program (and its work) goes on.
        if ((Atom)e->xclient.data.l[0] == deletewindow) addkey(27);
        break;
    case ConfigureNotify:
        x_xsize = e->xconfigure.width;
        x_ysize = e->xconfigure.height;
        addkey(KEY_REDRAW);
        break;
    default: break;
    }
}

// The icon pixmap from the caller's bitmap; none when the hints give no sensible bitmap.
Pixmap iconpixmap() {
    const WindowHints& h = xwindowhints;
    if (!h.icon_bits || h.icon_width <= 0 || h.icon_height <= 0 || h.icon_width > 1024 ||
        h.icon_height > 1024)
        return None;
    return XCreateBitmapFromData(display, win, (const char*)h.icon_bits, (unsigned)h.icon_width,
                                 (unsigned)h.icon_height);
}

// The first call: connect, create and map the window, load the palette.
int opengraph(int n) {
    no_colors = n > 16 ? n : (n >= 2 && n <= 16 && n % 2 == 0) ? 256 : 16;
    free(xcoltab);   // from an earlier attempt that found no display
    xcoltab = (unsigned long*)calloc((size_t)no_colors, sizeof *xcoltab);
    if (!xcoltab) {
        fprintf(stderr, "draw/X11 ERROR: %s\n", "no heap");
        exit(-3);
    }
    display = XOpenDisplay(nullptr);
    if (!display) {
        xerror("XOpenDisplay");
        return -1;
    }
    XSetErrorHandler(onxerror);
    screen_num = DefaultScreen(display);
    display_width = DisplayWidth(display, screen_num);
    display_height = DisplayHeight(display, screen_num);
    cmap = DefaultColormap(display, screen_num);

    WindowGeometry g = windowgeometry(xwindowhints.geometry, display_width, display_height);
    fprintf(stderr, "window geometry=%dx%d%+d%+d\n", g.width, g.height, g.xoff, g.yoff);
    x_xsize = g.width;
    x_ysize = g.height;

    if (!xwindowhints.background) xwindowhints.background = "black";
    winbackground = BlackPixel(display, screen_num);
    XColor c, exact;
    if (XAllocNamedColor(display, cmap, xwindowhints.background, &c, &exact))
        winbackground = c.pixel;

    win = XCreateSimpleWindow(display, RootWindow(display, screen_num), g.x, g.y,
                              (unsigned)g.width, (unsigned)g.height, 0,
                              WhitePixel(display, screen_num), winbackground);
    XSizeHints* size = XAllocSizeHints();
    XWMHints* wm = XAllocWMHints();
    if (size) {
        size->flags = PPosition | PSize | PMinSize;
        size->x = g.x;
        size->y = g.y;
        size->width = size->min_width = g.width;
        size->height = size->min_height = g.height;
        XSetWMNormalHints(display, win, size);
        XFree(size);
    }
    if (wm) {
        wm->flags = InputHint | StateHint;
        wm->input = True;
        wm->initial_state = NormalState;
        Pixmap icon = iconpixmap();
        if (icon != None) {
            wm->flags |= IconPixmapHint;
            wm->icon_pixmap = icon;
        }
        XSetWMHints(display, win, wm);
        XFree(wm);
    }
    XStoreName(display, win, xwindowhints.title ? xwindowhints.title : "graphics");
    XSetIconName(display, win, xwindowhints.icon_title ? xwindowhints.icon_title : "graphics");

    deletewindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, win, &deletewindow, 1);

    XSelectInput(display, win,
                 KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     ExposureMask | StructureNotifyMask);
    XGCValues v;
    v.function = GXcopy;
    gc = XCreateGC(display, win, GCFunction, &v);

    for (int i = 1; i < 16 && i < no_colors; i++) {
        if (XAllocNamedColor(display, cmap, turbo[i], &c, &exact))
            xcoltab[i] = c.pixel;
        else
            fprintf(stderr, "draw/X11: %s is unknown color\n", turbo[i]);
    }
    xcoltab[0] = winbackground;
    setcolor(15);

    XMapWindow(display, win);
    XEvent e;
    do XWindowEvent(display, win, ExposureMask, &e);
    while (e.xexpose.count != 0);
    return n;
}

}  // namespace

int xkeycodes(unsigned long keysym, const char* text, int ntext, unsigned char* codes) {
    int scan = 0;
    switch (keysym) {
    case XK_Home: case XK_KP_Home: case XK_Begin: case XK_KP_Begin: scan = 71; break;
    case XK_Up: case XK_KP_Up: scan = 72; break;
    case XK_Prior: case XK_KP_Prior: scan = 73; break;
    case XK_Left: case XK_KP_Left: scan = 75; break;
    case XK_Right: case XK_KP_Right: scan = 77; break;
    case XK_End: case XK_KP_End: scan = 79; break;
    case XK_Down: case XK_KP_Down: scan = 80; break;
    case XK_Next: case XK_KP_Next: scan = 81; break;
    case XK_Insert: case XK_KP_Insert: scan = 82; break;
    case XK_Delete: case XK_KP_Delete: scan = 83; break;
    default: break;
    }
    if (scan) {
        codes[0] = 0;
        codes[1] = (unsigned char)scan;
        return 2;
    }
    if (IsModifierKey(keysym)) return 0;
    if (ntext <= 0) {
        codes[0] = KEY_NOCHAR;
        return 1;
    }
    if (ntext > 8) ntext = 8;
    for (int i = 0; i < ntext; i++) codes[i] = (unsigned char)text[i];
    return ntext;
}

int windowopen() { return display && win; }

int startgraph(int n) {
    if (!display) return opengraph(n);
    XRaiseWindow(display, win);
    XMapWindow(display, win);
    XClearWindow(display, win);
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xexpose.type = Expose;
    e.xexpose.display = display;
    e.xexpose.window = win;
    e.xexpose.width = x_xsize;
    e.xexpose.height = x_ysize;
    XSendEvent(display, win, False, ExposureMask, &e);
    // Everything the requests above cause (a raise may bring a configure event too) is in the
    // queue after the round trip, so no redraw key is left behind.
    XSync(display, False);
    int k;
    while ((k = getch()) != KEY_REDRAW) {
        if (k < 32)
            fprintf(stderr, "unexpected event/key %c%c = %d\n", '^', k + 64, k);
        else
            fprintf(stderr, "unexpected event/key %c%c = %d\n", ' ', k, k);
    }
    hit(0);
    while (keybufptr > 0 && keybuf[0] == KEY_REDRAW) getch();
    return n;
}

void closegraph() {
    if (!windowopen()) return;
    int size = textsize, xj = xjust, yj = yjust;
    setwritemode(0);
    setfillstyle(1, 12);
    bar(0, 0, 90, 40);
    setcolor(14);
    settextstyle(0, 0, 1);
    settextjustify(0, 2);
    outtextxy(12, 8, " WINDOW");
    outtextxy(12, 22, "INACTIVE");
    setcolor(12);
    rectangle(0, 0, x_xsize - 1, x_ysize - 1);
    rectangle(1, 1, x_xsize - 2, x_ysize - 2);
    textsize = size;
    xjust = xj;
    yjust = yj;
    hit(0);
    keybufptr = 0;
}

void clearviewport() {
    if (windowopen()) XClearWindow(display, win);
}

void setgccolor(int c) {
    if (c < 0 || c >= no_colors) {
        xerror("color");
        return;
    }
    if (c == currentcolor) return;
    unsigned long pixel = xcoltab[c];
    if (xormode) pixel ^= winbackground;
    XSetForeground(display, gc, pixel);
    currentcolor = c;
}

void setcolor(int c) {
    x_color = c;
    if (gc && !gcinitialised) {
        gcinitialised = true;
        XSetForeground(display, gc, xcoltab[15]);
        XSetBackground(display, gc, xcoltab[0]);
        currentcolor = 15;
    }
}

void setfillstyle(int, int c) { x_fillcolor = c; }

void setlinestyle(int style, unsigned, int thickness) {
    if (!gc) return;
    // X draws one-pixel lines with width 0, end points included, like the other widths.
    unsigned width = thickness > 1 ? (unsigned)thickness : 0;
    if (style == 0) {
        XSetLineAttributes(display, gc, width, LineSolid, CapButt, JoinMiter);
    } else {
        static const char dashes[2] = {1, 3};
        XSetLineAttributes(display, gc, width, LineOnOffDash, CapButt, JoinMiter);
        XSetDashes(display, gc, 2, dashes, 2);
    }
}

void setwritemode(int mode) {
    xormode = mode ? 1 : 0;
    currentcolor = -1;
    if (gc) XSetFunction(display, gc, xormode ? GXxor : GXcopy);
}

void line(int x1, int y1, int x2, int y2) {
    ggx = x2;
    ggy = y2;
    if (!windowopen()) return;
    setgccolor(x_color);
    XDrawLine(display, win, gc, x1, y1, x2, y2);
}

void bar(int x1, int y1, int x2, int y2) {
    if (!windowopen()) return;
    if (x2 < x1) { int t = x1; x1 = x2; x2 = t; }
    if (y2 < y1) { int t = y1; y1 = y2; y2 = t; }
    setgccolor(x_fillcolor);
    XFillRectangle(display, win, gc, x1, y1, (unsigned)(x2 - x1 + 1), (unsigned)(y2 - y1 + 1));
}

void rectangle(int x1, int y1, int x2, int y2) {
    if (!windowopen()) return;
    if (x2 < x1) { int t = x1; x1 = x2; x2 = t; }
    if (y2 < y1) { int t = y1; y1 = y2; y2 = t; }
    setgccolor(x_color);
    XDrawRectangle(display, win, gc, x1, y1, (unsigned)(x2 - x1), (unsigned)(y2 - y1));
}

void putpixel(int x, int y, int c) {
    if (!windowopen()) return;
    setgccolor(c);
    XDrawPoint(display, win, gc, x, y);
}

int hit(int w) {
    if (!display) return 0;
    XEvent e;
    if (w) {
        XNextEvent(display, &e);
        onevent(&e);
        return 1;
    }
    int n = 0;
    while (XPending(display)) {
        XNextEvent(display, &e);
        onevent(&e);
        n++;
    }
    return n;
}

unsigned long* readwindow(int* w, int* h) {
    if (!windowopen() || x_xsize <= 0 || x_ysize <= 0) return nullptr;
    int before = xerrors;
    XImage* im = XGetImage(display, win, 0, 0, (unsigned)x_xsize, (unsigned)x_ysize, AllPlanes,
                           ZPixmap);
    XSync(display, False);
    if (!im || xerrors != before) {
        if (im) XDestroyImage(im);
        return nullptr;
    }
    unsigned long* pix = (unsigned long*)malloc(sizeof *pix * (size_t)x_xsize * (size_t)x_ysize);
    if (pix) {
        for (int y = 0; y < x_ysize; y++)
            for (int x = 0; x < x_xsize; x++) pix[(size_t)y * x_xsize + x] = XGetPixel(im, x, y);
        *w = x_xsize;
        *h = x_ysize;
    }
    XDestroyImage(im);
    return pix;
}
