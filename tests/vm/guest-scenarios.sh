#!/bin/bash
# The real-HID-stack scenarios, run in the guest by run-guest.sh: stampwright-cli over the kernel's hidraw, then
# stampwright-cli.exe and the panel over Wine's own HID stack, each against the uhid box and checked on its wire
# log. Each `scenario <name>` (and `panel_scenario <name>`) is the CTest test vm.<name> (vm.wine_panel_<name>).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=guest-lib.sh
. "$here/guest-lib.sh"
cli=$SW_VM_NATIVE/cli/stampwright-cli

# Unlike the power-on state: a ×2 block past the right edge of a 720×480 picture; row 2 with a voiced kana, a
# space cell and a hiragana.
known_state=(--h 625 --v 40 --size 2 --halftone on --colour1 9 --colour2 12 --row1 826082618262
    --row2 834B002082A0 --pattern 2 --signal-mode 2)
check_read_shows_known_state() {
    local line
    check "read: exit 0" status_is 0
    for line in "H position:  625" "V position:  40" "Size:        x2" "Halftone:    on" "Colour 1:    9 blue (青)" \
        "Colour 2:    12 red (赤)" "Row 1:       ＡＢＣ" "Row 2:       ガ あ" "OSD pattern: 2" "Input:       720x480p" \
        "Warning:     the OSD text may lie outside the picture"; do
        check "read shows '$line'" contains "$line"
    done
}
# Colour 1 yellow, then row 1 "CAM 2" in full width.
send_two=(send --row1 "CAM 2" --colour1 yellow)
sent_two="$(frame 24 $(repeat 0E 16))
$(frame 28 82 62 82 60 82 6C 81 40 82 51)"
# Box a keeps a reply that falls due while it is closed, as a USB box does.
box_start a --keep-replies "${known_state[@]}" || echo "box a did not come up: $(cat "$vm_work/a.out")"
wait_quiet "the boot"
window_ms=$(box_round_trip a)

scenario hidraw_list_read_and_send
say "figure: the box's slowest of five round trips over hidraw ${window_ms} ms (the device window is 500 ms)"
run "$cli" --version
say "figure: stampwright-cli --version ${run_ms} ms (a process start)"
run "$cli" list
check "list names the node and the descriptor's lengths" contains "$(box_node a)	input 65	output 65"
before=$(wire_count a)
run "$cli" read
check_read_shows_known_state
check "six whole queries on the wire" [ "$(wire_from a "$before")" = "$(for c in 30 34 35 38 39 3F; do frame $c; done)" ]
say "figure: native read ${run_ms} ms (floor 3000 ms)"
# What this guest adds to the link's own waits (a process start and end, under AddressSanitizer): the reads below
# must end within their link's bounds plus twice that.
slack_ms=$((2 * (run_ms > 3000 ? run_ms - 3000 : 0)))
before=$(wire_count a)
run "$cli" "${send_two[@]}"
check "send: two commands" contains "sent 2 commands"
check "exactly colour 1 and row 1 on the wire, byte for byte" [ "$(wire_from a "$before")" = "$sent_two" ]
say "figure: native send of two commands ${run_ms} ms"

scenario hidraw_preset_round_trip
run "$cli" read --json
printf '%s\n' "$run_out" >"$vm_work/job.json"
before=$(wire_count a)
run "$cli" send --preset "$vm_work/job.json"
check "send --preset: all eight commands" contains "sent 8 commands"
# Row 2's space cell reads back as a half-width space, which typed would go out as a full-width one: the preset
# carries the cells, and they go back as they were read.
check "the eight commands carry the state read back" [ "$(wire_from a "$before")" = "$(frame 20 02 71
frame 21 00 28
frame 22 01
frame 23 01
frame 24 $(repeat 0E 16)
frame 25 $(repeat 0C 16)
frame 28 82 62 82 60 82 6C 81 40 82 51
frame 29 83 4B 00 20 82 A0)" ]

# A guest too slow for the device's window would let any reply miss it: these scenarios fail on such a guest.
answers_in_time() { check "the guest answers well within the device's window (slowest round trip $window_ms ms)" \
    [ "$window_ms" -lt 300 ]; }

scenario hidraw_late_answer_stops_read
answers_in_time
box_line a --late
before=$(wire_count a)
run "$cli" read
check "exit 1: the first query finds no reply, reconnect" \
    eval 'status_is 1 && contains "query 1 of 6 (layout): reception failed (no reply waiting); reconnect the device"'
check "one query on the wire" [ "$(wire_codes a "$before")" = "30 " ]
check "it ends within the link's bounds and this guest's slack ($slack_ms ms)" took_under $((3000 + slack_ms))
box_line a --no-faults

scenario hidraw_late_reply_waits_for_the_next_read
# The late reply fell due after that read had closed the node: the box kept it and hands it over at the node's
# next open, before this read's first query. Every handle open then gets it: the read's own one, when it is open
# by then, finds the reply to the query before at each query, and none may pass for its own; the lock's handle,
# opened first, may take it alone, and then each query gets its own answer.
answers_in_time
check "the box kept the late reply for the next open" grep -q "keeping 1 replies" "$vm_work/a.out"
before=$(wire_count a)
run sh -c '"$@" 2>&1 >"$0"' "$vm_work/read.stdout" "$cli" read
sed 's/^/    stdout: /' "$vm_work/read.stdout" >>"$SW_VM_OUT/$vm_current.log"
check "exit 1 naming the query left without its own answer, nothing on stdout; or exit 0 with the whole box" \
    eval '(status_is 1 && contains "no answer of its own to" && [ ! -s "$vm_work/read.stdout" ]) ||
        (status_is 0 && grep -q "^Row 2:" "$vm_work/read.stdout" && grep -q "^OSD pattern:" "$vm_work/read.stdout")'
say "figure: the late reply's read ended with status $run_status"
check "six queries on the wire" [ "$(wire_codes a "$before")" = "30 34 35 38 39 3F " ]

scenario hidraw_unplug_mid_read_then_replug
before=$(wire_count a)
box_line a --unplug-after $((before + 3))
run "$cli" read
check "exit 1: the third query's reply went with the box, reconnect" \
    eval 'status_is 1 && contains "query 3 of 6 (colour 2): reception failed (no reply waiting); reconnect the device"'
check "three queries on the wire" [ "$(wire_codes a "$before")" = "30 34 35 " ]
check "it ends within the link's bounds and this guest's slack ($slack_ms ms)" took_under $((4000 + slack_ms))
check "the node is gone" box_gone a
box_line a --no-faults && wait_until 10 box_node a >/dev/null
run "$cli" read
check "after the replug read works again" status_is 0

scenario hidraw_unplug_mid_send
# uhid queues a write at once, where a USB box takes the report before the write returns: strace holds each write
# longer, so the box is gone before the third command as it would be on the wire. (LeakSanitizer cannot run under
# ptrace. Traced, the program's wall time says nothing about the link's waits: the read scenarios bound those.)
before=$(wire_count a)
box_line a --unplug-after $((before + 2))
run env ASAN_OPTIONS=detect_leaks=0 strace -f --seccomp-bpf -qq -o /dev/null -e trace=write \
    -e inject=write:delay_exit=300000 "$cli" send --h 1 --v 2 --size 3
check "exit 1: the third command fails after two went out" \
    eval 'status_is 1 && contains "sending size (command 3 of 3) failed: the box may hold the 2 sent before it; check it and send again"'
check "two commands on the wire" [ "$(wire_codes a "$before")" = "20 21 " ]
box_line a --no-faults && wait_until 10 box_node a >/dev/null

scenario hidraw_two_boxes_first_is_used
box_start b
run "$cli" list
check "list shows both boxes" eval 'contains "$(box_node a)	input 65" && contains "$(box_node b)	input 65"'
first=a other=b
[ "$(head -1 <<<"$run_out" | cut -f1)" = "$(box_node b)" ] && first=b other=a
before_first=$(wire_count $first) before_other=$(wire_count $other)
run "$cli" send --row2 B1
check "the first listed box took the command" [ "$(wire_count $first)" -eq $((before_first + 1)) ]
check "the other took nothing" [ "$(wire_count $other)" -eq "$before_other" ]
box_stop b

scenario hidraw_access_refused_names_node_and_rule
node=$(box_node a)
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
run "${as_nobody[@]}" "$cli" read
check "exit 1: access to the node was refused" \
    eval 'status_is 1 && contains "connecting to it failed ($node): access was refused"'
check "the message names the udev rule" contains "70-stampwright.rules"
run "${as_nobody[@]}" "$cli" list
check "list says why the node cannot be opened" contains "$node	cannot be opened: access was refused"

scenario udev_rule_tags_the_box_and_nothing_else
mkdir -p /run/udev/rules.d
cp "$here/../../packaging/linux/70-stampwright.rules" /run/udev/rules.d/
# Another vendor's HID device, for as long as its maker runs.
python3 -c '
import os, struct, time
rd = bytes([0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0xC0])
fd = os.open("/dev/uhid", os.O_RDWR)
os.write(fd, struct.pack("<I128s64s64sHHIIII4096s", 11, b"other", b"", b"", len(rd), 3, 0x46D, 0xC52B, 0, 0, rd))
time.sleep(60)' &
other_maker=$!
other_node() { grep -l "HID_ID=0003:0000046D:0000C52B" /sys/class/hidraw/hidraw*/device/uevent 2>/dev/null; }
check "another vendor's HID device is there to try the rule on" eval 'wait_until 10 other_node >/dev/null'
tags_of() {
    run "$SW_VM_UDEVADM" test --action=add "$1"
    run_out=$(grep -E '^TAGS=' <<<"$run_out")
}
box_sysfs=/sys/class/hidraw/$(basename "$(box_node a)")
tags_of "$box_sysfs"
check "the box's hidraw node gets the uaccess tag" contains ":uaccess:"
other=$(other_node)
tags_of "${other%/device/uevent}"
check "another vendor's hidraw node does not" lacks "uaccess"
tags_of "$(readlink -f "$box_sysfs/device")"
check "nor does the box's HID device" lacks "uaccess"
kill "$other_maker"

# --- Wine's own HID stack: the bed's prefix under a tmpfs overlay; Wine's setupapi, hid and bus driver ---
# Without udevd Wine's bus driver sees only the boxes present when it starts: box a is, in the known state.
box_line a "${known_state[@]}"
bed=$vm_work/bed
rw=$vm_work/prefix-rw
# (An overlay's upper layer cannot lie in the overlay that /tmp is.)
mkdir -p "$bed/prefix" "$rw" && mount -t tmpfs prefix-rw "$rw" && mkdir -p "$rw/upper" "$rw/work" &&
    mount -t overlay overlay -o "lowerdir=$SW_VM_WINDOWS/tests/e2e/bed/prefix,upperdir=$rw/upper,workdir=$rw/work" \
        "$bed/prefix" || {
    echo "the bed's prefix cannot be mounted: the Wine scenarios do not run"
    end_scenario
    touch "$SW_VM_OUT/done"
    exit 1
}
{
    cat "$SW_VM_WINDOWS/tests/e2e/bed/bed.conf"
    # The doubles stay out of the stage: Wine's own setupapi and hid are the ones under test.
    echo 'SW_BED_STAGE_FILES=($(printf "%s\n" "${SW_BED_STAGE_FILES[@]}" | grep -v /doubles/))'
    echo "SW_BED_ARTIFACTS='$SW_VM_OUT/artifacts'"
} >"$bed/bed.conf"
export SW_E2E_BOX=$vm_work/a
wine_dir=$SW_VM_WINDOWS/tests/e2e/wine
# shellcheck disable=SC1091
. "$wine_dir/wine-env.sh" "$bed" && . "$wine_dir/bed-lib.sh" && . "$bed/bed.conf"
# Windows programs crash when run from 9p: they are staged into the overlay's tmpfs.
(bed_start_display && bed_stage_files && cp "$SW_VM_WINDOWS/cli/stampwright-cli.exe" "$SW_BED_STAGE/") \
    >"$vm_work/bed-setup.log" 2>&1
# Every Wine program from here on is on the bed's display, and Wine's desktop process is started first and stays,
# with the wineserver, to the end: a window program that has to start it itself waits 10 s for it, and in a slow
# guest then gets a desktop without a display driver, where no dialog can be made (the program ends with 0).
. "$bed/display.env" && export DISPLAY=":$SW_BED_DISPLAY"
wineserver -p
wine explorer.exe /desktop >>"$vm_work/bed-setup.log" 2>&1 &
wine_lists_box() { run wine "$SW_BED_STAGE/stampwright-cli.exe" list && contains "hid#vid_3c9b&pid_5d17&mi_00#"; }

scenario wine_cli_lists_reads_and_sends 120
# Nothing is timed before Wine's HID stack has listed the box and the guest is quiet again.
started=$SECONDS
check "Wine's HID stack lists the box within 240 s of Wine's first start" wait_until 240 wine_lists_box
say "figure: Wine's first start up to its HID stack listing the box $((SECONDS - started)) s"
# Under TCG the guest translates code the first time it runs it: the first exchange through Wine's HID stack and
# the first start of a window program are slow once. Both are run once, untimed and unchecked, before anything timed.
run wine "$SW_BED_STAGE/stampwright-cli.exe" read
say "figure: Wine's first exchange (an unchecked read) ${run_ms} ms, status $run_status"
wait_quiet "Wine's desktop started"
# The panel's first start: the bed's scenario that only starts it, with the longest limits the bed takes.
run_limit=460 run env -u LC_ALL SW_E2E_LIMIT_SCALE=12 SW_E2E_SCENARIO_TIMEOUT=400 "$wine_dir/run-scenario.sh" \
    initial_control_states "$bed"
say "figure: the panel's first start under Wine (the bed's initial_control_states, unchecked) ${run_ms} ms," \
    "status $run_status"
# The bed's limits hold a scenario like that one done within about 10 s; in this guest they stretch with it (up to
# 8 times), and the bed's scenarios end within a limit of their own that grows with them.
scale=$(((run_ms + 9999) / 10000))
export SW_E2E_LIMIT_SCALE=$((scale < 1 ? 1 : scale > 8 ? 8 : scale))
panel_limit=$((90 + 30 * SW_E2E_LIMIT_SCALE))
say "figure: the bed's limits times $SW_E2E_LIMIT_SCALE, each of its scenarios within $panel_limit s"
wait_quiet "Wine's first start"
run wine "$SW_BED_STAGE/stampwright-cli.exe" list
check "list shows the box at Wine's path, with the descriptor's lengths" \
    eval 'contains "hid#vid_3c9b&pid_5d17&mi_00#" && contains "	input 65	output 65"'
run wine "$SW_BED_STAGE/stampwright-cli.exe" --version
say "figure: stampwright-cli.exe --version ${run_ms} ms (a process start under Wine)"
run wine "$SW_BED_STAGE/stampwright-cli.exe" read
check_read_shows_known_state
say "figure: Wine read ${run_ms} ms (floor 3000 ms)"
before=$(wire_count a)
run wine "$SW_BED_STAGE/stampwright-cli.exe" "${send_two[@]}"
check "exactly colour 1 and row 1 on the wire, byte for byte" [ "$(wire_from a "$before")" = "$sent_two" ]
say "figure: Wine send of two commands ${run_ms} ms"

# The bed's own scenarios, in the device mode of the box.
# The driver's limit is the scenario's; the outer one only catches a hang of the bed's script.
panel_scenario() {
    scenario "wine_panel_$1" $((panel_limit + 60))
    wait_quiet "the scenario before"
    run env -u LC_ALL SW_E2E_SCENARIO_TIMEOUT=$panel_limit "$wine_dir/run-scenario.sh" "$1" "$bed"
    say "figure: the bed's scenario $1 ${run_ms} ms"
    check "the bed's scenario $1 passes over Wine's HID stack" status_is 0
}
panel_scenario read_back_fills_every_control
panel_scenario send_writes_eight_commands_then_completes
bed_stop_wineserver
bed_stop_display

end_scenario

scenario hidraw_two_programs_one_box_and_lasting_names
# A box of its own that reports a port and a serial number, as a USB box plugged into one port does.
mkfifo "$vm_work/c.in" && : >"$vm_work/c.wire"
"$SW_VM_NATIVE/sim/zel-ot40-sim" --uhid --port usb-0000:00:1d.0-1.4 --serial OT40-4711 --wire-log "$vm_work/c.wire" \
    <"$vm_work/c.in" >"$vm_work/c.out" 2>&1 &
c_pid=$!
exec {c_fd}>"$vm_work/c.in"
c_node() {
    local uevent
    uevent=$(grep -lx "HID_UNIQ=OT40-4711" /sys/class/hidraw/hidraw*/device/uevent 2>/dev/null) &&
        echo "/dev/$(basename "${uevent%/device/uevent}")"
}
wait_until 10 c_node >/dev/null
node_c=$(c_node)
run "$cli" list
check "list shows the port and the serial number" contains "$node_c	input 65	output 65	port usb-0000:00:1d.0-1.4	serial OT40-4711"
before=$(wire_count c)
run "$cli" send --row2 P --device usb-0000:00:1d.0-1.4
check "--device takes the port" eval 'status_is 0 && [ "$(wire_count c)" -eq $((before + 1)) ]'
run "$cli" send --row2 S --device OT40-4711
check "--device takes the serial number" eval 'status_is 0 && [ "$(wire_count c)" -eq $((before + 2)) ]'
# Two programs at once on one box: each conversation waits for the other, and neither takes the other's replies.
before=$(wire_count c)
for r in 1 2; do
    ("$cli" read --json --device OT40-4711 >"$vm_work/read$r.json" 2>"$vm_work/read$r.err"
        echo $? >"$vm_work/read$r.status") &
    reader[r]=$!
done
wait "${reader[1]}" "${reader[2]}"
run cat "$vm_work/read1.status" "$vm_work/read2.status" "$vm_work/read1.err" "$vm_work/read2.err"
check "both reads exit 0" [ "$(cat "$vm_work/read1.status" "$vm_work/read2.status" | tr '\n' ' ')" = "0 0 " ]
run cat "$vm_work/read1.json" "$vm_work/read2.json"
check "both presets hold the whole box" [ "$(grep -c '"row2": "Ｓ"' <<<"$run_out") $(grep -c '"osdPattern"' <<<"$run_out")" = "2 2" ]
check "the two passes did not interleave" [ "$(wire_codes c "$before")" = "30 34 35 38 39 3F 30 34 35 38 39 3F " ]
# Another program holds the box past the companion's wait.
flock -o "$node_c" sleep 20 &
holder=$!
wait_until 5 grep -q FLOCK /proc/locks
run "$cli" read --device OT40-4711
check "a box another program holds: exit 1, naming it" eval 'status_is 1 && contains "the box is busy: flock (process"'
kill "$holder"
exec {c_fd}>&-
wait_until 10 eval '! kill -0 "$c_pid" 2>/dev/null' || kill -9 "$c_pid"
end_scenario

# serve over hidraw: the API's send reaches the uhid box byte for byte (loopback only, which the guest brings up).
scenario hidraw_serve_post_send
box_start s || echo "box s did not come up: $(cat "$vm_work/s.out")"
busybox ip link set lo up
"$cli" serve --listen 127.0.0.1:8040 --device "$(box_node s)" >"$vm_work/serve.out" 2>&1 &
serve_pid=$!
wait_until 10 grep -qs "^serving" "$vm_work/serve.out"
before=$(wire_count s)
run python3 -c 'import urllib.request as u
r = u.urlopen(u.Request("http://127.0.0.1:8040/api/v1/send", data=b"{\"version\": 1, \"row1\": \"CAM 2\"}"))
print(r.status, r.read().decode())'
check "POST /api/v1/send: 200 and one command" contains '200 {"sent":1,"commands":["row 1"]'
check "row 1 on the wire, byte for byte" [ "$(wire_from s "$before")" = "$(frame 28 82 62 82 60 82 6C 81 40 82 51)" ]
say "figure: serve POST send over hidraw ${run_ms} ms (a python3 start included)"
kill -INT "$serve_pid"
wait_until 10 eval '! kill -0 "$serve_pid" 2>/dev/null'
check "serve stops on Ctrl+C" grep -q "^stopped" "$vm_work/serve.out"
box_stop s
end_scenario
touch "$SW_VM_OUT/done"
