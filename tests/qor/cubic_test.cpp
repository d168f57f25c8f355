// The equation of state: critical constants, mixing rules, P against -dA/dV, bad input.
#include "qor/cubic/cubic.h"

#include "gen/func.h"
#include "modeltest.h"

using namespace modeltest;

namespace {

class Cubic : public ::testing::Test {
  protected:
    void SetUp() override { resetmodel(); }
    void TearDown() override { resetmodel(); }
};

}  // namespace

// The printed constants of a species with a = 1, s = 1, and their closed forms.
TEST_F(Cubic, Key13ReproducesPrintedConstants) {
    struct {
        int eos;
        double Vc, Tc, pc, ratio;  // ratio = pc Vc / Tc
    } cases[] = {{1, 1.5707963267948966, 0.5658842421045168, 0.13509491152311703, 3.0 / 8},
                 {2, 2.0144531418677785, 0.5311334967255404, 0.0878871268975558, 1.0 / 3}};
    for (auto c : cases) {
        body1 = c.eos;
        setconst();
        for (double x : {0.0, 1.0}) {
            double Vc = 0, pc = 0, Tc = 0;
            EXPECT_EQ(key13(&Vc, &pc, &Tc, x), 3);
            EXPECT_DOUBLE_EQ(Vc, c.Vc) << c.eos;
            EXPECT_DOUBLE_EQ(Tc, c.Tc) << c.eos;
            EXPECT_DOUBLE_EQ(pc, c.pc) << c.eos;
            EXPECT_NEAR(pc * Vc / Tc, c.ratio, 1e-15);
        }
    }
}

// Any a and s: against the closed forms of the critical point (vdW: Vc = 3b, Tc = 8a/27b,
// pc = a/27b^2; RK: Vc = b/(2^(1/3) - 1), the usual Omega constants), and the critical
// conditions P = pc, dP/dV = 0, d2P/dV2 = 0 at the point itself.
TEST_F(Cubic, Key13IsTheCriticalPoint) {
    struct {
        double a, s;
    } species[] = {{1, 1}, {2.5, 1}, {1, 2}, {0.3, 0.7}, {4, 1.6}};
    for (int eos : {1, 2})
        for (auto sp : species)
            for (double x : {0.0, 1.0}) {
                Model m;
                m.eos = eos;
                (x == 1 ? m.a1 : m.a2) = sp.a;
                (x == 1 ? m.s1 : m.s2) = sp.s;
                m.install();
                double Vc, pc, Tc;
                ASSERT_EQ(key13(&Vc, &pc, &Tc, x), 3);
                real b = pi6 * sp.s * sp.s * sp.s, Tt, pt;
                pseudocrit(eos, sp.a, b, &Tt, &pt);
                real Vt = eos == 1 ? 3 * b : b / (std::cbrt((real)2) - 1);
                EXPECT_NEAR(Vc / Vt, 1, 4e-16) << eos << " " << sp.a << " " << sp.s;
                EXPECT_NEAR(Tc / Tt, 1, 4e-16) << eos << " " << sp.a << " " << sp.s;
                EXPECT_NEAR(pc / pt, 1, 8e-16) << eos << " " << sp.a << " " << sp.s;
                EXPECT_NEAR(P(Vc, Tc, x) / pc, 1, 1e-13);
                // dP/dV and d2P/dV2 of the test's own formulas, relative to p/V and p/V^2
                real h = 1e-5L * Vc, d1 = scal_dP(m, Vc, Tc, x);
                real d2 = (scal_dP(m, Vc + h, Tc, x) - scal_dP(m, Vc - h, Tc, x)) / (2 * h);
                EXPECT_NEAR(d1 * Vc / pc, 0, 1e-14);
                EXPECT_NEAR(d2 * Vc * Vc / pc, 0, 1e-8);
            }
}

TEST_F(Cubic, CriticalPointScalesWithSize) {
    double Vc, pc, Tc, Vc2, pc2, Tc2;
    key13(&Vc, &pc, &Tc, 0);
    s2 = 2;
    setconst();
    key13(&Vc2, &pc2, &Tc2, 0);
    EXPECT_DOUBLE_EQ(Vc2, 8 * Vc);
    EXPECT_DOUBLE_EQ(Tc2, Tc / 8);
    EXPECT_DOUBLE_EQ(pc2, pc / 64);
}

TEST_F(Cubic, Key13NeedsAPureSpecies) {
    double Vc = -1, pc = -2, Tc = -3;
    std::string s = written([&] { EXPECT_EQ(key13(&Vc, &pc, &Tc, 0.5), 13); });
    EXPECT_NE(s.find("WARNING"), std::string::npos) << s;
    EXPECT_NE(s.find("must x==0 or x==1"), std::string::npos) << s;
    EXPECT_EQ(Vc, -1);
    EXPECT_EQ(pc, -2);
    EXPECT_EQ(Tc, -3);
}

// key20 sets species 2 so that key13 gives the wanted critical point back.
TEST_F(Cubic, Key20ThenKey13RoundTrip) {
    struct {
        double Vc, Tc;
    } wanted[] = {{1.5707963267948966, 0.5658842421045168}, {3.2, 0.9}, {0.8, 0.31}, {12, 2.5}};
    for (int eos : {1, 2})
        for (auto w : wanted) {
            body1 = eos;
            setconst();
            std::string s = written([&] { EXPECT_EQ(key20(w.Vc, w.Tc), 0); });
            char expect[100];
            snprintf(expect, sizeof expect, "NEW: s2=%.9f a2=%.9f set to reach given Tc Vc\n", s2,
                     a2);
            EXPECT_EQ(s, expect);
            double Vc, pc, Tc;
            key13(&Vc, &pc, &Tc, 0);
            EXPECT_NEAR(Vc / w.Vc, 1, 1e-15) << eos;
            EXPECT_NEAR(Tc / w.Tc, 1, 1e-15) << eos;
            // The new parameters are in use: P at the wanted point is the critical pressure.
            EXPECT_NEAR(P(w.Vc, w.Tc, 0) / pc, 1, 1e-13);
        }
}

TEST_F(Cubic, MixingRules) {
    struct {
        double s1, s2, epsX;
    } sizes[] = {{1, 1.3, 1}, {0.8, 1.5, 1}, {1.2, 1.2, 1}};
    for (auto sz : sizes)
        for (double x : {0.0, 0.25, 0.6, 1.0}) {
            s1 = sz.s1, s2 = sz.s2, epsX = sz.epsX;
            double v1 = pi6 * s1 * s1 * s1, v2 = pi6 * s2 * s2 * s2;
            double lin = x * v1 + (1 - x) * v2;
            body2 = 1;
            setconst();
            EXPECT_NEAR(minimumV(0, x), lin, 1e-15);
            body2 = 2;  // with epsX = 1 the arithmetic quadratic rule is the linear rule
            setconst();
            EXPECT_NEAR(minimumV(0, x), lin, 1e-15);
            body2 = 3;
            setconst();
            EXPECT_NEAR(minimumV(0, x), pi6 * std::pow(x * s1 + (1 - x) * s2, 3), 1e-15);
            body2 = 4;  // geometric: the linear rule only for equal sizes
            setconst();
            double geo = x * x * v1 + 2 * x * (1 - x) * std::sqrt(v1 * v2) + sqr(1 - x) * v2;
            EXPECT_NEAR(minimumV(0, x), geo, 1e-15);
            if (sz.s1 == sz.s2) {
                EXPECT_NEAR(minimumV(0, x), lin, 1e-15);
            }
        }
    EXPECT_STREQ(bodyinfo[1], "quadr/geom");
    epsX = 1.2;
    body2 = 2;
    setconst();
    EXPECT_STREQ(bodyinfo[1], "quadr/aritm");
    double v1 = pi6 * s1 * s1 * s1, v2 = pi6 * s2 * s2 * s2;
    EXPECT_NEAR(minimumV(0, 0.5), 0.25 * v1 + 0.25 * 1.2 * (v1 + v2) + 0.25 * v2, 1e-15);
}

// A at the pure ends is finite (no mixing entropy) and the same formula as for a mixture.
TEST_F(Cubic, HelmholtzEnergy) {
    for (int eos : {1, 2}) {
        Model m;
        m.eos = eos;
        m.a2 = 1.7;
        m.s2 = 1.2;
        m.aX = 0.9;
        m.install();
        for (double x : {0.0, 0.3, 1.0})
            for (double V : {1.0, 3.0, 40.0}) {
                real t = helmholtz(m, Jet(V), 0.7L, Jet(x)).c[0];
                if (x == 0 || x == 1) {  // the series log of 0 is not needed there
                    real b = scal_b(m, x), a = scal_a(m, x);
                    t = -0.7L * std::log(V - b) +
                        (eos == 1 ? -a / V : a / (b * std::sqrt(0.7L)) * std::log(V / (V + b)));
                }
                EXPECT_NEAR(A(V, 0.7, x), (double)t, 1e-14 * (1 + std::fabs((double)t)));
                real tp = scal_P(m, V, 0.7L, x);
                EXPECT_NEAR(P(V, 0.7, x), (double)tp, 2e-15 * (1 + std::fabs((double)tp)));
            }
    }
}

// key 10 prints P and -dA/dV: they agree to what the differentiation order allows.
TEST_F(Cubic, NumericalPressureAgreesWithP) {
    for (int eos : {1, 2})
        for (int rule : {1, 2, 3, 4})
            for (int ord : {2, 4}) {
                Model m;
                m.eos = eos;
                m.rule = rule;
                m.a2 = 1.4;
                m.s2 = 1.25;
                m.epsX = 1.1;
                m.install();
                order = ord;
                setEps();
                // Step h = prec^(1/(order+1)) V: rounding ~ prec A/h and truncation
                // ~ h^order A^(order+1), which near the co-volume grows like
                // T/(V-b) (V/(V-b))^order: both ~ prec^(order/(order+1)).
                double scale = std::pow(prec, ord / (ord + 1.0));
                for (double x : {0.0, 0.4, 1.0})
                    for (double Vr : {1.3, 2.5, 10.0, 1000.0})
                        for (double T : {0.2, 0.6, 2.0}) {
                            double V = Vr * minimumV(T, x), p0 = P(V, T, x);
                            double b = minimumV(T, x);
                            double tol = 4 * scale *
                                         (std::fabs(A(V, T, x)) / V + std::fabs(p0) +
                                          T / (V - b) * std::pow(V / (V - b), ord));
                            EXPECT_NEAR(Pd(V, T, x), p0, tol)
                                << eos << rule << " " << ord << " " << x << " " << Vr << " " << T;
                        }
            }
}

TEST_F(Cubic, VolumeAtOrBelowCoVolumeJumps) {
    for (int eos : {1, 2}) {
        body1 = eos;
        setconst();
        double b = minimumV(1, 0.3);
        for (double V : {b, 0.5 * b, -1.0}) {
            EXPECT_EQ(jumpmessage([&] { P(V, 1, 0.3); }), "V<b in P") << V;
            EXPECT_EQ(jumpmessage([&] { A(V, 1, 0.3); }), "V<b in A") << V;
            EXPECT_STREQ(jmpinfo.file, "cubic");
        }
        EXPECT_EQ(jumpmessage([&] { P(b * 1.0000001, 1, 0.3); }), "");
    }
}

// A bad selector is an error: it ends a batch run with status 1; interactively the user
// ignores it and the model goes on with van der Waals and the linear rule.
TEST(CubicDeathTest, BadSelectors) {
    EXPECT_EXIT(
        {
            out = tmpfile();
            body1 = 5;
            setconst();
        },
        ::testing::ExitedWithCode(1), "bad EOS \\(body1=5\\), use 1,2");
    EXPECT_EXIT(
        {
            out = tmpfile();
            body2 = 7;
            setconst();
        },
        ::testing::ExitedWithCode(1), "bad mixing rule \\(body2=7\\), use 1,2,3,4");
    EXPECT_EXIT(
        {
            feedstdin("i\ni\n");
            initscroll(1 << 16);  // the reports go to the console: read them back there
            body1 = 0;
            body2 = 7;
            setconst();
            bool ok = strstr(_S_buf, "bad EOS (body1=0), use 1,2") &&
                      strstr(_S_buf, "bad mixing rule (body2=7), use 1,2,3,4") && body1 == 1 &&
                      body2 == 1 && !strcmp(bodyinfo[0], "van der Waals") &&
                      !strcmp(bodyinfo[1], "linear") &&
                      std::fabs(P(2, 1, 0.5) - (1 / (2 - (double)pi6) - 0.25)) < 1e-15;
            fprintf(stderr, ok ? "went on" : "wrong state");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "went on");
    EXPECT_EXIT(
        {
            out = tmpfile();
            s1 = 1.1;
            key20(2, 1);
        },
        ::testing::ExitedWithCode(1), "key=20 requires s1=1, a1=1");
    EXPECT_EXIT(
        {
            feedstdin("i\n");
            a1 = 2;
            double olda2 = a2;
            double olds2 = s2;
            int r = key20(2, 1);
            fprintf(stderr, r == 1 && a2 == olda2 && s2 == olds2 ? "unchanged" : "changed");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "unchanged");
}

TEST_F(Cubic, EvaluationsAreCounted) {
    unsigned long before = Pcount;
    P(2, 1, 0.5);
    P(3, 1, 0.5);
    EXPECT_EQ(Pcount - before, 2u);
}
