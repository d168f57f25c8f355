// The point solvers of a whole key: a critical point (key 2) and an azeotrope (key 6), each
// from a start next to the solution as a traced line gives it, with the pressure evaluations
// one solve costs.
#include <benchmark/benchmark.h>

#include "qor/qor.h"
#include "qor/qoreq.h"
#include "qor/qorsys.h"

namespace {

void setup(double a2_, double aX_, double s2_, int ord) {
    body1 = body2 = 1;
    a1 = s1 = epsX = 1;
    a2 = a2_;
    aX = aX_;
    s2 = s2_;
    setconst();
    realprec = machprec();
    prec = 7;
    eps = 2.3;
    order = ord;
    setEps();
    sortg = 0;
    I.x = 0;
    I.xx = 1;
    msglev = 0;
    stable = 1;
    dx = 0;
    s2maxit = -25;
    solve2 = 1;
    forT = 1;
}

void report(benchmark::State& state, unsigned long before) {
    state.counters["P/solve"] =
        benchmark::Counter(double(Pcount - before) / double(state.iterations()));
}

// a2 = 2.5, aX = 0.85, s2 = 1.3: the critical point at x = 1/2 (T and p from the tests).
void BM_solvecrit(benchmark::State& state) {
    setup(2.5, 0.85, 1.3, (int)state.range(0));
    if (order == 2) {
        eps = 1e-5; // the second derivative at order 2 is good to ~1e-6 only
        setEps();
    }
    unsigned long before = Pcount;
    for (auto _ : state) {
        double p = 0.0938981740537246 * (1 + 1e-4), T = 0.567763453398141, x = 0.50005;
        if (solvecrit(&p, &T, &x)) state.SkipWithError("no critical point");
        benchmark::DoNotOptimize(x);
    }
    report(state, before);
}
BENCHMARK(BM_solvecrit)->Arg(2)->Arg(4);

// a2 = 1.02, aX = 0.9: the azeotrope at T = 0.75 Tc of species 1.
void BM_solveaz(benchmark::State& state) {
    setup(1.02, 0.9, 1, (int)state.range(0));
    const double T0 = 0.75 * 8 / (27 * 0.5235987755982988);
    unsigned long before = Pcount;
    for (auto _ : state) {
        double p = 0.0446875378895 * 1.001, T = T0, x = 0.559483121311;
        if (solveaz(&p, &T, &x)) state.SkipWithError("no azeotrope");
        benchmark::DoNotOptimize(x);
    }
    report(state, before);
}
BENCHMARK(BM_solveaz)->Arg(2)->Arg(4);

} // namespace

BENCHMARK_MAIN();
