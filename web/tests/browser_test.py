# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page in Debian's Chromium, headless, driven through WebDriver.

What the page shows is held to the same core built natively (brevan_page_tool, with Debian's
nec2c): the WebAssembly build must give the desktop's figures and words. The page is served from
127.0.0.1 by test_server.py, which also runs the stand-in engine's decks; no request may go
anywhere else.

    python3 browser_test.py --dist BUILD/web/dist --tool BUILD/web/tests/brevan_page_tool \
        --check BUILD/cli/brevan-check

The page's exports and files are held to brevan-check itself: its JSON report, plot and deck
byte for byte, and the design files the window reads and writes.

    python3 browser_test.py ... Exports Sweeps   runs those test classes only
"""

import argparse
import base64
import glob
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_server import Server  # noqa: E402

ARGS = None
TYPICAL = {"frequency": "7.05", "length": "15", "distance": "3", "wire": "16", "former": "50",
           "coil-length": "40", "coil-wire": "20"}
WAIT_S = 240

# The coil as the builder made it, opened by link: each exports brevan-check's JSON byte for byte.
BUILT_COILS = [
    # 28 turns of AWG 12 wound over 70 mm, on an antenna of 1.63 mm wire.
    {**TYPICAL, "wire": "1.63mm", "coil-wire": "AWG 12", "turns": "28", "winding-length": "70"},
    # A measured 119.8 uH coil with its self-resonance, on a short 80 m dipole (step 1: 107 uH).
    {"frequency": "3.6", "length": "12", "distance": "4", "wire": "14", "former": "60",
     "coil-length": "80", "coil-wire": "20", "coil-inductance": "119.8",
     "coil-self-resonance": "11.5"},
    # Wound on a PTFE rod.
    {**TYPICAL, "former-material": "ptfe"},
]


def native(mode, fields):
    """What the core built natively gives for these option texts."""
    request = json.dumps({"fields": fields, "decimalPoint": "."})
    run = subprocess.run([ARGS.tool, mode], input=request, capture_output=True, text=True,
                         check=True, timeout=300)
    return json.loads(run.stdout)


def native_file(mode, text, *arguments):
    """The native core's answer to a file function: sweep, open NAME."""
    run = subprocess.run([ARGS.tool, mode, *arguments], input=text, capture_output=True,
                         text=True, check=True, timeout=60)
    return json.loads(run.stdout)


def command(fields, folder, *extra):
    """What brevan-check prints for these options (run in `folder`, where a sweep's name is
    the name the page gives it), and the files it writes there."""
    arguments = [ARGS.check]
    for option, text in fields.items():
        arguments += ["--" + option, text]
    run = subprocess.run(arguments + ["--format", "json", *extra], cwd=folder,
                         capture_output=True, check=True, timeout=300)
    return run.stdout


def differences(page, command_value, where="report"):
    """Where the page's JSON report departs from the command's, key by key: for a readable
    message when the bytes differ."""
    if isinstance(command_value, dict):
        if not isinstance(page, dict) or list(page) != list(command_value):
            return [where + ": keys " + str(list(page) if isinstance(page, dict) else page)]
        return [d for key in command_value
                for d in differences(page[key], command_value[key], where + "." + key)]
    if isinstance(command_value, list):
        if not isinstance(page, list) or len(page) != len(command_value):
            return [where + ": a list of another length"]
        return [d for i, (a, b) in enumerate(zip(page, command_value))
                for d in differences(a, b, "%s[%d]" % (where, i))]
    return [] if page == command_value and type(page) is type(command_value) else [
        "%s: %r, not %r" % (where, page, command_value)]


# A sweep as an analyser gives it: a series-resonant antenna near 7 MHz, 38 ohm at resonance.
def sweep_points():
    for step in range(51):
        mhz = 6.8 + step * 0.01
        yield mhz, complex(38, 1500 * (mhz / 7.0 - 7.0 / mhz))


def touchstone_sweep():
    lines = ["! analyser export", "# MHz S RI R 50"]
    for mhz, z in sweep_points():
        s11 = (z - 50) / (z + 50)
        lines.append("%.3f %.6f %.6f" % (mhz, s11.real, s11.imag))
    return "\n".join(lines) + "\n"


def csv_sweep():
    lines = ["Frequency (MHz),R,X"]
    for mhz, z in sweep_points():
        lines.append("%.3f,%.3f,%.3f" % (mhz, z.real, z.imag))
    return "\r\n".join(lines) + "\r\n"


def start_browser(width=1280, height=900):
    options = webdriver.ChromeOptions()
    profile = tempfile.mkdtemp(prefix="brevan-chromium-")
    for argument in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--lang=en-GB",
                     "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height)]:
        options.add_argument(argument)
    options.binary_location = shutil.which("chromium")
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.profile = profile
    # The viewport a fresh browser has, which every test starts with.
    driver.viewport = driver.execute_script("return [innerWidth, innerHeight]")
    return driver


# One Chromium serves the tests of a run in turn: starting one takes seconds, several times what
# most of the checks between them take. Each test still has a page of its own: its own server,
# so its own origin, whose storage, caches and service worker are cleared when it ends.
BROWSER = None


def shared_browser():
    global BROWSER
    if BROWSER is None:
        BROWSER = start_browser()
    return BROWSER


def quit_browser():
    global BROWSER
    if BROWSER is not None:
        try:
            BROWSER.quit()
        finally:
            shutil.rmtree(BROWSER.profile, ignore_errors=True)
            BROWSER = None


def tearDownModule():  # noqa: N802 (unittest's name)
    quit_browser()


def reset_browser(driver, origin):
    """Puts back what a test changed in the browser; a browser that cannot be put back as it
    started is ended, so the next test starts a fresh one."""
    try:
        driver.get("about:blank")
        driver.execute_cdp_cmd("Storage.clearDataForOrigin", {"origin": origin,
                                                              "storageTypes": "all"})
        driver.execute_cdp_cmd("Network.clearBrowserCache", {})
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        width, height = driver.viewport
        if driver.execute_script("return [innerWidth, innerHeight]") != driver.viewport:
            driver.set_window_size(width, height)
        if driver.execute_script("return [innerWidth, innerHeight]") != driver.viewport:
            quit_browser()
    except Exception:  # noqa: BLE001 (whatever went wrong, a fresh browser is the remedy)
        quit_browser()


class PageTest(unittest.TestCase):
    deck_delay = 0.0
    engine = True

    def setUp(self):
        self.server = Server(ARGS.dist, deck_delay=self.deck_delay, engine=self.engine).__enter__()
        self.driver = shared_browser()
        # What the browser logged before this test is not this test's.
        self.driver.get_log("browser")
        self.driver.get_log("performance")
        # Downloads land in a folder of the test's own, where they are read back.
        self.folder = tempfile.mkdtemp(prefix="brevan-page-files-")
        self.downloads = os.path.join(self.folder, "downloads")
        os.mkdir(self.downloads)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": self.downloads})

    def tearDown(self):
        try:
            self.assert_only_local_requests()
            self.assert_no_console_errors()
        finally:
            reset_browser(self.driver, self.server.url.rstrip("/"))
            shutil.rmtree(self.folder, ignore_errors=True)
            self.server.__exit__(None, None, None)

    # --- what the page holds ---

    def state(self):
        return self.driver.execute_script("return document.documentElement.dataset.check")

    def wait_for(self, condition, what, timeout=WAIT_S):
        end = time.time() + timeout
        while time.time() < end:
            value = condition()
            if value:
                return value
            time.sleep(0.1)
        self.fail("timed out waiting for " + (what() if callable(what) else what))

    def wait_state(self, *states):
        return self.wait_for(lambda: self.state() in states and self.state(),
                             "data-check in " + str(states))

    def rows(self, table_id):
        return self.driver.execute_script(
            "return [...document.getElementById(arguments[0]).tBodies[0].rows].map("
            "r => [...r.cells].map(c => c.textContent))", table_id)

    def texts(self, element_id):
        return self.driver.execute_script(
            "return [...document.getElementById(arguments[0]).children].map(e => e.textContent)",
            element_id)

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).get_attribute("textContent")

    def open(self, query=""):
        self.driver.get(self.server.url + query)

    def type_into(self, option, text):
        field = self.driver.find_element(By.ID, option)
        if field.tag_name == "select":
            Select(field).select_by_value(text)
        else:
            # As a person retypes a field: select what is there, type over it, key by key.
            field.send_keys(Keys.CONTROL + "a")
            field.send_keys(text if text else Keys.DELETE)

    def download(self, element_id, name):
        """Clicks a save button or link and returns the bytes the browser saved."""
        path = os.path.join(self.downloads, name)
        for old in glob.glob(os.path.join(self.downloads, "*")):
            os.remove(old)
        self.driver.find_element(By.ID, element_id).click()
        self.wait_for(lambda: os.path.exists(path) and not glob.glob(path + "*.crdownload"),
                      "the download of " + name, timeout=30)
        time.sleep(0.2)
        with open(path, "rb") as saved:
            return saved.read()

    def pick(self, element_id, name, text):
        """Picks a file, as a person does through the file dialog."""
        path = os.path.join(self.folder, name)
        with open(path, "w", encoding="utf-8", newline="") as out:
            out.write(text)
        self.driver.find_element(By.ID, element_id).send_keys(path)
        return path

    def drop(self, name, text):
        """Drops a file on the page, as from a file manager."""
        self.driver.execute_script(
            "const data = new DataTransfer();"
            "data.items.add(new File([arguments[1]], arguments[0]));"
            "document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true,"
            " cancelable: true}));", name, text)

    def focused(self):
        return self.driver.execute_script(
            "const e = document.activeElement; return e && (e.id || e.tagName)")

    def tab_until(self, element_id, limit=80):
        for _ in range(limit):
            webdriver.ActionChains(self.driver).send_keys(Keys.TAB).perform()
            if self.focused() == element_id:
                return
        self.fail(element_id + " is never reached with Tab")

    def field_values(self, options):
        return {option: self.driver.find_element(By.ID, option).get_attribute("value")
                for option in options}

    def assert_exports_the_commands_json(self, exported, command_bytes):
        # Byte for byte: the check's figures are the same bits in the page as on the desktop
        # (maths/portable_maths.h), so even a figure printed whole ends in the same digits.
        if exported != command_bytes:
            self.fail("the page's JSON report is not brevan-check's: " + "; ".join(
                differences(json.loads(exported), json.loads(command_bytes))[:20]))

    # --- the native core's answer, as the page should show it ---

    @staticmethod
    def as_rows(rows):
        return [[row["label"]] + (row["cells"] if "cells" in row else [row["value"]])
                for row in rows]

    def assert_shows_report(self, report):
        self.assertEqual(self.texts("verdict"), report["verdict"])
        self.assertEqual(self.rows("design-table"), self.as_rows(report["design"]))
        self.assertEqual(self.rows("cut-table"), self.as_rows(report["cutList"]))
        self.assertEqual(self.rows("antenna-table"), self.as_rows(report["antennas"]))
        self.assertEqual(self.texts("warning-list"), report["warnings"])
        self.assertEqual(self.text("trim"), report["trim"])
        self.assertEqual(self.text("needed-coil"), report.get("neededCoil", ""))
        self.assertEqual(self.texts("coil-notes"), report["coilNotes"])
        # How exactly to build it: the window's table, the antenna it is of, what matters most.
        tolerances = report["tolerances"]
        shown = self.driver.find_element(By.ID, "tolerances").is_displayed()
        self.assertEqual(shown, tolerances is not None)
        if tolerances:
            self.assertEqual(self.rows("tolerance-table"), self.as_rows(tolerances["rows"]))
            self.assertEqual(self.text("tolerance-basis"), tolerances["basis"])
            self.assertEqual(self.text("tolerance-sentence"), tolerances["sentence"])
        # What the coils and the tips hold at the power, and the printed sheet's verdict.
        power = report.get("power")
        self.assertEqual(self.driver.find_element(By.ID, "power-figures").is_displayed(),
                         power is not None)
        if power:
            self.assertEqual(self.text("power-title"), power["title"])
            self.assertEqual(self.rows("power-table"), self.as_rows(power["rows"]))
            self.assertEqual(self.texts("power-notes"), power["notes"])
        self.assertEqual(self.texts("sheet-verdict"), report.get("sheetVerdict", []))

    def shown_refusals(self):
        return self.driver.execute_script(
            "const out = {};"
            "for (const m of document.querySelectorAll('.refusal[id$=\"-message\"]')) {"
            "  if (!m.hidden) out[m.id === 'other-message' ? '' : m.id.slice(0, -8)] ="
            "      m.textContent; }"
            "return out;")

    def assert_only_local_requests(self):
        local = self.server.url.rstrip("/")
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] != "Network.requestWillBeSent":
                continue
            url = message["params"]["request"]["url"]
            if not url.startswith(("http:", "https:", "ws:", "wss:", "ftp:")):
                continue  # data:, blob: and the browser's own chrome: pages reach no host
            self.assertTrue(url == local or url.startswith(local + "/"),
                            "a request left this machine's server: " + url)

    def assert_no_console_errors(self):
        errors = [e for e in self.driver.get_log("browser")
                  if e["level"] == "SEVERE" and (self.engine or "nec2c.js" not in e["message"])]
        self.assertEqual(errors, [])


class TypedDesign(PageTest):
    def test_typing_the_typical_design_gives_the_desktops_figures(self):
        self.open("?frequency=3.6&length=30&distance=5&wire=14&former=60&coil-length=50"
                  "&coil-wire=22")
        self.wait_state("done", "failed")
        for option, text in TYPICAL.items():
            self.type_into(option, text)
        # Every keystroke: the design and coil before the full-wave check, as the window has them.
        quick = native("design", TYPICAL)
        self.wait_for(lambda: self.rows("design-table") == self.as_rows(quick["report"]["design"]),
                      lambda: "the typed design's figures: %s, not %s; fields %s" % (
                          self.as_rows(quick["report"]["design"]), self.rows("design-table"),
                          self.driver.execute_script("return JSON.stringify(["
                              "...document.querySelectorAll('input,select')].map(e => e.value))")),
                      timeout=30)
        self.assertEqual(self.rows("cut-table"), self.as_rows(quick["report"]["cutList"]))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        checked = native("check", TYPICAL)
        self.assertTrue(checked["checked"])
        self.assert_shows_report(checked["report"])
        self.assertEqual(self.text("engine-status"), checked["status"])
        # The export is brevan-check's own JSON report, byte for byte.
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(TYPICAL, self.folder))
        # The link carries the design in the command's option names.
        link = self.driver.find_element(By.ID, "share-link").get_attribute("href")
        self.assertEqual(dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(link).query)), TYPICAL)
        # The plot is the core's own picture, with a read-out under the pointer.
        self.assertEqual(
            len(self.driver.find_elements(By.CSS_SELECTOR, "#swr-plot svg.plot-wide polyline")), 3)
        plot = self.driver.find_element(By.CSS_SELECTOR, "#swr-plot svg.plot-wide")
        webdriver.ActionChains(self.driver).move_to_element(plot).perform()
        readout = self.wait_for(lambda: self.text("plot-readout"), "the plot's read-out")
        curves = checked["report"]["plotCurves"]
        self.assertEqual(len(readout.split("; ")), len(curves))
        for part, curve in zip(readout.split("; "), curves):
            self.assertIn(part, [point["text"] for point in curve["points"]])

    def test_refused_inputs_show_the_windows_words_beside_their_field(self):
        self.open()
        self.wait_state("done", "failed")
        cases = [  # what is typed, over the typical design
            {"frequency": "abc"},
            {"length": "-15", "coil-q": "0.5"},
            {"former": "1e9", "pitch": "0"},
            {"frequency": ""},
            {"distance": "30"},
            # The coil as built, and wires given in other systems.
            {"turns": "-3", "coil-inductance": "abc"},
            {"turns": "28", "winding-length": "0", "coil-inductance": "119.8",
             "coil-self-resonance": "-2"},
            {"coil-self-resonance": "9"},
            {"wire": "AWG 99", "coil-wire": "3cm"},
            {"former-material": "0.5"},
        ]
        optional = ("pitch", "coil-q", "turns", "winding-length", "coil-inductance",
                    "coil-self-resonance")
        for case in cases:
            with self.subTest(case=case):
                for option, text in TYPICAL.items():
                    self.type_into(option, case.get(option, text))
                for option in optional:
                    self.type_into(option, case.get(option, ""))
                # The other rod's permittivity is typed once "Other rod" is picked.
                self.type_into("former-kind", "other" if "former-material" in case else "")
                if "former-material" in case:
                    self.type_into("former-material", case["former-material"])
                fields = {**TYPICAL, **case, **{o: case.get(o, "") for o in optional}}
                expected = native("design", fields)
                refusals = expected["refusals"]
                self.assertTrue(refusals or expected.get("designRefusal"), case)
                self.wait_for(lambda: self.shown_refusals() == refusals,
                              "the refusals of %s: %s" % (case, refusals), timeout=20)
                # In the page's words: its fields, never the command's options.
                for message in refusals.values():
                    self.assertNotIn("--", message)
                for option in refusals:
                    if option:
                        field = self.driver.find_element(By.ID, option)
                        self.assertEqual(field.get_attribute("aria-invalid"), "true")
                if expected.get("designRefusal"):
                    self.wait_for(lambda: self.text("design-refusal") == expected["designRefusal"],
                                  "the design's refusal", timeout=20)
                self.assertEqual(self.wait_state("failed"), "failed")


class SharedLinks(PageTest):
    def test_a_link_opens_its_design_and_checks_it(self):
        designs = [
            {**TYPICAL, "ground": "average", "height": "8"},
            {**TYPICAL, "shape": "inverted-v", "leg-angle": "110", "insulation": "pvc",
             "insulation-thickness": "0.8"},
        ]
        for design in designs:
            with self.subTest(design=design):
                self.open("?" + urllib.parse.urlencode(design))
                self.assertEqual(self.wait_state("done", "failed"), "done")
                checked = native("check", design)
                self.assertTrue(checked["checked"])
                self.assert_shows_report(checked["report"])
                for option in ("height", "leg-angle", "insulation-thickness"):
                    if option in design:
                        self.assertEqual(
                            self.driver.find_element(By.ID, option).get_attribute("value"),
                            design[option])


class Exports(PageTest):
    # Designs opened by link; each exports what brevan-check prints for the same options.
    DESIGNS = [
        {**TYPICAL, "ground": "average", "height": "8"},
        {**TYPICAL, "shape": "inverted-v", "leg-angle": "110", "ground": "good", "height": "10"},
        {**TYPICAL, "insulation": "pvc", "insulation-thickness": "0.8"},
        # A coil that resonates by itself below F: the check goes on and says so.
        {**TYPICAL, "frequency": "14.2", "length": "4", "distance": "0.5", "former": "110",
         "coil-length": "300", "coil-wire": "30"},
    ]

    def test_links_export_the_commands_json_plot_and_deck(self):
        for number, design in enumerate(self.DESIGNS):
            with self.subTest(design=design):
                self.open("?" + urllib.parse.urlencode(design))
                self.assertEqual(self.wait_state("done", "failed"), "done")
                extra = ["--plot", "plot.svg", "--deck", "built.nec"] if number == 0 else []
                expected = command(design, self.folder, *extra)
                self.assert_exports_the_commands_json(
                    self.download("save-json", "brevan-check.json"), expected)
                if number == 3:
                    self.assertIn("resonates by itself", json.dumps(json.loads(expected)))
                if extra:
                    for link, name, written in [("save-svg", "brevan-swr.svg", "plot.svg"),
                                                ("save-deck", "brevan-built.nec", "built.nec")]:
                        with open(os.path.join(self.folder, written), "rb") as command_file:
                            self.assertEqual(self.download(link, name), command_file.read())

    # Designs whose check takes the paths of the portable maths the others do not: the angle of
    # an inverted V given by its ends' height (asin), a third level of segments (the
    # convergence rule's log2 and pow), and a low ground other than the default height. At ends
    # 4.4 m high, glibc's and Emscripten's asin differ in the last bit on the printed angle's sine.
    PORTABLE_MATHS = [
        {**TYPICAL, "ground": "average", "height": "10", "shape": "inverted-v",
         "ends-height": "4.4"},
        {"frequency": "3.6", "length": "10", "distance": "2", "wire": "16", "former": "50",
         "coil-length": "60", "coil-wire": "22"},
        {**TYPICAL, "ground": "poor", "height": "5.5"},
    ]

    def test_links_through_the_portable_maths_export_the_commands_json_plot_and_deck(self):
        for design in self.PORTABLE_MATHS:
            with self.subTest(design=design):
                self.open("?" + urllib.parse.urlencode(design))
                self.assertEqual(self.wait_state("done", "failed"), "done")
                expected = command(design, self.folder, "--plot", "plot.svg", "--deck",
                                   "built.nec")
                self.assert_exports_the_commands_json(
                    self.download("save-json", "brevan-check.json"), expected)
                for link, name, written in [("save-svg", "brevan-swr.svg", "plot.svg"),
                                            ("save-deck", "brevan-built.nec", "built.nec")]:
                    with open(os.path.join(self.folder, written), "rb") as command_file:
                        self.assertEqual(self.download(link, name), command_file.read(), name)


# A design file as the check window writes it (check/files/design_file.h, version 2).
WINDOW_FILE = """{
    "format": "brevan-check design",
    "version": 2,
    "frequency_mhz": 3.6,
    "length_a_m": 30,
    "distance_b_m": 5,
    "wire_swg": 14,
    "former_mm": 60,
    "coil_length_mm": 50,
    "coil_wire_swg": 22,
    "pitch_mm": null,
    "coil_q": null,
    "ground": "good",
    "height_m": 9,
    "insulation_thickness_mm": 0.5,
    "insulation_permittivity": 2.3,
    "shape": "inverted-v",
    "leg_angle_deg": null,
    "ends_height_m": 4
}
"""
WINDOW_FIELDS = {"frequency": "3.6", "length": "30", "distance": "5", "wire": "14",
                 "former": "60", "coil-length": "50", "coil-wire": "22", "ground": "good",
                 "height": "9", "shape": "inverted-v", "ends-height": "4", "insulation": "2.3",
                 "insulation-thickness": "0.5"}


# A version 4 file: wires in AWG and millimetres, the turns wound over a length, a solid rod.
BUILT_FILE = """{
    "coil_length_mm": 40,
    "coil_q": null,
    "coil_wire_mm": 1.2,
    "coil_wire_swg": 18,
    "distance_b_m": 3,
    "format": "brevan-check design",
    "former_mm": 50,
    "former_permittivity": 2.1,
    "frequency_mhz": 7.05,
    "ground": "free space",
    "height_m": null,
    "insulation_permittivity": null,
    "insulation_thickness_mm": null,
    "length_a_m": 15,
    "pitch_mm": null,
    "turns": 30,
    "version": 4,
    "winding_length_mm": 45,
    "wire_awg": 14,
    "wire_swg": 16
}

"""
BUILT_FIELDS = {"frequency": "7.05", "length": "15", "distance": "3", "wire": "AWG 14",
                "former": "50", "coil-length": "40", "coil-wire": "1.2mm", "turns": "30",
                "winding-length": "45", "former-material": "2.1"}


class DesignFiles(PageTest):
    def test_a_window_file_opens_on_the_page_and_the_pages_file_opens_in_the_core(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.pick("open-design", "antenna.brevan.json", WINDOW_FILE)
        self.wait_for(lambda: self.field_values(["frequency", "ends-height", "insulation"]) == {
            "frequency": "3.6", "ends-height": "4", "insulation": "2.3"}, "the file's design")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", WINDOW_FIELDS)["report"])
        # Saved by the page, it opens in the core's reader with the same design, and it is the
        # file the window writes for it.
        saved = self.download("save-design", "design.brevan.json").decode("utf-8")
        self.assertEqual(native_file("open", saved, "design.brevan.json"),
                         {"fields": WINDOW_FIELDS, "sweep": None})
        self.assertEqual(json.loads(saved), json.loads(WINDOW_FILE))

    def test_a_version_4_file_opens_on_the_page_and_saves_the_same(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.pick("open-design", "built.brevan.json", BUILT_FILE)
        self.wait_for(lambda: self.field_values(BUILT_FIELDS) == BUILT_FIELDS
                      and self.field_values(["former-kind"]) == {"former-kind": "other"},
                      lambda: "the version 4 file's design: %s" % self.field_values(BUILT_FIELDS))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", BUILT_FIELDS)["report"])
        saved = self.download("save-design", "design.brevan.json").decode("utf-8")
        self.assertEqual(json.loads(saved), json.loads(BUILT_FILE))
        self.assertEqual(native_file("open", saved, "design.brevan.json"),
                         {"fields": BUILT_FIELDS, "sweep": None})

    def test_a_file_that_cannot_be_opened_is_said_in_words_and_the_design_stays(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        verdict = self.texts("verdict")
        cases = [("later.brevan.json", WINDOW_FILE.replace('"version": 2', '"version": 9')),
                 ("notes.txt", "these are not a design"),
                 ("bad.json", WINDOW_FILE.replace('"wire_swg": 14', '"wire_swg": 99'))]
        for name, text in cases:
            with self.subTest(name=name):
                self.drop(name, text)
                expected = native_file("open", text, name)["error"]
                self.assertTrue(expected.endswith("The design shown is kept."), expected)
                self.wait_for(lambda: self.text("file-message") == expected,
                              "the refusal: " + expected, timeout=20)
                self.assertEqual(self.field_values(TYPICAL.keys()), TYPICAL)
                self.assertEqual(self.state(), "done")
                self.assertEqual(self.texts("verdict"), verdict)


class Sweeps(PageTest):
    def measured_json(self, fields, name, text, *feed_line):
        with open(os.path.join(self.folder, name), "w", encoding="utf-8", newline="") as out:
            out.write(text)
        return command(fields, self.folder, "--measured", name, *feed_line)

    def test_a_sweep_gives_the_commands_as_measured_section_and_cut(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assertEqual(self.driver.find_element(By.ID, "feedline-length").is_displayed(), False)
        cases = [  # how the sweep arrives, its file, the feed line typed with it
            ("pick", "dipole.s1p", touchstone_sweep(), {}),
            ("drop", "dipole.csv", csv_sweep(),
             {"feedline-length": "12", "feedline-vf": "0.8", "feedline-loss": "3"}),
        ]
        for how, name, text, line in cases:
            with self.subTest(sweep=name):
                if how == "pick":
                    self.pick("open-sweep", name, text)
                else:
                    self.drop(name, text)
                self.wait_for(lambda: self.driver.find_element(By.ID, "feedline-length")
                              .is_displayed(), "the feed line's fields")
                for option in ("feedline-length", "feedline-vf", "feedline-loss"):
                    self.type_into(option, line.get(option, ""))
                self.wait_for(lambda: self.text("sweep-status") == "Measured sweep: " + name,
                              "the sweep's name")
                self.assertEqual(self.wait_state("done", "failed"), "done")
                self.wait_for(lambda: self.texts("measured-notes"), "the measured notes")
                request = {"fields": {**TYPICAL, **line}, "decimalPoint": ".",
                           "sweep": {"file": name, "text": text}}
                run = subprocess.run([ARGS.tool, "check"], input=json.dumps(request),
                                     capture_output=True, text=True, check=True, timeout=300)
                checked = json.loads(run.stdout)
                self.assertEqual(self.texts("measured-notes"), checked["report"]["measuredNotes"])
                self.assert_shows_report(checked["report"])
                feed = [a for option, value in line.items() for a in ("--" + option, value)]
                exported = self.download("save-json", "brevan-check.json")
                self.assert_exports_the_commands_json(
                    exported, self.measured_json(TYPICAL, name, text, *feed))
                self.assertIn("measured", json.loads(exported))
        # The design saved with its sweep keeps it, and the core reads it back whole.
        saved = self.download("save-design", "design.brevan.json").decode("utf-8")
        opened = native_file("open", saved, "design.brevan.json")
        self.assertEqual(opened["sweep"]["file"], "dipole.csv")
        # The file keeps the sweep line by line: its line ends come back as LF.
        self.assertEqual(opened["sweep"]["text"], csv_sweep().replace("\r\n", "\n"))
        self.assertEqual(opened["fields"]["feedline-length"], "12")
        # Closed, the check is the design's alone again.
        self.driver.find_element(By.ID, "close-sweep").click()
        self.wait_for(lambda: not self.driver.find_element(By.ID, "measured").is_displayed(),
                      "the measured section to go")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(TYPICAL, self.folder))

    def test_a_broken_sweep_shows_its_message_and_keeps_the_results(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        shown = self.download("save-json", "brevan-check.json")
        good = touchstone_sweep()
        cases = [("short.s1p", "# MHz S RI R 50\n7.0 0.1 0.2\n"),
                 ("words.s1p", good.replace("6.900 ", "6.9x ")),
                 ("falling.csv", csv_sweep().replace("6.850,", "6.700,")),
                 ("table.csv", "a,b\n1,2\n")]
        for name, text in cases:
            with self.subTest(name=name):
                self.pick("open-sweep", name, text)
                expected = native_file("sweep", json.dumps({"file": name, "text": text}))
                self.assertFalse(expected["ok"])
                self.assertTrue(expected["message"].startswith("The sweep is not read: " + name),
                                expected)
                self.wait_for(lambda: self.text("file-message") == expected["message"],
                              "the sweep's message: " + expected["message"], timeout=20)
                self.assertEqual(self.state(), "done")
                self.assertFalse(self.driver.find_element(By.ID, "feedline-length").is_displayed())
                self.assertEqual(self.download("save-json", "brevan-check.json"), shown)


class Cancelling(PageTest):
    deck_delay = 0.1  # each engine run waits, so the check is still running when typing resumes

    def test_a_change_during_the_check_cancels_it_and_checks_the_new_design(self):
        self.open()
        self.wait_for(lambda: self.text("engine-status").startswith("Full-wave check: ")
                      and "waiting" not in self.text("engine-status")
                      and self.server.decks_run > 0, "the check to be running")
        self.assertEqual(self.state(), "running")
        self.type_into("length", "16")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        cancelled = self.driver.execute_script(
            "return document.documentElement.dataset.checksCancelled")
        self.assertGreaterEqual(int(cancelled or 0), 1)
        checked = native("check", {**TYPICAL, "length": "16"})
        self.assert_shows_report(checked["report"])


class NoEngine(PageTest):
    engine = False

    def test_an_engine_that_cannot_load_is_said_in_words_and_typing_goes_on(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "failed")
        status = self.text("engine-status")
        self.assertTrue(status.startswith("The full-wave check did not finish: "), status)
        self.assertIn("the engine could not be loaded", status)
        self.type_into("coil-wire", "22")
        quick = native("design", {**TYPICAL, "coil-wire": "22"})
        self.wait_for(lambda: self.rows("design-table") == self.as_rows(quick["report"]["design"]),
                      "the design after the engine failed", timeout=30)
        self.assertEqual(self.wait_state("done", "failed"), "failed")


class CrashingEngine(PageTest):
    engine = "crashing"  # every deck's answer breaks the core that reads it

    # How each full-wave job is started (the check by opening the page), where it says how it
    # ended, and its progress bar.
    JOBS = [
        ("check", lambda test: test.open(), "engine-status",
         "The full-wave check did not finish: ", "check-progress"),
        ("study", lambda test: test.driver.find_element(By.ID, "run-study").click(),
         "study-status", "The study did not finish: ", "study-progress"),
    ]

    def test_a_core_that_crashes_in_a_job_is_said_in_words_and_typing_goes_on(self):
        for name, start, status, words, progress in self.JOBS:
            with self.subTest(job=name):
                start(self)
                said = words + "the stand-in engine broke the core"
                self.wait_for(lambda: self.text(status) == said,
                              lambda: "%s, not %s" % (said, self.text(status)))
                self.assertFalse(self.driver.find_element(By.ID, progress).is_displayed())
                self.assertEqual(self.state(), "failed")
        self.assertFalse(self.driver.find_element(By.ID, "study-plot").is_displayed())
        # The keystroke worker has no engine to crash: the design still follows the typing.
        self.type_into("coil-wire", "22")
        quick = native("design", {**TYPICAL, "coil-wire": "22"})
        self.wait_for(lambda: self.rows("design-table") == self.as_rows(quick["report"]["design"]),
                      "the design after the crashes", timeout=30)


class Phone(PageTest):
    def test_the_phone_width_has_no_sideways_scroll(self):
        self.driver.set_window_size(390, 844)
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        widths = self.driver.execute_script(
            "const e = document.scrollingElement; return [e.scrollWidth, e.clientWidth];")
        self.assertLessEqual(widths[0], widths[1])
        small = self.driver.execute_script(
            "return [...document.querySelectorAll('input, select')]"
            ".filter(e => e.offsetParent && e.getBoundingClientRect().height < 44).map(e => e.id)")
        self.assertEqual(small, [])


    def test_the_plots_type_reads_on_a_phone_and_in_print_and_the_form_needs_no_panel(self):
        # The smallest type of the plot shown, in CSS px as drawn.
        smallest = ("const svg = [...document.querySelectorAll('#swr-plot svg')]"
                    ".find(e => e.getBoundingClientRect().width > 0);"
                    "const box = svg.getBoundingClientRect(), view = svg.viewBox.baseVal;"
                    # A picture held to a height is drawn at the smaller of the two scales.
                    "const scale = Math.min(box.width / view.width, box.height / view.height);"
                    "const sizes = [...svg.querySelectorAll('text')].map(t =>"
                    " parseFloat(getComputedStyle(t).fontSize));"
                    "return Math.min(...sizes) * scale;")
        self.driver.set_window_size(390, 844)
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 800, "deviceScaleFactor": 3, "mobile": True})
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assertGreaterEqual(self.driver.execute_script(smallest), 11.0)
        # Printed, the sheet's plot at its height: 8 pt or more.
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        self.driver.set_window_size(1280, 800)
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        try:
            size = self.driver.execute_script(smallest)
            self.assertGreaterEqual(size * 0.75, 7.95)  # px to pt
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
        # On a 1280 x 800 screen the form scrolls with the page: no panel of its own.
        heights = self.driver.execute_script(
            "const e = document.querySelector('.inputs'); return [e.scrollHeight, e.clientHeight];")
        self.assertLessEqual(heights[0], heights[1] + 1)


class Offline(PageTest):
    def test_a_visited_page_reloads_and_checks_with_the_network_cut(self):
        self.open("?frequency=3.6&length=30&distance=5&wire=14&former=60&coil-length=50"
                  "&coil-wire=22")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.wait_for(lambda: self.driver.execute_script(
            "return navigator.serviceWorker.controller !== null"),
            "the service worker to take the page", timeout=60)
        # Installable: the manifest reads without errors and names its icons, which are served.
        manifest = self.driver.execute_cdp_cmd("Page.getAppManifest", {})
        self.assertEqual(manifest.get("errors"), [])
        icons = json.loads(manifest["data"])["icons"]
        self.assertEqual(sorted(icon["sizes"] for icon in icons), ["192x192", "512x512"])
        for icon in icons:
            self.assertTrue((pathlib.Path(ARGS.dist) / icon["src"]).is_file(), icon)
        served = len(self.server.paths)
        self.server.stop()
        self.driver.refresh()
        self.wait_state("done", "failed")
        for option, text in TYPICAL.items():
            self.type_into(option, text)
        quick = native("design", TYPICAL)
        self.wait_for(lambda: self.rows("design-table") == self.as_rows(quick["report"]["design"]),
                      "the typed design's figures with the network cut", timeout=30)
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", TYPICAL)["report"])
        self.assertEqual(len(self.server.paths), served)


class Print(PageTest):
    PAPERS = {"A4": (8.27, 11.69), "Letter": (8.5, 11.0)}  # inches
    SHEET = ["Design", "What it means", "Cut list, each half of the dipole", "SWR plot",
             "Design and coil", "Coil wire"]

    # The typical design, and one with every optional row and more warnings to fit.
    DESIGNS = [TYPICAL, {**TYPICAL, "ground": "average", "height": "8", "shape": "inverted-v",
                         "leg-angle": "110", "insulation": "pvc", "insulation-thickness": "0.8",
                         "pitch": "2", "coil-q": "150"}, BUILT_COILS[1]]
    # Long coils on 80 m that need matching: their row, the uncertainty's reason, the matching
    # and four warnings fit an A4 page (on Letter the cut list's table still goes over).
    LONG_COILS = {"frequency": "3.6", "length": "14", "distance": "3", "wire": "16",
                  "former": "100", "coil-length": "390", "coil-wire": "18", "pitch": "6.5",
                  "turns": "42"}

    def test_a_long_coils_sheet_prints_on_one_a4_page(self):
        self.open("?" + urllib.parse.urlencode(self.LONG_COILS))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        info, text = self.print_sheet(*self.PAPERS["A4"])
        self.assertIn("\nPages:           1\n", info)
        self.assertIn("A long coil", text)
        self.assertIn("of it is the long coils'", text)

    def test_the_build_sheet_prints_on_one_page(self):
        for design in self.DESIGNS:
            self.open("?" + urllib.parse.urlencode(design))
            self.assertEqual(self.wait_state("done", "failed"), "done")
            # The verdict as the sheet words it: what the coils and tips hold in one line.
            verdict = self.texts("sheet-verdict")
            self.assertTrue(any(line.startswith("At 100 W SSB") for line in verdict))
            for paper, (width, height) in self.PAPERS.items():
                with self.subTest(paper=paper, design=design):
                    info, text = self.print_sheet(width, height)
                    self.assertIn("\nPages:           1\n", info)
                    # The tolerance table and what matters most.
                    self.assertTrue(self.driver.find_element(By.ID, "tolerances").is_displayed())
                    tolerances = ["How exactly to build it", "Resonance moves",
                                  self.text("tolerance-sentence")]
                    # Whitespace apart: a line may break after the hyphen of "self-capacitance".
                    flat = "".join(text.split())
                    for words in self.SHEET + verdict + tolerances:
                        self.assertIn("".join(words.split()), flat)

    def test_the_build_sheet_with_a_sweep_prints_on_one_page(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.pick("open-sweep", "dipole.s1p", touchstone_sweep())
        self.wait_for(lambda: self.text("sweep-status") == "Measured sweep: dipole.s1p",
                      "the sweep's name")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.wait_for(lambda: self.texts("measured-notes"), "the measured notes")
        # The sweep in words first: its lowest SWR, the SWR at F and the 2:1 band.
        self.assertTrue(self.texts("measured-notes")[0].startswith("The sweep (6.800 to 7.300 MHz)"))
        for paper, (width, height) in self.PAPERS.items():
            with self.subTest(paper=paper):
                info, text = self.print_sheet(width, height)
                self.assertIn("\nPages:           1\n", info)
                self.assertIn("Asmeasured", "".join(text.split()))

    def print_sheet(self, width, height):
        """The browser's print of the page as pdfinfo and pdftotext read it."""
        pdf = self.driver.execute_cdp_cmd("Page.printToPDF", {
            "paperWidth": width, "paperHeight": height})
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "sheet.pdf")
            with open(path, "wb") as f:
                f.write(base64.b64decode(pdf["data"]))
            info = subprocess.run(["pdfinfo", path], capture_output=True, text=True,
                                  check=True).stdout
            text = subprocess.run(["pdftotext", "-layout", path, "-"],
                                  capture_output=True, text=True, check=True).stdout
        return info, text


class Accessibility(PageTest):
    IMPACTS = ("serious", "critical")

    def audit(self):
        self.driver.set_script_timeout(120)
        if not self.driver.execute_script("return typeof axe !== 'undefined'"):
            with open(ARGS.axe, encoding="utf-8") as f:
                self.driver.execute_script(f.read())
        return self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "axe.run(document).then(r => done(r.violations.map(v => ({id: v.id, impact: v.impact,"
            "  nodes: v.nodes.map(n => n.target.join(' '))}))), e => done(String(e)));")

    def test_axe_finds_nothing_serious_in_light_or_dark(self):
        for scheme in ("light", "dark"):
            for refused in (False, True):
                with self.subTest(scheme=scheme, refused=refused):
                    self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
                        "features": [{"name": "prefers-color-scheme", "value": scheme}]})
                    self.open("?" + urllib.parse.urlencode(
                        {**TYPICAL, "frequency": "abc" if refused else TYPICAL["frequency"]}))
                    self.assertEqual(self.wait_state("done", "failed"),
                                     "failed" if refused else "done")
                    violations = self.audit()
                    self.assertIsInstance(violations, list, violations)
                    self.assertEqual([v for v in violations if v["impact"] in self.IMPACTS], [])


class Keyboard(PageTest):
    def test_fields_are_named_the_verdict_is_live_and_tab_follows_the_page(self):
        self.open("?" + urllib.parse.urlencode({**TYPICAL, "ground": "average", "height": "8",
                                                "shape": "inverted-v", "leg-angle": "110",
                                                "insulation": "3", "insulation-thickness": "0.5"}))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        # Every field a person can reach has a name a screen reader says.
        fields = [f for f in self.driver.find_elements(By.CSS_SELECTOR, "input, select, button")
                  if f.is_displayed()]
        self.assertGreater(len(fields), 15)
        for field in fields:
            with self.subTest(field=field.get_attribute("id")):
                self.assertTrue(field.accessible_name.strip())
        # The verdict, the check's state and the read-outs are announced when they change.
        for element_id, live in [("verdict", "polite"), ("plot-readout", "polite"),
                                 ("study-choice", "polite")]:
            self.assertEqual(self.driver.find_element(By.ID, element_id)
                             .get_attribute("aria-live"), live)
        for element_id in ("engine-status", "study-status"):
            self.assertEqual(self.driver.find_element(By.ID, element_id).get_attribute("role"),
                             "status")
        # Tab goes through the form's fields as they stand on the screen, top to bottom, then
        # through the results in their order.
        order = self.driver.execute_script("""
            const reachable = e => e.offsetParent !== null && !e.disabled && e.tabIndex >= 0;
            const place = e => { const r = e.getBoundingClientRect(); return [r.top, r.left]; };
            const form = [...document.querySelectorAll(
                '#design-form input, #design-form select, #design-form button')].filter(reachable);
            form.sort((a, b) => place(a)[0] - place(b)[0] || place(a)[1] - place(b)[1]);
            const results = [...document.querySelectorAll(
                '.results a[href], .results button, .results [tabindex], .results summary')]
                .filter(reachable);
            return [form.map(e => e.id), results.map(e => e.id || e.tagName)];""")
        # Nothing has had the focus yet: the first Tab starts at the top of the page.
        tabbed = []
        for _ in range(len(order[0]) + len(order[1])):
            webdriver.ActionChains(self.driver).send_keys(Keys.TAB).perform()
            tabbed.append(self.focused())
        self.assertEqual(tabbed, order[0] + order[1])
        self.assertIn("swr-plot", order[1])
        self.assertIn("run-study", order[1])

    def test_the_plot_read_out_follows_the_arrow_keys(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        curves = native("check", TYPICAL)["report"]["plotCurves"]
        self.tab_until("swr-plot")
        readouts = []
        for key in (Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.ARROW_LEFT, Keys.ARROW_LEFT):
            webdriver.ActionChains(self.driver).send_keys(key).perform()
            readouts.append(self.text("plot-readout"))
        for readout in readouts:
            parts = readout.split("; ")
            self.assertEqual(len(parts), len(curves))
            for part, curve in zip(parts, curves):
                self.assertIn(part, [point["text"] for point in curve["points"]])
        # Right moves along the curve; left comes back the same way.
        self.assertNotEqual(readouts[0], readouts[1])
        self.assertEqual(readouts[0], readouts[2])


class Study(PageTest):
    def choice(self):
        return self.text("study-choice")

    def test_the_study_is_the_cores_and_takes_a_b_by_click_or_keyboard(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        expected = native("study", TYPICAL)
        self.assertTrue(expected["studied"])
        self.driver.find_element(By.ID, "run-study").click()
        self.wait_for(lambda: self.text("study-status") == expected["status"],
                      lambda: "the study: " + self.text("study-status"))
        self.assertEqual(self.texts("study-sentences"), expected["sentences"])
        points = expected["points"]
        self.assertGreater(len(points), 3)
        # The picture is the core's own: its curves and markers, one dot per position found.
        shown = self.driver.execute_script(
            "return document.querySelector('#study-plot svg').outerHTML")
        self.assertEqual(shown.count("<circle"), expected["svg"].count("<circle"))
        # The keyboard: Home, then right twice, says each position; Enter takes it as B.
        self.tab_until("study-plot")
        spoken = [p["spoken"] + ". Press Enter to take this position." for p in points]
        for key, index in [(Keys.HOME, 0), (Keys.ARROW_RIGHT, 1), (Keys.ARROW_RIGHT, 2),
                           (Keys.END, len(points) - 1), (Keys.ARROW_LEFT, len(points) - 2)]:
            webdriver.ActionChains(self.driver).send_keys(key).perform()
            self.assertEqual(self.choice(), spoken[index])
        webdriver.ActionChains(self.driver).send_keys(Keys.ENTER).perform()
        taken = points[len(points) - 2]
        self.wait_for(lambda: self.field_values(["distance"])["distance"] == taken["take"],
                      "B taken from the study")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", {**TYPICAL, "distance": taken["take"]})["report"])
        design = native("design", {**TYPICAL, "distance": taken["take"]})
        self.assertEqual(self.text("study-status"), "Studied with B = %s m; B is now %s m." % (
            expected["distance"], design["study"]["distance"]))
        # A click on a position's dot takes that one.
        svg = self.driver.find_element(By.CSS_SELECTOR, "#study-plot svg")
        box = svg.rect
        width = expected["frame"][0]
        for index in (0, 1):
            x = points[index]["x"] / width * box["width"] - box["width"] / 2
            webdriver.ActionChains(self.driver).move_to_element_with_offset(svg, int(round(x)), 0) \
                .click().perform()
            self.wait_for(lambda: self.field_values(["distance"])["distance"]
                          == points[index]["take"], "the clicked position's B")
            self.assertEqual(self.choice(), spoken[index])
        # Any other change of the design puts the study away.
        self.type_into("length", "16")
        self.wait_for(lambda: self.text("study-status")
                      == "The design has changed: run the study again.", "the study put away")
        self.assertFalse(self.driver.find_element(By.ID, "study-plot").is_displayed())
        self.assertEqual(self.texts("study-sentences"), [])


class Power(PageTest):
    def test_a_link_with_a_power_and_mode_gives_the_commands_figures_and_keeps_them(self):
        design = {**TYPICAL, "power": "400", "mode": "cw"}
        self.open("?" + urllib.parse.urlencode(design))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        report = native("check", design)["report"]
        self.assertTrue(report["power"]["title"].startswith("At 400 W CW"))
        self.assert_shows_report(report)
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(design, self.folder))
        link = self.driver.find_element(By.ID, "share-link").get_attribute("href")
        self.assertEqual(dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(link).query)), design)
        # Back to SSB by the picker: the link drops the mode, and a refused power says so.
        self.type_into("mode", "")
        self.driver.execute_script("document.getElementById('power').scrollIntoView()")
        self.type_into("power", "-5")
        self.wait_for(lambda: "out of range" in self.text("power-message"),
                      "the power's refusal beside its field", timeout=30)


class LargeInputs(PageTest):
    def test_a_30000_point_sweep_a_2_mb_paste_and_a_file_too_large_freeze_nothing(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        # 30,000 points, a megabyte, as brevan-check --measured reads it: read and checked.
        lines = ["# MHz S RI R 50"]
        for step in range(30000):
            mhz = 6.8 + step * 0.00001
            z = complex(38, 1500 * (mhz / 7.0 - 7.0 / mhz))
            s11 = (z - 50) / (z + 50)
            lines.append("%.5f %.9f %.9f" % (mhz, s11.real, s11.imag))
        big = "\n".join(lines) + "\n"
        self.assertGreater(len(big), 900_000)
        self.pick("open-sweep", "long.s1p", big)
        self.wait_for(lambda: self.text("sweep-status") == "Measured sweep: long.s1p",
                      "the long sweep's name", timeout=60)
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.wait_for(lambda: self.texts("measured-notes"), "the measured notes", timeout=60)
        self.driver.find_element(By.ID, "close-sweep").click()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        # Two million characters pasted into a field: refused in a few words, and typing goes on.
        self.driver.execute_script(
            "const field = document.getElementById('length');"
            "field.value = '1'.repeat(2000000);"
            "field.dispatchEvent(new Event('input', {bubbles: true}));")
        self.wait_for(lambda: self.text("length-message") != "", "the paste's refusal", timeout=60)
        self.assertLess(len(self.text("length-message")), 400)
        self.assertIn("(2000000 characters)", self.text("length-message"))
        self.type_into("length", "15")
        self.assertEqual(self.wait_state("done", "failed"), "done")
        # A file above the page's limit is refused before it is read.
        path = os.path.join(self.folder, "huge.s1p")
        with open(path, "wb") as out:
            out.write(b"!" * (17 * 1024 * 1024))
        self.driver.find_element(By.ID, "open-sweep").send_keys(path)
        self.wait_for(lambda: "the page opens files of up to 16 MB" in self.text("file-message"),
                      "the file's refusal", timeout=30)
        self.assertEqual(self.state(), "done")


class DecimalComma(PageTest):
    def test_a_comma_locale_takes_its_comma_in_every_number_field(self):
        self.driver.execute_cdp_cmd("Emulation.setLocaleOverride", {"locale": "de-DE"})
        try:
            self.open()
            self.assertEqual(self.wait_state("done", "failed"), "done")
            typed = {"frequency": "7,05", "length": "15,2", "former": "50,5", "pitch": "1,2",
                     "coil-q": "150,5", "power": "400,5"}
            for option, text in typed.items():
                self.type_into(option, text)
            state = self.wait_state("done", "failed")
            self.assertEqual(self.shown_refusals(), {})
            self.assertEqual(state, "done", self.text("engine-status"))
            design = {**TYPICAL, **{o: t.replace(",", ".") for o, t in typed.items()}}
            self.assert_exports_the_commands_json(
                self.download("save-json", "brevan-check.json"), command(design, self.folder))
            # A refusal says which decimal points the field takes, in the field's words.
            self.type_into("frequency", "7,0,5")
            self.wait_for(lambda: "with a full stop or ',' as the decimal point"
                          in self.text("frequency-message"), "the comma's refusal", timeout=20)
            self.assertTrue(self.text("frequency-message").startswith("Frequency F: "))
        finally:
            self.driver.execute_cdp_cmd("Emulation.setLocaleOverride", {})


class FeetAndInches(PageTest):
    def test_a_link_in_feet_and_inches_gives_the_commands_json(self):
        design = {**TYPICAL, "length": "49 ft 2.5 in", "distance": "9.84ft", "former": "2in",
                  "pitch": "20tpi", "coil-wire": "0.5mm2"}
        self.open("?" + urllib.parse.urlencode(design))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", design)["report"])
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(design, self.folder))
        # The fields keep what was typed, and a phone offers letters and quotes in them.
        self.assertEqual(self.driver.find_element(By.ID, "length").get_attribute("value"),
                         "49 ft 2.5 in")
        self.assertEqual(self.driver.find_element(By.ID, "length").get_attribute("inputmode"),
                         "text")
        # A newcomer is told what A, B and the coil length are, beside each field.
        for option, words in [("length", "Tip to tip"), ("distance", "to the middle of each coil"),
                              ("coil-length", "revised length")]:
            help_id = option + "-help"
            self.assertIn(words, self.text(help_id))
            self.assertIn(help_id, self.driver.find_element(By.ID, option)
                          .get_attribute("aria-describedby"))


class BuiltCoil(PageTest):
    def test_links_to_built_coils_export_the_commands_json(self):
        for design in BUILT_COILS:
            with self.subTest(design=design):
                self.open("?" + urllib.parse.urlencode(design))
                self.assertEqual(self.wait_state("done", "failed"), "done")
                self.assert_shows_report(native("check", design)["report"])
                self.assert_exports_the_commands_json(
                    self.download("save-json", "brevan-check.json"),
                    command(design, self.folder))
                link = self.driver.find_element(By.ID, "share-link").get_attribute("href")
                self.assertEqual(dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(link).query)),
                                 design)

    def test_a_typed_built_coil_gives_the_commands_json(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        design = {**TYPICAL, "coil-wire": "AWG 12", "turns": "28", "winding-length": "70",
                  "former-material": "2.5"}
        for option in ("coil-wire", "turns", "winding-length"):
            self.type_into(option, design[option])
        self.type_into("former-kind", "other")
        self.type_into("former-material", design["former-material"])
        quick = native("design", design)
        self.wait_for(lambda: self.texts("coil-notes") == quick["report"]["coilNotes"],
                      "the table gauge the typed design used", timeout=30)
        self.assertIn("Coil wire in the design: SWG ", self.texts("coil-notes")[0])
        self.assertEqual(self.rows("design-table"), self.as_rows(quick["report"]["design"]))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", design)["report"])
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(design, self.folder))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--check", required=True, help="the native brevan-check")
    parser.add_argument("--axe", required=True, help="axe-core's axe.min.js, from npm")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
