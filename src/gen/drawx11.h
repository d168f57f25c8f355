// drawx11.h: the X11 backend of the drawing layer; the only module that talks to Xlib.
#pragma once
#include <X11/Xlib.h>

// ---- Connection and window (null / 0 until startgraph succeeds) ----------------------------
extern Display* display;                        // the X connection
extern int screen_num;                          // its default screen
extern int display_width, display_height;       // the screen size in pixels
extern Window win;                              // the window
extern GC gc;                                   // its one graphics context
extern Colormap cmap;                           // the screen's default colour map

// Key codes of one key press (at most 8): the extended keys as 0 and a scan code, modifier
// keys nothing, other keys their characters text[0..ntext-1] or 29 when they have none.
int xkeycodes(unsigned long keysym, const char* text, int ntext, unsigned char* codes);

// Load colour index c as the foreground (pixel xor background in xor mode); "color" for an
// index out of range.
void setgccolor(int c);
