// qor.cpp: start-up, the command line, the main loop with its failure recovery, and the step
// control of traced lines.
#include "qor/qor.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gen/alloc.h"
#include "gen/draw.h"
#include "gen/mouselib.h"
#include "gen/filemenu.h"
#include "gen/func.h"
#include "gen/predict.h"
#include "qor/qorglob.h"
#include "qor/qorimg.h"
#include "qor/qorres.h"
#include "qor/qorsys.h"

FILE* oldin = nullptr;
FILE* img = nullptr;
char userfile[32] = "qor.***";
char* fileext = userfile + 4;  // checkhlp checks the extension and sets it again
char* resfile = nullptr;
int mouse = 1;
int removenl = 81;
int reverse = 0;
int batchmode = 0;
const char* gcomment = "#";

State6 old = {0, 0, 0, 0, 0, 0};
State6 pr = {0, 0, 0, 0, 0, 0};
GlobState oldgl = {0, 0};
GlobState prgl = {0, 0};
int failed = 0;
int keybackto01 = -4321;
int nfollow = 0;
int ifollow = 0;
double oldq = 1, oldqq = 1;
int oldpred = 0, oldres = 0;
char qor01info[40] = "";
int lastkey = 0;
GrStat grstat = {0, 0, 0};

// Command-line state.
static int iscr = 100;            // scroll-back size in KiB; negative selects batch mode
static const char* imgfn = nullptr;  // the system name: stem of the image and batch files

// Loop state of one pass.
static int tracing = 0;  // key flags while this pass advances a traced line, else 0
static int ks = 0;       // key flags of the current key

static void setresfile(const char* name) {
    if (resfile) myfree(&resfile);
    int len = (int)strlen(name) + 1;
    mymalloc(&resfile, len, 0);
    if (resfile) memcpy(resfile, name, (size_t)len);
}

// The name of a file beside the system name: NAME followed by an extension.
static char* systemfile(const char* ext) {
    char* name = nullptr;
    int len = (int)(strlen(imgfn) + strlen(ext) + 1);
    mymalloc(&name, len, 0);
    snprintf(name, (size_t)len, "%s%s", imgfn, ext);
    return name;
}

static void readoptions(int argc, char** argv) {
    bool resnext = false;  // the previous option was a bare -o
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (a[0] != '-' || resnext) {
            if (resnext)
                setresfile(a);
            else
                imgfn = a;
            resnext = false;
            continue;
        }
        int N = a[1] && a[2] ? atoi(a + 2) : 1;
        switch (a[1]) {
        case 'a': ansi = N; break;
        case 'b':
            if (i + 1 < argc) xwindowhints.background = argv[i + 1];
            i++;
            break;
        case 'c': gcomment = a + 2; break;
        case 'g':
            if (i + 1 < argc) xwindowhints.geometry = argv[i + 1];
            i++;
            break;
        case 'k': setexec(a); break;
        case 'm': mouse = N; break;
        case 'n': removenl = N; break;
        case 'o':
            if (a[2])
                setresfile(a + 2);
            else
                resnext = true;
            break;
        case 'p': setparm(a); break;
        case 'r': reverse = N; break;
        case 's': iscr = N; break;
        case 't': Imworking(N); break;
        default: MYERROR(1, "qor", "unknown option %s", a); break;
        }
    }
}

void startup(int argc, char** argv) {
    oldin = in = stdin;
    out = stderr;
    colorhook = ansicolor;
    checkhlp(argv[0]);
    installsig();
    ref = {1, 1, 1};
    crit = ref;
    T = ref.T;
    p = ref.p;
    for (double& v : vs) v = crit.V;
    iscr = 100;
    setparms();
    readoptions(argc, argv);

    if (imgfn) {
        char* name = systemfile(".img");
        const char* open = name;
        if (strpbrk(name, "?*")) open = fmenu(name, graphics_mode);
        img = open ? fopen(open, "rb") : nullptr;
        if (!img) MYERROR(1, "qor", "open %s", open ? open : name);
        myfree(&name);
    }

    if (iscr < 0) {
        if (!imgfn) MYERROR(1, "qor", "no image and batch file names");
        batchmode = 1;
        installsig();
        char* get = systemfile(".get");
        in = fopen(get, "rt");
        if (!in) {
            in = stdin;
            MYERROR(1, "qor", "open %s file", get);
        }
        oldin = in;
        myfree(&get);
        char* prt_name = systemfile(".prt");
        FILE* listing = fopen(prt_name, iscr == -1 ? "wt" : "at");
        if (!listing) MYERROR(1, "qor", "open %s file", prt_name);
        myfree(&prt_name);
        out = listing;
        if (!resfile) {
            char* r = systemfile(".res");
            setresfile(r);
            myfree(&r);
        }
        prt("QOR batch mode, system name=%s, res-file=%s", imgfn, resfile);
        ansi = 0;
    } else {
        out = stdout;
        initscroll(iscr * 1024);
        fileext[0] = 0;
        if (!resfile) {
            char r[sizeof userfile + 4];
            snprintf(r, sizeof r, "%sres", userfile);
            setresfile(r);
        }
    }

    prtexec();
    if (mouse) doMouse();
    if (img) {
        readimage(1);
        qor01info[0] = 0;
    } else {
        FILE* def = opendatafile("def");
        if (def) {
            in = def;
        } else {
            MYERROR(0, "qor", "WARNING no default file \"%s\"", userfile);
            in = oldin;
        }
    }
    setconst();
    if (reverse == 1) reverse = 0;
    // A failure before the first computation restores the state of the start.
    addrtosolve = tosolve(solve);
    addrtotrace = tosolve(trace);
    old = {T, p, x, y, z, w};
    oldgl = {*addrtotrace, *addrtosolve};
}

// ---- Line tracing --------------------------------------------------------------------------

void predictpTx(double r) {
    T = old.T + r * (old.T - pr.T);
    p = old.p + r * (old.p - pr.p);
    x = old.x + r * (old.x - pr.x);
    y = old.y + r * (old.y - pr.y);
    z = old.z + r * (old.z - pr.z);
    w = old.w + r * (old.w - pr.w);
    if (msglev & 64) prt("predicted");
}

void prtlineinfo() {
    prt_("LINE >>> %d/", ifollow);
    if (nfollow > 0)
        prt("%d", nfollow);
    else
        prt("infty");
}

// The bookkeeping of a followed line before its next point.
static void linebookkeeping() {
    if (nfollow) {
        ifollow += 1;
        prtlineinfo();
        if (nfollow > 0 && ifollow >= nfollow) {
            qq = oldqq;
            q = oldq;
            nfollow = 0;
        }
        if (sig) nfollow = 0;
        if (oldpred) {
            if (ifollow == 2 - predlevel) {
                double s = oldq < 1 ? -1 : 1;
                q = s * dpredq * eps;
                double k = pline == 1 ? 2 : 1;
                qq = std::pow(std::log(oldq) / (k * q), 1.0 / predlevel);
                q = 1 + q;
                if (msglev & 64) prt("init prediction: q=%.15f qq=%g", q, qq);
            } else if (ifollow == 3 - predlevel) {
                pred = std::abs(oldpred);
            }
            if (ifollow == 1) {
                res = oldres;
            } else if (ifollow == 2) {
                qq = oldqq;
                q = oldq;
            }
        } else {
            qq = oldqq;
            q = oldq;
        }
    } else if (pred < 0) {
        oldq = q;
        oldqq = qq;
        oldres = res;
        nfollow = pline;
        oldpred = pred;
        q = qq = 1;
        ifollow = 1 - predlevel;
        pred = 0;
        res = 0;
        prtlineinfo();
    } else if (pline >= 2 || pline < 0) {
        oldqq = qq;
        oldq = q;
        oldres = res;
        oldpred = pred;
        nfollow = pline;
        ifollow = 1;
        prtlineinfo();
    }
}

// Switching between steps in T and in p where the line becomes steep in the other variable.
static void switchstep() {
    if (!nfollow || ifollow < 3 || aspect <= 0) return;
    if (forT) {
        double S = ((old.p - pr.p) * pr.T) / ((old.T - pr.T) * pr.p);
        if (std::fabs(S) > 1.3 * aspect) {
            forT = 0;
            if (S < 0) q = 1 / q;
            prt_(_putformat, "forT", (double)forT);
            prt(_putformat, "q", q);
            q = std::pow(q, aspect);
        }
    } else {
        double S = ((old.T - pr.T) * pr.p) / ((old.p - pr.p) * pr.T);
        if (std::fabs(S) > 1.3 / aspect) {
            forT = 1;
            if (S < 0) q = 1 / q;
            prt_(_putformat, "forT", (double)forT);
            prt(_putformat, "q", q);
            q = std::pow(q, 1 / aspect);
        }
    }
    // The step, switched or not, becomes the line's own.
    q = std::pow(q, pow4(qq));
    oldq = q;
}

// Advances a traced line by one step and predicts the next point. Returns false after a
// failed prediction (the failure is already counted).
static bool traceline() {
    linebookkeeping();
    q = std::pow(q, qq);
    if (msglev & 64) prt("tracing: q=%.15f qq=%g", q, qq);
    if (diagram == 3) {
        if (history && (pline < 0 || pline >= 2)) {
            img = fopen(historyname(60), "wb");
            if (img) writeimage(0);
        }
        *addrtotrace *= q;
        if (msglev & 2) prt("%s --> %.12g", solveinfo(trace), *addrtotrace);
    } else if (forT) {
        T *= q;
        if (msglev & 2) prt("T --> %.12g", T);
    } else {
        p *= q;
        if (msglev & 2) prt("p --> %.12g", p);
    }
    if (!pred) return true;
    double r;
    if (diagram < 3) {
        double D = forT ? old.T - pr.T : old.p - pr.p;
        r = D == 0 ? 0 : ((forT ? T - old.T : p - old.p) / D);
        if (D == 0 || !(std::fabs(r) <= 2000)) goto failure;
        predictpTx(r);  // the stepped variable stays at its new value: r was taken from it
        switchstep();
        return true;
    }
    if (prgl.trace == oldgl.trace) goto failure;
    r = (*addrtotrace - oldgl.trace) / (oldgl.trace - prgl.trace);
    if (!(std::fabs(r) <= 2000)) goto failure;
    predictpTx(r);
    *addrtosolve = oldgl.solve + r * (oldgl.solve - prgl.solve);
    setconst();
    return true;
failure:
    MYERROR(1, "qor", "prediction");
    pred = 0;
    failed += 1;
    return false;
}

// ---- The main loop -------------------------------------------------------------------------

// Step A after a long jump: what abandoned the computation.
static void reportjump(int value) {
    if (graphics_mode) stopgraph(0);
    color(12);
    prt_("\nLONG JUMP from ");
    if (value == 31313)
        prt("interrupt");
    else
        prt("\"%s\", line %d\n%s", jmpinfo.file, jmpinfo.line, jmpinfo.text);
    failed += 1;
}

// Steps B to D: failure recovery, stale predictions, the way back to the explorer.
LoopEntry again() {
    if (failed) {
        color(12);
        prt("\a****** FAILED ******");
        if (batchmode) {
            closegraph();
            closeexit(-1);
        }
        color(15);
        snprintf(qor01info, sizeof qor01info, "%c  FAILED", 4);
        if (nfollow) {
            nfollow = 0;
            qq = oldqq;
            if (pline) pline = 1;
            res = oldres;
        }
        T = old.T, p = old.p, x = old.x, y = old.y, z = old.z, w = old.w;
        *addrtosolve = oldgl.solve;
        *addrtotrace = oldgl.trace;
        setconst();
        if (qq >= 1.5) {
            q = std::pow(q, 1 / qq);
            qq = qq > 5 ? qq / 3 : 1.2;
        } else {
            q = std::pow(q, 0.6180339887498948);
        }
        failed = 0;
    }
    while (pred_end()) {}
    releaseall();
    if (keybackto01 >= -4320) {
        key = keybackto01;
        keybackto01 = -4321;
        return KEYAGAIN;
    }
    return GETAGAIN;
}

// Between the absolute units of the computations and the units shown to the user.
static void scaleunits(bool toshown) {
    auto conv = [toshown](double& v, double unit) { v = toshown ? v / unit : v * unit; };
    conv(T, crit.T);
    conv(Ttvp, crit.T);
    conv(p, crit.p);
    for (double& v : vs) conv(v, crit.V);
}

// Step E: the status display and data entry, in the user's units.
void getagain() {
    setEps();
    scaleunits(true);
    V = vs[0];
    if (minkey < -1 || minkey > 9) {
        MYERROR(1, "qor", "bad minkey - set to 0");
        minkey = 0;
    }
    PutData();
    for (;;) {
        oldkey = key;
        GetData();
        if (in == oldin) break;
        fclose(in);
        in = oldin;
        _Id.echo = (oldin == stdin && out == stdout) ? 2 : 1;
    }
    vs[0] = V;
    scaleunits(false);
    if (pline && q == 1) {
        MYERROR(0, "qor", "line=%d and q=1: line set to 0", pline);
        pline = 0;
    }
}

// Step F: one computation and what follows it.
LoopEntry keyagain() {
    testsig();  // an interrupt that arrived meanwhile is answered before the next computation
    addrtosolve = tosolve(solve);
    addrtotrace = tosolve(trace);
    setconst();
    setEps();
    if (key == -55 || (key >= 2 && key != 10 && key != 11 && !nfollow)) pushhistory(1);
    if (q <= 0) {
        q = qq = 1;
        pline = 0;
        pred = 0;
    }
    old = {T, p, x, y, z, w};
    oldgl = {*addrtotrace, *addrtosolve};
    ks = tracing = keystat(key);
    if ((ks & 0x60) == 0x60 && addrtosolve == addrtotrace) {
        MYERROR(1, "qor", "solve==trace for global point");
        return AGAIN;
    }
    if (key == 4 || pline == 0) tracing = 0;
    if (tracing) {
        if (pred && q == 1) {
            MYERROR(1, "qor", "pred=%d but q=1: cannot follow line", pred);
            return AGAIN;
        }
        if ((diagram < 2 && key != 5) || (diagram == 2 && (ks & 0x60)) ||
            (diagram == 3 && (ks & 0x60) == 0x60)) {
            prt("WARNING: no tracing for this key because diagram=%d", diagram);
            tracing = 0;
        }
    }
    if (tracing && !traceline()) return AGAIN;
    crit = red ? ref : TpV{1, 1, 1};
    sortg = sort;
    if (sort == 1) I = {0, 1, 0, 0, 0};
    sig = 0;
    int r = SwitchKey();
    if (r == -1) {
        failed += 1;
        return AGAIN;
    }
    if (r == 1) return AGAIN;
    if (r == 2) return KEYAGAIN;
    color(15);
    if (ks) {
        nv = allG(gs, vs, p, T, x);
        if (nv == 0) {
            MYERROR(1, "qor", "EOS failed");
            return AGAIN;
        }
    }
    if (key == 10) nv = 1;
    if (tracing) {
        pr = old;
        if (diagram == 3) prgl = oldgl;
    }
    if (res > 0 && ++nres >= res) {
        write2res(p, T, &Ttvp);
        nres = 0;
    }
    return nfollow ? KEYAGAIN : AGAIN;
}

void mainloop() {
    LoopEntry entry = AGAIN;
    failed = 0;
    keybackto01 = -4321;
    for (;;) {
        try {
            if (entry == AGAIN) entry = again();
            if (entry == GETAGAIN) {
                getagain();
                entry = KEYAGAIN;
            }
            entry = keyagain();
        } catch (const JumpError& e) {
            reportjump(e.value);
            entry = AGAIN;
        }
    }
}
