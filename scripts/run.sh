#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${RUN_PACKAGES[@]}"
configure_and_build "$BUILD_DIR" -DBUILD_TESTING=OFF -DBREVAN_BUILD_BENCHMARKS=OFF
exec "$BUILD_DIR/app/Brevan1-2"
