#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the check window with the typical design and its full-wave check done: the
# antennas, the SWR plot and the dipole drawing, at scale factors 1 and 2, and on a dark palette
# at scale 1. Drawn offscreen (nec2c runs for real), for the README and for checking the layout
# by eye.
#   bash scripts/render_check_window.sh [output-folder]     (default: docs/check-window)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUT=${1:-$ROOT/docs/check-window}

ensure_packages "${RUN_PACKAGES[@]}"
# A build folder that is already configured keeps its options; a new one gets the program's.
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DBUILD_TESTING=OFF -DBREVAN_BUILD_BENCHMARKS=OFF \
        >/dev/null
fi
cmake --build "$BUILD_DIR" --target brevan_render_check_window

mkdir -p "$OUT"
render() {
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$BUILD_DIR/checkapp/brevan_render_check_window" \
        "$OUT" "$@"
}
for scale in 1 2; do
    QT_SCALE_FACTOR=$scale render
done
QT_SCALE_FACTOR=1 render --dark
