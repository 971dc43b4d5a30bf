#!/usr/bin/env bash
# Builds the three targets and runs every test: the native suites (plain, then under
# AddressSanitizer and UndefinedBehaviorSanitizer), then the real DLL and EXE of both Windows
# architectures under Wine, then the release package, with the hosts built from it run under
# Wine. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh all

step() { printf '\n=== %s\n' "$*"; }
jobs=2

step "format"
git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror

step "native (g++)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j$jobs
(cd build/native && ctest -j$jobs --output-on-failure)

step "native (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang CXX=clang++ cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DDOTPRESS_SANITIZE=ON >/dev/null
cmake --build build/asan -j$jobs
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest -j$jobs --output-on-failure)

step "fuzz targets (libFuzzer, 50 s each)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDOTPRESS_FUZZ=ON -DDOTPRESS_SANITIZE=ON -DDOTPRESS_TESTS=OFF >/dev/null
cmake --build build/fuzz -j$jobs
scripts/fuzz.sh build/fuzz 50

for arch in x86_64 i686; do
  step "Windows $arch under Wine"
  cmake -S . -B build/$arch -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake >/dev/null
  cmake --build build/$arch -j$jobs
  (cd build/$arch && ctest --output-on-failure)
done

step "release package, and the hosts built from it under Wine"
scripts/package.sh
version=$(sed -n 's/^#define DOTPRESS_VERSION "\(.*\)"$/\1/p' build/x86_64/generated/dotpress_version.h)
tests/package/package_test.sh dist/dotpress-$version-windows.zip

step "all tests passed"
