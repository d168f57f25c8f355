// cubic.h: the cubic equation of state (van der Waals, Redlich-Kwong) with four mixing rules
// for the co-volume. Helmholtz energy and pressure of the binary mixture, in model units with
// Boltzmann's constant 1.
#pragma once

// ---- Model parameters (user variables; after any change setconst() runs before evaluation) --
extern double a1, a2;    // attraction parameters of species 1 and 2
extern double aX;        // cross-attraction factor
extern double s1, s2;    // molecular diameters of species 1 and 2
extern double epsX;      // cross co-volume factor of the quadratic mixing rules
extern int body1;        // equation of state: 1 van der Waals, 2 Redlich-Kwong
extern int body2;        // co-volume mixing rule: 1 linear, 2 quadr/aritm, 3 additive diam, 4 quadr/geom
extern double eps1, eps2, sX, axes1, axes2;  // further parameters: kept, solvable, unused here
extern const char* bodyinfo[2];              // names of the equation of state and mixing rule

// ---- Instrumentation -----------------------------------------------------------------------
extern unsigned long Pcount;  // evaluations of P since the start (read by the benchmarks)

void setconst();                          // derived constants; validates body1 and body2
double A(double V, double T, double x);   // Helmholtz energy per molecule
double P(double V, double T, double x);   // pressure
double minimumV(double T, double x);      // co-volume b(x), the smallest admissible volume
int key13(double* Vc, double* pc, double* Tc, double x);  // closed-form pure critical point
int key20(double Vc, double Tc);          // species 2 from a wanted critical volume and T
