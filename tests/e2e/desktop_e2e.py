#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks the program through a whole design on a real X display, as a person at the keyboard
and mouse would, and reads every result back through the accessibility bus, as a screen reader
would. Expects DISPLAY and a session bus with the accessibility bus running (see
run_desktop_e2e.sh); starts and ends the program itself."""

import subprocess
import sys
import time

from desktop_session import QUICK, Failure, Program, log, main, poll, x_window, xdotool

CAPTION = "Loaded Dipole Antenna for restricted space ( metric units)"
APP_NAME = "Brevan1"

STEP1 = "Data Input - step 1"
STEP2 = "Data Input - step 2"
ANTENNA = "Antenna Diamensions"
WINDING = "Winding data for the Loading Coils"

TYPE_ONLY_NUMBERS = "Type only numbers"

# The wait for start-up.
SLOW = 40.0


class Desktop(Program):
    """The program's accessible tree and its X windows."""

    def __init__(self, pyatspi, atspi, process):
        super().__init__(pyatspi, atspi, process)
        self.window = None
        self.window_id = None

    # --- finding things ---------------------------------------------------------------

    def find_window(self):
        for child in self.children(self.app):
            if child.name == CAPTION:
                return child
        return None

    def panel(self, caption):
        for child in self.children(self.window):
            if child.getRole() == self.pyatspi.ROLE_PANEL and child.name == caption:
                return child
        raise Failure(f'no panel "{caption}" in the window')

    def control(self, caption, role, name=None):
        """A control by its panel, role and accessible name: the summary repeats the input
        names, so the panel tells them apart as it does for a listener."""
        for child in self.children(self.panel(caption)):
            if child.getRole() == role and (name is None or child.name == name):
                return child
        wanted = f' "{name}"' if name else ""
        raise Failure(f"no {self.pyatspi.Accessible.getRoleName(role)}{wanted} in \"{caption}\"")

    def text_box(self, caption, name):
        return self.control(caption, self.pyatspi.ROLE_TEXT, name)

    def button(self, caption, name):
        return self.control(caption, self.pyatspi.ROLE_PUSH_BUTTON, name)

    def labels(self, node):
        return [name for name in super().labels(node) if name != STEP1 and name != STEP2]

    def combo(self, caption):
        return self.control(caption, self.pyatspi.ROLE_COMBO_BOX)

    # --- reading ------------------------------------------------------------------------

    def text(self, node):
        if node.getRole() == self.pyatspi.ROLE_COMBO_BOX:
            for child in self.children(node):
                if child.getRole() == self.pyatspi.ROLE_TEXT:
                    node = child
                    break
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def sensitive(self, node):
        return self.has_state(node, self.pyatspi.STATE_SENSITIVE)

    def message_boxes(self):
        """Every alert or dialog of the program now on screen, with the texts it shows."""
        boxes = []
        for child in self.children(self.app):
            role = child.getRole()
            if role in (self.pyatspi.ROLE_ALERT, self.pyatspi.ROLE_DIALOG) and self.showing(child):
                boxes.append(child)
        return boxes

    def descendants(self, node, role):
        """Every control of a role under node that is on screen, in tree order."""
        found = []
        for child in self.children(node):
            if child.getRole() == role and self.showing(child):
                found.append(child)
            found.extend(self.descendants(child, role))
        return found

    def x_property(self, window_id, name):
        result = subprocess.run(
            ["xprop", "-id", window_id, name],
            capture_output=True, text=True, timeout=QUICK, check=False,
        )
        return result.stdout.strip()

    def dump(self, node=None, depth=0):
        if node is None:
            node = self.app
        try:
            states = [
                label
                for state, label in (
                    (self.pyatspi.STATE_SHOWING, "showing"),
                    (self.pyatspi.STATE_SENSITIVE, "sensitive"),
                    (self.pyatspi.STATE_FOCUSED, "focused"),
                )
                if self.has_state(node, state)
            ]
            text = ""
            if node.getRole() == self.pyatspi.ROLE_TEXT:
                text = f" text={self.text(node)!r}"
            log(f"{'  ' * depth}{node.getRoleName()} {node.name!r}{text} [{' '.join(states)}]")
            if node.getRole() == self.pyatspi.ROLE_LIST:
                return  # the combo lists' items add nothing
            for child in self.children(node):
                self.dump(child, depth + 1)
        except Exception as error:
            log(f"{'  ' * depth}(unreadable: {error})")

    # --- acting ---------------------------------------------------------------------------

    def focus_window(self):
        """Gives the main window the X input focus. Without a window manager nobody hands it
        back when a message box closes."""
        xdotool("windowfocus", "--sync", self.window_id)

    def type_keys(self, text):
        xdotool("type", "--delay", "60", text)

    def key(self, *keys):
        xdotool("key", "--delay", "60", *keys)


def wait_text(desktop, node, expected, what):
    """Waits for typing to arrive, and returns what the box holds then. An input box starts
    with one space, and where the typing lands beside it is the toolkit's business, so the
    space is not compared."""
    try:
        return poll(lambda: desktop.text(node).strip() == expected and desktop.text(node), what)
    except Failure:
        return desktop.text(node)


def x_value(line):
    """The value part of one xprop line: '_NET_WM_NAME(UTF8_STRING) = "x"' gives '"x"'."""
    return line.split(" = ", 1)[1] if " = " in line else line.split(":", 1)[-1].strip()


def reject_key(desktop, checks, box, key, close_with):
    """Types a refused key into a box and closes the message it brings up."""
    before = desktop.text(box)
    desktop.type_keys(key)
    boxes = poll(desktop.message_boxes, f'a message box after typing "{key}" into "{box.name}"')
    checks.equal(f'message boxes open after "{key}"', len(boxes), 1)
    message = boxes[0]
    labels = desktop.descendants(message, desktop.pyatspi.ROLE_LABEL)
    checks.equal(f'message after "{key}"', [label.name for label in labels], [TYPE_ONLY_NUMBERS])
    buttons = desktop.descendants(message, desktop.pyatspi.ROLE_PUSH_BUTTON)
    checks.equal("buttons of the message box", [button.name for button in buttons], ["OK"])

    # The box as the window system sees it: its own top-level window, owned by the main
    # window, titled with the application's name.
    def other_windows():
        windows = xdotool("search", "--all", "--onlyvisible", "--pid",
                          str(desktop.process.pid), "--name", "").split()
        return [wid for wid in windows if wid != desktop.window_id]

    others = poll(other_windows, "the message box on the X display")
    checks.equal("top-level windows besides the main one", len(others), 1)
    dialog_id = others[0]
    checks.equal("message box title (_NET_WM_NAME)",
                 x_value(desktop.x_property(dialog_id, "_NET_WM_NAME")), f'"{APP_NAME}"')
    checks.equal("message box owner (WM_TRANSIENT_FOR)",
                 int(x_value(desktop.x_property(dialog_id, "WM_TRANSIENT_FOR")).split("#")[-1], 16),
                 int(desktop.window_id))
    if close_with == "Return":
        # A person presses Return at once; the box must have taken the keyboard by then.
        focused = poll(lambda: xdotool("getwindowfocus", "-f") == dialog_id,
                       "the message box to take the keyboard focus")
        checks.equal("message box has the X keyboard focus", focused, True)
        desktop.key("Return")
    else:
        desktop.click(buttons[0])
    poll(lambda: not desktop.message_boxes(), f"the message box to close ({close_with})")
    desktop.focus_window()
    poll(lambda: desktop.has_state(box, desktop.pyatspi.STATE_FOCUSED),
         f'the focus back in "{box.name}"')
    checks.equal(f'text of "{box.name}" after the refused "{key}"', desktop.text(box), before)


def pick_from_list(desktop, combo, item_text):
    """Opens a combo's list with its arrow and clicks an item, as with the mouse. Returns the
    item that was selected when the list opened."""
    extents = combo.queryComponent().getExtents(desktop.pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", str(extents.x + extents.width - 6),
            str(extents.y + extents.height // 2))
    xdotool("click", "1")

    # Qt lists the items of a closed list as showing too; the list itself tells.
    lists = [c for c in desktop.children(combo) if c.getRole() == desktop.pyatspi.ROLE_LIST]
    if len(lists) != 1:
        raise Failure(f"the gauge combo has {len(lists)} lists")
    poll(lambda: desktop.showing(lists[0]), "the list to open")

    entries = desktop.children(lists[0])
    selected = [e.name for e in entries if desktop.has_state(e, desktop.pyatspi.STATE_SELECTED)]
    wanted = [e for e in entries if e.name == item_text]
    if len(wanted) != 1:
        raise Failure(f'the opened list holds "{item_text}" {len(wanted)} times')
    desktop.click(wanted[0])
    poll(lambda: not desktop.showing(lists[0]), "the list to close")
    return ", ".join(selected)


def focused(desktop, node):
    """The focus of an editable combo sits in its edit field."""
    pyatspi = desktop.pyatspi
    return desktop.has_state(node, pyatspi.STATE_FOCUSED) or any(
        desktop.has_state(child, pyatspi.STATE_FOCUSED) for child in desktop.children(node)
    )


def type_and_check(desktop, checks, steps):
    """Each row: keys to press first (or None), text to type, the box, its name in the log,
    and whether OK of the page is enabled afterwards."""
    for keys, typed, box, what, button, enabled in steps:
        if keys:
            desktop.key(keys)
        desktop.type_keys(typed)
        checks.equal(what, wait_text(desktop, box, typed, what).strip(), typed)
        # The gate runs in the same event that changed the text, so it has run by now.
        checks.equal(f"OK enabled after {what}", desktop.sensitive(button), enabled)


def step_one(desktop, checks):
    pyatspi = desktop.pyatspi
    freq = desktop.text_box(STEP1, "Frequency (MHz)")
    length_a = desktop.text_box(STEP1, "A, total length (m)")
    dist_b = desktop.text_box(STEP1, "B, centre to coil distance (m)")
    gauge = desktop.combo(STEP1)
    ok1 = desktop.button(STEP1, "OK, step 1")

    log("start-up")
    checks.equal("step-1 page showing", desktop.showing(desktop.panel(STEP1)), True)
    for caption in (STEP2, ANTENNA, WINDING):
        checks.equal(f'"{caption}" showing at start', desktop.showing(desktop.panel(caption)),
                     False)
    checks.equal("OK (step 1) enabled at start", desktop.sensitive(ok1), False)
    checks.equal("antenna wire gauge at start", desktop.text(gauge), "14")
    # A screen reader names a combo box by the label that points at it.
    checks.equal("antenna wire gauge labelled by its heading", desktop.labels(gauge),
                 ["Antenna Wire SWG ( 10 - 30)"])
    checks.equal("frequency box has the focus at start",
                 poll(lambda: focused(desktop, freq), "the focus in the frequency box"), True)

    log("a letter in the frequency box; its message closed with Return")
    reject_key(desktop, checks, freq, "x", close_with="Return")

    log("step 1: 7.05, Tab, 15, Tab, 3")
    type_and_check(desktop, checks, [
        (None, "7.05", freq, "frequency", ok1, False),
        ("Tab", "15", length_a, "length A", ok1, False),
        ("Tab", "3", dist_b, "distance B", ok1, True),
    ])
    checks.equal("no message for a valid design", len(desktop.message_boxes()), 0)

    log("Tab to the antenna wire gauge, Down once")
    desktop.key("Tab")
    poll(lambda: focused(desktop, gauge), "the focus on the antenna wire gauge")
    # Arrow keys type no character, so the filter lets them through; the list position is the
    # gauge shown, so Down steps from 14 to the next gauge.
    desktop.key("Down")
    checks.equal("antenna wire gauge after Down", wait_text(desktop, gauge, "16", "Down"), "16")
    log("open the gauge list with the mouse, click 16 in it")
    checks.equal("item selected in the opened list", pick_from_list(desktop, gauge, "16"), "16")
    checks.equal("antenna wire gauge picked from the list", desktop.text(gauge), "16")
    # A typed character is refused silently.
    desktop.type_keys("2")
    time.sleep(0.5)
    checks.equal("message boxes after a 2 typed into the gauge", len(desktop.message_boxes()), 0)
    checks.equal("antenna wire gauge after a typed 2", desktop.text(gauge), "16")

    log("click OK (step 1)")
    desktop.click(ok1)
    poll(lambda: desktop.showing(desktop.panel(STEP2)), "the step-2 page")
    for node, what in ((freq, "frequency box"), (length_a, "length A box"),
                       (dist_b, "distance B box"), (gauge, "antenna wire gauge"),
                       (ok1, "OK (step 1)"), (desktop.panel(STEP1), "step-1 page")):
        checks.equal(f"{what} showing after step 1", desktop.showing(node), False)
    return ok1


def step_two(desktop, checks):
    former = desktop.text_box(STEP2, "Coil former diameter (mm)")
    coil_length = desktop.text_box(STEP2, "Coil length (mm)")
    ok2 = desktop.button(STEP2, "OK, step 2")

    checks.equal("former diameter box showing", desktop.showing(former), True)
    checks.equal("coil length box showing", desktop.showing(coil_length), True)
    checks.equal("coil wire gauge", desktop.text(desktop.combo(STEP2)), "20")
    checks.equal("OK (step 2) enabled before typing", desktop.sensitive(ok2), False)
    checks.equal("summary showing during step 2", desktop.showing(desktop.panel(WINDING)), False)
    # Step 1 writes the inductance into its box while the box is still hidden.
    checks.equal("inductance box during step 2",
                 desktop.text(desktop.text_box(WINDING, "Inductance of the coil (\u00b5H)")), "7.1")

    log("step 2: click the former diameter box, 50")
    desktop.click(former)
    poll(lambda: focused(desktop, former), "the focus in the former diameter box")
    type_and_check(desktop, checks, [(None, "50", former, "former diameter", ok2, False)])
    log("Tab, a minus sign in the coil length box; its message closed by clicking OK")
    desktop.key("Tab")
    poll(lambda: focused(desktop, coil_length), "the focus in the coil length box")
    reject_key(desktop, checks, coil_length, "-", close_with="click")
    log("type 40")
    type_and_check(desktop, checks, [(None, "40", coil_length, "coil length", ok2, True)])

    log("click OK (step 2)")
    desktop.click(ok2)
    poll(lambda: desktop.showing(desktop.panel(WINDING)), "the summary")
    return ok2


# What the summary shows for the design typed above.
SUMMARY = [
    (ANTENNA, "Summary: frequency (MHz)", "7.05"),
    (ANTENNA, "Summary: A, total length (m)", "15"),
    (ANTENNA, "Summary: B, centre to coil distance (m)", "3"),
    (ANTENNA, "Summary: antenna wire SWG", "16"),
    (WINDING, "Inductance of the coil (\u00b5H)", "7.1"),
    (WINDING, "Summary: coil former diameter (mm)", "50"),
    (WINDING, "Summary: coil wire SWG", "20"),
    (WINDING, "Number of turns of the coil", "9"),
    (WINDING, "Revised length of the coil", "Revised length = 7 mm"),
]


def summary(desktop, checks, ok_buttons):
    log("summary")
    for caption, name, value in SUMMARY:
        box = desktop.text_box(caption, name)
        checks.equal(f"{caption} / {name}", desktop.text(box), value)
        checks.equal(f"{caption} / {name} showing", desktop.showing(box), True)
    for caption, shown in ((ANTENNA, True), (WINDING, True), (STEP1, False), (STEP2, False)):
        checks.equal(f'"{caption}" showing at the end', desktop.showing(desktop.panel(caption)),
                     shown)
    for index, button in enumerate(ok_buttons, start=1):
        checks.equal(f"OK (step {index}) showing at the end", desktop.showing(button), False)
    checks.equal("message boxes open at the end", len(desktop.message_boxes()), 0)


def walk_through(desktop, checks, _work):
    desktop.window = poll(desktop.find_window, "the main window", SLOW, 0.2)
    poll(lambda: desktop.showing(desktop.window), "the main window to show", SLOW, 0.2)
    desktop.window_id = x_window(desktop.process, "^Loaded Dipole Antenna", SLOW)
    checks.equal("X title of the main window", xdotool("getwindowname", desktop.window_id),
                 CAPTION)
    desktop.focus_window()
    poll(lambda: desktop.has_state(desktop.window, desktop.pyatspi.STATE_ACTIVE),
         "the main window to become active")
    ok1 = step_one(desktop, checks)
    ok2 = step_two(desktop, checks)
    summary(desktop, checks, [ok1, ok2])


if __name__ == "__main__":
    sys.exit(main("desktop end-to-end", Desktop, walk_through, SLOW))
