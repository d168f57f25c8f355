// qoreq.h: the conditions of critical points and azeotropes of the binary mixture, written as
// equation functions for the two-equation solver, and the point solvers built on them.
#pragma once

// ---- State of the equation functions -------------------------------------------------------
// Which two of p, T, x the azeotrope functions azeq1..azeq4 take as arguments: 0 (T, x),
// 1 (p, x), 2 (p, T); any other value leaves the current point unchanged.
extern int azeqkey;
// The model parameter that eqd2Gdx2glob varies (set by the global solver).
extern double* CLglob;

// ---- Composition scales --------------------------------------------------------------------
double Xeps(double x);               // x(1 - x) eps: the composition step scale
int XisX(double a, double b, int c); // 1 when a and b are one composition (larger c: looser)

// ---- Equation functions (a, b) -> value; the fixed coordinates come from p_d, T_d, x_d -------
// Critical point: d2G/dx2 = 0 and d3G/dx3 = 0 for the root I.x.
double eqd2Gdx2(double a, double x);     // a is p (forT nonzero) or T, written into p_d or T_d
double eqd3Gdx3(double a, double x);     // a ignored; at p_d, T_d
double eqd2Gdx2glob(double a, double x); // a stored into *CLglob, then setconst()
double eqd3Gdx3glob(double a, double x); // a ignored
double eqd2Gdx2pT(double p, double T);   // at x_d
double eqd3Gdx3pT(double p, double T);   // at x_d
// Two phases I.x at x and I.y at y: the tangent of one passes through the G of the other.
double eq1(double x, double y); // fills der
double eq2(double x, double y); // from der, which must come from eq1 at the same point
// Azeotrope of the roots I.x and I.xx: Delta = G[I.x] - G[I.xx] and its x-derivatives.
double azeq1(double a, double b); // Delta
double azeq2(double a, double b); // -dDelta/dx
double azeq3(double a, double b); // d2Delta/dx2
double azeq4(double a, double b); // d3Delta/dx3
// Azeotrope at the pure end x_d (0 or 1), arguments p and T; one-sided differences.
double azvle1(double p, double T); // Delta; leaves dDelta/dx in der.dGx, p and T in der.x, der.y
double azvle2(double p, double T); // der.dGx, which must come from azvle1 at the same point
double azvle3(double p, double T); // d2Delta/dx2

// Difference formulas of the azeotrope functions, at the given order (2 or 4).
// Central: d[j + 3] = f(x + j h), j = -3..3; the k-th derivative (k = 1..3) at x.
double centraldiff(int k, int order, const double d[7], double h);
// One-sided: d[i] = f(x + i h), i = 0..order+1; the k-th derivative (k = 1, 2) at x.
double onesideddiff(int k, int order, const double d[6], double h);

// ---- Point solvers: 0 on success; on failure the start values are left unchanged ---------
// Critical point of the mixture from *p, *T, *x (p or T kept by forT). Non-zero: the solver's
// code, or 1 for a solution rejected by stable (which is still written back).
int solvecrit(double* p, double* T, double* x);
// Azeotrope of the mixture (0 < *x < 1). Non-zero: the solver's code, -1 when the phases are
// lost at the solution, 1 for a rejected solution (still written back).
int solveaz(double* p, double* T, double* x);
// Critical azeotrope at T and x from the roots at p; V receives the roots, V[0] the critical
// volume. 1 on failure, with V, T and x unchanged.
int critaz(double* V, double* T, double* x, double p);
// Azeotrope that ends at the pure species x (0 or 1): the solver's code.
int azendvle(double* p, double* T, double x);
