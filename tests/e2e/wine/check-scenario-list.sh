#!/bin/bash
# Fails when the driver holds a scenario that CTest does not run (or the other way round): CMake finds the
# scenario names by reading the sources, and a declaration it cannot read would otherwise never run.
#
#   check-scenario-list.sh <state-dir or ""> <name registered with CTest>...
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh" "${1:-}"
. "$here/bed-lib.sh"
shift
exec </dev/null

[ -f "$SW_BED_STAGE/sw_e2e_driver.exe" ] || bed_die "the driver is not staged (run setup.sh first)"
in_driver="$(wine "$SW_BED_STAGE_WIN\\sw_e2e_driver.exe" --list | tr -d '\r' | cut -f1 | sort)"
in_ctest="$(printf '%s\n' "$@" | sort)"
if [ "$in_driver" != "$in_ctest" ]; then
    echo "scenarios in the driver but not registered with CTest, or the other way round:"
    diff <(echo "$in_driver") <(echo "$in_ctest") | sed -n 's/^[<>] /    /p'
    exit 1
fi
echo "$(echo "$in_driver" | wc -l) scenarios, all registered"
