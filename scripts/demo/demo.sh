#!/bin/bash
# The panel and the simulated ZEL-OT40 with its monitor window side by side under Wine, in a prefix of their own.
#
#   demo.sh [--headless] <demo.conf> [state-dir]
#
# demo.conf is written by CMake into the Windows build folder and names the files to stage; the state folder
# (default: "demo" in that build folder) holds the prefix, the logs and the screenshot.
#
# With a display ($DISPLAY) and without --headless, both windows open there and the script returns when the panel
# is closed. Otherwise they run on a private Xvfb display: the driver connects, sends row 1 "ABC" at H 100, V 50,
# x2 in 赤, checks on the screen that the monitor shows red in the first cell and the test pattern outside the
# block, and saves both windows as screenshot.png, whose path is printed. Exit status 0 when everything passed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

headless=0
if [ "${1:-}" = --headless ]; then
    headless=1
    shift
fi
conf="${1:?usage: demo.sh [--headless] <demo.conf> [state-dir]}"
[ -f "$conf" ] || { echo "demo: no $conf (configure and build the Windows preset first)" >&2; exit 2; }
# shellcheck disable=SC1090
. "$conf"
state="${2:-$SW_DEMO_DEFAULT_STATE}"

operator_display="${DISPLAY:-}"
[ -n "$operator_display" ] || headless=1

# The Wine test bed's environment and steps: its own prefix, TMPDIR and (headless) X display under $state.
# shellcheck source=tests/e2e/wine/wine-env.sh
. "$repo/tests/e2e/wine/wine-env.sh" "$state"
# shellcheck source=tests/e2e/wine/bed-lib.sh
. "$repo/tests/e2e/wine/bed-lib.sh"

exec </dev/null

demo_log() { echo "[demo] $*"; }

# Whatever an earlier run left behind in this state folder goes first.
bed_stop_display
bed_stop_wineserver
cleanup() {
    bed_stop_wineserver
    [ "$headless" = 0 ] || bed_stop_display
}
trap cleanup EXIT

if [ "$headless" = 1 ]; then
    bed_start_display
    demo_log "no display of yours: running on Xvfb :$SW_BED_DISPLAY"
else
    export DISPLAY="$operator_display"
fi

# The same prefix maker and registry settings as the test bed.
bed_make_prefix
bed_import_registry "$repo/tests/e2e/wine/bed.reg"
if [ "$headless" = 0 ]; then
    # On the operator's desktop a window manager runs: let it manage both windows (move, stack, close).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1 || true
fi
# shellcheck disable=SC2034  # read by bed_stage_files
SW_BED_STAGE_FILES=("${SW_DEMO_PANEL_FILES[@]}")
bed_stage_files
# The simulator and the driver stay apart from the doubles, which are meant for the panel only.
sim_stage="$WINEPREFIX/drive_c/zel-ot40-sim"
rm -rf "$sim_stage"
mkdir -p "$sim_stage"
for f in "${SW_DEMO_SIM_FILES[@]}"; do
    [ -f "$f" ] || bed_die "missing build output: $f"
    cp "$f" "$sim_stage/"
done

sim_log="$SW_BED_STATE/sim.log"
wine 'C:\zel-ot40-sim\zel-ot40-sim.exe' --ignore-stdin >"$sim_log" 2>&1 &
sim_pid=$!
sim_listening() { grep -q "listening on" "$sim_log" || bed_pid_gone "$sim_pid"; }
if ! bed_wait_until 30 sim_listening || ! grep -q "listening on" "$sim_log"; then
    bed_die "the simulator did not start: $(tr -d '\r' <"$sim_log")"
fi
demo_log "simulated ZEL-OT40: $(tr -d '\r' <"$sim_log" | head -1)"

wine "$SW_BED_STAGE_WIN\\stampwright.exe" >"$SW_BED_STATE/panel.log" 2>&1 &
panel_pid=$!

driver() {
    # The driver's output is CP932 with CRLF line ends.
    timeout --kill-after=10 120 wine 'C:\zel-ot40-sim\demo-driver.exe' "$@" >"$SW_BED_STATE/driver.log" 2>&1
}
show_driver_log() { tr -d '\r' <"$SW_BED_STATE/driver.log" | iconv -f CP932 -t UTF-8 -c | sed 's/^/  /'; }

if [ "$headless" = 0 ]; then
    status=0
    driver arrange || status=$?
    show_driver_log
    [ "$status" = 0 ] || bed_die "the windows did not come up"
    demo_log "close the panel to end the demo"
    wait "$panel_pid" || true
    exit 0
fi

bmp="$SW_BED_STATE/screenshot.bmp"
png="$SW_BED_STATE/screenshot.png"
rm -f "$bmp" "$png"
status=0
driver check "$(bed_win_path "$bmp")" || status=$?
show_driver_log
if [ -f "$bmp" ]; then
    convert "$bmp" "$png" && rm -f "$bmp"
    echo "screenshot: $png"
fi
if [ "$status" != 0 ]; then
    demo_log "FAILED (driver exit status $status); logs in $SW_BED_STATE"
    exit 1
fi
demo_log "passed in $SECONDS s"
