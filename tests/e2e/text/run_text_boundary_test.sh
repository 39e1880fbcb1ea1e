#!/bin/bash
# Runs the text boundary's test exe under Wine in the end-to-end bed's prefix and display, as a process whose
# system code page is 1252, so that nothing in it can lean on the system's code page being 932. Builds nothing.
#
#   run_text_boundary_test.sh <build dir> [bed state dir]
set -euo pipefail

build=${1:?usage: run_text_boundary_test.sh <build dir> [bed state dir]}
exe=$build/tests/e2e/text/sw_text_boundary_wine_test.exe
bed_env=$build/tests/e2e/wine/wine-env.sh
for file in "$exe" "$bed_env"; do
    [ -f "$file" ] || { echo "missing $file: build sw_text_boundary_wine_test and configure the bed first" >&2; exit 2; }
done
# shellcheck disable=SC1090
. "$bed_env" "${2:-}"
exec </dev/null
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "the bed's prefix $WINEPREFIX is not made: run the bed's setup.sh first" >&2
    exit 2
fi

stage=$WINEPREFIX/drive_c/sw_text_boundary_test
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/"
cd "$stage"
status=0
# The output is ASCII. The time-out only guards against a hang of Wine itself.
LC_ALL=en_US.UTF-8 timeout 120 wine "$(basename "$exe")" 2>&1 | tr -d '\r' | tee output.txt || status=$?
# A crash can end the exe with status 0 under Wine's debugger: only the runner's own summary counts as a pass.
if [ "$status" -eq 0 ] && ! grep -Eq '^[0-9]+ cases, 0 failed$' output.txt; then
    echo "the test exe ended without its summary (crashed?)" >&2
    status=1
fi
exit "$status"
