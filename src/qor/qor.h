// qor.h: the program's user variables, the state of the main loop and of line tracing, and
// the procedures of the driver (start-up, data entry and status display, key dispatch).
#pragma once
#include <cstdio>

#include "qor/qorap.h"
#include "qor/qorfunc.h"

extern const char* qorversion;  // "5.72"

// A point in reduced units: the units in which T, p and volumes are shown and entered.
struct TpV {
    double T, p, V;
};

// ---- User variables (offered to data entry in this order; see GetData) ---------------------
// The model parameters s1, s2, epsX, body1, a1, a2, aX, body2 live with the equation of state.
extern int key;          // the computation to run
extern int history;      // number of history images kept; 0 none
extern int red;          // nonzero: T, p and volumes are shown relative to ref
extern int msglev;       // message bits
extern TpV ref;          // reference point of the reduced units
extern double maxpack;   // largest density of the root search, relative to 1/b(x)
extern double minT;      // lower bound of T for the solvers
extern int res;          // every res-th successful point goes to the res-file; 0 none
extern int tvp;          // extra output of the res-file writer: 0, 1 or 13
extern int pred;         // prediction of the next traced point; negative starts with a ramp
extern int pline;        // the variable "line": 0 single points, 1 step, n follow n, <0 no limit
extern double aspect;    // threshold for switching a traced line between T and p steps
extern int forT;         // nonzero: T is stepped and p is the unknown
extern double q;         // multiplicative step of a traced line
extern double qq;        // growth exponent of the step
extern int predlevel;    // number of ramp steps of a line started with negative pred
extern double dpredq;    // first ramp step in units of eps
extern int solve;        // code of the model parameter solved for at global points
extern int trace;        // code of the model parameter stepped along global lines
extern double ipred;     // exponent of the prediction tolerance eps^ipred
extern int bump;         // search for a bump of G in three-phase searches
extern int sort;         // phase assignment; 1 resets the root indices before each computation
extern int pn;           // initial steps of the volume-root search
extern int stable;       // unstable solutions: 1 reject, 0 accept, -1 only unstable; 2 (key 22)
extern double psun;      // kept in images only
extern int allv;         // keep mechanically unstable roots too
extern int minkey;       // minimization method, -1..9
extern int minpar;       // option of the global-point searches
extern double pexp;      // exponent of the global-point searches
extern int maxit;        // iteration limit of the solvers
extern double x, y, z, w;  // compositions of the first to fourth phase
extern int gr;           // setting of the G(x) explorer
extern int n;            // points of the explorer's curves and of the plot files
extern int zoom;         // zoom state of the G(x) explorer
extern double x0, x1;    // composition range of the explorer
extern double dx;        // composition shift of the critical-point retries
extern double eps;       // convergence tolerance (>= 1: digits relative to prec)
extern double deps;      // tolerance setting of the global-point searches
extern double deps2;     // second tolerance setting of the global-point searches
extern double prec;      // relative precision of function values (> 0.1: multiple of realprec)
extern int order;        // order of numerical differentiation: 0, 2 or 4
extern double T;         // temperature (absolute units except during data entry)
extern double V;         // the first volume as entered and shown
extern double p;         // pressure
extern int roots;        // how many volume roots to look for, at most 3
extern int solve2;       // method of the two-equation solver
extern double aux;       // free variable for the user's expressions
extern double Ttvp;      // temperature handed to the res-file writer
extern int diagram;      // 0 T:x, 1 p:x, 2 p:T, 3 global phase diagram
extern double minV;      // b(x) in units of crit.V, refreshed by every status display

// ---- State beside the user variables -------------------------------------------------------
extern double vs[5];     // volume roots of the last computed point; vs[0] is the guess V
extern TpV crit;         // units of display: ref when red is nonzero, else (1, 1, 1)
extern int s2maxit;      // iteration limit handed to the two-equation solver
extern double realprec;  // effective machine precision, measured at start-up
extern int oldkey;       // key before the last data entry
extern int nres;         // res-file point counter

// ---- Streams, files and command-line switches ----------------------------------------------
extern FILE* oldin;        // base input of data entry: the terminal or the batch data file
extern FILE* img;          // the image file while it is read or written
extern char userfile[32];  // data-file prefix "qor.***"; the extension is written at fileext
extern char* fileext;      // just after the dot of userfile
extern char* resfile;      // name of the res-file
extern int ansi;           // console colour mode
extern int mouse;          // use the mouse in the graphics window
extern int removenl;       // help lines are cut after this many characters
extern int reverse;        // byte-order reversal of image files
extern int batchmode;      // 1 in batch mode

// ---- Main loop and line tracing ------------------------------------------------------------
struct State6 {
    double T, p, x, y, z, w;
};
struct GlobState {
    double trace, solve;
};
extern State6 old;          // the state saved before each computation
extern State6 pr;           // the previous point of a traced line
extern GlobState oldgl;     // traced and solved parameter before each computation
extern GlobState prgl;      // the same at the previous point of a global line
extern int failed;          // failures since the last recovery
extern int keybackto01;     // explorer key to return to; -4321 none
extern int nfollow;         // points of the followed line; 0 none, <0 unlimited
extern int ifollow;         // index of the current point of the followed line
extern double oldq, oldqq;  // the user's step saved while a line is followed
extern int oldpred, oldres; // the user's pred and res saved while a line is followed
extern char qor01info[40];  // status text of the explorer: a colour byte, then the text
extern int lastkey;         // the explorer's last key (kept in images)

// The drawing state of the explorer and the viewer (kept in images).
struct GrStat {
    int dot, lbl;
    double step;
};
extern GrStat grstat;

// ---- Procedures ----------------------------------------------------------------------------
void GetData();             // one data entry over all user variables, then the checks
void checkindices();        // root indices and history length kept within their ranges
void PutData();             // the status display
const char* diagraminfo(int flag);
void prtparm(FILE* stream);
int SwitchKey();            // -1 failed, 0 point computed, 1 data entry, 2 dispatch again
void predictpTx(double r);
void prtlineinfo();
[[noreturn]] void mainloop();

// The entry points of one pass of the main loop; mainloop() strings them together.
enum LoopEntry { AGAIN, GETAGAIN, KEYAGAIN };
LoopEntry again();     // failure recovery; data entry next, or the explorer's key
void getagain();       // status display and data entry
LoopEntry keyagain();  // one computation and its bookkeeping
void startup(int argc, char** argv);
