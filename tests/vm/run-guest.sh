#!/bin/bash
# Boots Debian's own kernel under QEMU and runs guest-scenarios.sh in it: the guest mounts the host's root
# read-only over 9p, so it runs this build's binaries and the host's Wine. Each scenario leaves <out>/<name>.log
# and <out>/<name>.status (its failed checks); scenario-result.sh makes them CTest results.
#
#   run-guest.sh <out-dir> <native build> <windows build>
#   run-guest.sh --check                       (says which of the tools it needs are missing; exit 1 if any)
#
# The kernel and udev packages, pinned below, are fetched with `apt-get download` and unpacked into $SW_VM_CACHE
# (default build/vm-cache), never installed; once there, the guest runs offline. TCG by default: SW_VM_KVM=1 tries
# KVM, which hangs on nested machines.
set -euo pipefail

kernel_pin=linux-image-6.1.0-57-amd64=6.1.192-3
udev_pin=udev=252.39-1~deb12u2
tools=(qemu-system-x86_64 wine wineserver Xvfb busybox apt-get apt-cache dpkg-deb gzip strace python3 setpriv flock)
if [ "${1:-}" = --check ]; then
    missing=()
    for t in "${tools[@]}"; do command -v "$t" >/dev/null || missing+=("$t"); done
    [ ${#missing[@]} = 0 ] || { echo "vm: missing ${missing[*]} (scripts/install-deps.sh installs them)"; exit 1; }
    echo "vm: every tool is there (${tools[*]})"
    exit 0
fi

out=${1:?usage: run-guest.sh <out-dir> <native build> <windows build>}
native=$(cd "${2:?}" && pwd)
windows=$(cd "${3:?}" && pwd)
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache=${SW_VM_CACHE:-$here/../../build/vm-cache}
exec </dev/null
die() {
    echo "run-guest: $*" >&2
    exit 1
}
for f in "$native/cli/stampwright-cli" "$native/sim/zel-ot40-sim" "$windows/cli/stampwright-cli.exe"; do
    [ -f "$f" ] || die "missing build output $f"
done
# Two runs from one checkout take turns: the cache and the results folder are one run's at a time.
mkdir -p "$cache" "$(dirname "$out")"
exec {cache_lock}>"$cache/.lock" {out_lock}>"$out.lock"
flock -w 900 "$out_lock" || die "another guest run kept $out for 900 s"

# unpacked <package>=<version>: the folder of the package's files, fetched and unpacked once.
unpacked() {
    if [ ! -d "$cache/$1" ]; then
        rm -rf "$cache/download" && mkdir -p "$cache/download"
        # Package lists that have gone stale name versions the archive no longer holds: refreshed once.
        (cd "$cache/download" && { apt-get download -q "$1" || { apt-get update -q && apt-get download -q "$1"; }; }) \
            2>&1 | { grep -v "unsandboxed as root" || true; } >&2
        ls "$cache"/download/*.deb >/dev/null 2>&1 || return 1
        dpkg-deb -x "$cache"/download/*.deb "$cache/$1.part" && mv "$cache/$1.part" "$cache/$1"
    fi
    echo "$cache/$1"
}
# pinned <package>=<version> <name>: the pinned version, or, when the archive has moved on, the one the package
# lists name today (said loudly: the pin wants updating).
pinned() {
    unpacked "$1" && return
    local current
    current=$(apt-cache policy "${1%%=*}" | awk '/Candidate:/ { print $2 }')
    echo "run-guest: the pinned $1 cannot be fetched: the guest uses ${1%%=*}=$current instead" \
        "(update the pin in tests/vm/run-guest.sh)" >&2
    unpacked "${1%%=*}=$current" || die "apt-get download ${1%%=*}=$current failed"
}
flock -w 900 "$cache_lock" || die "another guest run kept $cache for 900 s"
kernel_dir=$(pinned "$kernel_pin")
udevadm="$(pinned "$udev_pin")/bin/udevadm"
flock -u "$cache_lock"

# The initramfs: busybox, the modules in load order (the package ships no modules.dep, and busybox's insmod
# loads no dependencies), the guest's /init and what it is to run.
initrd=$(mktemp -d)
trap 'rm -rf "$initrd"' EXIT
mkdir -p "$initrd/root/bin" "$initrd/root/modules"
cp /bin/busybox "$initrd/root/bin/busybox"
for m in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci 9pnet 9pnet_virtio netfs \
    fscache 9p overlay hid uhid hid-generic; do
    cp "$(find "$kernel_dir/lib/modules" -name "$m.ko" | grep .)" "$initrd/root/modules/" || die "no module $m"
    echo "$m" >>"$initrd/root/modules/order"
done
install -m 755 "$here/guest-init.sh" "$initrd/root/init"
rm -rf "$out" && mkdir -p "$out"
cat >"$initrd/root/vm.conf" <<CONF
SW_VM_OUT='$out' SW_VM_NATIVE='$native' SW_VM_WINDOWS='$windows' SW_VM_UDEVADM='$udevadm'
SW_VM_SCENARIOS='$here/guest-scenarios.sh'
CONF
(cd "$initrd/root" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$initrd/initrd.gz"

# The guest's own waits are bounded; the whole guest is killed at SW_VM_TIMEOUT seconds all the same. QEMU stays in
# this script's process group (timeout --foreground), so a cancel that signals the group ends it too; a signal to
# this script alone ends it through the trap.
accel=tcg
[ "${SW_VM_KVM:-0}" = 1 ] && accel=kvm
limit=${SW_VM_TIMEOUT:-900}
end_guest() { [ ! -s "$out/qemu.pid" ] || kill "$(cat "$out/qemu.pid")" 2>/dev/null || true; }
trap 'end_guest; rm -rf "$initrd"' EXIT
trap 'echo "run-guest: cancelled"; exit 130' INT TERM
started=$(date +%s%N)
{
    timeout --foreground --kill-after=10 "$limit" qemu-system-x86_64 -accel "$accel" -m 2048 -smp 2 -nodefaults \
        -display none -serial stdio -no-reboot -pidfile "$out/qemu.pid" -kernel "$kernel_dir"/boot/vmlinuz-* \
        -initrd "$initrd/initrd.gz" -append "console=ttyS0 quiet panic=-1" \
        -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
        -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
        -fsdev local,id=results,path="$out",security_model=none -device virtio-9p-pci,fsdev=results,mount_tag=results |
        while IFS= read -r line; do
            printf '[%6.1f] %s\n' "$((($(date +%s%N) - started) / 10000000))e-2" "${line%$'\r'}"
        done | tee "$out/console.log" || echo "run-guest: the guest did not end within $limit s: killed"
} &
wait $!
rm -f "$out/qemu.pid"
[ -f "$out/done" ] || die "the guest ended before its last scenario (see $out/console.log)"
first=$(grep -m1 '\] scenario ' "$out/console.log" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
echo "run-guest: first scenario output ${first} s after QEMU started;" \
    "guest done after $((($(date +%s%N) - started) / 1000000)) ms"
