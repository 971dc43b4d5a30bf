#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build: each first replays its whole seed corpus in
# fuzz/corpus/<target> (every input once), then fuzzes for the rest of its time. What a run finds
# goes to a scratch folder, not into the repository; a crash leaves its input in
# <build>/crashes and makes the script exit non-zero.
#
#   scripts/fuzz.sh [build folder] [seconds per target] [targets at a time]
#                                                   defaults: build/fuzz 50 1
#
# scripts/test.sh runs it briefly (a few seconds per target, two at a time); the figures of the
# long runs are in the README.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-50}
parallel=${3:-1}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/crashes"
# A small quarantine keeps AddressSanitizer's use-after-free checks and costs far fewer page
# faults per run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=5}

# One target: its corpus replayed, then fuzzed until its time is up. Prints one line.
run() {
    local target=$1 name
    name=$(basename "$target")
    mkdir -p "$scratch/$name"
    if "$target" -max_total_time="$seconds" -max_len=1024 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$name-" "$scratch/$name" "fuzz/corpus/$name" \
        >"$scratch/$name.log" 2>&1; then
        local inputs runs
        inputs=$(find "fuzz/corpus/$name" -type f | wc -l)
        runs=$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$name.log" |
            grep -o '[0-9]*$')
        echo "$name: $inputs corpus inputs replayed, ${runs:-?} runs in ${seconds} s, no failure"
    else
        echo "$name: FAILED"
        tail -n 30 "$scratch/$name.log"
        return 1
    fi
}

status=0
running=0
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    if [ "$running" -ge "$parallel" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
    run "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
