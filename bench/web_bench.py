# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page's speed in headless Chromium beside the native brevan-check, on this machine.

Prints, for the typical design: the full check in the page (from the last change to
data-check="done", and less the page's pause before it starts) against brevan-check's wall time;
one keystroke's design update (input event to the redrawn design table: median, 95th
percentile and worst of a hundred); what the first visit
transfers (the bytes served, and what a host compressing with gzip -9 would send); and how many
files a repeat visit asks the host for. Reported, never asserted: the machine is shared.

    python3 bench/web_bench.py --dist BUILD/web-page/dist --check BUILD/cli/brevan-check
"""

import argparse
import gzip
import json
import pathlib
import shutil
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "web" / "tests"))
from browser_test import TYPICAL, start_browser  # noqa: E402
from test_server import Server  # noqa: E402

PAUSE_MS = 300  # checking.js: the pause after the last change before the check starts
ROUNDS = 5
KEYSTROKES = 100  # enough for a 95th percentile that is not just the second-worst key

# Changes a field's text (as typing does), then resolves with the milliseconds until the
# watched thing happens: the root's data-check turning "done", or the design table redrawn.
MEASURE = """
const [field, text, watch, done] = arguments;
const root = document.documentElement;
const target = watch === "check" ? root : document.getElementById("design-table");
const start = performance.now();
const observer = new MutationObserver(() => {
  if (watch !== "check" || root.dataset.check === "done") {
    observer.disconnect();
    done(performance.now() - start);
  }
});
observer.observe(target, watch === "check" ? { attributes: true, attributeFilter: ["data-check"] }
                                           : { childList: true, subtree: true, characterData: true });
const input = document.getElementById(field);
input.value = text;
input.dispatchEvent(new Event("input", { bubbles: true }));
"""


def native_check_s(check):
    options = [arg for option, text in TYPICAL.items() for arg in ("--" + option, text)]
    times = []
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run([check] + options, check=True, capture_output=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def wait_done(driver):
    end = time.time() + 300
    while driver.execute_script("return document.documentElement.dataset.check") != "done":
        if time.time() > end:
            raise RuntimeError("the page's check did not finish")
        time.sleep(0.05)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True, type=pathlib.Path)
    parser.add_argument("--check", required=True, help="the native brevan-check")
    args = parser.parse_args()

    native = native_check_s(args.check)
    with Server(args.dist) as server:
        driver = start_browser()
        try:
            driver.set_script_timeout(120)
            driver.get(server.url)
            wait_done(driver)
            first_paths = list(server.paths)
            files = {p.lstrip("/").split("?")[0] or "index.html" for p in first_paths}
            files = {f for f in files if (args.dist / f).is_file()}
            raw = sum((args.dist / f).stat().st_size for f in files)
            gzipped = sum(len(gzip.compress((args.dist / f).read_bytes(), 9)) for f in files)
            checks = [driver.execute_async_script(MEASURE, "length", "15" if i % 2 else "15.0",
                                                  "check") for i in range(ROUNDS)]
            keys = [driver.execute_async_script(MEASURE, "coil-length", str(41 - i % 2), "design")
                    for i in range(KEYSTROKES)]
            wait_done(driver)
            before = len(server.paths)
            driver.refresh()
            wait_done(driver)
            repeat = server.paths[before:]
        finally:
            driver.quit()
            shutil.rmtree(driver.profile, ignore_errors=True)
    check_ms = statistics.median(checks)
    print(json.dumps({
        "native_check_s": round(native, 3),
        "page_check_s": round(check_ms / 1000, 3),
        "page_check_less_pause_s": round((check_ms - PAUSE_MS) / 1000, 3),
        "ratio_less_pause": round((check_ms - PAUSE_MS) / 1000 / native, 2),
        "keystroke_design_update_ms_median": round(statistics.median(keys), 1),
        "keystroke_design_update_ms_p95": round(statistics.quantiles(keys, n=20)[-1], 1),
        "keystroke_design_update_ms_max": round(max(keys), 1),
        "first_visit_requests": len(first_paths),
        "first_visit_files": len(files),
        "first_visit_bytes": raw,
        "first_visit_bytes_gzip9": gzipped,
        "repeat_visit_requests": repeat,
    }, indent=2))


if __name__ == "__main__":
    main()
