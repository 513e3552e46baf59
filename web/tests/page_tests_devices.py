# SPDX-License-Identifier: GPL-3.0-or-later
"""The page on a phone, offline and printed."""

import page_harness
from page_harness import *  # noqa: F401,F403 (the harness's helpers, names and modules)

# The smallest type of the plot shown, in CSS px as drawn.
SMALLEST_PLOT_TYPE = (
    "const svg = [...document.querySelectorAll('#swr-plot svg')]"
    ".find(e => e.getBoundingClientRect().width > 0);"
    "const box = svg.getBoundingClientRect(), view = svg.viewBox.baseVal;"
    # A picture held to a height is drawn at the smaller of the two scales.
    "const scale = Math.min(box.width / view.width, box.height / view.height);"
    "const sizes = [...svg.querySelectorAll('text')].map(t =>"
    " parseFloat(getComputedStyle(t).fontSize));"
    "return Math.min(...sizes) * scale;")


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
        smallest = SMALLEST_PLOT_TYPE
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
            self.assertTrue((pathlib.Path(page_harness.ARGS.dist) / icon["src"]).is_file(), icon)
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

    # The typical design, and one with every optional row and more warnings to fit: over
    # perfect ground its coils fail at the power and it needs matching, rows a lossy ground's
    # design lacks, in a fifth of the time.
    DESIGNS = [TYPICAL, {**TYPICAL, "ground": "perfect", "height": "8", "shape": "inverted-v",
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
        # The plot beside the sweep's words still prints its type at 8 pt or more.
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
        try:
            self.assertGreaterEqual(self.driver.execute_script(SMALLEST_PLOT_TYPE) * 0.75,
                                    7.95)  # px to pt
        finally:
            self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})

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
