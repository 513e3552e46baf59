#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fetches Debian's source package of nec2c with apt's own source download, checks it against the
# sums pinned in the repository and unpacks it with dpkg-source, Debian's patches applied:
#   fetch-nec2c-source.sh WORK_DIR PINNED_SUMS
# leaves the unpacked tree in WORK_DIR/nec2c and touches WORK_DIR/nec2c.stamp when all went well.
#
# apt runs with a configuration of its own under WORK_DIR/apt (sources list, lists, cache, state),
# so the machine's apt configuration is read for the archive's address only and never changed.
# The archive is the one the machine already uses for bookworm (NEC2C_ARCHIVE overrides it).
# With NEC2C_OFFLINE=1 nothing is downloaded: the files already in WORK_DIR/download, fetched
# before, are checked and unpacked as if just downloaded (a build without a network, and the test
# that a file whose sum differs from its pin is refused).
# Exit status: 0 unpacked; 1 the download, the sums or the unpacking failed; 2 usage.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 WORK_DIR PINNED_SUMS" >&2
    exit 2
fi
work=$(mkdir -p "$1" && cd "$1" && pwd)
sums=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
suite=bookworm
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

fail() {
    echo "fetch-nec2c-source: $*" >&2
    exit 1
}

for tool in apt-get dpkg-source sha256sum; do
    command -v "$tool" >/dev/null || fail "$tool is missing (packages apt, dpkg-dev, coreutils)"
done
[ -r "$keyring" ] || fail "$keyring is missing (package debian-archive-keyring)"

# The version wanted is the one whose sums are pinned: the .dsc named in the sums file.
dsc=$(awk '!/^#/ && $2 ~ /^nec2c_.*\.dsc$/ { print $2 }' "$sums")
[ -n "$dsc" ] || fail "no nec2c .dsc is pinned in $sums"
version=${dsc#nec2c_}
version=${version%.dsc}

# The machine's archive for the suite, from one-line lists and deb822 .sources files alike:
# the first URI that serves "bookworm" itself (not -security or -updates).
machine_archive() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -r "$file" ] || continue
        awk -v suite="$suite" '
            $1 == "deb" || $1 == "deb-src" {
                i = 2
                if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -r "$file" ] || continue
        awk -v suite="$suite" '
            function flush() {
                if (enabled && uris != "" && (" " suites " ") ~ (" " suite " ")) {
                    split(uris, u, " "); print u[1]; exit
                }
                uris = ""; suites = ""; enabled = 1
            }
            BEGIN { enabled = 1 }
            /^[ \t]*$/ { flush(); next }
            /^#/ { next }
            tolower($1) == "uris:" { $1 = ""; uris = $0 }
            tolower($1) == "suites:" { $1 = ""; suites = $0 }
            tolower($1) == "enabled:" && tolower($2) == "no" { enabled = 0 }
            END { flush() }' "$file"
    done
}
archive=${NEC2C_ARCHIVE:-$(machine_archive | head -n 1)}
[ -n "$archive" ] || fail "the machine's apt sources name no archive for $suite; set NEC2C_ARCHIVE"

fetch() {
    # apt's private tree: sources, configuration parts, lists, cache and an empty dpkg status.
    apt_dir=$work/apt
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir"/etc/{apt.conf.d,preferences.d,sources.list.d,trusted.gpg.d} \
        "$apt_dir"/state/lists/partial "$apt_dir"/cache/archives/partial "$work/download"
    : >"$apt_dir/state/status"
    echo "deb-src [signed-by=$keyring] $archive $suite main" >"$apt_dir/etc/sources.list"
    # Root would hand the download to the user _apt, who may not reach this folder; the files are
    # checked against pinned sums anyway.
    cat >"$apt_dir/apt.conf" <<EOF
Dir::Etc "$apt_dir/etc";
Dir::State "$apt_dir/state";
Dir::State::status "$apt_dir/state/status";
Dir::Cache "$apt_dir/cache";
Acquire::Languages "none";
APT::Sandbox::User "root";
EOF
    export APT_CONFIG=$apt_dir/apt.conf

    echo "fetch-nec2c-source: nec2c $version from $archive $suite" >&2
    apt-get -q update >&2 || fail "apt-get update from $archive failed"
    rm -f "$work"/download/nec2c_*
    (cd "$work/download" && apt-get -q source --download-only "nec2c=$version" >&2) ||
        fail "apt-get source could not download nec2c $version from $archive $suite"
}

if [ "${NEC2C_OFFLINE:-0}" = 1 ]; then
    echo "fetch-nec2c-source: nec2c $version, the files already in $work/download" >&2
else
    fetch
fi

# Every pinned file must be there with its pinned sum; nothing else is unpacked.
(cd "$work/download" && grep -v '^#' "$sums" | sha256sum --check --strict --quiet -) ||
    fail "the downloaded files do not match the sums pinned in $sums"

# apt has checked the files against the archive's signed index, and the pinned sums cover all
# three; dpkg-source's own check of the uploader's signature would need the uploader's key
# (package debian-keyring) and could only warn without it.
rm -rf "$work/nec2c" "$work/nec2c.stamp"
dpkg-source --no-check -x "$work/download/$dsc" "$work/nec2c" >&2 ||
    fail "dpkg-source could not unpack $dsc"
touch "$work/nec2c.stamp"
