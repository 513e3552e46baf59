// SPDX-License-Identifier: GPL-3.0-or-later
// What to cut, from a measured sweep: sweeps made with the real engine from antennas built
// longer or shorter than designed, some with a loss the design does not have, written out as an
// analyser would, read back and calibrated to. The calibration must recover the change they
// were made with, to the centimetre, and the cut it advises must give the lowest SWR at F of
// the antenna the sweep was made from, in the same engine.

#include "coil/physics.h"
#include "fullwave/antenna_analysis.h"
#include "fullwave/measured_calibration.h"
#include "hand_made_report.h"
#include "nec/engine/nec2c_engine.h"
#include "report/advice.h"
#include "sweep_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace brevan::check {
namespace {

using test::sweepFileText;
using test::Written;

constexpr double kDesignMHz = 7.05;

CoilImpedance seriesCoil(double resistance, double inductance) {
    return [resistance, inductance](double frequencyHz) {
        return std::complex<double>{resistance, 2.0 * kPi * frequencyHz * inductance};
    };
}

// Inductance as the square of the turns, loss in proportion: no coil model needed here.
CoilImpedance testCoil(int turns) {
    const double n = turns / 30.0;
    return seriesCoil(1.5 * n, 6.8e-6 * n * n);
}

AntennaCheckInput typicalDesign() {
    AntennaCheckInput input;
    input.designMHz = kDesignMHz;
    input.length = 15.0;
    input.coilDistance = 3.0;
    input.wireDiameter = 1.626e-3; // SWG 16
    input.designed = seriesCoil(0.0, 7.17692396135787e-6);
    input.built = testCoil(30);
    input.builtTurns = 30;
    input.coilOfTurns = testCoil;
    return input;
}

// 8 m with its coils 0.5 m out: about 10 ohm at resonance with lossless coils.
AntennaCheckInput lowResistanceDesign() {
    AntennaCheckInput input = typicalDesign();
    input.length = 8.0;
    input.coilDistance = 0.5;
    input.designed = seriesCoil(0.0, 16.17e-6);
    input.built = seriesCoil(0.5, 17.2e-6);
    input.coilOfTurns = {};
    return input;
}

// 6 m with its coils 2 m out: heavily loaded, with a 2:1 band some 10 kHz wide.
AntennaCheckInput narrowDesign() {
    AntennaCheckInput input = typicalDesign();
    input.length = 6.0;
    input.coilDistance = 2.0;
    input.designed = seriesCoil(0.0, 52.05e-6);
    input.built = seriesCoil(4.4, 52.05e-6);
    input.coilOfTurns = {};
    return input;
}

const Engine& realEngine() {
    static const Engine engine = nec2cEngine({});
    return engine;
}

Context contextFor(const AntennaCheckInput& design) {
    static const Progress quiet;
    return Context{
        design, realEngine(), quiet, design.designMHz * (1.0 + kResonanceWindow), SweepPlan{}, {}};
}

// An antenna as made: `design` at `length` with `coil` in place of its coils, analysed as the
// check analyses one, and swept as its corrected curve, 81 points over +-4 % of its resonance.
struct Made {
    AnalysisRecord analysis;
    MeasuredSweep sweep;
};

Made madeAntenna(const AntennaCheckInput& design, double length, const CoilImpedance& coil) {
    const Context context = contextFor(design);
    auto made = newAnalysis(context, length, coil, "made for the test");
    auto& analysis = *std::get<std::unique_ptr<Analysis>>(made);
    EXPECT_FALSE(runTogether(realEngine(), {&analysis}));
    const double r = analysis.result().resonanceMHz.value_or(design.designMHz);
    auto runs = runBatch(realEngine(), {analysis.curveRequest(0.96 * r, 1.04 * r, 81)});
    Made out{analysis.record(), {}};
    for (FeedPoint p : std::get<std::vector<EngineRun>>(runs).front().points) {
        p.frequencyMHz *= analysis.scale();
        out.sweep.impedance.push_back(p);
    }
    return out;
}

MeasuredSweep modelledSweep(const AntennaCheckInput& design, double length) {
    return madeAntenna(design, length, design.built).sweep;
}

// The check's own analysis of the antenna as built, which the calibration takes up.
AnalysisRecord checkedAsBuilt(const AntennaCheckInput& design) {
    const Context context = contextFor(design);
    auto built = newAnalysis(context, design.length, design.built, "as built");
    auto& analysis = *std::get<std::unique_ptr<Analysis>>(built);
    EXPECT_FALSE(runTogether(realEngine(), {&analysis}));
    return analysis.record();
}

// The impedance at F of the antenna `made` was made from with each tip changed by each of `cms`
// whole centimetres: the truth the advised cut is held to, in the same engine and correction.
std::map<int, std::complex<double>>
atDesignAfterCuts(const AntennaCheckInput& design, const Made& made, const std::vector<int>& cms) {
    const Context context = contextFor(design);
    const AnalysisRecord& a = made.analysis;
    std::vector<Request> requests;
    for (const int cm : cms) {
        const AntennaModel model = antennaModel(design, a.model.length + 2.0 * cm / 100.0, a.coil);
        auto segmented = segmentWith(model, a.coarse.counts, 1, context.highestMHz);
        EXPECT_TRUE(std::holds_alternative<Segmentation>(segmented));
        requests.push_back(Request{model,
                                   std::get<Segmentation>(segmented),
                                   at(a.coil, {design.designMHz / a.scale}),
                                   "cut",
                                   {}});
    }
    auto batch = runBatch(realEngine(), requests);
    std::map<int, std::complex<double>> out;
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < cms.size(); ++i) {
        out[cms[i]] = runs[i].points.front().impedance;
    }
    return out;
}

// The sweep of an antenna at its feed point as an analyser through `line` writes it, read back
// and analysed with that line given.
AsMeasured measuredThrough(const MeasuredSweep& atFeed, const std::optional<FeedLine>& line,
                           Written as) {
    const MeasuredSweep atAnalyser = line ? throughFeedLine(atFeed, *line) : atFeed;
    const auto read = readSweep(sweepFileText(atAnalyser, as), "sweep");
    EXPECT_TRUE(std::holds_alternative<MeasuredSweep>(read)) << message(std::get<SweepError>(read));
    return analyseMeasured({"sweep", std::get<MeasuredSweep>(read), line}, kDesignMHz);
}

std::optional<FeedLine> lineOf(double length, double loss) {
    if (length <= 0.0) {
        return std::nullopt;
    }
    return FeedLine{length, 0.66, loss, kDesignMHz, 50.0};
}

// The real engine, failing the test if a deck of `what` is asked for.
Engine engineWithout(const std::string& what) {
    return [what](const std::vector<std::string>& decks) {
        for (const std::string& deck : decks) {
            EXPECT_EQ(deck.find(what), std::string::npos) << "asked for " << what;
        }
        return realEngine()(decks);
    };
}

struct BuiltRow {
    const char* tag;
    double lengthFactor; // the antenna as hung, against the designed length
    double lineLength;   // m, 0: swept at the feed point
    double lineLoss;     // dB per 100 m at F
    Written as;
    bool checked; // the check's analysis of the built antenna is given to the calibration
};

class KnownChange : public testing::TestWithParam<BuiltRow> {};

TEST_P(KnownChange, CalibrationRecoversItAndTheCutReachesF) {
    const BuiltRow& row = GetParam();
    const AntennaCheckInput design = typicalDesign();
    const double hung = design.length * row.lengthFactor;
    const double knownChange = (hung - design.length) / 2.0;

    const AsMeasured measured =
        measuredThrough(modelledSweep(design, hung), lineOf(row.lineLength, row.lineLoss), row.as);
    std::optional<AnalysisRecord> checked;
    if (row.checked) {
        checked = checkedAsBuilt(design);
    }
    // Given the check's analysis, the calibration does not analyse the built antenna again.
    const auto result = calibrateToMeasurement(
        design, measured, checked ? engineWithout("as built, to calibrate") : realEngine(), {},
        checked ? &*checked : nullptr);
    ASSERT_TRUE(std::holds_alternative<Calibration>(result))
        << std::get<AntennaCheckFailure>(result).message;
    const Calibration& c = std::get<Calibration>(result);
    ASSERT_EQ(c.outcome, CalibrationOutcome::Calibrated);
    EXPECT_EQ(c.fromSwrMinimum, row.as == Written::CsvSwr);
    EXPECT_EQ(c.basis, row.as == Written::CsvSwr ? CalibrationBasis::SwrOnly
                                                 : CalibrationBasis::ReactanceZero);
    EXPECT_NEAR(c.correction, knownChange, 0.01);
    // About 50 ohm at resonance, the SWR minimum lies on the resonance: the real antenna cut by
    // whole centimetres lands within about what half a centimetre of each tip moves (some
    // 3 kHz here).
    EXPECT_TRUE(c.cutLowersSwr);
    ASSERT_TRUE(c.afterCut && c.afterCut->resonanceMHz);
    EXPECT_NEAR(*c.afterCut->resonanceMHz, kDesignMHz, 0.004);
    EXPECT_FALSE(c.resistanceFar);
    EXPECT_EQ(c.afterCut->swrAtDesignAtAnalyser.has_value(), row.lineLength > 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltLongerOrShorter, KnownChange,
    testing::Values(BuiltRow{"longer_2pct_at_feed", 1.02, 0.0, 0.0, Written::TouchstoneS, true},
                    BuiltRow{"shorter_2pct_lossless_line", 0.98, 12.0, 0.0, Written::CsvRX, false},
                    BuiltRow{"longer_5pct_lossy_line", 1.05, 20.0, 3.0, Written::TouchstoneS, true},
                    BuiltRow{"shorter_5pct_lossy_line", 0.95, 15.0, 6.0, Written::CsvRX, false},
                    BuiltRow{"swr_only_longer_2pct", 1.02, 20.0, 3.0, Written::CsvSwr, true}),
    [](const testing::TestParamInfo<BuiltRow>& row) { return std::string(row.param.tag); });

// ---- a loss the design does not have: the cut for the lowest SWR at F ----------------------

struct LossRow {
    const char* tag;
    bool lowResistance;  // the 8 m design (about 10 ohm), else the typical one (about 50 ohm)
    double coilLoss;     // ohm, each coil of the antenna as made
    double resistance;   // ohm, what it then measures at resonance, about
    double lengthFactor; // the antenna as hung, against the designed length
    double lineLength;   // m, 0: swept at the feed point
    double lineLoss;     // dB per 100 m at F
};

class AddedLoss : public testing::TestWithParam<LossRow> {};

TEST_P(AddedLoss, TheAdvisedCutGivesTheLowestSwrAtFOfTheAntennaSwept) {
    const LossRow& row = GetParam();
    const AntennaCheckInput design = row.lowResistance ? lowResistanceDesign() : typicalDesign();
    const double omega = 2.0 * kPi * kDesignMHz * 1e6;
    const CoilImpedance lossy =
        seriesCoil(row.coilLoss, design.built(omega / 2.0 / kPi).imag() / omega);
    const Made made = madeAntenna(design, design.length * row.lengthFactor, lossy);
    const std::optional<FeedLine> line = lineOf(row.lineLength, row.lineLoss);
    const AsMeasured measured = measuredThrough(made.sweep, line, Written::TouchstoneS);
    ASSERT_TRUE(measured.analysis.resistanceOhm);
    ASSERT_NEAR(*measured.analysis.resistanceOhm, row.resistance, 0.15 * row.resistance);

    const AnalysisRecord checked = checkedAsBuilt(design);
    const auto result = calibrateToMeasurement(design, measured, realEngine(), {}, &checked);
    ASSERT_TRUE(std::holds_alternative<Calibration>(result))
        << std::get<AntennaCheckFailure>(result).message;
    const Calibration& c = std::get<Calibration>(result);
    ASSERT_EQ(c.outcome, CalibrationOutcome::Calibrated);
    EXPECT_EQ(c.basis, CalibrationBasis::ReactanceZero);
    // Calibrated to the measured resistance, not the design's.
    EXPECT_NEAR(c.measuredResistance, *measured.analysis.resistanceOhm, 1e-9);
    EXPECT_NEAR(c.modelResistance + c.seriesLoss, c.measuredResistance, 1e-9);
    EXPECT_TRUE(c.cutLowersSwr);

    // The antenna the sweep was made from, cut by the advice and by a centimetre or two either
    // way: the advice is the lowest SWR at F to within one centimetre.
    const int advised = static_cast<int>(std::lround(c.tipChange * 100.0));
    const std::vector<int> cuts{advised - 3, advised - 2, advised - 1, advised,
                                advised + 1, advised + 2, advised + 3};
    const std::map<int, std::complex<double>> truth = atDesignAfterCuts(design, made, cuts);
    const auto swrOf = [&truth](int cm) { return swr(truth.at(cm), 50.0); };
    int best = advised;
    for (const int cm : cuts) {
        best = swrOf(cm) < swrOf(best) ? cm : best;
    }
    // Where a centimetre matters (15 ohm: 0.05 to 0.5 in SWR), the advice is the best or next
    // to it. At 120 ohm the SWR at F hardly changes near its lowest (0.001 a centimetre), and a
    // loss at the feed point does not move with the cut quite as the coils' loss does: the
    // advice may lie two centimetres off, at no more than 0.01 in SWR.
    EXPECT_LE(std::abs(best - advised), row.resistance < 50.0 ? 1 : 2)
        << "advised " << advised << " cm, best " << best;
    EXPECT_LT(swrOf(advised) - swrOf(best), 0.01);
    // What it says to expect is what that antenna then shows, at the feed point and through
    // the line at the analyser.
    ASSERT_TRUE(c.afterCut);
    EXPECT_NEAR(c.afterCut->swrAtDesign, swrOf(advised), 0.03 * swrOf(advised));
    if (line) {
        ASSERT_TRUE(c.afterCut->swrAtDesignAtAnalyser);
        const double atAnalyser =
            swr(throughFeedLine(truth.at(advised), *measured.feedLine, kDesignMHz), 50.0);
        EXPECT_NEAR(*c.afterCut->swrAtDesignAtAnalyser, atAnalyser, 0.03 * atAnalyser);
    }
}

INSTANTIATE_TEST_SUITE_P(
    LowAndHighResistance, AddedLoss,
    testing::Values(LossRow{"r15_longer_2pct_at_feed", true, 2.7, 15.0, 1.02, 0.0, 0.0},
                    LossRow{"r15_shorter_2pct_lossy_line", true, 2.7, 15.0, 0.98, 15.0, 4.0},
                    LossRow{"r120_longer_2pct_lossy_line", false, 43.0, 120.0, 1.02, 20.0, 3.0},
                    LossRow{"r120_shorter_2pct_at_feed", false, 43.0, 120.0, 0.98, 0.0, 0.0}),
    [](const testing::TestParamInfo<LossRow>& row) { return std::string(row.param.tag); });

// A real sweep's shape, made with the engine: a narrow-band antenna whose lowest SWR, about 1.2,
// is at F, swept through coax that puts the reactance's zero 0.4 % above F at a low
// resistance. Trusting the zero would cut the tips and lift the SWR at F to about 3; the SWR
// minimum says the antenna is right as it hangs.
TEST(Calibration, ALowResistanceZeroBesideTheLowestSwrAtFSaysNotToCut) {
    const AntennaCheckInput design = narrowDesign();
    const Made made = madeAntenna(design, design.length, seriesCoil(15.0, 52.05e-6));
    // Moved in frequency so that its lowest SWR falls on F, as on the antenna that was swept.
    MeasuredSweep atFeed = made.sweep;
    const double minimum = analyseSweep(atFeed, kDesignMHz).swrMinimumMHz;
    for (FeedPoint& p : atFeed.impedance) {
        p.frequencyMHz *= kDesignMHz / minimum;
    }
    // The coax's length that makes the reflection real and negative 0.4 % above F.
    const double zeroMHz = 1.004 * kDesignMHz;
    FeedLine coax{0.0, 0.66, 0.0, kDesignMHz, 50.0};
    const std::complex<double> z = impedanceAt(atFeed.impedance, zeroMHz);
    const double turn = std::fmod(std::arg((z - 50.0) / (z + 50.0)) - kPi + 4.0 * kPi, 2.0 * kPi);
    coax.lengthM = turn / (2.0 * propagationConstant(coax, zeroMHz).imag());
    const AsMeasured measured = measuredThrough(atFeed, std::nullopt, Written::TouchstoneS);
    const AsMeasured atShack =
        measuredThrough(throughFeedLine(atFeed, coax), std::nullopt, Written::TouchstoneS);
    const SweepAnalysis& a = atShack.analysis;
    ASSERT_TRUE(a.resonanceMHz && a.resistanceOhm && a.resonanceSwr);
    ASSERT_NEAR(*a.resonanceMHz, zeroMHz, 0.0005 * kDesignMHz);
    ASSERT_LT(*a.resistanceOhm, 25.0);
    ASSERT_NEAR(a.swrMinimumMHz, kDesignMHz, 0.0005 * kDesignMHz);
    ASSERT_LT(a.minimumSwr, 1.35);
    // The 2:1 band is the one at the feed point: the line moves the zero, not the SWR.
    ASSERT_TRUE(a.belowTwo && a.bandLowerMHz && a.bandUpperMHz);
    EXPECT_NEAR(*a.bandLowerMHz, *measured.analysis.bandLowerMHz, 2e-4);
    EXPECT_NEAR(*a.bandUpperMHz, *measured.analysis.bandUpperMHz, 2e-4);

    const AnalysisRecord checked = checkedAsBuilt(design);
    const auto result = calibrateToMeasurement(design, atShack, realEngine(), {}, &checked);
    ASSERT_TRUE(std::holds_alternative<Calibration>(result))
        << std::get<AntennaCheckFailure>(result).message;
    const Calibration& c = std::get<Calibration>(result);
    ASSERT_EQ(c.outcome, CalibrationOutcome::Calibrated);
    EXPECT_EQ(c.basis, CalibrationBasis::ZeroMoved);
    EXPECT_NEAR(c.measuredResistance, resistanceFromSwr(a.minimumSwr, c.modelResistance), 1e-9);
    EXPECT_FALSE(c.cutLowersSwr);
    EXPECT_EQ(c.tipChange, 0.0);
    ASSERT_TRUE(c.afterCut);
    EXPECT_NEAR(c.afterCut->swrAtDesign, a.minimumSwr, 0.1);

    CheckReport report = test::typicalReport();
    report.measured = MeasuredReport{atShack, c, {}};
    EXPECT_NE(measuredVerdict(report).find("the lowest SWR is already at 7.05 MHz: do not cut"),
              std::string::npos)
        << measuredVerdict(report);
}

// ---- what is calibrated to, without the engine -------------------------------------------

// A made-up antenna resonating at 7.0 MHz with 40 ohm there, swept over [low, high].
MeasuredSweep madeUpSweep(double low, double high, bool swrOnly) {
    MeasuredSweep sweep;
    sweep.kind = swrOnly ? SweepKind::SwrOnly : SweepKind::Impedance;
    for (int i = 0; i <= 200; ++i) {
        const double f = low + (high - low) * i / 200.0;
        const double u = f / 7.0;
        const std::complex<double> z{40.0 * u, 600.0 * (u - 1.0 / u)};
        if (swrOnly) {
            const double g = std::abs((z - 50.0) / (z + 50.0));
            sweep.swr.push_back({f, (1.0 + g) / (1.0 - g)});
        } else {
            FeedPoint p;
            p.frequencyMHz = f;
            p.impedance = z;
            sweep.impedance.push_back(p);
        }
    }
    return sweep;
}

struct FrequencyRow {
    const char* tag;
    double low;
    double high;
    bool swrOnly;
    double coax;                           // m of lossless coax the sweep was made through, 0: none
    bool coaxGiven;                        // ... and given, to be taken out
    std::optional<CalibrationBasis> basis; // nothing: nothing to calibrate on
    double calibratedTo;                   // MHz
};

class CalibrationFrequency : public testing::TestWithParam<FrequencyRow> {};

TEST_P(CalibrationFrequency, IsTheZeroTheMinimumOrNothing) {
    const FrequencyRow& row = GetParam();
    MeasuredSweep sweep = madeUpSweep(row.low, row.high, row.swrOnly);
    std::optional<FeedLine> coax;
    if (row.coax > 0.0) {
        coax = FeedLine{row.coax, 0.66, 0.0, kDesignMHz, 50.0};
        sweep = throughFeedLine(sweep, *coax);
    }
    const AsMeasured measured =
        analyseMeasured({"sweep", sweep, row.coaxGiven ? coax : std::nullopt}, kDesignMHz);
    const auto at = measuredResonance(measured);
    ASSERT_EQ(at.has_value(), row.basis.has_value());
    if (!at) {
        return;
    }
    EXPECT_EQ(at->basis, *row.basis);
    // The SWR minimum lies a little off the reactance's zero.
    const bool zero = *row.basis == CalibrationBasis::ReactanceZero;
    EXPECT_NEAR(at->frequencyMHz, row.calibratedTo, zero ? 1e-4 : 0.01);
    EXPECT_EQ(at->resistanceOhm.has_value(), zero);
    if (zero) {
        EXPECT_NEAR(*at->resistanceOhm, 40.0, 0.01);
    }
}

// The made-up antenna through 3 m of coax shows its zero at 6.88 MHz, where the SWR is 1.7
// against the lowest 1.25; through 6 m it shows none.
INSTANTIATE_TEST_SUITE_P(
    Sweeps, CalibrationFrequency,
    testing::Values(FrequencyRow{"impedance_spanning", 6.8, 7.3, false, 0, false,
                                 CalibrationBasis::ReactanceZero, 7.0},
                    FrequencyRow{"swr_only_spanning", 6.8, 7.3, true, 0, false,
                                 CalibrationBasis::SwrOnly, 7.0},
                    FrequencyRow{"zero_moved_by_coax", 6.8, 7.3, false, 3.0, false,
                                 CalibrationBasis::ZeroMoved, 7.0},
                    FrequencyRow{"coax_given_taken_out", 6.8, 7.3, false, 3.0, true,
                                 CalibrationBasis::ReactanceZero, 7.0},
                    FrequencyRow{"no_zero_through_coax", 6.8, 7.3, false, 6.0, false,
                                 CalibrationBasis::NoZero, 7.0},
                    FrequencyRow{"impedance_above_it", 7.1, 7.5, false, 0, false, std::nullopt, 0},
                    FrequencyRow{"impedance_below_it", 6.5, 6.9, false, 0, false, std::nullopt, 0},
                    FrequencyRow{"swr_only_above_it", 7.1, 7.5, true, 0, false, std::nullopt, 0}),
    [](const testing::TestParamInfo<FrequencyRow>& row) { return std::string(row.param.tag); });

TEST(Calibration, TheResistanceAnSwrImpliesIsTheOneNearerTheModels) {
    const struct {
        double swr;
        double model;
        double implied;
    } rows[] = {{1.2, 42.5, 50.0 / 1.2}, {1.2, 55.0, 60.0}, {3.0, 10.0, 50.0 / 3.0},
                {3.0, 120.0, 150.0},     {2.0, 50.0, 25.0}, {1.5, 0.0, 50.0 / 1.5}};
    for (const auto& row : rows) {
        EXPECT_NEAR(resistanceFromSwr(row.swr, row.model), row.implied, 1e-12)
            << row.swr << " against " << row.model;
    }
}

TEST(Calibration, ASweepThatMissesTheResonanceSaysSoWithoutTheEngine) {
    const Engine noEngine = [](const std::vector<std::string>&) {
        ADD_FAILURE() << "the engine was asked for";
        return std::vector<EngineRun>{};
    };
    const AsMeasured measured =
        analyseMeasured({"above.s1p", madeUpSweep(7.1, 7.5, false), std::nullopt}, kDesignMHz);
    const auto result = calibrateToMeasurement(typicalDesign(), measured, noEngine, {});
    ASSERT_TRUE(std::holds_alternative<Calibration>(result));
    EXPECT_EQ(std::get<Calibration>(result).outcome, CalibrationOutcome::NoMeasuredResonance);
}

TEST(Calibration, AResistanceFarFromTheModelsIsBeyondThirtyPercentEitherWay) {
    const struct {
        double measured;
        double model;
        bool far;
    } rows[] = {{50, 50, false}, {64, 50, false}, {66, 50, true},
                {36, 50, false}, {34, 50, true},  {5, 0, true}};
    for (const auto& row : rows) {
        EXPECT_EQ(resistanceFarFromModel(row.measured, row.model), row.far)
            << row.measured << " against " << row.model;
    }
}

// The SWR minimum's offset from the resonance carries over in proportion to frequency.
TEST(Calibration, AnSwrMinimumIsMovedAsFarFromTheResonanceAsTheModelsIs) {
    EXPECT_NEAR(resonanceFromSwrMinimum(6.9, 7.0, 7.0), 6.9, 1e-12);
    EXPECT_GT(resonanceFromSwrMinimum(6.9, 7.0, 6.99), 6.9);
    EXPECT_LT(resonanceFromSwrMinimum(6.9, 7.0, 7.01), 6.9);
}

} // namespace
} // namespace brevan::check
