#!/usr/bin/env bash
# cmake --install puts the program and its data files in place: the installed program, run
# from an empty directory, finds its help file and its default data.
# Arguments: the program, the source tree, the build tree.
set -u
build=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null || { echo "FAIL: install"; exit 1; }
mkdir "$work/run" && cd "$work/run"
out=$(printf 'key=-66;\nkey=-99;\n' | env -u QOR "$work/prefix/bin/qor" -a0 2>&1)
fail=0
echo "$out" | grep -q "not found" && { echo "FAIL: a data file was not found"; fail=1; }
echo "$out" | grep -q "no default file" && { echo "FAIL: qor.def not found"; fail=1; }
echo "$out" | grep -q "2=critical line" || { echo "FAIL: no key names from the help file"; fail=1; }
[ -s exit.img ] || { echo "FAIL: no exit image"; fail=1; }
[ $fail = 0 ] && echo "ok: installed program finds its files"
exit $fail
