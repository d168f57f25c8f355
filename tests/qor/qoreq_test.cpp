// Critical points and azeotropes, against the conditions written from the model's own
// formulas: Taylor series in long double (modeltest.h) give exact composition derivatives.
#include "qor/qoreq.h"

#include <cstring>

#include "gen/func.h"
#include "modeltest.h"

using namespace modeltest;

namespace {

class Eq : public ::testing::Test {
  protected:
    void SetUp() override {
        resetmodel();
        msglev = 0;
        forT = 0;
        dx = 0;
        minT = 0;
        stable = 1;
        maxit = 25;
        s2maxit = -25;
        solve2 = 1;
        crit = {1, 1, 1};
        azeqkey = 0;
    }
    void TearDown() override { resetmodel(); }
};

Model mix(int eos, int rule, real a2, real aX, real s2, real epsX = 1) {
    Model m;
    m.eos = eos;
    m.rule = rule;
    m.a2 = a2;
    m.aX = aX;
    m.s2 = s2;
    m.epsX = epsX;
    return m;
}

// The index of the root nearest to V among those the program reports at p, T, x.
int rootindex(double p, double T, double x, double V) {
    double G[5], Vs[5];
    int n = allG(G, Vs, p, T, x);
    int k = 0;
    for (int i = 1; i < n; i++)
        if (std::fabs(Vs[i] - V) < std::fabs(Vs[k] - V)) k = i;
    return k;
}

int count(const std::string& s, const char* what) {
    int c = 0;
    for (size_t i = s.find(what); i != std::string::npos; i = s.find(what, i + 1)) c++;
    return c;
}

// ---- Critical conditions from the Helmholtz energy -----------------------------------------

// The k-th derivative of A(V + t dV, x + t dx) in t at t = 0.
real dirderiv(const Model& m, real T, real x, real V, real dV, real dx, int k) {
    Jet vj(V), xj(x);
    vj.c[1] = dV;
    xj.c[1] = dx;
    Jet a = helmholtz(m, vj, T, xj);
    real f = 1;
    for (int i = 2; i <= k; i++) f *= i;
    return a.c[k] * f;
}

// At fixed T the stability matrix of A(V, x) is singular (the spinodal) and the third
// derivative of A along its null vector vanishes (the critical point).
void critconds(const Model& m, real T, real x, real V, real* spin, real* cubic) {
    real AVV = dirderiv(m, T, x, V, 1, 0, 2), Axx = dirderiv(m, T, x, V, 0, 1, 2);
    real AVx = (dirderiv(m, T, x, V, 1, 1, 2) - AVV - Axx) / 2;
    *spin = AVV * Axx - AVx * AVx;
    *cubic = dirderiv(m, T, x, V, -AVx, AVV, 3);
}

// The critical point at composition x: (T, V) by damped Newton steps with a difference
// Jacobian from the pseudo-critical point of the one-fluid mixture.
bool truecrit(const Model& m, real x, real* T, real* V, real* p) {
    real a = scal_a(m, x), b = scal_b(m, x), Tc, pc;
    pseudocrit(m.eos, a, b, &Tc, &pc);
    real t = Tc, v = m.eos == 2 ? b / (std::cbrt((real)2) - 1) : 3 * b;
    for (int it = 0; it < 200; it++) {
        real f1, f2, t1, t2, v1, v2, ht = 1e-8L * t, hv = 1e-8L * v;
        critconds(m, t, x, v, &f1, &f2);
        critconds(m, t + ht, x, v, &t1, &t2);
        critconds(m, t, x, v + hv, &v1, &v2);
        real J11 = (t1 - f1) / ht, J12 = (v1 - f1) / hv, J21 = (t2 - f2) / ht, J22 = (v2 - f2) / hv;
        real det = J11 * J22 - J12 * J21;
        real st = (f1 * J22 - f2 * J12) / det, sv = (J11 * f2 - J21 * f1) / det;
        real lam = 1;
        while (lam > 1e-6L && (v - lam * sv <= b * 1.0001L || std::fabs(lam * st) > 0.2L * t ||
                               std::fabs(lam * sv) > 0.2L * (v - b)))
            lam /= 2;
        t -= lam * st;
        v -= lam * sv;
        if (!std::isfinite(t) || !std::isfinite(v)) return false;
        if (lam == 1 && std::fabs(st) < 1e-17L * t && std::fabs(sv) < 1e-17L * v) {
            *T = t;
            *V = v;
            *p = scal_P(m, v, t, x);
            return true;
        }
    }
    return false;
}

// ---- Two phases of one composition ---------------------------------------------------------

// Delta = G(liquid) - G(gas) and its composition derivatives at p, T, x.
bool azdelta(const Model& m, real p, real T, real x, real d[NJ], real* VL = nullptr,
             real* VG = nullptr) {
    std::vector<real> r = trueroots(m, p, T, x);
    if (r.size() < 2) return false;
    real a[NJ], b[NJ];
    gibbsderivs(m, p, T, x, r.front(), a);
    gibbsderivs(m, p, T, x, r.back(), b);
    for (int k = 0; k < NJ; k++) d[k] = a[k] - b[k];
    if (VL) *VL = r.front();
    if (VG) *VG = r.back();
    return true;
}

// The azeotrope at T: Delta = 0 and dDelta/dx = 0, Newton steps in (p, x).
bool trueaz(const Model& m, real T, real* p, real* x) {
    real pp = *p, xx = *x;
    for (int it = 0; it < 100; it++) {
        real d[NJ], dp[NJ], VL, VG, hp = 1e-8L * pp;
        if (!azdelta(m, pp, T, xx, d, &VL, &VG) || !azdelta(m, pp + hp, T, xx, dp)) return false;
        real J11 = VL - VG, J12 = d[1], J21 = (dp[1] - d[1]) / hp, J22 = d[2];
        real det = J11 * J22 - J12 * J21;
        real sp = (d[0] * J22 - d[1] * J12) / det, sx = (J11 * d[1] - J21 * d[0]) / det;
        real lam = 1;
        while (lam > 1e-6L && (std::fabs(lam * sp) > 0.1L * pp || std::fabs(lam * sx) > 0.1L))
            lam /= 2;
        pp -= lam * sp;
        xx -= lam * sx;
        if (!(xx > 0 && xx < 1 && pp > 0)) return false;
        if (lam == 1 && std::fabs(sp) < 1e-17L * pp && std::fabs(sx) < 1e-17L) {
            *p = pp;
            *x = xx;
            return true;
        }
    }
    return false;
}

// The Helmholtz energy without the ideal mixing term: that term is the same for every phase
// of one composition and has no Taylor series at a pure end.
Jet resA(const Model& m, const Jet& V, real T, const Jet& x) {
    Jet a = amix(m, x), b = bmix(m, x);
    Jet r = -Jet(T) * log(V - b);
    if (m.eos == 2) return r + a / (b * Jet(std::sqrt(T))) * log(V / (V + b));
    return r - a / V;
}

// Delta and its composition derivatives from A_res + pV along the two outer roots.
bool resdelta(const Model& m, real p, real T, real x0, real d[NJ], real* VL = nullptr,
              real* VG = nullptr) {
    std::vector<real> r = trueroots(m, p, T, x0);
    if (r.size() < 2) return false;
    real g[2][NJ];
    for (int i = 0; i < 2; i++) {
        Jet x(x0), V(i ? r.back() : r.front());
        x.c[1] = 1;
        for (int it = 0; it < 6; it++)
            V = V - (pressure(m, V, T, x) - Jet(p)) / dpressure(m, V, T, x);
        Jet G = resA(m, V, T, x) + Jet(p) * V;
        real f = 1;
        for (int k = 0; k < NJ; k++) {
            if (k) f *= k;
            g[i][k] = G.c[k] * f;
        }
    }
    for (int k = 0; k < NJ; k++) d[k] = g[0][k] - g[1][k];
    if (VL) *VL = r.front();
    if (VG) *VG = r.back();
    return true;
}

// The pure-species vapour pressure at T (x = 0 or 1).
bool satp(const Model& m, real T, real x, real* p) {
    real pmin, pmax;
    if (!spinodals(m, T, x, &pmin, &pmax)) return false;
    real pp = (std::max(pmin, (real)0) + pmax) / 2;
    for (int it = 0; it < 100; it++) {
        real d[NJ], VL, VG;
        if (!resdelta(m, pp, T, x, d, &VL, &VG)) return false;
        real s = d[0] / (VL - VG);
        pp -= s;
        if (std::fabs(s) < 1e-18L * pp) {
            *p = pp;
            return true;
        }
    }
    return false;
}

// The azeotrope at the pure end x: Delta = dDelta/dx = 0, Newton steps in (p, T).
bool trueazend(const Model& m, real x, real* p, real* T) {
    real pp = *p, t = *T;
    for (int it = 0; it < 100; it++) {
        real d[NJ], dp[NJ], dt[NJ], hp = 1e-8L * pp, ht = 1e-8L * t;
        if (!resdelta(m, pp, t, x, d) || !resdelta(m, pp + hp, t, x, dp) ||
            !resdelta(m, pp, t + ht, x, dt))
            return false;
        real J11 = (dp[0] - d[0]) / hp, J12 = (dt[0] - d[0]) / ht;
        real J21 = (dp[1] - d[1]) / hp, J22 = (dt[1] - d[1]) / ht;
        real det = J11 * J22 - J12 * J21;
        real sp = (d[0] * J22 - d[1] * J12) / det, st = (J11 * d[1] - J21 * d[0]) / det;
        real lam = 1;
        while (lam > 1e-6L && (std::fabs(lam * sp) > 0.1L * pp || std::fabs(lam * st) > 0.05L * t))
            lam /= 2;
        pp -= lam * sp;
        t -= lam * st;
        if (lam == 1 && std::fabs(sp) < 1e-16L * pp && std::fabs(st) < 1e-16L * t) {
            *p = pp;
            *T = t;
            return true;
        }
    }
    return false;
}

const real vdwTc = 8 / (27 * pi6); // critical temperature of a species with a = s = 1

} // namespace

// ---- Composition scales --------------------------------------------------------------------

TEST_F(Eq, XisX) {
    // The tolerance (sqrt(a(1-a)b(1-b)) prec eps^1.618)^(1/(2c)) is about 1e-13, 4e-7, 5e-5
    // and 6e-4 for c = 1..4 near x = 0.3 with the default prec and eps.
    struct {
        double a, b;
        int c, same;
    } cases[] = {
        {0.3, 0.3, 1, 1},
        {0.3, 0.3, 4, 1},
        {0.3, 0.4, 1, 0},
        {0.3, 0.4, 4, 0},
        {0.3, 0.3 + 1e-14, 1, 1},
        {0.3, 0.3 + 1e-12, 1, 0},
        {0.3, 0.3001, 3, 0},
        {0.3, 0.3001, 4, 1},
        {0.7, 0.7 + 1e-7, 2, 1},
        {0.7, 0.7 + 1e-6, 2, 0},
        {0, 0, 2, 0}, // at a pure end the tolerance is 0: equal pure compositions are not "one"
    };
    for (auto c : cases) {
        double tol = std::pow(
            std::sqrt(c.a * (1 - c.a) * c.b * (1 - c.b)) * prec * std::pow(eps, 1.618), 0.5 / c.c);
        ASSERT_EQ(std::fabs(c.a - c.b) < tol, c.same == 1) << "bad case " << c.a << " " << c.b;
        EXPECT_EQ(XisX(c.a, c.b, c.c), c.same) << c.a << " " << c.b << " c=" << c.c;
        EXPECT_EQ(XisX(c.b, c.a, c.c), c.same) << "symmetric";
    }
    EXPECT_EQ(Xeps(0.25), 0.1875 * eps);
    EXPECT_EQ(Xeps(0), 0);
    EXPECT_EQ(Xeps(1), 0);
}

// ---- Difference formulas -------------------------------------------------------------------

// Each formula is exact for polynomials up to a degree (central: the order plus k minus one,
// rounded to the symmetry; one-sided: the number of points minus one) and not beyond.
TEST(EqStencil, ExactForPolynomialsOfTheirDegree) {
    struct {
        bool central;
        int k, order, degree;
    } cases[] = {
        {true, 1, 2, 2}, {true, 1, 4, 4},  {true, 2, 2, 3},  {true, 2, 4, 5},  {true, 3, 2, 4},
        {true, 3, 4, 6}, {false, 1, 2, 2}, {false, 1, 4, 4}, {false, 2, 2, 3}, {false, 2, 4, 5},
    };
    const double x0 = 0.3;
    for (auto c : cases)
        for (double h : {0.01, -0.02}) {
            for (int deg = 1; deg <= c.degree + 1; deg++) {
                // f(u) = (u - 0.1)^deg: its k-th derivative in closed form.
                auto f = [&](double u) { return std::pow(u - 0.1, deg); };
                double exact = 1;
                for (int i = 0; i < c.k; i++) exact *= deg - i;
                exact *= deg >= c.k ? std::pow(x0 - 0.1, deg - c.k) : 0;
                double d[7];
                double got;
                if (c.central) {
                    for (int j = -3; j <= 3; j++) d[j + 3] = f(x0 + j * h);
                    got = centraldiff(c.k, c.order, d, h);
                } else {
                    for (int i = 0; i < 6; i++) d[i] = f(x0 + i * h);
                    got = onesideddiff(c.k, c.order, d, h);
                }
                // rounding of values of size 1 divided by h^k, times the weights (< 700)
                double tol = 700 * 2.3e-16 / std::pow(std::fabs(h), c.k);
                if (deg <= c.degree)
                    EXPECT_NEAR(got, exact, tol)
                        << (c.central ? "central" : "one-sided") << " k=" << c.k
                        << " order=" << c.order << " deg=" << deg;
                else
                    EXPECT_GT(std::fabs(got - exact), 10 * tol)
                        << "exact beyond its degree: k=" << c.k << " order=" << c.order;
            }
        }
}

// ---- Critical points -----------------------------------------------------------------------

namespace {

// Strongly unlike species (a2 = 2.5, aX = 0.85, s2 = 1.3): their critical line lies far from
// the pseudo-critical points, where the composition derivatives of G stay moderate. (For
// near-ideal mixtures d4G/dx4 reaches 1e6..1e11 at the critical point; difference steps of the
// order of 1e-3, as the model takes them, then cannot resolve d3G/dx3.)
struct CritCase {
    int eos, rule;
    double x;
};
const CritCase critcases[] = {{1, 1, 0.25}, {1, 1, 0.5},  {1, 2, 0.25}, {1, 2, 0.5},
                              {1, 3, 0.25}, {1, 3, 0.5},  {1, 4, 0.25}, {1, 4, 0.5},
                              {2, 1, 0.25}, {2, 3, 0.25}, {2, 4, 0.25}};

Model unlike(int eos, int rule) { return mix(eos, rule, 2.5, 0.85, 1.3, 1.05); }

// eps for an order: at order 2 the second derivative is only good to ~1e-6 relative (its step
// is the first derivative's), so the solver's step tolerance must be coarser than that.
void setorder(int ord) {
    order = ord;
    eps = ord == 2 ? 1e-5 : 2.3;
    setEps();
}

} // namespace

// solvecrit from a start near the critical point of a composition (T or p off by 1e-4, x by
// 5e-5; the critical conditions have a Newton basin of a few 1e-4 in x) finds the point that
// the analytic conditions give, for both unknowns and both orders.
TEST_F(Eq, CriticalPointsMeetTheAnalyticConditions) {
    double worst[2][3] = {}; // by order: relative error of T, of p, error of x
    for (const CritCase& c : critcases) {
        Model m = unlike(c.eos, c.rule);
        m.install();
        real T, V, p;
        ASSERT_TRUE(truecrit(m, c.x, &T, &V, &p)) << c.eos << " " << c.rule << " " << c.x;
        // The conditions in A(V, x) and in G(x) at fixed p, T agree, and the point is stable.
        real d[NJ];
        gibbsderivs(m, p, T, c.x, V, d);
        real s = T / (c.x * (1 - c.x));
        EXPECT_LT(std::fabs(d[2]), 1e-12 * s);
        EXPECT_LT(std::fabs(d[3]), 1e-10 * s / (c.x * (1 - c.x)));
        EXPECT_GT(d[4], 0);
        for (int ft : {0, 1})
            for (int ord : {2, 4}) {
                setorder(ord);
                forT = ft;
                sortg = 0;
                I.x = rootindex((double)p, (double)T, c.x, (double)V);
                double pp = (double)p * (ft ? 1 + 1e-4 : 1), TT = (double)T * (ft ? 1 : 1 + 1e-4);
                double xx = c.x + 5e-5;
                int r = -9;
                std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
                std::string what = "eos=" + std::to_string(c.eos) +
                                   " rule=" + std::to_string(c.rule) + " x=" + std::to_string(c.x) +
                                   " forT=" + std::to_string(ft) + " order=" + std::to_string(ord);
                ASSERT_EQ(r, 0) << what << "\n" << out;
                EXPECT_EQ(count(out, "UNSTABLE"), 0) << what;
                double eT = std::fabs(TT / (double)T - 1), ep = std::fabs(pp / (double)p - 1);
                double ex = std::fabs(xx - c.x);
                // Measured: order 4 up to 1e-8 in T and p and 4e-6 in x; order 2 up to 5e-6
                // in T and p and 1.5e-5 in x (the error of the numerical d3G/dx3).
                EXPECT_LT(eT, 5e-5) << what;
                EXPECT_LT(ep, 5e-5) << what;
                EXPECT_LT(ex, 2e-4) << what;
                // The fixed coordinate stays as it was.
                EXPECT_EQ(ft ? TT : pp, (double)(ft ? T : p)) << what;
                double* w = worst[ord / 4];
                w[0] = std::max(w[0], eT), w[1] = std::max(w[1], ep), w[2] = std::max(w[2], ex);
            }
    }
    printf("critical points, largest errors: order 2: T %.2g p %.2g x %.2g; order 4: T %.2g p "
           "%.2g x %.2g\n",
           worst[0][0], worst[0][1], worst[0][2], worst[1][0], worst[1][1], worst[1][2]);
}

// Symmetric species with weak cross attraction (aX = 0.5): at x = 1/2 every odd derivative of
// A in x vanishes, so d2G/dx2 = A_xx = 4T - 4(1 - aX)/V vanishes at V = (1 - aX)/T. At T = 0.45
// that phase is mechanically stable, but d4G/dx4 = A_xxxx - 3 A_xxV^2/A_VV < 0: a critical
// point inside the two-phase region. It is rejected, accepted or the only kind accepted, by
// stable; the point is written back in every case.
TEST_F(Eq, UnstableCriticalPointObeysStable) {
    Model m = mix(1, 1, 1, 0.5, 1);
    m.install();
    const real T = 0.45L, V = 0.5L / T, p = scal_P(m, V, T, 0.5L);
    real d[NJ];
    gibbsderivs(m, p, T, 0.5L, V, d);
    ASSERT_LT(std::fabs(d[2]), 1e-15);
    ASSERT_LT(d[4], 0);
    ASSERT_LT(scal_dP(m, V, T, 0.5L), 0);
    forT = 1;
    for (int ord : {2, 4})
        for (int st : {1, 0, -1}) {
            setorder(ord);
            stable = st;
            sortg = 0;
            I.x = rootindex((double)p, (double)T, 0.5, (double)V);
            double pp = (double)p * (1 + 1e-4), TT = (double)T, xx = 0.5 + 5e-5;
            int r = -9;
            std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
            EXPECT_EQ(r, st > 0 ? 1 : 0) << "order " << ord << " stable " << st << "\n" << out;
            EXPECT_EQ(count(out, "UNSTABLE"), 1) << out;
            EXPECT_NEAR(pp, (double)p, 1e-5 * (double)p);
            EXPECT_NEAR(xx, 0.5, 1e-6);
        }
    // A stable critical point is the one kind that stable = -1 rejects.
    Model u = unlike(1, 1);
    u.install();
    real Tc, Vc, pc;
    ASSERT_TRUE(truecrit(u, 0.5L, &Tc, &Vc, &pc));
    for (int st : {1, 0, -1}) {
        setorder(4);
        stable = st;
        double pp = (double)pc * (1 + 1e-4), TT = (double)Tc, xx = 0.5 + 5e-5;
        int r = -9;
        std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
        EXPECT_EQ(r, st == -1 ? 1 : 0) << "stable " << st;
        EXPECT_EQ(count(out, "UNSTABLE"), 0);
    }
}

namespace {

// The start compositions of the retries: x0, then steps growing by 1.15 (plus dx) and
// alternating in sign, as long as a step does not exceed 1.
std::vector<double> retries(double x0, double d) {
    std::vector<double> v = {x0};
    double a = d, xc = x0;
    while (a != 0 && std::fabs(a) <= 1) {
        xc += a;
        v.push_back(xc);
        a = -a * (1.15 + std::fabs(d / a));
    }
    return v;
}

std::vector<double> tried(const std::string& out) {
    std::vector<double> v;
    for (size_t i = out.find("cr:trying x="); i != std::string::npos;
         i = out.find("cr:trying x=", i + 1))
        v.push_back(atof(out.c_str() + i + 12));
    return v;
}

} // namespace

TEST_F(Eq, CriticalRetriesFromShiftedCompositions) {
    Model m = unlike(1, 1);
    m.install();
    real T, V, p;
    ASSERT_TRUE(truecrit(m, 0.5L, &T, &V, &p));
    sortg = 0;
    I.x = 0;

    // From the pure end x = 1: no solve there nor at 1 + dx, then a start next to the critical
    // composition succeeds.
    dx = (1 - (0.5 + 5e-5)) / 1.15;
    double pp = (double)p, TT = (double)T * (1 + 1e-4), xx = 1;
    int r = -9;
    std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
    EXPECT_EQ(r, 0) << out;
    std::vector<double> got = tried(out);
    ASSERT_EQ(got.size(), 3u) << out;
    EXPECT_EQ(got[0], 1);
    EXPECT_NEAR(got[1], 1 + dx, 1e-6);
    EXPECT_NEAR(got[2], 0.50005, 1e-6);
    EXPECT_NEAR(TT, (double)T, 1e-7 * (double)T);
    EXPECT_NEAR(xx, 0.5, 2e-5);

    // Far above both critical temperatures (T kept) there is no critical point: every start
    // fails, and the retries stop once a step exceeds 1.
    forT = 1;
    const double far[3] = {(double)p, 3 * (double)T, 0.5};
    for (double d : {0.01, -0.2, 0.7}) {
        dx = d;
        pp = far[0], TT = far[1], xx = far[2];
        out = written([&] { r = solvecrit(&pp, &TT, &xx); });
        EXPECT_NE(r, 0);
        std::vector<double> want = retries(0.5, d);
        got = tried(out);
        ASSERT_EQ(got.size(), want.size()) << "dx=" << d;
        for (size_t i = 0; i < want.size(); i++) EXPECT_NEAR(got[i], want[i], 6e-7) << i;
        EXPECT_EQ(pp, far[0]);
        EXPECT_EQ(TT, far[1]);
        EXPECT_EQ(xx, far[2]);
    }
    EXPECT_EQ(retries(0.5, 0.01).size(), 20u); // the table above is not trivial
    // A shift that is not a number makes one attempt and stops (it never grows past 1).
    dx = NAN;
    pp = far[0], TT = far[1], xx = far[2];
    out = written([&] { r = solvecrit(&pp, &TT, &xx); });
    EXPECT_NE(r, 0);
    EXPECT_EQ(count(out, "cr:trying"), 1);
    EXPECT_EQ(xx, far[2]);

    // dx = 0 makes exactly one attempt: as many evaluations as dx = 2, which stops after one.
    unsigned long evals[2];
    int codes[2];
    for (int i = 0; i < 2; i++) {
        dx = i ? 2 : 0;
        pp = far[0], TT = far[1], xx = far[2];
        unsigned long before = Pcount;
        out = written([&] { codes[i] = solvecrit(&pp, &TT, &xx); });
        evals[i] = Pcount - before;
        EXPECT_EQ(tried(out).size(), i ? 1u : 0u);
    }
    EXPECT_EQ(evals[0], evals[1]);
    EXPECT_EQ(codes[0], codes[1]);
    EXPECT_GT(evals[0], 0u);
}

// A start far from any critical point fails with the solver's code (-1: iteration limit or
// box left, -2: an inner iteration failed) and leaves p, T, x as they were; at a pure end there
// is no solve at all.
TEST_F(Eq, CriticalFailuresLeaveTheStart) {
    Model m = unlike(1, 1);
    m.install();
    sortg = 0;
    I.x = 0;
    for (int method : {1, 2, -2})
        for (int ft : {0, 1}) {
            solve2 = method;
            forT = ft;
            double pp = 0.09, TT = 3 * 0.57, xx = 0.5;
            int r = 0;
            std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
            EXPECT_TRUE(r == -1 || r == -2) << r << " method " << method;
            EXPECT_EQ(pp, 0.09);
            EXPECT_EQ(TT, 3 * 0.57);
            EXPECT_EQ(xx, 0.5);
        }
    solve2 = 1;
    for (double x0 : {0.0, 1.0}) {
        double pp = 0.09, TT = 0.57, xx = x0;
        unsigned long before = Pcount;
        int r = 0;
        std::string out = written([&] { r = solvecrit(&pp, &TT, &xx); });
        EXPECT_NE(r, 0);
        EXPECT_EQ(Pcount, before) << "no solve";
        EXPECT_EQ(out, "");
        EXPECT_EQ(xx, x0);
        EXPECT_EQ(pp, 0.09);
        EXPECT_EQ(TT, 0.57);
    }
}

// ---- Azeotropes ----------------------------------------------------------------------------

namespace {

struct AzCase {
    int eos;
    double a2, aX, s2, Tr; // Tr: T in units of the critical temperature of species 1
};
const AzCase azcases[] = {
    {1, 1.02, 0.9, 1, 0.75}, {1, 1.05, 0.95, 1, 0.6}, {1, 1.1, 0.9, 1, 0.9},
    {1, 1, 0.95, 1.05, 0.8}, {2, 1.05, 0.9, 1, 0.75},
};

real Tcrit1(const Model& m) {
    real Tc, pc;
    pseudocrit(m.eos, m.a1, pi6 * m.s1 * m.s1 * m.s1, &Tc, &pc);
    return Tc;
}

} // namespace

// solveaz from a start off by 1e-3 in T or p and 0.01 in x finds the azeotrope: the two
// phases of one composition (their volumes found here from the cubic) have equal G and equal
// dG/dx at equal p, to what the solver's step tolerances leave.
TEST_F(Eq, AzeotropesHaveEqualGAndSlope) {
    for (const AzCase& c : azcases) {
        Model m = mix(c.eos, 1, c.a2, c.aX, c.s2);
        m.install();
        real T = c.Tr * Tcrit1(m), pmin, pmax;
        ASSERT_TRUE(spinodals(m, T, 0.5L, &pmin, &pmax));
        real p = (std::max(pmin, (real)0) + pmax) / 2, x = 0.5;
        ASSERT_TRUE(trueaz(m, T, &p, &x)) << c.a2 << " " << c.aX;
        for (int ft : {0, 1})
            for (int ord : {2, 4}) {
                order = ord;
                setEps();
                forT = ft;
                sortg = 0;
                double pp = (double)p * (ft ? 1.001 : 1), TT = (double)T * (ft ? 1 : 1.001);
                double xx = (double)x + 0.01;
                int r = -9;
                std::string out = written([&] { r = solveaz(&pp, &TT, &xx); });
                std::string what = "eos=" + std::to_string(c.eos) + " a2=" + std::to_string(c.a2) +
                                   " forT=" + std::to_string(ft) + " order=" + std::to_string(ord);
                ASSERT_EQ(r, 0) << what << "\n" << out;
                EXPECT_EQ(azeqkey, ft);
                // The two phases at the solution, independently.
                std::vector<real> roots = trueroots(m, pp, TT, xx);
                ASSERT_GE(roots.size(), 2u) << what;
                real VL = roots.front(), VG = roots.back(), gl[NJ], gg[NJ];
                EXPECT_LT(std::fabs(scal_P(m, VL, TT, xx) / pp - 1), 1e-12);
                EXPECT_LT(std::fabs(scal_P(m, VG, TT, xx) / pp - 1), 1e-12);
                gibbsderivs(m, pp, TT, xx, VL, gl);
                gibbsderivs(m, pp, TT, xx, VG, gg);
                // What the residuals may be: their change over one step tolerance of the
                // solver (u eps in the unknown of p or T, x(1 - x) eps in x).
                real d[NJ], du[NJ];
                double hu = (ft ? pp : TT) * eps;
                azdelta(m, pp, TT, xx, d);
                azdelta(m, ft ? pp + hu : pp, ft ? TT : TT + hu, xx, du);
                double tol0 =
                    3 * (std::fabs((double)(du[0] - d[0])) + std::fabs((double)d[1]) * Xeps(xx));
                double tol1 =
                    3 * (std::fabs((double)(du[1] - d[1])) + std::fabs((double)d[2]) * Xeps(xx));
                EXPECT_LT(std::fabs((double)(gl[0] - gg[0])), tol0) << what;
                EXPECT_LT(std::fabs((double)(gl[1] - gg[1])), tol1) << what;
                EXPECT_LT(std::fabs(TT / (double)T - 1), 3 * eps) << what;
                EXPECT_LT(std::fabs(pp / (double)p - 1), 3 * eps) << what;
                EXPECT_LT(std::fabs(xx - (double)x), 3 * Xeps(xx)) << what;
                // The program's phases are these two.
                double G[5], Vs[5];
                int n = allG(G, Vs, pp, TT, xx);
                ASSERT_EQ(n, 2);
                EXPECT_NEAR(Vs[I.x], (double)VL, 1e-8 * (double)VL);
                EXPECT_NEAR(Vs[I.xx], (double)VG, 1e-8 * (double)VG);
            }
    }
}

// A stable azeotrope is accepted unless only unstable ones are wanted.
TEST_F(Eq, AzeotropeVerdictByStable) {
    Model m = mix(1, 1, 1.02, 0.9, 1);
    m.install();
    real T = 0.75L * vdwTc, pmin, pmax;
    ASSERT_TRUE(spinodals(m, T, 0.5L, &pmin, &pmax));
    real p = (std::max(pmin, (real)0) + pmax) / 2, x = 0.5;
    ASSERT_TRUE(trueaz(m, T, &p, &x));
    forT = 1;
    for (int st : {1, 0, -1}) {
        stable = st;
        double pp = (double)p * 1.001, TT = (double)T, xx = (double)x + 0.01;
        int r = -9;
        std::string out = written([&] { r = solveaz(&pp, &TT, &xx); });
        EXPECT_EQ(r, st == -1 ? 1 : 0) << st;
        EXPECT_EQ(count(out, "UNSTABLE"), 0);
        EXPECT_NEAR(xx, (double)x, 1e-6);
    }
    // Any non-zero forT keeps T and solves for p (never p and T at a fixed x).
    stable = 1;
    forT = 2;
    double pp = (double)p * 1.001, TT = (double)T, xx = (double)x + 0.01;
    std::string out = written([&] { EXPECT_EQ(solveaz(&pp, &TT, &xx), 0); });
    EXPECT_EQ(azeqkey, 1);
    EXPECT_EQ(TT, (double)T);
    EXPECT_NEAR(pp, (double)p, 1e-6 * (double)p);
}

// The azeotrope functions at a two-phase state against the exact derivatives of Delta =
// G(liquid) - G(gas), with each choice of arguments.
TEST_F(Eq, AzeotropeFunctionsAreDerivativesOfDelta) {
    Model m = mix(1, 1, 1.05, 0.9, 1.05);
    m.install();
    const real x = 0.4L, T = 0.8L * Tcrit1(m);
    real pmin, pmax;
    ASSERT_TRUE(spinodals(m, T, x, &pmin, &pmax));
    const real p = (std::max(pmin, (real)0) + pmax) / 2;
    real d[NJ];
    ASSERT_TRUE(azdelta(m, p, T, x, d));
    sortg = 0;
    I.x = 0, I.xx = 1; // volume order: liquid, gas
    double (*const f[4])(double, double) = {azeq1, azeq2, azeq3, azeq4};
    const double sign[4] = {1, -1, 1, 1};
    for (int ord : {2, 4}) {
        order = ord;
        setEps();
        for (int k = 0; k < 4; k++) {
            azeqkey = 1;
            T_d = (double)T;
            double v = f[k]((double)p, (double)x);
            EXPECT_EQ(p_d, (double)p);
            EXPECT_EQ(x_d, (double)x);
            // truncation h^order and rounding prec/h^k, with h = Eps.d[k] x(1 - x), on the
            // scale of G (about 1); measured errors are 10 to 1000 times smaller
            double h = k ? Eps.d[k] * (double)(x * (1 - x)) : 1;
            double tol = 30 * (std::pow(h, ord) + prec / std::pow(h, k));
            if (!k) tol = 1e-13;
            EXPECT_NEAR(v, sign[k] * (double)d[k], tol) << "azeq" << k + 1 << " order " << ord;
            // The same point through the other arguments gives the same value.
            azeqkey = 0;
            p_d = (double)p;
            EXPECT_EQ(f[k]((double)T, (double)x), v);
            EXPECT_EQ(T_d, (double)T);
            azeqkey = 2;
            x_d = (double)x;
            EXPECT_EQ(f[k]((double)p, (double)T), v);
            // Any other key leaves the current point as it is.
            azeqkey = 7;
            EXPECT_EQ(f[k](1e9, -5), v);
            EXPECT_EQ(p_d, (double)p);
            EXPECT_EQ(T_d, (double)T);
            EXPECT_EQ(x_d, (double)x);
        }
    }
}

// Where a phase is lost inside a stencil, the azeotrope functions abandon the computation
// with the message of the point that lost it. The state: at fixed p and T the two outer
// roots end at a composition xs (a spinodal); the stencils are placed across it.
TEST_F(Eq, AzeotropeFunctionsReportLostPhases) {
    Model m = mix(1, 1, 1.05, 0.9, 1.05);
    m.install();
    const real T = 0.8L * Tcrit1(m);
    real pmin, pmax;
    ASSERT_TRUE(spinodals(m, T, 0.4L, &pmin, &pmax));
    const real p = pmax * (1 - 1e-3L);
    auto nroots = [&](real x) { return trueroots(m, p, T, x).size(); };
    ASSERT_EQ(nroots(0.4L), 3u);
    real lo = 0.4L, hi = nroots(0.7L) == 1 ? 0.7L : 0.1L;
    ASSERT_EQ(nroots(hi), 1u);
    for (int i = 0; i < 100; i++) {
        real mid = (lo + hi) / 2;
        (nroots(mid) == 3 ? lo : hi) = mid;
    }
    const double xs = (double)lo, dir = hi > lo ? 1 : -1; // dir: towards one root
    order = 4;
    setEps();
    sortg = 0;
    I.x = 0, I.xx = 1;
    azeqkey = 1;
    T_d = (double)T;
    struct {
        int k;    // the function azeq(k + 1)
        double t; // x_d = xs + dir t h
        const char* message;
    } cases[] = {
        {0, 0.5, "azeotrope: missing phase"},
        {1, 0, "azeotrope: missing phase"},
        {1, -1.5, "azeotrope: missing phase when calc. deriv."},
        {2, 0.5, "azeotrope: missing phase"},
        {2, -0.5, "azeotrope: missing phase in 2nd deriv."},
        {3, 1.5, "azeotrope: missing phase"},
        {3, -0.5 * dir, "azeotrope: missing phase in 3rd deriv."},
    };
    double (*const f[4])(double, double) = {azeq1, azeq2, azeq3, azeq4};
    for (auto c : cases) {
        double h = Eps.d[c.k ? c.k : 1] * xs * (1 - xs);
        double xd = xs + dir * c.t * h;
        EXPECT_EQ(jumpmessage([&] { f[c.k]((double)p, xd); }), c.message)
            << "azeq" << c.k + 1 << " t=" << c.t;
    }
    // Order 2 has no second ring of points.
    order = 2;
    setEps();
    double h = Eps.d[1] * xs * (1 - xs);
    EXPECT_EQ(jumpmessage([&] { azeq2((double)p, xs - dir * 1.5 * h); }), "");

    // At a pure end the one-sided stencils need two roots at every point.
    x_d = 0;
    for (double (*g)(double, double) : {azvle1, azvle3})
        EXPECT_EQ(jumpmessage([&] { g((double)p, 3 * (double)T); }),
                  "azeotrope near pure: bad # of solutions (try order=2)");
}

// At a pure end Delta has no ideal mixing term; the one-sided derivatives against the exact
// ones, at x = 0 and x = 1 (where the stencil goes down into the mixture).
TEST_F(Eq, PureEndFunctionsAreOneSidedDerivatives) {
    Model m = mix(1, 1, 1.05, 0.9, 1.05);
    m.install();
    sortg = 0;
    I.x = 0, I.xx = 1;
    for (double xe : {0.0, 1.0})
        for (int ord : {2, 4}) {
            order = ord;
            setEps();
            const real T = 0.8L * Tcrit1(m);
            real pmin, pmax, d[NJ];
            ASSERT_TRUE(spinodals(m, T, xe, &pmin, &pmax));
            const real p = (std::max(pmin, (real)0) + pmax) / 2;
            ASSERT_TRUE(resdelta(m, p, T, xe, d));
            x_d = xe;
            der = {0, 0, 0, 0, 0, 0};
            double v = azvle1((double)p, (double)T);
            EXPECT_NEAR(v, (double)d[0], 1e-13);
            EXPECT_EQ(der.x, (double)p);
            EXPECT_EQ(der.y, (double)T);
            // the one-sided step is Eps.d[k] itself (no x(1-x) at a pure end)
            double tol1 = 30 * (std::pow(Eps.d[1], ord) + prec / Eps.d[1]);
            double tol2 = 30 * (std::pow(Eps.d[2], ord) + prec / sqr(Eps.d[2]));
            EXPECT_NEAR(der.dGx, (double)d[1], tol1) << "x=" << xe << " order " << ord;
            EXPECT_EQ(azvle2((double)p, (double)T), der.dGx);
            EXPECT_NEAR(azvle3((double)p, (double)T), (double)d[2], tol2)
                << "x=" << xe << " order " << ord;
            EXPECT_EQ(x_d, xe);
        }
}

// The azeotrope that leaves a pure species: species 2 is larger (s2 = 1.05), so the azeotropic
// composition moves with T and reaches x = 0 at one (p, T); the mirrored mixture at x = 1.
TEST_F(Eq, AzeotropeEndsAtAPureSpecies) {
    for (double xe : {0.0, 1.0}) {
        Model m = mix(1, 1, 1, 0.95, 1.05);
        if (xe == 1) m.s1 = 1.05, m.s2 = 1;
        m.install();
        real T = 0.675L * vdwTc, p;
        ASSERT_TRUE(satp(m, T, xe, &p));
        ASSERT_TRUE(trueazend(m, xe, &p, &T));
        real d[NJ];
        ASSERT_TRUE(resdelta(m, p, T, xe, d));
        for (int ord : {2, 4}) {
            order = ord;
            setEps();
            sortg = 0;
            double pp = (double)p * 1.01, TT = (double)T * 1.003;
            int r = azendvle(&pp, &TT, xe);
            EXPECT_EQ(r, 0) << "x=" << xe << " order " << ord;
            EXPECT_LT(std::fabs(pp / (double)p - 1), 3 * eps) << "x=" << xe << " order " << ord;
            EXPECT_LT(std::fabs(TT / (double)T - 1), 3 * eps) << "x=" << xe << " order " << ord;
            EXPECT_EQ(x_d, xe);
        }
    }
    // Equal sizes: the azeotrope stays at the composition where a(x) is least, at every T, and
    // never reaches a pure end. The solver fails and the start is kept.
    Model m = mix(1, 1, 1.05, 0.9, 1);
    m.install();
    real T = 0.7L * vdwTc, p;
    ASSERT_TRUE(satp(m, T, 0, &p));
    double pp = (double)p, TT = (double)T;
    int r = 0;
    std::string j = jumpmessage([&] { r = azendvle(&pp, &TT, 0); });
    EXPECT_TRUE(r != 0 || j != "");
    EXPECT_EQ(pp, (double)p);
    EXPECT_EQ(TT, (double)T);
}

// ---- Critical azeotrope --------------------------------------------------------------------

// With equal sizes and the linear rule b is constant, so at fixed V and T dP/dx is a'(x) times
// a factor: the critical azeotrope lies where a(x) is least, x* = (a2 - c)/(a1 + a2 - 2c) with
// c = aX sqrt(a1 a2), at the pseudo-critical point of a(x*) and b.
TEST_F(Eq, CriticalAzeotropeInClosedForm) {
    // Starts above the critical temperature (one root) and below it (two roots, whose mean
    // volume starts the search), at the critical pressure. (The secant planes on dP/dV = 0,
    // d2P/dV2 = 0 converge from within about 1e-3 of Tc; farther out a step may fall below
    // the co-volume, which abandons the computation.)
    for (double Tstart : {1.0005, 0.999})
        for (int eos : {1, 2})
            for (int ord : {2, 4}) {
                Model m = mix(eos, 1, 1.05, 0.9, 1);
                m.install();
                order = ord;
                setEps();
                real c = m.aX * std::sqrt(m.a1 * m.a2);
                real xs = (m.a2 - c) / (m.a1 + m.a2 - 2 * c), b = scal_b(m, xs), Tc, pc;
                pseudocrit(eos, scal_a(m, xs), b, &Tc, &pc);
                real Vc = eos == 2 ? b / (std::cbrt((real)2) - 1) : 3 * b;
                double V[5] = {1, 1, 1, 0, 0};
                double TT = (double)Tc * Tstart, xx = (double)xs - 0.03;
                int r = -9;
                std::string out = written([&] { r = critaz(V, &TT, &xx, (double)pc); });
                std::string what = "eos " + std::to_string(eos) + " order " + std::to_string(ord) +
                                   " T " + std::to_string(Tstart);
                ASSERT_EQ(r, 0) << what << "\n" << out;
                EXPECT_LT(std::fabs(xx - (double)xs), 1e-6) << what;
                EXPECT_LT(std::fabs(TT / (double)Tc - 1), 1e-7) << what;
                // At a critical point V is fixed only to the cube root of the noise of P.
                EXPECT_LT(std::fabs(V[0] / (double)Vc - 1), 1e-4) << what;
                EXPECT_LT(std::fabs(P(V[0], TT, xx) / (double)pc - 1), 1e-7) << what;
                EXPECT_NE(out.find("        I.x="), std::string::npos) << out;
                EXPECT_NE(out.find("v[I.xx]="), std::string::npos) << out;
            }
}

// Unlike species have no critical azeotrope: the secant leaves (0, 1) and the caller's roots,
// T and x stay as they were.
TEST_F(Eq, CriticalAzeotropeFailureKeepsTheStart) {
    Model m = unlike(1, 1);
    m.install();
    real T, V, p;
    ASSERT_TRUE(truecrit(m, 0.5L, &T, &V, &p));
    for (double x0 : {0.5, 0.95}) {
        double Vs[5] = {1.5, 2.5, 3.5, 0, 0};
        double TT = (double)T, xx = x0;
        int r = 0;
        std::string out = written([&] { r = critaz(Vs, &TT, &xx, (double)p); });
        EXPECT_EQ(r, 1) << out;
        EXPECT_EQ(TT, (double)T);
        EXPECT_EQ(xx, x0);
        EXPECT_EQ(Vs[0], 1.5);
        EXPECT_EQ(Vs[1], 2.5);
        EXPECT_EQ(Vs[2], 3.5);
    }
}

// ---- Equation functions of the other solvers -----------------------------------------------

TEST_F(Eq, TangentFunctions) {
    Model m = mix(1, 1, 1.05, 0.9, 1.05);
    m.install();
    const real T = 0.8L * Tcrit1(m), x = 0.4L, y = 0.45L;
    real pmin, pmax;
    ASSERT_TRUE(spinodals(m, T, x, &pmin, &pmax));
    const real p = (std::max(pmin, (real)0) + pmax) / 2;
    std::vector<real> rx = trueroots(m, p, T, x), ry = trueroots(m, p, T, y);
    ASSERT_EQ(rx.size(), 3u);
    ASSERT_EQ(ry.size(), 3u);
    real gx[NJ], gy[NJ];
    gibbsderivs(m, p, T, x, rx.front(), gx); // liquid at x
    gibbsderivs(m, p, T, y, ry.back(), gy);  // gas at y
    sortg = 0;
    I.x = 0, I.y = 1;
    p_d = (double)p, T_d = (double)T;
    double e1 = eq1((double)x, (double)y);
    EXPECT_NEAR(e1, (double)((y - x) * gx[1] + gx[0] - gy[0]), 1e-10);
    EXPECT_EQ(der.x, (double)x);
    EXPECT_EQ(der.y, (double)y);
    EXPECT_NEAR(der.Gx, (double)gx[0], 1e-13);
    EXPECT_NEAR(der.Gy, (double)gy[0], 1e-13);
    EXPECT_NEAR(der.dGx, (double)gx[1], 1e-10);
    EXPECT_NEAR(der.dGy, (double)gy[1], 1e-10);
    EXPECT_NEAR(eq2((double)x, (double)y), (double)((x - y) * gy[1] + gy[0] - gx[0]), 1e-10);
}

// Which coordinate each critical-point function takes, and the parameter the glob variant sets.
TEST_F(Eq, CriticalFunctionsTakeTheirCoordinates) {
    Model m = unlike(1, 1);
    m.install();
    sortg = 0;
    I.x = 0;
    const double p = 0.2, T = 0.7, x = 0.3;
    forT = 1;
    p_d = 0, T_d = T;
    EXPECT_EQ(eqd2Gdx2(p, x), d2Gdx2(p, T, x));
    EXPECT_EQ(p_d, p);
    EXPECT_EQ(T_d, T);
    EXPECT_EQ(eqd3Gdx3(123, x), d3Gdx3(p, T, x));
    forT = 0;
    p_d = p, T_d = 0;
    EXPECT_EQ(eqd2Gdx2(T, x), d2Gdx2(p, T, x));
    EXPECT_EQ(T_d, T);
    EXPECT_EQ(p_d, p);
    x_d = x;
    p_d = T_d = 0;
    EXPECT_EQ(eqd2Gdx2pT(p, T), d2Gdx2(p, T, x));
    EXPECT_EQ(eqd3Gdx3pT(p, T), d3Gdx3(p, T, x));
    EXPECT_EQ(p_d, 0);
    EXPECT_EQ(T_d, 0);
    // The glob variant varies a model parameter: the model follows at once.
    CLglob = &a2;
    p_d = p, T_d = T;
    double v = eqd2Gdx2glob(1.7, x);
    EXPECT_EQ(a2, 1.7);
    EXPECT_EQ(v, d2Gdx2(p, T, x));
    double b2 = (double)(pi6 * cub(1.3L));
    EXPECT_NEAR(P(3, T, 0), T / (3 - b2) - 1.7 / 9, 1e-15);
    EXPECT_EQ(eqd3Gdx3glob(5, x), d3Gdx3(p, T, x));
}

// eq2 and azvle2 must follow eq1 and azvle1 at the same point: a disaster otherwise (the
// solver's evaluation order is broken).
TEST(EqDeathTest, MismatchedSecondFunctionIsInternal) {
    EXPECT_EXIT(
        {
            resetmodel();
            out = tmpfile();
            der.x = 0.3;
            der.y = 0.4;
            eq2(0.3, 0.41);
        },
        ::testing::ExitedWithCode(2), "internal");
    EXPECT_EXIT(
        {
            resetmodel();
            out = tmpfile();
            der.x = 0.3;
            der.y = 0.4;
            azvle2(0.31, 0.4);
        },
        ::testing::ExitedWithCode(2), "internal");
}

// ---- Trace lines ---------------------------------------------------------------------------

// Bit 0x20 of msglev traces the point solvers (T and p in the units of crit); without it a
// stable solution prints nothing.
TEST_F(Eq, SolverTraces) {
    Model m = unlike(1, 1);
    m.install();
    real T, V, p;
    ASSERT_TRUE(truecrit(m, 0.5L, &T, &V, &p));
    crit = {2, 4, 1};
    forT = 1;
    sortg = 0;
    I.x = 0;
    for (int bits : {0, 0x20}) {
        msglev = bits;
        double pp = (double)p * (1 + 1e-4), TT = (double)T, xx = 0.50005;
        std::string out = written([&] { EXPECT_EQ(solvecrit(&pp, &TT, &xx), 0); });
        if (!bits) {
            EXPECT_EQ(out, "");
            continue;
        }
        std::vector<std::string> l;
        std::istringstream is(out);
        for (std::string s; std::getline(is, s);) l.push_back(s);
        ASSERT_EQ(l.size(), 11u) << out;
        char want[100];
        snprintf(want, sizeof want, "CL: p=%.12f T=%.12f x=%.12f", (double)p * (1 + 1e-4) / 4,
                 (double)T / 2, 0.50005);
        EXPECT_EQ(l[0], want);
        // G at the seven points of the fourth derivative
        for (int i = -3; i <= 3; i++) {
            int k;
            double u, g;
            ASSERT_EQ(sscanf(l[4 + i].c_str(), "%d %lf %lf", &k, &u, &g), 3) << l[4 + i];
            EXPECT_EQ(k, i);
            EXPECT_NEAR(u, xx + i * Eps.d[4] * xx * (1 - xx), 1e-13);
            EXPECT_NEAR(g, G(0, pp, TT, u), 1e-14);
            EXPECT_EQ(l[4 + i].size(), 2u + 21 + 21);
        }
        EXPECT_EQ(l[8].substr(0, 12), "        x_d=");
        EXPECT_NE(l[8].find("        T_d="), std::string::npos);
        EXPECT_EQ(l[9].substr(0, 12), "      dP_dV=");
        EXPECT_NE(l[9].find("    d4G_dx4="), std::string::npos);
        snprintf(want, sizeof want, "p=%.12g  T=%.12g", pp / 4, TT / 2);
        EXPECT_EQ(l[10], want);
    }

    // The azeotrope solver, and the "az:" line of the phase assignment under bit 0x10.
    Model a = mix(1, 1, 1.02, 0.9, 1);
    a.install();
    real Ta = 0.75L * vdwTc, pmin, pmax;
    ASSERT_TRUE(spinodals(a, Ta, 0.5L, &pmin, &pmax));
    real pa = (std::max(pmin, (real)0) + pmax) / 2, xa = 0.5;
    ASSERT_TRUE(trueaz(a, Ta, &pa, &xa));
    msglev = 0x30;
    double pp = (double)pa * 1.001, TT = (double)Ta, xx = (double)xa + 0.01;
    std::string out = written([&] { EXPECT_EQ(solveaz(&pp, &TT, &xx), 0); });
    char want[100];
    snprintf(want, sizeof want, "AZ: p=%.14g T=%.12f x=%.12f\naz: I.x=0 I.xx=1\n",
             (double)pa * 1.001 / 4, (double)Ta / 2, (double)xa + 0.01);
    EXPECT_EQ(out.substr(0, strlen(want)), want) << out;
    EXPECT_EQ(count(out, "az: I.x=0 I.xx=1"), 2);
    EXPECT_EQ(count(out, "d2gdx2[I.x]="), 1);
    EXPECT_EQ(count(out, "     dP_dV0="), 1);
    EXPECT_EQ(count(out, "     dP_dV1="), 1);
}
