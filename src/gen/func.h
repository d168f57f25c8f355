// func.h: small arithmetic used throughout the numerical code.
#pragma once

inline double sqr(double x) { return x * x; }
inline double cub(double x) { return x * x * x; }
inline double pow4(double x) { return sqr(x * x); }
inline double pow5(double x) { return pow4(x) * x; }
inline double pow6(double x) { return sqr(x * x * x); }
double powi(double x, int n);  // x to the integer power n by square-and-multiply
// v truncated toward zero as an int variable takes it: limited to the int range, 0 for NaN
// (a plain conversion of a value out of range is undefined).
int toint(double v);

// Larger and smaller of two values; a NaN in the first argument wins in dmax and loses in
// dmin. (The C library owns the names fmax and fmin, with other NaN rules.)
inline double dmax(double a, double b) { return a < b ? b : a; }
inline double dmin(double a, double b) { return a < b ? a : b; }
