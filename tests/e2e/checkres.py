"""Checks the points of a res-file against the model solved independently at high precision.

Usage: checkres.py RESFILE [COUNT [TOL]] [-v]. The model parameters come from the file's
parameter block.
Critical points (key 2): the critical conditions of the mixture, written on the Helmholtz
energy A(V, x) at fixed T (the spinodal determinant and its derivative along the null vector),
are solved for T and V at the printed x; T and p must agree with the printed values.
Azeotropes (key 6): equal Gibbs energy and equal dG/dx of the liquid and gas roots are solved
for p and x at the printed T. COUNT points spread over the file are checked (default 12).
Prints the largest relative deviations; exits 1 when one exceeds the tolerance of the
printed digits.
"""
import sys
from mpmath import mp, mpf, log, pi, sqrt, diff, findroot, polyroots

mp.dps = 30

name = sys.argv[1]
args = [a for a in sys.argv[2:] if a != "-v"]
count = int(args[0]) if args else 12
TOL = float(args[1]) if len(args) > 1 else 1e-4
par = {}
rows = []
for line in open(name):
    if line.startswith("#"):
        toks = line[1:].replace("=", " ").split()
        for i in range(0, len(toks) - 1, 2):
            try:
                par[toks[i]] = mpf(toks[i + 1])
            except ValueError:
                pass
    elif line.strip():
        rows.append(line.split())
a1, a2, aX, s1, s2 = par["a1"], par["a2"], par["aX"], par["s1"], par["s2"]
epsX, body1, body2 = par["epsX"], int(par["body1"]), int(par["body2"])
V1, V2 = pi / 6 * s1**3, pi / 6 * s2**3


def amix(x):
    return x * x * a1 + 2 * x * (1 - x) * aX * sqrt(a1 * a2) + (1 - x) ** 2 * a2


def bmix(x):
    if body2 == 1:
        return x * V1 + (1 - x) * V2
    if body2 == 3:
        return pi / 6 * (x * s1 + (1 - x) * s2) ** 3
    V12 = epsX * (V1 + V2) if body2 == 2 else 2 * epsX * sqrt(V1 * V2)
    return x * x * V1 + x * (1 - x) * V12 + (1 - x) ** 2 * V2


def A(V, T, x):
    a, b = amix(x), bmix(x)
    ideal = T * (x * log(x) + (1 - x) * log(1 - x) - log(V - b))
    if body1 == 1:
        return ideal - a / V
    return ideal + a / (b * sqrt(T)) * log(V / (V + b))


def P(V, T, x):
    a, b = amix(x), bmix(x)
    if body1 == 1:
        return T / (V - b) - a / V**2
    return T / (V - b) - a / (sqrt(T) * V * (V + b))


def critical(T, V, x):
    def W(v, u):
        Avv = diff(lambda w: A(w, T, u), v, 2)
        Axx = diff(lambda w: A(v, T, w), u, 2)
        Avx = diff(lambda w: diff(lambda y: A(w, T, y), u), v)
        return Avv * Axx - Avx**2
    Avv = diff(lambda w: A(w, T, x), V, 2)
    Avx = diff(lambda w: diff(lambda y: A(w, T, y), x), V)
    return W(V, x), diff(lambda t: W(V - t * Avx, x + t * Avv), 0)


def volumes(p, T, x):
    f = lambda V: P(V, T, x) - p
    b = bmix(x)
    if body1 == 1:  # p V^3 - (p b + T) V^2 + a V - a b = 0
        a = amix(x)
        r = polyroots([p, -(p * b + T), a, -a * b], maxsteps=200, extraprec=60)
        return sorted(v.real for v in r if abs(v.imag) < 1e-20 and v.real > b)
    # Redlich-Kwong: bracket the roots on a fine grid of densities
    roots, prev = [], None
    for k in range(1, 4000):
        V = b / (k / 4000.0 * 0.999)
        val = f(V)
        if prev is not None and val * prev[1] <= 0:
            roots.append(findroot(f, (prev[0], V), solver="anderson"))
        prev = (V, val)
    return sorted(roots)


def dG(p, T, x):
    r = volumes(p, T, x)
    return A(r[0], T, x) + p * r[0] - A(r[-1], T, x) - p * r[-1]


worst = {"T": 0, "p": 0, "x": 0}
picked = rows if len(rows) <= count else [rows[i * (len(rows) - 1) // (count - 1)] for i in range(count)]
for r in picked:
    key, T, p, x = int(r[0]), mpf(r[1]), mpf(r[2]), mpf(r[3])
    nx = int(r[8])
    rho = mpf(r[10 + nx])
    if key == 2:
        Tc, Vc = findroot(lambda t, v: critical(t, v, x), (T, 1 / rho))
        dev = {"T": abs(Tc / T - 1), "p": abs(P(Vc, Tc, x) / p - 1), "x": 0}
    elif key == 6:
        pa, xa = findroot(lambda pp, xx: (dG(pp, T, xx), diff(lambda u: dG(pp, T, u), xx)), (p, x))
        dev = {"T": 0, "p": abs(pa / p - 1), "x": abs(xa - x)}
    else:
        continue
    for k in worst:
        worst[k] = max(worst[k], float(dev[k]))
    if "-v" in sys.argv:
        print(" ".join(r[:4]), " ".join("%s %.1e" % (k, float(v)) for k, v in dev.items()))
print("%s: %d points checked; largest deviations: T %.1e, p %.1e, x %.1e (relative, relative, absolute)"
      % (name, len(picked), worst["T"], worst["p"], worst["x"]))
sys.exit(0 if max(worst.values()) < TOL else 1)
