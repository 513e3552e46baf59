# SPDX-License-Identifier: GPL-3.0-or-later
"""The power, large inputs, the decimal comma, feet and inches, and the coil as built."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

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

    def test_feet_and_inches_out_by_link_are_the_commands_and_are_remembered(self):
        design = {**TYPICAL, "units": "imperial"}
        self.open("?" + urllib.parse.urlencode(design))
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assert_shows_report(native("check", design)["report"])
        cut = {row[0]: row[1] for row in self.rows("cut-table")}
        self.assertRegex(cut["Outer wire to cut"], r"^\d+ ft( \d+)?( \d/\d)?( in)?$")
        self.assertIn(" ft", self.driver.find_element(By.ID, "drawing").text)
        # The JSON stays in SI units, as the command's does.
        self.assert_exports_the_commands_json(self.download("save-json", "brevan-check.json"),
                                              command(design, self.folder))
        # Chosen on the page, the units are the visitor's: opened again with no link, it keeps
        # them (a link's are for that visit).
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assertEqual(self.driver.find_element(By.ID, "units").get_attribute("value"), "")
        self.type_into("units", "imperial")
        self.wait_for(lambda: " ft" in {row[0]: row[1] for row in self.rows("cut-table")}
                      ["Outer wire to cut"], "the cut list in feet and inches", timeout=30)
        self.open()
        self.assertEqual(self.wait_state("done", "failed"), "done")
        self.assertEqual(self.driver.find_element(By.ID, "units").get_attribute("value"),
                         "imperial")
        self.assertIn(" ft", {row[0]: row[1] for row in self.rows("cut-table")}["Outer wire to cut"])


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
