// Simplex, Newton-Raphson and the parabolic step on a bracket.
#include "gen/qmin.h"

#include <cmath>
#include <string>

#include "solvertest.h"

namespace {

int nevals = 0;
int interruptat = -1;  // evaluation at which the objective raises the interrupt flag

double count() {
    if (++nevals == interruptat) sig = 1;
    return 0;
}
double quad12(double* x) { return count() + (x[0] - 1) * (x[0] - 1) + (x[1] - 2) * (x[1] - 2); }
double rosen(double* x) {
    return count() + 100 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1 - x[0], 2);
}
double valley(double* x) { return count() + std::pow(x[0] + x[1] - 1, 2); }
double dwell(double* x) { return count() + std::pow(x[0], 4) - x[0] * x[0]; }
double slope(double* x) { return count() - x[0]; }
double quartic(double* x) { return count() + std::pow(x[0], 4); }

void reset(int at = -1) {
    nevals = 0;
    interruptat = at;
    sig = 0;
}

}  // namespace

// ---- qmin_end ----

struct StepCase {
    double x[3], f[3];
    int flag;
    double v, result;
    double after[3];  // abscissas after the step, sorted
    int fresh;        // index of the record (after sorting) that waits for an evaluation
};
const StepCase stepCases[] = {
    // Upward bend: the parabola's vertex replaces the farthest record.
    {{0, 1, 2}, {0, 1, 4}, 1, 0, 0, {0, 0, 1}, 1},
    {{0, 1, 3}, {4, 1, 1}, 1, 2, 1, {1, 2, 3}, 1},
    // Concave, f0 < f2: a jump beyond the lower end, wider with flag 0.
    {{0, 1, 2}, {0, 2, 1}, 0, -2, 9e9, {-2, 0, 2}, 0},
    {{0, 1, 2}, {0, 2, 1}, 1, -1, 9e9, {-1, 0, 1}, 0},
    // Concave, f0 >= f2: beyond the upper end.
    {{0, 1, 2}, {1, 2, 0}, 1, 3, 9e9, {1, 2, 3}, 2},
    {{0, 1, 2}, {1, 2, 0}, 0, 4, 9e9, {0, 2, 4}, 2},
    // Bent upwards but almost straight: the vertex lies too far out, so a jump instead.
    {{0, 1, 2}, {0, -1, -1.999}, 1, 3, 9e9, {1, 2, 3}, 2},
};

TEST(QminEnd, StepTable) {
    for (const auto& c : stepCases) {
        bracket t[3];
        for (int k = 0; k < 3; k++) t[k] = {c.x[k], c.f[k], 1};
        double v = -99, r = 0;
        std::string s = written([&] { r = qmin_end(&v, t, c.flag); });
        EXPECT_DOUBLE_EQ(v, c.v) << c.x[0] << c.f[2];
        EXPECT_EQ(r, c.result) << c.f[2];
        for (int k = 0; k < 3; k++) {
            EXPECT_DOUBLE_EQ(t[k].x, c.after[k]) << k;
            EXPECT_EQ(t[k].count, k == c.fresh ? 0 : 1) << k << " " << c.f[2];
        }
        EXPECT_EQ(s.substr(0, 10), "qmin: det=");
    }
    bracket t[3] = {{0, 0, 1}, {1, 1, 1}, {2, 4, 1}};
    double v;
    EXPECT_EQ(written([&] { qmin_end(&v, t, 1); }), "qmin: det= 2.00e+00 dx=0\n");
}

TEST(QminEnd, CallersLoopFindsTheMinimum) {
    // The calling protocol: evaluate the fresh records, step, stop on a small distance.
    auto f = [](double x) { return std::cosh(x - 0.7) + 0.3 * std::pow(x - 0.7, 3); };
    bracket t[3] = {{3, 0, 0}, {3.1, 0, 0}, {3.2, 0, 0}};
    double x = 0, d = 9e9;
    int n = 0;
    written([&] {
        for (; d > 1e-9 && n < 200; n++) {
            for (auto& r : t)
                if (r.count == 0) r.f = f(r.x), r.count++;
            d = qmin_end(&x, t, n % 3);
        }
    });
    EXPECT_LT(n, 60);
    EXPECT_NEAR(x, 0.7, 1e-6);
}

// ---- amoeba ----

TEST(Amoeba, ZeroCoordinateHasNoExtent) {
    reset();
    double x[2] = {1.5, 0};
    written([&] { amoeba(2, x, quad12, 1e-12, 300); });
    EXPECT_EQ(x[1], 0);  // the factor above 1 multiplies zero
    EXPECT_NEAR(x[0], 1, 1e-5);
}

TEST(Amoeba, BudgetAndInterrupt) {
    struct { int steps; bool interrupted; int code; } cases[] = {
        {1, false, -1}, {1000, true, -2}, {1, true, -3}, {5000, false, 0}};
    for (auto c : cases) {
        reset();
        double x[2] = {-1.2, 1};
        double fbest = -1;
        int r = 0;
        std::string s = written([&] {
            if (c.interrupted) sig = 1;
            r = amoeba(2, x, rosen, 1e-10, c.steps, &fbest);
            sig = 0;
        });
        EXPECT_EQ(r, c.code) << c.steps;
        EXPECT_EQ(s.substr(0, 7 + std::to_string(c.steps).size()), "amoeba " + std::to_string(c.steps)) << s;
        if (c.code) {
            // One iteration: the simplex (3), a reflection and at most a contraction, a shrink
            // of 3 and a push.
            EXPECT_LE(nevals, 3 + 1 + 1 + 3 + 1) << c.steps;
        } else {
            EXPECT_NEAR(x[0], 1, 1e-4);
            EXPECT_NEAR(x[1], 1, 1e-4);
        }
        // The best value comes with the point, without a further evaluation.
        EXPECT_EQ(fbest, rosen(x));
    }
}

// ---- NRminimize ----

TEST(NRminimize, NewtonStepIsExactOnAQuadratic) {
    reset();
    double x[2] = {0, 0};
    double f = 1;
    std::string s = written([&] { f = NRminimize(2, x, quad12, 0.5, 1e-9, 10); });
    EXPECT_EQ(x[0], 1);
    EXPECT_EQ(x[1], 2);
    EXPECT_EQ(f, 0);
    // Two iterations: the exact step, then one that does not move.
    EXPECT_EQ(occurrences(s, "signature(0=convex)=0   fmin="), 2) << s;
    EXPECT_NE(s.find("dx in 1 iter=0\n"), std::string::npos) << s;
}

TEST(NRminimize, SingularAndConcaveHessians) {
    reset();
    // Exact binary steps make the difference Hessian [[2, 2], [2, 2]] exactly singular.
    double x[2] = {0.25, 0.125};
    double f = 1;
    std::string s = written([&] { f = NRminimize(2, x, valley, 0.5, 1e-12, 5); });
    EXPECT_NE(s.find("lineq KO"), std::string::npos) << s;
    EXPECT_LT(f, 1e-12);
    EXPECT_NEAR(x[0] + x[1], 1, 1e-6);
    // Concave at the start: the search runs backwards from x and still goes downhill.
    reset();
    double y[1] = {0.1};
    s = written([&] { f = NRminimize(1, y, dwell, 1e-4, 1e-10, 20); });
    EXPECT_NE(s.find("signature(0=convex)=1"), std::string::npos) << s;
    EXPECT_NEAR(std::fabs(y[0]), std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(f, -0.25, 1e-12);
}

TEST(NRminimize, AlwaysEnds) {
    // Unbounded below: the doubling of the line search is capped.
    reset();
    double x[1] = {0};
    double f = 0;
    std::string s = written([&] { f = NRminimize(1, x, slope, 1e-3, 1e-9, 3); });
    EXPECT_LT(f, -1e10);
    EXPECT_LT(nevals, 300);
    // x^4 moves by 1/3 of x per Newton step, for many iterations: maxit bounds them, and
    // maxit = 0 or less runs one.
    for (int maxit : {3, 0, -5}) {
        reset();
        x[0] = 1;
        s = written([&] { NRminimize(1, x, quartic, 1e-4, 1e-12, maxit); });
        EXPECT_EQ(occurrences(s, "signature"), maxit > 0 ? maxit : 1) << maxit;
    }
    // Interrupted: the iteration under way is the last.
    reset();
    double r[2] = {-1.2, 1};
    s = written([&] {
        sig = 1;
        NRminimize(2, r, rosen, 1e-5, 1e-12, 50);
        sig = 0;
    });
    EXPECT_EQ(occurrences(s, "signature"), 1) << s;
}
