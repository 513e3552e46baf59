#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time and peak memory of the program against a bare Qt Widgets window with the same
# application set-up, both built in the given build folder (targets Brevan1-2, bare_window and
# first_frame_probe). Builds nothing itself. When the build has the check window BrevanCheck,
# it runs in the same rounds and its first frame is compared with Brevan1-2's.
#
#   bash bench/startup_memory.sh <build-dir> [runs]
#
# Both programs run on a private Xvfb display, alternating (ABBA order, so neither always runs
# first on a warm cache). first_frame_probe times each from process start until the X server
# sees the window mapped and its first drawing, closes it as a window manager would, and reads
# the peak resident memory of the finished process.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 <build-dir> [runs]" >&2
    exit 2
fi
BUILD=$(cd "$1" && pwd)
RUNS=${2:-15}
PROGRAM=$BUILD/app/Brevan1-2
BARE=$BUILD/bench/bare_window
PROBE=$BUILD/bench/first_frame_probe
CHECK_WINDOW=$BUILD/checkapp/BrevanCheck
[ -x "$CHECK_WINDOW" ] || CHECK_WINDOW=
for binary in "$PROGRAM" "$BARE" "$PROBE"; do
    if [ ! -x "$binary" ]; then
        echo "missing $binary: build the targets Brevan1-2 bare_window first_frame_probe" >&2
        exit 2
    fi
done
command -v Xvfb >/dev/null || {
    echo "Xvfb is not installed (package xvfb)" >&2
    exit 2
}

WORK=$(mktemp -d)
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# A display of its own, numbered by the server, so a desktop or another run is never disturbed.
exec 3>"$WORK/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.05
done
[ -s "$WORK/display" ] || {
    echo "Xvfb did not start" >&2
    exit 2
}

# The same environment for both programs: the X11 platform at scale 1, no style or theme
# override from the caller's desktop.
export DISPLAY=":$(head -n1 "$WORK/display")"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_STYLE_OVERRIDE \
    QT_QPA_PLATFORMTHEME
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Settings in the scratch folder: a window size left by a person must not change the figures,
# and the runs must not change the person's settings.
export XDG_CONFIG_HOME=$WORK/config

measure() { # name binary
    if ! "$PROBE" "$2" >>"$WORK/$1" 2>>"$WORK/probe.log"; then
        cat "$WORK/probe.log" >&2
        exit 1
    fi
}

# Fonts, shared libraries and the style's caches warm for both before anything counts.
for _ in 1 2; do
    measure warmup "$PROGRAM"
    measure warmup "$BARE"
    [ -n "$CHECK_WINDOW" ] && measure warmup "$CHECK_WINDOW"
done
for i in $(seq "$RUNS"); do
    if [ $((i % 2)) -eq 1 ]; then
        measure program "$PROGRAM"
        measure bare "$BARE"
        [ -n "$CHECK_WINDOW" ] && measure check "$CHECK_WINDOW"
    else
        [ -n "$CHECK_WINDOW" ] && measure check "$CHECK_WINDOW"
        measure bare "$BARE"
        measure program "$PROGRAM"
    fi
done

# column N of a results file -> "median min max"
stats() {
    cut -d' ' -f"$2" "$WORK/$1" | sort -g | awk '
        { v[NR] = $1 }
        END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%s %s %s\n", m, v[1], v[NR]
        }'
}
# Per-pair ratio of first-frame times, run i of the program against run i of the bare window:
# less sensitive to load that drifts during the run than the ratio of the two medians.
paired_ratio() { # numerator-file denominator-file
    paste -d' ' "$WORK/$1" "$WORK/$2" | awk '{ print $2 / $(NF / 2 + 2) }' | sort -g | awk '
        { v[NR] = $1 }
        END { printf "%.3f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

read -r pMap pMapMin pMapMax < <(stats program 1)
read -r bMap bMapMin bMapMax < <(stats bare 1)
read -r pFrame pFrameMin pFrameMax < <(stats program 2)
read -r bFrame bFrameMin bFrameMax < <(stats bare 2)
read -r pRss pRssMin pRssMax < <(stats program 3)
read -r bRss bRssMin bRssMax < <(stats bare 3)
read -r pCpu pCpuMin pCpuMax < <(stats program 4)
read -r bCpu bCpuMin bCpuMax < <(stats bare 4)
pairRatio=$(paired_ratio program bare)

awk -v runs="$RUNS" \
    -v pMap="$pMap" -v pMapMin="$pMapMin" -v pMapMax="$pMapMax" \
    -v bMap="$bMap" -v bMapMin="$bMapMin" -v bMapMax="$bMapMax" \
    -v pFrame="$pFrame" -v pFrameMin="$pFrameMin" -v pFrameMax="$pFrameMax" \
    -v bFrame="$bFrame" -v bFrameMin="$bFrameMin" -v bFrameMax="$bFrameMax" \
    -v pRss="$pRss" -v pRssMin="$pRssMin" -v pRssMax="$pRssMax" \
    -v bRss="$bRss" -v bRssMin="$bRssMin" -v bRssMax="$bRssMax" \
    -v pCpu="$pCpu" -v pCpuMin="$pCpuMin" -v pCpuMax="$pCpuMax" \
    -v bCpu="$bCpu" -v bCpuMin="$bCpuMin" -v bCpuMax="$bCpuMax" \
    -v pairRatio="$pairRatio" 'BEGIN {
    printf "%d runs each, alternating; median [min - max]\n", runs
    printf "%-26s %28s %28s\n", "", "Brevan1-2", "bare_window"
    printf "%-26s %10.1f [%6.1f - %6.1f] %10.1f [%6.1f - %6.1f]\n", "window mapped (ms)",
           pMap, pMapMin, pMapMax, bMap, bMapMin, bMapMax
    printf "%-26s %10.1f [%6.1f - %6.1f] %10.1f [%6.1f - %6.1f]\n", "first frame (ms)",
           pFrame, pFrameMin, pFrameMax, bFrame, bFrameMin, bFrameMax
    printf "%-26s %10.1f [%6.1f - %6.1f] %10.1f [%6.1f - %6.1f]\n", "CPU, whole run (ms)",
           pCpu, pCpuMin, pCpuMax, bCpu, bCpuMin, bCpuMax
    printf "%-26s %10.1f [%6.1f - %6.1f] %10.1f [%6.1f - %6.1f]\n", "peak RSS (MiB)",
           pRss / 1024, pRssMin / 1024, pRssMax / 1024, bRss / 1024, bRssMin / 1024,
           bRssMax / 1024
    ratio = pFrame / bFrame
    extra = (pRss - bRss) / 1024
    printf "start-up ratio program/bare: %.3f (median of per-pair ratios %.3f); target <= 1.15: %s\n",
           ratio, pairRatio, ratio <= 1.15 ? "met" : "MISSED"
    printf "CPU ratio program/bare: %.3f (less disturbed by other load than the wall-clock times)\n",
           pCpu / bCpu
    printf "peak RSS difference: %+.2f MiB; target <= +4 MiB: %s\n", extra,
           extra <= 4 ? "met" : "MISSED"
}'

[ -n "$CHECK_WINDOW" ] || exit 0
# The check window against Brevan1-2, run for run in the same rounds.
read -r cMap cMapMin cMapMax < <(stats check 1)
read -r cFrame cFrameMin cFrameMax < <(stats check 2)
read -r cRss cRssMin cRssMax < <(stats check 3)
read -r cCpu cCpuMin cCpuMax < <(stats check 4)
checkRatio=$(paired_ratio check program)
awk -v cMap="$cMap" -v cMapMin="$cMapMin" -v cMapMax="$cMapMax" \
    -v cFrame="$cFrame" -v cFrameMin="$cFrameMin" -v cFrameMax="$cFrameMax" \
    -v cRss="$cRss" -v cRssMin="$cRssMin" -v cRssMax="$cRssMax" \
    -v cCpu="$cCpu" -v cCpuMin="$cCpuMin" -v cCpuMax="$cCpuMax" \
    -v pFrame="$pFrame" -v pCpu="$pCpu" -v checkRatio="$checkRatio" 'BEGIN {
    printf "%-26s %28s\n", "", "BrevanCheck"
    printf "%-26s %10.1f [%6.1f - %6.1f]\n", "window mapped (ms)", cMap, cMapMin, cMapMax
    printf "%-26s %10.1f [%6.1f - %6.1f]\n", "first frame (ms)", cFrame, cFrameMin, cFrameMax
    printf "%-26s %10.1f [%6.1f - %6.1f]\n", "CPU, whole run (ms)", cCpu, cCpuMin, cCpuMax
    printf "%-26s %10.1f [%6.1f - %6.1f]\n", "peak RSS (MiB)", cRss / 1024, cRssMin / 1024,
           cRssMax / 1024
    ratio = cFrame / pFrame
    printf "first frame BrevanCheck/Brevan1-2: %.3f (median of per-pair ratios %.3f); target <= 1.5: %s\n",
           ratio, checkRatio, ratio <= 1.5 ? "met" : "MISSED"
}'
