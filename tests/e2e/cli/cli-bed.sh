# shellcheck shell=bash
# Shared by the command-line companion's Wine test and its benchmark; sourced after the bed's wine-env.sh and
# bed-lib.sh. Stages stampwright-cli.exe with the OS doubles, and runs the simulated device on a pipe of its own
# (not the one the UI driver's scenarios use).

cli_pipe='\\.\pipe\hid#vid_3c9b&pid_5d17#cli0'

# cli_stage <build dir>: the exe, the doubles and Wine's setupapi under the name the double forwards to.
cli_stage() {
    local build=$1 f builtin
    cli_stage_dir=$WINEPREFIX/drive_c/sw_cli
    rm -rf "$cli_stage_dir"
    mkdir -p "$cli_stage_dir"
    for f in "$build/cli/stampwright-cli.exe" "$build/sim/zel-ot40-sim.exe" \
        "$build/tests/e2e/doubles/setupapi.dll" "$build/tests/e2e/doubles/hid.dll"; do
        [ -f "$f" ] || bed_die "missing build output: $f"
        cp "$f" "$cli_stage_dir/"
    done
    builtin="$WINEPREFIX/drive_c/windows/system32/setupapi.dll"
    [ -f "$builtin" ] || builtin=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/setupapi.dll
    cp "$builtin" "$cli_stage_dir/setupapi_wine.dll"
    local key="HKCU\\Software\\Wine\\AppDefaults\\stampwright-cli.exe\\DllOverrides"
    timeout 60 wine reg add "$key" /v setupapi /t REG_SZ /d native /f >/dev/null 2>&1 ||
        bed_die "cannot set the DLL overrides"
    timeout 60 wine reg add "$key" /v hid /t REG_SZ /d native /f >/dev/null 2>&1 ||
        bed_die "cannot set the DLL overrides"
    # The doubles list this one interface.
    export SW_DOUBLE_HID_PATHS="$cli_pipe"
}

# cli_start_sim [simulator options...]: waits until it listens; cli_stop_sim ends it.
cli_start_sim() {
    cli_sim_log=$SW_BED_STATE/cli-sim.log
    (cd "$cli_stage_dir" && exec wine zel-ot40-sim.exe --no-monitor --ignore-stdin --pipe "$cli_pipe" "$@") \
        >"$cli_sim_log" 2>&1 </dev/null &
    cli_sim_pid=$!
    cli_sim_listening() { grep -q "listening on" "$cli_sim_log" || bed_pid_gone "$cli_sim_pid"; }
    if ! bed_wait_until 60 cli_sim_listening || ! grep -q "listening on" "$cli_sim_log"; then
        bed_die "the simulator did not start: $(tr -d '\r' <"$cli_sim_log")"
    fi
}

cli_stop_sim() {
    if [ -n "${cli_sim_pid:-}" ] && bed_pid_alive "$cli_sim_pid"; then
        kill "$cli_sim_pid" 2>/dev/null || true
        bed_wait_until 20 bed_pid_gone "$cli_sim_pid" || kill -9 "$cli_sim_pid" 2>/dev/null || true
    fi
    cli_sim_pid=
}

# cli_run <args...>: runs the exe in its stage folder; its output (UTF-8) without CRs in $cli_out, status in
# $cli_status.
cli_run() {
    cli_status=0
    cli_out=$(cd "$cli_stage_dir" && timeout 60 wine stampwright-cli.exe "$@" 2>&1 </dev/null) || cli_status=$?
    cli_out=${cli_out//$'\r'/}
}

# cli_run_utf8 <args...>: as cli_run, for non-ASCII arguments. Wine turns the Unix argv into the wide command line
# with the Unix locale's charset, and the bed's ja_JP.UTF-8 (there for code page 932) is no glibc locale here, so
# its charset is ASCII; C.UTF-8 always exists. The companion uses no ANSI code page, so only this changes.
cli_run_utf8() {
    cli_status=0
    cli_out=$(cd "$cli_stage_dir" && LC_ALL=C.UTF-8 timeout 60 wine stampwright-cli.exe "$@" 2>&1 </dev/null) ||
        cli_status=$?
    cli_out=${cli_out//$'\r'/}
}
