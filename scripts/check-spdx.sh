#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Fails, naming the files, when a source file of the repository lacks its licence line near
# the top. Data the programs read (card images, settings samples, fuzz seeds), pictures and
# prose (the Debian copyright file allows no comments) are not source and are left out.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z)
else
  mapfile -d '' files < <(find . -path './build*' -prune -o -path ./.git -prune -o -type f -printf '%P\0')
fi
missing=0
checked=0
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  case "$f" in
    *.md | LICENSE | packaging/copyright | .gitignore | */.gitignore | .gitattributes | */.gitattributes) continue ;;
    fuzz/corpus/* | tests/data/*) continue ;;
  esac
  # Binary files (pictures and the like) carry no comment.
  [ -s "$f" ] && grep -Iq . "$f" || continue
  checked=$((checked + 1))
  if ! head -n 5 "$f" | grep -q 'SPDX-License-Identifier: Apache-2.0'; then
    echo "no SPDX-License-Identifier line at the top: $f" >&2
    missing=$((missing + 1))
  fi
done
if [ "$checked" -eq 0 ]; then
  echo "no source files found under $root" >&2
  exit 1
fi
[ "$missing" -eq 0 ]
