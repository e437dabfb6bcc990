#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Makes the .deb from the test build, installs it with apt-get as a user would, runs the
# installed programs and manual, validates the installed desktop file and metadata, then
# removes the package and checks that none of its files stayed behind. Needs root (or sudo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get -y -q -o DPkg::Lock::Timeout=300 "$@"; }
fail() { echo "package check: $*" >&2; exit 1; }

# The test build is reused: only the install step runs again, under /usr.
[ -f "$build/CPackConfig.cmake" ] || "$root/scripts/build.sh"
cmake --build "$build" -j"$(nproc)" >/dev/null
rm -f "$build"/tavrin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/tavrin_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single tavrin_*.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "package check: $(basename "$deb")"

dpkg -s tavrin >/dev/null 2>&1 && fail "tavrin is installed already; remove it first"
apt_get install "$deb" >/dev/null
trap 'apt_get purge tavrin >/dev/null 2>&1 || true' EXIT
mapfile -t owned < <(dpkg -L tavrin)

[ "$(/usr/bin/tavrin-cli --version)" = "tavrin-cli $version" ] || fail "tavrin-cli --version is not $version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/tavrin --version)" = "tavrin $version" ] ||
  fail "tavrin --version is not $version"
/usr/bin/tavrin-cli list >/dev/null || fail "tavrin-cli list failed"
if grep -rqs '^path-exclude[= ]*/usr/share/man' /etc/dpkg/dpkg.cfg.d/; then
  # Slim images tell dpkg to leave manual pages out; read the one in the package instead.
  unpacked=$(mktemp -d)
  dpkg-deb -x "$deb" "$unpacked"
  warnings=$(MANPAGER=cat man --warnings -l "$unpacked/usr/share/man/man1/tavrin-cli.1.gz" 2>&1 >/dev/null)
  rm -rf "$unpacked"
else
  warnings=$(MANPAGER=cat man --warnings tavrin-cli 2>&1 >/dev/null) || fail "man tavrin-cli failed"
fi
[ -z "$warnings" ] || fail "man tavrin-cli: $warnings"
desktop-file-validate /usr/share/applications/org.tavrin.Tavrin.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.tavrin.Tavrin.metainfo.xml >/dev/null
for f in /usr/share/bash-completion/completions/tavrin-cli /usr/share/icons/hicolor/scalable/apps/org.tavrin.Tavrin.svg \
         /usr/share/doc/tavrin/copyright; do
  [ -f "$f" ] || fail "$f is not installed"
done

apt_get purge tavrin >/dev/null
trap - EXIT
dpkg -s tavrin >/dev/null 2>&1 && fail "tavrin is still installed"
left=0
for path in "${owned[@]}"; do
  # Folders others share (/usr/bin, /usr/share/man/man1) stay; the package's own files go.
  if [ ! -d "$path" ] && [ -e "$path" ]; then echo "left behind: $path" >&2; left=1; fi
done
[ -e /usr/share/doc/tavrin ] && { echo "left behind: /usr/share/doc/tavrin" >&2; left=1; }
[ "$left" -eq 0 ] || fail "files stayed after removal"
echo "package check: installed, ran, validated and removed cleanly"
