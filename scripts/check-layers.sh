#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# Holds every #include "folder/..." in a layer's folder to the folders its library links, as
# the build lists them ("folder: uses..." per line): an include against the layers fails.
# usage: check-layers.sh SOURCE_ROOT LAYERS_FILE
set -u
root=$1
layers=$2
status=0
while IFS=: read -r folder uses; do
    [ -n "$folder" ] || continue
    [ -d "$root/$folder" ] || { echo "layer folder missing: $folder" >&2; status=1; continue; }
    allowed=" $folder $uses "
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$rest")
        if [[ $allowed != *" $target "* ]]; then
            echo "${file#"$root"/}:$line: $folder may not include $target (it uses:${uses:- nothing})" >&2
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$root/$folder" \
                 --include='*.h' --include='*.cpp' --include='*.inc')
done <"$layers"
exit $status
