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

// ---- Volume roots and phases ----
void setEps();                                        // checks prec and order, fills Eps
int EOS(double V[5], double p, double T, double x);   // roots in ascending V; their number
int allG(double G[5], double V[5], double p, double T, double x);  // roots ordered by sortg
double GV(double p, double V, double T, double x);    // A + pV
double Pd(double V, double T, double x);              // -dA/dV by numerical differentiation
int setI(int* index, double p, double T, double x);   // index of the root of lowest G
int setIaz(double p, double T, double x, int ordered, double V[5]);  // I.x, I.xx by G

// ---- Gibbs energy and its numerical derivatives (steps from Eps, order Order) ----
double G(int i, double p, double T, double x);        // G of root i
// dG/dp (which 0), dG/dT (1) or dG/dx (2) of every root, following the roots across the
// stencil; G and V of the roots at the centre; returns the number of roots
int alldGdpTx(double dG[5], double G[5], double V[5], double p, double T, double x, int which);
double dGdx(int i, double* Gout, double p, double T, double x);  // dG/dx of root i
int alld2Gdx2(double d2G[5], double V[5], double p, double T, double x);  // of every root
double d2Gdx2(double p, double T, double x);          // derivatives of root I.x
double d3Gdx3(double p, double T, double x);
double d4Gdx4(double p, double T, double x);
double d5Gdx5(double p, double T, double x);
double dPdV(double V, double T);                      // at composition x_d
double d2PdV2(double V, double T);                    // at composition x_d
double dPdx(double V, double T, double x);            // at fixed V and T
double rdiff3(const double f[4]);                     // 3h times a one-sided derivative
void interp(double f[4], int type);                   // fills the interior values of f
void clearforT();                                     // forT = 0, with a notice
