#!/usr/bin/env python3
"""Write the help file qor.k99 (code page 437) and check its format.

Run from anywhere:  python3 data/mkhelp.py        (writes data/qor.k99, then checks it)
                    python3 data/mkhelp.py --check (checks the existing file only)

The text lives here because the file is code page 437 with box-drawing bytes in the key
table, which ordinary editors tend to mangle. Edit the text below, run the script, commit
both files.
"""
import os
import re
import sys

VERSION = "5.72"
HERE = os.path.dirname(os.path.abspath(__file__))
TARGET = os.path.join(HERE, "qor.k99")

# ---- The key table: every key the dispatcher knows, column by column ascending ------------

KEYS = [
    (-99, "exit qor"), (-77, "bell"), (-66, "list keys"), (-55, "view res-file"),
    (-33, "read res+parms"), (-29, "read eol.img"), (-22, "undo (history)"),
    (-20, "read bol.img"), (-19, "solve<->trace"), (-13, "res no headers"),
    (-12, "res parms+hdr"), (-11, "res header"), (-10, "write with key"),
    (-9, "save image,exit"), (-8, "run key-8"), (-7, "run sortres"), (-6, "run q"),
    (-5, "run qorpt"), (-4, "shell"), (-3, "read res state"), (-2, "read image"),
    (-1, "write image"), (0, "G(x) explorer"), (1, "dG/dx explorer"), (2, "critical line"),
    (3, "CP pure/crit.az"), (4, "current state"), (5, "2-phase equil."), (6, "azeotrope/VLE"),
    (7, "3-phase line"), (8, "azeotr.end point"), (9, "crit. end point"),
    (10, "check P=-dA/dV"), (11, "do nothing"), (12, "CL flat at CP"),
    (13, "CP pure (exact)"), (14, "tricrit. point"), (15, "CP at given p,T"),
    (16, "CEP with y=x"), (17, "quadruple point"), (18, "az. double EP"),
    (19, "crit. double EP"), (20, "set Tc,Vc of 2"), (21, "fit CP of sp.2"),
    (22, "CL extremum"), (23, "pure az.pt T/p"), (24, "critical cusp"),
    (25, "quintuple point"), (26, "pure CP dP/dx=0"), (27, "3PL double EP"),
    (28, "AEP dT/dp=0"), (29, "CEP dT/dp=0"), (32, "CEP at T or p"),
    (33, "pure CP as ref"), (34, "azeotr. cusp"), (36, "crit.az.end pt"),
    (37, "double pure az"), (38, "AEP+4th phase"), (39, "CEP+4th phase"),
    (43, "crit.az.cusp"), (44, "az.saddle point"), (46, "pure az. cusp"),
    (48, "az.cusp end pt"), (49, "double az.cusp"), (61, "CEP y=x+3rd ph"),
    (64, "tricrit.end pt"), (66, "crit.az.EP+3ph"), (68, "az.dbl EP+3ph"),
    (69, "cr.dbl EP+3ph"), (70, "az=az equil."), (71, "az=crit equil."),
    (72, "crit=az equil."), (73, "crit=crit equil"), (80, "az x az cross"),
    (81, "az x crit cross"), (82, "crit x az cross"), (83, "crit x crit"),
    (99, "help"), (100, "isotherm->gnu"), (101, "excess->gnu"),
]

ROWS, COLS, CELL = 21, 4, 18

# The keys of the flag table: each must have a cell in the key table.
FLAGGED = [2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19, 22, 23, 24, 25, 26, 27,
           28, 29, 32, 34, 36, 37, 38, 39, 43, 44, 46, 48, 49, 61, 64, 66, 68, 69, 70, 71,
           72, 73, 80, 81, 82, 83]

# The user variables in the order data entry offers them.
VARIABLES = """s1 s2 epsX body1 a1 a2 aX body2 key history red msglev ref.T ref.p ref.V maxpack
minT res tvp pred line aspect forT q qq predlevel dpredq solve trace ipred bump sort pn stable
psun allv minkey minpar pexp maxit x y z w gr n zoom x0 x1 dx eps deps deps2 prec order T V p
roots I.x I.xx I.y I.z I.w solve2 aux Ttvp diagram minV""".split()


def keytable():
    """The border line and the 21 rows; cells column by column, numbers ascending."""
    cells = ["%d=%s" % kn for kn in KEYS]
    for c in cells:
        assert len(c) <= CELL, "cell too wide: " + c
    cells += [""] * (ROWS * COLS - len(cells))
    top = "\u250c" + "\u252c".join(["\u2500" * CELL] * COLS) + "\u2510"
    rows = []
    for r in range(ROWS):
        row = [cells[c * ROWS + r].ljust(CELL) for c in range(COLS)]
        # The blank after the closing bar keeps a fifth token on the line even for a
        # reader that drops the line end.
        rows.append("\u2502" + "\u2502".join(row) + "\u2502 ")
    return [top] + rows


# ---- The text. "@page" lines separate pages; "{KEYTABLE}" is replaced by the table. ----------

TEXT = r"""@QOR 5.72
QOR 5.72: phase behaviour of binary fluid mixtures
qor computes critical points, azeotropes, two-, three- and four-phase
equilibria and their end points for a binary mixture whose species obey a
cubic equation of state (van der Waals or Redlich-Kwong, four mixing rules
for the co-volume). It follows them as lines in the p-T plane and finds the
special points of the global phase diagram (GPD), which exist only for
special values of one or two model parameters.
Before every computation qor shows the status display and reads data:
  ID=EXPR    assign, e.g.  T=0.9 x=0.25 key=2   (also +=  -=  *=  /=  ^=)
  ID         show a value;   EXPR  evaluate, e.g.  2*pi  sqrt(T)  #+1
  ;          end of data: run the computation selected by key
  ?          data-entry help      ??  list all variable names
  !          comment up to the end of the line
  $          scroll back the output ($? help, $t top, $/TEXT find, $q quit)
  key=99;    this help            key=-99;  save exit.img and leave qor
Help prompt: a variable name (maxit, q, ...), a key number (2, -99),
  key (key overview), new (changes), sys (system notes), ? (whole help
  file), . (quit). Pages: Enter next, u up, t top, k keyword, q quit.
Units: Boltzmann's constant is 1; T, p and volumes are shown in units
  of ref.T, ref.p, ref.V when red=1 (see red, key=33).
@page
new: changes since previous versions
  5.72  first release of this implementation.

sys: system-specific notes (Unix; X11 display for the graphic screens)
Environment:
  QOR       directory of the help file qor.k99, searched when it is not
            in the current directory; default: the program's directory
  SCROLL    window of the scroll-back pager ($), e.g. L40C100 gives 40
            lines and 100 columns
  MOUSEMAP  X buttons serving as left, middle and right button (default
            123; 321 swaps left and right)
  PRTSCR    file written by the screen dump (@ in the graphic screens);
            default prtscr.ppm (PPM) or prtscr.ps (PostScript)
Files in the current directory:
  qor.def   default data, read as if typed when qor starts interactively
            without a system name
  qor.res   the res-file (see res); NAME.res in batch mode, or -o FILE
  exit.img  written by key=-99; continue with  qor exit
  bol.img, eol.img, history0.img ...  images (keys -20, -29, -22)
  gnu       tables of key=100, key=101 and of the explorer with gr=0
@page
Batch mode:  qor -s-1 NAME     (-s-2 or less appends to the listing)
  needs NAME.img (the start state, e.g. written by key=-1 or key=-9)
  and NAME.get (data as typed at the terminal, ending with key=-99;),
  writes the listing NAME.prt and the res-file NAME.res (or -o FILE).
  No colours, no questions; nothing waits for a terminal.
  Exit status: 0 after key=-99; 255 (-1) after a failed computation;
  1 or 2 after an error report (also when NAME.get ends without
  key=-99); 100 after an unknown name or bad expression in NAME.get.
  Keys 0 and 1 (the explorer) end a batch run with an error.
  A first interrupt (^C or SIGTERM) stops the running iterations; a
  second one before the next computation ends the run (status 0).
Example NAME.get (20 points of a critical line from the state of
NAME.img, written to NAME.res):
  key=2 line=20 pred=-1 q=1.01 res=1;
  key=-99;
Interrupt (^C) in an interactive run asks:  a abort,  i interrupt the
  iterations (also ends a followed line),  r resume,  e exit,
  j jump to data entry (dangerous),  s scroll back.
@page
Command line:  qor [options] [NAME]
  NAME      start from the image NAME.img (with ? or * a file menu);
            without NAME an interactive run reads qor.def
  -aN       colours: 0 none, 1 ANSI colours, 2 for a light background,
            3 bold/reverse only (default); negative N: not bold
  -b COLOR  background of the graphics window (default black)
  -cTEXT    prefix of comment lines in the res-file and gnu (default #)
  -g GEOM   geometry of the graphics window (default 640x480)
  -kD=CMD   command of key -D, D=4..8; e.g. -k6=vi makes key=-6 run
            vi qor.res, and -k4=bash makes key=-4 start bash
  -mN       mouse: 1 on (default), 0 off
  -nN       help pager: cut lines after N characters (10..81)
  -oFILE    res-file name (also -o FILE); default qor.res, batch NAME.res
  -pC=PAR%FMT  res-file column C (T p x r 1 2 3 4) shows the parameter
            PAR with the printf format FMT, e.g. -p1=s1%9.6f (or
            -p1=s1/9.6f); default columns 1-4: aX a2 s2 and a constant 0
  -rN       byte-swapped images: 1 the start image only, 2 all images
  -sN       scroll-back buffer of N KiB (default 100; 0 none);
            N<0 batch mode (see sys)
  -tN       idle seconds after which the graphics wait for events
@page
key: what runs when data entry ends with ;  (type a number for details)
Commands:  -99 exit (saves exit.img)  -9 save image and exit
  -1/-2 write/read image   -22 undo   -20/-29 read bol.img/eol.img
  -3/-33 state (and parameters) from the res-file   -55 view res-file
  -10..-13 res-file writing   -19 swap solve,trace   -66 list keys
  -4 shell   -5..-8 programs on the res-file   -77 bell   99 help
Explorer:  0 G(x)   1 dG/dx    Also:  4 current state  10 check P  11 none
p-T lines:  2 critical   5 two phases at given p and T   7 three phases
  6 azeotrope (pure species: vapour-liquid equilibrium)
p-T points:  3 CP of a pure species or critical azeotrope
  8 azeotropic end point   9 critical end point   13 pure CP, exact
  17 quadruple point   22 extremum of the critical line
  24 critical cusp   34 azeotropic cusp   80-83 crossing of two lines
GPD lines:  one parameter (solve) is solved for:  12 14 15 16 18 19
  23 25 26 27 28 29 32 36 37 38 39 43 44 46 48 49
GPD points:  two parameters (solve, trace):  61 64 66 68 69 70-73
Species 2:  20 set to given Tc, Vc   21 fit its critical point
  33 pure CP as reference     Tables:  100 isotherm   101 excess
diagram=0, 1 accept only p-T line keys, 2 no GPD keys, 3 every key.
The next page lists every key with the name used in key lists and files.
@key
{KEYTABLE}
@page
key=-99: exit: writes the whole state to exit.img and ends qor (status
    0). Continue later with  qor exit.
key=-9: asks for an image name (.img is added), writes the image and
    ends qor.
key=-1: asks for an image name and writes the whole state (parameters,
    point, tracing state, settings) to it; asks before overwriting.
    Read it with key=-2, or start with  qor NAME.
key=-2: asks for an image name and reads the state from it; a name with
    ? or * opens a menu of the matching .img files.
key=-20: reads bol.img, written by B (begin line) in the G(x) explorer.
key=-29: reads eol.img, written by E (end line) in the G(x) explorer.
key=-22: undo: restores the state before the last computation (from
    history0.img); once more for the one before, and so on (see
    history).
key=-19: exchanges the codes solve and trace (the solved and the traced
    model parameter of the GPD keys).
key=-77: rings the terminal bell.
key=-66: lists the external-command keys and the keys of phase points:
    name, number of phases, C critical, A azeotrope, f degrees of
    freedom (1 p-T line, 0 p-T point, -1 GPD line, -2 GPD point).
@page
key=-55: shows the res-file in the graphics window: T:x, p:x, p:T or,
    with diagram=3, the parameter solve against trace. Lines and
    special points are coloured by key; a cross marks the current state.
    Drag with the left button for a new range, click to place the
    cross, which sets the variables of the axes (e.g. T and p).
    + - zoom   x X y Y one axis   cursor keys move the view   4 6 2 8
    move the cross   c cross to the centre   u undo the cross   i first
    scale   r reload   space g line colours   l b labels   d D dots
    % swap axes (GPD)   @ screen dump   Esc Enter e or right button quit
    Any other key shows this list and the legend.
key=-3: reads the res-file and takes T, p, x, y, z, w and the volumes
    from its last data line (continue a study where it stopped).
key=-33: as key=-3, and also the model parameters named in the column
    header of the res-file (by default aX, a2, s2).
key=-13: the next lines written to the res-file get no headers.
key=-12: the next line written gets the parameter block and the header;
    also sets line=0, q=1.
key=-11: the next line written gets the header; also line=0, q=1.
key=-10: asks "write with key" and writes the current state as a line of
    that key (-99: nothing is written).
@page
key=-4: starts an interactive shell (csh, or the command of -k4=CMD);
    type exit to return to qor.
key=-5: runs qorpt RESFILE (or the command of -k5=CMD).
key=-6: runs q RESFILE (or the command of -k6=CMD).
key=-7: runs sortres RESFILE (or the command of -k7=CMD).
key=-8: runs key-8 RESFILE (or the command of -k8=CMD).
    These programs are not part of qor. The graphics window is closed
    first, the return code is printed, and then line=0 and q=1.
key=99: this help; key keeps its value from before the data entry.
key=100: isotherm: the pressure P(rho) of the equation of state at T
    and x for n densities between 0 and maxpack/b(x), to the file gnu.
key=101: excess functions of mixing at p and T: Gexcess, T*Sexcess,
    Hexcess and Vexcess at x = 0, 1/n, ..., 1, to the file gnu (use
    sort=1).
key=11: does nothing (back to data entry).
key=10: checks the equation of state: prints P and the numerical
    -dA/dV at V, T, x and their relative error; p becomes P(V,T,x).
key=4: no computation: the current state counts as a computed point,
    so its volume roots are listed and, with res, it is written to the
    res-file. Never traced.
@page
key=0: G(x) explorer (X11): G of every volume root (phase) against x at
    the current p and T, tilted by the chord between x0 and x1 so that
    common tangents show; markers x, y, z, w with their tangents.
    Change p, T (keys P p T t), q, the traced parameter (G g) and the
    settings; zoom and pan; then choose the computation with one key:
    c critical point, a azeotrope, 2 two phases, 3 three phases,
    4 quadruple point, C critical end point (pure species: its critical
    point), A azeotropic end point, v VLE of a pure species, k key menu,
    K the last key again. After the computation the explorer returns.
    Esc goes back to data entry; h or ? lists the keys. Not in batch
    mode. With gr=0 the curves go to the file gnu as text instead.
key=1: the same with dG/dx of every root; coexisting phases have equal
    dG/dx. The space bar switches between key 0 and key 1.
@0
G(x) EXPLORER, main screen  (key 0 G(x) tilted, key 1 dG/dx)
Leave and compute (the explorer comes back afterwards):
 c critical point   a azeotrope   2 two phases   3 three phases
 4 quadruple point  C crit. end point (x=0 or 1: critical point)
 A azeotr. end point   ` critical azeotrope   v pure-species VLE
 K last key again   k key menu   % swap solve and trace
 ! shell   e key -6   Esc back to data entry   Ctrl-C exit qor
View: + - zoom   , . < > pan   i range 0..1   Enter restore range
 _ more room above   R redraw   Y colour of root 0   space G/dG
 mouse: drag on the plot = rescale (down) or zoom to (up); wheels
Markers: x y z w, range ends 0 1 ([ ]), G limits m M: then move
State: P p  T t  G g  multiply/divide p, T, parameter by step
 J j  step squared/root   Q q  q squared/root   I  q=1/q
 O  q=1 and back   ^  cycle qq   f  switch forT   L  all roots
 U  undo   B  begin line (pred=-1 line=1 q=1.01 res=1, bol.img)
 E  end line (line=0 q=1 res=0, writes eol.img)
 : ;  view the res-file   @ and a key: screen dump (m PPM, p PS)
Toggles: space key   = res   D diagram   N line   r pred   # pn
 n n   s sort   d dot   S stable   l labels   b bump   o order
@page
key=2: critical line: a critical point of the mixture (d2G/dx2 =
    d3G/dx3 = 0) at the given p (forT=0; T and x solved) or the given T
    (forT=1; p and x solved). Start from p, T, x near the line. It is
    accepted when stable (dP/dV<0, d4G/dx4>0; see stable); "MECHANICALLY
    METASTABLE" means that another root has a lower G. dx retries from
    other compositions. Trace it with line, q and pred, e.g.
      key=2 line=20 pred=-1 q=1.01 res=1;
key=3: critical point of a pure species when x=0 or x=1: a numerical
    search on the equation of state (T is bracketed by looking for a
    van der Waals loop, then dP/dV = d2P/dV2 = 0; minpar and pn set the
    fineness). Otherwise a critical azeotrope: the critical point at
    fixed x with also dP/dx = 0 (T, x and V solved).
key=33: as key=3 at x=0 or 1, and sets ref.T, ref.p, ref.V to that
    critical point; with red=1 T, p and V are then shown relative to
    it. key becomes 3. For a mixture: "must x=0 or 1".
key=13: critical point of a pure species in closed form (x=1 species 1,
    x=0 species 2); sets T, p, V and key=3, so that the next data entry
    can refine it numerically.
key=20: sets s2 and a2 so that species 2 has the critical temperature T
    and the critical volume V (needs s1=1, a1=1); prints the new values.
    key becomes 0 (1 on failure).
@page
key=5: two phases x and y in equilibrium at the given p and T (common
    tangent of G). Start x and y on both sides of the two-phase region.
    Fails when x and y fall onto one phase (sort=1) or, by stable, when
    a phase is unstable. In diagram=0 or 1 a traced key=5 line gives
    isobaric T-x or isothermal p-x curves (qor sets forT).
key=6: azeotrope of a mixture (0<x<1): two phases (roots I.x, I.xx) of
    the same composition x with equal G and dG/dx, at the given p (T, x
    solved) or T (forT=1). Prints whether it is a POSITIVE or NEGATIVE
    azeotrope in p and in T. At x=0 or 1: the vapour-liquid equilibrium
    of the pure species (p at the given T with forT=1, else T at p).
key=7: three-phase line: x, y, z on one tangent at the given p (T
    solved) or T (forT=1, p solved). Start x, y as two coexisting
    phases and z near the third (see bump). Fails when two coincide.
key=17: quadruple point: four phases x, y, z, w on one tangent; p and
    T solved (use forT=0). Start from a three-phase point, w near the
    fourth phase.
@page
key=8: azeotropic end point: in a mixture, the end of a three-phase
    line at an azeotrope (azeotropic phase x with a further phase y);
    p, T, x and y are solved. At x=0 or 1: the point where the
    azeotropic line leaves the pure species (p and T solved).
key=9: critical end point: a critical phase x in equilibrium with a
    further phase y (a three-phase line ends on a critical line); p, T,
    x and y are solved; y starts the search of the second phase (see
    bump, ipred).
key=22: extremum of the critical line: its lowest T as a function of p
    (forT=0) or its lowest p as a function of T (forT=1), near the
    start; stable=2 finds the highest. Step deps*eps; needs at least
    six critical points.
key=24: critical cusp: minimizes the sum of squares of the scaled
    d2G/dx2, d3G/dx3 and d4G/dx4 over p, T, x (method minkey, p as
    p^(1/pexp)); prints "Minimize ret code". No parameter changes.
key=34: azeotropic cusp: an azeotrope at which also d2(dG)/dx2 = 0,
    dG being the difference of G of the two azeotropic phases.
@page
key=80: crossing in the p-T plane of two azeotropic lines, one at
    composition x and one at y.
key=81: crossing of an azeotropic line (at x) and a critical line (at
    y).
key=82: crossing of a critical line (at x) and an azeotropic line (at
    y).
key=83: crossing of two critical lines, at x and at y.
    Keys 80-83 solve p, T, x and y; start near the crossing.

GPD keys (diagram=3 only) find special points that exist only for
special values of model parameters. Keys of the one-parameter class
solve the parameter named by solve (secant steps from deps*eps; msglev
16 shows the progress); two-parameter keys also solve the one named by
trace (deps2). A GPD line is traced with line and q: each step
multiplies the trace parameter by q. After a failure both parameters
are restored. The res-file shows aX, a2, s2 by default (option -p).
@page
key=12: the critical line leaves the critical point of the pure species
    (x=1 if x>0.5, else x=0) with zero slope dT/dp (dp/dT with forT=1).
    Start from a critical point p, T, x of that line.
key=14: tricritical point: a critical point with d2G/dx2 = ... =
    d5G/dx5 = 0. minkey<=3: minimization over p^(1/pexp), T, x and the
    parameter; minkey>3: nested secant iterations.
key=15: critical point at the given p and T: solves the parameter and
    x (dx retries other start compositions).
key=16: critical end point whose second phase has the composition of
    the critical phase (y=x); needs I.y=I.xx (set by qor when sort is
    not 0). Start from a critical end point (key=9).
key=18: two azeotropic end points merge: along p (T with forT=1) the
    height of phase y above the tangent at the azeotropic end point has
    an extremum equal to zero (parabolic search, fineness minpar;
    stable=2 takes a maximum). Needs 0<=y<=1 (unless bump<0).
key=19: the same for two critical end points.
key=27: the same for the fourth phase w of a three-phase point x, y, z.
@page
key=21: fits the parameters trace and solve so that pure species 2
    (needs x=0) has its critical point at the given T and p (forT=1) or
    T and V (forT=0); minimization by minkey ("Minimize has not
    converged" when it fails). solve and trace must differ.
key=23: the azeotropic line leaves the pure species (x=0 or 1) at the
    given T (forT=1) or p (forT=0).
key=26: critical point of the pure species (x=0 or 1) at which also
    dP/dx = 0.
key=28: azeotropic end point at which the azeotropic line has
    dT/dp = 0 (sets forT=0).
key=29: critical end point at which the critical line has dT/dp = 0
    (sets forT=0).
key=32: critical end point at the given T (forT=1) or p (forT=0).
key=25: quintuple point: a fifth phase (composition aux, root I.xx)
    touches the tangent of a quadruple point x, y, z, w.
key=36: critical azeotropic end point: a critical azeotrope (key=3 in a
    mixture) at which a further phase y touches its tangent.
key=37: double pure azeotropic point: not implemented.
@page
key=38: azeotropic end point (key=8) at which a fourth phase z touches
    the tangent.
key=39: critical end point (key=9) at which a fourth phase z touches the
    tangent.
key=43: critical azeotropic cusp: not implemented.
key=44: azeotropic saddle point: an azeotropic cusp at which -d(dG)/dx
    has an extremum equal to zero along ln p (fineness minpar; stable=2
    takes a maximum).
key=46: azeotrope at a pure species (key=8 at x=0 or 1) with also
    d2(dG)/dx2 = 0.
key=48: azeotropic cusp (key=34) at which a further phase y touches the
    tangent.
key=49: double azeotropic cusp: dG and its first three composition
    derivatives are zero (dG = difference of G of the two phases at x).
key=61: the point of key=16 at which a third phase z touches the
    tangent at x.
key=64: tricritical end point: the tricritical point (key=14) at which a
    further phase y touches the tangent at x.
@page
key=66: the point of key=36 at which a third phase z touches the chord
    x-y.
key=68: the point of key=18 at which a third phase z touches the chord
    x-y.
key=69: the point of key=19 at which a third phase z touches the chord
    x-y.
key=70: two azeotropic lines (at x and at y) cross with their phases in
    equilibrium (x and y on a common tangent).
key=71: as key=70 for an azeotropic line at x and a critical line at y.
key=72: as key=70 for a critical line at x and an azeotropic line at y.
key=73: as key=70 for two critical lines.
    Keys 61-73 solve both parameters, solve and trace, which must
    differ ("solve==trace for global point").
@page
a1: attraction (energy) parameter of species 1 (default 1).
a2: attraction parameter of species 2 (default 1).
aX: cross-attraction factor (default 1): a12 = 2 aX sqrt(a1 a2), and
    a(x) = x^2 a1 + x(1-x) a12 + (1-x)^2 a2  (x = mole fraction of 1).
s1: molecular diameter of species 1 (default 1); its co-volume is
    b1 = (pi/6) s1^3.
s2: molecular diameter of species 2 (default 1); b2 = (pi/6) s2^3.
epsX: cross co-volume factor of the quadratic mixing rules (default 1).
body1: equation of state: 1 van der Waals, 2 Redlich-Kwong (default 1).
body2: mixing rule of the co-volume b(x) (default 1):
    1 linear        b = x b1 + (1-x) b2
    2 quadr/aritm   b = x^2 b1 + x(1-x) b12 + (1-x)^2 b2, b12=epsX(b1+b2)
    3 additive diam b = (pi/6) (x s1 + (1-x) s2)^3
    4 quadr/geom    as 2 with b12 = 2 epsX sqrt(b1 b2)
  With epsX=1 rule 2 equals rule 1. Other values of body1, body2 are
  reported and replaced by 1.
  Units: Boltzmann's constant is 1, T is an energy, V the volume per
  molecule. A van der Waals species with a=1, s=1 has Tc=0.5658842,
  pc=0.1350949, Vc=pi/2 (key=13 gives them for any a, s).
  solve and trace name the parameters solved for at GPD points.
@page
history: number of history images kept (default 3; 0 none). Before
    every computation with key>=2 (except 10 and 11, and not between
    the points of a followed line) and before key=-55, the state is
    saved as history0.img; the older ones move to history1.img and so
    on. key=-22 (and U in the explorer) goes back. The files stay in
    the current directory between runs.
red: reduced units (default 0). With red=1, T, p and volumes (also
    Ttvp, minV, and T, p, densities in the res-file) are shown and
    entered in units of ref.T, ref.p, ref.V; with red=0 in model units.
    A change of red or ref applies to the values entered from the next
    data entry on. key=33 sets ref to the critical point of a species.
ref.T: reference temperature of the reduced units (default 1).
ref.p: reference pressure (default 1).
ref.V: reference volume (default 1).
msglev: message bits, add the ones wanted (default 23 = 1+2+4+16):
     1 data-help line          2 solver settings; each step of a line
     4 model parameters        8 precision, roots, densities, Z
    16 progress of the multiphase and GPD searches
    32 trace of the two-equation solver, details of critical points
       and azeotropes (d4G/dx4, dP/dV)
    64 step control of traced lines (q, qq, prediction)
@page
maxpack: largest density of the volume-root search relative to 1/b(x)
    (default 1); roots are sought up to the density maxpack/b(x). Also
    the range of key=100.
minT: lower bound of T for the solvers (default 0).
res: every res-th successful point is written to the res-file (default
    0 = none, 1 = every point). Ramp points of a line started with pred<0
    are not written. A line holds: key, T, p, x, four parameter columns
    (aX a2 s2 0 by default, see -p), the number and the compositions of
    the further phases, the number of densities and the densities
    (reduced with red=1). Keys that compute no phase point (e.g. 10,
    20, 21) write nothing. See key=-10..-13, -3, -33 and -55.
tvp: extra output of GPD points written by res (default 0): with tvp
    nonzero each such point also appends to the .tvp file (the
    res-file's name with .tvp) the critical point of pure species 2 for
    the solved parameters: Tc, Vc, pc, Vc^(1/3), ln Tc, ln(Vc)/3,
    relative to ref with red=1. tvp=13 uses the closed form (as
    key=13), tvp=1 the numerical search, tvp=-m the numerical search of
    fineness m. Other positive values are refused (tvp=1).
Ttvp: start temperature of that search, updated after each .tvp line;
    <=0 takes the current T.
@page
line: tracing of lines (default 0):
     0  single points
     1  one step per data entry: end each data entry with ; for the
        next point (values may be changed in between)
     n  (n>=2) follow n points without data entry
    <0  follow until a failure or an interrupt (^C, then i)
  Each step multiplies p (forT=0) or T (forT=1), in diagram=3 the
  parameter trace, by q. line needs q other than 1 (else line=0).
  After a failure the state is restored, the step is cut and line
  becomes 1.  Example:  key=2 line=20 pred=-1 q=1.01 res=1;
q: multiplicative step of a traced line (default 1: no step), e.g. 1.01
    or 0.98; shown as 1+dq when close to 1. A failure cuts it: q^(1/qq)
    when qq>=1.5, else q^0.618. q<=0 resets q=qq=1, line=0, pred=0.
qq: growth exponent of the step (default 1): before each step q becomes
    q^qq, so qq>1 accelerates and qq<1 slows down. A failure lowers it
    (qq/3 when qq>5, else 1.2).
pred: prediction along a traced line (default 0): 0 none; >0 linear
    extrapolation of p, T, x, y, z, w from the last two points; <0 a
    ramp of predlevel small steps first (not written to the res-file),
    then as |pred|. Needs q other than 1. Two equal points or a ratio
    above 2000 give the error "prediction" and pred=0.
@page
predlevel: number of ramp steps of a line started with pred<0 (default
    3, at least 2; 11 or more is slow).
dpredq: first ramp step in units of eps (default 6); the steps then
    grow until they reach q.
aspect: switching of the stepped variable of a followed, predicted line
    (default 2; 0 never switches). From its third point on, a line
    stepped in T switches to steps in p when |d ln p/d ln T| > 1.3
    aspect, and back when it falls below aspect/1.3; q is adapted and
    the new forT and q are printed.
forT: which of T and p is given (default 0):
     0  p is given (and stepped along a line), T is solved for
     1  T is given and stepped, p is solved for
  In diagram=0 and 1 qor sets forT itself; aspect may switch it on a
  line; keys 28, 29 reset it ("for technical reasons, forT:=0").
diagram: kind of diagram (default 3): 0 T:x, 1 p:x, 2 p:T, 3 GPD.
    It decides which keys are accepted (0 and 1 only p-T line keys, 2
    no GPD keys, 3 all), what may be traced (0 and 1 key 5, 2 the p-T
    lines, 3 all but the two-parameter points, stepping the parameter
    trace) and how key=-55 draws the res-file.
@page
solve: code of the model parameter solved for at GPD points (default
    2 = a2). Codes: 1 a1, 2 a2, 3 aX, 21 s1, 22 s2, 33 epsX (11 axes1,
    12 axes2, 23 sX, 31 eps1, 32 eps2 are not used by the equations).
trace: code of the second parameter (default 22 = s2): stepped by q
    along GPD lines (diagram=3) and solved for at two-parameter GPD
    points, where it must differ from solve. key=-19 exchanges solve
    and trace; G and g in the explorer change the trace parameter.
deps: tolerance factor of the GPD searches (default 6; 0 becomes 6):
    the solve parameter moves by secant steps starting from
    deps*eps*value until the relative step is below deps*eps. Also the
    step of keys 22, 28, 29.
deps2: the same for the trace parameter of two-parameter GPD points
    (default 12; 0 becomes 12).
ipred: prediction in the end-point searches (keys 8, 9 and the GPD
    keys built on them; default 0.8): the start values of each inner
    solve are extrapolated (damping length eps^ipred); 0 switches it
    off, negative leaves y out. Suspicious outside 0.1..2.
@page
bump: how a further phase (z of a three-phase point, y of an end
    point, ...) is found relative to the common tangent (default 0):
     0  secant search for dG/dx equal to the tangent's slope
    >0  minimum of the height above the tangent, without derivatives
        (1 widest start bracket .. 4 narrowest); also the number of
        tries of the end-point searches
    <0  the further phase is taken at the pure species (x=0 or 1)
  A negative bump is flagged with "!" in the status display.
sort: assignment of phases to volume roots (default 1):
     1  before each computation I.x=I.y=I.z=I.w=0, I.xx=1; qor takes
        the roots of lowest G
    >1  roots numbered by G as with 1, but I is not reset
   <=0  the indices I.x ... I.w are yours; roots are numbered by volume:
        0 the densest (sort=0) or 0 the gas-like one (sort<0)
  sort other than 1 is flagged with "!".
allv: keep mechanically unstable volume roots (default 0). With allv=1
    every root found is kept (also the middle one of three) and, where
    none is found, the volume of closest approach (L in the explorer).
@page
stable: what to do with an unstable solution (default 1):
     1  reject it (the computation fails; "UNSTABLE" is printed)
     0  accept everything
    -1  accept only unstable solutions
     2  as 1, and keys 18, 19, 22, 27, 44 look for a maximum instead of
        a minimum
  stable other than 1 is flagged with "!".
minkey: minimization method of keys 14, 21, 24 (default 0):
    -1 steepest descent   0 simplex (amoeba)   1 conjugate gradients
     2 Newton-Raphson     3 Monte Carlo
  key=14 with minkey>3 uses nested secants instead. Values outside
  -1..9 are replaced by 0.
minpar: fineness of searches (default 0; |minpar|>10 is suspicious):
    of the bracketing of a pure-species critical point (|minpar|=1
    skips it) and of the parabolic searches of keys 18, 19, 27, 44 (0
    means 3). minpar^3 is the Monte Carlo parameter of the minimizers;
    minpar<=0 repeats a minimization with extrapolation.
pexp: the minimizations of keys 14 and 24 work with p^(1/pexp) instead
    of p (default 6; 0 becomes 1).
@page
maxit: iteration limit of the solvers (default 25, at least 1): each
    secant search and each two-equation solve fails after maxit
    iterations; the minimizations allow 20 (key 24), 30 (key 21) or 40
    (key 14) times maxit.
solve2: method of the two-equation solver (default 1):
     0 auto (secant planes, then nested secants both ways)
     1 secant planes
     2 nested secants (inner f, outer g); -2 the same, f and g exchanged
eps: convergence tolerance of the solvers; the steps are relative:
    eps*p, eps*T, eps*x(1-x). The default 2.3 counts digits: eps =
    prec^(1/2.3), a few times 1e-7. An entered value <=0 or >0.01 is
    replaced by sqrt(prec).
prec: relative precision of function values (default 7: a value >0.1
    counts multiples of the machine precision, about 1e-15 is shown).
    It sets the differentiation steps prec^(1/(order+k)), the root
    tolerance and the bounds of x (10 prec^0.9). Values below 0.05
    times the machine precision or above 0.001 are reported.
order: order of the numerical differentiation, 2 or 4 (default 4; 0
    means 4). Try order=2 when an azeotrope near a pure species fails.
@page
pn: number of initial steps of the volume-root search (default 4), also
    the number of 16-fold volume expansions looking for the gas root;
    a larger pn finds close roots more safely but is slower. It also
    refines the critical-point search of a pure species.
roots: how many volume roots to look for (default 2; 4 or more is
    replaced by 2): 1 only one root; 2 or 3 the gas-like and the
    liquid-like root and the roots between them, 3 searching more.
psun: kept in images (default 0.01); no computation uses it.
aux: a free variable for your own expressions, kept in images (e.g.
    aux=T ... T=aux). key=25 puts the fifth phase's composition there.
minV: the smallest volume b(x) at the current x (in units of ref.V with
    red=1), recomputed for each status display; for expressions such
    as V=1.5*minV.
T: temperature (default 1), in units of ref.T with red=1.
p: pressure (default 1), in units of ref.p with red=1.
V: volume of the first root (default 1), in units of ref.V with red=1:
    the start volume of some searches (key=20 takes it as the wanted
    critical volume, key=10 checks P there).
@page
x: mole fraction of species 1 in the first phase (default 0). x=0 or
    x=1 exactly selects a pure species (species 2 or 1) for keys 3, 6,
    8, 13, 23, 26, 33; key=21 needs x=0.
y: composition of the second phase (default 1).
z: composition of the third phase (default -1).
w: composition of the fourth phase (default -1); shown only when
    0<=w<=1.
  The solvers start from x, y, z, w and write the solution back; a
  start near the wanted phases matters.
I.x: index of the volume root that is the phase of x (default 0).
    With sort=1 qor sets the indices (roots of lowest G); with sort<=0
    they are yours. Shown as [I.x/I.xx] in the status display.
I.xx: index of the second phase of composition x (azeotropes).
I.y: index of the root that is the phase of y.
I.z: index of the root that is the phase of z.
I.w: index of the root that is the phase of w.
dx: retries of failed critical-point searches of keys 2 and 15 (default
    0 = no retries). The start composition moves to x+dx, x-1.15dx, ...
    with growing steps until a step exceeds 1.
@page
gr: G(x) explorer output (default 1): 1 graphics; 0 writes the curves
    to the file gnu as text. Made non-negative; set to 0 when graphics
    cannot start.
n: number of intervals of the explorer's curves (default 25, at least
    2); also n densities of key=100 and n+1 rows of key=101.
zoom: vertical scale of the explorer (default 0): 0 from the data with
    the chord tilt recomputed, 2 fixed range, negative: no tilt.
x0: left end of the explorer's composition range (default 0).
x1: right end of the explorer's composition range (default 1); both
    are kept within 0..1, and x0=x1 shows 0..1.
@1
MOVING A MARKER  (x y z w; range ends 0 1; G limits m M)
 2 4 Down     fine step down     6 8 Up     fine step up
 [ Left PgDn  16 pixels down     ] Right PgUp  16 pixels up
 * + J S      double fine step   - / j s    halve fine step
 Home End     to the lower / upper end
 0 1          to 0 / 1, also moving the range end
 d            hide the marker (value 2)
 t            tangents on/off
 i I          root index of this marker / of I.xx (sort<=0)
 Enter R      apply: recompute with the new range
 r            zoom out around the range    z  also in G
 Z            zoom to the range and the m, M lines
 Esc e        stop moving, back to the main screen
 mouse: click on the plot = marker there; wheel = fine move
 h ?          this help       Ctrl-C  exit qor
"""


def build():
    lines = []
    for line in TEXT.splitlines():
        if line == "{KEYTABLE}":
            lines += keytable()
        else:
            lines.append(line)
    data = ("\n".join(lines) + "\n").encode("cp437")
    with open(TARGET, "wb") as f:
        f.write(data)


# ---- Checks -----------------------------------------------------------------------------

def check(path):
    errors = []
    raw = open(path, "rb").read()
    lines = raw.split(b"\n")
    if lines[-1] == b"":
        lines.pop()
    else:
        errors.append("no line end at the end of the file")

    words = lines[0].split()
    if len(words) < 2 or not words[0].startswith(b"@") or words[1] != VERSION.encode():
        errors.append("first line must be '@NAME %s'" % VERSION)

    # The key table as the program reads it.
    try:
        at = next(i for i, l in enumerate(lines) if l.startswith(b"@key"))
    except StopIteration:
        errors.append("no @key line")
        at = None
    table = {}
    order = []
    table_rows = set()
    if at is not None:
        rows = lines[at + 2:at + 2 + ROWS]
        table_rows = set(range(at + 1, at + 2 + ROWS))
        if len(rows) != ROWS:
            errors.append("fewer than %d table rows" % ROWS)
        for r, row in enumerate(rows):
            if not row.startswith(b"\xb3"):
                errors.append("table row %d does not begin with 0xB3" % (r + 1))
                continue
            # Split as strtok does (empty tokens vanish), with and without the line end.
            for rest in (row[1:] + b"\n", row[1:]):
                toks = [t for t in rest.split(b"\xb3") if t]
                if len(toks) < 5:
                    errors.append("table row %d: %d tokens" % (r + 1, len(toks)))
            for c, tok in enumerate(row[1:].split(b"\xb3")[:COLS]):
                text = tok.decode("ascii", "replace")
                if text.strip() == "":
                    continue
                m = re.fullmatch(r" *(-?\d+)=(\S.*)", text)
                if not m:
                    errors.append("bad cell %r in row %d" % (text, r + 1))
                    continue
                k = int(m.group(1))
                if k in table:
                    errors.append("key %d twice in the table" % k)
                table[k] = m.group(2).rstrip()
                order.append(((c, r), k))
                if len(text) + 2 > 24:
                    errors.append("cell %r too long for a key cell" % text)
                if ":" in text:
                    errors.append("cell %r holds a colon" % text)
            if len(row) + 1 > 81:
                errors.append("table row %d longer than 81 characters" % (r + 1))
        for k in FLAGGED:
            if k not in table:
                errors.append("flagged key %d missing from the table" % k)
        ks = [k for _, k in sorted(order)]
        if ks != sorted(ks):
            errors.append("table not sorted column by column")

    # Line lengths and characters outside the table.
    section = None
    for i, l in enumerate(lines):
        if len(l) > 79:
            errors.append("line %d longer than 79 characters" % (i + 1))
        if i not in table_rows and any(b > 126 or (b < 32 and b != 9) for b in l):
            errors.append("line %d: byte outside printable ASCII" % (i + 1))
        if l.startswith(b"@"):
            section = l[:2] if l[:2] in (b"@0", b"@1") else None
        elif section and len(l) > 66:
            errors.append("line %d: too wide for the explorer's help area" % (i + 1))

    # Pages: separators are lines beginning with @.
    page = []
    for i, l in enumerate(lines[1:], start=2):
        if l.startswith(b"@"):
            if len(page) > (22 if at is not None and i - 1 == at + ROWS + 2 else 21):
                errors.append("page ending at line %d has %d lines" % (i, len(page)))
            page = []
        else:
            page.append(l)
    if len(page) > 21:
        errors.append("last page has %d lines" % len(page))

    # The explorer's sections: @0 and @1 must each end at a line '@' + code >= 50 or EOF.
    for tag in (b"@0", b"@1"):
        starts = [i for i, l in enumerate(lines) if l.rstrip() == tag]
        if len(starts) != 1:
            errors.append("%s section %d times" % (tag.decode(), len(starts)))
            continue
        for l in lines[starts[0] + 1:]:
            if l.startswith(b"@"):
                if len(l) >= 2 and l[1] < 50 and l[1] > 32:
                    errors.append("%s section runs into %r" % (tag.decode(), l))
                break

    # Topics: exactly one line begins with each search text.
    text = [l.decode("cp437") for l in lines]
    topics = [v + ":" for v in VARIABLES] + ["new:", "sys:", "key:"]
    topics += ["key=%d:" % k for k in table]
    for t in topics:
        hits = [i + 1 for i, l in enumerate(text) if l.startswith(t)]
        if len(hits) != 1:
            errors.append("topic %r found %d times %s" % (t, len(hits), hits))

    # Highlights: report ordinary lines whose first 17 characters hold a 'word:'.
    highlights = []
    for i, l in enumerate(text):
        if l.startswith("@") or (i in table_rows):
            continue
        head = l[:17]
        pos = -1
        for j, ch in enumerate(head):
            if ch == ":":
                pos = j if j > 0 and head[j - 1] != " " else -1
        if pos >= 0 and not any(l.startswith(t) for t in topics):
            highlights.append("%4d  %s" % (i + 1, l[:pos + 1]))

    return errors, table, highlights


def main():
    if "--check" not in sys.argv:
        build()
    errors, table, highlights = check(TARGET)
    if "-v" in sys.argv:
        print("keys in the table (%d):" % len(table))
        print(" ".join(str(k) for k in table))
        print("other highlighted line heads:")
        print("\n".join(highlights))
    for e in errors:
        print("ERROR:", e)
    print("%s: %s" % (TARGET, "bad" if errors else "ok"))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
