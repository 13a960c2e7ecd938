#!/usr/bin/env bash
# Measures the setup program and prints the figures of the README's performance section:
#   - the native benchmarks of the registry scans (Google Benchmark, optimised build);
#   - under Wine, pinned to one CPU with the runs alternated: the time from start to the dialog
#     against a floor program that shows the same template with no logic, and one install of a
#     package of 97 files of 2 MiB and the two fonts, with the dialog and silently, against a
#     program that only loops CopyFileA over them; and the silent uninstall of that install against
#     a program that reads each of the same files once and deletes it;
#   - SetUp.exe's size and imported DLLs.
#   scripts/measure.sh [RUNS]   (default 9 runs of each)
# The build folders are $VORTEL_WINDOWS_BUILD (default build/windows) and $VORTEL_BENCH_BUILD
# (default build/bench).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-9}"
windows="${VORTEL_WINDOWS_BUILD:-build/windows}"
bench="${VORTEL_BENCH_BUILD:-build/bench}"

./scripts/install-deps.sh
cmake --preset bench -B "$bench" >/dev/null && cmake --build "$bench" --target core_bench >/dev/null
cmake --preset windows -B "$windows" >/dev/null
cmake --build "$windows" --target SetUp floor_dialog copy_floor delete_floor measure_setup >/dev/null

echo "== native benchmarks (in-memory registry)"
"$bench/bench/native/core_bench" --benchmark_format=console 2>/dev/null | grep -E '^BM_'

source scripts/wine-session.sh
start_wine_session
start_private_display
work="$VORTEL_WINE_ROOT/work"
rm -rf "$work"  # every run copies into folders of its own, none left from before
mkdir -p "$work/package/Data"
cp "$windows/SetUp.exe" "$work/package/"
# 97 program files and the two fonts: with the fonts in it, a silent install finishes with exit
# code 0.
for file in $(seq -w 0 96); do head -c 2097152 /dev/urandom >"$work/package/Data/part$file.dat"; done
for font in Vortel_EN.shx Vortel_HZ.shx; do head -c 4096 /dev/urandom >"$work/package/Data/$font"; done

# Make the prefix first, then start every Wine process of the measurement on CPU 0, each
# measurement once what was written before it is on the disk.
cmake/wine-run.sh cmd /c exit >/dev/null 2>&1
WINEPREFIX="$VORTEL_WINE_ROOT/win64" wineserver -k >/dev/null 2>&1 || true
to_windows() { local path; path="$(realpath "$1")"; echo "Z:${path//\//\\}"; }
measure() {
  sync
  taskset -c 0 cmake/wine-run.sh "$windows/bench/wine/measure_setup.exe" "$@" 2>/dev/null | tr -d '\r'
}

# The installs go below C:\, which only administrators may change: a per-machine install refuses a
# folder below Z:\tmp, which Wine shows as writable by everyone.
installs='C:\vortel-measure'
echo "== under Wine, pinned to CPU 0, $runs runs of each, alternated"
measure start "$(to_windows "$windows/SetUp.exe")" "$(to_windows "$windows/bench/wine/floor_dialog.exe")" "$runs"
measure install "$(to_windows "$work/package/SetUp.exe")" \
  "$(to_windows "$windows/bench/wine/copy_floor.exe")" "$installs" "$runs"
measure silent "$(to_windows "$work/package/SetUp.exe")" \
  "$(to_windows "$windows/bench/wine/copy_floor.exe")" "$installs" "$runs"
measure uninstall "$(to_windows "$work/package/SetUp.exe")" "$(to_windows "$windows/bench/wine/copy_floor.exe")" \
  "$(to_windows "$windows/bench/wine/delete_floor.exe")" "$installs" "$runs"

echo "== SetUp.exe"
echo "size: $(stat -c %s "$windows/SetUp.exe") bytes"
scripts/check-imports.sh "$windows/SetUp.exe"
