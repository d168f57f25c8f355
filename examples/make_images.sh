#!/usr/bin/env bash
# Makes the images of the batch examples with the program itself: each is the state typed at
# the status display and saved with key -1. Usage: examples/make_images.sh [path/to/qor]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
qor=$(realpath "${1:-$here/../build/src/qor/qor}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# image NAME STATE: the state is one data entry; c answers the missing default file
image() {
  printf 'c\n%s key=-1;\n%s\nkey=-99;\n' "$2" "$1" | QOR="$work" "$qor" -s0 -a0 >"$1.log" 2>&1
  cp "$1.img" "$here/$1.img"
  echo "$here/$1.img"
}
# Start points: critical points and an azeotrope of each mixture, computed beforehand by an
# independent high-precision solver; the program refines them at the first point.
image vdw_typeI  'a2=2.5 aX=1 s2=1.3 body1=1 body2=1 x=0.99 T=0.5661344216 p=0.1338561673 diagram=2 forT=0'
image rk_additive 'a2=2.5 aX=1 s2=1.3 body1=2 body2=3 x=0.97 T=0.5355767560 p=0.0875377177 diagram=2 forT=1'
image vdw_gasgas 'a2=2 aX=0.5 s2=1 body1=1 body2=1 x=0.03 T=1.1195475438 p=0.2907556250 diagram=2 forT=1'
image vdw_azeotrope 'a2=1.05 aX=0.9 s2=1.05 body1=1 body2=1 x=0.382150815523 T=0.45 p=0.067418397196 diagram=2 forT=1'
