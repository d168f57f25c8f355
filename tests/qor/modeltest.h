// modeltest.h: what the model tests share: a clean model state, output capture, standard
// input for death-test children, and an independent implementation of the equation of state
// (closed-form volume roots, and Taylor-series arithmetic for exact composition derivatives).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

namespace modeltest {

// The defaults of every variable the model reads.
inline void resetmodel(int eos = 1, int rule = 1) {
    a1 = a2 = aX = s1 = s2 = epsX = 1;
    body1 = eos;
    body2 = rule;
    realprec = machprec();
    prec = 7;
    eps = 2.3;
    order = 4;
    ipred = 0.8;
    roots = 2;
    allv = 0;
    pn = 4;
    maxpack = 1;
    sort = 1;
    sortg = 0;
    msglev = 23;
    I = {0, 0, 0, 0, 0};
    setconst();
    setEps();
}



// The message of the long jump that f makes, or "" when it returns.
template <class F>
std::string jumpmessage(F f) {
    try {
        f();
    } catch (const JumpError&) {
        return jmpinfo.text;
    }
    return "";
}

// ---- The model, written again from its formulas -------------------------------------------

typedef long double real;
const real pi6 = 3.14159265358979323846264338327950288L / 6;

struct Model {
    int eos = 1, rule = 1;
    real a1 = 1, a2 = 1, aX = 1, s1 = 1, s2 = 1, epsX = 1;
    void install() const {
        ::a1 = (double)a1, ::a2 = (double)a2, ::aX = (double)aX;
        ::s1 = (double)s1, ::s2 = (double)s2, ::epsX = (double)epsX;
        body1 = eos;
        body2 = rule;
        setconst();
    }
};

// Truncated Taylor series in the composition: c[k] is the k-th coefficient.
const int NJ = 6;
struct Jet {
    real c[NJ] = {};
    Jet() {}
    Jet(real v) { c[0] = v; }
};
inline Jet operator+(Jet a, const Jet& b) {
    for (int k = 0; k < NJ; k++) a.c[k] += b.c[k];
    return a;
}
inline Jet operator-(Jet a, const Jet& b) {
    for (int k = 0; k < NJ; k++) a.c[k] -= b.c[k];
    return a;
}
inline Jet operator-(Jet a) {
    for (int k = 0; k < NJ; k++) a.c[k] = -a.c[k];
    return a;
}
inline Jet operator*(const Jet& a, const Jet& b) {
    Jet r;
    for (int i = 0; i < NJ; i++)
        for (int j = 0; i + j < NJ; j++) r.c[i + j] += a.c[i] * b.c[j];
    return r;
}
inline Jet inv(const Jet& a) {
    Jet r;
    r.c[0] = 1 / a.c[0];
    for (int k = 1; k < NJ; k++) {
        real s = 0;
        for (int j = 1; j <= k; j++) s += a.c[j] * r.c[k - j];
        r.c[k] = -s / a.c[0];
    }
    return r;
}
inline Jet operator/(const Jet& a, const Jet& b) { return a * inv(b); }
inline Jet log(const Jet& a) {
    Jet r;
    r.c[0] = std::log(a.c[0]);
    for (int k = 1; k < NJ; k++) {
        real s = k * a.c[k];
        for (int j = 1; j < k; j++) s -= j * r.c[j] * a.c[k - j];
        r.c[k] = s / (k * a.c[0]);
    }
    return r;
}
inline Jet sqrt(const Jet& a) {
    Jet r;
    r.c[0] = std::sqrt(a.c[0]);
    for (int k = 1; k < NJ; k++) {
        real s = a.c[k];
        for (int j = 1; j < k; j++) s -= r.c[j] * r.c[k - j];
        r.c[k] = s / (2 * r.c[0]);
    }
    return r;
}
inline Jet cube(const Jet& a) { return a * a * a; }

// Mixture parameters a(x) and b(x).
inline Jet amix(const Model& m, const Jet& x) {
    Jet y = Jet(1) - x;
    return x * x * Jet(m.a1) + x * y * Jet(2 * m.aX * std::sqrt(m.a1 * m.a2)) + y * y * Jet(m.a2);
}
inline Jet bmix(const Model& m, const Jet& x) {
    Jet y = Jet(1) - x;
    real v1 = pi6 * m.s1 * m.s1 * m.s1, v2 = pi6 * m.s2 * m.s2 * m.s2;
    switch (m.rule) {
    case 2: return x * x * Jet(v1) + x * y * Jet(m.epsX * (v1 + v2)) + y * y * Jet(v2);
    case 3: return Jet(pi6) * cube(x * Jet(m.s1) + y * Jet(m.s2));
    case 4:
        return x * x * Jet(v1) + x * y * Jet(2 * m.epsX * std::sqrt(v1 * v2)) + y * y * Jet(v2);
    default: return x * Jet(v1) + y * Jet(v2);
    }
}

inline Jet helmholtz(const Model& m, const Jet& V, real T, const Jet& x) {
    Jet a = amix(m, x), b = bmix(m, x), y = Jet(1) - x;
    Jet ideal = Jet(T) * (x * log(x) + y * log(y) - log(V - b));
    if (m.eos == 2) return ideal + a / (b * Jet(std::sqrt(T))) * log(V / (V + b));
    return ideal - a / V;
}
inline Jet pressure(const Model& m, const Jet& V, real T, const Jet& x) {
    Jet a = amix(m, x), b = bmix(m, x);
    if (m.eos == 2) return Jet(T) / (V - b) - a / (Jet(std::sqrt(T)) * V * (V + b));
    return Jet(T) / (V - b) - a / (V * V);
}
inline Jet dpressure(const Model& m, const Jet& V, real T, const Jet& x) {
    Jet a = amix(m, x), b = bmix(m, x), d = V - b;
    Jet gas = -Jet(T) / (d * d);
    if (m.eos == 2)
        return gas + a * (Jet(2) * V + b) / (Jet(std::sqrt(T)) * V * V * (V + b) * (V + b));
    return gas + Jet(2) * a / (V * V * V);
}

// Scalars through the same formulas.
inline real scal_a(const Model& m, real x) { return amix(m, Jet(x)).c[0]; }
inline real scal_b(const Model& m, real x) { return bmix(m, Jet(x)).c[0]; }
inline real scal_P(const Model& m, real V, real T, real x) {
    return pressure(m, Jet(V), T, Jet(x)).c[0];
}
inline real scal_dP(const Model& m, real V, real T, real x) {
    return dpressure(m, Jet(V), T, Jet(x)).c[0];
}

// The critical point of a one-component fluid with the parameters a, b.
inline void pseudocrit(int eos, real a, real b, real* Tc, real* pc) {
    if (eos == 2) {
        real c = std::cbrt((real)2), Ob = (c - 1) / 3, Oa = 1 / (9 * (c - 1));
        *Tc = std::pow(Ob / Oa * a / b, (real)2 / 3);
        *pc = Ob * *Tc / b;
    } else {
        *Tc = 8 * a / (27 * b);
        *pc = a / (27 * b * b);
    }
}

// Real roots of c3 V^3 + c2 V^2 + c1 V + c0 (c3 != 0) by Cardano's and Viete's formulas,
// polished by Newton steps on the polynomial; ascending.
inline std::vector<real> cubicroots(real c3, real c2, real c1, real c0) {
    real A = c2 / c3, B = c1 / c3, C = c0 / c3;
    real Pp = B - A * A / 3, Q = 2 * A * A * A / 27 - A * B / 3 + C;
    real disc = Q * Q / 4 + Pp * Pp * Pp / 27;
    std::vector<real> t;
    if (disc > 0) {
        real s = std::sqrt(disc);
        t.push_back(std::cbrt(-Q / 2 + s) + std::cbrt(-Q / 2 - s));
    } else {
        real r = std::sqrt(-Pp / 3), arg = -Q / (2 * r * r * r);
        arg = std::max((real)-1, std::min((real)1, arg));
        real phi = std::acos(arg);
        const real twopi = 6.28318530717958647692528676655900577L;
        for (int k = 0; k < 3; k++) t.push_back(2 * r * std::cos((phi + twopi * k) / 3));
    }
    std::vector<real> v;
    for (real ti : t) {
        real V = ti - A / 3;
        for (int it = 0; it < 4; it++) {
            real f = ((V + A) * V + B) * V + C, d = (3 * V + 2 * A) * V + B;
            if (d == 0) break;
            real nV = V - f / d;
            if (!std::isfinite(nV)) break;
            V = nV;
        }
        v.push_back(V);
    }
    std::sort(v.begin(), v.end());
    return v;
}

// The volume roots above the co-volume at p, T, x.
inline std::vector<real> trueroots(const Model& m, real p, real T, real x) {
    real a = scal_a(m, x), b = scal_b(m, x);
    std::vector<real> all;
    if (m.eos == 2) {
        real q = a / std::sqrt(T);
        all = cubicroots(p, -T, -(p * b * b + T * b - q), -q * b);
    } else {
        all = cubicroots(p, -(p * b + T), a, -a * b);
    }
    std::vector<real> r;
    for (real V : all)
        if (V > b) r.push_back(V);
    return r;
}

// The spinodal pressures at T, x: the local minimum and maximum of P(V), by bisection on the
// analytic dP/dV over a logarithmic scan. Returns false above the critical temperature.
inline bool spinodals(const Model& m, real T, real x, real* pmin, real* pmax) {
    real b = scal_b(m, x);
    std::vector<real> z;
    real prev = 0, pv = 0;
    for (int i = 0; i <= 600; i++) {  // steps of 2.3%: the spinodals are farther apart
        real V = b * (1 + std::pow((real)10, -3 + i * 0.01L));
        real d = scal_dP(m, V, T, x);
        if (i && (d > 0) != (pv > 0)) {
            real lo = prev, hi = V;
            for (int k = 0; k < 80; k++) {
                real mid = (lo + hi) / 2;
                if ((scal_dP(m, mid, T, x) > 0) == (pv > 0))
                    lo = mid;
                else
                    hi = mid;
            }
            z.push_back((lo + hi) / 2);
        }
        prev = V;
        pv = d;
    }
    if (z.size() != 2) return false;
    *pmin = scal_P(m, z[0], T, x);
    *pmax = scal_P(m, z[1], T, x);
    return true;
}

// The composition derivatives d^k G/dx^k, k = 0..5, of the phase with volume V0 at p, T, x:
// G = A + pV along V(x), the series of the root found by Newton steps on series.
inline void gibbsderivs(const Model& m, real p, real T, real x0, real V0, real d[NJ]) {
    Jet x(x0);
    x.c[1] = 1;
    Jet V(V0);
    for (int it = 0; it < 6; it++)
        V = V - (pressure(m, V, T, x) - Jet(p)) / dpressure(m, V, T, x);
    Jet G = helmholtz(m, V, T, x) + Jet(p) * V;
    real fact = 1;
    for (int k = 0; k < NJ; k++) {
        if (k) fact *= k;
        d[k] = G.c[k] * fact;
    }
}

}  // namespace modeltest
