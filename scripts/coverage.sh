#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Line and branch coverage of the core (card/, disk/, ops/, settings/) from the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-coverage}
"$root/scripts/setup.sh" gcovr
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_COVERAGE=ON -DTAVRIN_WITH_GUI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
find "$build" -name '*.gcda' -delete
# A failing test still leaves a report, but it is said so.
ctest --test-dir "$build" -j"$(nproc)" >/dev/null || echo "coverage: some tests failed" >&2
mkdir -p "$build/coverage"
gcovr -r "$root" "$build" --filter "$root/card/" --filter "$root/disk/" --filter "$root/ops/" --filter "$root/settings/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --html-details "$build/coverage/index.html" --txt "$build/coverage/summary.txt" --print-summary
echo "report: $build/coverage/index.html"
