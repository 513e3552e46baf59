#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The check window as a person gets it: installs the build into a scratch prefix, as the package
# or `cmake --install` does, and runs the INSTALLED BrevanCheck on a private X display with its
# own session and accessibility buses (run_desktop_e2e.sh), driven by check_window_e2e.py. The
# prefix goes on exit, whatever happens.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <build-dir>" >&2
    exit 2
fi
build_dir=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
command -v nec2c >/dev/null || {
    echo "FAIL: nec2c is not installed (package nec2c); the window's full-wave check runs it" >&2
    exit 1
}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/brevan-check-prefix.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
if ! cmake --install "$build_dir" --prefix "$prefix" >"$prefix.log" 2>&1; then
    echo "FAIL: cmake --install $build_dir did not finish:" >&2
    cat "$prefix.log" >&2
    rm -f "$prefix.log"
    exit 1
fi
rm -f "$prefix.log"
installed=$prefix/bin/BrevanCheck
[ -x "$installed" ] || {
    echo "FAIL: the install has no bin/BrevanCheck" >&2
    exit 1
}
# The installed command beside it: the window's figures must be what it prints.
export BREVAN_CHECK_COMMAND=$prefix/bin/brevan-check
bash "$here/run_desktop_e2e.sh" "$installed" "$here/check_window_e2e.py"
