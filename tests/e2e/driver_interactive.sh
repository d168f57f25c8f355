#!/usr/bin/env bash
# The program at a terminal (a pseudo-terminal): banner, status display, reduced units, the
# checks of data entry, and the interrupt menu. Batch interrupts through a pipe as NAME.get.
# Arguments: the program, the source tree.
set -u
command -v python3 >/dev/null || { echo "python3 not found: terminal tests skipped"; exit 77; }
qor=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src/data/qor.k99" .
export QOR=$work
exec python3 - "$qor" <<'PY'
import os, pty, re, select, signal, subprocess, sys, time

qor = sys.argv[1]
failures = 0

def check(name, ok, detail=""):
    global failures
    print(("ok: " if ok else "FAIL: ") + name)
    if not ok:
        failures += 1
        print(detail[-3000:])

class Term:
    """The program on a pseudo-terminal; everything it writes is collected in self.text."""
    def __init__(self, *args):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execv(qor, [qor, "-a0"] + list(args))
        self.text = ""
        self.since = 0  # patterns are searched in what came after the last send
    def read(self, until=None, timeout=10):
        end = time.time() + timeout
        while time.time() < end:
            if until and re.search(until, self.text[self.since:]):
                return True
            r, _, _ = select.select([self.fd], [], [], 0.1)
            if r:
                try:
                    data = os.read(self.fd, 65536)
                except OSError:
                    return bool(until and re.search(until, self.text[self.since:]))
                if not data:
                    break
                self.text += data.decode("latin-1")
        return bool(until and re.search(until, self.text[self.since:]))
    def send(self, line):
        self.since = len(self.text)
        os.write(self.fd, (line + "\n").encode())
    def interrupt(self):
        self.since = len(self.text)
        os.kill(self.pid, signal.SIGINT)
    def status(self, timeout=10):
        end = time.time() + timeout
        while time.time() < end:
            self.read(timeout=0.2)
            pid, st = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                return st
        os.kill(self.pid, signal.SIGKILL)
        os.waitpid(self.pid, 0)
        return None
    def mark(self):
        return len(self.text)

# Banner, warning menu, status display, listing of the variables.
t = Term()
check("banner", t.read(r"QOR version 5\.72"), t.text)
check("warning without qor.def", t.read(r'WARNING no default file "qor.def"'), t.text)
t.read(r"\(c\)ontinue")
t.send("c")
check("status display", t.read(r"key=99  res=0  tvp=0  forT=0  solve=2 \(a2\)"), t.text)
m = t.mark()
t.send("??")
check("?? lists the variables in table order",
      t.read(r"s1 s2 epsX body1 a1 a2 aX body2 key history red msglev ref\.T ref\.p ref\.V"), t.text)
# Reduced units: with red=1 and ref.T=2 an absolute T of 1 is shown as 0.5, and T=0.6 entered
# is the absolute 1.2.
m = t.mark()
t.send("T=1 red=1 ref.T=2 key=4;")
ok = t.read(r"T=0\.5 ", timeout=10)
check("T shown in units of ref.T", ok, t.text[m:])
m = t.mark()
t.send("T=0.6 key=4;")
t.read(r"T=0\.6 ")
m = t.mark()
t.send("red=0 key=4;")
check("T entered in reduced units", t.read(r"T=1\.2 "), t.text[m:])
# The checks of data entry: an error is corrected after i, a warning goes on after c.
m = t.mark()
t.send("q=5000 maxit=0;")
check("invalid maxit reported", t.read(r"invalid maxit[\s\S]*\(i\)gnore"), t.text[m:])
t.send("i")
check("suspicious q warned", t.read(r"q=5000 is suspicious[\s\S]*\(c\)ontinue"), t.text[m:])
t.send("c")
t.read(r"continuing")
t.read(r"key=4  res=0")
m = t.mark()
t.send("maxit q=1")
check("maxit corrected to 25", t.read(r"maxit = 25"), t.text[m:])
# Interrupt menu while data entry waits: r resumes, i goes on, j jumps back to data entry.
for choice, word in (("r", "resumed"), ("i", "interrupting iterations")):
    m = t.mark()
    t.interrupt()
    t.read(r"\(s\)croll")
    t.send(choice)
    check("interrupt " + choice, t.read(word), t.text[m:])
m = t.mark()
t.interrupt()
t.read(r"\(s\)croll")
t.send("j")
check("interrupt j jumps to data entry",
      t.read(r"LONG JUMP from interrupt[\s\S]*FAILED[\s\S]*key=4  res=0"), t.text[m:])
t.send(";")
t.send("key=-99;")
st = t.status()
check("exit key ends with status 0", st is not None and os.WIFEXITED(st) and os.WEXITSTATUS(st) == 0,
      t.text[-2000:])

for choice, expect in (("e", ("exit", 0)), ("a", ("signal", signal.SIGABRT))):
    t = Term()
    t.read(r"\(c\)ontinue")
    t.send("c")
    t.read(r"key=99")
    t.interrupt()
    t.read(r"\(s\)croll")
    t.send(choice)
    st = t.status()
    if expect[0] == "exit":
        ok = st is not None and os.WIFEXITED(st) and os.WEXITSTATUS(st) == 0 and "exiting" in t.text
    else:
        ok = st is not None and os.WIFSIGNALED(st) and os.WTERMSIG(st) == expect[1]
    check("interrupt " + choice, ok, t.text[-1500:])

# Batch: a first interrupt lets the run go on, a second one ends it with status 0.
subprocess.run([qor, "-s0", "-a0"], input=b"c\nkey=-1;\nsys\nkey=-99;\n", capture_output=True)
for second in (False, True):
    if os.path.exists("sys.get"):
        os.remove("sys.get")
    os.mkfifo("sys.get")
    p = subprocess.Popen([qor, "-s-1", "sys"], stderr=subprocess.DEVNULL)
    w = open("sys.get", "w")
    time.sleep(0.5)
    p.send_signal(signal.SIGINT)
    time.sleep(0.5)
    if second:
        p.send_signal(signal.SIGINT)
    else:
        w.write("key=-99;\n")
        w.flush()
    try:
        st = p.wait(10)
    except subprocess.TimeoutExpired:
        p.kill()
        st = None
    w.close()
    listing = open("sys.prt").read()
    check("batch interrupt %s" % ("twice" if second else "once"),
          st == 0 and "INTERRUPTED" in listing and ("image written" in listing) != second, listing)
sys.exit(1 if failures else 0)
PY
