#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Completes a few command lines with the bash completion of tavrin-cli; a stub stands for the
# program so that `list` shows one removable drive.
# No -e: completion functions end with failing tests as a matter of course.
source "$1"
cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
touch top.bit raw.BIN old.rbf notes.txt card.img job.tvs
tavrin-cli() { [ "$1" = list ] && printf '3\tDisk3\t/dev/sdc\t1.9 GiB\n'; }
failed=0
expect() {
    local line=$1 want=$2
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _tavrin_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    if [ "$got" != "$want" ]; then
        echo "'$line': got '$got', want '$want'" >&2
        failed=1
    fi
}
expect "tavrin-cli ver" "verify"
expect "tavrin-cli program " "old.rbf raw.BIN top.bit"
expect "tavrin-cli info --b" "--bank"
expect "tavrin-cli erase --disk " "/dev/sdc 3 card.img"
expect "tavrin-cli program -b " "1 2 3 4"
expect "tavrin-cli program --settings " "job.tvs"
expect "tavrin-cli program -- -" ""
exit $failed
