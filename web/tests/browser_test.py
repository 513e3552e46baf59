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


from page_tests_form import *  # noqa: F401,F403 (its test classes, run by name)
from page_tests_files import *  # noqa: F401,F403 (its test classes, run by name)
from page_tests_engine import *  # noqa: F401,F403 (its test classes, run by name)
from page_tests_devices import *  # noqa: F401,F403 (its test classes, run by name)
from page_tests_access import *  # noqa: F401,F403 (its test classes, run by name)
from page_tests_inputs import *  # noqa: F401,F403 (its test classes, run by name)

import argparse  # noqa: E402
import sys  # noqa: E402
import unittest  # noqa: E402

import page_harness  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--check", required=True, help="the native brevan-check")
    parser.add_argument("--axe", required=True, help="axe-core's axe.min.js, from npm")
    page_harness.ARGS, rest = parser.parse_known_args()
    try:
        result = unittest.main(argv=[sys.argv[0]] + rest, verbosity=2, exit=False).result
    finally:
        page_harness.quit_browser()
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
