#!/bin/bash
# Boots a QEMU guest with Debian's own kernel and runs the real-HID-stack scenarios in it: the guest mounts the
# host's root read-only over 9p and runs this build's binaries and the host's Wine against the simulated box,
# which it makes through /dev/uhid. Each scenario leaves <out>/<name>.log and <out>/<name>.status (its failed
# check count); scenario-result.sh turns them into CTest results.
#
#   run-guest.sh <out-dir> <native build> <windows build>
#
# The kernel package is fetched with `apt-get download` and unpacked into $SW_VM_CACHE (default build/vm-cache);
# nothing is installed on the host. TCG by default: SW_VM_KVM=1 tries KVM, which hangs on nested machines.
set -euo pipefail

out=${1:?usage: run-guest.sh <out-dir> <native build> <windows build>}
native=$(cd "${2:?}" && pwd)
windows=$(cd "${3:?}" && pwd)
for f in "$native/cli/stampwright-cli" "$native/sim/zel-ot40-sim" "$windows/cli/stampwright-cli.exe"; do
    [ -x "$f" ] || [ -f "$f" ] || { echo "run-guest: missing build output $f" >&2; exit 1; }
done
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
cache=${SW_VM_CACHE:-$source_dir/build/vm-cache}
guest_limit=${SW_VM_TIMEOUT:-420}
exec </dev/null

die() {
    echo "run-guest: $*" >&2
    exit 1
}

# unpacked <package>: the folder holding the package's files, fetched and unpacked once per version.
unpacked() {
    local package=$1
    if [ ! -d "$cache/$package" ]; then
        echo "run-guest: fetching $package" >&2
        rm -rf "$cache/download" && mkdir -p "$cache/download"
        (cd "$cache/download" && apt-get download -q "$package" 2>&1 | grep -v "unsandboxed as root") >&2 ||
            die "apt-get download $package failed"
        dpkg-deb -x "$cache"/download/*.deb "$cache/$package.part" && mv "$cache/$package.part" "$cache/$package"
        rm -rf "$cache/download"
    fi
    echo "$cache/$package"
}
# The newest version of a package that Debian offers; the newest cached one when apt knows none.
newest() {
    local found
    found=$(apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ { print $2 }')
    if [ -n "$found" ] && [ "$found" != "(none)" ]; then echo "$1=$found"; else echo "$1"; fi
}

# --- the kernel: Debian's current image package; udevadm, to try the udev rule ---
mkdir -p "$cache"
package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
[ -n "$package" ] || package=$(cd "$cache" && ls -d linux-image-[0-9]* 2>/dev/null | sort -V | tail -1)
[ -n "$package" ] || die "no kernel package: run apt-get update (or scripts/install-deps.sh) first"
kernel_dir=$(unpacked "$package")
kernel=$(ls "$kernel_dir"/boot/vmlinuz-*)
modules=$(ls -d "$kernel_dir"/lib/modules/*)
udev_dir=$(unpacked "$(newest udev)")

# --- the initramfs: busybox, the modules for 9p, overlay and uhid, and the guest's /init ---
initrd=$(mktemp -d)
trap 'rm -rf "$initrd"' EXIT
mkdir -p "$initrd/root/bin" "$initrd/root/modules"
cp /bin/busybox "$initrd/root/bin/busybox"
file /bin/busybox | grep -q 'statically linked' || die "/bin/busybox is not static (install busybox-static)"
# In load order: no modules.dep ships in the package, and busybox's insmod loads no dependencies.
for m in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci 9pnet 9pnet_virtio netfs \
    fscache 9p overlay hid uhid hid-generic; do
    ko=$(find "$modules" -name "$m.ko" -o -name "$m.ko.xz" | head -1)
    [ -n "$ko" ] || die "module $m not found in $package"
    case "$ko" in *.xz) xz -dc "$ko" >"$initrd/root/modules/$m.ko" ;; *) cp "$ko" "$initrd/root/modules/" ;; esac
    echo "$m" >>"$initrd/root/modules/order"
done
cp "$here/guest-init.sh" "$initrd/root/init"
chmod +x "$initrd/root/init"
rm -rf "$out" && mkdir -p "$out"
cat >"$initrd/root/vm.conf" <<CONF
SW_VM_OUT='$out'
SW_VM_SCENARIOS='$here/guest-scenarios.sh'
SW_VM_NATIVE='$native'
SW_VM_WINDOWS='$windows'
SW_VM_SOURCE='$source_dir'
SW_VM_UDEVADM='$udev_dir/bin/udevadm'
CONF
(cd "$initrd/root" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$initrd/initrd.gz"

# --- the guest: every wait inside it is bounded, and the whole run is cut off at $guest_limit seconds ---
accel=tcg
[ "${SW_VM_KVM:-0}" = 1 ] && accel=kvm
started=$(date +%s%N)
status=0
timeout --kill-after=10 "$guest_limit" qemu-system-x86_64 -accel "$accel" -m 2048 -smp 2 -nodefaults \
    -display none -serial stdio -no-reboot \
    -kernel "$kernel" -initrd "$initrd/initrd.gz" -append "console=ttyS0 quiet panic=-1" \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev local,id=results,path="$out",security_model=none \
    -device virtio-9p-pci,fsdev=results,mount_tag=results |
    while IFS= read -r line; do
        # The serial console carries CRs; each line gets the seconds since QEMU started.
        printf '[%6.1f] %s\n' "$(awk -v t="$(date +%s%N)" -v s="$started" 'BEGIN { print (t - s) / 1e9 }')" \
            "${line%$'\r'}"
    done | tee "$out/console.log" || status=$?
[ "$status" = 0 ] || echo "run-guest: the guest did not end within ${guest_limit} s (status $status): killed"
[ -f "$out/done" ] || die "the guest ended before its last scenario (see $out/console.log)"
first=$(grep -m1 '\] scenario ' "$out/console.log" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
echo "run-guest: first scenario output ${first} s after QEMU started"
echo "run-guest: guest done in $((($(date +%s%N) - started) / 1000000)) ms"
