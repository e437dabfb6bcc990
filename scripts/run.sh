#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Sets up, builds and starts the tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Qt's own Japanese texts for the standard buttons when the window speaks Japanese.
"$root/scripts/setup.sh" qt6-translations-l10n
"$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
if [ -x "$build/ui/tavrin" ]; then
  exec "$build/ui/tavrin" "$@"
fi
exec "$build/cli/tavrin-cli" "${@:-list}"
