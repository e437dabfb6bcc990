#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Sets up, builds and runs every test: the unit tests, then the VM tests (scripts/vm-test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The window-manager test runs under Xvfb and openbox; Japanese needs a font and Qt's own
# Japanese texts.
"$root/scripts/setup.sh" xvfb openbox fonts-ipafont-gothic qt6-translations-l10n
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -j"$(nproc)" -LE vm
TAVRIN_VM=1 ctest --test-dir "${BUILD_DIR:-$root/build}" --output-on-failure -L vm
