#!/bin/bash
# Benchmarks of the panel's flows under Wine, against the simulated device that the UI driver hosts: run by
# hand, not a test. Each prints its figures.
#
#   flow_bench.sh [benchmark|all] [runs] [state-dir]
#
#   read_back_wall_time    a posted Connect click to the final status text, as a ratio to the 3 s floor (7 runs)
#   live_position_latency  a key press in the focused H edit to its command on the wire (30 runs)
#   send_command_spread    the first to the last of a send's eight commands on the wire (7 runs)
#   receive_pass_handles   kernel handles held by the panel before and after receive passes (200 runs, about
#                          10 minutes: never part of "all")
#
# "all" (the default) runs the first three with their default runs. The bed is brought up and down if it is not
# up; the benchmarks share it like the scenarios, so do not run them while `ctest -L e2e` runs on the same build.
# shellcheck source-path=SCRIPTDIR/../wine
set -euo pipefail

which="${1:-all}"
runs="${2:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine_dir="$here/../wine"
. "$wine_dir/wine-env.sh" "${3:-}"
. "$wine_dir/bed-lib.sh"
exec </dev/null

bed_use_or_bring_up "$wine_dir"

if [ "$which" = all ]; then
    benchmarks=(read_back_wall_time live_position_latency send_command_spread)
else
    benchmarks=("$which")
fi

status=0
for benchmark in "${benchmarks[@]}"; do
    # The console output of a Windows program is CP932 with CRLF line ends; line-buffered, so that the long
    # benchmark shows its progress as it goes.
    wine "$SW_BED_STAGE_WIN\\sw_e2e_driver.exe" --bench "$benchmark" ${runs:+"$runs"} 2>&1 |
        stdbuf -oL tr -d '\r' | stdbuf -oL iconv -f CP932 -t UTF-8 -c || status=1
done
exit "$status"
