// Two equations in two unknowns: secant planes, nested secants, the automatic chain.
#include "gen/solve2.h"

#include <cmath>
#include <string>
#include <vector>

#include "solvertest.h"

namespace {

// Every evaluation of the wrapped pair, in order; g also checks that it comes right after f
// at the same point, which the equation functions of the program rely on.
struct Eval {
    char fn;
    double x, y;
};
std::vector<Eval> evals;
int orderfaults = 0;
Solve2Func curf, curg;

double rf(double x, double y) {
    evals.push_back({'f', x, y});
    return curf(x, y);
}
double rg(double x, double y) {
    if (evals.empty() || evals.back().fn != 'f' || evals.back().x != x || evals.back().y != y)
        orderfaults++;
    evals.push_back({'g', x, y});
    return curg(x, y);
}

int solve(Solve2Func f, Solve2Func g, double* x, double xmin, double xmax, double dx, double* y,
          double ymin, double ymax, double dy, int maxit, int method) {
    curf = f;
    curg = g;
    evals.clear();
    orderfaults = 0;
    return Solve2(rf, rg, x, xmin, xmax, dx, y, ymin, ymax, dy, maxit, method);
}

int fevals() {
    int n = 0;
    for (auto& e : evals) n += e.fn == 'f';
    return n;
}

double lin1(double x, double) { return x - 1; }
double lin2(double, double y) { return y - 2; }

// Rosenbrock's function 100(y - x^2)^2 + (1 - x)^2: its gradient vanishes at (1, 1) only.
double rosf(double x, double y) { return -400 * x * (y - x * x) - 2 * (1 - x); }
double rosg(double x, double y) { return 200 * (y - x * x); }
// Freudenstein and Roth: root (5, 4); from (0.5, -2) the classic trap is the local minimum
// of the sum of squares near (11.41, -0.8968), which is no root.
double frf(double x, double y) { return -13 + x + ((5 - y) * y - 2) * y; }
double frg(double x, double y) { return -29 + x + ((y + 1) * y - 14) * y; }
// Powell's badly scaled system: root (1.098159e-5, 9.106146).
double pbf(double x, double y) { return 1e4 * x * y - 1; }
double pbg(double x, double y) { return std::exp(-x) + std::exp(-y) - 1.0001; }
// A root at (1, 1) on the edge x = 1 of the box.
double edf(double x, double y) { return x - 1 + 0.5 * (y - 1) * (y - 1); }
double edg(double x, double y) { return y - 1 + 0.3 * (x - 1); }
// Equations without a root, and a pair whose two planes always coincide.
double nof(double x, double y) { return x * x + y * y + 1; }
double nog(double x, double y) { return x - y; }
double samef(double x, double y) { return x + y - 1; }
double nanf(double, double) { return NAN; }
// f turns to NaN away from the start: a lost evaluation must never pass as a root.
double halfnan(double x, double y) { return x > 0.3 ? NAN : x - 0.5 + 0.1 * y; }

}  // namespace

TEST(Solve2, LinearPairInTwoIterations) {
    double x = 0, y = 0;
    std::string s = written([&] { EXPECT_EQ(solve(lin1, lin2, &x, -9e9, 9e9, 1e-3, &y, -9e9, 9e9, 1e-3, 25, 1), 0); });
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    // Two steps, each with its trace line: the first lands on the root up to rounding but is
    // too long to count, the second is (nearly) zero. The returned point is never evaluated.
    EXPECT_EQ(occurrences(s, " dx="), 2) << s;
    double tx = 0, ty = 0;
    ASSERT_EQ(sscanf(s.c_str(), "%lf %lf", &tx, &ty), 2) << s;
    EXPECT_NEAR(tx, 1, 1e-12);
    EXPECT_NEAR(ty, 2, 1e-12);
    EXPECT_NE(s.find("\n                   1                    2 dx="), std::string::npos) << s;
    EXPECT_EQ(fevals(), 4);
    EXPECT_EQ(orderfaults, 0);
    // The same solve without trace lines.
    x = 0, y = 0;
    EXPECT_EQ(written([&] { solve(lin1, lin2, &x, -9e9, 9e9, 1e-3, &y, -9e9, 9e9, 1e-3, -25, 1); }), "");
}

TEST(Solve2, MinusOneIsSecantPlanes) {
    double x1 = -1.2, y1 = 1, x2 = -1.2, y2 = 1;
    int r1 = solve(rosf, rosg, &x1, -9e9, 9e9, 1e-7, &y1, -9e9, 9e9, 1e-7, -40, 1);
    std::vector<Eval> e1 = evals;
    int r2 = solve(rosf, rosg, &x2, -9e9, 9e9, 1e-7, &y2, -9e9, 9e9, 1e-7, -40, -1);
    EXPECT_EQ(orderfaults, 0);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2);
    ASSERT_EQ(e1.size(), evals.size());
    for (size_t i = 0; i < e1.size(); i++) {
        EXPECT_EQ(e1[i].x, evals[i].x) << i;
        EXPECT_EQ(e1[i].y, evals[i].y) << i;
    }
}

TEST(Solve2, Names) {
    struct { int method; const char* name; } cases[] = {
        {0, "auto"}, {1, "secant planes"}, {2, "nested secants y:f=0 where x:g=0"},
        {-2, "nested secants y:g=0 where x:f=0"}, {-1, "none"}, {3, "none"}, {-7, "none"}};
    for (auto c : cases) EXPECT_STREQ(Solve2Name(c.method), c.name) << c.method;
}

TEST(Solve2DeathTest, BadMethod) {
    // In batch mode the error ends the run with its level.
    EXPECT_EXIT(
        {
            out = tmpfile();
            double x = 0;
            double y = 0;
            solve(lin1, lin2, &x, -9e9, 9e9, 1e-3, &y, -9e9, 9e9, 1e-3, 25, 3);
        },
        ::testing::ExitedWithCode(1), "bad method");
    // Ignored by the user, it returns -3 without a single evaluation and leaves x and y.
    EXPECT_EXIT(
        {
            answer("i\ni\n");
            double x = 0.25;
            double y = 0.5;
            int r1 = solve(lin1, lin2, &x, -9e9, 9e9, 1e-3, &y, -9e9, 9e9, 1e-3, 25, 3);
            int r2 = solve(lin1, lin2, &x, -9e9, 9e9, 1e-3, &y, -9e9, 9e9, 1e-3, 25, -3);
            exit(r1 == -3 && r2 == -3 && evals.empty() && x == 0.25 && y == 0.5 ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

TEST(Solve2, AutoRestartsFromCallersPoint) {
    const double x0 = 0.5, y0 = -0.25, d = 1e-3;
    double x = x0, y = y0;
    std::string s = written([&] { EXPECT_NE(solve(nof, nog, &x, -10, 10, d, &y, -10, 10, d, -12, 0), 0); });
    EXPECT_EQ(x, x0);
    EXPECT_EQ(y, y0);
    EXPECT_EQ(orderfaults, 0);
    // Secant planes start at A = (x0 + 8dx, y0); each nested stage at (x0 + dx, y0 + dy).
    ASSERT_FALSE(evals.empty());
    EXPECT_EQ(evals[0].x, x0 + 8 * d);
    EXPECT_EQ(evals[0].y, y0);
    std::vector<size_t> starts;
    for (size_t i = 0; i < evals.size(); i++)
        if (evals[i].fn == 'f' && evals[i].x == x0 + d && evals[i].y == y0 + d) starts.push_back(i);
    ASSERT_EQ(starts.size(), 2u) << s;
    EXPECT_GT(starts[0], 2u);
    // The plain stage evaluates only f at an inner point; the exchanged one f and then g.
    EXPECT_EQ(evals[starts[0] + 1].fn, 'f');
    EXPECT_EQ(evals[starts[1] + 1].fn, 'g');
}

TEST(Solve2, InitialPointOutsideBox) {
    // N = (x0 - 3dx, y0 - 3dy) lies below ymin = y0 - 2dy: the planes fail after evaluating
    // A and B.
    double x = 0.5, y = 0.5;
    EXPECT_EQ(solve(lin1, lin2, &x, 0, 2, 1e-3, &y, 0.498, 3, 1e-3, -25, 1), -1);
    EXPECT_EQ(evals.size(), 4u);
    EXPECT_EQ(x, 0.5);
    // In auto mode the nested stage follows (its points stay above y0 - dy) and finds the root.
    EXPECT_EQ(solve(lin1, lin2, &x, 0, 2, 1e-3, &y, 0.498, 3, 1e-3, -25, 0), 0);
    EXPECT_NEAR(x, 1, 1e-9);
    EXPECT_NEAR(y, 2, 1e-9);
}

TEST(Solve2, PerturbationPattern) {
    // f = g: the two planes coincide, every step is degenerate and perturbs A or B.
    double x = 0, y = 0;
    const double d = 0.01;
    std::string s = written([&] { EXPECT_EQ(solve(samef, samef, &x, -1e9, 1e9, d, &y, -1e9, 1e9, d, -4, 1), -1); });
    EXPECT_EQ(s, "solve2: 1 perturbed\nsolve2: 2 perturbed\nsolve2: 3 perturbed\nsolve2: 4 perturbed\n");
    EXPECT_EQ(x, 0);
    EXPECT_EQ(orderfaults, 0);
    std::vector<Eval> f;
    for (auto& e : evals)
        if (e.fn == 'f') f.push_back(e);
    ASSERT_GE(f.size(), 5u);
    // A (8d, 0), B (0, 8d), N (-3d, -3d) evaluated in this order.
    EXPECT_EQ(f[2].x, -3 * d);
    // Iteration 1: both sides from N are equally long, so A is replaced, at m = 2 times the
    // side N-B, on the odd side (1/7 + 1 + 1/11 = 1): centroid + 2 (dx b2/dy, -dy a2/dx).
    const double c1 = (8 * d + 0 - 3 * d) / 3;
    EXPECT_NEAR(f[3].x, c1 + 2 * d * 11, 1e-12);
    EXPECT_NEAR(f[3].y, c1 - 2 * d * 3, 1e-12);
    // Iteration 2: B is now nearer to N and is replaced, at m = 3 times the side N-A, on the
    // even side (0 + 2 + 0): centroid + 3 (-dx b1/dy, dy a1/dx).
    double ax = f[3].x, ay = f[3].y;
    double cx = (ax + 0 - 3 * d) / 3, cy = (ay + 8 * d - 3 * d) / 3;
    double a1 = ax + 3 * d, b1 = ay + 3 * d;
    EXPECT_NEAR(f[4].x, cx - 3 * b1, 1e-12);
    EXPECT_NEAR(f[4].y, cy + 3 * a1, 1e-12);
}

TEST(Solve2, FailureLeavesPointAndNaNIsNoRoot) {
    for (int method : {0, 1, -1, 2, -2}) {
        for (Solve2Func f : {nanf, halfnan}) {
            double x = 0.1, y = 0.2;
            written([&] { EXPECT_NE(solve(f, nog, &x, -5, 5, 1e-6, &y, -5, 5, 1e-6, -30, method), 0) << method; });
            EXPECT_EQ(x, 0.1) << method;
            EXPECT_EQ(y, 0.2) << method;
            EXPECT_EQ(orderfaults, 0) << method;
        }
        // The iteration limit.
        double x = -1.2, y = 1;
        written([&] { EXPECT_NE(solve(rosf, rosg, &x, -9e9, 9e9, 1e-9, &y, -9e9, 9e9, 1e-9, -2, method), 0); });
        EXPECT_EQ(x, -1.2);
        EXPECT_EQ(y, 1);
    }
}

// ---- Classic problems: result code, error and evaluations for every method ----

namespace {

struct Problem {
    const char* name;
    Solve2Func f, g;
    double x0, y0, xmin, xmax, ymin, ymax, dx, dy;
    double xs, ys;    // the root
    double tx, ty;    // accuracy a reported root must have
};

const Problem problems[] = {
    {"rosenbrock-grad", rosf, rosg, -1.2, 1, -10, 10, -10, 10, 1e-8, 1e-8, 1, 1, 1e-6, 1e-6},
    {"freudenstein-far", frf, frg, 0.5, -2, -50, 50, -50, 50, 1e-8, 1e-8, 5, 4, 1e-6, 1e-6},
    {"freudenstein-near", frf, frg, 6, 3, -50, 50, -50, 50, 1e-8, 1e-8, 5, 4, 1e-6, 1e-6},
    {"powell-badscale", pbf, pbg, 0, 1, -1, 1, -100, 100, 1e-11, 1e-7, 1.098159e-5, 9.106146, 1e-9, 1e-5},
    {"box-edge", edf, edg, 0.5, 0.5, 0, 1, 0, 2, 1e-8, 1e-8, 1, 1, 1e-6, 1e-6},
};

struct Outcome {
    const char* problem;
    int method;
    int code;    // expected result
};

// What each method does on each problem from its start with 50 iterations: the failures are
// the methods' honest limits.
const Outcome outcomes[] = {
    {"rosenbrock-grad", 0, 0},   {"rosenbrock-grad", 1, -1},   {"rosenbrock-grad", 2, 0},
    {"rosenbrock-grad", -2, -2}, {"freudenstein-far", 0, -2},  {"freudenstein-far", 1, -1},
    {"freudenstein-far", 2, -2}, {"freudenstein-far", -2, -2}, {"freudenstein-near", 0, 0},
    {"freudenstein-near", 1, 0}, {"freudenstein-near", 2, 0},  {"freudenstein-near", -2, 0},
    {"powell-badscale", 0, 0},   {"powell-badscale", 1, 0},    {"powell-badscale", 2, 0},
    {"powell-badscale", -2, 0},  {"box-edge", 0, -2},          {"box-edge", 1, -1},
    {"box-edge", 2, -2},         {"box-edge", -2, -2},
};

}  // namespace

TEST(Solve2, ClassicProblems) {
    printf("%-18s %6s %5s %12s %6s\n", "problem", "method", "code", "error", "evals");
    for (const Problem& p : problems) {
        for (int method : {0, 1, 2, -2}) {
            double x = p.x0, y = p.y0;
            int r = 0;
            written([&] { r = solve(p.f, p.g, &x, p.xmin, p.xmax, p.dx, &y, p.ymin, p.ymax, p.dy, -50, method); });
            double err = std::fabs(x - p.xs) / p.tx + std::fabs(y - p.ys) / p.ty;
            printf("%-18s %6d %5d %12.3g %6zu\n", p.name, method, r, r ? NAN : err, evals.size());
            EXPECT_EQ(orderfaults, 0) << p.name << " " << method;
            if (r == 0) {
                // A reported root is the root.
                EXPECT_LT(std::fabs(x - p.xs), p.tx) << p.name << " " << method;
                EXPECT_LT(std::fabs(y - p.ys), p.ty) << p.name << " " << method;
            } else {
                EXPECT_EQ(x, p.x0);
                EXPECT_EQ(y, p.y0);
            }
            for (const Outcome& o : outcomes) {
                if (std::string(o.problem) == p.name && o.method == method) {
                    EXPECT_EQ(r, o.code) << p.name << " " << method;
                }
            }
        }
    }
}
