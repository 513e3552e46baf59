#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# fetch-nec2c-source.sh unpacks nothing whose sum is not the one pinned in the repository:
#   pinned_sums_test.sh FETCH_SCRIPT PINNED_SUMS DOWNLOADED_DIR
# Runs on the files the build already downloaded (NEC2C_OFFLINE=1, so no network is needed),
# each case in a scratch copy; skipped (77) when the build has not downloaded them.
set -euo pipefail

script=$1
pinned=$2
downloaded=$3
files=$(awk '!/^#/ && NF == 2 { print $2 }' "$pinned")
for file in $files; do
    if [ ! -r "$downloaded/$file" ]; then
        echo "skipped: $downloaded/$file has not been downloaded by a build"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One case: a scratch work folder holding the downloaded files, then `change` run in it (with the
# copied pins at pins.sha256); the script must end with `want` (0 or 1).
run_case() {
    local name=$1 want=$2 change=$3
    local work=$scratch/$name
    mkdir -p "$work/download"
    cp "$downloaded"/nec2c_* "$work/download/"
    cp "$pinned" "$work/pins.sha256"
    (cd "$work" && eval "$change")
    local status=0
    NEC2C_OFFLINE=1 bash "$script" "$work" "$work/pins.sha256" 2>"$work/stderr" || status=$?
    if [ "$status" -ne "$want" ]; then
        echo "FAIL $name: exit status $status, not $want"; cat "$work/stderr"; return 1
    fi
    if [ "$want" -eq 0 ]; then
        [ -f "$work/nec2c.stamp" ] && [ -r "$work/nec2c/main.c" ] ||
            { echo "FAIL $name: nothing unpacked"; return 1; }
    else
        grep -q "do not match the sums pinned" "$work/stderr" ||
            { echo "FAIL $name: refused for another reason"; cat "$work/stderr"; return 1; }
        [ ! -e "$work/nec2c.stamp" ] && [ ! -e "$work/nec2c" ] ||
            { echo "FAIL $name: unpacked all the same"; return 1; }
    fi
    echo "ok $name"
}

# A pinned sum with its first digit changed, for the line of the named file.
wrong_pin() {
    echo "awk -v f=$1 '\$2 == f { \$1 = (substr(\$1, 1, 1) == \"0\" ? \"1\" : \"0\") substr(\$1, 2); \
\$0 = \$1 \"  \" \$2 } 1' pins.sha256 > pins.new && mv pins.new pins.sha256"
}

failed=0
# name | exit status wanted | what is changed before the script runs
run_case as_pinned 0 ":" || failed=1
for file in $files; do
    run_case "wrong_pin_${file//[^a-z0-9]/_}" 1 "$(wrong_pin "$file")" || failed=1
done
run_case changed_debian_tarball 1 "printf x >> download/$(echo "$files" | grep debian)" || failed=1
run_case missing_orig_tarball 1 "rm download/$(echo "$files" | grep orig)" || failed=1
exit "$failed"
