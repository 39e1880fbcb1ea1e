#!/bin/bash
# The real-HID-stack scenarios, run inside the guest by run-guest.sh: stampwright-cli over the kernel's hidraw,
# then stampwright-cli.exe and the panel over Wine's own HID stack, each against the simulated box made through
# /dev/uhid and checked on the box's wire log. Each `scenario <name>` becomes the CTest test vm.<name>.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=guest-lib.sh
. "$here/guest-lib.sh"
cli=$SW_VM_NATIVE/cli/stampwright-cli

# A state unlike the power-on one: a ×2 block reaching past the right edge of a 720×480 picture, two rows with a
# voiced kana, a space cell and a hiragana.
known_state=(--h 625 --v 40 --size 2 --halftone on --colour1 9 --colour2 12 --row1 826082618262
    --row2 834B002082A0 --pattern 2 --signal-mode 2)
check_known_state() {
    local line
    for line in "H position:  625" "V position:  40" "Size:        x2" "Halftone:    on" "Colour 1:    9 blue (青)" \
        "Colour 2:    12 red (赤)" "Row 1:       ＡＢＣ" "Row 2:       ガ あ" "OSD pattern: 2" "Input:       720x480p" \
        "Warning:     the OSD text may lie outside the picture"; do
        check "read shows '$line'" contains "$line"
    done
}
box_start a "${known_state[@]}" || echo "the box did not come up: $(cat "$vm_work/a.out")"
node=$(box_node a)

scenario hidraw_list_shows_node_and_descriptor_lengths
run "$cli" list
check "list: exit 0" status_is 0
check "list names the node and the descriptor's lengths" contains "$node	input 65	output 65"

scenario hidraw_read_shows_every_value
run "$cli" read
check "read: exit 0" status_is 0
check_known_state
run_out=$(wire_from a 0)
check "six whole queries on the wire" [ "$run_out" = "$(for c in 30 34 35 38 39 3F; do frame $c; done)" ]
say "figure: native read ${run_ms} ms (floor 3000 ms)"

scenario hidraw_send_writes_only_the_given_commands
before=$(wire_count a)
run "$cli" send --row1 "CAM 2" --colour1 yellow
check "send: exit 0" status_is 0
check "send reports two commands" contains "sent 2 commands"
say "figure: native send of two commands ${run_ms} ms"
run_out=$(wire_from a "$before")
check "colour 1 then row 1 on the wire, byte for byte" [ "$run_out" = "$(frame 24 $(repeat 0E 16)
frame 28 82 62 82 60 82 6C 81 40 82 51)" ]

scenario hidraw_preset_round_trip
run "$cli" read --json
check "read --json: exit 0" status_is 0
printf '%s\n' "$run_out" >"$vm_work/job.json"
before=$(wire_count a)
run "$cli" send --preset "$vm_work/job.json"
check "send --preset: all eight commands" contains "sent 8 commands"
run_out=$(wire_from a "$before")
# The space cell of row 2 reads back as a half-width space, which goes out as a full-width one.
check "the eight commands carry the state read back" [ "$run_out" = "$(frame 20 02 71
frame 21 00 28
frame 22 01
frame 23 01
frame 24 $(repeat 0E 16)
frame 25 $(repeat 0C 16)
frame 28 82 62 82 60 82 6C 81 40 82 51
frame 29 83 4B 81 40 82 A0)" ]

scenario hidraw_late_answer_stops_read
box_line a --late
before=$(wire_count a)
run "$cli" read
check "read: exit 1" status_is 1
check "the first query finds no reply: reconnect" \
    contains "query 1 of 6 (layout): reception failed (no reply waiting); reconnect the device"
check "one query on the wire" [ "$(wire_from a "$before" | cut -d' ' -f2)" = 30 ]
check "it ends within the link's bounds" took_under 3000
box_line a --no-faults

scenario hidraw_unplug_mid_read
before=$(wire_count a)
box_line a --unplug-after $((before + 3))
run "$cli" read
check "read: exit 1" status_is 1
check "the third query's reply went with the box: reconnect" \
    contains "query 3 of 6 (colour 2): reception failed (no reply waiting); reconnect the device"
check "three queries on the wire" [ "$(wire_from a "$before" | cut -d' ' -f2 | tr '\n' ' ')" = "30 34 35 " ]
check "it ends within the link's bounds" took_under 4000
check "the node is gone" box_gone a
box_line a --no-faults && wait_until 10 box_present a
run "$cli" read
check "after the replug read works again" status_is 0

scenario hidraw_unplug_mid_send
before=$(wire_count a)
box_line a --unplug-after $((before + 2))
# uhid queues a write at once, where a USB box takes the report before the write returns: strace holds each write
# that long and more, so the box is gone before the third command, as it would be on the wire. (LeakSanitizer
# cannot run under ptrace.)
held_writes() {
    run env ASAN_OPTIONS=detect_leaks=0 strace -f --seccomp-bpf -qq -o /dev/null -e trace=write \
        -e inject=write:delay_exit=300000 "$cli" send --h 1 --v 2 --size 3
}
held_writes
present_ms=$run_ms
before=$(wire_count a)
box_line a --unplug-after $((before + 2))
held_writes
check "send: exit 1" status_is 1
check "the third command fails, the first two went out" \
    contains "sending size (command 3 of 3) failed; sending may have failed, check the device"
check "two commands on the wire" [ "$(wire_from a "$before" | cut -d' ' -f2 | tr '\n' ' ')" = "20 21 " ]
check "it ends no later than the same send with the box present" took_under $((present_ms + 500))
box_line a --no-faults && wait_until 10 box_present a

scenario hidraw_two_boxes_first_is_used
box_start b
run "$cli" list
check "list: exit 0" status_is 0
check "list shows box a" contains "$(box_node a)	input 65	output 65"
check "list shows box b" contains "$(box_node b)	input 65	output 65"
first=a other=b
[ "$(head -1 <<<"$run_out" | cut -f1)" = "$(box_node b)" ] && first=b other=a
before_first=$(wire_count $first) before_other=$(wire_count $other)
run "$cli" send --row2 B1
check "send: exit 0" status_is 0
check "the first listed box took the command" [ "$(wire_count $first)" -eq $((before_first + 1)) ]
check "the other box took nothing" [ "$(wire_count $other)" -eq "$before_other" ]
box_stop b

scenario hidraw_access_refused_names_node_and_rule
node=$(box_node a)
run setpriv --reuid=nobody --regid=nogroup --clear-groups "$cli" read
check "read as a user without access: exit 1" status_is 1
check "the message says access was refused and names the node" \
    contains "connecting to it failed ($node): access was refused"
check "the message names the udev rule" contains "70-stampwright.rules"
run setpriv --reuid=nobody --regid=nogroup --clear-groups "$cli" list
check "list says why the node cannot be opened" contains "$node	cannot be opened: access was refused"

scenario udev_rule_tags_the_box_and_nothing_else
mkdir -p /run/udev/rules.d
cp "$SW_VM_SOURCE/packaging/linux/70-stampwright.rules" /run/udev/rules.d/
# Another vendor's HID device beside the box, made through /dev/uhid for as long as its maker runs.
python3 -c '
import os, struct, time
rd = bytes([0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0xC0])
fd = os.open("/dev/uhid", os.O_RDWR)
os.write(fd, struct.pack("<I128s64s64sHHIIII4096s", 11, b"other", b"usb-other/input0", b"other", len(rd), 3,
                         0x046D, 0xC52B, 0, 0, rd))
time.sleep(60)' &
other_maker=$!
other_node() { grep -l "HID_ID=0003:0000046D:0000C52B" /sys/class/hidraw/hidraw*/device/uevent 2>/dev/null | head -1; }
wait_until 10 other_node
tags_of() {
    run "$SW_VM_UDEVADM" test --action=add "$1"
    run_out=$(grep -E '^TAGS=' <<<"$run_out")
}
lacks() { ! contains "$1"; }
tags_of "/sys/class/hidraw/$(basename "$(box_node a)")"
check "the box's hidraw node gets the uaccess tag" contains ":uaccess:"
other=$(other_node)
tags_of "${other%/device/uevent}"
check "another vendor's hidraw node does not" lacks "uaccess"
tags_of "$(readlink -f "/sys/class/hidraw/$(basename "$(box_node a)")/device")"
check "nor does the box's HID device itself" lacks "uaccess"
kill "$other_maker" 2>/dev/null
wait "$other_maker" 2>/dev/null

# --- Wine's own HID stack: the bed's prefix under a tmpfs overlay, Wine's setupapi, hid and bus driver ---
# Without udevd Wine's bus driver sees only the boxes present when it starts: box a is, in the known state.
box_line a "${known_state[@]}"
bed=$vm_work/bed
mkdir -p "$bed/prefix" "$vm_work/overlay/upper" "$vm_work/overlay/work"
mount -t overlay overlay -o "lowerdir=$SW_VM_WINDOWS/tests/e2e/bed/prefix,upperdir=$vm_work/overlay/upper,workdir=$vm_work/overlay/work" \
    "$bed/prefix" || echo "the prefix overlay is not mounted"
{
    cat "$SW_VM_WINDOWS/tests/e2e/bed/bed.conf"
    # Wine's own HID layer only: the doubles are not even staged.
    echo 'SW_BED_STAGE_FILES=($(printf "%s\n" "${SW_BED_STAGE_FILES[@]}" | grep -v /doubles/))'
    echo "SW_BED_ARTIFACTS='$SW_VM_OUT/artifacts'"
} >"$bed/bed.conf"
export SW_E2E_BOX=$vm_work/a
wine_dir=$SW_VM_WINDOWS/tests/e2e/wine
# shellcheck disable=SC1091
. "$wine_dir/wine-env.sh" "$bed"
# shellcheck disable=SC1091
. "$wine_dir/bed-lib.sh"
# shellcheck disable=SC1091
. "$bed/bed.conf"
# Windows programs crash when run from 9p: they run from the overlay's tmpfs.
(bed_start_display && bed_stage_files) >"$vm_work/bed-setup.log" 2>&1
cp "$SW_VM_WINDOWS/cli/stampwright-cli.exe" "$SW_BED_STAGE/"
wine_cli=$SW_BED_STAGE/stampwright-cli.exe
wine_started=$(date +%s%N)

scenario wine_cli_lists_reads_and_sends
run wine "$wine_cli" list
say "figure: first Wine start with list $(($(date +%s%N) / 1000000 - wine_started / 1000000)) ms"
list_out=$run_out list_status=$run_status
run wine "$wine_cli" --version
say "figure: stampwright-cli.exe --version ${run_ms} ms (process start under Wine)"
run_out=$list_out run_status=$list_status
check "list: exit 0" status_is 0
check "list shows Wine's path of the box's interface and its lengths" \
    contains "hid#vid_3c9b&pid_5d17&mi_00#"
check "the lengths are the descriptor's" contains "	input 65	output 65"
run wine "$wine_cli" read
check "read: exit 0" status_is 0
check_known_state
say "figure: Wine read ${run_ms} ms (floor 3000 ms)"
before=$(wire_count a)
run wine "$wine_cli" send --row1 "CAM 2" --colour1 yellow
check "send: exit 0" status_is 0
say "figure: Wine send of two commands ${run_ms} ms"
run_out=$(wire_from a "$before")
check "colour 1 then row 1 on the wire, byte for byte" [ "$run_out" = "$(frame 24 $(repeat 0E 16)
frame 28 82 62 82 60 82 6C 81 40 82 51)" ]

# The bed's own scenarios, with the device mode set to the box.
panel_scenario() {
    scenario "wine_panel_$1"
    run env -u LC_ALL "$wine_dir/run-scenario.sh" "$1" "$bed"
    printf '%s\n' "$run_out" >>"$SW_VM_OUT/$vm_current.log"
    check "the bed's scenario $1 passes over Wine's HID stack" status_is 0
}
panel_scenario read_back_fills_every_control
panel_scenario send_writes_eight_commands_then_completes

bed_stop_wineserver
bed_stop_display

end_scenario
touch "$SW_VM_OUT/done"
