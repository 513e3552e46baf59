// SPDX-License-Identifier: GPL-3.0-or-later
// The check and the window must show the same design for the same inputs, digit for digit:
// each row is typed into the real window and given to the real brevan-check.
#include "../recording_window.h"
#include "cli_run.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Design {
    const char *f, *a, *b, *wire, *former, *coil, *coilWire;
};

struct WindowShows {
    QString inductance; // step 1's full text, before L cuts it
    QString shown, turns, revised;
};

WindowShows throughTheWindow(const Design& d) {
    RecordingWindow w;
    w.edit("txtF")->setText(QLatin1String(d.f));
    w.edit("txtA")->setText(QLatin1String(d.a));
    w.edit("txtB")->setText(QLatin1String(d.b));
    w.combo("cmbSWG1")->setCurrentText(QLatin1String(d.wire));
    QTest::mouseClick(w.button("Command1"), Qt::LeftButton);
    WindowShows shows;
    shows.inductance = QString::number(w.window->design().inductance, 'g', 15);
    w.edit("txtD1")->setText(QLatin1String(d.former));
    w.edit("txtB1")->setText(QLatin1String(d.coil));
    w.combo("cmbSWG2")->setCurrentText(QLatin1String(d.coilWire));
    QTest::mouseClick(w.button("Command2"), Qt::LeftButton);
    shows.shown = w.text("L");
    shows.turns = w.text("txtN");
    shows.revised = w.text("txtB2");
    return shows;
}

TEST(WindowParity, TheCheckShowsTheWindowsDesignDigitForDigit) {
    const Design rows[] = {
        // The worked examples of step 1, each with the typical coil.
        {"7.05", "15", "3", "16", "50", "40", "20"},
        {"3.6", "30", "8", "14", "50", "40", "20"},
        {"14.1", "8", "2", "20", "50", "40", "20"},
        // The coils of step 2's worked examples: one that settles, one that never does.
        {"3.6", "30", "8", "14", "50", "40", "18"},
        {"7.05", "15", "3", "16", "10", "10", "10"},
        // Odd inputs: a frequency with trailing digits, a long coil, fine wire.
        {"28.495", "3.3", "0.7", "30", "25.4", "120", "30"},
        {"1.83", "60", "12.5", "10", "110", "0", "12"},
    };
    for (const Design& d : rows) {
        SCOPED_TRACE(std::string(d.f) + " " + d.a + " " + d.b + " " + d.coilWire);
        const WindowShows window = throughTheWindow(d);
        const CliRun run = runCli({"--frequency", d.f, "--length", d.a, "--distance", d.b, "--wire",
                                   d.wire, "--former", d.former, "--coil-length", d.coil,
                                   "--coil-wire", d.coilWire, "--no-antenna", "--format", "json"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QJsonObject design = run.json()["design"].toObject();
        EXPECT_EQ(design["inductance_text"].toString(), window.inductance);
        EXPECT_EQ(design["inductance_shown"].toString(), window.shown);
        EXPECT_EQ(design["turns_text"].toString(), window.turns);
        EXPECT_EQ(design["revised_length_text"].toString(), window.revised);
    }
}

} // namespace
