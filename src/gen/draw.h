// draw.h: the drawing layer: one window with a 16-colour palette, integer pixel primitives
// in copy or xor mode, and the window's keyboard and mouse as a PC-style key stream.
// The backend behind these calls is drawx11; world coordinates, markers and text are in
// outtext and drawbit, the mouse queries in mouselib (all included here).
#pragma once

// ---- Window hints: set by the program before the window is opened -----------------------
struct WindowHints {
    int icon_width;                   // pixels of the icon bitmap (default 40)
    int icon_height;                  // (default 40)
    const unsigned char* icon_bits;   // icon bitmap, 1 bit a pixel, rows padded to bytes; or null
    const char* geometry;             // "WxH", optionally followed by "+X+Y" (signed); or null
    const char* background;           // colour name of the background; null means "black"
    const char* title;                // window title
    const char* icon_title;           // icon title
};
extern WindowHints xwindowhints;      // written by the program driver, read by startgraph

// Size and place of the window computed from a geometry text (null: the default size).
struct WindowGeometry {
    int width, height;   // window size in pixels
    int xoff, yoff;      // the offsets as written (missing ones are +1)
    int x, y;            // position on the screen (negative offsets count from the far edge)
};
WindowGeometry windowgeometry(const char* geometry, int screenwidth, int screenheight);

// ---- Window and drawing state (written by the backend) ------------------------------------
extern int x_xsize, x_ysize;          // window size in pixels; follows resizes
extern int no_colors;                 // number of colour slots in xcoltab
extern unsigned long* xcoltab;        // pixel value of each colour index
extern unsigned long winbackground;   // pixel of the background; also that of colour 0
extern int x_color;                   // drawing colour index (initially 15)
extern int x_fillcolor;               // fill colour index of bar (initially 15)
extern int currentcolor;              // index now loaded as the foreground, -1 none
extern int xormode;                   // 1 in xor write mode
extern int ggx, ggy;                  // pixel pen position: end of the last line drawn
extern const char* const turbo[16];   // X colour names of the palette

// ---- Window ---------------------------------------------------------------------------------
int startgraph(int n);   // open (first call) or re-activate the window; n, or -1 without display
void closegraph();       // mark the window inactive and drop waiting keys; it stays open
int windowopen();        // 1 when the window exists (startgraph succeeded once)
void clearviewport();    // the whole window to the background
void setcolor(int c);
void setfillstyle(int pattern, int c);                      // fills are always solid
void setlinestyle(int style, unsigned pattern, int thickness);  // 0 solid, else dotted
void setwritemode(int mode);                                // 0 copy, 1 xor
void line(int x1, int y1, int x2, int y2);                  // in x_color; pen to (x2, y2)
void bar(int x1, int y1, int x2, int y2);                   // filled in x_fillcolor, corners in
void rectangle(int x1, int y1, int x2, int y2);             // outline in x_color
void putpixel(int x, int y, int c);
// The window's pixel values, w*h of them row by row (malloc'd, the caller frees), or null when
// the window cannot be read (none open, or partly off the screen).
unsigned long* readwindow(int* w, int* h);

// ---- Key stream -----------------------------------------------------------------------------
// Codes are bytes: characters; 0 and a scan code for Home 71, Up 72, PgUp 73, Left 75,
// Right 77, End 79, Down 80, PgDn 81, Ins 82, Del 83; 29 for another key without a character;
// 28 to ask for a redraw (after an expose that completes one, and after a resize or move).
enum { KEY_REDRAW = 28, KEY_NOCHAR = 29, KEYBUFLEN = 128 };
extern unsigned char keybuf[KEYBUFLEN];   // waiting key codes, oldest first
extern int keybufptr;                     // number waiting (at most KEYBUFLEN-1)
extern int extrabufptr;                   // keys waiting in the button layer (drawplus writes it)

struct DosMouse {
    int x, y;          // pointer position in window pixels
    int b1, b2, b4;    // 1 while X button 1, 3, 2 is pressed (mask bits 1, 2, 4)
};
extern DosMouse dosmouse;                 // updated by press, release and motion events
// Presses since the button layer last looked (mask bits as in dosmouse) and where the last one
// was: a click shorter than one poll of the button state still counts.
extern int mouseclicks;
extern int clickx, clicky;

// Idle control of kbhit: after worktime0 seconds without activity it waits for events.
extern double worktime0;                  // seconds (default 3; the program's -t option)
extern int refreshtimer;                  // 1: activity marked since the last kbhit
extern double ti, ti0;                    // time of the last kbhit call / of the last activity

int hit(int w);          // process events: w=0 all pending, else one, waiting; count processed
int kbhit();             // process events (idle control) and return keybufptr
int getch();             // wait for a key and remove it (0..255); 27 when no window can give one
void addkey(int k);      // append a code ("keybuf ofl" when full)
void Imworking(double t);  // t >= 0 sets worktime0; marks activity
void delay(int n);       // busy pause of 1000 n iterations

#include "gen/drawbit.h"
#include "gen/mouselib.h"
#include "gen/outtext.h"
