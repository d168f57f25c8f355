#!/usr/bin/env bash
# The program in batch mode: the listing, the exit statuses, images made by the program itself.
# Arguments: the program, the source tree.
set -u
qor=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src/data/qor.k99" .
export QOR=$work   # help file here, and no default data file
fail=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then echo "FAIL: $1: expected $2, got $3"; fail=1; else echo "ok: $1"; fi
}

# An image made interactively by the program: key -1 asks for its name.
printf 'c\nT=0.7 p=0.05 x=0.3 key=-1;\nsys\nkey=-99;\n' | "$qor" -s0 >make.log 2>&1
check "image written at the prompt" 0 $?
check "image size" 768 "$(stat -c %s sys.img 2>/dev/null)"
grep -q "WARNING no default file" make.log
check "interactive start without qor.def warns" 0 $?

# A batch run that ends with key=-99 writes its listing and ends with status 0.
printf 'key=4;\nkey=-99;\n' >sys.get
"$qor" -s-1 sys 2>/dev/null
check "batch run status" 0 $?
grep -q "QOR batch mode, system name=sys, res-file=sys.res" sys.prt
check "listing header" 0 $?
grep -q "  T=0.7 " sys.prt
check "state restored from the image" 0 $?
"$qor" -s-2 sys 2>/dev/null
check "appending batch run" 2 "$(grep -c 'QOR batch mode' sys.prt)"
"$qor" -s-1 sys 2>/dev/null
check "rewriting batch run" 1 "$(grep -c 'QOR batch mode' sys.prt)"

# Statuses of the ways a batch run can end.
printf 'maxit=0;\nkey=-99;\n' >sys.get
"$qor" -s-1 sys 2>/dev/null
check "error report ends the run" 1 $?
grep -q "invalid maxit" sys.prt
check "error report in the listing" 0 $?
printf 'bogus=1;\n' >sys.get
"$qor" -s-1 sys 2>/dev/null
check "unknown identifier (code of 'd')" 100 $?
printf 'key=4;\n' >sys.get
"$qor" -s-1 sys 2>/dev/null
check "end of input" 1 $?
grep -q "EOF on in" sys.prt
check "end of input reported" 0 $?
printf 'key=10 V=0.1;\nkey=-99;\n' >sys.get
"$qor" -s-1 sys 2>/dev/null
check "failed computation" 255 $?
grep -q "LONG JUMP from" sys.prt && grep -q "FAILED" sys.prt
check "failure in the listing" 0 $?
"$qor" -s-1 nosuch 2>err.log
check "missing image" 1 $?
grep -q "open nosuch.img" err.log
check "missing image reported" 0 $?
rm -f sys.get
"$qor" -s-1 sys 2>err.log
check "missing batch file" 1 $?
grep -q "open sys.get file" err.log
check "missing batch file reported" 0 $?
"$qor" -s-1 2>err.log
check "batch without a name" 1 $?
"$qor" -z 2>err.log
check "unknown option" 1 $?
grep -q "unknown option -z" err.log
check "unknown option reported" 0 $?
mkdir dir.img
"$qor" -s-1 dir 2>err.log
check "a directory as image" 1 $?

# Options: -o names the res-file, before or after the system name.
printf 'key=-99;\n' >sys.get
"$qor" -s-1 -o run1.res sys 2>/dev/null
grep -q "res-file=run1.res" sys.prt
check "bare -o takes the next argument" 0 $?
"$qor" -s-1 -orun2.res sys 2>/dev/null
grep -q "res-file=run2.res" sys.prt
check "-oNAME" 0 $?

# The image of the exit key restores the same state.
"$qor" -s-1 sys 2>/dev/null
cmp -s sys.img exit.img
check "exit.img equals the start image" 0 $?

# Byte order: -r1 reads the start image reversed (and only that one).
python3 - <<'PY'
b = open("sys.img", "rb").read()
open("rev.img", "wb").write(b"".join(b[i:i + 8][::-1] for i in range(0, len(b), 8)))
PY
printf 'key=-99;\n' >rev.get
"$qor" -s-1 -r1 rev 2>/dev/null
check "reversed image with -r1" 0 $?
grep -q "  T=0.7 " rev.prt
check "reversed image read right" 0 $?
cmp -s sys.img exit.img
check "exit image written in the normal order after -r1" 0 $?

# A directory where the listing should go: it cannot be opened.
rm -f sys.prt && mkdir sys.prt
"$qor" -s-1 sys 2>err.log
check "listing that cannot be written" 1 $?
grep -q "open sys.prt file" err.log
check "listing failure reported" 0 $?
rmdir sys.prt

# An unwritable working directory: the listing cannot be opened.
if [ "$(id -u)" != 0 ]; then
  mkdir ro && cp sys.img sys.get ro/ && chmod a-w ro
  (cd ro && "$qor" -s-1 sys 2>../err.log)
  check "unwritable directory" 1 $?
  chmod u+w ro
fi
exit $fail
