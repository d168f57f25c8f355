// Function evaluations and time per solve of the root finder and the minimizers on the
// classic test problems. Counters: evals per solve, the result code and the error of the
// answer (|x - x*| summed over the coordinates, for the minimizers the largest).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gen/ground.h"
#include "gen/minimize.h"
#include "gen/solve2.h"

namespace {

long nevals = 0;

// ---- Two equations ----

double rosf(double x, double y) { return ++nevals, -400 * x * (y - x * x) - 2 * (1 - x); }
double rosg(double x, double y) { return 200 * (y - x * x); }
double frf(double x, double y) { return ++nevals, -13 + x + ((5 - y) * y - 2) * y; }
double frg(double x, double y) { return -29 + x + ((y + 1) * y - 14) * y; }
double pbf(double x, double y) { return ++nevals, 1e4 * x * y - 1; }
double pbg(double x, double y) { return std::exp(-x) + std::exp(-y) - 1.0001; }
double edf(double x, double y) { return ++nevals, x - 1 + 0.5 * (y - 1) * (y - 1); }
double edg(double x, double y) { return y - 1 + 0.3 * (x - 1); }

struct Pair {
    const char* name;
    Solve2Func f, g;
    double x0, y0, xmin, xmax, ymin, ymax, dx, dy, xs, ys;
};
const Pair pairs[] = {
    {"rosenbrock-grad", rosf, rosg, -1.2, 1, -10, 10, -10, 10, 1e-8, 1e-8, 1, 1},
    {"freudenstein-far", frf, frg, 0.5, -2, -50, 50, -50, 50, 1e-8, 1e-8, 5, 4},
    {"freudenstein-near", frf, frg, 6, 3, -50, 50, -50, 50, 1e-8, 1e-8, 5, 4},
    {"powell-badscale", pbf, pbg, 0, 1, -1, 1, -100, 100, 1e-11, 1e-7, 1.098159e-5, 9.106146},
    {"box-edge", edf, edg, 0.5, 0.5, 0, 1, 0, 2, 1e-8, 1e-8, 1, 1},
};

void solve2bench(benchmark::State& st, const Pair* p, int method) {
    int r = 0;
    double x = 0, y = 0;
    for (auto _ : st) {
        nevals = 0;
        x = p->x0, y = p->y0;
        r = Solve2(p->f, p->g, &x, p->xmin, p->xmax, p->dx, &y, p->ymin, p->ymax, p->dy, -50, method);
        benchmark::DoNotOptimize(x);
    }
    st.counters["evals"] = (double)nevals;  // f evaluations (g follows each)
    st.counters["code"] = r;
    st.counters["error"] = r ? NAN : std::fabs(x - p->xs) + std::fabs(y - p->ys);
}

// ---- Minimizers ----

double rosen(double* x) {
    ++nevals;
    return 100 * std::pow(x[1] - x[0] * x[0], 2) + std::pow(1 - x[0], 2);
}
double beale(double* x) {
    ++nevals;
    double a = x[0], b = x[1];
    return std::pow(1.5 - a + a * b, 2) + std::pow(2.25 - a + a * b * b, 2) +
           std::pow(2.625 - a + a * b * b * b, 2);
}
double powell(double* x) {
    ++nevals;
    return std::pow(x[0] + 10 * x[1], 2) + 5 * std::pow(x[2] - x[3], 2) +
           std::pow(x[1] - 2 * x[2], 4) + 10 * std::pow(x[0] - x[3], 4);
}
double scaled(double* x) {
    ++nevals;
    return std::pow(x[0] - 1, 2) + 1e2 * std::pow(x[1] - 1, 2) + 1e4 * std::pow(x[2] - 1, 2);
}

struct Objective {
    const char* name;
    MinFunc U;
    int n;
    double x0[4], xs[4];
};
const Objective objectives[] = {
    {"rosenbrock", rosen, 2, {-1.2, 1}, {1, 1}},
    {"beale", beale, 2, {1, 1}, {3, 0.5}},
    {"powell-singular", powell, 4, {3, -1, 0, 1}, {0, 0, 0, 0}},
    {"scaled-quadratic", scaled, 3, {0, 0, 0}, {1, 1, 1}},
};

void minbench(benchmark::State& st, const Objective* o, int method, double mcpar) {
    int r = 0;
    double x[4] = {0};
    for (auto _ : st) {
        // The same start for every solve: the step carried between calls, the extrapolation
        // phase and the random sequence.
        minstep = 1e-4;
        minrnd = 0;
        srand(1);
        nevals = 0;
        for (int i = 0; i < o->n; i++) x[i] = o->x0[i];
        r = Minimize(method, o->n, x, o->U, 500, 1e-10, 1e-5, mcpar);
        benchmark::DoNotOptimize(x);
    }
    double err = 0;
    for (int i = 0; i < o->n; i++) err = std::max(err, std::fabs(x[i] - o->xs[i]));
    st.counters["evals"] = (double)nevals;
    st.counters["code"] = r;
    st.counters["error"] = err;
}

}  // namespace

int main(int argc, char** argv) {
    // The solvers' progress lines go nowhere.
    out = fopen("/dev/null", "w");
    if (!out) return 1;
    for (const Pair& p : pairs)
        for (int method : {0, 1, 2, -2})
            benchmark::RegisterBenchmark(
                (std::string("Solve2/") + p.name + "/method:" + std::to_string(method)).c_str(),
                solve2bench, &p, method);
    for (const Objective& o : objectives)
        for (int method : {-1, 0, 1, 2, 3})
            for (double mcpar : {1.0, 0.0})
                benchmark::RegisterBenchmark((std::string("Minimize/") + o.name + "/minkey:" +
                                              std::to_string(method) + (mcpar > 0 ? "/once" : "/repeated"))
                                                 .c_str(),
                                             minbench, &o, method, mcpar);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
