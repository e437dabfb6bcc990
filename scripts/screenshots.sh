#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Renders the main window (English and Japanese), the settings dialogs, the File Information
# dialog and the About box to PNG files in build/screenshots (or $BUILD_DIR/screenshots).
# With --docs it also copies the English main window to docs/screenshot-main.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if ! fc-list :lang=ja 2>/dev/null | grep -q .; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q fonts-ipafont-gothic
fi

cmake -S "$root" -B "$build" -DTAVRIN_WITH_GUI=ON -DTAVRIN_WITH_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrin_screenshots
QT_QPA_PLATFORM=offscreen "$build/tests/ui/tavrin_screenshots" "$build/screenshots"
if [ "${1:-}" = "--docs" ]; then
  mkdir -p "$root/docs"
  cp "$build/screenshots/main-en.png" "$root/docs/screenshot-main.png"
fi
