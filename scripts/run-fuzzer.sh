#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds over its seed corpus and prints what it did.
# New inputs go to a scratch folder, so the committed corpus is only read.
#   run-fuzzer.sh FUZZER SEED_CORPUS SECONDS
set -euo pipefail
fuzzer="$1"
seeds="$2"
seconds="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
log="$scratch/log"
if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$scratch/" "$scratch" "$seeds" >"$log" 2>&1; then
  cat "$log"
  for crash in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-*; do
    [ -e "$crash" ] && echo "finding: $(basename "$crash") $(od -An -tx1 "$crash" | tr -d " \n" | head -c 400)"
  done
  exit 1
fi
grep -E '^#[0-9]+ *DONE' "$log" || tail -n 2 "$log"
