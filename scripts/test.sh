#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Sets up, builds and runs every test: the unit tests, then the VM tests (scripts/vm-test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)" -LE vm
TAVRIN_VM=1 ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -L vm
