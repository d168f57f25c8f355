// qmin.h: the simplex and Newton-Raphson minimizers and the parabolic step on a bracket.
#pragma once

// An objective: its value at the n variables x, which it must leave unchanged.
typedef double (*MinFunc)(double* x);

// Simplex search from x (the initial simplex scales each coordinate by a factor just above 1,
// so a zero coordinate gets no extent). x out: the best vertex. Result: 0 the simplex size
// fell to eps; -1 steps iterations used up; -2 interrupted (-3 both). If fbest is given it
// receives the value at the returned x.
int amoeba(int n, double* x, MinFunc U, double eps, int steps, double* fbest = nullptr);

// Newton-Raphson on a difference Hessian with step d, with a line search along the Newton
// direction; repeats while the best point moves by more than eps, at most maxit times.
// x out: the best point seen. Returns the best value seen.
double NRminimize(int n, double* x, MinFunc U, double d, double eps, int maxit);

// One point of a bracket for qmin_end.
struct bracket {
    double x;   // abscissa
    double f;   // function value there
    int count;  // evaluations of f at this x; 0: still to be evaluated
};

// The next abscissa of a one-dimensional minimum search on three records ascending in x:
// the vertex of the parabola through them, or a jump beyond an end. Stores it into *xnew and
// into the record it replaces (count 0) and re-sorts. Returns the smallest distance of the
// new abscissa to the old ones, or 9e9 after a jump. flag = 0 asks for the wider jump.
double qmin_end(double* xnew, bracket t[3], int flag);
