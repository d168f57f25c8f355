#!/usr/bin/env bash
# The shipped batch examples run end to end: each ends with status 0, its line reaches where
# its comment says, and its points satisfy the conditions of the model solved independently at
# high precision (tests/e2e/checkres.py). Arguments: the program, the source tree.
set -u
qor=$(realpath "$1")
src=$(realpath "$2")
py=python3
$py -c 'import mpmath' 2>/dev/null || py=/usr/bin/python3
$py -c 'import mpmath' 2>/dev/null || { echo "python3 with mpmath not found: examples skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$src"/examples/*.img "$src"/examples/*.get .
export QOR=$work  # no help file: the key names are not needed
fail=0
# run NAME POINTS X1 X2 X3 X4 TOL: the batch run, its count, its first x in [X1, X2] and its
# last x in [X3, X4], and the check of its points
run() {
  "$qor" -s-1 "$1" 2>/dev/null
  local st=$?
  local n first last
  n=$(grep -c '^ *[0-9]' "$1.res" 2>/dev/null)
  first=$(grep '^ *[0-9]' "$1.res" | head -1 | awk '{print $4}')
  last=$(grep '^ *[0-9]' "$1.res" | tail -1 | awk '{print $4}')
  echo "$1: status $st, $n points, x from $first to $last"
  if [ "$st" != 0 ] || [ "$n" != "$2" ]; then echo "FAIL: $1"; fail=1; return; fi
  if ! awk -v a="$first" -v b="$last" -v x1="$3" -v x2="$4" -v x3="$5" -v x4="$6" \
      'BEGIN { exit !(a >= x1 && a <= x2 && b >= x3 && b <= x4) }'; then
    echo "FAIL: $1 does not run from x in [$3, $4] to x in [$5, $6]"; fail=1
  fi
  $py "$src/tests/e2e/checkres.py" "$1.res" 12 "$7" || { echo "FAIL: $1 points"; fail=1; }
}
run vdw_typeI 63 0.97 1 0 0.03 1e-4         # from near species 1 to near species 2
run rk_additive 170 0.95 1 0 0.05 1e-4       # switches from steps in T to steps in p
run vdw_gasgas 400 0 0.05 0.45 0.55 1e-4     # up to 60 times the critical pressure of species 2
run vdw_azeotrope 40 0.37 0.39 0.38 0.40 1e-5
grep -q "forT=0" rk_additive.prt || { echo "FAIL: rk_additive did not switch to steps in p"; fail=1; }
grep -q "forT=0" vdw_gasgas.prt || { echo "FAIL: vdw_gasgas did not switch to steps in p"; fail=1; }
awk '$1 == 2 && $3 > 4 { high = 1 } END { exit !high }' vdw_gasgas.res ||
  { echo "FAIL: vdw_gasgas did not reach high pressure"; fail=1; }
exit $fail
