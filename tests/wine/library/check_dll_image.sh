#!/bin/sh
# Reads Dotpress.dll's export and import tables with objdump (on the build machine, no Wine):
# exactly the eleven exports under their plain names with ordinals 1 to 11, and imports from
# system DLLs only, so that the library loads with nothing of the compiler's runtime beside it.
#
#   check_dll_image.sh <objdump> <Dotpress.dll>
set -u

if [ $# -ne 2 ]; then
    echo "usage: check_dll_image.sh <objdump> <dll>" >&2
    exit 2
fi
objdump=$1
dll=$2

headers=$("$objdump" -p "$dll") || {
    echo "cannot read $dll" >&2
    exit 1
}

# "name ordinal" per export, sorted by name.
exports=$(printf '%s\n' "$headers" | awk -f "$(dirname "$0")/../../support/pe_exports.awk" | sort)

expected="ImpAbrirImpresora 1
ImpCerrarImpresora 2
ImpConfigurarPagina 3
ImpImprimirLinea 4
ImpImprimirPrueba 11
ImpMostrarDialogoImprimir 5
ImpObtenerNumeroImp 6
ImpObtenerResumen 10
ImpObtenerTamPapel 7
ImpSeleccionarImpresora 8
ImpSetPrintingArea 9"

status=0
if [ "$exports" != "$expected" ]; then
    echo "exports of $dll (name ordinal):" >&2
    printf '%s\n' "$exports" >&2
    echo "expected:" >&2
    printf '%s\n' "$expected" >&2
    status=1
fi

# The DLLs every Windows installation has that the library may need; anything else (the
# compiler's libgcc_s, libstdc++ or libwinpthread above all) is a fault.
system_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll"
system_dlls="$system_dlls ucrtbase.dll user32.dll version.dll winspool.drv"
imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr 'A-Z' 'a-z' | sort -u)
if [ -z "$imports" ]; then
    echo "$dll: no import table found" >&2
    status=1
fi
for name in $imports; do
    case " $system_dlls " in
    *" $name "*) ;;
    *)
        case "$name" in
        api-ms-win-crt-*) ;;
        *)
            echo "$dll imports $name, which is not a system DLL" >&2
            status=1
            ;;
        esac
        ;;
    esac
done

[ "$status" = 0 ] && echo "$dll: 11 exports with ordinals 1-11; imports: $(echo $imports)"
exit "$status"
