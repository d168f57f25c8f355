// qorfunc.cpp: volume roots of the equation of state, their assignment to phases, the Gibbs
// energy and its numerical derivatives.
#include "qor/qorfunc.h"

#include <cmath>
#include <cstring>

#include "gen/func.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

EpsRecord Eps;
int Order = 4;
RootIndex I = {0, 0, 0, 0, 0};
int sortg = 1;
double p_d, T_d, x_d, V_d;
DerRecord der;
TangRecord tang;
double gs[5];
int nv;

static unsigned int maxiter = 5000;  // limit of one root refinement; doubles when exceeded
static double mr;                     // the largest density of the last EOS call
static int first = 1;                 // the many-roots warning of alldGdpTx is still due

// A step of the root search that long means a broken function, not a hard root: give up.
static const int maxsteps = 4000;

void setEps() {
    if (order != 0 && order != 2 && order != 4) {
        MYERROR(1, "qorfunc", "bad order=%d - set to 4", order);
        order = 4;
    }
    Order = order ? order : 4;
    if (prec > 0.1) prec *= realprec;
    if (!(prec >= 0.05 * realprec && prec <= 0.001)) {
        MYERROR(1, "qorfunc", "%g bad prec", prec);
        // A precision that is not positive makes every tolerance and step zero or NaN.
        if (!(prec > 0)) prec = 7 * realprec;
    }
    Eps.root = std::pow(prec, 0.6180339887498948);
    Eps.sq = std::sqrt(prec);
    for (int k = 0; k < 7; k++) Eps.d[k] = std::pow(prec, 1.0 / (Order + k));
    if (eps >= 1) eps = std::exp(std::log(prec) / eps);
    Eps.xlo = 10 * std::pow(prec, 0.9);
    Eps.xhi = 1 - Eps.xlo;
    Eps.pred = std::pow(eps, ipred);
}

double GV(double p, double V, double T, double x) { return A(V, T, x) + p * V; }

double Pd(double V, double T, double x) {
    double h = Eps.d[1] * V;
    if (Order == 4)
        return -(8 * (A(V + h, T, x) - A(V - h, T, x)) -
                 (A(V + 2 * h, T, x) - A(V - 2 * h, T, x))) /
               (12 * h);
    return -(A(V + h, T, x) - A(V - h, T, x)) / (2 * h);
}

// ---- Volume roots --------------------------------------------------------------------------

namespace {

// A density and the pressure residual there.
struct Pt {
    double r, f;
};

// The residual of one search: f(rho) = P(1/rho) - p at fixed T and x.
struct Residual {
    double p, T, x;
    Pt at(double r) const { return {r, P(1 / r, T, x) - p}; }
};

bool same_sign(double a, double b) { return a * b > 0; }

}  // namespace

// Secant with a bisection safeguard inside a bracket [a, b] whose residuals differ in sign.
static int refine(double* rho, Pt a, Pt b, const Residual& f) {
    if (b.r < a.r) std::swap(a, b);
    Pt S1 = a, S2 = b, K1 = a, K2 = b;
    if (same_sign(S1.f, S2.f)) MYERROR(1, "qorfunc", "internal");
    unsigned int count = 0;
    bool bisectonly = false;
    for (;;) {
        if (++count > maxiter) {
            MYERROR(0, "qorfunc", "p=P(V;T,x) search more than %u iterations", maxiter);
            count = 0;
            if (maxiter < 2147483647u) {
                maxiter *= 2;
                prt("iterations limit increased to %lu", (unsigned long)maxiter);
            }
            // Bisection alone ends for certain: halving the bracket cannot go on forever.
            bisectonly = true;
        }
        double t = S1.f != S2.f ? S1.f / (S1.f - S2.f) : 9e9;
        double rs = S1.r + (S2.r - S1.r) * t;
        if (!bisectonly && K1.r <= rs && rs < K2.r && -0.7 <= t && t <= 1.7) {
            if (std::fabs((S2.r - S1.r) / S1.r) < Eps.root) {
                *rho = rs;
                return 1;
            }
            S1 = S2;
            S2 = f.at(rs);
            if (std::isnan(S2.f)) return 0;
            const Pt& lo = S1.r < S2.r ? S1 : S2;
            const Pt& hi = S1.r < S2.r ? S2 : S1;
            if (K1.r < lo.r && lo.r < K2.r && lo.f * K1.f >= 0) K1 = lo;
            if (K1.r < hi.r && hi.r < K2.r && hi.f * K2.f >= 0) K2 = hi;
        } else {
            if (S2.r < S1.r) std::swap(S1, S2);
            if (same_sign(S1.f, S2.f)) {
                if (S1.r < K1.r || S1.f * K1.f < 0) S1 = K1;
                if (K2.r < S2.r || S2.f * K2.f < 0) S2 = K2;
            }
            double m = (S1.r + S2.r) / 2;
            // A bracket of two neighbouring doubles cannot be split: the root is found.
            if (std::fabs((S2.r - S1.r) / S1.r) < Eps.root || !(S1.r < m && m < S2.r)) {
                *rho = m;
                return 1;
            }
            Pt M = f.at(m);
            if (std::isnan(M.f)) return 0;
            if (same_sign(M.f, S1.f))
                S1 = M;
            else
                S2 = M;
            K1 = S1;
            K2 = S2;
        }
    }
}

// One root of P(1/rho) = p between the densities *rho and rho2: in bracket mode (h = 0) when
// a sign change over the interval is expected, else by steps of growing or shrinking size.
static int searchroot(double* rho, double rho2, double p, double T, double x, double h) {
    const Residual f = {p, T, x};
    double ra = *rho, rb = rho2;
    if (!(std::fabs(rb - ra) >= (ra + rb) * Eps.sq)) return 0;
    bool bracket = h == 0;
    if (bracket) h = 0.4;
    double H = h * std::fabs(rb - ra);
    if (rb < ra) H = -H;
    // Roots at the very ends were found before: step just inside them.
    ra += H * Eps.sq;
    rb -= H * Eps.sq;
    double lo = dmin(ra, rb), hi = dmax(ra, rb);
    if (bracket) {
        Pt b = f.at(rb), a = f.at(ra);
        if (!(a.f * b.f <= 0)) return 0;
        return refine(rho, a, b, f);
    }

    int npn = pn > 0 ? pn : 1;
    double H0 = H / npn;
    H = H0;
    int clamps = 0;
    auto clamp = [&](double r) {
        if (r < lo) return clamps++, lo;
        if (r > hi) return clamps++, hi;
        return r;
    };
    Pt R1, R2 = f.at(ra), R3;
    if (std::isnan(R2.f)) return 0;
    R3 = f.at(clamp(R2.r + H));
    if (R3.f * R2.f <= 0) return refine(rho, R2, R3, f);
    if (clamps) return 0;
    for (int step = 0; step < maxsteps; step++) {
        R1 = R2;
        R2 = R3;
        R3 = f.at(clamp(R2.r + H));
        if (R3.f * R2.f <= 0) return refine(rho, R2, R3, f);
        if (clamps || std::isnan(R3.f)) return 0;

        // |f| has a local minimum at R2: two close roots may hide between R1 and R3.
        if (std::fabs(R2.f) < std::fabs(R1.f) && std::fabs(R2.f) < std::fabs(R3.f)) {
            Pt o1 = R1, o2 = R2, o3 = R3;
            for (int k = 0; k < 200 && std::fabs(R3.r - R1.r) > 0.3 * std::fabs(H0); k++) {
                if (std::fabs(R2.r - R1.r) > std::fabs(R3.r - R2.r)) {
                    Pt Q = f.at((R1.r + R2.r) / 2);
                    if (Q.f * R1.f <= 0) return refine(rho, R1, Q, f);
                    if (std::fabs(Q.f) < std::fabs(R2.f)) {
                        R3 = R2;
                        R2 = Q;
                    } else {
                        R1 = Q;
                    }
                } else {
                    Pt Q = f.at((R2.r + R3.r) / 2);
                    if (Q.f * R2.f <= 0) return refine(rho, R2, Q, f);
                    if (std::fabs(Q.f) < std::fabs(R2.f)) {
                        R1 = R2;
                        R2 = Q;
                    } else {
                        R3 = Q;
                    }
                }
            }
            R1 = o1;
            R2 = o2;
            R3 = o3;
        }

        // Step control: grow while f is far from zero, shrink as it comes near, so that two
        // close roots are not stepped over.
        double r = std::fabs(R3.f / R1.f);
        int bent = std::fabs((R3.r - R1.r) * R2.f) <
                   std::fabs((R2.r - R1.r) * R3.f + R1.f * (R3.r - R2.r));
        if ((bent && r > 0.618) || r > 1 - 0.1 / npn) {
            if (std::fabs(H) < 7 * std::fabs(H0)) H *= 1.618;
        } else if ((bent && r > 0.4) || r > 1 - 0.3 / npn) {
        } else {
            H = (R3.r - R1.r) * r * (1 + bent) /
                std::sqrt(std::fabs(R3.r - R1.r) / (0.3 * std::fabs(H0)) + 0.2);
        }
    }
    return 0;
}

static int includeroot(int* n, double V[], double rho, int check) {
    if (check)
        for (int i = 0; i < *n; i++)
            if (std::fabs(V[i] * rho - 1) < Eps.sq) return 0;
    if (*n >= 5) {
        MYERROR(1, "qorfunc", "too many roots");
        return 0;
    }
    V[(*n)++] = 1 / rho;
    return 1;
}

int EOS(double V[5], double p, double T, double x) {
    double b = minimumV(T, x);
    if (T == 0) {
        V[0] = b;
        return 1;
    }
    double rhomax = mr = maxpack / b;
    int npn = pn > 0 ? pn : 1;
    int n = 0;

    // Gas side: from the dilute end, expanding 16-fold while the gas root lies farther out.
    V[0] = 50 * npn / rhomax;
    int expansions = 0;
    while (expansions < npn && p < P(V[0], T, x)) {
        V[0] *= 16;
        expansions++;
    }
    double rho = 1 / V[0];
    int found = expansions ? searchroot(&rho, 16 / V[0], p, T, x, 0)
                           : searchroot(&rho, rhomax, p, T, x, roots >= 2 ? 0.2 : 0);
    if (found) V[n++] = 1 / rho;
    if (roots < 2) return n;

    // Liquid side: stepping from the densest end towards the gas root.
    double rl = rhomax;
    if (n == 0) {
        // No gas root: at p > 0 it lies beyond the search range, and a liquid root alone
        // would be taken for the stable phase; at p <= 0 there is none and the liquid is real.
        if (p > 0 || !searchroot(&rl, 1 / V[0], p, T, x, 0.5)) return 0;
        V[0] = 1 / rl;
        return 1;
    }
    if (!searchroot(&rl, 1 / V[0], p, T, x, 0.5) || std::fabs(V[0] * rl - 1) < Eps.sq) return 1;
    V[1] = 1 / rl;
    n = 2;
    if (V[0] < V[1]) {
        MYERROR(1, "qorfunc", "EOS:order of V");
        std::swap(V[0], V[1]);
    }

    // Roots between the liquid and the gas root: unstable ones, kept only with allv.
    rho = rl;
    for (int j = 2;;) {
        int added = searchroot(&rho, 1 / V[0], p, T, x, j < roots ? 0.3 : 0) &&
                    includeroot(&n, V, rho, 1);
        if (added && !allv) n--;
        if (!added) {
            if (!allv) break;
            if (!searchroot(&rho, 1 / V[0], p, T, x, 0)) {
                // No sign change: a near-tangency, the closest approach stands for the root.
                int m = 8 * npn;
                double Vl = 1 / rho, best = HUGE_VAL;
                for (int k = 0; k < m; k++) {
                    double v = V[0] - (k + 0.5) * (V[0] - Vl) / m;
                    double d = std::fabs(P(v, T, x) - p);
                    if (d < best) {
                        best = d;
                        rho = 1 / v;
                    }
                }
            }
            includeroot(&n, V, rho, 0);
        }
        if (j >= roots) break;
        // A root dropped just before is not in V: near the critical point the search that
        // starts from it can find it again.
        double r = rho;
        if (!searchroot(&r, 1 / V[0], p, T, x, 0.3) || std::fabs(r / rho - 1) < Eps.sq ||
            !includeroot(&n, V, r, 1))
            break;
        rho = r;
        j++;
    }

    // The gas root goes last: ascending volume.
    double gas = V[0];
    for (int i = 0; i < n - 1; i++) V[i] = V[i + 1];
    V[n - 1] = gas;
    return n;
}

int allG(double Gs[5], double V[5], double p, double T, double x) {
    int n = EOS(V, p, T, x);
    for (int i = 0; i < n; i++) Gs[i] = GV(p, V[i], T, x);
    if (sortg < 0) {
        for (int i = 0, j = n - 1; i < j; i++, j--) {
            std::swap(V[i], V[j]);
            std::swap(Gs[i], Gs[j]);
        }
    } else if (sortg > 0) {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int i = 1; i < n; i++)
                if (Gs[i] < Gs[i - 1]) {
                    std::swap(Gs[i], Gs[i - 1]);
                    std::swap(V[i], V[i - 1]);
                    swapped = true;
                }
        }
    }
    return n;
}

int setI(int* index, double p, double T, double x) {
    if (sort <= 0) {
        sortg = sort;
        return 1;
    }
    sortg = 0;
    double Gs[5], V[5];
    int n = allG(Gs, V, p, T, x);
    if (n <= 0) JMPERROR("qorfunc", "EOS not solved in setI(), p=%g T=%g x=%g", p, T, x);
    int k = 0;
    for (int i = 1; i < n; i++)
        if (Gs[i] < Gs[k]) k = i;
    *index = k;
    return n;
}

int setIaz(double p, double T, double x, int ordered, double V[5]) {
    if (sort <= 0) {
        sortg = sort;
        return 1;
    }
    sortg = 0;
    double local[5];
    if (!V) V = local;
    int n = EOS(V, p, T, x);
    if (n <= 1) {
        if (n == 0) MYERROR(1, "qorfunc", "no root");
        int old = I.x;
        I.x = 0;
        if (I.xx == 0) I.xx = old;
        if (I.xx == 0) I.xx = 1;
        return n;
    }
    double Gs[5];
    for (int i = 0; i < n; i++) Gs[i] = GV(p, V[i], T, x);
    if (Gs[0] <= Gs[1])
        I.x = 0, I.xx = 1;
    else
        I.x = 1, I.xx = 0;
    for (int i = 2; i < n; i++) {
        if (Gs[i] <= Gs[I.x]) {
            I.xx = I.x;
            I.x = i;
        } else if (Gs[i] <= Gs[I.xx]) {
            I.xx = i;
        }
    }
    if (ordered && I.xx < I.x) std::swap(I.x, I.xx);
    if (msglev & 0x10) prt("az: I.x=%d I.xx=%d", I.x, I.xx);
    return n;
}

// ---- Gibbs energy and its derivatives ------------------------------------------------------

double G(int i, double p, double T, double x) {
    double Gs[5], V[5];
    int n = allG(Gs, V, p, T, x);
    if (i < 0 || i >= n) JMPERROR("qorfunc", "no root #%d for x=%g", i, x);
    return Gs[i];
}

namespace {

// Restores sortg and allv however the derivative is left (a long jump included).
struct KeepOrder {
    int sortg0, allv0;
    KeepOrder() : sortg0(sortg), allv0(allv) {}
    ~KeepOrder() {
        sortg = sortg0;
        allv = allv0;
    }
};

// The roots at one point of a stencil.
struct Roots {
    double G[5], V[5];
    int n;
};

// The values at stencil point j of root k go to index i.
void moveroot(Roots& r, int i, int k) {
    r.G[i] = r.G[k];
    r.V[i] = r.V[k];
}

void swaproots(Roots& r, int i, int k) {
    std::swap(r.G[i], r.G[k]);
    std::swap(r.V[i], r.V[k]);
}

}  // namespace

// Which root continues across a change of the root count between the stencil points at a and
// b: the one whose volume varies most linearly over a, the midpoint and b. -1 when none can
// be told (the count changes again inside, or the volumes are not finite).
static int followroot(double a, double b, Roots ra, Roots rb, double v, double f, int which,
                      double p, double T, double x) {
    auto evaluate = [&](double pos, Roots& r) {
        double vj = v + pos * f;
        r.n = allG(r.G, r.V, which == 0 ? vj : p, which == 1 ? vj : T, which == 2 ? vj : x);
    };
    auto at = [](const Roots& r, int k) { return r.n == 1 ? 0 : k; };
    int t = -1, t1 = -1, t2 = -1;
    for (int pass = 1; pass <= 13; pass++) {
        double m = (a + b) / 2;
        Roots rm;
        evaluate(m, rm);
        if (rm.n <= 0) break;
        double best = 3e33;
        t = -1;
        for (int k = 0; k < 3; k++) {
            if (at(ra, k) >= ra.n || at(rb, k) >= rb.n || at(rm, k) >= rm.n) continue;
            double E = std::fabs(rb.V[at(rb, k)] + ra.V[at(ra, k)] - 2 * rm.V[at(rm, k)]);
            if (E < best) {
                best = E;
                t = k;
            }
        }
        if (t < 0) {
            MYERROR(1, "qorfunc", "internal");
            return -1;
        }
        if (t == t1 && t == t2) return t;
        t2 = t1;
        t1 = t;
        if (rm.n == ra.n) {
            a = m;
            ra = rm;
        } else if (rm.n == rb.n) {
            b = m;
            rb = rm;
        } else {
            break;
        }
        if (pass % 3) {
            double o = rb.n < ra.n ? (5 * a - b) / 4 : (5 * b - a) / 4;
            Roots ro;
            evaluate(o, ro);
            if (ro.n == ra.n) {
                a = o;
                ra = ro;
            } else if (ro.n == rb.n) {
                b = o;
                rb = ro;
            }
        }
    }
    MYERROR(1, "qorfunc", "cannot follow root");
    return t;
}

int alldGdpTx(double dG[5], double Gout[5], double Vout[5], double p, double T, double x,
              int which) {
    KeepOrder keep;
    if (sortg > 0) sortg = 0;
    allv = 1;  // all roots, so that their number is odd and an index is the same root
    double v = which == 0 ? p : which == 1 ? T : x;
    double f = Eps.d[1] * v;
    if (which == 2) f *= 1 - x;
    const int np = Order + 1, c = Order / 2;
    Roots r[5];
    int nmax = 0, nmin = 5;
    for (int j = 0; j < np; j++) {
        double vj = v + (j - c) * f;
        r[j].n = allG(r[j].G, r[j].V, which == 0 ? vj : p, which == 1 ? vj : T,
                      which == 2 ? vj : x);
        if (r[j].n <= 0) {
            MYERROR(1, "qorfunc", "cannot follow roots");
            return 0;
        }
        if (r[j].n % 2 == 0) {
            MYERROR(1, "qorfunc", "internal (nroots=%d should be odd)", r[j].n);
            r[j].n--;
        }
        if (r[j].n > nmax) nmax = r[j].n;
        if (r[j].n < nmin) nmin = r[j].n;
    }
    if (nmax > 3 && first) {
        MYERROR(0, "qorfunc",
                "alldGdpTx: sorry, cannot handle properly %d-->%d roots\nsome derivatives may be "
                "wrong\n(re-occurrence not reported)",
                nmax, nmin);
        first = 0;
    }

    int n = r[0].n;
    int i = 0;
    while (i < np - 1 && r[i].n == r[i + 1].n) i++;
    if (i < np - 1) {
        // A spinodal lies inside the stencil: only the root that goes on across it counts.
        int t = followroot(i - c, i + 1 - c, r[i], r[i + 1], v, f, which, p, T, x);
        if (t < 0) return 0;
        for (int j = 0; j < np; j++)
            if (r[j].n > 1) moveroot(r[j], 0, t);
        n = 1;
    }
    if (!keep.allv0) {
        // The stable alternation: the roots of even index.
        for (int j = 0; j < np; j++)
            for (int k = 0; 2 * k < r[j].n; k++) moveroot(r[j], k, 2 * k);
        n = (n + 1) / 2;
    }
    if (keep.sortg0 > 0) {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int k = 1; k < n; k++)
                if (r[c].G[k] < r[c].G[k - 1]) {
                    for (int j = 0; j < np; j++) swaproots(r[j], k, k - 1);
                    swapped = true;
                }
        }
    }
    for (int k = 0; k < n; k++) {
        if (Order == 4)
            dG[k] = (8 * (r[3].G[k] - r[1].G[k]) - (r[4].G[k] - r[0].G[k])) / (12 * f);
        else
            dG[k] = (r[2].G[k] - r[0].G[k]) / (2 * f);
        Vout[k] = r[c].V[k];
        Gout[k] = r[c].G[k];
    }
    return n;
}

double dGdx(int i, double* Gout, double p, double T, double x) {
    double dG[5], Gs[5], V[5];
    int n = alldGdpTx(dG, Gs, V, p, T, x, 2);
    if (i < 0 || i >= n) JMPERROR("qorfunc", "no root #%d for x=%g", i, x);
    if (Gout) *Gout = Gs[i];
    return dG[i];
}

int alld2Gdx2(double d2G[5], double V[5], double p, double T, double x) {
    KeepOrder keep;
    if (sortg > 0) sortg = 0;
    double h = Eps.d[1] * x * (1 - x);
    // Points x, x - h, x + h, x - 2h, x + 2h.
    Roots r[5];
    const int np = Order == 4 ? 5 : 3;
    const double at[5] = {x, x - h, x + h, x - 2 * h, x + 2 * h};
    for (int j = 0; j < np; j++) r[j].n = allG(r[j].G, r[j].V, p, T, at[j]);
    int n = r[0].n;
    for (int j = 1; j < np; j++)
        if (r[j].n != r[0].n) n = 1;
    if (n > 0 && r[0].n > 0)
        for (int j = 1; j < np; j++)
            if (r[j].n <= 0) n = 0;
    if (keep.sortg0 > 0) {
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (int k = 1; k < n; k++)
                if (r[0].G[k] < r[0].G[k - 1]) {
                    for (int j = 0; j < np; j++) swaproots(r[j], k, k - 1);
                    swapped = true;
                }
        }
    }
    for (int k = 0; k < n; k++) {
        if (Order == 4)
            d2G[k] = (16 * (r[2].G[k] + r[1].G[k]) - 30 * r[0].G[k] - (r[3].G[k] + r[4].G[k])) /
                     (12 * h * h);
        else
            d2G[k] = (r[1].G[k] + r[2].G[k] - 2 * r[0].G[k]) / (h * h);
    }
    for (int k = 0; k < r[0].n; k++) V[k] = r[0].V[k];
    return n;
}

double d2Gdx2(double p, double T, double x) {
    double d2G[5], V[5];
    int n = alld2Gdx2(d2G, V, p, T, x);
    if (I.x < 0 || I.x >= n) JMPERROR("qorfunc", "no root I.x=%d for x=%g", I.x, x);
    return d2G[I.x];
}

// G of root I.x at u; the stencil of a derivative at x is abandoned where that root is missing.
static double GIx(double p, double T, double u, double x) {
    double Gs[5], V[5];
    int n = allG(Gs, V, p, T, u);
    if (I.x < 0 || I.x >= n) JMPERROR("qorfunc", "no root I.x=%d for x=%g", I.x, x);
    return Gs[I.x];
}

double d3Gdx3(double p, double T, double x) {
    double h = Eps.d[3] * x * (1 - x);
    double g1 = GIx(p, T, x + h, x), g2 = GIx(p, T, x + 2 * h, x);
    double m1 = GIx(p, T, x - h, x), m2 = GIx(p, T, x - 2 * h, x);
    if (Order == 4) {
        double g3 = GIx(p, T, x + 3 * h, x), m3 = GIx(p, T, x - 3 * h, x);
        return (-1.625 * (g1 - m1) + (g2 - m2) - 0.125 * (g3 - m3)) / cub(h);
    }
    return ((g2 - m2) / 2 - (g1 - m1)) / cub(h);
}

double d4Gdx4(double p, double T, double x) {
    double h = Eps.d[4] * x * (1 - x);
    double g0 = GIx(p, T, x, x);
    double g1 = GIx(p, T, x + h, x), g2 = GIx(p, T, x + 2 * h, x);
    double m1 = GIx(p, T, x - h, x), m2 = GIx(p, T, x - 2 * h, x);
    if (Order == 4) {
        double g3 = GIx(p, T, x + 3 * h, x), m3 = GIx(p, T, x - 3 * h, x);
        return (56 * g0 - 39 * (g1 + m1) + 12 * (g2 + m2) - (g3 + m3)) / (6 * pow4(h));
    }
    return (g2 + m2 - 4 * (g1 + m1) + 6 * g0) / pow4(h);
}

double d5Gdx5(double p, double T, double x) {
    double h = Eps.d[5] * x * (1 - x);
    double g1 = GIx(p, T, x + h, x), g2 = GIx(p, T, x + 2 * h, x);
    double m1 = GIx(p, T, x - h, x), m2 = GIx(p, T, x - 2 * h, x);
    double g3 = GIx(p, T, x + 3 * h, x), m3 = GIx(p, T, x - 3 * h, x);
    if (Order == 4) {
        double g4 = GIx(p, T, x + 4 * h, x), m4 = GIx(p, T, x - 4 * h, x);
        return (9 * (g3 - m3) - 26 * (g2 - m2) + 29 * (g1 - m1) - (g4 - m4)) / (6 * pow5(h));
    }
    return ((g3 - m3) / 2 - 2 * (g2 - m2) + 2.5 * (g1 - m1)) / pow5(h);
}

double dPdV(double V, double T) {
    double h = Eps.d[1] * V, x = x_d;
    if (Order == 4)
        return (P(V - 2 * h, T, x) + 8 * (P(V + h, T, x) - P(V - h, T, x)) - P(V + 2 * h, T, x)) /
               (12 * h);
    return (P(V + h, T, x) - P(V - h, T, x)) / (2 * h);
}

double d2PdV2(double V, double T) {
    double h = Eps.d[2] * V, x = x_d;
    if (Order == 4)
        return (16 * (P(V + h, T, x) + P(V - h, T, x)) - 30 * P(V, T, x) -
                (P(V - 2 * h, T, x) + P(V + 2 * h, T, x))) /
               (12 * h * h);
    return (P(V - h, T, x) + P(V + h, T, x) - 2 * P(V, T, x)) / (h * h);
}

double dPdx(double V, double T, double x) {
    double h = Eps.d[1] * x * (1 - x);
    if (h != 0) {
        if (Order == 4)
            return (P(V, T, x - 2 * h) + 8 * (P(V, T, x + h) - P(V, T, x - h)) -
                    P(V, T, x + 2 * h)) /
                   (12 * h);
        return (P(V, T, x + h) - P(V, T, x - h)) / (2 * h);
    }
    // At a pure end: one-sided differences into the mixture.
    double e = x == 0 ? Eps.d[1] : -Eps.d[1];
    if (Order == 4)
        return (-25 * P(V, T, x) + 48 * P(V, T, x + e) - 36 * P(V, T, x + 2 * e) +
                16 * P(V, T, x + 3 * e) - 3 * P(V, T, x + 4 * e)) /
               (12 * e);
    return (-3 * P(V, T, x) + 4 * P(V, T, x + e) - P(V, T, x + 2 * e)) / (2 * e);
}

double rdiff3(const double f[4]) { return f[3] - 4.5 * f[2] + 9 * f[1] - 5.5 * f[0]; }

void interp(double f[4], int type) {
    if (type == 3) {
        f[1] = f[3] / 3 + 2 * f[0] / 3;
        f[2] = 2 * f[3] / 3 + f[0] / 3;
    } else if (type == 2) {
        f[1] = f[2] + (f[0] - f[3]) / 3;
    }
}

void clearforT() {
    if (forT) {
        forT = 0;
        prt("for technical reasons, forT:=0");
    }
}
