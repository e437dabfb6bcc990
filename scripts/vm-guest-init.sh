#!/bin/busybox sh
# SPDX-License-Identifier: Apache-2.0
# The init of scripts/vm-test.sh's guest: loads the storage drivers, then runs tavrin-cli on the
# SD card (/dev/mmcblk0), the USB stick (/dev/sda) and the system disk (/dev/vda, at /home).
# Each scenario ends in "SCENARIO name PASS" or "SCENARIO name FAIL" on the console.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc && mount -t sysfs sys /sys && mount -t devtmpfs dev /dev
for m in $(ls /modules | sort -n); do insmod "/modules/$m" || echo "insmod $m failed"; done
cd /files

wait_for() {
  for _ in $(seq 100); do [ -b "$1" ] && return 0; sleep 0.2; done
  echo "VM-ERROR $1 did not appear"; ls /sys/block; return 1
}
wait_for /dev/mmcblk0p1 && wait_for /dev/sda && wait_for /dev/vda
mkdosfs /dev/vda >/dev/null && mount -t vfat /dev/vda /home

# Runs tavrin-cli with a time limit; its output lands in /tmp/out, its status in $status.
cli() {
  timeout 120 tavrin-cli "$@" >/tmp/out 2>&1
  status=$?
  sed 's/^/    /' /tmp/out
}
expect() {
  desc=$1
  shift
  "$@" || { echo "  FAILED: $desc"; ok=0; }
}
absent() { ! grep -q "$1" "$2"; }
scenario() {
  ok=1
  echo "--- $1"
  "$1"
  if [ $ok = 1 ]; then echo "SCENARIO $1 PASS"; else echo "SCENARIO $1 FAIL"; fi
}
now() { cut -d' ' -f1 /proc/uptime; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

list_removable_only() {
  cli list
  cp /tmp/out /tmp/list
  expect "exit 0" [ $status = 0 ]
  expect "the SD card is listed" grep -q "	/dev/mmcblk0	" /tmp/list
  expect "the USB stick is listed" grep -q "	/dev/sda	" /tmp/list
  expect "the system disk is not listed" absent /dev/vda /tmp/list
}

system_disk_refused() {
  before=$(dd if=/dev/vda bs=1M count=8 2>/dev/null | md5sum)
  cli program --init --yes --disk /dev/vda p.rbf
  expect "by path: exit 1" [ $status = 1 ]
  expect "by path: a reason" [ -s /tmp/out ]
  for n in 0 1 2 3; do
    cut -f1 /tmp/list | grep -qx $n && continue
    cli program --init --yes --disk $n p.rbf
    expect "by number $n: exit 1" [ $status = 1 ]
    expect "by number $n: a reason" [ -s /tmp/out ]
  done
  sync
  expect "the system disk is unchanged" [ "$(dd if=/dev/vda bs=1M count=8 2>/dev/null | md5sum)" = "$before" ]
}

program_mounted_card() {
  mount -t vfat /dev/mmcblk0p1 /media/card
  expect "the card's partition is mounted" grep -q "^/dev/mmcblk0p1 " /proc/mounts
  init=--init
  while read -r bank flags files; do
    cli program $init --yes --bank "$bank" $flags --disk /dev/mmcblk0 $files
    expect "bank $bank: exit 0" [ $status = 0 ]
    expect "bank $bank: completed" grep -q "Program configuration completed." /tmp/out
    init=""
  done <banks
  expect "the card's partition was unmounted" absent mmcblk0p1 /proc/mounts
}

verify_and_info() {
  while read -r bank flags files; do
    cli verify --bank "$bank" $flags --disk /dev/mmcblk0 $files
    expect "bank $bank: verified" grep -q "Verify completed." /tmp/out
    expect "bank $bank: exit 0" [ $status = 0 ]
  done <banks
  cli info --bank 2 --tsv --disk /dev/mmcblk0 a.rbf b.rbf c.rbf
  expect "info: exit 0" [ $status = 0 ]
  expect "info shows the card's files and times" grep -q "^card	2	b.rbf	70001	2024/05/06	07:08:10" /tmp/out
}

# Pulled by the host (QMP device_del) once Program has written a few megabytes.
stick_pulled_during_program() {
  timeout 120 tavrin-cli program --init --yes --parallel --disk /dev/sda big.rbf >/tmp/pulled 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    [ "$(awk '{ print $7 }' /sys/block/sda/stat)" -gt 8192 ] && break
    sleep 0.1
  done
  echo "VM-PULL-STICK"
  wait $pid
  status=$?
  sed 's/^/    /' /tmp/pulled
  expect "exit 1" [ $status = 1 ]
  expect "a write error with its address" grep -q "Write sector error at Addr \[[0-9A-F]\{8\}\]" /tmp/pulled
  expect "never completed" absent completed /tmp/pulled
}

# Figures for the speed work: Program and Verify against dd on the throttled stick.
speed() {
  mib=$(($(stat -c %s big.rbf) / 1048576))
  t=$(now)
  cli program --init --yes --parallel --disk /dev/sda big.rbf
  program=$(seconds_since "$t")
  [ $status = 0 ] || echo "SPEED-ERROR Program failed"
  echo 3 >/proc/sys/vm/drop_caches
  t=$(now)
  cli verify --parallel --disk /dev/sda big.rbf
  verify=$(seconds_since "$t")
  [ $status = 0 ] || echo "SPEED-ERROR Verify failed"
  t=$(now)
  dd if=big.rbf of=/dev/sda bs=16k seek=128 conv=fsync 2>/dev/null
  dd_write=$(seconds_since "$t")
  echo 3 >/proc/sys/vm/drop_caches
  t=$(now)
  dd if=/dev/sda of=/dev/null bs=512k count=$((mib * 2)) 2>/dev/null
  dd_read=$(seconds_since "$t")
  echo "SPEED ${mib} MiB: program ${program} s, dd bs=16k conv=fsync ${dd_write} s;" \
    "verify ${verify} s, dd bs=512k read ${dd_read} s"
  commands
}

# SCSI commands the stick received for each operation on a small bank: every open of a
# removable disk costs some (the kernel asks whether the medium changed), besides the transfers.
sent() { printf '%d' "$(cat /sys/block/sda/device/iorequest_cnt)"; }
commands() {
  line="COMMANDS 300 kB bank:"
  for op in "program --init --yes --no-verify" "program --yes --no-verify" verify info; do
    before=$(sent)
    cli $op --parallel --disk /dev/sda p.rbf
    [ $status = 0 ] || echo "SPEED-ERROR $op failed"
    line="$line ${op%% *} $(($(sent) - before)),"
  done
  before=$(sent)
  dd if=p.rbf of=/dev/sda bs=512k seek=1 conv=fsync 2>/dev/null
  echo "$line dd $(($(sent) - before))"
}

if grep -q "tavrin.mode=speed" /proc/cmdline; then
  speed
else
  scenario list_removable_only
  scenario system_disk_refused
  scenario program_mounted_card
  scenario verify_and_info
  scenario stick_pulled_during_program
fi
sync
poweroff -f
