// predict.h: linear extrapolation of dependent variables along a leading one, for solvers
// that walk a sequence of nearby solutions. Predictors nest: each pred_begin pushes a record
// and every other call acts on the newest one.
#pragma once

// Registers the caller's variables: the leading one, then up to ten dependent ones, ended by
// a null pointer (pass nullptr). Pushes a record and saves the current values once.
void pred_begin(double* lead, ...);
// Saves the current values of the newest record's variables (after an accepted solution).
void pred_save();
// After the caller has advanced the leading variable: overwrites the dependent variables with
// values extrapolated linearly from the last two saves. The first two calls after pred_begin
// only count. h damps the extrapolation of leading steps small compared with h.
void predict(double h);
// Pops and frees the newest record: 1, or 0 when there is none.
int pred_end();
