#!/bin/bash
# Cold start of the panel under Wine: time from process creation to its visible dialog, next to a bare dialog exe
# that does nothing else, measured in the same run with the wineserver running; plus both exe sizes. A benchmark
# to run by hand, not a test:
#
#   cold_start.sh [runs] [state-dir]      (runs: default 7; the bed is brought up and down if it is not up)
#
# The UI driver starts the programs by turns and polls for the window every millisecond; the panel starts
# without a device search (it searches only when Connect is pressed), so no simulated device is needed. The
# panel is timed twice: as shipped (a copy under another name in a folder of its own, so Wine's own setupapi and
# hid are loaded) and as the e2e scenarios run it (with the OS doubles, whose setupapi forwards to a 2 MB copy of
# Wine's).
# shellcheck source-path=SCRIPTDIR/../wine
set -euo pipefail

runs="${1:-7}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine_dir="$here/../wine"
. "$wine_dir/wine-env.sh" "${2:-}"
. "$wine_dir/bed-lib.sh"
exec </dev/null

bed_use_or_bring_up "$wine_dir"

plain_dir="$WINEPREFIX/drive_c/sw-bench"
rm -rf "$plain_dir"
mkdir -p "$plain_dir"
cp "$SW_BED_STAGE/stampwright.exe" "$plain_dir/stampwright-plain.exe"
plain='C:\sw-bench\stampwright-plain.exe'
doubled="$SW_BED_STAGE_WIN\\stampwright.exe"
bare="$SW_BED_STAGE_WIN\\sw_bench_bare_dialog.exe"
programs=("$plain" Stampwright "$doubled" Stampwright "$bare" "Bare dialog")
# One start of each first: it loads the exes and the fonts into the page cache and starts Wine's services.
wine "$SW_BED_STAGE_WIN\\sw_e2e_driver.exe" --time-start 1 "${programs[@]}" >/dev/null
times="$(wine "$SW_BED_STAGE_WIN\\sw_e2e_driver.exe" --time-start "$runs" "${programs[@]}" | tr -d '\r')"
rm -rf "$plain_dir"

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
runs_of() { awk -v exe="$1" '$2 == exe { print $3 }' <<<"$times"; }
plain_ms="$(runs_of stampwright-plain.exe | median)"
doubled_ms="$(runs_of stampwright.exe | median)"
bare_ms="$(runs_of sw_bench_bare_dialog.exe | median)"
if [ -z "$plain_ms" ] || [ -z "$doubled_ms" ] || [ -z "$bare_ms" ]; then
    bed_die "the driver measured nothing: $times"
fi

minimum() { sort -n | head -1; }
ratio() { awk -v p="$1" -v b="$2" 'BEGIN { printf "%.2f", p / b }'; }
bare_min="$(runs_of sw_bench_bare_dialog.exe | minimum)"
# The minimum shows the start's own cost best when other work shares the machine; the median shows the usual.
row() {
    local median="$2" min
    min="$(runs_of "$3" | minimum)"
    printf '  %-36s median %6s ms (ratio %s)   min %6s ms (ratio %s)\n' "$1" "$median" "$(ratio "$median" "$bare_ms")" \
        "$min" "$(ratio "$min" "$bare_min")"
    printf '  %-36s runs: %s\n' "" "$(runs_of "$3" | tr '\n' ' ')"
}
echo "cold start to visible dialog under Wine, $runs runs each, wineserver running:"
row "stampwright.exe as shipped" "$plain_ms" stampwright-plain.exe
row "stampwright.exe with the OS doubles" "$doubled_ms" stampwright.exe
row "bare dialog exe" "$bare_ms" sw_bench_bare_dialog.exe
echo "exe sizes:"
printf '  %-36s %6s bytes\n' "stampwright.exe" "$(stat -c %s "$SW_BED_STAGE/stampwright.exe")"
printf '  %-36s %6s bytes\n' "bare dialog exe" "$(stat -c %s "$SW_BED_STAGE/sw_bench_bare_dialog.exe")"
