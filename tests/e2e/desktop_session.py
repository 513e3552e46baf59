# SPDX-License-Identifier: GPL-3.0-or-later
"""What every end-to-end driver needs beside its own walk through a window: the program started
on the private X display and accessibility bus that run_desktop_e2e.sh sets up, found on that
bus, driven with xdotool, ended whatever happens, and a PASS or FAIL report. A driver gives a
class for its window (derived from Program) and a function that walks it:

    sys.exit(desktop_session.main("check window end-to-end", Window, walk, slow=60.0))
"""

import argparse
import os
import signal
import subprocess
import sys
import time
import traceback

# Short waits for things that follow a key press or click at once; long ones are the driver's.
QUICK = 10.0


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def poll(probe, what, timeout=QUICK, interval=0.05):
    """Calls probe until it returns something other than None or False; fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value is not None and value is not False:
                return value
        except Exception as error:  # the tree changes under us while the window updates
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(interval)


def xdotool(*args, timeout=QUICK):
    result = subprocess.run(
        ["xdotool", *args], capture_output=True, text=True, timeout=timeout, check=False
    )
    if result.returncode != 0:
        raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def x_window(process, name_pattern, timeout):
    """The X id of the program's first visible top-level window whose name matches."""
    return poll(lambda: xdotool("search", "--all", "--onlyvisible", "--pid", str(process.pid),
                                "--name", name_pattern),
                "the main window on the X display", timeout, 0.2).split()[0]


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = []

    def equal(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
            log(f"  ok   {what}: {actual!r}")
        else:
            self.failed.append(what)
            log(f"  FAIL {what}: got {actual!r}, expected {expected!r}")

    def true(self, what, condition, detail=""):
        self.equal(what + (f" ({detail})" if detail else ""), bool(condition), True)


class Program:
    """The running program as the accessibility bus shows it; a driver's window class adds how
    its own controls are found and read, and dump(), which prints the tree at a failure."""

    def __init__(self, pyatspi, atspi, process):
        self.pyatspi = pyatspi
        self.atspi = atspi
        self.process = process
        self.app = None

    def alive(self):
        if self.process.poll() is not None:
            raise Failure(f"the program exited with status {self.process.returncode}")

    def find_app(self):
        self.alive()
        desktop = self.pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == self.process.pid:
                # Read every property afresh: the window changes under us.
                app.set_cache_mask(self.atspi.Cache.NONE)
                return app
        return None

    def children(self, node):
        return [node.getChildAtIndex(i) for i in range(node.childCount)]

    def labels(self, node):
        """The names of the labels that point at node, as a screen reader names it by them."""
        names = []
        for relation in node.getRelationSet():
            if relation.getRelationType() == self.pyatspi.RELATION_LABELLED_BY:
                names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
        return names

    def has_state(self, node, state):
        return node.getState().contains(state)

    def showing(self, node):
        return self.has_state(node, self.pyatspi.STATE_SHOWING)

    def centre(self, node):
        extents = node.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        if extents.width <= 0 or extents.height <= 0:
            raise Failure(f'"{node.name}" has no extents on screen')
        return extents.x + extents.width // 2, extents.y + extents.height // 2

    def click(self, node):
        x, y = self.centre(node)
        xdotool("mousemove", "--sync", str(x), str(y))
        xdotool("click", "1")

    def dump(self):
        pass


def start_program(app_path, work):
    env = dict(os.environ)
    # Qt joins the accessibility bus only when it finds the bus itself, through the session
    # bus; a bus address in the environment keeps it off.
    env.pop("AT_SPI_BUS_ADDRESS", None)
    env["QT_QPA_PLATFORM"] = "xcb"
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    env["LANG"] = env["LC_ALL"] = "C.UTF-8"
    # Settings and scratch folders inside the test's folder: nothing of a person's is read or
    # changed, and whatever the program leaves behind is seen.
    env["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    env["TMPDIR"] = os.path.join(work, "tmp")
    os.makedirs(env["TMPDIR"], exist_ok=True)
    output = open(os.path.join(work, "app.log"), "w")
    return subprocess.Popen(
        [app_path], env=env, stdout=output, stderr=subprocess.STDOUT, start_new_session=True
    )


def stop_program(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait(timeout=5)


def main(name, program_class, walk, slow):
    """Starts the program named by --app, finds it on the accessibility bus within slow
    seconds, lets walk(program, checks, work) drive it, ends it and reports; returns the exit
    status."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()

    # Imported only now: the bindings join the accessibility bus as they load.
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
    import pyatspi

    # Ended from outside, still end the program, which runs in a session of its own.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    process = start_program(args.app, args.work)
    program = program_class(pyatspi, Atspi, process)
    checks = Checks()
    try:
        program.app = poll(program.find_app, "the program on the accessibility bus", slow, 0.2)
        walk(program, checks, args.work)
    except Exception as error:  # any error ends the walk, but the report still follows
        checks.failed.append(str(error))
        log(f"  FAIL {error if isinstance(error, Failure) else traceback.format_exc()}")
        if program.app is not None:
            log("accessible tree at the failure:")
            program.dump()
    finally:
        stop_program(process)

    seconds = time.monotonic() - started
    log(f"checks: {checks.passed} ok, {len(checks.failed)} failed")
    if checks.failed:
        log(f"FAIL: {name} ({seconds:.1f} s)")
        return 1
    log(f"PASS: {name} ({seconds:.1f} s)")
    return 0
