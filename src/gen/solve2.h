// solve2.h: roots of two equations in two unknowns without derivatives.
#pragma once

// An equation of the pair: its value at (x, y).
typedef double (*Solve2Func)(double x, double y);

// Finds (x, y) with f = g = 0, starting from *x, *y inside the box [xmin, xmax] x [ymin, ymax],
// on the scale of the positive steps dx, dy. |maxit| bounds the iterations; maxit > 0 prints a
// trace line per step. method: 0 auto, 1 (or -1) secant planes, 2 nested secants (inner f on x,
// outer g on y), -2 the same with f and g exchanged.
// Result: 0 root found (stored into *x, *y); -1 iteration limit or the newest point left the
// box; -2 an inner nested iteration failed; -3 bad method. On failure *x and *y are unchanged.
// g is only ever evaluated right after f at the same point.
int Solve2(Solve2Func f, Solve2Func g, double* x, double xmin, double xmax, double dx, double* y,
           double ymin, double ymax, double dy, int maxit, int method);

// Printable name of a method number ("none" for an unknown one).
const char* Solve2Name(int method);
