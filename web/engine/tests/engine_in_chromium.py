# SPDX-License-Identifier: GPL-3.0-or-later
"""The engine in a real Web Worker of Debian's Chromium, headless, under a strict
Content-Security-Policy: loaded asynchronously and synchronously, a good deck runs as natively,
a trap and a refused deck are reported in words, and the good deck then runs again the same.

  engine_in_chromium.py ENGINE_DIR DECK NODE ENGINE_TEST_MJS NEC2C

ENGINE_DIR holds the built nec2c.js and nec2c.wasm; the page and worker are beside this file.
The good deck's output from the browser is held to native nec2c by engine_test.mjs's
comparison. Exit status: 0 held; 1 not; 77 Chromium, its driver or Selenium is missing.
"""

import functools
import http.server
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
except ImportError:
    print("SKIP: python3-selenium is missing")
    sys.exit(77)

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE_DIR = os.path.join(HERE, "browser")
# What the page will be served with: nothing from elsewhere, no inline script, no eval; the
# engine needs only WebAssembly compilation.
CSP = ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; worker-src 'self'; "
       "connect-src 'self'; object-src 'none'; base-uri 'none'")
TIMING = re.compile(r"(FILL|FACTOR|TOTAL RUN TIME): +-?\d+ msec")


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, engine_dir, deck, **kwargs):
        self.engine_dir = engine_dir
        self.deck = deck
        super().__init__(*args, directory=PAGE_DIR, **kwargs)

    def translate_path(self, path):
        path = path.split("?", 1)[0]
        if path.startswith("/engine/"):
            return os.path.join(self.engine_dir, os.path.basename(path))
        if path == "/good.nec":
            return self.deck
        return super().translate_path(path)

    def do_GET(self):
        if self.path == "/favicon.ico":
            self.send_response(204)
            self.end_headers()
            return
        super().do_GET()

    def end_headers(self):
        self.send_header("Content-Security-Policy", CSP)
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


def failures_of(report, native_check):
    """What is wrong with one worker's report, as sentences."""
    load = report.get("load")
    if "error" in report:
        return [f"{load}: {report['error']}"]
    good, trap, refused, again = report["runs"]
    found = []
    if not good["ok"]:
        found.append(f"{load}: the good deck failed: {good['error']}")
    elif native_check(good["output"]) is not None:
        found.append(f"{load}: the good deck's output is not native nec2c's:\n"
                     + native_check(good["output"]))
    if trap["ok"] or trap["exitCode"] is not None or not re.match(
            r"nec2c stopped with an internal error \(.*divide by zero", trap["error"]):
        found.append(f"{load}: the trap was reported as {json.dumps(trap)[:300]}")
    if refused["ok"] or refused["exitCode"] != 255 or \
            "FAULTY DATA CARD LABEL AFTER GEOMETRY SECTION" not in refused["error"]:
        found.append(f"{load}: the refused deck was reported as {json.dumps(refused)[:300]}")
    if not again["ok"] or TIMING.sub("", again["output"]) != TIMING.sub("", good["output"]):
        found.append(f"{load}: the good deck ran differently after the failures")
    return found


def main():
    if len(sys.argv) != 6:
        print(__doc__, file=sys.stderr)
        return 2
    engine_dir, deck, node, engine_test, nec2c = sys.argv[1:]
    chromium = "/usr/bin/chromium"
    driver_path = "/usr/bin/chromedriver"
    if not (os.access(chromium, os.X_OK) and os.access(driver_path, os.X_OK)):
        print("SKIP: chromium or chromium-driver is missing")
        return 77

    def native_check(output):
        with tempfile.NamedTemporaryFile("w", suffix=".out", delete=False) as f:
            f.write(output)
        try:
            run = subprocess.run([node, engine_test, "compare", nec2c, deck, f.name],
                                 capture_output=True, text=True, check=False)
        finally:
            os.unlink(f.name)
        return None if run.returncode == 0 else run.stdout + run.stderr

    handler = functools.partial(Handler, engine_dir=engine_dir, deck=deck)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = Options()
    options.binary_location = chromium
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage"):
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    browser = webdriver.Chrome(service=Service(driver_path), options=options)
    try:
        browser.get(f"http://127.0.0.1:{server.server_address[1]}/index.html")
        deadline = time.monotonic() + 240
        while time.monotonic() < deadline and browser.execute_script(
                "return document.documentElement.dataset.done !== 'true'"):
            time.sleep(0.2)
        reports = json.loads(browser.find_element("id", "result").text or "[]")
        console = [e["message"] for e in browser.get_log("browser") if e["level"] == "SEVERE"]
    finally:
        browser.quit()
        server.shutdown()

    found = [] if len(reports) == 2 else [f"{len(reports)} of 2 workers reported in time"]
    for report in reports:
        found += failures_of(report, native_check)
    found += [f"console: {message}" for message in console]
    for line in found:
        print("FAIL " + line)
    if not found:
        for report in reports:
            print(f"ok   {report['load']} load: the good deck as natively, the trap and the "
                  "refused deck in words, the good deck again the same")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
