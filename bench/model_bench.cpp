// The innermost loops of every computation: the volume roots (EOS) and a composition
// derivative of G (d2Gdx2), with the pressure evaluations each call costs.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "qor/qor.h"
#include "qor/qorsys.h"

namespace {

void setup(int eos, int ord) {
    body1 = eos;
    body2 = 1;
    a2 = 1.6;
    aX = 0.95;
    s2 = 1.15;
    setconst();
    realprec = machprec();
    prec = 7;
    order = ord;
    setEps();
    sortg = 0;
    I.x = 0;
}

// van der Waals at x = 0.3: three roots (two returned) at T = 0.5, p = 0.055; one at T = 1.
struct Point {
    double p, T, x;
};
const Point three = {0.055, 0.5, 0.3}, one = {0.2, 1.0, 0.3};

void report(benchmark::State& state, unsigned long before) {
    state.counters["P/call"] =
        benchmark::Counter(double(Pcount - before) / double(state.iterations()));
}

void EOSAt(benchmark::State& state, const Point& pt, int roots_, int allv_) {
    setup(1, 4);
    roots = roots_;
    allv = allv_;
    double V[5];
    int n = EOS(V, pt.p, pt.T, pt.x);
    state.SetLabel(std::to_string(n) + " roots");
    unsigned long before = Pcount;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EOS(V, pt.p, pt.T, pt.x));
        benchmark::ClobberMemory();
    }
    report(state, before);
    roots = 2;
    allv = 0;
}

void BM_EOS_ThreeRoots(benchmark::State& state) { EOSAt(state, three, 2, 0); }
void BM_EOS_ThreeRoots_allv(benchmark::State& state) { EOSAt(state, three, 2, 1); }
void BM_EOS_OneRoot(benchmark::State& state) { EOSAt(state, one, 2, 0); }

void BM_d2Gdx2(benchmark::State& state) {
    setup(1, (int)state.range(0));
    const Point& pt = state.range(1) ? three : one;
    unsigned long before = Pcount;
    for (auto _ : state) benchmark::DoNotOptimize(d2Gdx2(pt.p, pt.T, pt.x));
    report(state, before);
}

}  // namespace

BENCHMARK(BM_EOS_ThreeRoots);
BENCHMARK(BM_EOS_ThreeRoots_allv);
BENCHMARK(BM_EOS_OneRoot);
BENCHMARK(BM_d2Gdx2)
    ->ArgNames({"order", "three"})
    ->Args({2, 1})
    ->Args({4, 1})
    ->Args({2, 0})
    ->Args({4, 0});

BENCHMARK_MAIN();
