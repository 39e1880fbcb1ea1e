#!/bin/bash
# Benchmarks of stampwright-cli.exe under Wine against the simulator exe on a named pipe: run by hand, not a
# test. Wall time from process start to exit, as a script sees it.
#
#   cli_bench.sh <build dir> [runs] [state-dir]
#
#   send_row1   `send --row1 ...` (one command): median and range in ms; target: median at most 150 ms
#   read        `read` (six queries): median as a ratio to the 3.0 s floor of six 500 ms pauses; target <= 1.03
#
# The bed is brought up and down if it is not up; do not run this while `ctest -L e2e` runs on the same build.
set -euo pipefail

build=${1:?usage: cli_bench.sh <build dir> [runs] [state-dir]}
runs=${2:-9}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine_dir="$build/tests/e2e/wine"
# shellcheck disable=SC1091
. "$wine_dir/wine-env.sh" "${3:-}"
# shellcheck disable=SC1091
. "$wine_dir/bed-lib.sh"
# shellcheck source=../cli/cli-bed.sh
. "$here/../cli/cli-bed.sh"
exec </dev/null

bed_use_or_bring_up "$wine_dir"
cli_stage "$build"
# Keeps the bed's own exit step (taking down a bed it brought up) after stopping the simulator.
bed_exit_step=$(trap -p EXIT | sed "s/^trap -- '\(.*\)' EXIT$/\1/")
# shellcheck disable=SC2064  # expanded now on purpose
trap "cli_stop_sim; ${bed_exit_step:-:}" EXIT
cli_start_sim

# time_runs <runs> <args...>: wall times in ms, one per line, sorted; every run must exit 0.
time_runs() {
    local n=$1 i start end
    shift
    for ((i = 0; i < n; i++)); do
        start=$(date +%s%N)
        (cd "$cli_stage_dir" && wine stampwright-cli.exe "$@" >/dev/null 2>&1) || bed_die "run $i of $* failed"
        end=$(date +%s%N)
        echo $(((end - start) / 1000000))
    done | sort -n
}
median() { awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

# One unmeasured run: the first start of an exe in a prefix pays for loading it from disk.
time_runs 1 send --row1 WARM >/dev/null

send_times=$(time_runs "$runs" send --row1 "CAM 2")
send_median=$(median <<<"$send_times")
echo "send_row1: median ${send_median} ms over $runs runs (min $(head -1 <<<"$send_times"), max $(tail -1 <<<"$send_times")); target <= 150 ms"

read_times=$(time_runs "$runs" read)
read_median=$(median <<<"$read_times")
echo "read: median ${read_median} ms over $runs runs (min $(head -1 <<<"$read_times"), max $(tail -1 <<<"$read_times")); ratio to 3000 ms: $(awk -v m="$read_median" 'BEGIN { printf "%.3f", m / 3000 }'); target <= 1.03"
