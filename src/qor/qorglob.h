// qorglob.h: model-parameter codes, the secant step on a model parameter, the checks of the
// global-solver variables and the res-file column table.
#pragma once

extern double* addrtosolve;  // the parameter named by solve (set before every computation)
extern double* addrtotrace;  // the parameter named by trace
extern const char* nextsep;  // marker of secant steps on a parameter other than solve

// One column of the res-file.
struct ParmColumn {
    int code;            // parameter code, when the column shows a parameter
    double* value;       // the value shown
    const char* name;    // label in the column header
    const char* format;  // printf conversion for one double
};
extern ParmColumn parms[8];  // x, parameter columns 1-4, T, p, densities

double* tosolve(int code);
const char* solveinfo(int code);
int whichsolve(const char* name);
void setparm(const char* option);
void setparms();
void globchecks();
void solveistrace();
int nextglobsecant(double* par, double f, double* fold, double* dpar, double tol);
