// drawplus.h: click areas, buttons, wheels and panels that turn the mouse into keys; the
// merged key stream of keyboard and mouse; text boxes; labelled grid lines.
#pragma once
#include "gen/draw.h"

// ---- Click areas -----------------------------------------------------------------------------
enum { AREA_BUTTON = 0, AREA_SILENT = 1, AREA_WHEEL = 2 };
struct clickarea {
    int x1, x2, y1, y2;   // inclusive pixel bounds
    unsigned char key;    // the key code it sends
    int type;             // AREA_BUTTON, AREA_SILENT or AREA_WHEEL
};
extern clickarea* buttons;     // table of butt.max areas (allocated by the first drawplus)
extern clickarea* lastbutton;  // the area registered last; null after an overflow

// Layout and widget state.
struct ButtState {
    double wheel;   // drag of the current wheel in area widths since its key was queued
    int first;      // first area that reacts to clicks (older ones are inactive)
    int n;          // areas registered
    int max;        // capacity of buttons
    int rightkey;   // key sent by the right mouse button (its low byte); 27 after drawplus
    int type;       // type of the areas registered from now on
    int x;          // layout cursor x in pixels
    int gap;        // gap left after a button placed at a negative x
    int right;      // right edge of the last printinfo box
    int y;          // y of the current layout line
    int lineh;      // height of a layout line
};
extern ButtState butt;

// ---- The merged key stream ------------------------------------------------------------------
extern unsigned char* mykeybuf;  // keys from buttons and keyboard, oldest first
extern int maxmybuflen;          // its capacity
extern int mybufpos;             // keys waiting (mirrored in extrabufptr)
extern int mouseon;              // mouse handling on (the flag given to drawplus)

// Mouse samples; a button field is 1 while the button is up, 0 while it is pressed.
struct MouseSample {
    int x, y, left, right, middle;
};
extern MouseSample New, Last;     // this and the previous sample of nextmouseevent
extern int iswheel;               // nonzero while a wheel is dragged (the pointer x at start)
extern clickarea* wheelp;         // the wheel being dragged

void drawplus(int areas, int keybuflen, int mouse);
void registerclickarea(int x1, int y1, int x2, int y2, int key);
void registerbutton(int x1, int x2, int key);    // a box on the current layout line
void createcolbutton(const char* label, int x, int colour);  // label: key, then shown text
void createbutton(const char* label, int x);     // white
void createpmbutton(const char* name, const char* keys, int withfactors);
void buttnl();                                   // next layout line
void buttonborder(clickarea* area, int colour);  // double frame (nothing for null)
void panel(int columns, int lines, int colour);
void printinfo(int x, int y, const char* text, int bg);  // x < 0: a narrow box at -x
void addmykey(int key);          // append to the extra buffer when there is room
int extkey();                    // one keyboard key; extended keys as scan code + 128
void nextevent();                // mouse actions and keyboard keys into the extra buffer
int mykbhit();                   // the first waiting key (not removed), or 0
int mykey();                     // wait for a key of keyboard or mouse and remove it
void nextmouseevent();           // turn the mouse actions since the last call into keys
void showMouse();
void hideMouse();

// ---- Grids -----------------------------------------------------------------------------------
double fint(double a);   // integer part toward zero, exact up to 2^56

// Step and labels of a grid over from..to with between m and 10 m intervals.
struct GridStep {
    double B;        // distance of the grid lines
    int d;           // decimals of the labels
    char fmt[16];    // label format
    double c0;       // index offset: line i is at (i + c0) B
    int i0, i1;      // first and last line index
};
// 0 when there is nothing to draw (empty, reversed or non-finite range, m not positive).
int gridstep(double m, double from, double to, GridStep* g);
// 1 when line i of the grid carries a label, which is then written to text.
int gridlabel(const GridStep* g, int i, char* text, int size);
// Labelled grid lines across a plot: vertical (world x = const, from y l1 to l2) or horizontal;
// t is the label row of vertical lines and the label column of horizontal ones.
void makegrid(int mode, double m, int vertical, double from, double to, double l1, double l2,
              int t);
