# SPDX-License-Identifier: GPL-3.0-or-later
"""The full-wave check stopped, without its engine, and with an engine that crashes."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

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
