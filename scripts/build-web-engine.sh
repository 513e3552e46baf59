#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the browser's NEC-2 engine (nec2c compiled to WebAssembly from Debian's source package)
# in build-web/, apart from the native build: build-web/engine/nec2c.js and nec2c.wasm.
#   build-web-engine.sh [--test]
# --test also runs the engine's tests, which hold it to the native nec2c; they use the native
# build's brevan-check (build/cli/brevan-check) for decks, so build that first.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

WEB_BUILD_DIR=${WEB_BUILD_DIR:-$ROOT/build-web}
# Emscripten from Debian, acorn for its optimiser, dpkg-source to unpack nec2c's source package
# and the archive's keyring for apt's source download.
WEB_ENGINE_PACKAGES=(emscripten node-acorn dpkg-dev debian-archive-keyring)

run_tests=false
case "${1:-}" in
"") ;;
--test) run_tests=true ;;
*)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac

ensure_packages "${WEB_ENGINE_PACKAGES[@]}"
if $run_tests; then
    ensure_packages nec2c
fi
testing=OFF
$run_tests && testing=ON
emcmake cmake -S "$ROOT/web" -B "$WEB_BUILD_DIR" -G Ninja -DBUILD_TESTING=$testing \
    -DBREVAN_CHECK_EXE="$BUILD_DIR/cli/brevan-check" >/dev/null
cmake --build "$WEB_BUILD_DIR" --target nec2c_wasm
if $run_tests; then
    ctest --test-dir "$WEB_BUILD_DIR" --output-on-failure -j2 -R '^wasm_engine_'
fi
