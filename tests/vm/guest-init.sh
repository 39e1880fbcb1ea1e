#!/bin/busybox sh
# shellcheck shell=dash
# The guest's /init: loads the modules, mounts the host's root read-only with the results folder read-write in
# its place, enters it, runs the scenarios and powers off. The host kills the guest at its deadline.
/bin/busybox mkdir -p /proc /sys /dev /sbin /usr/bin /usr/sbin /host /scratch
/bin/busybox --install -s
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
. /vm.conf
while read -r m; do insmod "/modules/$m.ko" || echo "guest: insmod $m failed"; done </modules/order

nine_p="trans=virtio,version=9p2000.L,msize=262144"
mount -t 9p -o "$nine_p,ro,cache=loose" hostroot /host
# /tmp takes the guest's writes in memory but still shows the host's files (a build tree may live there).
mount -t tmpfs scratch /scratch
mkdir -p /scratch/upper /scratch/work
mount -t overlay overlay -o lowerdir=/host/tmp,upperdir=/scratch/upper,workdir=/scratch/work /host/tmp
mount -t tmpfs run /host/run
mkdir -p "/host$SW_VM_OUT" 2>/dev/null
mount -t 9p -o "$nine_p" results "/host$SW_VM_OUT"
mount -t proc proc /host/proc
mount -t sysfs sys /host/sys
mount -t devtmpfs dev /host/dev
mkdir -p /host/dev/pts /host/dev/shm
mount -t devpts devpts /host/dev/pts
mount -t tmpfs shm /host/dev/shm
echo "guest: up"
chroot /host /usr/bin/env -i PATH=/usr/bin:/bin:/usr/sbin:/sbin HOME=/tmp SW_VM_OUT="$SW_VM_OUT" \
    SW_VM_NATIVE="$SW_VM_NATIVE" SW_VM_WINDOWS="$SW_VM_WINDOWS" SW_VM_UDEVADM="$SW_VM_UDEVADM" \
    /bin/bash "$SW_VM_SCENARIOS"
echo "guest: scenarios ended with status $?"
sync
poweroff -f
