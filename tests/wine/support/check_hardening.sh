#!/bin/sh
# Reads an image's DllCharacteristics with objdump (on the build machine, no Wine): address space
# layout randomisation (DYNAMIC_BASE) with the relocations it needs, data execution prevention
# (NX_COMPAT), and on x86_64 high-entropy addresses (HIGH_ENTROPY_VA).
#
#   check_hardening.sh <objdump> <image> <32|64>
set -u
if [ $# -ne 3 ]; then
    echo "usage: check_hardening.sh <objdump> <image> <32|64>" >&2
    exit 2
fi
objdump=$1
image=$2
bits=$3

headers=$("$objdump" -p "$image") || {
    echo "cannot read $image" >&2
    exit 1
}
value=$(printf '%s\n' "$headers" | sed -n 's/^DllCharacteristics[[:space:]]*\([0-9a-fA-F]*\).*/\1/p')
if [ -z "$value" ]; then
    echo "$image: no DllCharacteristics in its headers" >&2
    exit 1
fi
flags=$((0x$value))
status=0
need() { # bit name
    if [ $((flags & $1)) -eq 0 ]; then
        echo "$image: DllCharacteristics 0x$value lacks $2" >&2
        status=1
    fi
}
need 0x0040 DYNAMIC_BASE
need 0x0100 NX_COMPAT
if [ "$bits" = 64 ]; then
    need 0x0020 HIGH_ENTROPY_VA
fi
# An image that may be moved needs its base relocations, or the loader cannot move it.
relocations=$(printf '%s\n' "$headers" |
    sed -n 's/^Entry 5 [0-9a-fA-F]* \([0-9a-fA-F]*\) Base Relocation.*/\1/p')
if [ -z "$relocations" ] || [ $((0x$relocations)) -eq 0 ]; then
    echo "$image: no base relocations" >&2
    status=1
fi
[ "$status" = 0 ] && echo "$image: DllCharacteristics 0x$value"
exit "$status"
