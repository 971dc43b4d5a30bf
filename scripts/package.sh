#!/usr/bin/env bash
# Builds what a Windows host developer receives: dist/dotpress-<version>-windows.zip, with per
# architecture (x86 = i686, x64 = x86_64) Dotpress.dll, portfix.exe, the import libraries for
# the MSVC toolchain (Dotpress.lib) and for mingw-w64 (libDotpress.dll.a), the export list
# (Dotpress.def) and the sample host emboss_sample.exe, and once include/dotpress.h, LEEME.txt,
# README.txt and the CMake package configuration (cmake/DotpressConfig.cmake). The version is the project's (CMakeLists.txt), as the version blocks carry it.
#
#   scripts/package.sh     builds the Release configurations build/x86_64 and build/i686 (the
#                          same ones scripts/test.sh uses) and prints the package's contents
#
# tests/package/package_test.sh checks the package it makes.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=2

version=
for arch in x86_64 i686; do
    toolchain=()
    [ -f build/$arch/CMakeCache.txt ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake)
    cmake -S . -B build/$arch -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" >/dev/null
    cmake --build build/$arch -j$jobs --target Dotpress portfix emboss_sample \
        dotpress_msvc_import_library
    v=$(sed -n 's/^#define DOTPRESS_VERSION "\(.*\)"$/\1/p' build/$arch/generated/dotpress_version.h)
    if [ -z "$v" ] || { [ -n "$version" ] && [ "$v" != "$version" ]; }; then
        echo "package.sh: build/$arch has version '$v', expected '${version:-a version}'" >&2
        exit 1
    fi
    version=$v
done

name=dotpress-$version-windows
stage=build/package/$name
rm -rf build/package
mkdir -p "$stage/include" dist

for arch in x86_64 i686; do
    case $arch in
    x86_64) dir=$stage/x64 ;;
    i686) dir=$stage/x86 ;;
    esac
    mkdir -p "$dir"
    b=build/$arch
    cp $b/dotpress/Dotpress.dll $b/portfix/portfix.exe $b/examples/emboss_sample.exe \
        $b/dotpress/Dotpress.lib $b/dotpress/libDotpress.dll.a $b/dotpress/Dotpress.def "$dir/"
    # The symbols of the statically linked C++ runtime are of no use to a host developer.
    $arch-w64-mingw32-strip --strip-unneeded "$dir/Dotpress.dll" "$dir/portfix.exe" \
        "$dir/emboss_sample.exe"
done
cp include/dotpress.h "$stage/include/"
# find_package(Dotpress CONFIG) for hosts built with CMake, both architectures from one folder.
mkdir -p "$stage/cmake"
cp packaging/cmake/DotpressConfig.cmake "$stage/cmake/"
sed "s/@DOTPRESS_VERSION@/$version/g" packaging/cmake/DotpressConfigVersion.cmake.in \
    >"$stage/cmake/DotpressConfigVersion.cmake"

# The notes for host developers, with the version filled in and Windows line ends.
for note in LEEME.txt README.txt; do
    sed "s/@DOTPRESS_VERSION@/$version/g" packaging/$note | sed 's/$/\r/' >"$stage/$note"
done

# The same sources give the same archive: fixed times, a fixed order, no extra attributes.
epoch=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
find "$stage" -exec touch -h -d "@$epoch" {} +
zip_file=$PWD/dist/$name.zip
rm -f "$zip_file"
(cd build/package && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$zip_file")

echo "package.sh: dist/$name.zip"
unzip -l "$zip_file"
