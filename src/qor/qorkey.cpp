// qorkey.cpp: the key dispatcher. It turns the value of key into one action and tells the
// main loop what to do next; the computations themselves live in the solver modules.
#include <cmath>
#include <cstdio>

#include "gen/draw.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qoreq.h"
#include "qor/qorfunc.h"
#include "qor/qorglob.h"
#include "qor/qorimg.h"
#include "qor/qorres.h"
#include "qor/qorsys.h"

namespace {

// Key flags that the current diagram does not admit: composition diagrams take line keys only,
// the p-T projection no point that needs a solved model parameter.
bool illegalfordiagram(int flags) {
    if (!flags) return false;
    if (diagram == 0 || diagram == 1) return (flags & 0x60) != 0;
    if (diagram == 2) return (flags & 0x20) != 0;
    return false;
}

void restore() { key = oldkey; }

// Key 6 at a mixture composition: the azeotrope, then whether it is a pressure or temperature
// maximum or minimum, from the signs of the second composition derivative and of the p or T
// derivative of the difference between the two phases.
int key6() {
    double lp = p, lT = T, lx = x;
    if (solveaz(&lp, &lT, &lx)) return -1;
    int nroots = alld2Gdx2(gs, vs, lp, lT, lx);
    double D2 = gs[I.xx] - gs[I.x];
    color(10);
    for (int which = 0; which < 2; which++) {
        double G0[5];
        int m = alldGdpTx(gs, G0, vs, lp, lT, lx, which);
        double D1 = gs[I.xx] - gs[I.x];
        if (m != nroots || m < 2 || D2 * D1 == 0)
            prt_("cannot determine sign of");
        else
            prt_(D2 * D1 > 0 ? "NEGATIVE" : "POSITIVE");
        prt(" azeotrope in %c", which ? 'T' : 'p');
    }
    p = lp, T = lT, x = lx;
    return 0;
}

// Key 22: the extremum of the critical line in the unknown of the two, p or T, by a search
// that widens its step after an improvement and narrows and turns it after a worse trial.
int key22() {
    double lp = p, lT = T;
    double& given = forT ? lT : lp;
    double& unknown = forT ? lp : lT;
    double h = deps * eps * given;
    double s = stable == 2 ? -1 : 1;
    double base = given;
    if (solvecrit(&lp, &lT, &x)) return -1;
    double best = s * unknown;
    // The search ends on |h| against |given|: with the given value negative, the comparison
    // with given itself would never stop it. The trial count keeps it finite regardless.
    for (int trial = 0; trial < 5 || (std::fabs(h) > 0.3 * eps * std::fabs(given) && trial < 1000);
         trial++) {
        given = base + h;
        if (solvecrit(&lp, &lT, &x)) return -1;
        if (s * unknown < best) {
            best = s * unknown;
            base = given;
            h = -2.6 * h;
        } else {
            h = -0.7 * h;
        }
        color(13);
        prt("#####   p=%g   T=%g   dx=%g  #####", lp, lT, h);
        color(15);
        if (testsig()) break;
    }
    T = lT, p = lp;
    return 0;
}

// Ends the program after the image is saved: keys -99 and -9.
[[noreturn]] void saveandexit() {
    writeimage(1);
    color(7);
    closegraph();
    closeexit(0);
}

}  // namespace

int SwitchKey() {
    int flags = keystat(key);
    if (flags) {
        if (illegalfordiagram(flags)) {
            MYERROR(0, "qorkey", "illegal key for diagram=%d", diagram);
            return 1;
        }
        if (diagram == 0) forT = key == 5 ? 1 : 0;
        if (diagram == 1) forT = key == 5 ? 0 : 1;
    }

    switch (key) {
    case -99:
        img = fopen("exit.img", "wb");
        restore();
        saveandexit();
    case -77:
        fputc('\a', stderr);
        restore();
        return 1;
    case -66:
        restore();
        prtexec();
        keylist();
        return 0;
    case -29:
    case -20:
        img = fopen(key == -29 ? "eol.img" : "bol.img", "rb");
        readimage(1);
        return 1;
    case -22:
        pophistory(0, 1);
        return 1;
    case -19: {
        int t = solve;
        solve = trace;
        trace = t;
        restore();
        return 1;
    }
    case -13:
    case -10:
        write2res(p, T, &Ttvp);
        restore();
        return 1;
    case -12:
    case -11:
        pline = 0;
        q = 1;
        write2res(p, T, &Ttvp);
        restore();
        return 1;
    case -9:
        restore();
        openimg(1);
        saveandexit();
    case -8:
    case -7:
    case -6:
    case -5:
        stopgraph(1);
        spawnkey(key);
        pline = 0;
        q = 1;
        write2res(p, T, &Ttvp);
        restore();
        return 1;
    case -4:
        shell();
        restore();
        return 1;
    case -2:
        openimg(0);
        readimage(1);
        return 1;
    case -1:
        restore();
        openimg(1);
        writeimage(1);
        return 1;
    case 2: {
        double lp = p, lT = T, lx = x;
        if (solvecrit(&lp, &lT, &lx)) return -1;
        p = lp, T = lT, x = lx;
        return 0;
    }
    case 3:
        if (x == 0 || x == 1) break;  // the pure species' critical point is not built here
        if (critaz(vs, &T, &x, p)) return -1;
        p = P(vs[0], T, x);
        return 0;
    case 4:
        return 0;  // the current state counts as a computed point
    case 6:
        setIaz(p, T, x, 1, vs);
        if (x == 0 || x == 1) break;  // the pure species' vapour pressure is not built here
        return key6();
    case 8:
        setIaz(p, T, x, 1, vs);
        if (x != 0 && x != 1) break;  // the mixture's end points are not built here
        return azendvle(&p, &T, x) ? -1 : 0;
    case 10: {
        double P1 = Pd(vs[0], T, x), P0 = P(vs[0], T, x);
        prt("P=%-.12g  -dA/dV=%-.12g  rel.err=%g", P0, P1, (P1 - P0) / P0);
        p = P0;
        return 0;
    }
    case 11:
        restore();
        return 1;
    case 13:
        key = key13(&vs[0], &p, &T, x);
        return key == 13 ? 0 : 1;
    case 20:
        key = key20(vs[0], T);
        return 1;
    case 22:
        return key22();
    case 99:
        help();
        restore();
        return 1;
    case 100:
        p2gnu(T);
        return 1;
    case 101:
        excess2gnu(p, T);
        return 1;
    default:
        break;
    }
    MYERROR(0, "qorkey", "key=%d undefined", key);
    return 1;
}
