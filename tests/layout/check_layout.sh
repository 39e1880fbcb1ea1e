#!/bin/sh
# The arrows of the tree run one way: each folder may include only what stands below it.
#
#   check_layout.sh <source-dir>
#
# Exit status 1, with the offending lines, when a folder includes what it must not.
set -u
cd "$1" || exit 2
status=0

# forbid <folder> <what it must not include (extended regex on the include line)> <why>
forbid() {
    [ -d "$1" ] || return 0
    hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($2)" "$1" --include='*.h' --include='*.cpp' --include='*.c')
    if [ -n "$hits" ]; then
        printf '%s: %s\n%s\n' "$1" "$3" "$hits"
        status=1
    fi
}

forbid protocol 'windows\.h|device/|panel/|app/|sim/|cli/|win32/' "pure byte logic: no window system, no device, no program"
forbid panel 'windows\.h|app/|sim/|cli/|win32/' "portable flows: only the dialog view and the device link"
forbid device 'panel/|app/|sim/|cli/' "the device link knows no program"
forbid sim 'panel/|app/|cli/' "the simulated device knows the device's bytes, never the panel"
forbid cli 'panel/|app/|sim/' "the command-line companion uses the protocol and the device link"
forbid win32 'protocol/|device/|panel/|app/|sim/|cli/' "shared Win32 owners stand below everything"

[ "$status" -eq 0 ] && echo "layout: every include points down the tree"
exit "$status"
