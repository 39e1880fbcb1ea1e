#!/bin/bash
# Runs one end-to-end scenario: the UI driver starts the unmodified panel under Wine on the bed's display,
# hosts the simulated device and checks what the panel shows and sends.
#
#   run-scenario.sh <scenario> [state-dir]
#
# SW_E2E_CODE_PAGE=1252 or 65001 runs the driver, and with it the panel it starts, on that system code page instead
# of 932: Wine gives each process the code page of its locale, and a started process inherits the starter's
# locale (an LC_ALL in the Windows environment block of CreateProcess has no effect). The bed must be up (setup.sh). The driver's output is shown as UTF-8; screenshots that the scenario saved land
# as PNG files in the artifacts folder. Exit status: the driver's (0 when every check passed).
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

scenario="${1:?usage: run-scenario.sh <scenario> [state-dir]}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh" "${2:-}"
. "$here/bed-lib.sh"

exec </dev/null

# shellcheck disable=SC1091
. "$SW_BED_STATE/bed.conf"
if [ -z "${DISPLAY:-}" ] || ! bed_display_up "$SW_BED_DISPLAY" "$SW_BED_XVFB_PID"; then
    bed_die "the bed is not up (run setup.sh first)"
fi
[ -f "$SW_BED_STAGE/sw_e2e_driver.exe" ] || bed_die "the driver is not staged (run setup.sh first)"

code_page="${SW_E2E_CODE_PAGE:-932}"
case "$code_page" in
    932) locale=ja_JP.UTF-8 ;;
    1252) locale=en_US.UTF-8 ;;
    # Wine 8 gives a locale without an ANSI code page of its own the UTF-8 code page.
    65001) locale=hi_IN.UTF-8 ;;
    *) bed_die "no locale known for code page $code_page" ;;
esac
export SW_E2E_CODE_PAGE="$code_page"
run_name="$scenario"
[ "$code_page" = 932 ] || run_name="$scenario-cp$code_page"

out="$SW_BED_STATE/out/$run_name"
rm -rf "$out"
mkdir -p "$out" "$SW_BED_ARTIFACTS"

# The driver has its own deadlines; this outer one only catches a hang of Wine itself.
status=0
env LC_ALL="$locale" timeout --kill-after=10 "${SW_E2E_SCENARIO_TIMEOUT:-150}" \
    wine "$SW_BED_STAGE_WIN\\sw_e2e_driver.exe" "$scenario" "$(bed_win_path "$out")" >"$out/driver.log" 2>&1 ||
    status=$?
# The console output of a Windows program is CP932 with CRLF line ends.
tr -d '\r' <"$out/driver.log" | iconv -f CP932 -t UTF-8 -c || cat "$out/driver.log"

shopt -s nullglob
for bmp in "$out"/*.bmp; do
    png="$SW_BED_ARTIFACTS/$(basename "${bmp%.bmp}").png"
    if convert "$bmp" "$png"; then
        echo "screenshot: $png"
    else
        echo "screenshot: could not convert $bmp" >&2
    fi
done

# 0 and 1 are the driver's own verdicts, after it ended every panel it started. Anything else (a crash, a hang)
# may have left a panel running, which would make the next scenario's panel a second copy: every Wine process of
# the bed goes, and the next scenario starts a fresh wineserver.
if [ "$status" != 0 ] && [ "$status" != 1 ]; then
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
        echo "scenario $scenario: the driver did not end within ${SW_E2E_SCENARIO_TIMEOUT:-150} s" >&2
    else
        echo "scenario $scenario: the driver ended abnormally (status $status)" >&2
    fi
    bed_stop_wineserver
fi
exit "$status"
