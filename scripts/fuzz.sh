#!/usr/bin/env bash
# Runs every fuzz target for longer (default 60 s each) and reports executions and findings.
#   scripts/fuzz.sh [SECONDS]
# Findings are kept in build/fuzz/findings/; each one should become a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
./scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
findings="build/fuzz/findings"
mkdir -p "$findings"
status=0
for target in trusted_paths; do
  work="build/fuzz/corpus-$target"
  mkdir -p "$work"
  log="build/fuzz/$target.log"
  if "build/fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
      -artifact_prefix="$findings/$target-" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see $log)"
    status=1
  fi
  executions="$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')"
  echo "$target: ${executions:-0} executions in ${seconds} s, $result"
done
exit "$status"
