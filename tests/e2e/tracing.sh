#!/usr/bin/env bash
# Following a critical line: the request key=2 diagram=2 line=20 pred=-1 q=1.01 res=1 typed at
# the status display, the res-file it writes, a failure while following (state restored, step
# cut, single steps from then on), and a failure in batch mode (status -1, points kept).
# Arguments: the program, the source tree.
set -u
command -v python3 >/dev/null || { echo "python3 not found: terminal tests skipped"; exit 77; }
qor=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src/data/qor.k99" "$src/examples/vdw_typeI.img" .
export QOR=$work
fail=0
python3 - "$qor" <<'PY' || fail=1
import os, pty, re, select, sys, time
qor = sys.argv[1]
pid, fd = pty.fork()
if pid == 0:
    os.execv(qor, [qor, "-a0"])
text = ""
def read(pattern, since, timeout=30):
    global text
    end = time.time() + timeout
    while time.time() < end:
        if re.search(pattern, text[since:]):
            return True
        r, _, _ = select.select([fd], [], [], 0.1)
        if r:
            try:
                text += os.read(fd, 65536).decode("latin-1")
            except OSError:
                break
    return bool(re.search(pattern, text[since:]))
def send(line):
    n = len(text)
    os.write(fd, (line + "\n").encode())
    return n
failures = 0
def check(name, ok):
    global failures
    print(("ok: " if ok else "FAIL: ") + name)
    if not ok:
        failures += 1
        print(text[-3000:])
read(r"\(c\)ontinue", 0)
send("c")
read(r"key=99", 0)
# Near a critical point of the example mixture close to species 2.
m = send("a2=2.5 aX=1 s2=1.3 x=0.02 T=0.6424722176 p=0.0709067014 key=2;")
check("start point", read(r"key=2  res=0", m) and "FAILED" not in text[m:])
m = send("key=2 diagram=2 line=20 pred=-1 q=1.01 res=1;")
check("20 points followed", read(r"LINE >>> 20/20[\s\S]*key=2  res=1", m) and "FAILED" not in text[m:])
shown = re.findall(r"  p=(\S+)", text[m:])[-1]
# A step far beyond the end of the line fails: the state comes back, the step is cut and the
# line continues point by point.
m = send("q=3;")
check("failure restores the state and cuts the step",
      read(r"FAILED[\s\S]*key=2  res=1", m) and re.findall(r"  p=(\S+)", text[m:])[-1] == shown
      and re.search(r"q=1\.97", text[m:]) and re.search(r"line=1 ", text[m:]))
os.write(fd, b"key=-99;\n")
_, st = os.waitpid(pid, 0)
check("exit", os.WIFEXITED(st) and os.WEXITSTATUS(st) == 0)
sys.exit(1 if failures else 0)
PY
# The res-file: the headers once, then 20 lines in the default formats.
res=qor.res
[ "$(grep -c '^ 2 ' $res)" = 20 ] || { echo "FAIL: 20 points expected in $res"; fail=1; }
grep -qx '#k------T----------p----------x---------aX--------a2---------s2----/-nx-\[y...\]--nrho--rho--\[rho...\]' $res ||
  { echo "FAIL: column header"; fail=1; }
grep -qx '#    s1=1                s2=1.3            epsX=1             body1=1            ' $res ||
  { echo "FAIL: parameter block"; fail=1; }
grep -qE '^# order=4 prec=[0-9.]+e-[0-9]+ eps=[0-9.]+e-[0-9]+$' $res || { echo "FAIL: small header"; fail=1; }
grep -qE '^# key=2=critical line +at [A-Z][a-z][a-z] [A-Z][a-z][a-z] ' $res || { echo "FAIL: key line"; fail=1; }
line=' 2( [ 0-9][0-9]\.[0-9]{7}){3} [0-9]\.[0-9]{7}  [0-9]\.[0-9]{7} [0-9]\.[0-9]{7} 0 0 1  [0-9]\.[0-9]{7}'
[ "$(grep -cxE "$line" $res)" = 20 ] || { echo "FAIL: data line format"; grep '^ 2' $res | head -3; fail=1; }
# p grows by the factor 1.01 from one written point to the next.
awk '$1 == 2 { if (p && ($3 / p < 1.0099 || $3 / p > 1.0101)) bad = 1; p = $3 } END { exit bad }' $res ||
  { echo "FAIL: steps of 1%"; fail=1; }

# Batch: a line followed past its end fails; the run ends with status -1 and keeps its points.
printf 'key=2 line=80 pred=-1 q=0.99 res=1;\nkey=-99;\n' >vdw_typeI.get
"$qor" -s-1 vdw_typeI 2>/dev/null
st=$?
n=$(grep -c '^ 2 ' vdw_typeI.res)
echo "batch failure: status $st, $n points kept"
[ "$st" = 255 ] && [ "$n" -ge 60 ] && grep -q "FAILED" vdw_typeI.prt || fail=1

# A res-file that cannot be written: the error, and the run goes on after "ignore".
out=$(printf 'c\nkey=4 res=1;\ni\nkey=-99;\n' | "$qor" -a0 -o /nonexistent/dir/x.res 2>&1)
st=$?
echo "$out" | grep -q 'open "/nonexistent/dir/x.res"' && echo "$out" | grep -q "ignoring error" &&
  [ "$st" = 0 ] || { echo "FAIL: unwritable res-file"; echo "$out" | tail -20; fail=1; }
# Key 2 at a pure species has no mixture critical point to solve for.
out=$(printf 'c\nx=0 key=2;\nkey=-99;\n' | "$qor" -a0 2>&1)
echo "$out" | grep -q "FAILED" || { echo "FAIL: key 2 at x=0"; fail=1; }
exit $fail
