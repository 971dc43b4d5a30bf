#!/usr/bin/env bash
# Installs, when missing, the Debian packages that a build needs.
#   deps.sh native   the native build (demo, unit tests, benchmarks)
#   deps.sh all      also the mingw-w64 cross compilers and Wine for the Windows tests, and
#                    what the release package needs: llvm-dlltool for Dotpress.lib, lld-link
#                    for the MSVC-ABI test host, zip and unzip
set -euo pipefail

want=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format libgtest-dev googletest libbenchmark-dev
  binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64 valgrind)
if [ "${1:-native}" = all ]; then
  want+=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb fonts-liberation fonts-wine
    llvm lld zip unzip)
fi

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${want[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${1:-native}" = all ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_ dpkg --add-architecture i386
    missing+=(wine32:i386)
  elif ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    missing+=(wine32:i386)
  fi
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_ apt-get update -q
  sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
