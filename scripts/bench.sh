#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the benchmarks need, builds them in a Release folder of their own and runs them
# all: the design core, one keystroke through the window, brevan-check with and without nec2c,
# the check window's keystroke and its full check after the last key, and start-up time and
# peak memory against a bare Qt window (and BrevanCheck's first frame against Brevan1-2's). Not part of the test suite: timings from a shared machine are
# reported, never asserted.
#   bash scripts/bench.sh          (build folder: build-bench, or BENCH_BUILD_DIR)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BENCH_BUILD_DIR=${BENCH_BUILD_DIR:-$ROOT/build-bench}

ensure_packages "${RUN_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake -S "$ROOT" -B "$BENCH_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DBREVAN_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$BENCH_BUILD_DIR" --target Brevan1-2 bare_window first_frame_probe design_bench \
    keystroke_bench check_bench BrevanCheck check_window_bench

echo "== design core"
"$BENCH_BUILD_DIR/bench/design_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
echo "== one keystroke in the real window"
"$BENCH_BUILD_DIR/bench/keystroke_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
echo "== brevan-check: one report, and the full-wave check with nec2c"
"$BENCH_BUILD_DIR/bench/check_bench"
echo "== the check window: one keystroke's live update, the full check after the last key"
"$BENCH_BUILD_DIR/bench/check_window_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true
echo "== start-up and memory"
bash "$ROOT/bench/startup_memory.sh" "$BENCH_BUILD_DIR" 21
