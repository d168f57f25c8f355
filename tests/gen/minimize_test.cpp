// The minimization driver, steepest descent, conjugate gradients and Monte Carlo.
#include "gen/minimize.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "solvertest.h"

namespace {

int nevals = 0;
int interruptat = -1;               // evaluation at which the objective raises the flag
std::vector<double> path;           // first coordinate of every evaluation, when recording
bool recording = false;

double count(const double* x) {
    if (++nevals == interruptat) sig = 1;
    if (recording) path.push_back(x[0]);
    return 0;
}
double quad(double* x) { return count(x) + std::pow(x[0] - 1, 2) + std::pow(x[1] + 2, 2); }
double rosen(double* x) {
    return count(x) + 100 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1 - x[0], 2);
}
double beale(double* x) {
    double a = x[0], b = x[1];
    return count(x) + std::pow(1.5 - a + a * b, 2) + std::pow(2.25 - a + a * b * b, 2) +
           std::pow(2.625 - a + a * b * b * b, 2);
}
double powell(double* x) {
    return count(x) + std::pow(x[0] + 10 * x[1], 2) + 5 * std::pow(x[2] - x[3], 2) +
           std::pow(x[1] - 2 * x[2], 4) + 10 * std::pow(x[0] - x[3], 4);
}
double scaled(double* x) {
    return count(x) + std::pow(x[0] - 1, 2) + 1e2 * std::pow(x[1] - 1, 2) + 1e4 * std::pow(x[2] - 1, 2);
}
// Negative near its minimum, so that extrapolation factors come out negative.
double rosenm1(double* x) { return rosen(x) - 1; }

void reset(int at = -1) {
    nevals = 0;
    interruptat = at;
    sig = 0;
    minstep = 1e-4;
    minrnd = 0;
}

}  // namespace

TEST(Minimize, Names) {
    struct { int method; const char* name; } cases[] = {
        {-1, "steepest descent"}, {0, "amoeba"}, {1, "conjugate grad"}, {2, "Newton-Raphson"},
        {3, "Monte Carlo"}, {4, "none"}, {-2, "none"}};
    for (auto c : cases) EXPECT_STREQ(MinimizeName(c.method), c.name) << c.method;
}

TEST(Minimize, ConjugateGradientsOnAQuadratic) {
    reset();
    double x[2] = {0, 0};
    double u = 1;
    std::string s = written([&] { u = minimize(2, x, quad, 1e-6, 0, 50); });
    EXPECT_NEAR(x[0], 1, 1e-6);
    EXPECT_NEAR(x[1], -2, 1e-6);
    EXPECT_EQ(u, quad(x));
    EXPECT_EQ(occurrences(s, "U0="), 2) << s;
    EXPECT_EQ(s.substr(0, 26), "         U0=5             ") << s;
    EXPECT_NE(s.find("! 50 steps of conjugate gradients:"), std::string::npos) << s;
    // Steepest descent goes downhill too, slowly: at most nsd - 1 accepted steps.
    reset();
    double y[2] = {0, 0};
    s = written([&] { u = minimize(2, y, quad, 1e-6, 200, 0); });
    EXPECT_NE(s.find("! 200 steps of steepest descent:"), std::string::npos) << s;
    EXPECT_LT(u, 1e-8);
}

TEST(Minimize, StepCarriesOverBetweenCalls) {
    reset();
    double x[2] = {0, 0};
    // Neither descent nor conjugate steps: the call only triples the step.
    written([&] { minimize(2, x, quad, 1e-6, 0, 0); });
    EXPECT_DOUBLE_EQ(minstep, 3e-4);
    written([&] { minimize(2, x, quad, 1e-6, 0, 0); });
    EXPECT_DOUBLE_EQ(minstep, 9e-4);
    // Monte Carlo scales the step by n^2 on entry and back on exit; its report shows both.
    std::string s = written([&] { MCminimize(2, x, quad, 3, 0, 0, 0); });
    EXPECT_NE(s.find("MC minimize 3 steps accept=1.3000 reject=0.9800 trace=0.9000 h=0.0036\n"),
              std::string::npos) << s;
    double printed = atof(s.substr(s.find("h=", s.find('\n')) + 2).c_str());
    EXPECT_NEAR(minstep * 4, printed, 1e-5 * printed);
    // A step below 1e-8 restarts at 1e-7.
    minstep = 1e-9;
    s = written([&] { MCminimize(2, x, quad, 1, 0, 0, 0); });
    EXPECT_NE(s.find("h=4e-07\n"), std::string::npos) << s;
}

TEST(Minimize, MonteCarloIsReproducible) {
    auto runpath = [](unsigned seed) {
        reset();
        srand(seed);
        path.clear();
        recording = true;
        double x[2] = {-1.2, 1};
        written([&] { MCminimize(2, x, rosen, 400, 1.2, 0.95, 0.8); });
        recording = false;
        path.push_back(x[0]);
        path.push_back(x[1]);
        return path;
    };
    std::vector<double> a = runpath(17), b = runpath(17), c = runpath(18);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    ASSERT_EQ(a.size(), 403u);  // the start, 400 trials and the final point
    EXPECT_LT(rosen(&a[401]), 24.2) << "never worse than the start";
}

TEST(MinimizeDeathTest, Reports) {
    EXPECT_EXIT(
        {
            out = tmpfile();
            double x[2] = {0};
            MCminimize(2, x, quad, 5, 1.1, 0.9, 0.5);
        },
        ::testing::ExitedWithCode(1), "bad values of MC minimization parms");
    EXPECT_EXIT(
        {
            out = tmpfile();
            double x[2] = {0};
            Minimize(7, 2, x, quad, 5, 1e-9, 1e-6, 1);
        },
        ::testing::ExitedWithCode(1), "unknown minimization method 7");
    // Ignored: a single run counts as 0, a repeated one changes nothing and gives 2.
    EXPECT_EXIT(
        {
            answer("i\ni\ni\n");
            double x[2];
            x[0] = x[1] = 0.5;
            int r1 = Minimize(7, 2, x, quad, 5, 1e-9, 1e-6, 1);
            int r2 = Minimize(7, 2, x, quad, 5, 1e-9, 1e-6, 0);
            exit(r1 == 0 && r2 == 2 && x[0] == 0.5 ? 42 : 1);
        },
        ::testing::ExitedWithCode(42), "");
}

TEST(Minimize, SingleAndRepeatedRuns) {
    reset();
    double x[2] = {0, 0};
    int r = -9;
    std::string s = written([&] { r = Minimize(3, 2, x, quad, 20, 1e-30, 1e-6, 1); });
    EXPECT_EQ(occurrences(s, "MC minimize 80 steps"), 1) << s;
    EXPECT_EQ(occurrences(s, "extrapolation"), 0);
    EXPECT_EQ(r, 1);  // 80 random steps do not reach 1e-30
    // mcpar = 0: repeated, and the Monte Carlo parameter is 10.
    reset();
    s = written([&] { r = Minimize(3, 2, x, quad, 20, 1e-30, 1e-6, 0); });
    EXPECT_NE(s.find("accept=1.3249 reject=0.9700 trace=0.7846"), std::string::npos) << s;
    EXPECT_GE(occurrences(s, "##### minimization extrapolation value="), 1) << s;
    EXPECT_GT(occurrences(s, "MC minimize"), 1);
}

TEST(Minimize, ExtrapolationFactorIsBounded) {
    // Short descents on Rosenbrock's valley make slow progress from run to run.
    for (MinFunc f : {rosen, rosenm1}) {
        reset();
        double x[2] = {-1.2, 1};
        std::string s = written([&] { Minimize(-1, 2, x, f, 40, 1e-30, 1e-6, -1); });
        int n = 0;
        double lo = 9, hi = -9;
        for (size_t p = s.find("value="); p != std::string::npos; p = s.find("value=", p + 1)) {
            double v = atof(s.c_str() + p + 6);
            lo = std::min(lo, v), hi = std::max(hi, v);
            n++;
        }
        EXPECT_GT(n, 3);
        EXPECT_GE(lo, -2);
        EXPECT_LT(hi, 6);
        if (f == rosenm1) {
            EXPECT_EQ(lo, -2) << "a negative objective gives factors clamped at -2";
        }
    }
}

TEST(Minimize, InterruptStopsEveryMethod) {
    for (int method : {-1, 0, 1, 2, 3}) {
        for (double mcpar : {1.0, 0.0}) {
            reset(40);
            double x[2] = {-1.2, 1};
            int r = 0;
            written([&] { r = Minimize(method, 2, x, rosen, 5000, 1e-30, 1e-6, mcpar); });
            EXPECT_EQ(r, 1) << method;
            // The step under way ends: for conjugate gradients a line search of up to 25 trials.
            EXPECT_LT(nevals, 40 + 25 * 5 + 10) << method;
            EXPECT_LT(rosen(x), 24.2 + 1e-9) << method;
            sig = 0;
        }
    }
}

// ---- Classic problems: result code, error and evaluations for every method ----

namespace {

struct Problem {
    const char* name;
    MinFunc U;
    int n;
    double x0[4], xs[4];
    double tol;  // accuracy of x that a value below eps implies
};

const Problem problems[] = {
    {"rosenbrock", rosen, 2, {-1.2, 1}, {1, 1}, 1e-3},
    {"beale", beale, 2, {1, 1}, {3, 0.5}, 1e-3},
    {"powell-singular", powell, 4, {3, -1, 0, 1}, {0, 0, 0, 0}, 3e-2},
    {"scaled-quadratic", scaled, 3, {0, 0, 0}, {1, 1, 1}, 1e-4},
};

// Results of a single run (mcpar = 1) and of repeated runs (mcpar = 0) with 500 steps.
// Short of the minimum, descent and Monte Carlo report 1; amoeba cannot leave the zero
// coordinates of the quadratic's start and says so; repeated runs mostly end on an exactly
// repeated value (2). The repeated Monte Carlo rows depend on the C library's rand and are
// not pinned.
const int any = 99;
struct Outcome {
    const char* problem;
    int once[5], repeated[5];  // by minkey -1, 0, 1, 2, 3
};
const Outcome outcomes[] = {
    {"rosenbrock", {1, 0, 0, 0, 1}, {0, 2, 2, 2, any}},
    {"beale", {1, 0, 0, 0, 1}, {0, 2, 2, 2, any}},
    {"powell-singular", {1, -1, 1, 0, 1}, {0, 0, 0, 2, any}},
    {"scaled-quadratic", {1, 1, 0, 0, 1}, {0, 2, 0, 2, any}},
};

}  // namespace

TEST(Minimize, ClassicProblems) {
    const double eps = 1e-10;
    printf("%-17s %6s %5s %5s %10s %10s %7s\n", "problem", "minkey", "mode", "code", "U", "error", "evals");
    for (const Problem& p : problems) {
        for (int method : {-1, 0, 1, 2, 3}) {
            for (double mcpar : {1.0, 0.0}) {
                reset();
                srand(1);
                double x[4];
                for (int i = 0; i < p.n; i++) x[i] = p.x0[i];
                int r = 0;
                written([&] { r = Minimize(method, p.n, x, p.U, 500, eps, 1e-5, mcpar); });
                int used = nevals;
                double u = p.U(x), err = 0;
                for (int i = 0; i < p.n; i++) err = std::max(err, std::fabs(x[i] - p.xs[i]));
                printf("%-17s %6d %5s %5d %10.3g %10.3g %7d\n", p.name, method, mcpar > 0 ? "once" : "rep",
                       r, u, err, used);
                if (r == 0) {
                    // Success is the minimum, never a point short of it.
                    EXPECT_LE(u, eps) << p.name << " " << method;
                    EXPECT_LT(err, p.tol) << p.name << " " << method;
                }
                for (const Outcome& o : outcomes) {
                    int want = mcpar > 0 ? o.once[method + 1] : o.repeated[method + 1];
                    if (std::string(o.problem) == p.name && want != any) {
                        EXPECT_EQ(r, want) << p.name << " " << method << " " << mcpar;
                    }
                }
            }
        }
    }
}
