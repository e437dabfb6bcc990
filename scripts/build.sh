#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Configures and builds into build/ (or $BUILD_DIR) with any extra CMake arguments.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
