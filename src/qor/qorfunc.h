// qorfunc.h: volume roots of the equation of state, the phases they stand for, the Gibbs
// energy and its numerical derivatives.
#pragma once

// Tolerances derived from prec, eps, order and ipred; written only by setEps().
struct EpsRecord {
    double sq;        // sqrt(prec): two densities closer than this are one root
    double xlo, xhi;  // composition bounds the solvers may move to
    double pred;      // predictor tolerance factor eps^ipred
    double root;      // relative tolerance of the root refinement
    double d[7];      // relative step of a k-th numerical derivative
};
extern EpsRecord Eps;
extern int Order;  // working differentiation order, 2 or 4

// Which volume root is the phase of each composition (user-visible as I.x ... I.w).
struct RootIndex {
    int x, xx, y, z, w;
};
extern RootIndex I;
extern int sortg;  // order of the roots returned by allG: >0 by G, 0 by V, <0 by descending V

// The point being solved: coordinates the equation functions do not take as unknowns.
extern double p_d, T_d, x_d, V_d;

// Results exchanged by the equation functions of the solvers.
struct DerRecord {
    double x, y, dGx, dGy, Gx, Gy;
};
extern DerRecord der;
struct TangRecord {
    double x, G, slope;
};
extern TangRecord tang;

extern double gs[5];  // Gibbs energies of the roots of the last display evaluation
extern int nv;        // number of those roots

void setEps();
int EOS(double V[5], double p, double T, double x);   // roots in ascending V; their number
int allG(double G[5], double V[5], double p, double T, double x);
double GV(double p, double V, double T, double x);
double Pd(double V, double T, double x);              // -dA/dV by numerical differentiation
int setI(int* index, double p, double T, double x);
int setIaz(double p, double T, double x, int ordered, double V[5]);
void clearforT();
