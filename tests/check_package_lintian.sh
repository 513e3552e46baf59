#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build as it is and runs lintian, Debian's check of a
# package, on it: the changelog and copyright file, the manual page of every program, the
# description's lines. An error or a warning fails; lintian's notes about how the binaries were
# compiled are left to scripts/package.sh, which builds the real package with Debian's flags.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <build-dir>" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
[ -f "$build_dir/CPackConfig.cmake" ] || {
    echo "$build_dir/CPackConfig.cmake is missing: configure the build first" >&2
    exit 1
}
command -v lintian >/dev/null || {
    echo "missing lintian (install lintian)" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A folder of its own, so the build folder gets no package and no staging tree from a test.
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "cpack could not make the package" >&2
    exit 1
}
debs=("$work"/*.deb)
[ -f "${debs[0]}" ] || {
    echo "cpack made no .deb" >&2
    exit 1
}
# lintian warns when run as root, as in a container; that line is not about the package.
lintian --fail-on error,warning "${debs[0]}" 2> >(grep -v 'root privileges' >&2)
echo "lintian accepts $(basename -- "${debs[0]}")"
