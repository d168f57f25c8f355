// The screen dump: the window's pixels mapped back to palette indices and written as PPM or
// as a gray PostScript image.
#include "gen/dumpscr.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "gen/draw.h"

namespace {

// What each palette colour becomes on paper: a gray level and a colour.
const unsigned char bw[16] = {0, 14, 78, 89, 38, 53, 113, 77, 153, 28, 155, 178, 77, 105, 227, 253};
const unsigned char rgb[16][3] = {
    {0, 0, 0},     {0, 0, 127},   {0, 127, 0},     {0, 127, 127},
    {127, 0, 0},   {127, 0, 127}, {127, 63, 0},    {150, 150, 150},
    {80, 80, 80},  {0, 0, 255},   {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0},   {255, 255, 255}};

// The PRTSCR value is a file name of the user's: it must name something we can write a file
// to, not a directory.
bool usablename(const char* name) {
    if (!*name || strlen(name) >= 4096) return false;
    struct stat st;
    return !(stat(name, &st) == 0 && S_ISDIR(st.st_mode));
}

}  // namespace

void pixelindices(const unsigned long* pix, int n, const unsigned long* coltab, int ncol,
                  unsigned char* idx) {
    if (ncol > 16) ncol = 16;
    for (int i = 0; i < n; i++) {
        int k = 0;
        while (k < ncol && coltab[k] != pix[i]) k++;
        idx[i] = (unsigned char)(k < ncol ? k : 0);
    }
}

void writeppm(FILE* out, const unsigned char* idx, int w, int h, int inverted) {
    fprintf(out, "P6\n%d %d\n255\n", w, h);
    unsigned char mask = inverted ? 255 : 0;
    for (long i = 0; i < (long)w * h; i++) {
        const unsigned char* c = rgb[idx[i] & 15];
        putc(c[0] ^ mask, out);
        putc(c[1] ^ mask, out);
        putc(c[2] ^ mask, out);
    }
}

void writegrayps(FILE* out, const unsigned char* idx, int w, int h, int inverted) {
    float width = 480.0f / (float)h * (float)w;
    fprintf(out,
            "%%!PS-Adobe-2.0\n90 rotate 54 -550 translate %.2f 480 scale\n/DS %d string def\n"
            "%d %d 8 [ %d 0 0 %d 0 %d ]\n{ currentfile DS readhexstring pop } image",
            (double)width, w, w, h, w, -h, h);
    unsigned char mask = inverted ? 255 : 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            fprintf(out, "%c%02x", x % 20 == 0 ? '\n' : ' ', bw[idx[(long)y * w + x] & 15] ^ mask);
    fputs("\nshowpage\n", out);
}

void DumpScr(int key) {
    key &= 255;
    bool ppm = toupper(key) == 'M';
    bool inverted = key >= 'A' && key <= 'Z';
    const char* name = getenv("PRTSCR");
    if (!name || !*name) name = ppm ? "prtscr.ppm" : "prtscr.ps";
    if (!usablename(name)) {
        fprintf(stderr, "screen dump skipped: PRTSCR=\"%s\" is no file name\n", name);
        return;
    }
    int w, h;
    unsigned long* pix = readwindow(&w, &h);
    if (!pix) {
        fprintf(stderr, "screen dump skipped: the window cannot be read\n");
        return;
    }
    unsigned char* idx = (unsigned char*)malloc((size_t)w * (size_t)h);
    FILE* out = idx ? fopen(name, ppm ? "wb" : "w") : nullptr;
    if (!out) {
        fprintf(stderr, "screen dump skipped: cannot write \"%s\"\n", name);
    } else {
        fprintf(stderr, "dumping %s%s file \"%s\"\n", inverted ? "inverted " : "",
                ppm ? "PPM" : "gray PS", name);
        pixelindices(pix, w * h, xcoltab, no_colors, idx);
        if (ppm)
            writeppm(out, idx, w, h, inverted);
        else
            writegrayps(out, idx, w, h, inverted);
        if (fclose(out) != 0) fprintf(stderr, "screen dump: writing \"%s\" failed\n", name);
    }
    free(idx);
    free(pix);
}
