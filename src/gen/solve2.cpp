// solve2.cpp: secant planes and nested secants for two equations in two unknowns.
#include "gen/solve2.h"

#include <cmath>
#include <cstdlib>

#include "gen/ground.h"

namespace {

struct Box {
    double xmin, xmax, ymin, ymax;
    // Written so that a NaN coordinate counts as outside: a lost iteration never goes on.
    bool holds(double x, double y) const {
        return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
    }
};

// One point of the secant planes with its two values once they are known.
struct Point {
    double x, y, f, g;
};

// Secant planes through three points A, B and the newest point N.
int planes(Solve2Func f, Solve2Func g, double x0, double y0, const Box& box, double dx, double dy,
           long lim, bool trace, double* rx, double* ry) {
    const double e2 = dx * dx + dy * dy;
    Point A = {x0 + 8 * dx, y0, 0, 0}, B = {x0, y0 + 8 * dy, 0, 0}, N = {x0 - 3 * dx, y0 - 3 * dy, 0, 0};
    A.f = f(A.x, A.y);
    A.g = g(A.x, A.y);
    B.f = f(B.x, B.y);
    B.g = g(B.x, B.y);
    bool known = false;  // N is evaluated only once its triangle has passed the first test
    for (long i = 1;; i++) {
        if (i > lim || !box.holds(N.x, N.y)) return -1;
        double a1 = A.x - N.x, b1 = A.y - N.y, a2 = B.x - N.x, b2 = B.y - N.y;
        double det = a2 * b1 - a1 * b2;
        if (!(std::fabs(det) <= (std::fabs(a1 * b2) + std::fabs(a2 * b1)) * e2)) {
            if (!known) {
                N.f = f(N.x, N.y);
                N.g = g(N.x, N.y);
                known = true;
            }
            double F1 = A.f - N.f, F2 = B.f - N.f, G1 = A.g - N.g, G2 = B.g - N.g;
            double Pf = b2 * F1 - b1 * F2, Qf = a2 * F1 - a1 * F2;
            double Pg = b2 * G1 - b1 * G2, Qg = a2 * G1 - a1 * G2;
            double D = Pg * Qf - Pf * Qg;
            if (!(std::fabs(D) <= (std::fabs(Pf * Qg) + std::fabs(Pg * Qf)) * e2)) {
                double t = det / D;
                double sx = (Qf * N.g - Qg * N.f) * t, sy = (Pf * N.g - Pg * N.f) * t;
                B = A;
                A = N;
                N = {N.x + sx, N.y + sy, 0, 0};
                known = false;
                if (trace) prt("%20.16g %20.16g dx=%g dy=%g", N.x, N.y, sx, sy);
                if (std::fabs(sx / dx) + std::fabs(sy / dy) < 1) {
                    *rx = N.x;
                    *ry = N.y;
                    return 0;
                }
                continue;
            }
        }
        // Degenerate triangle: replace the point nearer to N by one off the centroid,
        // perpendicular (in scaled coordinates) to the side from N to the other point.
        double al1 = a1 / dx, be1 = b1 / dy, al2 = a2 / dx, be2 = b2 / dy;
        double cx = (A.x + B.x + N.x) / 3, cy = (A.y + B.y + N.y) / 3;
        double m = (double)(i % 3 + 1);
        if (al2 * al2 + be2 * be2 < al1 * al1 + be1 * be1) {
            if ((i / 5 + i + i / 13) % 2 == 0)
                B.x = cx - m * dx * be1, B.y = cy + m * dy * al1;
            else
                B.x = cx + m * dx * be1, B.y = cy - m * dy * al1;
            B.f = f(B.x, B.y);
            B.g = g(B.x, B.y);
        } else {
            if ((i / 7 + i + i / 11) % 2 == 0)
                A.x = cx - m * dx * be2, A.y = cy + m * dy * al2;
            else
                A.x = cx + m * dx * be2, A.y = cy - m * dy * al2;
            A.f = f(A.x, A.y);
            A.g = g(A.x, A.y);
        }
        prt("solve2: %li perturbed", i);
    }
}

// One secant step of the nested iterations. The slope factor is smoothed from the third
// step on, weighting the new secant by the square of the last step against the scale d.
double secantstep(double v, double vp, double s, double* k, bool* havek, long i, double d) {
    if (v == vp) return -1.618 * s;
    double ks = s / (vp - v);
    // Until a first secant exists there is nothing to smooth with.
    if (i < 2 || !*havek)
        *k = ks;
    else
        *k = (ks * s * s + *k * d * d) / (s * s + d * d);
    *havek = true;
    return v * *k;
}

// Nested secants: the inner iteration moves x to solve inner = 0 at fixed y, the outer one
// moves y to solve outer = 0. With exchanged set the inner function is the caller's g, so the
// caller's f (the outer function) is evaluated before it at every inner point.
int nested(Solve2Func inner, Solve2Func outer, bool exchanged, double x0, double y0,
           const Box& box, double dx, double dy, long lim, bool trace, double* rx, double* ry) {
    double x = x0, y = y0 + dy;
    double sy = 2 * dy, wp = 0, K = 0;
    bool haveK = false;
    int co = -2;
    double tv = 0;  // the other function's value, shown in the trace lines
    for (long j = 0;; j++) {
        if (j > lim) return -1;
        x += dx;
        double sx = 2 * dx, vp = 0, k = 0;
        bool havek = false;
        int ci = -2;
        for (long i = 0; ci <= 0; i++) {
            if (i > lim || !box.holds(x, y)) return -2;
            if (exchanged) tv = outer(x, y);
            double v = inner(x, y);
            if (trace) prt("%20.16g %20.16g f=%g g=%g", x, y, tv, v);
            ci++;
            sx = secantstep(v, vp, sx, &k, &havek, i, dx);
            x += sx;
            vp = v;
            // A NaN step is never small.
            if (!(std::fabs(sx) <= dx)) ci = -1;
        }
        if (!exchanged) tv = inner(x, y);
        double w = outer(x, y);
        if (trace) prt("%20.16g %20.16g f=%g g=%g", x, y, tv, w);
        co++;
        sy = secantstep(w, wp, sy, &K, &haveK, j, dy);
        y += sy;
        wp = w;
        if (!(std::fabs(sy) <= dy)) co = -1;
        if (co > 0) {
            *rx = x;
            *ry = y;
            return 0;
        }
    }
}

}  // namespace

int Solve2(Solve2Func f, Solve2Func g, double* x, double xmin, double xmax, double dx, double* y,
           double ymin, double ymax, double dy, int maxit, int method) {
    if (method != 0 && method != 1 && method != -1 && method != 2 && method != -2) {
        MYERROR(1, "solve2", "bad method");
        return -3;
    }
    const Box box = {xmin, xmax, ymin, ymax};
    const long lim = std::labs((long)maxit);
    const bool trace = maxit > 0;
    const double x0 = *x, y0 = *y;
    double rx = x0, ry = y0;
    int r;
    if (method == 2)
        r = nested(f, g, false, x0, y0, box, dx, dy, lim, trace, &rx, &ry);
    else if (method == -2)
        r = nested(g, f, true, x0, y0, box, dx, dy, lim, trace, &rx, &ry);
    else {
        r = planes(f, g, x0, y0, box, dx, dy, lim, trace, &rx, &ry);
        // Auto mode: every further stage starts again from the caller's point.
        if (r && method == 0) r = nested(f, g, false, x0, y0, box, dx, dy, lim, trace, &rx, &ry);
        if (r && method == 0) r = nested(g, f, true, x0, y0, box, dx, dy, lim, trace, &rx, &ry);
    }
    if (r == 0) {
        *x = rx;
        *y = ry;
    }
    return r;
}

const char* Solve2Name(int method) {
    switch (method) {
    case 0: return "auto";
    case 1: return "secant planes";
    case 2: return "nested secants y:f=0 where x:g=0";
    case -2: return "nested secants y:g=0 where x:f=0";
    default: return "none";
    }
}
