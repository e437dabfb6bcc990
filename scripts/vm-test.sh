#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs tavrin-cli on a real kernel's SD, USB and virtio storage: boots Debian's kernel under
# QEMU (TCG) with an SD card, a removable USB stick and a system disk at /home, and checks
# what the guest reports on its serial console and the card's bytes afterwards.
#
#   scripts/vm-test.sh          the scenarios (pass/fail)
#   scripts/vm-test.sh speed    Program and Verify timed against dd on a throttled stick;
#                               TAVRIN_VM_MIB (16), TAVRIN_VM_BPS (10 MiB/s) and
#                               TAVRIN_VM_IOPS (1000) set the size and the stick's limits.
#
# TAVRIN_CLI picks the binary (default: build/cli/tavrin-cli, built when missing),
# TAVRIN_VM_CACHE where the kernel is kept (default ~/.cache/tavrin-vm), TAVRIN_VM_TIMEOUT
# the seconds QEMU may run (300).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-scenarios}
if [ "${TAVRIN_VM_FROM_CTEST:-}" = 1 ] && [ "${TAVRIN_VM:-}" != 1 ]; then
  echo "skipped: boots a VM for minutes; TAVRIN_VM=1 runs it (scripts/test.sh does)"
  exit 77
fi

"$root/scripts/setup.sh" qemu-system-x86 busybox-static cpio kmod xz-utils
cli=${TAVRIN_CLI:-}
if [ -z "$cli" ]; then
  build=${BUILD_DIR:-$root/build}
  cmake -S "$root" -B "$build" >/dev/null
  cmake --build "$build" -j"$(nproc)" --target tavrin-cli >/dev/null
  cli=$build/cli/tavrin-cli
fi
cache=${TAVRIN_VM_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tavrin-vm}
work=$(mktemp -d)
qemu_pid=""
trap '[ -z "$qemu_pid" ] || kill "$qemu_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "vm-test: $*" >&2
  [ ! -f "$work/serial.log" ] || { echo "----- guest serial log -----"; cat "$work/serial.log"; } >&2
  exit 1
}

# Debian's kernel, unpacked once into the cache and never installed.
download() {
  apt-get download "$1" >/dev/null 2>&1 || { apt-get update -q >/dev/null && apt-get download "$1" >/dev/null; }
}
fetch_kernel() {
  local dir=$cache/kernel
  if [ ! -f "$dir/ready" ]; then
    rm -rf "$dir" && mkdir -p "$dir/debs"
    (cd "$dir/debs" && download linux-image-amd64 &&
      download "$(dpkg-deb -f linux-image-amd64_*.deb Depends | sed 's/[ ,|].*//')")
    dpkg-deb -x "$(ls "$dir"/debs/linux-image-[0-9]*.deb)" "$dir/root"
    depmod -b "$dir/root" "$(ls "$dir/root/lib/modules")"
    rm -rf "$dir/debs" && touch "$dir/ready"
  fi
  kernel=$(ls "$dir"/root/boot/vmlinuz-*)
  moddir=$(ls -d "$dir"/root/lib/modules/*)
}

# A module's dependencies from modules.dep, deepest first, then the module itself.
module_paths() {
  local line
  line=$(grep -E "/$(echo "$1" | sed 's/[-_]/[-_]/g')\.ko(\.xz)?:" "$moddir/modules.dep") ||
    fail "module $1 is not in modules.dep"
  echo "${line#*:}" | tr ' ' '\n' | sed '/^$/d' | tac
  echo "${line%%:*}"
}

make_files() {
  local f=$work/initrd/files
  mkdir -p "$f"
  head -c 300000 /dev/urandom >"$f/p.rbf"
  for n in a:100000 b:70001 c:5000; do head -c "${n#*:}" /dev/urandom >"$f/${n%%:*}.rbf"; done
  for n in 1 2 3 4 5; do head -c $((n * 20011)) /dev/urandom >"$f/e$n.rbf"; done
  head -c $((${TAVRIN_VM_MIB:-16} * 1048576)) /dev/urandom >"$f/big.rbf"
  # The same bank, options and files for the guest and the reference image; one line a bank.
  printf '%s\n' "1 --parallel p.rbf" "2 --serial a.rbf b.rbf c.rbf" \
    "3 --serial e1.rbf e2.rbf e3.rbf e4.rbf e5.rbf" >"$f/banks"
  # Fixed times, so that the file records in both cards are alike.
  touch -d '2024-05-06 07:08:10 UTC' "$f"/*
}

make_initrd() {
  local d=$work/initrd m i=0
  mkdir -p "$d"/{bin,dev,proc,sys,tmp,home,media/card,modules}
  cp /bin/busybox "$d/bin/" && cp "$root/scripts/vm-guest-init.sh" "$d/init" && cp "$cli" "$d/bin/tavrin-cli"
  for m in $(ldd "$cli" | grep -o '/[^ ]*'); do cp -L --parents "$m" "$d"; done
  for m in $(for name in sdhci-pci mmc_block xhci-pci usb-storage sd_mod vfat nls_cp437 nls_ascii \
    virtio_pci virtio_blk; do module_paths "$name"; done | awk '!seen[$0]++'); do
    i=$((i + 1))
    case $m in
      *.xz) xz -dc "$moddir/$m" >"$d/modules/$i.ko" ;;
      *) cp "$moddir/$m" "$d/modules/$i.ko" ;;
    esac
  done
  make_files
  (cd "$d" && find . | cpio -o -H newc --quiet) >"$work/initrd.cpio"
}

# The SD card: an MBR with one FAT partition well behind the banks.
make_disks() {
  truncate -s 64M "$work/sd.img"
  echo 'start=16384, type=c' | sfdisk -q "$work/sd.img"
  mkfs.vfat -n CARD --offset 16384 "$work/sd.img" $(((64 * 1024 - 8192))) >/dev/null
  cp "$work/sd.img" "$work/sd-before.img"
  truncate -s $((${TAVRIN_VM_MIB:-16} * 2 + 32))M "$work/stick.img"
  truncate -s 64M "$work/system.img"
}

boot() {
  local bps=$1 iops=$2
  mkfifo "$work/qmp.in" "$work/qmp.out"
  timeout "${TAVRIN_VM_TIMEOUT:-300}" qemu-system-x86_64 -accel tcg -m 768M -nodefaults -display none -no-reboot \
    -kernel "$kernel" -initrd "$work/initrd.cpio" \
    -append "console=ttyS0 panic=-1 loglevel=4 tavrin.mode=$mode" \
    -serial "file:$work/serial.log" \
    -chardev "pipe,id=qmp,path=$work/qmp" -mon chardev=qmp,mode=control \
    -drive "if=none,id=sd,format=raw,file=$work/sd.img" -device sdhci-pci -device sd-card,drive=sd \
    -drive "if=none,id=stickdisk,format=raw,file=$work/stick.img,throttling.bps-total=$bps,throttling.iops-total=$iops" \
    -device qemu-xhci -device usb-storage,id=stick,drive=stickdisk,removable=on \
    -drive "if=virtio,format=raw,file=$work/system.img" &
  qemu_pid=$!
  # The guest asks for the stick to be pulled once Program is writing to it.
  local pulled=0
  while kill -0 "$qemu_pid" 2>/dev/null; do
    if [ $pulled = 0 ] && grep -q '^VM-PULL-STICK' "$work/serial.log" 2>/dev/null; then
      printf '%s\n' '{"execute":"qmp_capabilities"}' '{"execute":"device_del","arguments":{"id":"stick"}}' \
        1<>"$work/qmp.in"
      pulled=1
    fi
    sleep 0.2
  done
  wait "$qemu_pid" || fail "QEMU failed or timed out (status $?)"
  qemu_pid=""
}

# The card as the image path writes it, from the same files and commands as the guest.
reference_card() {
  cp "$work/sd-before.img" "$work/reference.img"
  local bank flags files init=--init
  while read -r bank flags files; do
    # shellcheck disable=SC2086
    (cd "$work/initrd/files" && TZ=UTC "$cli" program $init --yes --bank "$bank" $flags \
      --disk "$work/reference.img" $files >/dev/null 2>&1) || fail "the reference card could not be written"
    init=""
  done <"$work/initrd/files/banks"
}

check_scenarios() {
  local name
  for name in list_removable_only system_disk_refused program_mounted_card verify_and_info \
    stick_pulled_during_program; do
    grep -q "^SCENARIO $name PASS" "$work/serial.log" || fail "scenario $name did not pass"
  done
  reference_card
  cmp "$work/sd.img" "$work/reference.img" || fail "the card written by the kernel differs from the image"
  cmp -s <(dd if="$work/sd.img" bs=512 skip=16384 count=1 2>/dev/null) <(head -c 512 /dev/zero) ||
    fail "the FAT partition's first sector was not cleared"
}

fetch_kernel
make_initrd
make_disks
start=$SECONDS
if [ "$mode" = speed ]; then
  boot "${TAVRIN_VM_BPS:-10485760}" "${TAVRIN_VM_IOPS:-1000}"
  grep -E '^(SPEED|COMMANDS)' "$work/serial.log" || fail "the guest printed no figures"
else
  boot 2097152 0
  check_scenarios
  grep "^SCENARIO" "$work/serial.log"
  echo "vm-test: every scenario passed ($((SECONDS - start)) s in the VM)"
fi
