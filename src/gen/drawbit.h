// drawbit.h: the 8 x 9 bitmap font and the pixel-drawn markers of world points.
#pragma once

// 256 glyphs of 8 column words, left column first; bit j of a word is row j from the top
// (rows 0..6 capitals, 7..8 descenders). Codes 0, 32 and 255 are empty.
extern const unsigned short f[256][8];

extern double pointsize;   // marker radius in pixels (default 0.798)
extern int insidecolor;    // inside colour of hollow filled markers (default 0)

void dot(double x, double y);     // one pixel in x_color
void bigdot(double x, double y);  // the pixel and its four neighbours
// A marker: shape o disc, s square, d diamond, ^ v triangles, + plus, x cross, * star (case is
// ignored); with the high bit set (e.g. 239 for o) a filled shape is solid, else it has a
// border in x_color around insidecolor.
void point(double x, double y, int shape);
