#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Types the typical design into the installed check window on a real X display, as a person
at the keyboard would, waits for the full-wave check, and reads the verdict and the antennas
back through the accessibility bus, as a screen reader would; then quits as a person does and
checks that nothing of the program is left running or lying in its temporary folder. Expects
DISPLAY and a session bus with the accessibility bus running (see run_desktop_e2e.sh) and
BREVAN_CHECK_COMMAND, the installed brevan-check, whose report the window must agree with."""

import os
import subprocess
import sys
import time

from desktop_session import QUICK, Failure, Program, log, main, poll, x_window, xdotool

TITLE_END = "Brevan Check"
SLOW = 60.0
DONE = "Full-wave check done (nec2c)."

# The form as a screen reader names it, in Tab order, with the typical design's values. Fields
# go by their accessible names; a closed combo box says its choice as its name (Qt does so), so a
# listener knows it by the caption that labels it. Gauges are picked by typing, as on the
# keyboard.
FREQUENCY = "Design frequency F in megahertz"
FORM = [
    (FREQUENCY, "text", "7.05", "frequency"),
    ("Total length A, tip to tip, in metres", "text", "15", "length"),
    ("Distance B from the centre to the middle of each coil, in metres", "text", "3", "distance"),
    ("Antenna wire", "combo", "16", "wire"),
    ("Coil former diameter in millimetres", "text", "50", "former"),
    ("Planned coil length in millimetres", "text", "40", "coil-length"),
    ("Coil wire", "combo", "20", "coil-wire"),
]
# Every other part a listener needs by name.
COMBOS = ["Band", "Surroundings"]
NAMED = [
    ("Pitch, turn centre to centre, in millimetres; empty for close-wound", "text"),
    ("The coil's Q; empty to estimate it from the losses", "text"),
    ("Height of the antenna above the ground, in metres", "text"),
    ("What it means", "label"),
    ("The full-wave check", "label"),
    ("Results", "filler"),
    ("The three antennas side by side", "table"),
]
ANTENNA_COLUMNS = ["As designed", "As built", "Trimmed"]


class Window(Program):
    """The program's accessible tree."""

    def __init__(self, pyatspi, atspi, process):
        super().__init__(pyatspi, atspi, process)
        self.frame = None

    def find_frame(self):
        for child in self.children(self.app):
            if child.getRoleName() == "frame" and child.name.endswith(TITLE_END):
                return child
        return None

    def all_named(self, name, node=None):
        node = node or self.frame
        found = []
        for child in self.children(node):
            if child is None:
                continue
            if child.name == name:
                found.append(child)
            found.extend(self.all_named(name, child))
        return found

    def named(self, name):
        found = self.all_named(name)
        if len(found) != 1:
            raise Failure(f'{len(found)} parts named "{name}", one expected')
        return found[0]

    def combo(self, caption, node=None):
        """The combo box a caption labels."""
        node = node or self.frame
        found = []
        for child in self.children(node):
            if child is None:
                continue
            if child.getRoleName() == "combo box" and caption in self.labels(child):
                found.append(child)
            found.extend(self.combo(caption, child) if child.getRoleName() != "combo box"
                         else [])
        return found

    def one_combo(self, caption):
        found = self.combo(caption)
        if len(found) != 1:
            raise Failure(f'{len(found)} combo boxes labelled "{caption}", one expected')
        return found[0]

    def text(self, node):
        # A label named for what it is carries its words as its description (spoken_label.h).
        if node.getRoleName() == "label":
            return node.description
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def focused(self, node):
        states = node.getState()
        if states.contains(self.pyatspi.STATE_FOCUSED):
            return True
        return any(c.getState().contains(self.pyatspi.STATE_FOCUSED) for c in self.children(node))

    def dialogs(self):
        return [c for c in self.children(self.app)
                if c.getRoleName() in ("dialog", "alert") and self.showing(c)]

    def buttons(self, node):
        found = []
        for child in self.children(node):
            if child.getRoleName() == "push button":
                found.append(child)
            found.extend(self.buttons(child))
        return found

    def dump(self, node=None, depth=0):
        node = node or self.app
        try:
            extra = ""
            if node.getRoleName() in ("text", "label"):
                try:
                    extra = f" text={self.text(node)!r}"
                except Exception:
                    pass
            log(f"{'  ' * depth}{node.getRoleName()} {node.name!r}{extra}")
            if node.getRoleName() in ("list", "table"):
                return
            for child in self.children(node):
                self.dump(child, depth + 1)
        except Exception as error:
            log(f"{'  ' * depth}(unreadable: {error})")


def key(*keys):
    xdotool("key", "--delay", "40", *keys)


def type_text(text):
    xdotool("type", "--delay", "60", text)


def check_names(window, checks):
    log("every control a listener needs has a name")
    for name, kind, _, _ in FORM:
        if kind == "combo":
            checks.equal(f'combo box labelled "{name}"', len(window.combo(name)), 1)
        else:
            checks.equal(f'role of "{name}"', window.named(name).getRoleName(), "text")
    for caption in COMBOS:
        checks.equal(f'combo box labelled "{caption}"', len(window.combo(caption)), 1)
    for name, role in NAMED:
        checks.equal(f'role of "{name}"', window.named(name).getRoleName(), role)


def type_design(window, checks):
    log("the frequency cleared: the field's own words beside it, no box")
    frequency = window.named(FREQUENCY)
    window.click(frequency)
    poll(lambda: window.focused(frequency), "the focus in the frequency field")
    key("ctrl+a", "BackSpace")
    refusal = window.named(FREQUENCY + ": not accepted")
    said = poll(lambda: window.showing(refusal) and window.text(refusal),
                "the frequency's refusal beside it")
    checks.true("refusal names the field", said.startswith("Frequency F") and "--" not in said,
                said)
    checks.equal("message boxes after a refused field", len(window.dialogs()), 0)

    log("the typical design typed field by field, Tab between them")
    for index, (name, kind, value, _) in enumerate(FORM):
        node = window.named(name) if kind == "text" else window.one_combo(name)
        if index > 0:
            key("Tab")
        poll(lambda node=node: window.focused(node), f'the focus in "{name}"')
        if kind == "text":
            key("ctrl+a")
            type_text(value)
            shown = poll(lambda node=node: window.text(node) == value and value,
                         f'"{value}" in "{name}"')
        else:
            type_text(value)
            shown = poll(lambda node=node: node.name == value and value,
                         f'"{value}" picked in "{name}"')
        checks.equal(name, shown, value)
    return time.monotonic()


def command_report():
    options = []
    for _, _, value, option in FORM:
        options += [f"--{option}", value]
    result = subprocess.run([os.environ["BREVAN_CHECK_COMMAND"], *options], capture_output=True,
                            text=True, timeout=120, check=False)
    if result.returncode != 0:
        raise Failure(f"brevan-check failed ({result.returncode}): {result.stderr.strip()}")
    return result.stdout


def read_results(window, checks, last_key):
    log("waiting for the full-wave check")
    status = window.named("The full-wave check")
    poll(lambda: window.text(status) == DONE, "the check to be done", SLOW, 0.1)
    log(f"  the check was on screen {time.monotonic() - last_key:.2f} s after the last key "
        "(seen through the accessibility bus; the benchmark measures it exactly)")
    report = command_report()

    verdict = window.text(window.named("What it means"))
    checks.true("the verdict is not empty", verdict.strip())
    for sentence in verdict.splitlines():
        checks.true("verdict sentence in brevan-check's report",
                    " ".join(sentence.split()) in " ".join(report.split()), sentence[:60])

    table = window.named("The three antennas side by side").queryTable()
    columns = [table.getColumnDescription(c) for c in range(table.nColumns)]
    checks.equal("antenna table columns", columns, ANTENNA_COLUMNS)
    rows = [table.getRowDescription(r) for r in range(table.nRows)]
    checks.true("antenna table has the SWR row", "SWR at F (50 ohm)" in rows, str(rows))
    swr_row = rows.index("SWR at F (50 ohm)")
    cells = [table.getAccessibleAt(swr_row, c).name for c in range(table.nColumns)]
    log(f"  SWR at F, designed / built / trimmed: {cells}")
    checks.true("the built antenna's SWR at F is a number", _is_number(cells[1]), cells[1])
    # The command's table of the three antennas has the same row, in the same columns.
    command_rows = [line.split("SWR at F (50 ohm)", 1)[1].split() for line in report.splitlines()
                    if line.strip().startswith("SWR at F (50 ohm)")]
    checks.equal("SWR at F of the three antennas, as brevan-check prints them", [cells],
                 command_rows)


def _is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def quit_without_saving(window, checks):
    log("Ctrl+Q: asked about the unsaved design, Discard")
    key("ctrl+q")
    dialog = poll(lambda: window.dialogs() and window.dialogs()[0], "the unsaved-changes question")
    names = [b.name for b in window.buttons(dialog)]
    discard = [b for b in window.buttons(dialog) if b.name in ("Discard", "Close without Saving",
                                                               "Don't Save")]
    checks.equal("a Discard button among the question's", len(discard), 1)
    if not discard:
        raise Failure(f"no Discard button in {names}")
    window.click(discard[0])
    window.process.wait(timeout=QUICK)
    checks.equal("exit status after Quit", window.process.returncode, 0)


def strays(session):
    """Processes still in the program's session (it started its own): nec2c runs it left."""
    out = subprocess.run(["ps", "-eo", "sid=,pid=,comm="], capture_output=True, text=True,
                         check=True).stdout
    return [line.split(None, 2)[2] for line in out.splitlines()
            if line.split() and line.split()[0] == str(session)]


def walk(window, checks, work):
    window.frame = poll(window.find_frame, "the main window", SLOW, 0.2)
    window_id = x_window(window.process, TITLE_END, SLOW)
    checks.true("X title names the program", xdotool("getwindowname", window_id)
                .endswith(TITLE_END))
    xdotool("windowfocus", "--sync", window_id)
    check_names(window, checks)
    last_key = type_design(window, checks)
    read_results(window, checks, last_key)
    quit_without_saving(window, checks)
    checks.equal("processes left in the program's session", strays(window.process.pid), [])
    tmp = os.path.join(work, "tmp")
    checks.equal("files left in the program's TMPDIR", sorted(os.listdir(tmp)), [])


if __name__ == "__main__":
    sys.exit(main("check window end-to-end", Window, walk, SLOW))
