// qoreq.cpp: critical points and azeotropes of the binary mixture: their conditions as
// equation functions of two unknowns, and the solvers of single points.
#include "qor/qoreq.h"

#include <cmath>
#include <cstring>

#include "gen/func.h"
#include "gen/ground.h"
#include "gen/solve2.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

int azeqkey = 0;
double* CLglob = nullptr;

double Xeps(double x) { return x * (1 - x) * eps; }

int XisX(double a, double b, int c) {
    double tol = std::exp(
        (std::log(std::sqrt(a * (1 - a) * b * (1 - b)) * prec) + 1.618 * std::log(eps)) * 0.5 / c);
    return std::fabs(a - b) < tol;
}

// ---- Critical point ------------------------------------------------------------------------

double eqd2Gdx2(double a, double x) {
    if (forT)
        p_d = a;
    else
        T_d = a;
    return d2Gdx2(p_d, T_d, x);
}

double eqd3Gdx3(double, double x) { return d3Gdx3(p_d, T_d, x); }

double eqd2Gdx2glob(double a, double x) {
    *CLglob = a;
    setconst();
    return d2Gdx2(p_d, T_d, x);
}

double eqd3Gdx3glob(double, double x) { return d3Gdx3(p_d, T_d, x); }

double eqd2Gdx2pT(double p, double T) { return d2Gdx2(p, T, x_d); }

double eqd3Gdx3pT(double p, double T) { return d3Gdx3(p, T, x_d); }

// ---- Two phases ----------------------------------------------------------------------------

double eq1(double x, double y) {
    der.dGx = dGdx(I.x, &der.Gx, p_d, T_d, x);
    der.dGy = dGdx(I.y, &der.Gy, p_d, T_d, y);
    der.x = x;
    der.y = y;
    return (y - x) * der.dGx + der.Gx - der.Gy;
}

double eq2(double x, double y) {
    if (x != der.x || y != der.y) MYERROR(2, "qoreq", "internal");
    return (x - y) * der.dGy + der.Gy - der.Gx;
}

// ---- Difference formulas -------------------------------------------------------------------

double centraldiff(int k, int order, const double d[7], double h) {
    const double* m = d + 3; // m[j] = f(x + j h)
    if (order == 4) {
        if (k == 1) return (8 * (m[1] - m[-1]) - (m[2] - m[-2])) / (12 * h);
        if (k == 2) return (16 * (m[1] + m[-1]) - 30 * m[0] - (m[2] + m[-2])) / (12 * h * h);
        return (-1.625 * (m[1] - m[-1]) + (m[2] - m[-2]) - 0.125 * (m[3] - m[-3])) / cub(h);
    }
    if (k == 1) return (m[1] - m[-1]) / (2 * h);
    if (k == 2) return (m[1] + m[-1] - 2 * m[0]) / (h * h);
    return ((m[2] - m[-2]) / 2 - (m[1] - m[-1])) / cub(h);
}

double onesideddiff(int k, int order, const double d[6], double h) {
    if (order == 4) {
        if (k == 1) return (-25 * d[0] + 48 * d[1] - 36 * d[2] + 16 * d[3] - 3 * d[4]) / (12 * h);
        return (45 * d[0] - 154 * d[1] + 214 * d[2] - 156 * d[3] + 61 * d[4] - 10 * d[5]) /
               (12 * h * h);
    }
    if (k == 1) return (-3 * d[0] + 4 * d[1] - d[2]) / (2 * h);
    return (2 * d[0] - 5 * d[1] + 4 * d[2] - d[3]) / (h * h);
}

// ---- Azeotropes ----------------------------------------------------------------------------

namespace {

// The arguments of an azeotrope function go into the current point.
void azpoint(double a, double b) {
    switch (azeqkey) {
    case 0:
        T_d = a, x_d = b;
        break;
    case 1:
        p_d = a, x_d = b;
        break;
    case 2:
        p_d = a, T_d = b;
        break;
    default:
        break;
    }
}

// Both azeotropic phases are among n roots.
bool havephases(int n) { return I.x >= 0 && I.xx >= 0 && I.x < n && I.xx < n; }

// G[I.x] - G[I.xx] at composition u of the current p_d, T_d; the root count into *n.
double delta(double u, int* n) {
    double G[5], V[5];
    *n = allG(G, V, p_d, T_d, u);
    return havephases(*n) ? G[I.x] - G[I.xx] : 0;
}

// The k-th composition derivative of Delta at x_d by central differences (k = 1..3).
double azderiv(int k, double a, double b) {
    static const char* const lost[4] = {"", "azeotrope: missing phase when calc. deriv.",
                                        "azeotrope: missing phase in 2nd deriv.",
                                        "azeotrope: missing phase in 3rd deriv."};
    azpoint(a, b);
    double h = Eps.d[k] * x_d * (1 - x_d);
    // The stencil in the order of evaluation: the first point (the first two for k = 1) must
    // hold both phases, the others as many roots as the first.
    static const int centred[] = {0, -1, 1, -2, 2};
    static const int odd[] = {-1, 1, -2, 2, -3, 3};
    const int* js = k == 2 ? centred : odd;
    int np = k == 1 ? Order : k == 2 ? Order + 1 : Order + 2;
    double D[7] = {0, 0, 0, 0, 0, 0, 0};
    int n0 = 0;
    for (int i = 0; i < np; i++) {
        int n;
        D[js[i] + 3] = delta(x_d + js[i] * h, &n);
        if (i == 0) {
            n0 = n;
            if (k != 1 && !havephases(n)) JMPERROR("qoreq", "azeotrope: missing phase");
        } else if (i == 1 && k == 1) {
            if (n != n0 || !havephases(n)) JMPERROR("qoreq", "azeotrope: missing phase");
        } else if (n != n0) {
            JMPERROR("qoreq", "%s", lost[k]);
        }
    }
    return centraldiff(k, Order, D, h);
}

// Delta at x_d + i h into D[i], i = 0..np-1, going into the mixture from the pure end x_d.
void azpure(double D[6], int np, double h, double p, double T) {
    int n0 = 0;
    for (int i = 0; i < np; i++) {
        int n;
        double G[5], V[5];
        n = allG(G, V, p, T, x_d + i * h);
        if (n < 2 || (i && n != n0) || !havephases(n))
            JMPERROR("qoreq", "azeotrope near pure: bad # of solutions (try order=2)");
        n0 = n;
        D[i] = G[I.x] - G[I.xx];
    }
}

double purestep(int k) { return x_d == 1 ? -Eps.d[k] : Eps.d[k]; }

} // namespace

double azeq1(double a, double b) {
    azpoint(a, b);
    int n;
    double d = delta(x_d, &n);
    if (!havephases(n)) JMPERROR("qoreq", "azeotrope: missing phase");
    return d;
}

double azeq2(double a, double b) { return -azderiv(1, a, b); }
double azeq3(double a, double b) { return azderiv(2, a, b); }
double azeq4(double a, double b) { return azderiv(3, a, b); }

double azvle1(double p, double T) {
    double D[6], h = purestep(1);
    azpure(D, Order + 1, h, p, T);
    der.dGx = onesideddiff(1, Order, D, h);
    der.x = p;
    der.y = T;
    return D[0];
}

double azvle2(double p, double T) {
    if (p != der.x || T != der.y) MYERROR(2, "qoreq", "internal");
    return der.dGx;
}

double azvle3(double p, double T) {
    double D[6], h = purestep(2);
    azpure(D, Order + 2, h, p, T);
    return onesideddiff(2, Order, D, h);
}

// ---- Point solvers -------------------------------------------------------------------------

// G of root I.x at u, at the current p_d and T_d.
static double GIx(double u, double x) {
    double G[5], V[5];
    int n = allG(G, V, p_d, T_d, u);
    if (I.x < 0 || I.x >= n) JMPERROR("qoreq", "no root I.x=%d for x=%g", I.x, x);
    return G[I.x];
}

int solvecrit(double* p, double* T, double* x) {
    double* u = forT ? p : T;
    double lo = forT ? 0 : minT;
    double a = dx, xc = *x;
    if (msglev & 0x20) prt("CL: p=%.12f T=%.12f x=%.12f", *p / crit.p, *T / crit.T, *x);
    p_d = *p;
    T_d = *T;
    int r = -1; // no solve yet: the composition was never inside (0, 1)
    for (;;) {
        if (dx != 0) prt("cr:trying x=%f", xc);
        if (Xeps(xc) > 0)
            r = Solve2(eqd2Gdx2, eqd3Gdx3, u, lo, 9e9, *u * eps, &xc, Eps.xlo, Eps.xhi, Xeps(xc),
                       s2maxit, solve2);
        // Written as a negation so that a step that is not a number ends the retries too.
        if (r == 0 || a == 0 || !(std::fabs(a) <= 1) || testsig()) break;
        xc += a;
        a = -a * (1.15 + std::fabs(dx / a));
    }
    if (r) return r;

    *x = xc;
    p_d = *p;
    T_d = *T;
    x_d = xc;
    double G[5], V[5];
    int n = allG(G, V, p_d, T_d, x_d);
    if (I.x < 0 || I.x >= n) JMPERROR("qoreq", "no root I.x=%d for x=%g", I.x, x_d);
    double e = dPdV(V[I.x], T_d);
    for (int i = 0; i < n; i++)
        if (i != I.x && G[i] < G[I.x]) prt("MECHANICALLY METASTABLE");

    int m = Order / 2 + 1;
    if (m > 3) {
        MYERROR(2, "qoreq", "internal");
        return 1;
    }
    double g = Eps.d[4] * x_d * (1 - x_d), Gs[7];
    for (int i = -m; i <= m; i++) {
        Gs[i + 3] = GIx(x_d + i * g, x_d);
        if (msglev & 0x20) prt("%2i %20.14f %20.15f", i, x_d + i * g, Gs[i + 3]);
    }
    const double* c = Gs + 3;
    double d4 =
        Order == 4
            ? (56 * c[0] - 39 * (c[1] + c[-1]) + 12 * (c[2] + c[-2]) - (c[3] + c[-3])) / 6 / pow4(g)
            : (6 * c[0] + (c[2] + c[-2]) - 4 * (c[1] + c[-1])) / pow4(g);
    if (msglev & 0x20) {
        prt_(_putformat, "x_d", x_d);
        prt(_putformat, "T_d", T_d);
        prt_(_putformat, "dP_dV", e);
        prt(_putformat, "d4G_dx4", d4);
        prt("p=%.12g  T=%.12g", p_d / crit.p, T_d / crit.T);
    }
    // A mechanically unstable critical phase or a negative fourth derivative: the critical
    // point lies inside a two-phase region. A value that is not a number proves nothing stable.
    if (!(e <= 0 && d4 >= 0)) {
        prt("UNSTABLE");
        return stable > 0 ? 1 : 0;
    }
    return stable == -1 ? 1 : 0;
}

int solveaz(double* p, double* T, double* x) {
    double* u = forT ? p : T;
    double lo = forT ? 0 : minT;
    if (msglev & 0x20) prt("AZ: p=%.14g T=%.12f x=%.12f", *p / crit.p, *T / crit.T, *x);
    double Vl[5];
    setIaz(*p, *T, *x, 1, Vl);
    // The unknowns (T, x) or (p, x); a forT other than 1 must not select (p, T).
    azeqkey = forT ? 1 : 0;
    p_d = *p;
    T_d = *T;
    int r =
        Solve2(azeq1, azeq2, u, lo, 9e9, *u * eps, x, Eps.xlo, Eps.xhi, Xeps(*x), s2maxit, solve2);
    if (r) return r;

    setIaz(*p, *T, *x, 1, Vl);
    p_d = *p;
    T_d = *T;
    x_d = *x;
    double G[5], V[5];
    int n = allG(G, V, p_d, T_d, x_d);
    if (n <= 1 || !havephases(n)) return -1;
    for (int i = 0; i < n; i++)
        if (i != I.x && i != I.xx && G[i] < G[I.x]) prt("MECHANICALLY METASTABLE");

    double d2G[5], V2[5];
    int n2 = alld2Gdx2(d2G, V2, p_d, T_d, x_d);
    if (n2 <= 1 || !havephases(n2)) return -1;
    if (msglev & 0x20) prt(_putformat, "d2gdx2[I.x]", d2G[I.x]);
    if (!(d2G[I.x] >= 0 && d2G[I.xx] >= 0)) {
        prt("UNSTABLE");
        return stable > 0 ? 1 : 0;
    }
    if (msglev & 0x20) {
        double e0 = dPdV(V[I.x], T_d), e1 = dPdV(V[I.xx], T_d);
        prt_(_putformat, "x_d", x_d);
        prt(_putformat, "T_d", T_d);
        prt_(_putformat, "dP_dV0", e0);
        prt(_putformat, "dP_dV1", e1);
    }
    return stable == -1 ? 1 : 0;
}

int critaz(double* V, double* T, double* x, double p) {
    // The roots go to V only on success: on failure the caller keeps what it had.
    double R[5];
    memcpy(R, V, sizeof R);
    int n = setIaz(p, *T, *x, 1, R);
    if (n < 1 || I.x < 0 || I.x > 4 || I.xx < 0 || I.xx > 4) return 1;
    double Vc = n < 2 ? R[I.x] : (R[I.x] + R[I.xx]) / 2;
    prt_(_putformat, "I.x", (double)I.x);
    prt_(_putformat, "I.xx", (double)I.xx);
    prt(_putformat, "V", Vc);
    prt_(_putformat, "v[I.x]", R[I.x]);
    prt(_putformat, "v[I.xx]", R[I.xx]);

    // Secant on x for dP/dx = 0 at the critical point of fixed composition.
    double xs = *x, Tc = *T;
    double f = xs * (1 - xs) * eps, s = 2 * f, dprev = 0, k = 0;
    int j = -2;
    xs += f;
    for (int i = 0;; i++) {
        if (i > maxit) return 1;
        // Outside (0, 1) the model has no meaning; a step that is not a number is lost too.
        if (!(xs > 0 && xs < 1)) return 1;
        x_d = xs;
        if (Solve2(dPdV, d2PdV2, &Vc, 0, 9e9, eps * Vc, &Tc, 0.01, 9e9, eps * Tc, s2maxit, solve2))
            return 1;
        double d = dPdx(Vc, Tc, xs);
        if (!std::isfinite(d)) return 1;
        if (d == dprev)
            s = -1.618 * s;
        else if (i < 2)
            k = s / (dprev - d), s = d * k;
        else
            k = ((s / (dprev - d)) * s * s + k * f * f) / (s * s + f * f), s = d * k;
        xs += s;
        j++;
        if (std::fabs(s) > f) j = -1;
        if (j > 0) break;
        dprev = d;
    }
    if (!(xs > 0 && xs < 1)) return 1;
    *x = xs;
    *T = Tc;
    memcpy(V, R, sizeof R);
    V[0] = Vc;
    return 0;
}

int azendvle(double* p, double* T, double x) {
    x_d = x;
    setIaz(*p, *T, x, 1, nullptr);
    double pc = *p, Tc = *T;
    int r =
        Solve2(azvle1, azvle2, &pc, 0, 9e9, eps * pc, &Tc, minT, 9e9, eps * Tc, s2maxit, solve2);
    if (r == 0) {
        *p = pc;
        *T = Tc;
    }
    return r;
}
