#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs a test program on a display of its own (Xvfb) under the openbox window manager, and
# stops both when the program ends. When either cannot run, the program runs offscreen with
# the reason in TAVRIN_X11_SKIP and skips its tests.
set -u
program=$1
shift
args=("$@")
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT

run_skipped() {
  QT_QPA_PLATFORM=offscreen TAVRIN_X11_SKIP="$1" "$program" "${args[@]}"
  exit $?
}

# Waits up to $2 seconds for the file $1 to appear.
wait_for() {
  local tries=$(($2 * 10))
  while [ "$tries" -gt 0 ]; do
    [ -e "$1" ] && [ "$(wc -c <"$1")" -gt 0 -o "${3:-}" = any ] && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || run_skipped "$tool is not installed"
done

Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
wait_for "$scratch/display" 15 || run_skipped "Xvfb did not start: $(tail -n 1 "$scratch/xvfb.log")"
export DISPLAY=":$(head -n 1 "$scratch/display")"

# The title font the tests measure against; everything else is openbox's default.
cat >"$scratch/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme>
    <name>Clearlooks</name>
    <titleLayout>NLIMC</titleLayout>
    <font place="ActiveWindow"><name>DejaVu Sans</name><size>10</size><weight>Bold</weight></font>
    <font place="InactiveWindow"><name>DejaVu Sans</name><size>10</size><weight>Bold</weight></font>
  </theme>
</openbox_config>
XML
HOME="$scratch" XDG_CONFIG_HOME="$scratch" XDG_CACHE_HOME="$scratch" \
  openbox --config-file "$scratch/rc.xml" --startup "touch $scratch/wm-ready" 2>"$scratch/openbox.log" &
pids+=($!)
wait_for "$scratch/wm-ready" 15 any || run_skipped "openbox did not start: $(tail -n 1 "$scratch/openbox.log")"

QT_QPA_PLATFORM=xcb timeout 240 "$program" "${args[@]}"
