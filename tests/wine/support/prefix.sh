#!/usr/bin/env bash
# Makes (or reuses) the throwaway Wine prefix of one build tree and leaves a persistent
# wineserver running on it, so that each test program starts in a fraction of a second.
#
#   prefix.sh <prefixdir>
#
# The prefix is 64-bit and runs both i686 and x86_64 programs (wine.sh picks the loader; only a
# kernel that refuses 32-bit code makes it skip the i686 ones). Graphics=null lets dialogs and
# message boxes run with no display; ShowCrashDialog=0 makes a crash end the process instead of
# waiting in the debugger. A prefix counts as made only once the marker file is written at the
# very end, so a half-made one from an interrupted run is thrown away and made again.
# Exits non-zero when the prefix cannot be made; every Wine step is bounded in time.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: prefix.sh <prefixdir>" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$(dirname "$1")"
prefix=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
marker=$prefix/.dotpress-prefix
log=$prefix.log
# Bump when the settings below change, so that old prefixes are made again.
version=1

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers, and no menu entries written into $HOME.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
export DOTPRESS_WINE_TIMEOUT=${DOTPRESS_WINE_TIMEOUT:-240}

wine_() { bash "$here/wine.sh" "$@" >>"$log" 2>&1; }
server() { wineserver "$@" </dev/null >>"$log" 2>&1; }

fail() {
    echo "prefix.sh: $*; the log of the Wine steps is $log" >&2
    tail -n 20 "$log" >&2 || true
    server -k || true
    exit 1
}

start_server() {
    # Exit status 2: a server already runs on this prefix (say, one left by an interrupted run);
    # the tests can use it as it is.
    local rc=0
    server -p || rc=$?
    [ "$rc" = 0 ] || [ "$rc" = 2 ] || fail "wineserver -p failed"
    # The first program on a new server waits seconds for Wine's own services to start; let
    # that be this one rather than the first test.
    wine_ reg query 'HKCU\Software\Wine\Drivers' || fail "a program does not start in the prefix"
}

if ! command -v wineserver >/dev/null 2>&1; then
    echo "prefix.sh: wineserver not found (install wine, wine64 and wine32:i386)" >&2
    exit 1
fi

if [ -f "$marker" ] && [ "$(cat "$marker")" = "$version" ]; then
    start_server
    echo "prefix.sh: reusing $prefix"
    exit 0
fi

start=$(date +%s)
# Only ever throw away what is a Wine prefix (or nothing yet): a wrong argument must not cost
# someone a folder.
if [ -d "$prefix" ] && [ -n "$(ls -A "$prefix")" ] && [ ! -f "$prefix/system.reg" ] &&
    [ ! -d "$prefix/drive_c" ]; then
    echo "prefix.sh: $prefix exists and is not a Wine prefix; not touching it" >&2
    exit 1
fi
: >"$log"
server -k || true
server -w || true
rm -rf "$prefix"

# No display is needed or wanted while the prefix is made; the null driver is set right after.
(
    unset DISPLAY WAYLAND_DISPLAY
    wine_ wineboot -i
) || fail "wineboot -i failed"
wine_ reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f ||
    fail "cannot set ShowCrashDialog"
wine_ reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f ||
    fail "cannot set the null graphics driver"

# Stopping the server writes the registry to disk, which must happen before the prefix is
# declared made; -k is seconds faster than waiting for it to wind down on its own.
server -k || true
[ -f "$prefix/system.reg" ] || fail "wineboot -i made no registry"
grep -q '"Graphics"="null"' "$prefix/user.reg" || fail "the settings did not reach user.reg"
echo "$version" >"$marker"

start_server
echo "prefix.sh: made $prefix in $(($(date +%s) - start)) s"
