#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time, starting from its seed corpus
# in fuzz/corpus/<target>. What a run finds goes to a scratch folder, not into the repository;
# a crash leaves its input in build/fuzz/crashes and makes the script exit non-zero.
#
#   scripts/fuzz.sh [build folder] [seconds per target]      defaults: build/fuzz 50
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-50}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/crashes"
# A small quarantine keeps AddressSanitizer's use-after-free checks and costs far fewer page
# faults per run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=5}
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$scratch/$name"
  if "$target" -max_total_time="$seconds" -max_len=1024 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$name-" "$scratch/$name" "fuzz/corpus/$name" \
      >"$scratch/$name.log" 2>&1; then
    runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$name.log" | grep -o '[0-9]*$')
    echo "$name: ${runs:-?} runs in ${seconds} s, no failure"
  else
    echo "$name: FAILED"
    tail -n 30 "$scratch/$name.log"
    status=1
  fi
done
exit $status
