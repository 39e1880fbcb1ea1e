#!/bin/bash
# Runs the device-link test exe under Wine with the OS doubles, in the prefix of the end-to-end bed. Builds
# nothing.
#
#   run_device_link_test.sh <build dir> [bed state dir]
#
# The bed's prefix must exist (CTest's e2e.bed_setup, or tests/e2e/wine/setup.sh in the build folder, makes it).
# The exe, setupapi.dll and hid.dll (the doubles) and a copy of Wine's own setupapi.dll named setupapi_wine.dll
# are staged together inside the prefix, and the exe gets per-app overrides so that Wine loads the two doubles
# instead of its builtins. Exit status: the test's.
set -euo pipefail

build=${1:?usage: run_device_link_test.sh <build dir> [bed state dir]}
exe_name=sw_device_link_wine_test.exe
exe=$build/tests/e2e/device/$exe_name
doubles=$build/tests/e2e/doubles
bed_env=$build/tests/e2e/wine/wine-env.sh
for file in "$exe" "$doubles/setupapi.dll" "$doubles/hid.dll" "$bed_env"; do
    [ -f "$file" ] || { echo "missing $file: build sw_device_link_wine_test and configure the bed first" >&2; exit 2; }
done
# The bed's prefix, temporary folder (the wineserver's socket lives there), locale and display.
# shellcheck disable=SC1090
. "$bed_env" "${2:-}"
exec </dev/null
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "the bed's prefix $WINEPREFIX is not made: run the bed's setup.sh first" >&2
    exit 2
fi

stage=$WINEPREFIX/drive_c/sw_device_link_test
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$doubles/setupapi.dll" "$doubles/hid.dll" "$stage/"
builtin=$WINEPREFIX/drive_c/windows/system32/setupapi.dll
[ -f "$builtin" ] || builtin=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/setupapi.dll
cp "$builtin" "$stage/setupapi_wine.dll"

reg_add() {
    timeout 60 wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}
overrides="HKCU\\Software\\Wine\\AppDefaults\\$exe_name\\DllOverrides"
reg_add "$overrides" setupapi REG_SZ native
reg_add "$overrides" hid REG_SZ native

cd "$stage"
status=0
# The exe bounds its own waits; the time-out only guards against a hang of Wine itself.
timeout 180 wine "$exe_name" 2>&1 | tr -d '\r' | tee output.txt || status=$?
# A crash can end the exe with status 0 under Wine's debugger: only the runner's own summary counts as a pass.
if [ "$status" -eq 0 ] && ! grep -Eq '^[0-9]+ cases, 0 failed$' output.txt; then
    echo "the test exe ended without its summary (crashed?)" >&2
    status=1
fi
exit "$status"
