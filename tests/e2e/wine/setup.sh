#!/bin/bash
# Brings up the Wine test bed once per test run: a private X display, a private Wine prefix with the bed's
# registry settings, and one folder in the prefix holding the panel, the OS HID doubles and the UI driver.
#
#   setup.sh [state-dir]
#
# The state folder must hold bed.conf (CMake writes it): the files to stage and the artifacts folder.
# SW_E2E_FRESH_PREFIX=1 rebuilds the prefix even if a finished one from an earlier run is there.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh" "${1:-}"
. "$here/bed-lib.sh"

exec </dev/null

[ -f "$SW_BED_STATE/bed.conf" ] || bed_die "no bed.conf in $SW_BED_STATE (configure the build with CMake first)"
# shellcheck disable=SC1091
. "$SW_BED_STATE/bed.conf"

for tool in wine wineserver Xvfb; do
    command -v "$tool" >/dev/null || bed_die "$tool is not installed"
done

# An earlier run that was cut short may have left its display and wineserver behind.
bed_stop_display
bed_stop_wineserver

bed_start_display
bed_log "display :$SW_BED_DISPLAY (Xvfb pid $SW_BED_XVFB_PID)"

bed_make_prefix
bed_import_registry "$here/bed.reg"
bed_stage_files
bed_log "staged into $SW_BED_STAGE:"
find "$SW_BED_STAGE" -maxdepth 1 -type f -printf '    %f (%s bytes)\n'
# Nothing of an earlier run may pass for this run's output.
rm -rf "$SW_BED_STATE/out" "$SW_BED_ARTIFACTS"
mkdir -p "$SW_BED_ARTIFACTS"
bed_log "ready in $SECONDS s"
