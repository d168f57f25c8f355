// A whole traced line through the main loop: 100 points of the critical line of the van der
// Waals example (a2 = 2.5, aX = 1, s2 = 1.3, linear co-volume rule), from x = 0.99 with steps
// of 0.5 % in p, prediction and the ramp start, as the request key=2 line=100 pred=-1 runs it.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "qor/qor.h"
#include "qor/qorglob.h"
#include "qor/qorsys.h"

namespace {

void start() {
    body1 = body2 = 1;
    a1 = s1 = epsX = 1;
    a2 = 2.5, aX = 1, s2 = 1.3;
    x = 0.99, T = 0.5661344216, p = 0.1338561673;  // a critical point, from an outside solver
    key = 2, diagram = 2, forT = 0, pline = 100, pred = -1, q = 0.995, qq = 1, res = 0;
    history = 0, msglev = 0, sort = 1, stable = 1, dx = 0;
    prec = 7, eps = 2.3, order = 4;
    nfollow = ifollow = 0;
    pr = {0, 0, 0, 0, 0, 0};
    failed = 0;
}

void BM_CriticalLine100(benchmark::State& state) {
    realprec = machprec();
    setparms();
    FILE* saved = out;
    out = fopen("/dev/null", "w");
    unsigned long before = Pcount;
    int points = 0;
    for (auto _ : state) {
        start();
        LoopEntry e = keyagain();
        points++;
        while (e == KEYAGAIN) {
            e = keyagain();
            points++;
        }
        if (failed || nfollow) {
            state.SkipWithError("the line did not reach 100 points");
            break;
        }
    }
    fclose(out);
    out = saved;
    // Each pass of the loop is a point: the three ramp points from the start, then the 100.
    state.counters["us/point"] = benchmark::Counter(
        double(points), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["P/point"] = benchmark::Counter(double(Pcount - before) / points);
    state.counters["final x"] = x;
}
BENCHMARK(BM_CriticalLine100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
