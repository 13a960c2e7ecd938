#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every suite: natively the unit suites (with
# the fault sweep) and the contract suite under the sanitizers, and a short run of each fuzz
# target; under Wine the import check of SetUp.exe, the contract suite and the end-to-end suite
# in a 64-bit and a 32-bit prefix. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
source scripts/wine-session.sh
start_wine_session
start_private_display 1600x1200  # room for the setup dialog at 200 %
# Making a Wine prefix takes a while: both are made while the native suites build and run.
prefixes=()
for arch in win64 win32; do
  VORTEL_WINEARCH=$arch bash -c 'source cmake/wine-env.sh' &
  prefixes+=($!)
done

echo "== native: the program's logic on the in-memory machine, sanitizers on"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzz: short runs of every fuzz target from its seed corpus"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

echo "== windows: SetUp.exe and the Windows-side suites under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
wait "${prefixes[@]}"
ctest --preset windows
