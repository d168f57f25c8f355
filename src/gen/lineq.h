// lineq.h: linear equations by Gauss-Jordan elimination with partial pivoting.
#pragma once

// Solves A sol = b over the rows and columns first .. end-1 (A is an array of row pointers).
// A and b are destroyed. Result: 0, or -1 when a pivot is zero or the solution not finite.
int GJlineq(int first, int end, double** A, double* b, double* sol);
