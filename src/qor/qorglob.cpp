// qorglob.cpp: model-parameter codes, the secant step on a model parameter, the checks of the
// global-solver variables and the res-file column table.
#include "qor/qorglob.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

double* addrtosolve;
double* addrtotrace;
const char* nextsep = "###########";
ParmColumn parms[8];

static double nosolve = 0;  // what an invalid code points to
static double noparm = 0;   // what a column without a parameter shows

// The texts of the columns: the table holds pointers into these.
static std::string parmname[8], parmformat[8];

double* tosolve(int code) {
    switch (code) {
    case 1: return &a1;
    case 2: return &a2;
    case 3: return &aX;
    case 11: return &axes1;
    case 12: return &axes2;
    case 21: return &s1;
    case 22: return &s2;
    case 23: return &sX;
    case 31: return &eps1;
    case 32: return &eps2;
    case 33: return &epsX;
    }
    MYERROR(1, "qorglob", "invalid solve=%d", code);
    return &nosolve;
}

const char* solveinfo(int code) {
    switch (code) {
    case 1: return "a1";
    case 2: return "a2";
    case 3: return "aX";
    case 11: return "axes1";
    case 12: return "axes2";
    case 21: return "s1";
    case 22: return "s2";
    case 23: return "sX";
    case 31: return "eps1";
    case 32: return "eps2";
    case 33: return "epsX";
    }
    return "?";
}

int whichsolve(const char* name) {
    for (int code = -111; code <= 1111; code++)
        if (!strcmp(solveinfo(code), name)) return code;
    return -9999;
}

static int chartoparm(char c) {
    switch (c) {
    case 'x': return 0;
    case 'T': return 5;
    case 'p': return 6;
    case 'r': return 7;
    }
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// One printf conversion of a double (flags, width, precision; "%%" besides): the res-file
// writer hands the format a single double, so nothing else may be in it.
static bool floatformat(const char* f) {
    int conversions = 0;
    for (; *f; f++) {
        if (*f != '%') continue;
        if (f[1] == '%') {
            f++;
            continue;
        }
        f++;
        while (*f && strchr("-+ #0'", *f)) f++;
        while (*f >= '0' && *f <= '9') f++;
        if (*f == '.') {
            f++;
            while (*f >= '0' && *f <= '9') f++;
        }
        if (*f == 'l') f++;  // %lf is %f
        if (!*f || !strchr("fFeEgGaA", *f)) return false;
        conversions++;
    }
    return conversions == 1;
}

void setparm(const char* option) {
    std::string text = option;
    if (!strchr(option, '%')) {
        size_t slash = text.find('/');
        if (slash != std::string::npos) text[slash] = '%';
    }
    const char* o = text.c_str();
    int e = text.size() >= 3 ? chartoparm(o[2]) : -1;
    if (e < 0 || e > 7) {
        MYERROR(1, "qorglob", "%s: one of {Tpx1234} expected after -p", option);
        return;
    }
    ParmColumn& col = parms[e];
    const char* format = strchr(o + 3, '%');
    if (!format) {
        MYERROR(1, "qorglob", "format missing in %s", option);
        return;
    }
    if (!strpbrk(format, "feEgG")) MYERROR(0, "qorglob", "%s bad format", format);
    if (floatformat(format)) {
        parmformat[e] = format;
        col.format = parmformat[e].c_str();
    } else if (strpbrk(format, "feEgG")) {
        MYERROR(0, "qorglob", "%s bad format", format);
    }

    const char* name = o + 3;
    if (*name == ':' || *name == '=') name++;
    if (*name == '-' || (*name >= '0' && *name <= '9')) {
        int code = atoi(name);
        if (!strcmp(solveinfo(code), "?")) {
            MYERROR(1, "qorglob", "%s unknown parm", option);
            return;
        }
        col.code = code;
        parmname[e] = solveinfo(code);
    } else if (*name == '%') {
        parmname[e] = e == 0 ? "x" : "/";
        col.name = parmname[e].c_str();
        col.value = &noparm;
        return;
    } else {
        size_t len = (size_t)(format - name);
        if (len > 16) {
            MYERROR(1, "qorglob", "%s bad format", option);
            return;
        }
        std::string s(name, len);
        int code = whichsolve(s.c_str());
        if (code == -9999) {
            MYERROR(1, "qorglob", "%s unknown parm", option);
            return;
        }
        col.code = code;
        parmname[e] = s;
    }
    col.name = parmname[e].c_str();
    col.value = tosolve(col.code);
}

void setparms() {
    static const char* const defaults[] = {"-pT:%10.7f", "-pp:%10.7f", "-px:%10.7f",
                                           "-pr:%10.7f", "-p1:aX%9.7f", "-p2:a2%10.7f",
                                           "-p3:s2%9.7f", "-p4:%1.0f"};
    for (const char* d : defaults) setparm(d);
}

void globchecks() {
    if (pexp == 0) {
        MYERROR(1, "qorglob", "wrong pexp=%g, changed to 1", pexp);
        pexp = 1;
    }
    if (std::fabs(pexp) < 0.02 || std::fabs(pexp) > 100)
        MYERROR(0, "qorglob", "pexp=%g is suspicious", pexp);
    if (std::abs(minpar) > 10) MYERROR(0, "qorglob", "minpar=%d is suspicious", minpar);
    if (ipred != 0 && (std::fabs(ipred) < 0.1 || std::fabs(ipred) > 2))
        MYERROR(0, "qorglob", "ipred=%g is suspicious", ipred);
    if (deps == 0) {
        MYERROR(1, "qorglob", "deps=0");
        deps = 6;
    }
    if (deps2 == 0) {
        MYERROR(1, "qorglob", "deps2=0");
        deps2 = 12;
    }
    if (std::fabs(deps) < 0.001 || std::fabs(deps) > 1000)
        MYERROR(0, "qorglob", "deps=%g is suspicious", deps);
    if (std::fabs(deps2) < 0.001 || std::fabs(deps2) > 1000)
        MYERROR(0, "qorglob", "deps2=%g is suspicious", deps2);
}

void solveistrace() {
    if (addrtotrace == addrtosolve) JMPERROR("qorglob", "solve==trace: wrong key table");
}

int nextglobsecant(double* par, double f, double* fold, double* dpar, double tol) {
    // A residual that is not a number or does not change gives no secant: going on would
    // put an infinite or undefined value into the model parameter.
    if (!std::isfinite(f)) JMPERROR("qorglob", "secant: residual f=%g", f);
    if (f == *fold && f != 0) JMPERROR("qorglob", "secant: residual unchanged, f=%g", f);
    const char* marker = par == addrtosolve ? "===========" : nextsep;
    if (msglev & 0x10) {
        color(13);
        if (msglev & 0x20) prtc('\n');
        prt_("%s f=%e  %.12f", marker, f, *par);
    }
    // The first call (*fold = 0) steps by -*dpar, also when it starts at an exact zero.
    double step = f == *fold ? -*dpar : *dpar * f / (*fold - f);
    *dpar = step;
    *par += step;
    *fold = f;
    setconst();
    if (msglev & 0x10) {
        prt(" -->%.12f %s", *par, marker);
        if (msglev & 0x20) prtc('\n');
        color(15);
    }
    if (testsig()) return 0;
    return std::fabs(*dpar / *par) > 0.9 * tol ? 1 : 0;
}
