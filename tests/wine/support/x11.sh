#!/usr/bin/env bash
# Runs a Wine program of a build on an X display as a desktop has one: an Xvfb server of its own
# with a window manager (openbox) on it, and a prefix of its own beside the test prefix that uses
# Wine's X11 driver instead of the null one. Used for the tests that only an X display shows
# (windows shown, hidden and activated through the window manager) and for the line benchmark's
# figures under X11:
#
#   x11.sh <build dir> <program> [args...]
#   tests/wine/support/x11.sh build/x86_64 build/x86_64/tests/wine/bench/line_bench_wine.exe
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: x11.sh <build dir> <program> [args...]" >&2
    exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

build=$(cd "$1" && pwd)
shift
command -v Xvfb >/dev/null || { echo "x11.sh: Xvfb not found" >&2; exit 1; }
command -v openbox >/dev/null || { echo "x11.sh: openbox not found" >&2; exit 1; }

export WINEPREFIX=$build/wineprefix-x11
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export DOTPRESS_TEST_DIR=$build

scratch=$(mktemp -d "${TMPDIR:-/tmp}/dotpress-x11.XXXXXX")
mkfifo "$scratch/display" "$scratch/wm"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
wm=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
read -r display <"$scratch/display"
export DISPLAY=:$display

# The window manager, with a configuration of its own (no session, no user files), ready once it
# runs its startup command.
mkdir -p "$scratch/config/openbox"
XDG_CONFIG_HOME=$scratch/config HOME=$scratch openbox --sm-disable \
    --startup "sh -c 'echo ready >$scratch/wm'" >/dev/null 2>&1 &
wm=$!
if ! timeout 20 sh -c "read -r line <'$scratch/wm'"; then
    echo "x11.sh: openbox did not start" >&2
    exit 1
fi

# The prefix is made (or reused) with the null driver, then switched to X11; the server is
# started again so that the desktop comes up on the X display.
bash "$here/prefix.sh" "$WINEPREFIX" >/dev/null
bash "$here/wine.sh" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d x11 /f \
    >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p
bash "$here/wine.sh" "$@"
