// qordata.cpp: the user variables with their defaults, data entry over them with its checks
// and corrections, and the status display.
#include "qor/qor.h"

const char* qorversion = "5.72";

int key = 99;
int history = 3;
int red = 0;
int msglev = 23;
TpV ref = {1, 1, 1};
double maxpack = 1;
double minT = 0;
int res = 0;
int tvp = 0;
int pred = 0;
int pline = 0;
double aspect = 2;
int forT = 0;
double q = 1;
double qq = 1;
int predlevel = 3;
double dpredq = 6;
int solve = 2;
int trace = 22;
double ipred = 0.8;
int bump = 0;
int sort = 1;
int pn = 4;
int stable = 1;
double psun = 0.01;
int allv = 0;
int minkey = 0;
int minpar = 0;
double pexp = 6;
int maxit = 25;
double x = 0, y = 1, z = -1, w = -1;
int gr = 1;
int n = 25;
int zoom = 0;
double x0 = 0, x1 = 1;
double dx = 0;
double eps = 2.3;
double deps = 6;
double deps2 = 12;
double prec = 7;
int order = 4;
double T = 1;
double V = 1;
double p = 1;
int roots = 2;
int solve2 = 1;
double aux = 0;
double Ttvp = 0;
int diagram = 3;
double minV = 0;

double vs[5] = {1, 1, 1, 0, 0};
TpV crit = {1, 1, 1};
int s2maxit = -25;
int oldkey = 99;
int nres = 0;
