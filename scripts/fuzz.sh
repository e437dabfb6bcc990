#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for a bounded time from its committed seed corpus in fuzz/corpus/<target>/.
#   scripts/fuzz.sh [TARGET ...]        all targets when none is named
#   FUZZ_SECONDS=60                     time per target
#   FUZZ_BUILD_DIR=build-fuzz           build folder; new corpus entries and findings go there
# Crashes, leaks and timeouts are copied to $FUZZ_BUILD_DIR/findings/<target>/; the exit
# status is 1 when any target found something.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}

"$root/scripts/setup.sh" clang libclang-rt-14-dev

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIN_FUZZ=ON -DTAVRIN_WITH_GUI=OFF -DTAVRIN_WITH_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrin_fuzzers

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for dir in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

# The settings target writes its scratch files here; tmpfs keeps that fast.
scratch=$(mktemp -d "${FUZZ_SCRATCH:-/dev/shm}/tavrin-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

found=0
summary=()
for t in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$t"
  [ -x "$binary" ] || { echo "no fuzz target named $t" >&2; exit 2; }
  work="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$work" "$findings"
  echo "== $t: ${seconds}s"
  set +e
  TMPDIR=$scratch "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$root/fuzz/corpus/$t" 2>"$build/$t.log"
  rc=$?
  set -e
  grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$t.log" | tail -n 2 || true
  artifacts=$(find "$findings" -type f | wc -l)
  if [ $rc -ne 0 ] || [ "$artifacts" -gt 0 ]; then
    found=1
    summary+=("$t: FOUND (exit $rc), see $build/$t.log and $findings/")
  else
    summary+=("$t: clean")
  fi
done
printf '%s\n' "${summary[@]}"
exit $found
