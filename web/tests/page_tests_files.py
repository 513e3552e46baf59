# SPDX-License-Identifier: GPL-3.0-or-later
"""Design files and analyser sweeps opened on the page, held to the command's own readers."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

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
                run = subprocess.run([page_harness.ARGS.tool, "check"], input=json.dumps(request),
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
