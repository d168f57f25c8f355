#!/usr/bin/env bash
# Runs the data-entry example on a short scripted input; the build directory is the argument.
# The input is copied to the output, so each statement is shown with what it printed.
set -euo pipefail
build=${1:-build}
"$build/examples/getdata_demo" 2>&1 <<'INPUT'
T=350 x+=0.1 ?p=2^3 ! a comment; the ; in it does not end the data
c[1]=sqrt 2 ?c[1] 2*pi ??
?%9.4f T x x*=2 ;
bogus=1
r
?
key=5 ?=;
key=-99;
INPUT
