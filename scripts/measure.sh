#!/usr/bin/env bash
# Measures the setup program and prints the figures of the README's performance section:
#   - the native benchmarks of the registry scans (Google Benchmark, optimised build);
#   - under Wine, pinned to one CPU with the runs alternated: the time from start to the dialog
#     against a floor program that shows the same template with no logic, and one install of a
#     200 MB package of 100 files against a program that only loops CopyFileA over them;
#   - SetUp.exe's size and imported DLLs.
#   scripts/measure.sh [RUNS]   (default 9 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-9}"

./scripts/install-deps.sh
cmake --preset bench >/dev/null && cmake --build --preset bench --target core_bench >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target SetUp floor_dialog copy_floor measure_setup >/dev/null

echo "== native benchmarks (in-memory registry)"
build/bench/bench/native/core_bench --benchmark_format=console 2>/dev/null | grep -E '^BM_'

source scripts/wine-session.sh
start_wine_session
start_private_display
work="$VORTEL_WINE_ROOT/work"
mkdir -p "$work/package/Data"
cp build/windows/SetUp.exe "$work/package/"
for file in $(seq -w 0 99); do head -c 2097152 /dev/urandom >"$work/package/Data/part$file.dat"; done

# Make the prefix first, then start every Wine process of the measurement on CPU 0.
cmake/wine-run.sh cmd /c exit >/dev/null 2>&1
WINEPREFIX="$VORTEL_WINE_ROOT/win64" wineserver -k >/dev/null 2>&1 || true
to_windows() { echo "Z:${1//\//\\}"; }
measure() { taskset -c 0 cmake/wine-run.sh build/windows/bench/wine/measure_setup.exe "$@" 2>/dev/null | tr -d '\r'; }

echo "== under Wine, pinned to CPU 0, $runs runs of each, alternated"
measure start "$(to_windows "$PWD/build/windows/SetUp.exe")" \
  "$(to_windows "$PWD/build/windows/bench/wine/floor_dialog.exe")" "$runs"
measure install "$(to_windows "$work/package/SetUp.exe")" \
  "$(to_windows "$PWD/build/windows/bench/wine/copy_floor.exe")" "$(to_windows "$work")" "$runs"

echo "== SetUp.exe"
echo "size: $(stat -c %s build/windows/SetUp.exe) bytes"
scripts/check-imports.sh build/windows/SetUp.exe
