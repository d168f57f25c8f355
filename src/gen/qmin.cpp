// qmin.cpp: simplex search, Newton-Raphson minimization and the parabolic bracket step.
#include "gen/qmin.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include "gen/alloc.h"
#include "gen/lineq.h"

namespace {

const double golden = 0.6180339887498948;

// A work array of count doubles from the release heap; false when it could not be had.
bool work(double** p, size_t count) {
    *p = nullptr;
    size_t bytes = count * sizeof(double);
    myralloc(p, bytes > (size_t)INT_MAX ? -1 : (int)bytes, 0);
    return *p != nullptr;
}

}  // namespace

// ---- Simplex ---------------------------------------------------------------------------------

int amoeba(int n, double* x, MinFunc U, double eps, int steps, double* fbest) {
    double J = std::exp(std::pow(eps, golden));
    prt("amoeba %i steps eps=%g", steps, eps);
    if (n < 1) {
        if (fbest) *fbest = U(x);
        return 0;
    }
    const int nv = n + 1;
    double* blk;
    if (!work(&blk, (size_t)nv * n + nv + 6 * (size_t)n)) return -1;
    double* F = blk;                // vertex values
    double* P = F + nv;             // vertices, n doubles each
    double* c = P + (size_t)nv * n; // centroid of all vertices but the worst
    double* R = c + n;              // reflected point
    double* W = R + n;              // worst vertex (working copy)
    double* B = W + n;              // best vertex
    double* T = B + n;              // expansion, contraction or push point
    double* s = T + n;              // sum of all vertices
    auto vert = [&](int k) { return P + (size_t)k * n; };
    auto take = [&](int k, const double* v, double fv) {
        std::memcpy(vert(k), v, n * sizeof(double));
        F[k] = fv;
    };

    for (int k = 0; k < nv; k++) {
        double* v = vert(k);
        std::memcpy(v, x, n * sizeof(double));
        if (k < n) v[k] *= J;
        F[k] = U(v);
    }
    double L = -1.0 / n;
    int M = 0;
    long it = 0;
    int b = 0;
    bool interrupted = false;
    for (;;) {
        b = 0;
        int w = 0;
        for (int k = 1; k < nv; k++) {
            if (F[k] < F[b]) b = k;
            if (F[k] > F[w]) w = k;
        }
        std::memcpy(B, vert(b), n * sizeof(double));
        std::memcpy(W, vert(w), n * sizeof(double));
        double Fb = F[b], Fw = F[w];
        double d = 0;
        for (int i = 0; i < n; i++) {
            double sum = 0;
            for (int k = 0; k < nv; k++) sum += vert(k)[i];
            c[i] = (sum - W[i]) / n;
            R[i] = 2 * c[i] - W[i];
            d += (c[i] - W[i]) * (c[i] - W[i]);
        }
        d = std::sqrt(d);
        double Fr = U(R);
        int m = 0;
        for (int k = 0; k < nv; k++)
            if (F[k] >= Fr) m++;
        if (m > nv / 3 + 1) {
            if (m == nv) {
                for (int i = 0; i < n; i++) T[i] = c[i] + 1.6 * (c[i] - W[i]);
                double Fe = U(T);
                if (Fe < Fb && Fr != Fb)
                    take(w, T, Fe);
                else
                    take(w, R, Fr);
            } else {
                take(w, R, Fr);
            }
        } else {
            if (Fr <= Fw) {
                std::memcpy(W, R, n * sizeof(double));
                Fw = Fr;
            }
            for (int i = 0; i < n; i++) T[i] = (c[i] + W[i]) / 2;
            double Fk = U(T);
            if (Fk < Fw) {
                take(w, T, Fk);
            } else {
                for (int k = 0; k < nv; k++) {
                    double* v = vert(k);
                    for (int i = 0; i < n; i++) v[i] = golden * v[i] + (1 - golden) * B[i];
                    F[k] = U(v);
                }
            }
            // Push one vertex (in turn) away from the centroid, so that a simplex flattened
            // by contractions regains extent.
            for (int i = 0; i < n; i++) {
                s[i] = 0;
                for (int k = 0; k < nv; k++) s[i] += vert(k)[i];
            }
            M = (M + 1) % nv;
            for (int i = 0; i < n; i++)
                T[i] = vert(M)[i] * (1 - L / nv) + s[i] * L / ((double)nv * nv);
            double Fy = U(T);
            if (Fy < F[M]) {
                take(M, T, Fy);
                L = 2 * L;
            }
            L = 0.7 * L;
        }
        it++;
        if (testsig()) {
            interrupted = true;
            break;
        }
        J = (n * J + d) / nv;
        if (J <= eps || it >= steps) break;
    }
    std::memcpy(x, vert(b), n * sizeof(double));
    if (fbest) *fbest = F[b];
    myrelease(&blk);
    return -(it >= steps ? 1 : 0) - 2 * (interrupted ? 1 : 0);
}

// ---- Newton-Raphson --------------------------------------------------------------------------

namespace {

// State of the current NRminimize call.
double* nb;      // negative gradient
double* ng;      // search direction
double* nxmin;   // best point seen
double* ny;      // evaluation point
double* nsx;     // the caller's point
double nfxmin;   // best value seen
int nsize;       // bytes of one vector
MinFunc nU;      // the objective

// U at ny; every improvement on the best value is kept, so no evaluation is wasted.
double nreval() {
    double fx = nU(ny);
    if (fx < nfxmin) {
        nfxmin = fx;
        std::memcpy(nxmin, ny, nsize);
    }
    return fx;
}

// U at the caller's point plus t times the search direction.
double along(int n, double t) {
    for (int i = 0; i < n; i++) ny[i] = nsx[i] + t * ng[i];
    return nreval();
}

}  // namespace

double NRminimize(int n, double* x, MinFunc U, double d, double eps, int maxit) {
    if (n < 1) return U(x);
    double* blk;
    if (!work(&blk, 4 * (size_t)n + (size_t)n * n + (size_t)n)) return 1e35;
    nb = blk;
    ng = nb + n;
    nxmin = ng + n;
    ny = nxmin + n;
    double* Adata = ny + n;
    // The row pointers live in the same block, behind the matrix.
    static_assert(sizeof(double*) <= sizeof(double), "row pointers fit the slots of doubles");
    double** A = reinterpret_cast<double**>(Adata + (size_t)n * n);
    for (int i = 0; i < n; i++) A[i] = Adata + (size_t)i * n;
    nsx = x;
    nU = U;
    nsize = n * (int)sizeof(double);
    nfxmin = 1e35;
    std::memcpy(nxmin, x, nsize);
    const double dd = d * d;
    double s;
    do {
        std::memcpy(ny, x, nsize);
        for (int i = 0; i < n; i++)
            for (int j = i + 1; j < n; j++) {
                ny[i] = x[i] + d, ny[j] = x[j] + d;
                double upp = nreval();
                ny[j] = x[j] - d;
                double upm = nreval();
                ny[i] = x[i] - d;
                double umm = nreval();
                ny[j] = x[j] + d;
                double ump = nreval();
                ny[i] = x[i], ny[j] = x[j];
                A[i][j] = A[j][i] = (upp - upm + umm - ump) / (4 * dd);
            }
        double U0 = nreval();
        int c = 0;
        for (int i = 0; i < n; i++) {
            ny[i] = x[i] - d;
            double um = nreval();
            ny[i] = x[i] + d;
            double up = nreval();
            ny[i] = x[i];
            A[i][i] = (up - 2 * U0 + um) / dd;
            nb[i] = (um - up) / (2 * d);
            if (A[i][i] <= 0) c++;
        }
        bool solved = GJlineq(0, n, A, nb, ng) == 0;

        // Line search along the direction; the parameter t stands for x + t g.
        double l, e, h, m = 1;
        if (solved && c == 0) {
            l = 0;
            e = U0;
            h = along(n, 1);
        } else {
            if (!solved) {
                prt("lineq KO");
                for (int i = 0; i < n; i++) ng[i] = d;
            }
            l = -1;
            e = along(n, -1);
            h = U0;
        }
        if (e < h) {
            std::swap(e, h);
            l = l + 1;
            m = -1;
        }
        double t = along(n, l + 2 * m);
        // Doubling stops at the latest when the step has grown by 2^64: a function that
        // falls without bound along the line must not hold the search forever.
        for (int k = 0; t < h && k < 64; k++) {
            h = t;
            m = 2 * m;
            t = along(n, l + 2 * m);
        }
        double u = t - 2 * h + e;
        if (u != 0) {
            double tau = (e - t) / u;
            if (std::fabs(tau) < 5) along(n, l + m + (m / 2) * tau);
        }

        s = 0;
        for (int i = 0; i < n; i++) s += std::fabs(x[i] - nxmin[i]);
        std::memcpy(x, nxmin, nsize);
        prt("signature(0=convex)=%i   fmin=%g  dx in 1 iter=%g", c, nfxmin, s);
        // The budget is counted down to 0 from any start, so maxit <= 0 still ends.
    } while (s > eps && !testsig() && --maxit > 0);
    myrelease(&blk);
    return nfxmin;
}

// ---- Parabolic step --------------------------------------------------------------------------

double qmin_end(double* xnew, bracket t[3], int flag) {
    double x0 = t[0].x, x1 = t[1].x, x2 = t[2].x;
    double f0 = t[0].f, f1 = t[1].f, f2 = t[2].f;
    double D = f0 * (x2 - x1) + f1 * (x0 - x2) + f2 * (x1 - x0);
    double v = 0, res;
    int k;
    bool vertex = false;
    if (D > 0) {
        v = x1 + (f0 * (x2 - x1) * (x2 - x1) + f1 * (x0 - x2) * ((x2 - x1) - (x1 - x0)) -
                  f2 * (x1 - x0) * (x1 - x0)) / (2 * D);
        vertex = 2 * x0 - x2 <= v && v <= 2 * x2 - x0;
    }
    if (vertex) {
        k = 0;
        res = std::fabs(v - x0);
        for (int j = 1; j < 3; j++) {
            double dist = std::fabs(v - t[j].x);
            if (dist > std::fabs(v - t[k].x)) k = j;
            if (dist < res) res = dist;
        }
    } else {
        // No upward curvature, or a vertex far outside: jump beyond the lower end.
        res = 9e9;
        if (f0 < f2) {
            if (flag)
                v = 2 * x0 - x1, k = 2;
            else
                v = 2 * x0 - x2, k = 1;
        } else {
            if (flag)
                v = 2 * x2 - x1, k = 0;
            else
                v = 2 * x2 - x0, k = 1;
        }
    }
    *xnew = v;
    t[k].x = v;
    t[k].count = 0;
    for (int pass = 0; pass < 2; pass++)
        for (int j = 0; j < 2; j++)
            if (t[j].x > t[j + 1].x) std::swap(t[j], t[j + 1]);
    prt_("qmin: det=%9.2e", D);
    prt(" dx=%g", res);
    return res;
}
