# SPDX-License-Identifier: GPL-3.0-or-later
"""The page by keyboard and screen reader, and the coil-position study."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

class Accessibility(PageTest):
    IMPACTS = ("serious", "critical")

    def audit(self):
        self.driver.set_script_timeout(120)
        if not self.driver.execute_script("return typeof axe !== 'undefined'"):
            with open(page_harness.ARGS.axe, encoding="utf-8") as f:
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
        # Every optional field shown. Over perfect ground: the height shows as over any ground,
        # and the check is a fifth of a lossy ground's (nec2c's Sommerfeld ground for each run).
        self.open("?" + urllib.parse.urlencode({**TYPICAL, "ground": "perfect", "height": "8",
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
