# SPDX-License-Identifier: GPL-3.0-or-later
"""What the page's browser tests share: the page's and the command's own answers to compare
with, the sweeps and files they open, one Chromium for the whole run, and PageTest, which
serves each test a page of its own. ARGS is set by browser_test.py before any test runs."""

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
