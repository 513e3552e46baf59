#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Opens a NEC-2 deck in Debian's xnec2c, a general NEC-2 modeller with a GTK window, on a private
# X display, and says whether xnec2c reads the deck and computes its frequency sweep without an
# error. The exported deck is meant for programs like this one, so the test runs the real thing.
#   xnec2c_opens_deck.sh DECK [SECONDS]      (time limit, default 60)
# Exit status: 0 read and computed; 1 xnec2c reported an error, did not finish in time or wrote
# no results; 2 usage; 69 xnec2c or Xvfb is missing.
#
# How an error is seen: every error xnec2c finds in a deck goes through one routine that prints
# "[err] Stop: <message>" on standard error and then opens a modal "Xnec2c Error" dialog and
# waits for a click, forever when nobody is there. Other complaints are printed as "[err]" lines.
# So the script watches xnec2c's standard error for "[err]" and the display for a window named
# "Xnec2c Error", and stops at whichever comes first. Success is xnec2c's batch mode (-b)
# running the whole sweep, writing one CSV row per frequency and exiting by itself.
set -euo pipefail

usage() {
    echo "usage: $0 DECK [SECONDS]" >&2
}
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    usage
    exit 2
fi
deck=$1
limit=${2:-60}
[[ "$limit" =~ ^[1-9][0-9]*$ ]] || {
    echo "FAIL: the time limit must be a whole number of seconds, not '$limit'" >&2
    exit 2
}
[ -r "$deck" ] || {
    echo "FAIL: cannot read the deck $deck" >&2
    exit 2
}
deck=$(cd "$(dirname "$deck")" && pwd)/$(basename "$deck")

missing=()
for need in xnec2c:xnec2c Xvfb:xvfb xwininfo:x11-utils setsid:util-linux; do
    command -v "${need%%:*}" >/dev/null || missing+=("${need#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "FAIL: missing packages: ${missing[*]} (scripts/test.sh installs them)" >&2
    exit 69
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/xnec2c-deck.XXXXXX")
xvfb=""
viewer=""
# shellcheck disable=SC2317 # runs from the exit trap
# Ends one process group: TERM, up to two seconds' grace, then KILL.
end_group() {
    local pid=$1
    kill -TERM -- "-$pid" 2>/dev/null || return 0
    for _ in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
# shellcheck disable=SC2317 # the exit trap
cleanup() {
    [ -n "$viewer" ] && end_group "$viewer"
    [ -n "$xvfb" ] && end_group "$xvfb"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# xnec2c's colours, taken out so the messages read plainly.
plain() {
    sed 's/\x1b\[[0-9;]*m//g' "$@"
}

# The X server picks a free display and writes its number on descriptor 3 once it is ready.
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    grep -q '^[0-9]' "$work/display" 2>/dev/null && break
    sleep 0.1
done
grep -q '^[0-9]' "$work/display" || {
    echo "FAIL: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
}
display=:$(head -n 1 "$work/display")

# A home of its own, so the user's xnec2c settings are neither used nor changed. xnec2c only
# sweeps the frequencies (and batch mode only ends) when its frequency-plots window is open, so
# the settings open that window, and no quit dialog holds up the exit. They name no maths library:
# xnec2c then takes the first one it finds instead of complaining that its default is missing.
home=$work/home
mkdir -p "$home/.xnec2c"
{
    # The version first, under xnec2c's own (misspelt) heading, or it notes that the settings
    # come from another version.
    echo '# Application Vesrsion'
    env DISPLAY="$display" HOME="$home" xnec2c -V 2>/dev/null | head -n 1 || true
    printf '%s\n' \
        '# Frequency Plots Window Size, in pixels' '600,400' \
        '# Frequency Plots Window VSWR toggle button state' '1' \
        '# Main Window Frequency loop start state' '1' \
        '# Enable Confirm Quit Dialog' '0'
} >"$home/.xnec2c/xnec2c.conf"

csv=$work/sweep.csv
# -j0: one process, so an error in the sweep reaches the dialog instead of ending a worker.
(
    cd "$work"
    exec env -u DBUS_SESSION_BUS_ADDRESS DISPLAY="$display" HOME="$home" NO_AT_BRIDGE=1 \
        LC_ALL=C XDG_RUNTIME_DIR="$work" setsid xnec2c -j0 -b --write-csv "$csv" -i "$deck" \
        >"$work/stdout" 2>"$work/stderr"
) &
viewer=$!

# Shows what xnec2c said, for a failure's report.
show_output() {
    local f
    for f in stderr stdout; do
        if [ -s "$work/$f" ]; then
            echo "--- xnec2c's $f" >&2
            plain "$work/$f" | tail -n 40 >&2
        fi
    done
}

error_window() {
    DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -q '"Xnec2c Error"'
}

deadline=$((SECONDS + limit))
status=""
while [ -z "$status" ]; do
    if grep -q '\[err\]' "$work/stderr" 2>/dev/null; then
        sleep 0.2 # the rest of a message that spans lines
        status=error
    elif error_window; then
        status=error
    elif ! kill -0 "$viewer" 2>/dev/null; then
        # A complaint printed on the way out counts as well.
        if grep -q '\[err\]' "$work/stderr" 2>/dev/null; then status=error; else status=exited; fi
    elif [ "$SECONDS" -ge "$deadline" ]; then
        status=timeout
    else
        sleep 0.1
    fi
done

case $status in
error)
    echo "FAIL: xnec2c reports an error in $deck:" >&2
    plain "$work/stderr" | sed -n '/\[err\]/,$p' | grep -v '^\[crit\] termination request' >&2 ||
        true
    error_window && echo "(and shows its \"Xnec2c Error\" dialog)" >&2
    exit 1
    ;;
timeout)
    echo "FAIL: xnec2c did not finish the sweep of $deck within $limit s" >&2
    echo "(it sweeps only when the deck's first XQ group has at least two frequencies)" >&2
    show_output
    exit 1
    ;;
esac

rc=0
wait "$viewer" || rc=$?
viewer=""
if [ "$rc" -ne 0 ]; then
    echo "FAIL: xnec2c ended with status $rc on $deck" >&2
    show_output
    exit 1
fi
rows=$(($(grep -c . "$csv" 2>/dev/null || echo 0) - 1))
if [ "$rows" -lt 1 ]; then
    echo "FAIL: xnec2c wrote no results for $deck" >&2
    show_output
    exit 1
fi
echo "xnec2c read $deck and computed $rows frequencies without an error"
