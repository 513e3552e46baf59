#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs the whole suite headless.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TEST_PACKAGES=(libgtest-dev libbenchmark-dev desktop-file-utils appstream file)
ensure_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

export QT_QPA_PLATFORM=offscreen
configure_and_build "$BUILD_DIR" -DBUILD_TESTING=ON
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2
