// minimize.cpp: the minimization driver, steepest descent, conjugate gradients, Monte Carlo.
#include "gen/minimize.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gen/alloc.h"

double minstep = 1e-4;
double minrnd = 0;

namespace {

double& h = minstep;    // the step, by its short name
double difh;            // difference step of the gradient in the current minimize call
int sN;                 // number of variables of the current call
MinFunc sff;            // objective of the current call
double& rnd = minrnd;
const int maxruns = 100;  // repeated runs of one Minimize call at most

bool work(double** p, size_t count) {
    *p = nullptr;
    size_t bytes = count * sizeof(double);
    myralloc(p, bytes > (size_t)INT_MAX ? -1 : (int)bytes, 0);
    return *p != nullptr;
}

void copy(double* to, const double* from) { std::memcpy(to, from, sN * sizeof(double)); }

// U at x, and the force (the negative gradient) by central differences of step difh.
double Upot(double* x, double* force) {
    for (int i = 0; i < sN; i++) {
        double xi = x[i];
        x[i] = xi - difh;
        double um = sff(x);
        x[i] = xi + difh;
        double up = sff(x);
        x[i] = xi;
        force[i] = (um - up) / (2 * difh);
    }
    return sff(x);
}

double dot(const double* a, const double* b) {
    double s = 0;
    for (int i = 0; i < sN; i++) s += a[i] * b[i];
    return s;
}

double nextrnd() {
    rnd += 0.6180339887498948;
    if (rnd >= 1) rnd -= 1;
    return rnd;
}

// One run of a method. Every objective here is a sum of squares that vanishes at the
// solution, so a run that ends above eps has not converged, whichever method it was.
int run(int method, int n, double* x, MinFunc U, int steps, double eps, double hstep, double m) {
    double v;
    switch (method) {
    case -1: v = minimize(n, x, U, hstep, steps, 0); break;
    case 0: {
        int r = amoeba(n, x, U, eps, steps, &v);
        if (r) return r;
        break;
    }
    case 1: v = minimize(n, x, U, hstep, 0, steps); break;
    case 2: v = NRminimize(n, x, U, hstep, eps, steps); break;
    case 3: {
        double s = m != 0 ? m : 10;
        double c = std::pow(s, -0.3333333333);
        long long nsteps = 2LL * steps * n;
        if (nsteps > INT_MAX) nsteps = INT_MAX;
        v = MCminimize(n, x, U, (int)nsteps, 1 + 0.7 * c, 1 - 0.3 / s, 1 - c * c);
        break;
    }
    default: MYERROR(1, "minimize", "unknown minimization method %d", method); return 0;
    }
    return v <= eps ? 0 : 1;
}

}  // namespace

const char* MinimizeName(int method) {
    switch (method) {
    case -1: return "steepest descent";
    case 0: return "amoeba";
    case 1: return "conjugate grad";
    case 2: return "Newton-Raphson";
    case 3: return "Monte Carlo";
    default: return "none";
    }
}

int Minimize(int method, int n, double* x, MinFunc U, int steps, double eps, double hstep,
             double mcpar) {
    const double m = std::fabs(mcpar);
    int r = run(method, n, x, U, steps, eps, hstep, m);
    if (testsig()) return 1;
    if (mcpar > 0 || n < 1) return r;

    // Repeated runs: U is taken to fall linearly to 0 along the line through the last two
    // results, and the next run starts beyond that estimate by a random factor of 1 to 2.
    double* xo;
    if (!work(&xo, (size_t)n)) return r;
    sN = n;
    copy(xo, x);
    double Uo = U(xo);
    int worse = 0;
    for (int runs = 0; runs < maxruns; runs++) {
        r = run(method, n, x, U, steps, eps, hstep, m);
        double Un = U(x);
        if (Un == Uo) {
            r = 2;
            break;
        }
        double Ub, Uw;
        // A NaN value is worse than any number.
        if (std::isnan(Un) || (!std::isnan(Uo) && Un > Uo)) {
            for (int i = 0; i < n; i++) {
                double t = x[i];
                x[i] = xo[i];
                xo[i] = t;
            }
            Ub = Uo;
            Uw = Un;
            if (++worse >= 7) break;
        } else {
            Ub = Un;
            Uw = Uo;
            worse = 0;
        }
        if (testsig()) break;
        double r1 = nextrnd(), r2 = nextrnd();
        double lambda = (1 + r1) * Ub / (Uw - Ub);
        if (lambda > 5 + r2) lambda = 5 + r2;
        if (lambda < -2) lambda = -2;
        if (std::isnan(lambda)) lambda = 0;  // no line to extrapolate along
        prt("##### minimization extrapolation value=%f", lambda);
        for (int i = 0; i < n; i++) {
            double xi = x[i];
            if (lambda != 0) x[i] += lambda * (x[i] - xo[i]);
            xo[i] = xi;
        }
        Uo = Ub;
    }
    myrelease(&xo);
    return r;
}

double minimize(int n, double* x, MinFunc U, double dh, int nsd, int ncg) {
    difh = dh;
    sN = n;
    sff = U;
    double* X;
    if (n < 1 || !work(&X, 7 * (size_t)n)) return U(x);
    double* F = X + n;   // force at X
    double* Xt = F + n;  // trial point
    double* Ft = Xt + n; // force there
    double* D = Ft + n;  // search direction
    double* G = D + n;   // previous force
    double* H = G + n;   // conjugate direction
    copy(X, x);
    double U0 = Upot(X, F);
    prt(_putformat, "U0", U0);
    h = 3 * h;
    double Uc = Upot(X, F);

    if (nsd) {
        prt("! %i steps of steepest descent:", nsd);
        int k = 1;
        while (!testsig()) {
            h = 0.55 * h;
            if (h < 1e-12 || k >= nsd) break;
            for (int i = 0; i < n; i++) Xt[i] = X[i] + h * F[i];
            double Ut = Upot(Xt, Ft);
            if (Ut <= Uc) {
                copy(X, Xt);
                copy(F, Ft);
                Uc = Ut;
                k++;
                h = 2.5 * h;
            }
        }
    }

    if (ncg) {
        prt("! %i steps of conjugate gradients:", ncg);
        h = 3 * h;
        copy(D, F);
        copy(G, F);
        copy(H, F);
        int L = 24;  // halvings allowed in the next line search
        for (int j = 1; j <= ncg && !testsig(); j++) {
            double S = dot(D, D);
            if (S == 0) break;
            double hs = h;
            bool moved = false;
            for (int trial = 0; trial <= L; trial++) {
                for (int i = 0; i < n; i++) Xt[i] = X[i] + h * D[i];
                double Ut = Upot(Xt, Ft);
                if (Ut < Uc) {
                    L = 5;
                    double PS = dot(Ft, D) / S;
                    // The slope along D has not fallen much: extrapolate along the secant.
                    if (PS < 0.8) {
                        h = h / (1 - PS);
                        for (int i = 0; i < n; i++) X[i] += h * D[i];
                        double Ue = Upot(X, D);
                        if (Ue < Ut) {
                            Uc = Ue;
                            moved = true;
                            break;
                        }
                    }
                    copy(X, Xt);
                    copy(D, Ft);
                    Uc = Ut;
                    h = 4 * h;
                    L = 8;
                    moved = true;
                    break;
                }
                h = 0.5 * h;
            }
            if (!moved) {
                Uc = Upot(X, D);
                if (L == 20) break;  // a restart has failed as well
                h = hs;
                L = 20;
                copy(G, D);
                copy(H, D);
            }
            // Polak-Ribiere; a zero previous force leaves nothing to conjugate with.
            double gg = dot(G, G);
            double gamma = 0;
            if (gg > 0) {
                gamma = 0;
                for (int i = 0; i < n; i++) gamma += (D[i] - G[i]) * D[i];
                gamma /= gg;
            }
            for (int i = 0; i < n; i++) {
                G[i] = D[i];
                H[i] = gamma * H[i] + G[i];
                D[i] = H[i];
            }
        }
    }

    double Uf = Upot(X, D);
    copy(x, X);
    prt(_putformat, "U0", Uf);
    myrelease(&X);
    return Uf;
}

double MCminimize(int n, double* x, MinFunc U, int nsteps, double accept, double reject,
                  double trace) {
    if (n < 1) return U(x);
    if (accept <= 0) accept = 1.3;
    if (reject <= 0) reject = 0.98;
    if (trace <= 0) trace = 0.9;
    if (h < 1e-8) h = 1e-7;
    h = h * n * n;
    prt("MC minimize %i steps accept=%.4f reject=%.4f trace=%.4f h=%g", nsteps, accept, reject,
        trace, h);
    if (reject >= 1 || accept * reject < 1 || trace >= 1)
        MYERROR(1, "minimize", "bad values of MC minimization parms");
    double* Y;
    if (!work(&Y, 2 * (size_t)n)) {
        h = h / ((double)n * n);
        return U(x);
    }
    double* Z = Y + n;  // trace point: a fading memory of the accepted points
    sN = n;
    sff = U;
    copy(Y, x);
    copy(Z, x);
    double S = 0;
    for (int i = 0; i < 200; i++) S += std::rand();
    const double g = 0.01 / S;
    double f = U(x);
    for (int step = 0; step < nsteps; step++) {
        for (int i = 0; i < n; i++) {
            double r1 = std::rand(), r2 = std::rand(), r3 = std::rand(), r4 = std::rand();
            Y[i] = x[i] + (r1 - r2 + r3 - r4) * g * h;
        }
        // Every other step drifts away from the trace point.
        if ((nsteps - step - 1) % 2 == 1) {
            double r = std::rand();
            for (int i = 0; i < n; i++) Y[i] += r * g * (x[i] - Z[i]);
        }
        double fy = U(Y);
        if (fy < f) {
            copy(x, Y);
            f = fy;
            h = h * accept;
            for (int i = 0; i < n; i++) Z[i] = (1 - trace) * Y[i] + trace * Z[i];
        } else {
            h = h * reject;
        }
        if (h < 1e-14 || testsig()) break;
    }
    myrelease(&Y);
    prt(_putformat, "h", h);
    h = h / ((double)n * n);
    return f;
}
