#!/usr/bin/env bash
# Runs the shipped example; the build directory is the first argument.
set -euo pipefail
build=${1:-build}
echo "(no demo yet)"
