// func.cpp: integer powers.
#include "gen/func.h"

#include <climits>
#include <cmath>

double powi(double x, int n) {
    if (n == 0) return 1.0;
    unsigned u = n < 0 ? 0u - (unsigned)n : (unsigned)n;
    if (n < 0) x = 1 / x;
    int top = 31;
    while (!(u >> top & 1u)) top--;
    double r = x;
    for (int bit = top - 1; bit >= 0; bit--) {
        r *= r;
        if (u >> bit & 1u) r *= x;
    }
    return r;
}

int toint(double v) {
    if (std::isnan(v)) return 0;
    v = std::trunc(v);
    if (v >= (double)INT_MAX) return INT_MAX;
    if (v <= (double)INT_MIN) return INT_MIN;
    return (int)v;
}
