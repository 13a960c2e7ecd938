#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every suite: the native unit and contract
# suites (sanitizers on) and the Windows-side suites under Wine. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
source scripts/wine-session.sh
start_wine_session
start_private_display

echo "== native: portable core against the fakes"
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
ctest --preset windows
echo "== the dialog as the end-to-end suite saw it: build/windows/tests/e2e/setup-dialog.bmp"
