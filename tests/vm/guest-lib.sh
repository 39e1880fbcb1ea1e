# shellcheck shell=bash
# The guest scenarios' helpers: checks that end in a result per scenario, timed runs, and the simulated boxes
# (zel-ot40-sim --uhid), each taking lines of options on a FIFO and keeping a wire log in $vm_work/<box>.*.

vm_work=/tmp/sw-vm-guest
rm -rf "$vm_work" && mkdir -p "$vm_work"
vm_current=
declare -A box_pid box_fd

say() { echo "$*" | tee -a "$SW_VM_OUT/$vm_current.log"; }
# scenario <name> [limit]: ends the one before (its count of failed checks goes to <name>.status) and starts this
# one, whose commands are each killed at <limit> seconds (default 60).
scenario() {
    end_scenario
    vm_current=$1 vm_failures=0 run_limit=${2:-60}
    say "scenario $1"
}
end_scenario() { [ -z "$vm_current" ] || echo "$vm_failures" >"$SW_VM_OUT/$vm_current.status"; }
check() { # check <what> <condition...>
    local what=$1
    shift
    if "$@"; then
        say "ok: $what"
    else
        say "FAILED: $what (the last command: status $run_status after $run_ms ms; its output is above)"
        vm_failures=$((vm_failures + 1))
    fi
}
contains() { grep -qF -- "$1" <<<"$run_out"; }
lacks() { ! contains "$1"; }
status_is() { [ "$run_status" -eq "$1" ]; }
took_under() { [ "$run_ms" -lt "$1" ]; }

# run <command...>: its output (stdout and stderr) goes straight into the scenario's log as it comes (no pipe: a
# program that leaves a child behind, as Wine does, still ends the run) and into $run_out; its status in
# $run_status (124: killed at the scenario's limit), its wall time in $run_ms.
run() {
    local start log=$SW_VM_OUT/$vm_current.log from
    start=$(date +%s%N)
    echo "\$ ${*#"$SW_VM_NATIVE/"}" >>"$log"
    from=$(stat -c %s "$log")
    run_status=0
    timeout --kill-after=5 "$run_limit" "$@" >>"$log" 2>&1 </dev/null || run_status=$?
    run_out=$(tail -c +$((from + 1)) "$log" | tr -d '\r')
    run_ms=$((($(date +%s%N) - start) / 1000000))
    [ "$run_status" != 124 ] || say "killed at the scenario's limit of $run_limit s"
}
# wait_until <seconds> <command...>: polls every 50 ms; false at the deadline.
wait_until() {
    local deadline=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# quiet: true when the guest's CPUs idled through most of the last second (what a start left running is done).
cpu_idle_and_total() { awk '/^cpu / { print $5 + $6, $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9 }' /proc/stat; }
quiet() {
    local idle1 total1 idle2 total2
    read -r idle1 total1 <<<"$(cpu_idle_and_total)"
    sleep 1
    read -r idle2 total2 <<<"$(cpu_idle_and_total)"
    [ $((100 * (idle2 - idle1) / (total2 - total1 + 1))) -ge 70 ]
}
# wait_quiet <what>: waits up to 120 s for a quiet guest before anything timed; says how long it took.
wait_quiet() {
    local start=$SECONDS
    wait_until 120 quiet || say "the guest did not quieten within 120 s after $1"
    say "figure: the guest was quiet $((SECONDS - start)) s after $1"
}
# box_round_trip <box>: its slowest answer over hidraw in ms, each of five layout queries timed from its write to
# its reply being there to read. Where that takes most of the device's 500 ms window, a reply missing the window
# says nothing of the reply being late.
box_round_trip() {
    python3 - "$(box_node "$1")" <<'PY'
import os, select, sys, time
fd, worst = os.open(sys.argv[1], os.O_RDWR), 0
for _ in range(5):
    start = time.monotonic()
    os.write(fd, bytes([0, 0x30]) + bytes(63))
    ready = select.select([fd], [], [], 5)[0] and os.read(fd, 64)
    worst = max(worst, (time.monotonic() - start) * 1000 if ready else 5000)
print(int(worst))
PY
}

# box_start <box> [options...]: true once the box's hidraw node is there.
box_start() {
    local box=$1 fd
    shift
    mkfifo "$vm_work/$box.in"
    : >"$vm_work/$box.wire"
    "$SW_VM_NATIVE/sim/zel-ot40-sim" --uhid --wire-log "$vm_work/$box.wire" "$@" <"$vm_work/$box.in" \
        >"$vm_work/$box.out" 2>&1 &
    box_pid[$box]=$!
    exec {fd}>"$vm_work/$box.in"
    box_fd[$box]=$fd
    wait_until 10 box_node "$box" >/dev/null
}
# The box's hidraw node: the one whose serial number names the box's simulator.
box_node() {
    local uevent
    uevent=$(grep -lx "HID_UNIQ=sim-${box_pid[$1]}" /sys/class/hidraw/hidraw*/device/uevent 2>/dev/null) &&
        echo "/dev/$(basename "${uevent%/device/uevent}")"
}
box_gone() { ! box_node "$1" >/dev/null; }
answers() { grep -cE '^(ok|error)' "$vm_work/$1.out"; }
# box_line <box> <options...>: true once the box has answered the line with "ok".
box_line() {
    local box=$1 before
    shift
    before=$(answers "$box")
    echo "$*" >&"${box_fd[$box]}"
    wait_until 10 eval '[ "$(answers "$box")" -gt "$before" ]' && [ "$(grep -E '^(ok|error)' "$vm_work/$box.out" |
        tail -1)" = ok ]
}
# box_stop <box>: its stdin ends, and with it the box.
box_stop() {
    local fd=${box_fd[$1]} pid=${box_pid[$1]}
    exec {fd}>&-
    wait_until 10 eval '! kill -0 "$pid" 2>/dev/null' || kill -9 "$pid"
}

# The reports the box took off its wire: their count, and their bytes from report <first> (0-based) on.
wire_count() { wc -l <"$vm_work/$1.wire"; }
wire_from() { tail -n +$(($2 + 1)) "$vm_work/$1.wire" | cut -d' ' -f2-; }
wire_codes() { wire_from "$@" | cut -d' ' -f2 | tr '\n' ' '; }
# frame <code> [payload bytes...]: a whole report as the panel writes it, in the wire log's form.
frame() {
    local bytes=(00 "$@")
    while [ ${#bytes[@]} -lt 65 ]; do bytes+=(00); done
    echo "${bytes[*]}"
}
repeat() { for ((i = 0; i < $2; i++)); do printf '%s ' "$1"; done; }
