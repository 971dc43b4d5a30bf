#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator of the mingw test programs and the way
# prefix.sh reaches wineboot and reg.
#
#   wine.sh <program> [args...]
#
# Why not plain `wine`: Debian's wrapper always starts the 32-bit loader when it is installed,
# and on a kernel that cannot execute 32-bit code (IA-32 emulation off, as on some VMs) that
# fails with "Exec format error" even for 64-bit programs. So the loader is chosen here: the
# 64-bit one for everything but 32-bit programs, which get the 32-bit one where the machine runs
# 32-bit code natively. Where it does not (no IA-32 support, or 32-bit executables handed to an
# emulator such as qemu-user through binfmt_misc, which Wine does not run under) a 32-bit program
# exits 77, which the test registration maps to "skipped".
#
# The program's output goes through a file: Wine's helper processes (services, explorer, ...)
# started by the program outlive it under a persistent wineserver and would keep ctest's pipe
# open. DOTPRESS_WINE_TIMEOUT (seconds, default 300) bounds a program that hangs in a dialog.
set -u

if [ $# -lt 1 ]; then
    echo "usage: wine.sh <program> [args...]" >&2
    exit 2
fi

skip_code=77
timeout_s=${DOTPRESS_WINE_TIMEOUT:-300}

# The PE machine of a file: 014c (i386), 8664 (x86-64), or nothing for a file that is not one.
pe_machine() {
    local off sig
    off=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [ -n "$off" ] || return 0
    sig=$(od -An -tx1 -j"$off" -N4 "$1" 2>/dev/null | tr -d ' ')
    [ "$sig" = "50450000" ] || return 0
    od -An -tx2 -j$((off + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

works() { [ -x "$1" ] && "$1" --version >/dev/null 2>&1; }

# True when 32-bit x86 executables are handed to an emulator by binfmt_misc.
i386_emulated() {
    local entry
    [ -r /proc/sys/fs/binfmt_misc/status ] || return 1
    grep -qx enabled /proc/sys/fs/binfmt_misc/status || return 1
    for entry in /proc/sys/fs/binfmt_misc/*; do
        case $entry in */status | */register) continue ;; esac
        grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^magic 7f454c4601.*0300$' "$entry" 2>/dev/null && return 0
    done
    return 1
}

wine32=
wine64=
for dir in ${DOTPRESS_WINE_LIBDIR:-} /usr/lib/wine /opt/wine-stable/bin /usr/bin; do
    [ -z "$wine64" ] && works "$dir/wine64" && wine64=$dir/wine64
    [ -z "$wine32" ] && works "$dir/wine" && wine32=$dir/wine
done
if [ -z "$wine64" ] && [ -z "$wine32" ]; then
    echo "wine.sh: no working Wine loader (install wine, wine64 and wine32:i386)" >&2
    exit 1
fi

loader=${wine64:-$wine32}
if [ -f "$1" ] && [ "$(pe_machine "$1")" = "014c" ]; then
    if [ -z "$wine32" ] || i386_emulated; then
        echo "wine.sh: $(basename "$1") is a 32-bit program and this machine does not run" \
            "32-bit code natively; skipped" >&2
        exit $skip_code
    fi
    loader=$wine32
fi
# A 64-bit Wine finds its 32-bit sibling through WINELOADER, as Debian's wrapper sets it.
export WINELOADER=$loader

out=$(mktemp "${TMPDIR:-/tmp}/dotpress-wine.XXXXXX")
trap 'rm -f "$out"' EXIT
child=
dump_and_stop() {
    [ -n "$child" ] && kill -TERM "$child" 2>/dev/null
    cat "$out"
    exit 143
}
trap dump_and_stop INT TERM

timeout -k 5 "$timeout_s" "$loader" "$@" >"$out" 2>&1 </dev/null &
child=$!
wait "$child"
rc=$?
cat "$out"
if [ "$rc" = 124 ]; then
    echo "wine.sh: $1 did not finish within ${timeout_s} s and was stopped" >&2
fi
exit "$rc"
