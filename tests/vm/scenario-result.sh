#!/bin/sh
# One guest scenario as a CTest test: prints its log and passes only when every one of its checks passed.
#
#   scenario-result.sh <out-dir> <scenario>
out=${1:?usage: scenario-result.sh <out-dir> <scenario>}
name=${2:?usage: scenario-result.sh <out-dir> <scenario>}
if [ ! -f "$out/$name.status" ]; then
    echo "scenario $name did not run in the guest (see $out/console.log)"
    exit 1
fi
cat "$out/$name.log"
[ "$(cat "$out/$name.status")" = 0 ]
