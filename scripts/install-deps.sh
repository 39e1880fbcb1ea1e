#!/usr/bin/env bash
# Installs everything the builds, the tests and the demo need on a fresh Debian 12 machine (as root, or with sudo).
# The real-HID-stack tests also fetch Debian's kernel and udev packages with `apt-get download` into build/vm-cache
# (tests/vm/run-guest.sh): they are unpacked there, never installed.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev libgtest-dev
    g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 xvfb xdotool imagemagick fonts-vlgothic
    zip unzip
    libcli11-dev nlohmann-json3-dev
    qemu-system-x86 busybox-static strace
    chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
