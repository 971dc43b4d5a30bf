#!/usr/bin/env bash
# Builds the three targets and runs every test: the real DLL and EXE of both Windows
# architectures under Wine, the release package with the hosts built from it run under Wine, the
# native suites (plain, then under AddressSanitizer and UndefinedBehaviorSanitizer), and every
# fuzz corpus replayed with each target fuzzed briefly (long runs: scripts/fuzz.sh). Exits
# non-zero when any of them fails.
#
# Both cores stay busy: the builds run one after another with two jobs each, and the suites that
# mostly wait for Wine run in the background beside the builds that follow them, each into
# build/test-logs/<suite>.log, which is shown once the suite has ended.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh all

start=$(date +%s)
step() { printf '\n=== %s (%d s)\n' "$*" $(($(date +%s) - start)); }
jobs=2
logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

# A suite run in the background: its output goes to its log, its exit status to <log>.status.
declare -a suites=()
background() {
    local name=$1
    shift
    suites+=("$name")
    echo "    $name runs in the background: $logs/$name.log"
    (
        set +e
        "$@" >"$logs/$name.log" 2>&1
        echo $? >"$logs/$name.status"
    ) &
}
# At the end, and also when a step fails: waits for the background suites (each is bounded in
# time, and none is left running), shows what each printed, and fails if anything failed.
finish() {
    local status=$1 failed=()
    wait || true
    for name in "${suites[@]}"; do
        step "$name (its log)"
        cat "$logs/$name.log" 2>/dev/null || true
        [ "$(cat "$logs/$name.status" 2>/dev/null)" = 0 ] || failed+=("$name")
    done
    [ "$status" = 0 ] || failed+=("the step above")
    if [ ${#failed[@]} -gt 0 ]; then
        printf '\n=== FAILED: %s (%d s)\n' "${failed[*]}" $(($(date +%s) - start))
        exit 1
    fi
    step "all tests passed"
}
trap 'finish $?' EXIT

step "format"
git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror

for arch in x86_64 i686; do
    step "Windows $arch: build, then its Wine tests in the background"
    cmake -S . -B build/$arch -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake >/dev/null
    cmake --build build/$arch -j$jobs
    background "windows-$arch" bash -c "cd build/$arch && ctest --output-on-failure"
done

step "release package, and the hosts built from it under Wine in the background"
scripts/package.sh
version=$(sed -n 's/^#define DOTPRESS_VERSION "\(.*\)"$/\1/p' build/x86_64/generated/dotpress_version.h)
background package tests/package/package_test.sh dist/dotpress-$version-windows.zip

step "native (g++)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j$jobs
(cd build/native && ctest -j$jobs --output-on-failure)

# One clang build serves the sanitizers and the fuzz targets: the library is compiled once for
# both, with AddressSanitizer, UBSan and the fuzzers' coverage.
step "native (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang CXX=clang++ cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DDOTPRESS_SANITIZE=ON -DDOTPRESS_FUZZ=ON >/dev/null
cmake --build build/asan -j$jobs
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest -j$jobs --output-on-failure)

step "fuzz targets (libFuzzer: every corpus replayed, then 5 s of fuzzing each, two at a time)"
scripts/fuzz.sh build/asan 5 2
