// qordata.cpp: the user variables with their defaults, data entry over them with its checks
// and corrections, and the status display.
#include "qor/qor.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gen/ground.h"
#include "gen/minimize.h"
#include "gen/solve2.h"
#include "qor/qorglob.h"
#include "qor/qorres.h"
#include "qor/qorsys.h"

const char* qorversion = "5.72";

int key = 99;
int history = 3;
int red = 0;
int msglev = 23;
TpV ref = {1, 1, 1};
double maxpack = 1;
double minT = 0;
int res = 0;
int tvp = 0;
int pred = 0;
int pline = 0;
double aspect = 2;
int forT = 0;
double q = 1;
double qq = 1;
int predlevel = 3;
double dpredq = 6;
int solve = 2;
int trace = 22;
double ipred = 0.8;
int bump = 0;
int sort = 1;
int pn = 4;
int stable = 1;
double psun = 0.01;
int allv = 0;
int minkey = 0;
int minpar = 0;
double pexp = 6;
int maxit = 25;
double x = 0, y = 1, z = -1, w = -1;
int gr = 1;
int n = 25;
int zoom = 0;
double x0 = 0, x1 = 1;
double dx = 0;
double eps = 2.3;
double deps = 6;
double deps2 = 12;
double prec = 7;
int order = 4;
double T = 1;
double V = 1;
double p = 1;
int roots = 2;
int solve2 = 1;
double aux = 0;
double Ttvp = 0;
int diagram = 3;
double minV = 0;

double vs[5] = {1, 1, 1, 0, 0};
TpV crit = {1, 1, 1};
int s2maxit = -25;
int oldkey = 99;
int nres = 0;

// ---- Data entry ----------------------------------------------------------------------------

namespace {

// One user variable as data entry offers it: an int or a double.
struct UserVar {
    const char* name;
    double* d;
    int* i;
};

int linecopy;  // the variable "line" while data entry runs; becomes pline afterwards

// The 69 variables in the order in which data entry offers and lists them.
const UserVar uservars[] = {
    {"s1", &s1, nullptr},         {"s2", &s2, nullptr},          {"epsX", &epsX, nullptr},
    {"body1", nullptr, &body1},   {"a1", &a1, nullptr},          {"a2", &a2, nullptr},
    {"aX", &aX, nullptr},         {"body2", nullptr, &body2},    {"key", nullptr, &key},
    {"history", nullptr, &history}, {"red", nullptr, &red},      {"msglev", nullptr, &msglev},
    {"ref.T", &ref.T, nullptr},   {"ref.p", &ref.p, nullptr},    {"ref.V", &ref.V, nullptr},
    {"maxpack", &maxpack, nullptr}, {"minT", &minT, nullptr},    {"res", nullptr, &res},
    {"tvp", nullptr, &tvp},       {"pred", nullptr, &pred},      {"line", nullptr, &linecopy},
    {"aspect", &aspect, nullptr}, {"forT", nullptr, &forT},      {"q", &q, nullptr},
    {"qq", &qq, nullptr},         {"predlevel", nullptr, &predlevel},
    {"dpredq", &dpredq, nullptr}, {"solve", nullptr, &solve},    {"trace", nullptr, &trace},
    {"ipred", &ipred, nullptr},   {"bump", nullptr, &bump},      {"sort", nullptr, &sort},
    {"pn", nullptr, &pn},         {"stable", nullptr, &stable},  {"psun", &psun, nullptr},
    {"allv", nullptr, &allv},     {"minkey", nullptr, &minkey},  {"minpar", nullptr, &minpar},
    {"pexp", &pexp, nullptr},     {"maxit", nullptr, &maxit},    {"x", &x, nullptr},
    {"y", &y, nullptr},           {"z", &z, nullptr},            {"w", &w, nullptr},
    {"gr", nullptr, &gr},         {"n", nullptr, &n},            {"zoom", nullptr, &zoom},
    {"x0", &x0, nullptr},         {"x1", &x1, nullptr},          {"dx", &dx, nullptr},
    {"eps", &eps, nullptr},       {"deps", &deps, nullptr},      {"deps2", &deps2, nullptr},
    {"prec", &prec, nullptr},     {"order", nullptr, &order},    {"T", &T, nullptr},
    {"V", &V, nullptr},           {"p", &p, nullptr},            {"roots", nullptr, &roots},
    {"I.x", nullptr, &I.x},       {"I.xx", nullptr, &I.xx},      {"I.y", nullptr, &I.y},
    {"I.z", nullptr, &I.z},       {"I.w", nullptr, &I.w},        {"solve2", nullptr, &solve2},
    {"aux", &aux, nullptr},       {"Ttvp", &Ttvp, nullptr},      {"diagram", nullptr, &diagram},
    {"minV", &minV, nullptr},
};
static_assert(sizeof uservars / sizeof uservars[0] == 69, "69 user variables");

double lastsmallprec = 9e9;  // the last prec reported as below realprec

}  // namespace

void GetData() {
    linecopy = pline;
    _GetStart();
    do {
        if (_GetId()) {
            for (const UserVar& u : uservars) {
                double v = u.d ? *u.d : (double)*u.i;
                if (_GetCmp(u.name, v)) {
                    if (u.d)
                        *u.d = _Id.val;
                    else
                        *u.i = _IdInt();
                }
            }
            _CheckData();
        }
    } while (!_GetEnd());

    if (maxit <= 0) {
        MYERROR(1, "qordata", "invalid maxit");
        maxit = 25;
    }
    s2maxit = (msglev & 32) ? maxit : -maxit;
    pline = linecopy;
    gr = std::abs(gr);
    if (prec < realprec && prec != lastsmallprec) {
        MYERROR(0, "qordata", "prec=%g < realprec=%g (reoccurence not reported)", prec, realprec);
        lastsmallprec = prec;
    }
    if (eps <= 0 || eps > 0.01) {
        MYERROR(0, "qordata", "eps=%g: replaced by %g", eps, std::sqrt(prec));
        eps = std::sqrt(prec);
    }
    if (aspect != 0 && (aspect < 0.0001 || aspect > 10000))
        MYERROR(0, "qordata", "aspect=%g is suspicious", aspect);
    if (q != 0 && (q < 1e-6 || q > 1000)) MYERROR(0, "qordata", "q=%g is suspicious", q);
    if (std::fabs(qq) > 1000) MYERROR(0, "qordata", "qq=%g is suspicious", qq);
    if (predlevel < 2) {
        MYERROR(1, "qordata", "bad predlevel=%d, changed to 3", predlevel);
        predlevel = 3;
    }
    if (predlevel >= 11) MYERROR(0, "qordata", "too slow with predlevel=%d", predlevel);
    globchecks();
    if (roots >= 4) {
        MYERROR(1, "qordata", "roots=%d too big", roots);
        roots = 2;
    }
    if (tvp > 0 && tvp != 1 && tvp != 13) {
        MYERROR(1, "qordata", "invalid tvp");
        tvp = 1;
    }
    checkindices();
}

// Root indices and the history length index arrays and name files: keep them in range.
void checkindices() {
    int* fields[] = {&I.x, &I.xx, &I.y, &I.z, &I.w};
    const char* names[] = {"I.x", "I.xx", "I.y", "I.z", "I.w"};
    for (int k = 0; k < 5; k++)
        if (*fields[k] < 0 || *fields[k] > 4) {
            MYERROR(1, "qordata", "%s=%d out of range 0..4, set to 0", names[k], *fields[k]);
            *fields[k] = 0;
        }
    if (history < 0 || history > 59) {
        MYERROR(1, "qordata", "history=%d out of range 0..59, set to 3", history);
        history = 3;
    }
    if (nv < 0 || nv > 5) nv = 0;
}

// ---- Status display ------------------------------------------------------------------------

const char* diagraminfo(int flag) {
    static char text[48];
    static const char* kinds[] = {":T:x", ":p:x", ":p:T", ":GPD"};
    if (diagram < 0 || diagram > 3) {
        MYERROR(1, "qordata", "invalid diagram");
        diagram = 3;
    }
    if (flag && diagram == 3)
        snprintf(text, sizeof text, ":%s:%s", solveinfo(solve), solveinfo(trace));
    else
        snprintf(text, sizeof text, "%s", kinds[diagram]);
    return text;
}

void prtparm(FILE* stream) {
    const char* fmt = "%5s=%-13.6g %5s=%-13.6g %5s=%-13.6g %5s=%-13.6g";
    if (stream == out) {
        prt(fmt, "s1", s1, "s2", s2, "epsX", epsX, "body1", (double)body1);
        prt(fmt, "a1", a1, "a2", a2, "aX", aX, "body2", (double)body2);
        return;
    }
    fprintf(stream, "%s ", gcomment);
    fprintf(stream, fmt, "s1", s1, "s2", s2, "epsX", epsX, "body1", (double)body1);
    fprintf(stream, "\n%s ", gcomment);
    fprintf(stream, fmt, "a1", a1, "a2", a2, "aX", aX, "body2", (double)body2);
    fputc('\n', stream);
}

void PutData() {
    color(11);
    if (msglev & 1)
        prt("=== data help: ?  QOR help: key=99;  start GUI: key=0;  exit QOR: key=-99; ====");
    char sysname[sizeof userfile];
    snprintf(sysname, sizeof sysname, "%s", userfile);
    if (char* dot = strrchr(sysname, '.')) *dot = 0;
    int n0 = prt_("=== %s + %s === V%s (%s) PRECISION=%d === %s ", bodyinfo[0], bodyinfo[1],
                  qorversion, sysname, 1, resfile ? resfile : "");
    putline('=', 79 - n0);
    if (msglev & 4) {
        color(15);
        prtparm(out);
    }
    minV = minimumV(T, x) / crit.V;
    if (msglev & 8) {
        color(11);
        prt_(_putformat, "Eps.sq", Eps.sq);
        prt(_putformat, "maxpack", maxpack);
        prt_(_putformat, "msglev", (double)msglev);
        prt(_putformat, "minT", minT);
        prt_(_putformat, "crit.p", crit.p);
        prt_(_putformat, "crit.T", crit.T);
        prt(_putformat, "crit.V", crit.V);
        int nshow = nv < 0 ? 0 : nv > 5 ? 5 : nv;
        prt_("   v=");
        for (int i = 0; i < nshow; i++) prt_("%.15g ", vs[i]);
        prt_("\npack=");
        for (int i = 0; i < nshow; i++) prt_("%.15g ", minV / vs[i]);
        if (T > 0) prt_("Z=%.15g", (p * crit.p) * (V * crit.V) / (T * crit.T));
        prt("\nmaxrho(T,x)=%.15g minV(x)=%.15g", 1 / minV, minV);
    }
    if (msglev & 2) {
        color(14);
        prt("maxit=%d -- eps=%.3g -- prec=%.3g -- deps=%.3g -- deps2=%.3g -- dx=%.3g", maxit, eps,
            prec, deps, deps2, dx);
        if (bump < 0) {
            color(12);
            prt_("!");
        }
        prt("       pexp=%-8.4gipred=%-7.5g bump=%-8dminpar=%d", pexp, ipred, bump, minpar);
        color(14);
        prt("     solve2=%d (%s)  minkey=%d (%s)", solve2, Solve2Name(solve2), minkey,
            MinimizeName(minkey));
        if (stable != 1 || sort != 1) {
            color(12);
            prt_("!");
        }
        prt("       sort=%-7dstable=%-7dorder=%-9droots=%-12dpn=%d", sort, stable, order, roots,
            pn);
        color(red ? 11 : 9);
        prt("        red=%-11dgr=%-8dnres=%-9d allv=%-7dhistory=%d", red, gr, nres, allv,
            history);
    }
    color(15);
    prt_("  p=%-13.6g x0=%-13.6g  x=%-12.6g[%d/%d]       q=", p, x0, x, I.x, I.xx);
    if (q == 1)
        prt("1");
    else if (std::fabs(q - 1) >= 1e-6)
        prt("%.10g", q);
    else
        prt("1%+.4g", q - 1);
    prt("  V=%-13.6g x1=%-13.6g  y=%-12.6g[%d]        qq=%-13.6g", V, x1, y, I.y, qq);
    prt("  T=%-13.6g  n=%-13d  z=%-12.6g[%d]   line=%d  pred=%d", T, n, z, I.z, pline, pred);
    if (w >= 0 && w <= 1) prt("%37s=%-12.6g[%d]", "w", w, I.w);
    color(10);
    int n1 = prt_("key=%d  res=%d  tvp=%d  forT=%d  solve=%d (%s)  trace=%d (%s)  diagram=%d (%s)",
                  key, res, tvp, forT, solve, solveinfo(solve), trace, solveinfo(trace), diagram,
                  diagraminfo(0) + 1);
    putline(' ', n1 < 79 ? -(79 - n1) : 0);
    prtc('\n');
    color(15);
}
