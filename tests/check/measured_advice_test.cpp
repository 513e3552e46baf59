// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of a measured sweep, from records made by hand: the cut for the lowest
// SWR at F and what to expect at the feed point and at the analyser; no cut when none lowers it;
// why the SWR minimum is trusted over a zero the coax moved; the 2:1 band around the SWR
// minimum, past an end of the sweep, or none with the lowest SWR. The same figures in the
// text, the sentences and the JSON.

#include "hand_made_report.h"
#include "made_up_antenna.h"
#include "report/advice.h"
#include "report/report_format.h"
#include "report/report_json.h"
#include "report/report_text.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>

namespace brevan::check {
namespace {

using test::evenFrequencies;
using test::madeUpImpedance;

// The made-up antenna (7.05 MHz, 45 ohm there) over [low, high], through `coax` m of lossless
// coax when given, plus `extraOhm` in series.
MeasuredSweep madeUpSweep(double low, double high, double coax = 0.0, double extraOhm = 0.0) {
    MeasuredSweep s;
    for (const double f : evenFrequencies(low, high, 101)) {
        FeedPoint p;
        p.frequencyMHz = f;
        p.impedance = madeUpImpedance(f) + extraOhm;
        s.impedance.push_back(p);
    }
    return coax > 0.0 ? throughFeedLine(s, FeedLine{coax, 0.66, 0.0, 7.05, 50.0}) : s;
}

CheckReport reportWith(const MeasuredSetup& setup, const Calibration& calibration) {
    CheckReport report = test::typicalReport();
    applyAntennaCheck(report, test::typicalCheck());
    report.measured = MeasuredReport{analyseMeasured(setup, 7.05), calibration, {}};
    return report;
}

// Cut 12 cm, 45 ohm measured against the model's 49.13: what brevan-check says of the made-up
// antenna moved down to 6.95 MHz, here swept through 10 m of coax that is given.
Calibration cutCalibration() {
    Calibration c;
    c.outcome = CalibrationOutcome::Calibrated;
    c.basis = CalibrationBasis::ReactanceZero;
    c.calibrationMHz = 6.95;
    c.correction = 0.399;
    c.measuredResistance = 45.0;
    c.modelResistance = 49.13;
    c.seriesLoss = -4.13;
    c.swrAtDesignNow = 1.52;
    c.tipChange = -0.12;
    c.cutLowersSwr = true;
    c.lengthAfterCut = 14.76;
    c.afterCut = AfterCut{7.045, 45.1, 1.11, 1.26};
    c.turns = 10;
    c.turnsResonanceMHz = 7.031;
    return c;
}

std::string section(const std::string& text) {
    const std::size_t at = text.find("\nAs measured\n");
    EXPECT_NE(at, std::string::npos) << text;
    return text.substr(at, text.find("\nCut list", at) - at);
}

QJsonObject measuredJson(const CheckReport& report) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(check::reportJson(report, "test")))
        .object()
        .value("measured")
        .toObject();
}

TEST(MeasuredAdvice, TheCutIsForTheLowestSwrAtFWithWhatToExpectAtBothEnds) {
    const FeedLine coax{10.0, 0.66, 2.0, 7.05, 50.0};
    const CheckReport report =
        reportWith({"sweep.s1p", madeUpSweep(6.8, 7.3), coax}, cutCalibration());
    EXPECT_EQ(measuredVerdict(report),
              "As measured, the antenna resonates at 6.950 MHz (the reactance's zero at the feed "
              "point): cut 12 cm from each tip of the antenna as it hangs, for the lowest SWR at "
              "7.05 MHz. Then expect an SWR of 1.1 at 7.05 MHz at the feed point (1.3 at the "
              "analyser, through the feed line), with the reactance's zero at 7.045 MHz and "
              "45.1 ohm there.");
    const std::vector<std::string> notes = measuredNotes(report);
    const std::string all = test::joined(notes);
    for (const char* words :
         {"the model needs each tip 39.9 cm longer than designed",
          "To have the antenna's 45.0 ohm at resonance, where the model has 49.1 ohm, it takes "
          "4.13 ohm off the resistance at its feed point.",
          "Instead of the cut, 10 turns on each coil (now 9 turns) would put the resonance at "
          "7.031 MHz."}) {
        EXPECT_NE(all.find(words), std::string::npos) << words << "\n" << all;
    }
    const std::string text = section(reportText(report, "test"));
    for (const char* row :
         {"Model calibrated to           6.950 MHz, 45.0 ohm (the reactance's zero)",
          "Model calibrated by           +39.9 cm on each tip, in effect, and -4.13 ohm in series "
          "at the feed point",
          "Cut                           -12.0 cm on each tip (- = cut off), for the lowest SWR "
          "at F",
          "Then expect                   SWR 1.1 at F at the feed point (1.3 at the analyser); "
          "reactance's zero 7.045 MHz, 45.1 ohm"}) {
        EXPECT_NE(text.find(row), std::string::npos) << row << "\n" << text;
    }
    const QJsonObject c = measuredJson(report).value("calibration").toObject();
    EXPECT_EQ(c.value("calibrated_on").toString(), "reactance-zero");
    EXPECT_DOUBLE_EQ(c.value("calibrated_to_ohm").toDouble(), 45.0);
    EXPECT_DOUBLE_EQ(c.value("series_loss_ohm").toDouble(), -4.13);
    EXPECT_DOUBLE_EQ(c.value("swr_at_design_now").toDouble(), 1.52);
    EXPECT_TRUE(c.value("cut_lowers_swr").toBool());
    const QJsonObject after = c.value("after_cut").toObject();
    EXPECT_DOUBLE_EQ(after.value("resistance_ohm").toDouble(), 45.1);
    EXPECT_DOUBLE_EQ(after.value("swr_at_design").toDouble(), 1.11);
    EXPECT_DOUBLE_EQ(after.value("swr_at_design_at_analyser").toDouble(), 1.26);
}

// The made-up antenna through 4 m of coax, no line given: its zero moves to 6.87 MHz at 23 ohm,
// where the SWR is 2.2; its lowest SWR, 1.1, stays at 7.05 MHz.
TEST(MeasuredAdvice, ZeroMovedByTheCoaxTheMinimumIsTrustedAndNoCutLowersIt) {
    Calibration c;
    c.outcome = CalibrationOutcome::Calibrated;
    c.basis = CalibrationBasis::ZeroMoved;
    c.fromSwrMinimum = true;
    c.calibrationMHz = 7.051;
    c.correction = 0.272;
    c.modelResistance = 49.2;
    c.cutLowersSwr = false;
    c.afterCut = AfterCut{7.05, 45.0, 1.11, std::nullopt};
    CheckReport report = reportWith({"shack.s1p", madeUpSweep(6.8, 7.3, 4.0), std::nullopt}, c);
    const SweepAnalysis& a = report.measured->sweep.analysis;
    ASSERT_TRUE(a.resonanceMHz && a.resistanceOhm && a.resonanceSwr);
    ASSERT_NEAR(*a.resonanceMHz, 6.871, 0.002);
    ASSERT_NEAR(a.swrMinimumMHz, 7.0515, 0.001);
    report.measured->calibration.measuredResistance = resistanceFromSwr(a.minimumSwr, 49.2);
    report.measured->calibration.seriesLoss =
        report.measured->calibration.measuredResistance - 49.2;

    EXPECT_EQ(measuredVerdict(report),
              "As measured, the lowest SWR is already at 7.05 MHz: do not cut. No change of each "
              "tip by whole centimetres lowers the SWR at 7.05 MHz in the model calibrated to "
              "the sweep.");
    const std::string all = test::joined(measuredNotes(report));
    const std::string why = "The reactance's zero (" + number(*a.resonanceMHz, 3) + " MHz, " +
                            significant(*a.resistanceOhm, 3) + " ohm, where the SWR is " +
                            swrText(*a.resonanceSwr) + ") lies away from the lowest SWR (" +
                            swrText(a.minimumSwr) + " at " + number(a.swrMinimumMHz, 3) +
                            " MHz). With no feed line given, the sweep is taken to have been made "
                            "through coax: through a line of unknown length the reactance's zero "
                            "moves, but the frequency of the SWR minimum does not.";
    EXPECT_NE(all.find(why), std::string::npos) << why << "\n" << all;
    EXPECT_NE(all.find("the " + significant(50.0 / a.minimumSwr, 3) + " ohm its lowest SWR of " +
                       swrText(a.minimumSwr) + " implies at resonance (or " +
                       significant(50.0 * a.minimumSwr, 3) + " ohm"),
              std::string::npos)
        << all;
    // Not "taken as measured at the feed point": the note says how to give the line.
    EXPECT_EQ(all.find("Taken as measured at the feed point"), std::string::npos) << all;
    EXPECT_EQ(all.find("Instead of the cut"), std::string::npos) << all;

    const std::string text = section(reportText(report, "test"));
    for (const std::string& row : std::vector<std::string>{
             "the reactance's zero, away from the SWR minimum: not used",
             "Cut                           none: no cut lowers the SWR at F",
             "As it hangs                   SWR 1.1 at F at the feed point; reactance's zero "
             "7.050 MHz, 45.0 ohm",
             "2:1 band                      " + number(*a.bandLowerMHz, 3) + " to " +
                 number(*a.bandUpperMHz, 3) + " MHz"}) {
        EXPECT_NE(text.find(row), std::string::npos) << row << "\n" << text;
    }
    const QJsonObject json = measuredJson(report);
    EXPECT_DOUBLE_EQ(json.value("resonance_swr").toDouble(), *a.resonanceSwr);
    EXPECT_TRUE(json.value("swr_minimum_spanned").toBool());
    const QJsonObject calibration = json.value("calibration").toObject();
    EXPECT_EQ(calibration.value("calibrated_on").toString(), "swr-minimum-zero-moved");
    EXPECT_FALSE(calibration.value("cut_lowers_swr").toBool());
    EXPECT_DOUBLE_EQ(calibration.value("tip_change_m").toDouble(), 0.0);
    EXPECT_TRUE(
        calibration.value("after_cut").toObject().value("swr_at_design_at_analyser").isNull());
}

TEST(MeasuredAdvice, WithoutACutItSaysWhy) {
    Calibration missed;
    missed.outcome = CalibrationOutcome::NoMeasuredResonance;
    EXPECT_EQ(
        measuredVerdict(reportWith({"above.s1p", madeUpSweep(7.15, 7.5), std::nullopt}, missed)),
        "The sweep (7.150 to 7.500 MHz) shows neither the reactance's zero nor the bottom "
        "of the SWR dip; the model puts the resonance at 7.372 MHz: no cut can be worked "
        "out from it. Sweep again over a wider range.");
    Calibration coils;
    coils.outcome = CalibrationOutcome::CutOutOfReach;
    coils.calibrationMHz = 6.1;
    coils.correction = -0.8;
    const CheckReport report = reportWith({"low.s1p", madeUpSweep(6.8, 7.3), std::nullopt}, coils);
    EXPECT_EQ(measuredVerdict(report),
              "As measured, the antenna resonates at 6.100 MHz (the reactance's zero at the feed "
              "point), and no trim of its tips brings the lowest SWR to 7.05 MHz: the coils must "
              "change.");
    EXPECT_NE(section(reportText(report, "test"))
                  .find("Model calibrated by           -80.0 cm on each tip, in effect"),
              std::string::npos);
}

TEST(MeasuredAdvice, TheBandRowSaysWhereItRunsPastTheSweepOrTheLowestSwr) {
    Calibration none; // no resonance in the model: only the sweep's own rows are read here
    none.outcome = CalibrationOutcome::NoModelResonance;
    struct Row {
        MeasuredSweep sweep;
        std::string band; // the row as it must read, after its label
    };
    const MeasuredSweep poor = madeUpSweep(6.8, 7.3, 0.0, 150.0);
    const SweepAnalysis poorly = analyseSweep(poor, 7.05);
    const SweepAnalysis pastStart = analyseSweep(madeUpSweep(6.95, 7.3), 7.05);
    const SweepAnalysis pastEnd = analyseSweep(madeUpSweep(6.8, 7.1), 7.05);
    ASSERT_TRUE(pastStart.bandUpperMHz && pastEnd.bandLowerMHz);
    const Row rows[] = {
        {madeUpSweep(6.95, 7.3),
         "below the sweep's start (6.950) to " + number(*pastStart.bandUpperMHz, 3) + " MHz"},
        {madeUpSweep(6.8, 7.1),
         number(*pastEnd.bandLowerMHz, 3) + " to above the sweep's end (7.100) MHz"},
        {poor, "none: the lowest SWR is " + swrText(poorly.minimumSwr) + ", at " +
                   number(poorly.swrMinimumMHz, 3) + " MHz"},
    };
    for (const Row& row : rows) {
        const CheckReport report = reportWith({"sweep.s1p", row.sweep, std::nullopt}, none);
        const std::string text = section(reportText(report, "test"));
        EXPECT_NE(text.find("2:1 band                      " + row.band), std::string::npos)
            << row.band << "\n"
            << text;
    }
    EXPECT_GE(poorly.minimumSwr, 2.0);
}

} // namespace
} // namespace brevan::check
