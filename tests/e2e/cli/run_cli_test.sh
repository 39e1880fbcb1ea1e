#!/bin/bash
# stampwright-cli.exe under Wine against the simulated device on a named pipe, through the OS doubles: one send,
# then reads that show it arrived, the preset round trip and the refusals.
#
#   run_cli_test.sh <build dir> [bed state dir]
set -euo pipefail

build=${1:?usage: run_cli_test.sh <build dir> [bed state dir]}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck disable=SC1091
. "$build/tests/e2e/wine/wine-env.sh" "${2:-}"
# shellcheck disable=SC1091
. "$build/tests/e2e/wine/bed-lib.sh"
# shellcheck source=cli-bed.sh
. "$here/cli-bed.sh"
exec </dev/null
[ -f "$WINEPREFIX/system.reg" ] || bed_die "the bed's prefix $WINEPREFIX is not made: run the bed's setup.sh first"

failures=0
check() {  # check <what> <condition...>
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        echo "  status $cli_status, output:"
        sed 's/^/    /' <<<"$cli_out"
        failures=$((failures + 1))
    fi
}
contains() { grep -qF -- "$1" <<<"$cli_out"; }
status_is() { [ "$cli_status" -eq "$1" ]; }

cli_stage "$build"
trap cli_stop_sim EXIT
cli_start_sim

cli_run send --row1 ABC --colour1 red
check "send --row1 ABC --colour1 red: exit 0" status_is 0
check "send reports two commands" contains "sent 2 commands"

cli_run read
check "read: exit 0" status_is 0
check "read shows the new row 1" contains "Row 1:       ＡＢＣ"
check "read shows the new colour 1" contains "Colour 1:    12 red (赤)"
check "read shows the signal" contains "Input:       1280x720p"

# Japanese text through the wide command line, then the preset round trip through a file.
cli_run_utf8 send --row2 "カメラ１" --colour2 "黄"
check "send --row2 in Japanese: exit 0" status_is 0
cli_run read --json
check "read --json: exit 0" status_is 0
check "the preset holds row 2 as UTF-8" contains '"row2": "カメラ１"'
check "the preset holds colour 2" contains '"colour2": 14'
printf '%s\n' "$cli_out" >"$cli_stage_dir/job.json"
cli_run send --preset job.json
check "send --preset: all eight commands" contains "sent 8 commands"
# The same preset under a Japanese name (a wide path), and as Windows PowerShell 5.1 saves it (UTF-16 with a mark).
cp "$cli_stage_dir/job.json" "$cli_stage_dir/ジョブ.json"
cli_run_utf8 send --preset "ジョブ.json"
check "send --preset with a Japanese file name" contains "sent 8 commands"
iconv -f UTF-8 -t UTF-16 "$cli_stage_dir/job.json" >"$cli_stage_dir/job16.json"
cli_run send --preset job16.json
check "send --preset from UTF-16" contains "sent 8 commands"
cli_run send --preset .
check "a folder as preset: exit 2 with the reason" contains "cannot read the preset '.': it is a folder"

# The system's code page 932 tables behave as the text rule needs: JIS-style forms taken, extension rows refused.
cli_run_utf8 send --row1 "10〜12" --device "$cli_pipe"
check "a JIS-style wave dash is the code page's own" status_is 0
cli_run read
check "read shows it" contains "Row 1:       １０～１２"
cli_run_utf8 send --row1 "髙橋"
check "an extension-row character typed anew is refused by name" contains "'髙' (U+9AD9) is in code page 932's extension area"
check "and nothing is sent" status_is 2

cli_status=0
(cd "$cli_stage_dir" && timeout 60 wine stampwright-cli.exe read --json >/dev/full 2>"$SW_BED_STATE/cli-full.err" </dev/null) ||
    cli_status=$?
cli_out=$(tr -d '\r' <"$SW_BED_STATE/cli-full.err")
check "output to a full disk: exit 1 with a message" contains "writing the output failed"
check "output to a full disk: exit 1" status_is 1

# Two programs at once on one box: the second waits for the first's conversation, neither takes the other's
# replies (the simulator serves one client at a time: an open without the lock would cut the other off).
for r in 1 2; do
    (
        status=0
        cd "$cli_stage_dir" && timeout 60 wine stampwright-cli.exe read --json >"$SW_BED_STATE/read$r.json" \
            2>"$SW_BED_STATE/read$r.err" </dev/null || status=$?
        echo "$status" >"$SW_BED_STATE/read$r.status"
    ) &
    readers[r]=$!
done
wait "${readers[1]}" "${readers[2]}" || true
cli_status=$(cat "$SW_BED_STATE/read1.status" "$SW_BED_STATE/read2.status" | tr '\n' ' ')
cli_out=$(cat "$SW_BED_STATE/read1.err" "$SW_BED_STATE/read2.err" "$SW_BED_STATE/read1.json" "$SW_BED_STATE/read2.json")
check "two reads at once: both exit 0" [ "$cli_status" = "0 0 " ]
check "two reads at once: both presets are whole" [ "$(grep -c '"osdPattern"' <<<"$cli_out")" -eq 2 ]
cli_status=0

cli_run send --row2 "カメラ１" --h 5000
check "send --h 5000: refused with exit 2" status_is 2
check "the refusal names the limit" contains "above 2047"

cli_run list
check "list: exit 0" status_is 0
check "list shows the interface and its lengths" contains "#cli0	input 65	output 65"
SW_DOUBLE_HID_PATHS="$cli_pipe|\\.\pipe\hid#vid_3c9b&pid_5d17#cli1" cli_run list
check "list shows every matching interface" contains "#cli1	cannot be opened"
cli_run list --json
check "list --json" contains '"output": 65'

cli_stop_sim
cli_run read
check "read with the device gone: exit 1" status_is 1
check "read with the device gone says which step" contains "connecting to it failed"

[ "$failures" -eq 0 ]
