#!/bin/bash
# Takes the Wine test bed down after a run: every Wine process of the prefix, the bed's X server and the
# wineserver's temporary files. The prefix itself stays for the next run (setup.sh rebuilds it if needed).
#
#   teardown.sh [state-dir]
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh" "${1:-}"
. "$here/bed-lib.sh"

exec </dev/null

bed_stop_wineserver
bed_stop_display
rm -rf "${TMPDIR:?}"/* "${TMPDIR:?}"/.[!.]* 2>/dev/null || true
bed_log "bed down"
