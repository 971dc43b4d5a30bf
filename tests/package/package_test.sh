#!/usr/bin/env bash
# Checks a release package as a host developer would use it: unpacks it, checks its list of
# files, then for each architecture builds two hosts against what is inside (not against the
# build folders) and runs them under Wine on the package's own Dotpress.dll:
#   - msvc_host.c, C for the MSVC ABI (clang --target <arch>-pc-windows-msvc, through
#     include/dotpress.h only), linked with lld-link against Dotpress.lib and the system's
#     import libraries;
#   - the sample host (examples/), built with mingw-w64 against libDotpress.dll.a as the
#     package's README says;
#   - tests/package/cmake_consumer, a CMake project that finds the package with
#     find_package(Dotpress CONFIG) and links its imported target, built with the mingw-w64
#     toolchain of the architecture: it must get that architecture's DLL and import library.
# Before anything runs, each host's imports from Dotpress.dll must name the DLL's exports with
# the DLL's ordinals as hints: a wrong name or decoration already fails the link, a wrong
# ordinal fails here. package_harness.exe (built in build/<arch>) then runs the hosts, answers
# their dialogs by keyboard and reads their jobs back from a printer's file.
#
#   tests/package/package_test.sh dist/dotpress-<version>-windows.zip
#
# Exits non-zero on any failure; an architecture whose programs this machine cannot run under
# Wine (wine.sh exit 77) is reported as skipped.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: package_test.sh <dotpress-VERSION-windows.zip>" >&2
    exit 2
fi
zip_file=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

name=$(basename "$zip_file" .zip)
version=${name#dotpress-}
version=${version%-windows}
work=$root/build/package-test
prefix=$root/build/package-prefix
rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip_file" -d "$work"
top=$work/$name
fail() {
    echo "package_test.sh: $*" >&2
    exit 1
}
[ -d "$top" ] || fail "$name.zip does not hold the folder $name"

step() { printf '\n--- %s\n' "$*"; }
trap 'echo "package_test.sh: failed at line $LINENO" >&2' ERR

step "contents of $name.zip"
expected="./LEEME.txt
./README.txt
./cmake/DotpressConfig.cmake
./cmake/DotpressConfigVersion.cmake
./include/dotpress.h"
for dir in x64 x86; do
    for file in Dotpress.def Dotpress.dll Dotpress.lib emboss_sample.exe libDotpress.dll.a \
        portfix.exe; do
        expected="$expected
./$dir/$file"
    done
done
contents=$(cd "$top" && find . -type f | LC_ALL=C sort)
if [ "$contents" != "$(printf '%s\n' "$expected" | LC_ALL=C sort)" ]; then
    printf 'found:\n%s\nexpected:\n%s\n' "$contents" "$expected" >&2
    fail "the package does not hold what a host developer needs"
fi
for note in LEEME.txt README.txt; do
    grep -q "^Dotpress $version " "$top/$note" || fail "$note does not name version $version"
done
echo "ok: $(printf '%s\n' "$contents" | wc -l) files"

# "name ordinal" of a DLL's exports, sorted.
exports_of() {
    "$objdump" -p "$1" | awk -f "$root/tests/support/pe_exports.awk" | LC_ALL=C sort
}
# "name hint" of a program's imports from Dotpress.dll, sorted.
imports_of() {
    "$objdump" -p "$1" | awk '
        /DLL Name:/ { in_dll = (tolower($3) == "dotpress.dll"); next }
        in_dll && NF == 0 { in_dll = 0 }
        in_dll && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print $3, $2 }' | LC_ALL=C sort
}
# Every import of the program names an export of the DLL with its ordinal; with "all", the
# program imports every export.
check_imports() {
    local program=$1 dll=$2 all=${3:-}
    local imports exports stray
    imports=$(imports_of "$program")
    exports=$(exports_of "$dll")
    [ -n "$imports" ] || fail "$(basename "$program") imports nothing from Dotpress.dll"
    stray=$(LC_ALL=C comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$exports"))
    if [ -n "$stray" ]; then
        printf 'imports (name hint) of %s that Dotpress.dll does not export so:\n%s\n' \
            "$program" "$stray" >&2
        printf 'exports (name ordinal):\n%s\n' "$exports" >&2
        fail "$(basename "$program"): an import names no export, or not its ordinal"
    fi
    if [ "$all" = all ] && [ "$imports" != "$exports" ]; then
        fail "$(basename "$program") does not import all of Dotpress.dll's exports"
    fi
    echo "ok: $(basename "$program") imports $(printf '%s\n' "$imports" | wc -l) exports by name, hints = ordinals"
}

# Configures tests/package/cmake_consumer against the unpacked package into <build dir>, with the
# rest of the arguments; the output goes to <build dir>.log, and on failure to the terminal too.
configure_consumer() {
    local build=$1
    shift
    rm -rf "$build"
    if ! cmake -S tests/package/cmake_consumer -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$top" "$@" >"$build.log" 2>&1; then
        cat "$build.log" >&2
        return 1
    fi
}

skipped=()
for arch in x86_64 i686; do
    case $arch in
    x86_64) dir=$top/x64 safeseh= ;;
    i686) dir=$top/x86 safeseh=/safeseh:no ;; # mingw-w64's import libraries carry no SEH table
    esac
    triple=$arch-w64-mingw32
    objdump=$triple-objdump
    sysroot=/usr/$triple/lib

    step "$arch: the MSVC-ABI host against Dotpress.lib"
    clang --target=$arch-pc-windows-msvc -std=c11 -O1 -ffreestanding -fno-stack-protector \
        -Wall -Wextra -Werror -I"$top/include" -c tests/package/msvc_host.c -o "$dir/msvc_host.obj"
    lld-link /nologo /subsystem:console /entry:hostMain /nodefaultlib $safeseh \
        /out:"$dir/msvc_host.exe" "$dir/msvc_host.obj" "$dir/Dotpress.lib" \
        "$sysroot/libkernel32.a" "$sysroot/libuser32.a"
    rm -f "$dir/msvc_host.obj"
    check_imports "$dir/msvc_host.exe" "$dir/Dotpress.dll" all

    step "$arch: the sample host with mingw-w64 against libDotpress.dll.a"
    # The import library by its path, as the README says: with -static, -lDotpress would find
    # Dotpress.lib first. No stdcall fix-up: ld would otherwise bind _ImpImprimirLinea@4 to a
    # symbol without the decoration, which lld and a strict link refuse.
    $triple-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -I"$root" -I"$top/include" \
        examples/main_win32.cpp examples/sample_host.cpp "$dir/libDotpress.dll.a" -static \
        -Wl,--disable-stdcall-fixup -o "$dir/emboss_sample_mingw.exe"
    check_imports "$dir/emboss_sample_mingw.exe" "$dir/Dotpress.dll"
    check_imports "$dir/emboss_sample.exe" "$dir/Dotpress.dll"

    step "$arch: a CMake project that finds the package"
    consumer=$work/consumer-$arch
    configure_consumer "$consumer" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" ||
        fail "$arch: find_package(Dotpress) failed"
    cmake --build "$consumer" >>"$consumer.log" 2>&1 ||
        { cat "$consumer.log"; fail "$arch: the CMake consumer does not build"; }
    grep -q "Dotpress $version: $dir/Dotpress.dll, $dir/libDotpress.dll.a" "$consumer.log" ||
        fail "$arch: find_package(Dotpress) named other files for mingw-w64"
    cmp -s "$consumer/Dotpress.dll" "$dir/Dotpress.dll" ||
        fail "$arch: the DLL beside the consumer is not the package's $(basename "$dir") one"
    check_imports "$consumer/consumer.exe" "$dir/Dotpress.dll"
    # A toolchain of the MSVC kind gets Dotpress.lib (configured only: no C runtime here).
    configure_consumer "$consumer-msvc" -DCMAKE_TOOLCHAIN_FILE="$root/tests/package/clang-msvc.cmake" \
        -DDOTPRESS_MSVC_TARGET=$arch-pc-windows-msvc || fail "$arch: find_package(Dotpress) failed for MSVC"
    grep -q "Dotpress $version: $dir/Dotpress.dll, $dir/Dotpress.lib" "$consumer-msvc.log" ||
        fail "$arch: find_package(Dotpress) named other files for the MSVC ABI"
    # Another major version is refused.
    if configure_consumer "$consumer-v5" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DDOTPRESS_CONSUMER_VERSION=5 2>/dev/null; then
        fail "$arch: find_package(Dotpress 5) accepted version $version"
    fi
    echo "ok: find_package(Dotpress $version CONFIG) gives $(basename "$dir")/Dotpress.dll with" \
        "libDotpress.dll.a for mingw-w64, Dotpress.lib for the MSVC ABI"

    step "$arch: the hosts under Wine"
    cmake --build build/$arch -j2 --target package_harness >/dev/null ||
        fail "cannot build build/$arch's package_harness (run scripts/package.sh first)"
    WINEPREFIX=$prefix bash tests/wine/support/prefix.sh "$prefix" >/dev/null
    # With Wine's heap checking, as the other Wine tests: the hosts inherit it, and a block
    # freed twice or overrun in any of them is reported on the shared output.
    rc=0
    log=$work/wine-$arch.log
    WINEPREFIX=$prefix WINEDEBUG=-all,warn+heap WINEDLLOVERRIDES=mscoree,mshtml= \
        DOTPRESS_TEST_DIR=$dir DOTPRESS_PACKAGE_VERSION=$version DOTPRESS_WINE_TIMEOUT=240 \
        bash tests/wine/support/wine.sh build/$arch/tests/wine/package/package_harness.exe \
        >"$log" 2>&1 || rc=$?
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    cat "$log"
    if [ "$rc" = 77 ]; then
        skipped+=("$arch")
    elif [ "$rc" != 0 ]; then
        fail "$arch: the hosts built from the package failed under Wine"
    elif grep -Eq '(warn|err):heap:' "$log"; then
        fail "$arch: Wine reported a heap fault"
    fi

    step "$arch: the CMake consumer under Wine"
    rc=0
    WINEPREFIX=$prefix WINEDEBUG=-all,warn+heap WINEDLLOVERRIDES=mscoree,mshtml= \
        bash tests/wine/support/wine.sh "$consumer/consumer.exe" >"$log" 2>&1 || rc=$?
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    cat "$log"
    if [ "$rc" != 77 ] && { [ "$rc" != 0 ] || grep -Eq '(warn|err):heap:' "$log"; }; then
        fail "$arch: the CMake consumer failed under Wine"
    fi
done

if [ ${#skipped[@]} -gt 0 ]; then
    echo "package_test.sh: $name passed; under Wine skipped for: ${skipped[*]}"
else
    echo "package_test.sh: $name passed on x86_64 and i686"
fi
