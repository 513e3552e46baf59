#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the tests need, builds everything and runs the whole suite headless.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# groff-base formats the manual page in the installed-tree test; xnec2c, a general NEC-2 program,
# opens the exported deck as a user's own modeller would; python3 runs the end-to-end tests and
# the check of the manual's links. The web page and the browser's NEC-2 engine are built with
# Emscripten (acorn for its optimiser, dpkg-dev and the archive keyring to fetch nec2c's source
# package) and tested in Debian's Chromium, driven through WebDriver.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev desktop-file-utils appstream file groff-base xvfb xdotool x11-utils dbus at-spi2-core python3-pyatspi clang libclang-rt-14-dev xnec2c lintian poppler-utils python3
               emscripten node-acorn dpkg-dev debian-archive-keyring chromium chromium-driver python3-selenium nlohmann-json3-dev
               ccache)
ensure_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" locales
# npm installs the browser tests' accessibility audit (axe-core, pinned by its lockfile); a machine
# whose Node.js came without it gets Debian's.
command -v npm >/dev/null || ensure_packages npm
# A decimal-comma locale, so the tests can show that numbers in reports, decks and pictures
# keep the full stop whatever the user's locale.
locale -a 2>/dev/null | grep -qx 'de_DE.utf8' || as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8

export QT_QPA_PLATFORM=offscreen
# The web page's Emscripten build (ctest's web_page_build, into the same folder) needs nothing
# from the native build. Started beside it, it uses what that build leaves idle (configuring, the
# links at the end, the download of nec2c's source), and ctest's fixture then finds it built. In
# a session of its own, so that a run that stops early stops it too; a failure shows its log.
mkdir -p "$BUILD_DIR"
WEB_BUILD_LOG=$BUILD_DIR/web-page-build.log
BREVAN_WEB_TESTS=ON setsid bash "$ROOT/scripts/web.sh" --build-only --build-dir "$BUILD_DIR/web-page" \
    >"$WEB_BUILD_LOG" 2>&1 &
WEB_BUILD_PID=$!
trap 'kill -- -"$WEB_BUILD_PID" 2>/dev/null || true' EXIT
# Release rather than the default RelWithDebInfo: the same optimised code without debug
# information, which takes a good part of the compile and link time.
configure_and_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DBREVAN_BUILD_BENCHMARKS=ON
if ! wait "$WEB_BUILD_PID"; then
    cat "$WEB_BUILD_LOG"
    echo "The web page's build failed: its log is above and in $WEB_BUILD_LOG" >&2
    exit 1
fi
trap - EXIT
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2

# --- Sanitizers and fuzzing: one clang build with ASan and UBSan (cmake/sanitizers.cmake) and
# libFuzzer's coverage feedback (cmake/fuzzing.cmake) serves both the suite's run and the
# fuzzers; only the fuzzers link libFuzzer. One build of the tree rather than two (a gcc one for
# the suite, a clang one for the fuzzers) takes a good part off the run's time.
SAN_DIR=$ROOT/build-san
# -O1: the suite's run under the sanitizers and the fuzzers' runs are much faster than at -O0 for
# a little more compile time; debug information as line tables only (-g1): the reports still
# name file and line, and the objects are a third smaller, which the links feel most.
# A build-san left by gcc, as earlier versions of this script made it, starts afresh: CMake
# cannot change the compiler of a configured build.
grep -qs '^CMAKE_CXX_COMPILER:.*clang' "$SAN_DIR/CMakeCache.txt" || rm -rf "$SAN_DIR"
CC=clang CXX=clang++ configure_and_build "$SAN_DIR" -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DBREVAN_SANITIZE=ON -DBREVAN_FUZZ=ON -DBUILD_TESTING=ON \
    -DBREVAN_BUILD_BENCHMARKS=OFF
# Left out here, having run above: the study's designs and the full check in another locale,
# whose time goes into nec2c's own runs and which drive no code the faster tests do not (the
# sanitized build compiles the other real-engine tests not at all), and the tests of the
# package, the installed tree and the desktop sessions, which check files and programs rather
# than our code's memory.
SAN_SKIP='^Designs/|^package_lintian$|^installed_tree$|end_to_end|_at_scale_|^CommandLine\.TheFullCheckIsTheSameWhateverTheLocale$'
ctest --test-dir "$SAN_DIR" --output-on-failure -j2 -E "$SAN_SKIP"

# --- Fuzzing: each libFuzzer target for a bounded time, on a scratch copy of its seed corpus ---
# A finding stops the run; the input that caused it is kept in build-san/findings/.
FUZZERS=(fuzz_number_text fuzz_design fuzz_window fuzz_check_inputs fuzz_design_file)
FUZZ_WORK=$(mktemp -d)
trap 'rm -rf "$FUZZ_WORK"' EXIT
mkdir -p "$SAN_DIR/findings"
# The fuzzers run side by side, so the run waits 30 s rather than the sum of their times.
declare -A FUZZ_PIDS
for fuzzer in "${FUZZERS[@]}"; do
    cp -r "$ROOT/fuzz/corpus/$fuzzer" "$FUZZ_WORK/$fuzzer"
    "$SAN_DIR/fuzz/$fuzzer" -max_total_time=30 -timeout=10 \
        -artifact_prefix="$SAN_DIR/findings/$fuzzer-" "$FUZZ_WORK/$fuzzer" \
        >"$SAN_DIR/$fuzzer.log" 2>&1 &
    FUZZ_PIDS[$fuzzer]=$!
done
FUZZ_FOUND=0
for fuzzer in "${FUZZERS[@]}"; do
    if ! wait "${FUZZ_PIDS[$fuzzer]}"; then
        tail -n 40 "$SAN_DIR/$fuzzer.log"
        echo "$fuzzer found a fault; its input is in $SAN_DIR/findings/"
        FUZZ_FOUND=1
        continue
    fi
    echo "$fuzzer: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$SAN_DIR/$fuzzer.log"), no finding"
done
exit "$FUZZ_FOUND"
