#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the real program on a private X display with its own session and accessibility buses,
# then lets desktop_e2e.py type into it and read it back the way a screen reader does.
# Everything started here lives in a scratch folder and is ended on exit, whatever happens.
# The driver is desktop_e2e.py unless another is named (check_window_e2e.py for BrevanCheck);
# each drives its window through desktop_session.py, which starts, finds and ends the program.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 <path to Brevan1-2> [driver.py]" >&2
    exit 2
fi
app=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
driver_script=${2:-$here/desktop_e2e.py}

# The Debian interpreter, not whatever python3 comes first on PATH: the accessibility bindings
# are Debian packages.
python=/usr/bin/python3
bus_launcher=/usr/libexec/at-spi-bus-launcher
missing=()
for need in Xvfb:xvfb xdotool:xdotool dbus-daemon:dbus dbus-send:dbus; do
    command -v "${need%%:*}" >/dev/null || missing+=("${need#*:}")
done
[ -x "$bus_launcher" ] || missing+=(at-spi2-core)
{ [ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null; } || missing+=(python3-pyatspi)
if [ ${#missing[@]} -gt 0 ]; then
    echo "FAIL: missing packages: ${missing[*]} (scripts/test.sh installs them)" >&2
    exit 1
fi
[ -x "$app" ] || {
    echo "FAIL: $app is not an executable" >&2
    exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/brevan-e2e.XXXXXX")
driver=""
pids=()
# shellcheck disable=SC2317 # runs from the exit trap
# Ends one process group and waits up to $2 tenths of a second before killing what is left.
end_group() {
    local pid=$1 tenths=$2
    kill -TERM -- "-$pid" 2>/dev/null || return 0
    for _ in $(seq "$tenths"); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
}
# shellcheck disable=SC2317 # the exit trap
cleanup() {
    # The driver first, so it ends the program while the display and buses still stand.
    [ -n "$driver" ] && end_group "$driver" 100
    # Each helper runs in a process group of its own, so its children (the accessibility bus
    # daemon and the registry it activates) go with it.
    local pid
    for pid in "${pids[@]}"; do
        end_group "$pid" 20
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# The X server picks a free display itself and writes its number once it accepts clients.
# Starts a service in its own process group; it writes what we need to know (its display or
# bus address) on descriptor 3, into $work/<name>, once it is ready.
start_service() {
    local name=$1 ready=$2 what=$3
    shift 3
    setsid "$@" 3>"$work/$name" >"$work/$name.log" 2>&1 &
    pids+=($!)
    if ! wait_for 100 grep -q "$ready" "$work/$name"; then
        echo "FAIL: $what did not start" >&2
        cat "$work/$name.log" >&2
        exit 1
    fi
}

start_service display '^[0-9]' "Xvfb" \
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

# A session bus of our own; the desktop's (if any) is never touched.
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
start_service session-bus '^unix:' "the session bus" \
    dbus-daemon --session --nofork --nopidfile --print-address=3
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/session-bus")
export DBUS_SESSION_BUS_ADDRESS
# Qt and the bindings keep small runtime files; root on a bare machine has no runtime folder.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

setsid "$bus_launcher" --launch-immediately >"$work/a11y-bus.log" 2>&1 &
pids+=($!)
if ! wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress; then
    echo "FAIL: the accessibility bus did not start" >&2
    cat "$work/a11y-bus.log" >&2
    exit 1
fi

echo "display $DISPLAY, session bus and accessibility bus ready"
status=0
# In the background, so that a signal to this script is acted on at once.
# -B: no bytecode cache beside the shared module in the source tree.
setsid "$python" -B "$driver_script" --app "$app" --work "$work" &
driver=$!
wait "$driver" || status=$?
driver=""
if [ $status -ne 0 ]; then
    for log in app a11y-bus xvfb; do
        if [ -s "$work/$log.log" ]; then
            echo "--- $log.log" >&2
            tail -n 40 "$work/$log.log" >&2
        fi
    done
fi
exit $status
