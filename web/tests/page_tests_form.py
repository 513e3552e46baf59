# SPDX-License-Identifier: GPL-3.0-or-later
"""Typing a design, the link it makes and the exports, held to the native core and the command."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

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

    def test_the_fields_labels_and_units_are_the_cores_table(self):
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        fields = json.loads(subprocess.run([page_harness.ARGS.tool, "fields"], capture_output=True, text=True,
                                           check=True).stdout)
        self.assertGreaterEqual(len(fields), 25)
        pickers = {"former-material": "former-kind", "insulation": "insulation-kind"}
        shown = self.driver.execute_script(
            "const text = s => { const e = document.querySelector(s); return e && e.textContent; };"
            "return arguments[0].map(f => [text(`label[for='${f.option}']`),"
            " text(`[data-row='${f.option}'] .unit`),"
            " f.picker && text(`label[for='${arguments[1][f.option]}']`)]);", fields, pickers)
        for field, (label, unit, picker) in zip(fields, shown):
            with self.subTest(option=field["option"]):
                self.assertEqual(label, field["label"])
                self.assertEqual(unit, field["unit"])
                self.assertEqual(picker, field["picker"])

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
        # Only the fields whose text a case changes are retyped, as a person would edit them:
        # retyping all thirteen key by key would take most of the test's time.
        shown = self.field_values(list(TYPICAL) + list(optional) + ["former-kind"])
        for case in cases:
            with self.subTest(case=case):
                wanted = {**TYPICAL, **{o: case.get(o, "") for o in optional}, **case,
                          "former-kind": "other" if "former-material" in case else ""}
                # The other rod's permittivity is typed once "Other rod" is picked.
                for option, text in wanted.items():
                    if option == "former-material" or shown.get(option) == text:
                        continue
                    self.type_into(option, text)
                    shown[option] = text
                if "former-material" in case:
                    self.type_into("former-material", case["former-material"])
                fields = {o: text for o, text in wanted.items() if o != "former-kind"}
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


class Exports(PageTest):
    # Designs opened by link; each is checked and shown as brevan-check checks it, keeps the
    # link's values in its fields and exports what the command prints for the same options.
    # Per design: whether its shown report is held to the core's, whether its plot and deck
    # are exported, and a phrase its report must hold. A shown report over ground is held in
    # the design files' test, average ground by the portable maths' designs below.
    DESIGNS = [
        # Low, at a height other than the default: the portable maths of a low ground.
        ({**TYPICAL, "ground": "good", "height": "5.5"}, False, True, None),
        ({**TYPICAL, "shape": "inverted-v", "leg-angle": "110", "insulation": "pvc",
          "insulation-thickness": "0.8"}, True, False, None),
        # A coil that resonates by itself below F: the check goes on and says so.
        ({**TYPICAL, "frequency": "14.2", "length": "4", "distance": "0.5", "former": "110",
          "coil-length": "300", "coil-wire": "30"}, False, False, "resonates by itself"),
    ]

    def test_a_link_opens_its_design_checks_it_and_exports_the_commands_json_plot_and_deck(self):
        for design, shows_report, plot_and_deck, phrase in self.DESIGNS:
            with self.subTest(design=design):
                self.open("?" + urllib.parse.urlencode(design))
                self.assertEqual(self.wait_state("done", "failed"), "done")
                for option in ("height", "leg-angle", "insulation-thickness"):
                    if option in design:
                        self.assertEqual(
                            self.driver.find_element(By.ID, option).get_attribute("value"),
                            design[option])
                if shows_report:
                    checked = native("check", design)
                    self.assertTrue(checked["checked"])
                    self.assert_shows_report(checked["report"])
                extra = ["--plot", "plot.svg", "--deck", "built.nec"] if plot_and_deck else []
                expected = command(design, self.folder, *extra)
                self.assert_exports_the_commands_json(
                    self.download("save-json", "brevan-check.json"), expected)
                if phrase:
                    self.assertIn(phrase, json.dumps(json.loads(expected)))
                if plot_and_deck:
                    self.assert_exports_the_commands_plot_and_deck()

    # Designs whose check takes the paths of the portable maths the others do not: the angle of
    # an inverted V given by its ends' height (asin) and a third level of segments (the
    # convergence rule's log2 and pow); a low ground is the first of the designs above. At ends
    # 4.4 m high, glibc's and Emscripten's asin differ in the last bit on the printed angle's sine.
    PORTABLE_MATHS = [
        {**TYPICAL, "ground": "average", "height": "10", "shape": "inverted-v",
         "ends-height": "4.4"},
        {"frequency": "3.6", "length": "10", "distance": "2", "wire": "16", "former": "50",
         "coil-length": "60", "coil-wire": "22"},
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
                self.assert_exports_the_commands_plot_and_deck()

    def assert_exports_the_commands_plot_and_deck(self):
        """The page's plot and deck are the files brevan-check wrote in the test's folder."""
        for link, name, written in [("save-svg", "brevan-swr.svg", "plot.svg"),
                                    ("save-deck", "brevan-built.nec", "built.nec")]:
            with open(os.path.join(self.folder, written), "rb") as command_file:
                self.assertEqual(self.download(link, name), command_file.read(), name)


# A design file as the check window writes it (check/files/design_file.h, version 2).
