#!/bin/sh
# Fails when a Windows executable imports a DLL that a bare Windows installation does not have, such as the
# toolchain's libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll: the program is shipped as one exe.
#
#   check_exe_imports.sh <objdump> <exe>
set -eu

objdump="${1:?usage: check_exe_imports.sh <objdump> <exe>}"
exe="${2:?usage: check_exe_imports.sh <objdump> <exe>}"

imports="$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')"
if [ -z "$imports" ]; then
    echo "no import table found in $exe" >&2
    exit 1
fi

status=0
for dll in $imports; do
    case "$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')" in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | ole32.dll | oleaut32.dll | setupapi.dll | \
            advapi32.dll | shell32.dll | ws2_32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll)
            echo "system: $dll"
            ;;
        *)
            echo "NOT a system DLL: $dll" >&2
            status=1
            ;;
    esac
done
exit "$status"
