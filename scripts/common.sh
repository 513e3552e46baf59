# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # sourced: the callers use what it defines
# Shared by the set-up scripts: package installation that is quick when nothing is missing.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the named Debian packages that are not installed yet; touches apt only if needed.
ensure_packages() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        "${missing[@]}"
}

# What the programs need to build and run, fonts included: the window is laid out for
# Liberation Sans, whose widths match the classic dialog font the layout was drawn for; Qt's
# Wayland plugin lets it open on a Wayland desktop that has no X11 side; brevan-check runs the
# NEC-2 engine nec2c for its full-wave check; nlohmann-json3-dev is the header-only JSON library
# the core writes reports and design files with. jq is for the README's example that picks numbers
# out of brevan-check's JSON.
RUN_PACKAGES=(g++ cmake ninja-build qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev
              nlohmann-json3-dev fonts-liberation2 fontconfig nec2c jq)

# What scripts/bench.sh needs on top: Google Benchmark, and an X server with the Damage
# extension to see the window's first frame from outside the program.
BENCH_PACKAGES=(libbenchmark-dev xvfb libxcb1-dev libxcb-damage0-dev)

# ccache, where it is installed, serves a rebuild of a tree the machine has compiled before.
configure_and_build() {
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir"
}
