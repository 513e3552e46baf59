#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Pictures of the window's three pages (step 1, step 2, summary of the worked example) at scale
# factors 1 and 2, drawn offscreen, for the README and for checking the layout by eye.
#   bash scripts/render_pages.sh [output-folder]     (default: docs/pages)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUT=${1:-$ROOT/docs/pages}

ensure_packages "${RUN_PACKAGES[@]}"
# A build folder that is already configured keeps its options; a new one gets the program's.
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DBUILD_TESTING=OFF -DBREVAN_BUILD_BENCHMARKS=OFF \
        >/dev/null
fi
cmake --build "$BUILD_DIR" --target brevan_render_pages

mkdir -p "$OUT"
for scale in 1 2; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale "$BUILD_DIR/app/brevan_render_pages" "$OUT"
done
