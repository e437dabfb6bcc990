#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Program, Verify and full Erase with tavrin-cli (Release build) on a modelled card, side by side
# with dd over the same bytes: `dd bs=4M oflag=direct conv=fsync` for writing and
# `dd iflag=direct bs=4M | cmp` for reading. The card is a loop device with direct I/O over an
# image file on disk, behind a preloaded library (scripts/slow-card.c) that makes every read,
# write and flush of it cost a fixed time plus its bytes at a set bandwidth, as a reader does.
# Prints one table; the ratio is the figure. Needs root and loop devices.
#   BENCH_SIZES="1 16 64"          bank sizes in MiB
#   BENCH_RUNS=5                   alternating runs per measurement (median)
#   BENCH_CARD_DIR=/var/tmp        where the image files go (a disk, not tmpfs)
#   SLOW_CARD_COMMAND_US=1000      cost of one command
#   SLOW_CARD_BYTES_PER_S=20e6     bandwidth
#   BENCH_BUILD_DIR=build-release
# Exit status 1 when a target is missed: Program and Verify <= 1.1 x dd, Erase <= 1.2 x dd.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-release}
sizes=(${BENCH_SIZES:-1 16 64})
runs=${BENCH_RUNS:-5}
base=${BENCH_CARD_DIR:-/var/tmp}
export SLOW_CARD_COMMAND_US=${SLOW_CARD_COMMAND_US:-1000} SLOW_CARD_BYTES_PER_S=${SLOW_CARD_BYTES_PER_S:-20e6}

[ "$(id -u)" = 0 ] && [ -w /dev/loop-control ] || { echo "needs root and loop devices" >&2; exit 2; }
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVRIN_WITH_GUI=OFF -DTAVRIN_WITH_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrin-cli >/dev/null
cli="$build/cli/tavrin-cli"
slow="$build/slow-card.so"
cc -O2 -shared -fPIC -o "$slow" "$root/scripts/slow-card.c" -ldl

work=$(mktemp -d "$base/tavrin-card-bench.XXXXXX")
loop=
cleanup() {
  [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The loop device shows to the tool as a removable disk "sdz" through its own sysfs and /dev
# roots, so that nothing of the machine's own disks is in reach.
attach() {  # image
  loop=$(losetup --direct-io=on --show -f "$1")
  local rdev
  rdev=$(stat -L -c '%t:%T' "$loop")
  rdev="$((16#${rdev%:*})):$((16#${rdev#*:}))"
  rm -rf "$work/sys" "$work/dev"
  mkdir -p "$work/sys/block/sdz" "$work/sys/dev/block" "$work/dev"
  echo 1 >"$work/sys/block/sdz/removable"
  echo $(($(stat -c %s "$1") / 512)) >"$work/sys/block/sdz/size"
  ln -s ../../block/sdz "$work/sys/dev/block/$rdev"
  ln -s "$loop" "$work/dev/sdz"
  export TAVRIN_SYSFS_ROOT="$work/sys" TAVRIN_DEV_ROOT="$work/dev" SLOW_CARD_DEVICE="$loop"
}
detach() { losetup -d "$loop"; loop=; }

# Wall time of one command (a shell snippet) in microseconds, with the card slowed.
elapsed_us() {
  local start=$EPOCHREALTIME
  LD_PRELOAD="$slow" bash -c "$1" >/dev/null 2>&1 || { echo "failed: $1" >&2; exit 3; }
  local end=$EPOCHREALTIME
  echo $(( (${end/./} - ${start/./}) ))
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Alternates the tool's command and the reference so that a busy machine hurts both alike.
measure() {  # ours reference
  local ours=() refs=()
  for ((r = 0; r < runs; r++)); do
    ours+=("$(elapsed_us "$1")")
    refs+=("$(elapsed_us "$2")")
  done
  T_OURS=$(median "${ours[@]}")
  T_REF=$(median "${refs[@]}")
}

missed=0
rows=()
row() {  # operation size encoding ours ref limit
  local ratio verdict=ok
  ratio=$(awk -v a="$4" -v b="$5" 'BEGIN {printf "%.2f", a / b}')
  awk -v r="$ratio" -v l="$6" 'BEGIN {exit !(r > l)}' && { verdict=MISSED; missed=1; }
  rows+=("$(printf '%-8s %7s %-10s %10.1f ms %10.1f ms %6s  <=%-4s %s' "$1" "$2" "$3" \
    "$(awk -v t="$4" 'BEGIN {print t / 1000}')" "$(awk -v t="$5" 'BEGIN {print t / 1000}')" "$ratio" "$6" "$verdict")")
}

for mib in "${sizes[@]}"; do
  bytes=$((mib * 1024 * 1024))
  for encoding in parallel four-lane eight-lane; do
    dir="$work/$mib-$encoding"
    mkdir -p "$dir"
    case $encoding in
      parallel) lanes=1; mode=(--parallel) ;;
      four-lane) lanes=4; mode=() ;;
      eight-lane) lanes=8; mode=() ;;
    esac
    files=()
    for ((n = 1; n <= lanes; n++)); do
      head -c $((bytes / lanes)) /dev/urandom >"$dir/f$n.rbf"
      files+=("$dir/f$n.rbf")
    done
    chunks=$((bytes / 16384 + 1))
    area=$((chunks * 16384))
    truncate -s $(((128 + chunks * 32 + 100) * 512 + 1048576)) "$dir/card.img"
    attach "$dir/card.img"
    program="$cli program --disk $work/dev/sdz --bank 1 --init --yes --no-verify ${mode[*]} ${files[*]}"
    verify="$cli verify --disk $work/dev/sdz --bank 1 ${mode[*]} ${files[*]}"
    LD_PRELOAD= bash -c "$program" >/dev/null 2>&1 || { echo "tavrin-cli program failed" >&2; exit 3; }
    dd if="$loop" of="$dir/area.bin" bs=16k skip=4 count=$chunks status=none
    dd_write="dd if=$dir/area.bin of=$loop bs=4M oflag=direct,seek_bytes seek=65536 conv=fsync,notrunc status=none"
    dd_read="dd if=$loop bs=4M iflag=direct,skip_bytes,count_bytes skip=65536 count=$area status=none | cmp - $dir/area.bin"
    measure "$program" "$dd_write"
    row program "$mib MiB" "$encoding" "$T_OURS" "$T_REF" 1.1
    measure "$verify" "$dd_read"
    row verify "$mib MiB" "$encoding" "$T_OURS" "$T_REF" 1.1
    detach
    rm -rf "$dir"
  done

  # Full Erase of a card of this size against dd of as many zeros.
  truncate -s "$bytes" "$work/erase.img"
  attach "$work/erase.img"
  erase="$cli erase --disk $work/dev/sdz --full --init --yes"
  dd_zero="dd if=/dev/zero of=$loop bs=4M iflag=count_bytes count=$bytes oflag=direct conv=fsync status=none"
  measure "$erase" "$dd_zero"
  row erase "$mib MiB" full "$T_OURS" "$T_REF" 1.2
  detach
  rm -f "$work/erase.img"
done

echo "tavrin-cli vs dd bs=4M oflag=direct conv=fsync (Program, Erase), dd iflag=direct bs=4M | cmp (Verify)"
echo "card model: loop device with direct I/O on $(stat -f -c %T "$base"), ${SLOW_CARD_COMMAND_US} us per command," \
  "$(awk -v b="$SLOW_CARD_BYTES_PER_S" 'BEGIN {printf "%.0f", b / 1e6}') MB/s; median of $runs alternating runs"
printf '%-8s %7s %-10s %13s %13s %6s  %-6s %s\n' operation size encoding tavrin-cli dd ratio target result
printf '%s\n' "${rows[@]}"
exit $missed
