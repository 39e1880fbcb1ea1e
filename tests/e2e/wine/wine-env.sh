# shellcheck shell=bash
# Sourced by every script of the Wine test bed: points every wine call at the bed's own prefix, display and
# temporary folder, so nothing touches ~/.wine, the caller's display or another bed running at the same time.
#
#   . wine-env.sh [state-dir]
#
# Without an argument the bed under the build folder is used (the configured copy of this script knows it).

sw_bed_default_state="@SW_E2E_STATE_DEFAULT@"

if [ -n "${1:-}" ]; then
    SW_BED_STATE="$1"
elif [ -n "${SW_BED_STATE:-}" ]; then
    :
elif [ "${sw_bed_default_state#@}" = "$sw_bed_default_state" ]; then
    SW_BED_STATE="$sw_bed_default_state"
else
    echo "wine-env.sh: give the bed's state folder (or use the copy that CMake configured into the build folder)" >&2
    # shellcheck disable=SC2317  # exit is reached only when the file was run instead of sourced
    return 2 2>/dev/null || exit 2
fi
mkdir -p "$SW_BED_STATE"
SW_BED_STATE="$(cd "$SW_BED_STATE" && pwd)"
export SW_BED_STATE

export WINEPREFIX="$SW_BED_STATE/prefix"
export WINEARCH=win64
# -all also hides Debian's "wine32 is missing" hint; SW_E2E_WINEDEBUG turns channels back on when hunting a fault.
export WINEDEBUG="${SW_E2E_WINEDEBUG:--all}"
# No Mono or Gecko: their installers would prompt or download. No menu builder: it writes desktop entries into
# the caller's home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The device mode: with SW_E2E_BOX naming a uhid box (a real-stack run in the guest, see tests/vm) every program
# takes Wine's own setupapi and hid, whatever the per-app overrides for the doubles say, and the driver serves the
# scenarios from that box.
if [ -n "${SW_E2E_BOX:-}" ]; then
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;setupapi,hid=b"
fi
# Makes GetACP() 932; LANG alone gives 1252 and an LC_ALL inherited from elsewhere would win over it. No glibc
# locale of that name is needed (the shell's complaint about it is silenced).
{ export LC_ALL=ja_JP.UTF-8; } 2>/dev/null
# Debian's wineserver keeps its socket folder under TMPDIR.
export TMPDIR="$SW_BED_STATE/tmp"
mkdir -p "$TMPDIR"

# The display that setup.sh started, if it did.
if [ -f "$SW_BED_STATE/display.env" ]; then
    # shellcheck disable=SC1091
    . "$SW_BED_STATE/display.env"
    export DISPLAY=":$SW_BED_DISPLAY"
fi

# Windows path of the folder that holds the staged exes and DLLs.
export SW_BED_STAGE="$WINEPREFIX/drive_c/stampwright"
export SW_BED_STAGE_WIN='C:\stampwright'
