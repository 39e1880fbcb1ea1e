#!/bin/bash
# Runs one test exe under Wine in the bed's prefix and display, staged in a folder of its own. Builds nothing.
#
#   run-test-exe.sh [--doubles <folder>] [--locale <LC_ALL>] <exe>
#
# --doubles stages the OS HID doubles (setupapi.dll, hid.dll) from that folder beside the exe, with a copy of
# Wine's own setupapi.dll named setupapi_wine.dll, and gives the exe per-app overrides so that Wine loads the
# doubles instead of its builtins. --locale runs the exe in that locale (en_US.UTF-8: code page 1252).
# The bed's prefix must exist (CTest's e2e.bed_setup, or setup.sh beside this script, makes it). Exit status: the
# test's; a run that does not end with its runner's summary "N cases, 0 failed" fails.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

doubles=""
locale=""
while [ $# -gt 1 ]; do
    case "$1" in
        --doubles) doubles=$2; shift 2 ;;
        --locale) locale=$2; shift 2 ;;
        *) break ;;
    esac
done
exe=${1:?usage: run-test-exe.sh [--doubles <folder>] [--locale <LC_ALL>] <exe>}

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh" ""  # the bed of this build folder
. "$here/bed-lib.sh"
exec </dev/null
[ -f "$exe" ] || bed_die "missing $exe: build it first"
[ -f "$WINEPREFIX/system.reg" ] || bed_die "the bed's prefix $WINEPREFIX is not made: run setup.sh first"

exe_name=$(basename "$exe")
stage=$WINEPREFIX/drive_c/${exe_name%.exe}
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/"
if [ -n "$doubles" ]; then
    cp "$doubles/setupapi.dll" "$doubles/hid.dll" "$stage/"
    builtin=$WINEPREFIX/drive_c/windows/system32/setupapi.dll
    [ -f "$builtin" ] || builtin=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/setupapi.dll
    cp "$builtin" "$stage/setupapi_wine.dll"
    overrides="HKCU\\Software\\Wine\\AppDefaults\\$exe_name\\DllOverrides"
    for dll in setupapi hid; do
        timeout 60 wine reg add "$overrides" /v "$dll" /t REG_SZ /d native /f >/dev/null 2>&1 ||
            bed_die "the per-app override of $dll did not reach the registry"
    done
fi
[ -z "$locale" ] || export LC_ALL="$locale"

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
