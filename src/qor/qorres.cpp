// qorres.cpp: the key table, the res-file with its companion .tvp file, and the plot files.
#include "qor/qorres.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorglob.h"
#include "qor/qorsys.h"

// One flag byte per key: bits 0-2 phases, 0x08 critical, 0x10 azeotrope, 0x60 class
// (0x00 line, 0x40 point, 0x20 one-parameter point, 0x60 two-parameter point).
static const unsigned char keyflags[90] = {
    0,    0,    0x09, 0x49, 0x01, 0x02, 0x11, 0x03, 0x52, 0x4A,  //  0- 9
    0,    0,    0x21, 0x49, 0x29, 0x20, 0x39, 0x44, 0x32, 0x2A,  // 10-19
    0,    0,    0x41, 0x21, 0x49, 0x24, 0x21, 0x24, 0x32, 0x2A,  // 20-29
    0,    0,    0x2A, 0,    0x51, 0,    0x3A, 0x31, 0x33, 0x2B,  // 30-39
    0,    0,    0,    0x39, 0x31, 0,    0x31, 0,    0x32, 0x31,  // 40-49
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,     // 50-59
    0,    0x7A, 0,    0,    0x6A, 0,    0x7B, 0,    0x73, 0x6B,  // 60-69
    0x72, 0x72, 0x6A, 0x6A, 0,    0,    0,    0,    0,    0,     // 70-79
    0x52, 0x52, 0x4A, 0x4A, 0,    0,    0,    0,    0,    0,     // 80-89
};

// A key and the key 100 higher share their flags.
int keystat(int key) {
    if (key < 2) return 0;
    int r = key % 100;
    return r > 89 ? 0 : keyflags[r];
}

void keylist() {
    header("key=phenomenon        #ph x  f");
    for (int i = 0; i < 99; i++) {
        int flags = keystat(i);
        if (!flags) continue;
        int f = i == 4 || i == 5           ? 2
                : (flags & 0x60) == 0x60 ? -2
                : flags & 0x40           ? 0
                : flags & 0x20           ? -1
                                         : 1;
        prt(" %-21s %d %c%c %2d", keyinfo(i), flags & 7, flags & 0x08 ? 'C' : ' ',
            flags & 0x10 ? 'A' : ' ', f);
    }
    header("");
}

// ---- Res-file ------------------------------------------------------------------------------

int resprthdr = 1;
static int resprtparm = 1;  // the parameter block goes before the next headers
static std::string fn;      // the .tvp file name, derived once from resfile
static size_t dot;          // where its extension starts


namespace {

// A file that is closed however the writer is left (a long jump included).
struct File {
    FILE* f;
    explicit File(FILE* file) : f(file) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File() { close(); }
    void close() {
        FILE* g = f;
        f = nullptr;
        if (g) fclose(g);
    }
};

// Appends printf output to s.
void addf(std::string& s, const char* format, ...) GEN_PRINTF(2, 3);
void addf(std::string& s, const char* format, ...) {
    char buf[512];
    va_list a;
    va_start(a, format);
    int n = vsnprintf(buf, sizeof buf, format, a);
    va_end(a);
    if (n > 0) s.append(buf, (size_t)n < sizeof buf ? (size_t)n : sizeof buf - 1);
}

// The format and name of a column; a table not yet set up still gives text.
const char* colfmt(int e) { return parms[e].format ? parms[e].format : "%g"; }
const char* colname(int e) { return parms[e].name ? parms[e].name : "?"; }
double colvalue(int e) { return parms[e].value ? *parms[e].value : 0; }

// One value of column e, preceded by a blank. The formats are checked to hold one floating
// conversion when they are set.
void addcol(std::string& s, int e, double v) {
    s += ' ';
    addf(s, colfmt(e), v);
}

void smallheader(FILE* f) {
    time_t now = time(nullptr);
    const char* when = ctime(&now);
    fprintf(f, "%s order=%d prec=%.3e eps=%.3e\n%s key=%s at %s", gcomment, order, prec, eps,
            gcomment, keyinfo(key), when ? when : "?\n");
}

// The dashed label of a column: one character wider than the values that the format gives.
void addlabel(std::string& s, const char* name, int e) {
    char buf[64];
    int w = snprintf(buf, sizeof buf, colfmt(e), 3.141592653589793);
    int k = w - (int)strlen(name) + 1;
    if (k < 1) k = 1;
    for (int i = 1; i <= k; i++) {
        s += '-';
        if (i == k / 2 + 1) s += name;
    }
}

void columnheader(FILE* f) {
    std::string s = gcomment;
    s += 'k';
    addlabel(s, "T", 5);
    addlabel(s, "p", 6);
    for (int e = 0; e <= 4; e++) addlabel(s, colname(e), e);
    s += "-nx-[y...]--nrho--rho--[rho...]\n";
    fputs(s.c_str(), f);
}

int inunit(double c) { return c >= 0 && c <= 1; }

// The key answered to write request -10; false when there is none or it is -99.
bool askkey() {
    fprintf(stderr, "write with key (-99:don't write) = ");
    char line[80];
    if (!readln(line, sizeof line, in)) return false;
    errno = 0;
    char* end;
    long k = strtol(line, &end, 10);
    if (end == line || errno || k < INT_MIN || k > INT_MAX) return false;
    key = (int)k;
    return key != -99;
}

// The data line of the current point. The densities come from allG, which leaves the roots
// in vs; a composition outside [0, 1] or a missing root gives the density 0.
std::string dataline(double p, double T, int flags) {
    int nph = flags & 7;
    // A key listed with no phase still computed a point at x: it is written as one phase.
    if (nph < 1) nph = 1;
    if (nph > 4) nph = 4;
    bool az = flags & 0x10;
    parms[0].value = &x;
    std::string s;
    addf(s, "%2d", key);
    addcol(s, 5, T / crit.T);
    addcol(s, 6, p / crit.p);
    addcol(s, 0, x);
    for (int e = 1; e <= 4; e++) addcol(s, e, colvalue(e));
    const double comp[4] = {x, y, z, w};
    addf(s, " %d", nph - 1);
    for (int i = 1; i < nph; i++) addcol(s, 0, comp[i]);
    addf(s, " %d", az ? nph + 1 : nph);
    for (int i = 0; i < nph; i++) {
        int n = inunit(comp[i]) ? allG(gs, vs, p, T, comp[i]) : 0;
        addcol(s, 7, n >= 1 ? crit.V / vs[0] : 0);
        if (i == 0) {
            nv = n;
            // The second root at x: the coexisting phase of the same composition.
            if (az) addcol(s, 7, n >= 2 ? crit.V / vs[1] : 0);
        }
    }
    s += '\n';
    return s;
}

// The line of reduced critical properties of the pure species at x = 0.
void tvpline(FILE* f, double T, double* Ttvp) {
    double Vc = vs[0], Tc = *Ttvp, pc = 0;
    if (Tc <= 0) {
        MYERROR(0, "qorres", "Ttvp<=0: current T will be used");
        Tc = T;
    }
    if (key13(&Vc, &pc, &Tc, 0) != 3) MYERROR(0, "qorres", "key13 does not return 3");
    *Ttvp = Tc;
    std::string s;
    double v = Vc / crit.V;
    addcol(s, 5, Tc / crit.T);
    addcol(s, 7, v);
    addcol(s, 6, pc / crit.p);
    addcol(s, 7, std::cbrt(v));
    addcol(s, 5, std::log(Tc / crit.T));
    addcol(s, 7, std::log(v) / 3);
    s += '\n';
    fputs(s.c_str(), f);
}

}  // namespace

FILE* openres(const char* mode) {
    FILE* f = resfile ? fopen(resfile, mode) : nullptr;
    if (!f) MYERROR(1, "qorres", "open \"%s\"", resfile ? resfile : "");
    return f;
}

// The .tvp file for appending, without a report: its name is derived at the first call.
static FILE* tvpfile() {
    if (fn.empty()) {
        fn = resfile ? resfile : "";
        size_t slash = fn.rfind('/');
        size_t d = fn.rfind('.');
        dot = d != std::string::npos && (slash == std::string::npos || d > slash) ? d : fn.size();
        fn.replace(dot, std::string::npos, ".tvp");
    }
    return fopen(fn.c_str(), "at");
}

FILE* opentvp() {
    FILE* f = tvpfile();
    if (!f) MYERROR(1, "qorres", "open \"%s\"", fn.c_str());
    return f;
}

int iscomment(const char* line) {
    size_t n = strlen(gcomment);
    if (strncmp(line, gcomment, n)) return 0;
    return line[n] ? (unsigned char)line[n] : '\n';
}

void write2res(double p, double T, double* Ttvp) {
    switch (key) {
    case -13: resprthdr = resprtparm = 0; return;
    case -12: resprthdr = resprtparm = 1; return;
    case -11: resprthdr = 1; return;
    default: break;
    }
    if (key < -10) return;
    int flags;
    if (key == -10) {
        if (!askkey()) return;
        flags = keystat(key);
        if (!flags) flags = inunit(x) + inunit(y) + inunit(z) + inunit(w);
    } else {
        flags = keystat(key);
    }
    if (!flags) return;
    // The end point at a pure species has one phase fewer.
    if (key == 8 && (x == 0 || x == 1)) flags--;

    // The line is complete before the file is opened: an abandoned root search leaves the
    // res-file as it was.
    std::string line = dataline(p, T, flags);
    File res(openres("at"));
    if (!res.f) return;
    bool wanttvp = tvp != 0 && (flags & 0x20);
    // A .tvp file that cannot be opened is reported after the res-file line: an error ends a
    // batch run, and the line must not be lost with it.
    File tv(wanttvp && tvp == 13 ? tvpfile() : nullptr);

    if (resprthdr) {
        if (resprtparm) {
            prtparm(res.f);
            if (tv.f) prtparm(tv.f);
            resprtparm = 0;
        }
        smallheader(res.f);
        if (tv.f) smallheader(tv.f);
        columnheader(res.f);
        if (tv.f)
            fprintf(tv.f,
                    "%stau=Tc/Tcref Vc/Vcref Pc/Pcref lambda=(Vc/Vcref)^1/3 ln(tau) ln(lambda)\n",
                    gcomment);
        resprthdr = 0;
    }
    fputs(line.c_str(), res.f);
    res.close();

    if (wanttvp && tvp == 13 && !tv.f) MYERROR(1, "qorres", "open \"%s\"", fn.c_str());
    if (tv.f) {
        double local = 0;
        tvpline(tv.f, T, Ttvp ? Ttvp : &local);
        tv.close();
    } else if (wanttvp && tvp != 13) {
        MYERROR(1, "qorres", "tvp=%d: numerical pure critical point not available, use tvp=13",
                tvp);
    }
    snprintf(qor01info, sizeof qor01info, "%c  WRITTEN", 2);
    color(10);
    prt("WRITTEN");
    color(15);
}

// ---- Plot files ----------------------------------------------------------------------------

static FILE* opengnu() {
    FILE* f = fopen("gnu", "wt");
    if (!f) MYERROR(1, "qorres", "open \"%s\"", "gnu");
    return f;
}

void p2gnu(double T) {
    File f(opengnu());
    if (!f.f) return;
    double Vmin = minimumV(T, x);
    prtparm(f.f);
    fprintf(f.f, "%s T=%g  maxpack=%f  maxrho=%g\n%s\n%s          rho            P\n", gcomment,
            T, maxpack, 1 / Vmin, gcomment, gcomment);
    for (int i = 0; i < n; i++) {
        double rho = (maxpack / Vmin) / n * (i + 0.5);
        fprintf(f.f, "%20.12g %20.12g\n", rho, P(1 / rho, T, x));
    }
}

// G, its temperature derivative and the volume of the first root at p, T, x.
static bool excessat(double p, double T, double x, double* G, double* Gt, double* V) {
    double dG[5], Gs[5];
    if (alldGdpTx(dG, Gs, vs, p, T, x, 1) <= 0) return false;
    *G = Gs[0];
    *Gt = dG[0];
    *V = vs[0];
    return true;
}

void excess2gnu(double p, double T) {
    File f(opengnu());
    if (!f.f) return;
    if (sort != 1) MYERROR(0, "qorres", "sort!=1");
    prtparm(f.f);
    fprintf(f.f, "%s\n%s     x         Gexcess        T*Sexcess        Hexcess         Vexcess\n",
            gcomment, gcomment);
    double G0, Gt0, V0, G1, Gt1, V1;
    if (!excessat(p, T, 0, &G0, &Gt0, &V0) || !excessat(p, T, 1, &G1, &Gt1, &V1)) return;
    for (int i = 0; i <= n && n > 0; i++) {
        double xi = (double)i / n, G, Gt, V;
        double Sid = -(xi * std::log(xi + 1e-99) + (1 - xi) * std::log(1 - xi + 1e-99));
        if (!excessat(p, T, xi, &G, &Gt, &V)) return;
        double Gex = G - (xi * G1 + (1 - xi) * G0) + T * Sid;
        double TSex = T * ((xi * Gt1 + (1 - xi) * Gt0) - Gt - Sid);
        fprintf(f.f, "%9.7f %15.7g %15.7g %15.7g %15.7g\n", xi, Gex, TSex, Gex + TSex,
                V - (xi * V1 + (1 - xi) * V0));
    }
}
