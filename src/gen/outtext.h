// outtext.h: world coordinates mapped onto a pixel viewport, the world pen, and text in the
// built-in 8 x 9 bitmap font drawn pixel by pixel.
#pragma once

// ---- Viewport and mapping (defaults 0..639 x 0..479) ---------------------------------------
extern int wx0, wx1, wy0, wy1;   // viewport in window pixels: left, right, top, bottom
struct Scaling {
    double x0;   // world x at pixel column 0
    double kx;   // pixels per world unit in x
    double y0;   // world y at pixel row 0
    double ky;   // pixels per world unit in y (world y grows upward)
};
extern Scaling scaling;          // set by scale
extern int pen;                  // 1: the next draw draws a line; 0 after up

// ---- Text state ----------------------------------------------------------------------------
extern int textsize;             // magnification (default 1)
extern int xjust;                // 0 left, 1 centre, 2 right (default 0)
extern int yjust;                // 0 bottom, 1 centre, 2 top (default 2)

void lwindow(int x0, int x1, int y0, int y1);  // x0 >= x1 or y0 >= y1: to the window's edge
void scale(double xl, double xr, double yb, double yt);
int SX(double x);                // pixel column, nearest, limited to +-32767
int SY(double y);                // pixel row, likewise
double iSX(double p);            // world x of a pixel column
double iSY(double p);            // world y of a pixel row
void up();                       // lift the pen
void draw(double x, double y);   // line from the pen if it is down; pen there and down
void lline(double x1, double y1, double x2, double y2);

void settextstyle(int font, int direction, int size);  // font and direction are ignored
void settextjustify(int horizontal, int vertical);
void outtextxy(int x, int y, const char* text);        // in x_color
void outtext(const char* text);                        // at the pixel pen position
