#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Program, Verify and full Erase with tavrin-cli (Release build) on image files in tmpfs,
# side by side with dd and cmp over the same bytes. Prints one table; the ratio is the figure.
#   BENCH_SIZES="1 16 64"   bank sizes in MiB
#   BENCH_RUNS=5            runs per measurement (median); more for small banks, where a run
#                           takes a few milliseconds and the machine's noise is relatively larger
#   BENCH_DIR=/dev/shm      where the images go (must be tmpfs)
#   BENCH_BUILD_DIR=build-release
#   BENCH_PEAK_MIB=1024     bank size of the one Program and Verify whose peak memory is checked
# Encodings: parallel, four and eight lanes of .rbf files, and four lanes of bit-reversed .bin.
# Exit status 1 when a target is missed: Program <= 1.4 x dd, Verify <= 1.4 x cmp,
# Erase <= 1.2 x dd, peak RSS below 16 MiB and no more for a large bank.
# scripts/bench-card.sh measures the same against dd on a modelled card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-release}
sizes=(${BENCH_SIZES:-1 16 64})
runs=${BENCH_RUNS:-5}
base=${BENCH_DIR:-/dev/shm}

"$root/scripts/setup.sh" time
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVRIN_WITH_GUI=OFF -DTAVRIN_WITH_TESTS=OFF \
  -DTAVRIN_STATIC_CXX_RUNTIME=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrin-cli >/dev/null
cli="$build/cli/tavrin-cli"

[ "$(stat -f -c %T "$base")" = tmpfs ] || { echo "$base is not a tmpfs; set BENCH_DIR" >&2; exit 2; }
work=$(mktemp -d "$base/tavrin-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Wall time of one command in microseconds.
elapsed_us() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 3; }
  local end=$EPOCHREALTIME
  echo $(( (${end/./} - ${start/./}) ))
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Times "tavrin" and "reference" commands alternately so that a busy machine hurts both alike;
# sets T_OURS and T_REF (medians in microseconds).
measure() {
  local -n ours_cmd=$1 ref_cmd=$2
  local ours=() refs=() n=$((runs * (mib < 16 ? 8 : 1)))
  for ((r = 0; r < n; r++)); do
    ours+=("$(elapsed_us "${ours_cmd[@]}")")
    refs+=("$(elapsed_us "${ref_cmd[@]}")")
  done
  T_OURS=$(median "${ours[@]}")
  T_REF=$(median "${refs[@]}")
}

peak_rss_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

missed=0
rows=()
row() {  # operation size encoding ours ref refname limit rss
  local ratio verdict
  ratio=$(awk -v a="$4" -v b="$5" 'BEGIN {printf "%.2f", a / b}')
  verdict=ok
  awk -v r="$ratio" -v l="$7" 'BEGIN {exit !(r > l)}' && { verdict=MISSED; missed=1; }
  rows+=("$(printf '%-8s %7s %-13s %10.1f ms %6s %9.1f ms %6s  <=%-4s %-6s %8s' \
    "$1" "$2" "$3" "$(awk -v t="$4" 'BEGIN {print t / 1000}')" "$6" \
    "$(awk -v t="$5" 'BEGIN {print t / 1000}')" "$ratio" "$7" "$verdict" "$8")")
}

make_file() { head -c "$2" /dev/urandom >"$1"; }
# A .bin whose sync word says its bits come reversed: the tool reverses every data byte.
make_bin_file() { { printf '\xff\xff\xff\xff\xaa\x99\x55\x66'; head -c "$(($2 - 8))" /dev/urandom; } >"$1"; }

declare -A rss_by_size
for mib in "${sizes[@]}"; do
  bytes=$((mib * 1024 * 1024))
  for encoding in parallel four-lane eight-lane four-lane-bin; do
    dir="$work/$mib-$encoding"
    mkdir -p "$dir"
    case $encoding in
      parallel) lanes=1; mode=(--parallel) ;;
      four-lane) lanes=4; mode=() ;;
      eight-lane) lanes=8; mode=() ;;
      four-lane-bin) lanes=4; mode=() ;;
    esac
    files=()
    for ((n = 1; n <= lanes; n++)); do
      if [ "$encoding" = four-lane-bin ]; then
        make_bin_file "$dir/f$n.bin" $((bytes / lanes))
        files+=("$dir/f$n.bin")
      else
        make_file "$dir/f$n.rbf" $((bytes / lanes))
        files+=("$dir/f$n.rbf")
      fi
    done
    # Data area (whole chunks, one more when the image fills the last) plus the layout around it.
    chunks=$((bytes / 16384 + 1))
    card="$dir/card.img"
    truncate -s $(((128 + chunks * 32 + 100) * 512 + 1048576)) "$card"
    program=("$cli" program --disk "$card" --bank 1 --init --yes --no-verify "${mode[@]}" "${files[@]}")
    verify=("$cli" verify --disk "$card" --bank 1 "${mode[@]}" "${files[@]}")
    "${program[@]}" >/dev/null 2>&1 || { echo "tavrin-cli program failed on $card" >&2; exit 3; }
    # The same bytes as dd and cmp see them: the data area as programmed.
    dd if="$card" of="$dir/area.bin" bs=16k skip=4 count=$chunks status=none
    ddcard="$dir/dd.img"
    truncate -s "$(stat -c %s "$card")" "$ddcard"
    dd_write=(dd if="$dir/area.bin" of="$ddcard" bs=16k seek=4 conv=notrunc,fsync status=none)
    cmp_read=(cmp -i 65536:0 -n $((chunks * 16384)) "$card" "$dir/area.bin")

    measure program dd_write
    rss=$(peak_rss_kib "${program[@]}")
    row program "$mib MiB" "$encoding" "$T_OURS" "$T_REF" "dd" 1.4 "${rss} KiB"
    rss_by_size[$mib]="${rss_by_size[$mib]:-} $rss"
    measure verify cmp_read
    rss=$(peak_rss_kib "${verify[@]}")
    row verify "$mib MiB" "$encoding" "$T_OURS" "$T_REF" "cmp" 1.4 "${rss} KiB"
    rss_by_size[$mib]="${rss_by_size[$mib]} $rss"
    rm -f "$dir"/*
  done

  # Full Erase of a card of this size against dd of as many 512 KiB zero chunks.
  card="$work/erase.img"
  truncate -s "$bytes" "$card"
  truncate -s "$bytes" "$work/dd.img"
  erase=("$cli" erase --disk "$card" --full --init --yes)
  dd_zero=(dd if=/dev/zero of="$work/dd.img" bs=512k count=$((bytes / 524288)) conv=notrunc,fsync status=none)
  measure erase dd_zero
  rss=$(peak_rss_kib "${erase[@]}")
  row erase "$mib MiB" full "$T_OURS" "$T_REF" "dd" 1.2 "${rss} KiB"
  rss_by_size[$mib]="${rss_by_size[$mib]} $rss"
  rm -f "$card" "$work/dd.img"
done

# Peak memory of Program and Verify of one large bank in eight lanes.
peak=${BENCH_PEAK_MIB:-1024}
dir="$work/peak"
mkdir -p "$dir"
files=()
for ((n = 1; n <= 8; n++)); do
  make_file "$dir/f$n.rbf" $((peak * 131072))
  files+=("$dir/f$n.rbf")
done
truncate -s $(((peak * 2048 + 1024) * 512)) "$dir/card.img"
peak_program=$(peak_rss_kib "$cli" program --disk "$dir/card.img" --bank 1 --init --yes --no-verify "${files[@]}")
peak_verify=$(peak_rss_kib "$cli" verify --disk "$dir/card.img" --bank 1 "${files[@]}")
rm -rf "$dir"

echo "tavrin-cli vs dd bs=16k conv=fsync (Program), cmp (Verify), dd bs=512k conv=fsync of zeros (Erase)"
echo "image files in $base ($(stat -f -c %T "$base")), median of $runs runs ($((runs * 8)) below 16 MiB), $(nproc) CPUs"
printf '%-8s %7s %-13s %13s %6s %12s %6s  %-6s %-6s %8s\n' operation size encoding tavrin-cli vs reference ratio target result "peak RSS"
printf '%s\n' "${rows[@]}"

# Peak memory must stay below 16 MiB, and a large bank must not take more than the largest
# size above (small banks need smaller buffers, so they may take less).
peaks=()
for mib in "${sizes[@]}"; do peaks+=("$(printf '%s\n' ${rss_by_size[$mib]} | sort -n | tail -n 1)"); done
last=${peaks[-1]}
high=$(printf '%s\n' "${peaks[@]}" "$peak_program" "$peak_verify" | sort -n | tail -n 1)
echo "peak RSS by size: ${peaks[*]} KiB; at $peak MiB: Program $peak_program KiB, Verify $peak_verify KiB"
if [ "$high" -ge 16384 ] || [ "$peak_program" -gt $((last + 1024)) ] || [ "$peak_verify" -gt $((last + 1024)) ]; then
  echo "peak RSS target MISSED (below 16 MiB; at $peak MiB within 1 MiB of ${sizes[-1]} MiB)"
  missed=1
fi
exit $missed
