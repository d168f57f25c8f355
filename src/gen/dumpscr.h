// dumpscr.h: the window written to a file as a colour PPM image or a gray PostScript page.
#pragma once
#include <cstdio>

// Dump chosen by a key: "m" PPM, "M" inverted PPM, another upper-case letter inverted gray
// PostScript, anything else gray PostScript. The file is $PRTSCR, else "prtscr.ppm" or
// "prtscr.ps" in the working directory.
void DumpScr(int key);

// The colour index (0..15) of each pixel value: the first palette entry equal to it, else 0.
void pixelindices(const unsigned long* pix, int n, const unsigned long* coltab, int ncol,
                  unsigned char* idx);
// Writers of an image of w x h colour indices, rows top to bottom.
void writeppm(FILE* out, const unsigned char* idx, int w, int h, int inverted);
void writegrayps(FILE* out, const unsigned char* idx, int w, int h, int inverted);
