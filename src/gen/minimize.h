// minimize.h: minimization of a function of several variables; the driver Minimize with
// steepest descent, conjugate gradients and Monte Carlo (simplex, Newton-Raphson, linear
// equations and the parabolic step come with it).
#pragma once
#include "gen/lineq.h"
#include "gen/qmin.h"

// ---- State carried from call to call (written by the minimizers only) ----------------------
extern double minstep;  // step length of descent and Monte Carlo; 1e-4 at start
extern double minrnd;   // phase in [0, 1) of the quasi-random extrapolation factors; 0 at start

// Minimizes U over x (start in, result out) with method -1 steepest descent, 0 simplex,
// 1 conjugate gradients, 2 Newton-Raphson, 3 Monte Carlo. steps: iteration budget, eps:
// tolerance, hstep: differentiation step; mcpar > 0 runs once, otherwise the run is repeated
// with extrapolation between runs, and |mcpar| is the Monte Carlo parameter.
// Result: 0 converged; 1 the value is still above eps (or interrupted after the first run);
// 2 a repeated run gave exactly the value before; -1..-3 as amoeba.
int Minimize(int method, int n, double* x, MinFunc U, int steps, double eps, double hstep,
             double mcpar);

// Printable name of a method number ("none" for an unknown one).
const char* MinimizeName(int method);

// nsd steepest-descent steps, then ncg conjugate-gradient steps, on central-difference
// gradients of step dh. x out: the result. Returns U there.
double minimize(int n, double* x, MinFunc U, double dh, int nsd, int ncg);

// Monte Carlo minimization with nsteps random trials (the C library's rand, so srand fixes
// the path); the step grows by accept after a success and shrinks by reject after a failure;
// trace is the memory of the drift point. x out: the best point. Returns U there.
double MCminimize(int n, double* x, MinFunc U, int nsteps, double accept, double reject,
                  double trace);
