# shellcheck shell=bash
# Shared by the guest's scenarios: checks that end in a per-scenario result, timed runs, and the simulated boxes
# (zel-ot40-sim --uhid), each driven through a FIFO on its stdin and followed through its wire log.

vm_work=/tmp/vm
mkdir -p "$vm_work"
vm_current=

say() { echo "$*" | tee -a "$SW_VM_OUT/$vm_current.log"; }

# scenario <name>: ends the one before (its failed check count goes to <name>.status) and starts this one.
scenario() {
    end_scenario
    vm_current=$1
    vm_failures=0
    : >"$SW_VM_OUT/$vm_current.log"
    say "scenario $vm_current"
}
end_scenario() {
    [ -n "$vm_current" ] && echo "$vm_failures" >"$SW_VM_OUT/$vm_current.status"
    vm_current=
}

check() {  # check <what> <condition...>
    local what=$1
    shift
    if "$@"; then
        say "ok: $what"
    else
        say "FAILED: $what"
        say "  status $run_status, output:"
        sed 's/^/    /' <<<"$run_out" | tee -a "$SW_VM_OUT/$vm_current.log"
        vm_failures=$((vm_failures + 1))
    fi
}
contains() { grep -qF -- "$1" <<<"$run_out"; }
status_is() { [ "$run_status" -eq "$1" ]; }
took_under() { [ "$run_ms" -lt "$1" ]; }

# run <command...>: its output (stdout and stderr) in $run_out, status in $run_status, wall time in $run_ms.
run() {
    local start
    start=$(date +%s%N)
    run_status=0
    run_out=$(timeout 60 "$@" 2>&1 </dev/null) || run_status=$?
    run_out=${run_out//$'\r'/}
    run_ms=$((($(date +%s%N) - start) / 1000000))
}

# wait_until <seconds> <command...>: polls every 50 ms; false at the deadline.
wait_until() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000))
    shift
    until "$@"; do
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# --- simulated boxes ---

# box_start <name> [options...]: a box with its wire log in $vm_work/<name>.wire, present once this returns true.
box_start() {
    local name=$1 fd
    shift
    rm -f "$vm_work/$name".*
    mkfifo "$vm_work/$name.in"
    "$SW_VM_NATIVE/sim/zel-ot40-sim" --uhid --wire-log "$vm_work/$name.wire" "$@" <"$vm_work/$name.in" \
        >"$vm_work/$name.out" 2>&1 &
    eval "box_pid_$name=$!"
    exec {fd}>"$vm_work/$name.in"
    eval "box_fd_$name=$fd"
    : >"$vm_work/$name.wire"
    wait_until 10 box_present "$name"
}
box_pid() { eval "echo \$box_pid_$1"; }
# The box's hidraw node, once the kernel has made it.
box_node() {
    local uevent
    for uevent in /sys/class/hidraw/hidraw*/device/uevent; do
        if grep -qx "HID_UNIQ=sim-$(box_pid "$1")" "$uevent" 2>/dev/null; then
            uevent=${uevent%/device/uevent}
            echo "/dev/${uevent##*/}"
            return 0
        fi
    done
    return 1
}
box_present() { box_node "$1" >/dev/null && [ -e "$(box_node "$1")" ]; }
box_gone() { ! box_node "$1" >/dev/null; }
# box_line <name> <options...>: the running box takes a line of options; true once it has answered "ok".
box_line() {
    local name=$1 answered
    shift
    answered=$(grep -cE '^(ok|error)' "$vm_work/$name.out")
    echo "$*" >&"$(eval "echo \$box_fd_$name")"
    wait_until 10 box_answered "$name" $((answered + 1)) && [ "$(grep -E '^(ok|error)' "$vm_work/$name.out" | tail -1)" = ok ]
}
box_answered() { [ "$(grep -cE '^(ok|error)' "$vm_work/$1.out")" -ge "$2" ]; }
# box_stop <name>: stdin ends, the box goes.
box_stop() {
    local fd pid
    fd=$(eval "echo \$box_fd_$1")
    pid=$(box_pid "$1")
    exec {fd}>&-
    wait_until 10 kill_done "$pid" || kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
}
kill_done() { ! kill -0 "$1" 2>/dev/null; }

# The reports the box took off its wire, without their times, from report <first> (0-based) on.
wire_count() { wc -l <"$vm_work/$1.wire"; }
wire_from() { tail -n +$(($2 + 1)) "$vm_work/$1.wire" | cut -d' ' -f2-; }

# frame <code> [payload bytes...]: a whole report as the panel writes it, in the wire log's form.
frame() {
    local bytes=("00" "$@") i
    for ((i = ${#bytes[@]}; i < 65; i++)); do bytes+=("00"); done
    echo "${bytes[*]}"
}
repeat() { local i; for ((i = 0; i < $2; i++)); do printf '%s ' "$1"; done; }
