# shellcheck shell=bash
# Steps shared by setup.sh, teardown.sh, run-scenario.sh and the benchmarks. Sourced after wine-env.sh.

bed_log() { echo "[bed] $*"; }
bed_die() {
    echo "[bed] error: $*" >&2
    exit 1
}

# bed_wait_until <seconds> <command...>: polls the command every 50 ms until it succeeds; fails at the deadline.
bed_wait_until() {
    local limit_ms=$(($1 * 1000))
    shift
    local start_ms now_ms
    start_ms=$(date +%s%3N)
    while ! "$@"; do
        now_ms=$(date +%s%3N)
        if ((now_ms - start_ms >= limit_ms)); then
            return 1
        fi
        sleep 0.05
    done
}

bed_pid_alive() { kill -0 "$1" 2>/dev/null; }
bed_pid_gone() { ! kill -0 "$1" 2>/dev/null; }

# True once the X server of display $1 run by pid $2 owns the display's lock and listens on its socket.
bed_display_up() {
    local n=$1 pid=$2
    bed_pid_alive "$pid" || return 1
    [ -S "/tmp/.X11-unix/X$n" ] || return 1
    [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]
}

# Starts Xvfb on a display number nobody uses. Other beds and other helpers run their own servers at the same
# time, so a number that looked free can be taken in between: Xvfb then exits at once and the next one is tried.
bed_start_display() {
    local first=$((100 + $$ % 400)) n pid i
    for ((i = 0; i < 400; i++)); do
        n=$((100 + (first - 100 + i) % 400))
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$SW_BED_STATE/xvfb.log" 2>&1 &
        pid=$!
        if bed_wait_until 20 bed_display_up_or_dead "$n" "$pid" && bed_display_up "$n" "$pid"; then
            SW_BED_DISPLAY=$n
            SW_BED_XVFB_PID=$pid
            printf 'SW_BED_DISPLAY=%s\nSW_BED_XVFB_PID=%s\n' "$n" "$pid" >"$SW_BED_STATE/display.env"
            export DISPLAY=":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    bed_die "no free X display number found (see $SW_BED_STATE/xvfb.log)"
}
bed_display_up_or_dead() { bed_display_up "$1" "$2" || bed_pid_gone "$2"; }

# Stops the Xvfb that this bed started, if it still runs; a pid that now belongs to another program is left alone.
bed_stop_display() {
    [ -f "$SW_BED_STATE/display.env" ] || return 0
    local SW_BED_DISPLAY='' SW_BED_XVFB_PID=''
    # shellcheck disable=SC1091
    . "$SW_BED_STATE/display.env"
    if [ -n "$SW_BED_XVFB_PID" ] && bed_pid_alive "$SW_BED_XVFB_PID" &&
        tr '\0' ' ' <"/proc/$SW_BED_XVFB_PID/cmdline" 2>/dev/null | grep -q "^Xvfb :$SW_BED_DISPLAY "; then
        kill "$SW_BED_XVFB_PID"
        if ! bed_wait_until 10 bed_pid_gone "$SW_BED_XVFB_PID"; then
            kill -9 "$SW_BED_XVFB_PID" 2>/dev/null || true
        fi
    fi
    rm -f "$SW_BED_STATE/display.env"
    unset DISPLAY
}

# Ends every Wine process of this bed's prefix and waits for its wineserver to exit.
bed_stop_wineserver() {
    [ -d "$WINEPREFIX" ] || return 0
    wineserver -k 2>/dev/null || true
    timeout 30 wineserver -w 2>/dev/null || bed_log "warning: the wineserver did not end within 30 s"
}

bed_wine_version() { wine --version 2>/dev/null; }

# A finished prefix is reused across runs (making one takes 10-15 s and 700 MB): its stamp holds the Wine
# version that made it. A half-made one (no stamp) is thrown away.
bed_make_prefix() {
    local stamp="$WINEPREFIX/.sw-bed-made-by" version
    version="$(bed_wine_version)"
    if [ "${SW_E2E_FRESH_PREFIX:-0}" != 1 ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
        bed_log "reusing prefix $WINEPREFIX ($version)"
        return 0
    fi
    bed_log "making prefix $WINEPREFIX ($version)"
    rm -rf "$WINEPREFIX"
    timeout 300 wine wineboot -i >"$SW_BED_STATE/wineboot.log" 2>&1 ||
        bed_die "wineboot failed (see $SW_BED_STATE/wineboot.log)"
    timeout 120 wineserver -w || bed_die "the wineserver did not settle after wineboot"
    echo "$version" >"$stamp"
}

# regedit takes an absolute Unix path for a switch: the file is handed over by a relative path instead.
bed_import_registry() {
    local reg="$1"
    cp "$reg" "$WINEPREFIX/drive_c/sw-bed.reg"
    (cd "$WINEPREFIX/drive_c" && timeout 60 wine regedit /S sw-bed.reg) || bed_die "regedit failed"
    rm -f "$WINEPREFIX/drive_c/sw-bed.reg"
    # Without these the panel would load Wine's own setupapi and never see the simulated device.
    timeout 60 wine reg query 'HKCU\Software\Wine\AppDefaults\stampwright.exe\DllOverrides' /v setupapi 2>/dev/null |
        grep -q native || bed_die "the per-app DLL overrides did not reach the registry"
}

# Copies the files listed in bed.conf into the stage folder, plus Wine's builtin setupapi under the name the
# setupapi double forwards to.
bed_stage_files() {
    local f builtin
    rm -rf "$SW_BED_STAGE"
    mkdir -p "$SW_BED_STAGE"
    for f in "${SW_BED_STAGE_FILES[@]}"; do
        [ -f "$f" ] || bed_die "missing build output: $f"
        cp "$f" "$SW_BED_STAGE/"
    done
    builtin="$WINEPREFIX/drive_c/windows/system32/setupapi.dll"
    [ -f "$builtin" ] || builtin=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/setupapi.dll
    [ -f "$builtin" ] || bed_die "Wine's builtin setupapi.dll was not found"
    cp "$builtin" "$SW_BED_STAGE/setupapi_wine.dll"
}

# Windows form of a Unix path, through the prefix's Z: drive (the whole Unix tree).
bed_win_path() { printf 'Z:%s' "${1//\//\\}"; }

# For a script run by hand (the benchmarks), given the folder of the bed's scripts: uses the bed if its display is
# up, or brings the bed up and takes it down again when the script exits.
bed_use_or_bring_up() {
    bed_scripts_dir=$1
    if [ -n "${DISPLAY:-}" ] && bed_display_up "$SW_BED_DISPLAY" "$SW_BED_XVFB_PID"; then
        return 0
    fi
    # (The scripts are bash: started with a locale that glibc lacks, bash would warn about it.)
    env -u LC_ALL "$bed_scripts_dir/setup.sh" "$SW_BED_STATE" >/dev/null
    # shellcheck disable=SC1091
    . "$bed_scripts_dir/wine-env.sh" "$SW_BED_STATE"
    trap bed_take_down_brought_up EXIT
}
# shellcheck disable=SC2317  # runs from the EXIT trap
bed_take_down_brought_up() { env -u LC_ALL "$bed_scripts_dir/teardown.sh" "$SW_BED_STATE" >/dev/null || true; }
