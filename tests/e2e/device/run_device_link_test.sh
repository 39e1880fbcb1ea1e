#!/bin/bash
# Runs the device-link test exe under Wine with the OS doubles. Builds nothing.
#
#   WINEPREFIX=/tmp/some-prefix [TMPDIR=/tmp/some-tmp] run_device_link_test.sh <build dir>
#
# The prefix is created on first use and reused afterwards. The exe, setupapi.dll and hid.dll (the doubles) and a
# copy of Wine's own setupapi.dll named setupapi_wine.dll are staged together inside the prefix, and the exe gets
# per-app overrides so that Wine loads the two doubles instead of its builtins. Exit status: the test's.
set -euo pipefail

build=${1:?usage: run_device_link_test.sh <build dir>}
: "${WINEPREFIX:?set WINEPREFIX to a prefix folder of your own}"
exe_name=sw_device_link_wine_test.exe
exe=$build/tests/e2e/device/$exe_name
doubles=$build/tests/e2e/doubles
for file in "$exe" "$doubles/setupapi.dll" "$doubles/hid.dll"; do
    [ -f "$file" ] || { echo "missing $file: build sw_device_link_wine_test first" >&2; exit 2; }
done

export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ja_JP.UTF-8
# Debian's wineserver keeps its socket folder in TMPDIR.
export TMPDIR=${TMPDIR:-${WINEPREFIX%/}-tmp}
mkdir -p "$TMPDIR"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
fi

stage=$WINEPREFIX/drive_c/sw_device_link_test
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$doubles/setupapi.dll" "$doubles/hid.dll" "$stage/"
builtin=$WINEPREFIX/drive_c/windows/system32/setupapi.dll
[ -f "$builtin" ] || builtin=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/setupapi.dll
cp "$builtin" "$stage/setupapi_wine.dll"

reg_add() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}
# A crash must end the run, not open a dialog that waits forever.
reg_add 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
overrides="HKCU\\Software\\Wine\\AppDefaults\\$exe_name\\DllOverrides"
reg_add "$overrides" setupapi REG_SZ native
reg_add "$overrides" hid REG_SZ native

cd "$stage"
status=0
# The exe bounds its own waits; the time-out only guards against a hang of Wine itself.
timeout 180 wine "$exe_name" 2>&1 | tr -d '\r' | tee output.txt || status=$?
wineserver -w
# A crash can end the exe with status 0 under Wine's debugger: only the runner's own summary counts as a pass.
if [ "$status" -eq 0 ] && ! grep -Eq '^[0-9]+ cases, 0 failed$' output.txt; then
    echo "the test exe ended without its summary (crashed?)" >&2
    status=1
fi
exit "$status"
