// cubic.cpp: Helmholtz energy and pressure of a binary mixture with a cubic equation of state.
#include "qor/cubic/cubic.h"

#include <cmath>

#include "gen/func.h"
#include "gen/ground.h"
#include "qor/qorsys.h"

double a1 = 1, a2 = 1, aX = 1;
double s1 = 1, s2 = 1;
double epsX = 1;
int body1 = 1, body2 = 1;
double eps1 = 0, eps2 = 0, sX = 1, axes1 = 1, axes2 = 1;
const char* bodyinfo[2] = {"van der Waals", "linear"};

unsigned long Pcount = 0;

// Derived constants, written only by setconst(). They start with the values the default
// parameters give, so that the model is usable before the first setconst().
static double PI6 = 0.5235987755982988;  // pi/6: co-volume of a sphere of unit diameter
static double a12 = 2;                    // cross attraction 2 aX sqrt(a1 a2)
static double V1 = PI6, V2 = PI6;         // co-volumes of the pure species
static double V12 = 2 * PI6;              // cross co-volume of the quadratic rules

// Critical constants of a species with a = 1, s = 1 (pure numbers, set once).
static double vdw_Vc, vdw_Tc, vdw_pc;
static double rk_Vc, rk_Tc, rk_pc;

// The critical constants are pure numbers: computed once, never changed afterwards.
static void critconst() {
    if (rk_pc == 0) {
        double c = std::cbrt(2.0), K = c * c + c + 1;
        rk_Vc = K * PI6;
        rk_Tc = sqr((1 + c) / K) * std::pow(PI6, -2.0 / 3);
        rk_pc = 1 / (K * K * (1 + c)) * std::pow(PI6, -5.0 / 3);
    }
    if (vdw_pc == 0) {
        vdw_Vc = 3 * PI6;
        vdw_Tc = 8 / (27 * PI6);
        vdw_pc = 1 / (27 * PI6 * PI6);
    }
}

static double xlog(double u) { return u > 0 ? u * std::log(u) : 0; }

static double bmixrule(double x1, double x2) {
    switch (body2) {
    case 2:
    case 4: return x1 * x1 * V1 + x1 * x2 * V12 + x2 * x2 * V2;
    case 3: return PI6 * cub(x1 * s1 + x2 * s2);
    default: return x1 * V1 + x2 * V2;
    }
}

static double amix(double x1, double x2) { return x1 * x1 * a1 + x1 * x2 * a12 + x2 * x2 * a2; }

void setconst() {
    a12 = 2 * aX * std::sqrt(a1 * a2);
    PI6 = 0.5235987755982988;
    V1 = PI6 * cub(s1);
    V2 = PI6 * cub(s2);
    if (body1 != 1 && body1 != 2) {
        MYERROR(1, "cubic", "bad EOS (body1=%d), use 1,2", body1);
        body1 = 1;
    }
    bodyinfo[0] = body1 == 1 ? "van der Waals" : "Redlich-Kwong";
    switch (body2) {
    case 1: bodyinfo[1] = "linear"; break;
    case 2:
        bodyinfo[1] = "quadr/aritm";
        V12 = (V1 + V2) * epsX;
        break;
    case 3: bodyinfo[1] = "additive diam"; break;
    case 4:
        bodyinfo[1] = "quadr/geom";
        V12 = 2 * std::sqrt(V1 * V2) * epsX;
        break;
    default:
        MYERROR(1, "cubic", "bad mixing rule (body2=%d), use 1,2,3,4", body2);
        body2 = 1;
        bodyinfo[1] = "linear";
    }
    critconst();
}

double A(double V, double T, double x) {
    double x2 = 1 - x, a = amix(x, x2), b = bmixrule(x, x2);
    if (V <= b) JMPERROR("cubic", "V<b in A");
    double ideal = T * (xlog(x) + xlog(x2) - std::log(V - b));
    if (body1 == 2) return ideal + a / (b * std::sqrt(T)) * std::log(V / (V + b));
    return ideal - a / V;
}

double P(double V, double T, double x) {
    Pcount++;
    double x2 = 1 - x, a = amix(x, x2), b = bmixrule(x, x2);
    if (V <= b) JMPERROR("cubic", "V<b in P");
    if (body1 == 2) return T / (V - b) - a / (std::sqrt(T) * V * (V + b));
    return T / (V - b) - a / (V * V);
}

double minimumV(double, double x) { return bmixrule(x, 1 - x); }

int key13(double* Vc, double* pc, double* Tc, double x) {
    double a, s;
    if (x == 1) {
        a = a1;
        s = s1;
    } else if (x == 0) {
        a = a2;
        s = s2;
    } else {
        MYERROR(0, "cubic", "must x==0 or x==1");
        return 13;
    }
    critconst();
    double c = cub(s), u = a / c;
    if (body1 == 2) {
        double w = std::pow(u, 2.0 / 3);
        *Vc = rk_Vc * c;
        *Tc = rk_Tc * w;
        *pc = rk_pc * w / c;
    } else {
        *Vc = vdw_Vc * c;
        *Tc = vdw_Tc * u;
        *pc = vdw_pc * u / c;
    }
    return 3;
}

int key20(double Vc, double Tc) {
    if (s1 != 1 || a1 != 1) {
        MYERROR(1, "cubic", "key=20 requires s1=1, a1=1");
        return 1;
    }
    critconst();
    double c;
    if (body1 == 2) {
        c = Vc / rk_Vc;
        a2 = std::pow(Tc / rk_Tc, 1.5) * c;
    } else {
        c = Vc / vdw_Vc;
        a2 = Tc * c / vdw_Tc;
    }
    s2 = std::cbrt(c);
    prt("NEW: s2=%.9f a2=%.9f set to reach given Tc Vc", s2, a2);
    setconst();
    return 0;
}
