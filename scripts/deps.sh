#!/usr/bin/env bash
# Installs, when missing, the Debian packages that a build needs.
#   deps.sh native   the native build (demo, benchmarks)
#   deps.sh tests    also liblouis, with which the native tests read jobs back as a reader would
#   deps.sh all      also the mingw-w64 cross compilers and Wine for the Windows tests, and
#                    what the release package needs: llvm-dlltool for Dotpress.lib, lld-link
#                    for the MSVC-ABI test host, zip and unzip
set -euo pipefail

want=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format libgtest-dev googletest libbenchmark-dev
  binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64 valgrind)
if [ "${1:-native}" != native ]; then
  want+=(pkg-config liblouis-bin liblouis-dev liblouis-data)
fi
if [ "${1:-native}" = all ]; then
  want+=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb openbox fonts-liberation fonts-wine
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
  # A mirror in the middle of a sync fails one index now and then ("File has unexpected size");
  # the install below only needs the indexes that did arrive, so a failed update is retried and
  # then let pass, and the install itself is what decides.
  for attempt in 1 2 3; do
    sudo_ apt-get update -q && break
    echo "apt-get update failed (attempt $attempt)"; sleep $((attempt * 10))
  done
  # When the security suite's i386 index is the one that failed, its amd64 libraries are newer
  # than any i386 twin apt knows of, and wine32's Multi-Arch libraries cannot be matched: the
  # release suite's versions then serve both architectures (-t bookworm).
  install() { sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@" "${missing[@]}"; }
  for attempt in 1 2 3; do
    install && break
    install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" && break
    [ "$attempt" -lt 3 ] || exit 1
    echo "apt-get install failed (attempt $attempt)"; sleep $((attempt * 10))
    sudo_ apt-get update -q || true
  done
fi
