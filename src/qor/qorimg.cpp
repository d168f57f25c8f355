// qorimg.cpp: image files and the history of images.
//
// An image is 96 fields of 8 bytes: IEEE doubles, most significant byte first whatever the
// host, so that images move between machines; reverse flips every field for images written in
// the other byte order.
#include "qor/qorimg.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "gen/draw.h"
#include "gen/filemenu.h"
#include "gen/func.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

namespace {

// One field of the image: a double or an int variable (ints are stored as doubles).
struct Field {
    const char* name;
    double* d;
    int* i;
};

int idummy;      // scratch places of the reserved fields
double rdummy;
bool justpopped = false;  // the last history step went back: the next push is skipped

const Field fields[96] = {
    {"s1", &s1, nullptr},           {"s2", &s2, nullptr},           {"epsX", &epsX, nullptr},
    {"body1", nullptr, &body1},     {"a1", &a1, nullptr},           {"a2", &a2, nullptr},
    {"aX", &aX, nullptr},           {"body2", nullptr, &body2},     {"forT", nullptr, &forT},
    {"msglev", nullptr, &msglev},   {"sort", nullptr, &sort},       {"aspect", &aspect, nullptr},
    {"pn", nullptr, &pn},           {"stable", nullptr, &stable},   {"psun", &psun, nullptr},
    {"maxpack", &maxpack, nullptr}, {"res", nullptr, &res},         {"x", &x, nullptr},
    {"y", &y, nullptr},             {"z", &z, nullptr},             {"w", &w, nullptr},
    {"x0", &x0, nullptr},           {"x1", &x1, nullptr},           {"grstat.step", &grstat.step, nullptr},
    {"eps", &eps, nullptr},         {"prec", &prec, nullptr},       {"order", nullptr, &order},
    {"pline", nullptr, &pline},     {"red", nullptr, &red},         {"T", &T, nullptr},
    {"p", &p, nullptr},             {"q", &q, nullptr},             {"qq", &qq, nullptr},
    {"crit.T", &crit.T, nullptr},   {"crit.p", &crit.p, nullptr},   {"crit.V", &crit.V, nullptr},
    {"ref.T", &ref.T, nullptr},     {"ref.p", &ref.p, nullptr},     {"ref.V", &ref.V, nullptr},
    {"V", &V, nullptr},             {"vs[0]", &vs[0], nullptr},     {"vs[1]", &vs[1], nullptr},
    {"vs[2]", &vs[2], nullptr},     {"vs[3]", &vs[3], nullptr},     {"vs[4]", &vs[4], nullptr},
    {"maxit", nullptr, &maxit},     {"nres", nullptr, &nres},       {"key", nullptr, &key},
    {"pred", nullptr, &pred},       {"pr.T", &pr.T, nullptr},       {"pr.p", &pr.p, nullptr},
    {"pr.x", &pr.x, nullptr},       {"pr.y", &pr.y, nullptr},       {"pr.z", &pr.z, nullptr},
    {"pr.w", &pr.w, nullptr},       {"gr", nullptr, &gr},           {"nv", nullptr, &nv},
    {"minT", &minT, nullptr},       {"n", nullptr, &n},             {"allv", nullptr, &allv},
    {"roots", nullptr, &roots},     {"solve", nullptr, &solve},     {"dx", &dx, nullptr},
    {"deps", &deps, nullptr},       {"pexp", &pexp, nullptr},       {"history", nullptr, &history},
    {"minkey", nullptr, &minkey},   {"ipred", &ipred, nullptr},     {"oldgl.solve", &oldgl.solve, nullptr},
    {"oldgl.trace", &oldgl.trace, nullptr}, {"grstat.dot", nullptr, &grstat.dot},
    {"grstat.lbl", nullptr, &grstat.lbl},   {"trace", nullptr, &trace},
    {"I.x", nullptr, &I.x},         {"I.y", nullptr, &I.y},         {"I.z", nullptr, &I.z},
    {"I.w", nullptr, &I.w},         {"I.xx", nullptr, &I.xx},       {"predlevel", nullptr, &predlevel},
    {"dpredq", &dpredq, nullptr},   {"minpar", nullptr, &minpar},   {"bump", nullptr, &bump},
    {"aux", &aux, nullptr},         {"lastkey", nullptr, &lastkey}, {"solve2", nullptr, &solve2},
    {"prgl.solve", &prgl.solve, nullptr}, {"prgl.trace", &prgl.trace, nullptr},
    {"tvp", nullptr, &tvp},         {"Ttvp", &Ttvp, nullptr},       {"diagram", nullptr, &diagram},
    {"deps2", &deps2, nullptr},     {"idummy", nullptr, &idummy},   {"idummy", nullptr, &idummy},
    {"rdummy", &rdummy, nullptr},   {"rdummy", &rdummy, nullptr},   {"rdummy", &rdummy, nullptr},
};

bool reserved(const Field& f) { return f.d == &rdummy || f.i == &idummy; }

bool exists(const char* name) {
    FILE* f = fopen(name, "rb");
    if (!f) return false;
    fclose(f);
    return true;
}

}  // namespace

void endian(unsigned char* buf, int n) {
    if (!reverse) return;
    for (int i = 0, j = n - 1; i < j; i++, j--) {
        unsigned char t = buf[i];
        buf[i] = buf[j];
        buf[j] = t;
    }
}

// Big-endian bytes of a double, independent of the host's order.
static void tobytes(double v, unsigned char b[8]) {
    uint64_t u;
    memcpy(&u, &v, 8);
    for (int k = 7; k >= 0; k--, u >>= 8) b[k] = (unsigned char)(u & 0xff);
}

static double frombytes(const unsigned char b[8]) {
    uint64_t u = 0;
    for (int k = 0; k < 8; k++) u = u << 8 | b[k];
    double v;
    memcpy(&v, &u, 8);
    return v;
}

double firead(const char* name, double current) {
    unsigned char b[8];
    if (fread(b, 1, 8, img) != 8) {
        MYERROR(1, "qorimg", "img: reading %s [current value=%g]", name, current);
        return current;
    }
    endian(b, 8);
    return frombytes(b);
}

void fiwrite(double value) {
    unsigned char b[8];
    tobytes(value, b);
    endian(b, 8);
    if (fwrite(b, 1, 8, img) != 8) MYERROR(1, "qorimg", "write img");
}

void readimage(int flag) {
    if (!img) {
        MYERROR(1, "qorimg", "open img");
        return;
    }
    for (const Field& f : fields) {
        if (f.d)
            *f.d = firead(f.name, *f.d);
        else
            *f.i = toint(firead(f.name, (double)*f.i));
    }
    fclose(img);
    img = nullptr;
    if (flag) prt("image read");
    snprintf(qor01info, sizeof qor01info, "%c img read", 2);
    checkindices();
    setconst();
    setEps();
}

void writeimage(int flag) {
    if (!img) {
        MYERROR(1, "qorimg", "open img");
        return;
    }
    double saveeps = eps, saveprec = prec;
    eps = std::log(prec) / std::log(eps);
    prec = prec / realprec;
    for (const Field& f : fields) {
        if (reserved(f))
            fiwrite(0);
        else
            fiwrite(f.d ? *f.d : (double)*f.i);
    }
    // A write error shows only when the buffer goes out.
    if (fclose(img) != 0) MYERROR(1, "qorimg", "write img");
    img = nullptr;
    if (flag) prt("image written");
    eps = saveeps;
    prec = saveprec;
}

// Reads one blank-delimited word of at most size-1 characters from f; false at end of input.
static bool readword(FILE* f, char* word, int size) {
    int c;
    do c = readchar(f);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r');
    if (c == EOF) return false;
    int len = 0;
    while (c != EOF && c != ' ' && c != '\t' && c != '\n' && c != '\r') {
        if (len < size - 1) word[len++] = (char)c;
        c = readchar(f);
    }
    word[len] = 0;
    return true;
}

int yes(const char* format, const char* argument) {
    color(13);
    fprintf(stderr, format, argument);
    fputs(" (y/n) ?\n", stderr);
    for (int bad = 0;;) {
        color(15);
        char word[9];
        // Nobody can answer at the end of the input: that is a no.
        if (!readword(stdin, word, sizeof word)) return 0;
        if (word[0] == 'y' || word[0] == 'Y') return 1;
        if (word[0] == 'n' || word[0] == 'N') return 0;
        color(12);
        fputs("\aAnswer \"y\" or \"n\"!\n", stderr);
        if (++bad >= 100) {
            MYERROR(1, "qorimg", "too many bad answers");
            bad = 0;
        }
    }
}

void openimg(int flag) {
    for (;;) {
        prt("%s image: enter name/mask of image file (extension .img will be added):",
            flag ? "WRITE" : "READ");
        char word[33];
        img = nullptr;
        if (!readword(in, word, sizeof word)) return;  // end of input: no image
        char name[40];
        snprintf(name, sizeof name, "%s.img", word);
        const char* chosen = name;
        if (strpbrk(name, "?*")) chosen = fmenu(name, graphics_mode);
        if (!chosen) return;
        if (!flag) {
            img = fopen(chosen, "rb");
            return;
        }
        if (exists(chosen) && !batchmode && interactive() &&
            !yes("\aFile %s exists. Overwrite", chosen))
            continue;
        img = fopen(chosen, "wb");
        return;
    }
}

const char* historyname(int k) {
    static char names[2][16];
    static int which = 0;
    which ^= 1;
    snprintf(names[which], sizeof names[which], "history%c.img", '0' + k);
    return names[which];
}

void pushhistory(int flag) {
    if (justpopped) {
        justpopped = false;
        return;
    }
    if (history <= 0) return;
    remove(historyname(history));
    for (int k = history; k >= 1; k--) rename(historyname(k - 1), historyname(k));
    img = fopen(historyname(0), "wb");
    writeimage(flag);
}

void pophistory(int k, int flag) {
    img = fopen(historyname(k), "rb");
    if (!img) {
        snprintf(qor01info, sizeof qor01info, "%cno history", 4);
        if (!graphics_mode) MYERROR(0, "qorimg", "no history");
        return;
    }
    readimage(flag);
    justpopped = true;
    if (exists(historyname(k + 1))) {
        remove(historyname(k));
        for (int i = k; i <= history - 1; i++) rename(historyname(i + 1), historyname(i));
    } else {
        snprintf(qor01info, sizeof qor01info, "%clast image", 4);
        if (!graphics_mode) prt("WARNING: last image in history");
    }
}
