#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the web page (the core compiled to WebAssembly with Debian's Emscripten) and serves it
# on this machine only, printing the address. With --build-only it stops after the build and
# leaves a self-contained folder to put on any static web host.
#
#   bash scripts/web.sh [--build-only] [--build-dir DIR] [--port N]
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Emscripten with acorn for its optimiser; dpkg-dev and the archive's keyring fetch and unpack
# Debian's source package of nec2c, which is compiled for the browser too.
WEB_PACKAGES=(emscripten node-acorn dpkg-dev debian-archive-keyring cmake ninja-build
              nlohmann-json3-dev python3)
WEB_BUILD_DIR=$ROOT/build-web
BUILD_ONLY=0
PORT=8000
while [ $# -gt 0 ]; do
    case $1 in
    --build-only) BUILD_ONLY=1 ;;
    --build-dir) WEB_BUILD_DIR=$2; shift ;;
    --port) PORT=$2; shift ;;
    *) echo "usage: bash scripts/web.sh [--build-only] [--build-dir DIR] [--port N]" >&2; exit 2 ;;
    esac
    shift
done

ensure_packages "${WEB_PACKAGES[@]}"
# Debian's emcc runs its JavaScript tools with acorn from Debian's node-acorn; a node that is not
# Debian's does not look where that package puts its modules.
# grep reads the whole list: stopping at the first match would end dpkg with SIGPIPE, which
# pipefail turns into this script's failure.
acorn=$(dpkg -L node-acorn | grep '/acorn/package.json$')
acorn=${acorn%%$'\n'*}
export NODE_PATH=${acorn%/acorn/package.json}${NODE_PATH:+:$NODE_PATH}

# The engine's own tests (against the native nec2c) are configured only where the test command
# asks for them.
# ccache serves emcc as it serves the native compilers: a clean clone on a machine that has
# built the page before compiles none of it again (the links to WebAssembly still run).
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
emcmake cmake -S "$ROOT/web" -B "$WEB_BUILD_DIR" -G Ninja "${launcher[@]}" \
    -DBUILD_TESTING="${BREVAN_WEB_TESTS:-OFF}" >/dev/null
cmake --build "$WEB_BUILD_DIR"
DIST=$WEB_BUILD_DIR/dist
echo "The page is in $DIST"
if [ "$BUILD_ONLY" -eq 1 ]; then
    exit 0
fi
echo "Serving it at http://127.0.0.1:$PORT/ (this machine only; Ctrl+C stops)"
exec python3 -m http.server --bind 127.0.0.1 --directory "$DIST" "$PORT"
