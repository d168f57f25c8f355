#!/usr/bin/env bash
# Runs the main example in batch mode: the whole critical line of a van der Waals mixture of
# type I, written to a res-file. The build directory is the first argument.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-build}")
qor=$build/src/qor/qor
demo=$build/demo
mkdir -p "$demo"
cd "$demo"
cp "$here/vdw_typeI.img" "$here/vdw_typeI.get" .
rm -f vdw_typeI.res
echo "== qor -s-1 vdw_typeI   (in $demo)"
sed -n 's/^! //p' vdw_typeI.get
status=0
"$qor" -s-1 vdw_typeI 2>/dev/null || status=$?
echo "== exit status $status; $(grep -c '^ *[0-9]' vdw_typeI.res) points in $demo/vdw_typeI.res:"
sed -n '1,8p' vdw_typeI.res
echo "   ..."
tail -n 3 vdw_typeI.res
echo "== the listing is $demo/vdw_typeI.prt. Columns: key, T, p (reduced), x, four model"
echo "   parameters, then compositions and densities. To plot p against T with gnuplot:"
echo "   gnuplot -p -e \"plot '$demo/vdw_typeI.res' using 2:3 with linespoints\""
exit $status
