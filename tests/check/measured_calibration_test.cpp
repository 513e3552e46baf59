// What to cut, from a measured sweep: sweeps made with the real engine from the typical antenna
// built longer or shorter than designed, written out as an analyser would, read back and
// calibrated to. The calibration must recover the change they were made with, to the
// centimetre, and the cut must put the antenna on F.

#include "antenna_analysis.h"
#include "measured_calibration.h"
#include "nec/engine/nec2c_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace brevan::check {
namespace {

constexpr double kPi = 3.14159265358979323846;
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

const Engine& realEngine() {
    static const Engine engine = nec2cEngine({});
    return engine;
}

// The antenna of `length` as the model says it measures: its corrected curve, 81 points over
// +-4 % of its resonance.
MeasuredSweep modelledSweep(const AntennaCheckInput& design, double length) {
    const Progress quiet;
    const Context context{
        design, realEngine(), quiet, design.designMHz * (1.0 + kResonanceWindow), SweepPlan{}, {}};
    auto made = newAnalysis(context, length, design.built, "made for the test");
    auto& analysis = *std::get<std::unique_ptr<Analysis>>(made);
    EXPECT_FALSE(runTogether(realEngine(), {&analysis}));
    const double r = analysis.result().resonanceMHz.value_or(design.designMHz);
    auto runs = runBatch(realEngine(), {analysis.curveRequest(0.96 * r, 1.04 * r, 81)});
    MeasuredSweep sweep;
    for (FeedPoint p : std::get<std::vector<EngineRun>>(runs).front().points) {
        p.frequencyMHz *= analysis.scale();
        sweep.impedance.push_back(p);
    }
    return sweep;
}

std::string numberText(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.9g", x);
    return buffer;
}

enum class Written { TouchstoneS, CsvRX, CsvSwr };

// The sweep as an analyser writes it.
std::string fileText(const MeasuredSweep& sweep, Written as) {
    std::string text = as == Written::TouchstoneS ? "! made by the engine\n# MHz S RI R 50\n"
                       : as == Written::CsvRX     ? "Frequency (Hz),R,X\n"
                                                  : "Frequency (kHz);SWR\n";
    const auto points = swrCurve(sweep, 50.0);
    for (std::size_t i = 0; i < sweep.impedance.size(); ++i) {
        const double f = sweep.impedance[i].frequencyMHz;
        const std::complex<double> z = sweep.impedance[i].impedance;
        const std::complex<double> s = (z - 50.0) / (z + 50.0);
        switch (as) {
        case Written::TouchstoneS:
            text += numberText(f) + " " + numberText(s.real()) + " " + numberText(s.imag()) + "\n";
            break;
        case Written::CsvRX:
            text += numberText(f * 1e6) + "," + numberText(z.real()) + "," + numberText(z.imag()) +
                    "\n";
            break;
        case Written::CsvSwr: text += numberText(f * 1e3) + ";" + numberText(points[i].swr) + "\n";
        }
    }
    return text;
}

struct BuiltRow {
    const char* tag;
    double lengthFactor; // the antenna as hung, against the designed length
    double lineLength;   // m, 0: swept at the feed point
    double lineLoss;     // dB per 100 m at F
    Written as;
};

class KnownChange : public testing::TestWithParam<BuiltRow> {};

TEST_P(KnownChange, CalibrationRecoversItAndTheCutReachesF) {
    const BuiltRow& row = GetParam();
    const AntennaCheckInput design = typicalDesign();
    const double hung = design.length * row.lengthFactor;
    const double knownChange = (hung - design.length) / 2.0;

    MeasuredSweep atFeed = modelledSweep(design, hung);
    std::optional<FeedLine> line;
    if (row.lineLength > 0.0) {
        line = FeedLine{row.lineLength, 0.66, row.lineLoss, kDesignMHz, 50.0};
    }
    const MeasuredSweep atAnalyser = line ? throughFeedLine(atFeed, *line) : atFeed;
    const auto read = readSweep(fileText(atAnalyser, row.as), "sweep");
    ASSERT_TRUE(std::holds_alternative<MeasuredSweep>(read)) << message(std::get<SweepError>(read));
    const AsMeasured measured =
        analyseMeasured({"sweep", std::get<MeasuredSweep>(read), line}, kDesignMHz);

    const auto result = calibrateToMeasurement(design, measured, realEngine(), {});
    ASSERT_TRUE(std::holds_alternative<Calibration>(result))
        << std::get<AntennaCheckFailure>(result).message;
    const Calibration& c = std::get<Calibration>(result);
    ASSERT_EQ(c.outcome, CalibrationOutcome::Calibrated);
    EXPECT_EQ(c.fromSwrMinimum, row.as == Written::CsvSwr);
    EXPECT_NEAR(c.correction, knownChange, 0.01);
    // The real antenna cut by whole centimetres lands within about what half a centimetre of
    // each tip moves (some 3 kHz here).
    ASSERT_TRUE(c.afterCut && c.afterCut->resonanceMHz);
    EXPECT_NEAR(*c.afterCut->resonanceMHz, kDesignMHz, 0.004);
    EXPECT_FALSE(c.resistanceFar);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltLongerOrShorter, KnownChange,
    testing::Values(BuiltRow{"longer_2pct_at_feed", 1.02, 0.0, 0.0, Written::TouchstoneS},
                    BuiltRow{"shorter_2pct_lossless_line", 0.98, 12.0, 0.0, Written::CsvRX},
                    BuiltRow{"longer_5pct_lossy_line", 1.05, 20.0, 3.0, Written::TouchstoneS},
                    BuiltRow{"shorter_5pct_lossy_line", 0.95, 15.0, 6.0, Written::CsvRX},
                    BuiltRow{"swr_only_longer_2pct", 1.02, 20.0, 3.0, Written::CsvSwr}),
    [](const testing::TestParamInfo<BuiltRow>& row) { return std::string(row.param.tag); });

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
    std::optional<double> calibratedTo; // nothing: the sweep does not span the resonance
};

class CalibrationFrequency : public testing::TestWithParam<FrequencyRow> {};

TEST_P(CalibrationFrequency, IsTheSpannedResonanceOrNothing) {
    const FrequencyRow& row = GetParam();
    const SweepAnalysis a = analyseSweep(madeUpSweep(row.low, row.high, row.swrOnly), kDesignMHz);
    const auto at = calibrationFrequency(a);
    ASSERT_EQ(at.has_value(), row.calibratedTo.has_value());
    if (at) {
        // The SWR-only sweep's minimum lies a little off the reactance's zero.
        EXPECT_NEAR(*at, *row.calibratedTo, row.swrOnly ? 0.01 : 1e-4);
        EXPECT_EQ(a.resonanceIsSwrMinimum, row.swrOnly);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, CalibrationFrequency,
    testing::Values(FrequencyRow{"impedance_spanning", 6.8, 7.3, false, 7.0},
                    FrequencyRow{"swr_only_spanning", 6.8, 7.3, true, 7.0},
                    FrequencyRow{"impedance_above_it", 7.1, 7.5, false, std::nullopt},
                    FrequencyRow{"impedance_below_it", 6.5, 6.9, false, std::nullopt},
                    FrequencyRow{"swr_only_above_it", 7.1, 7.5, true, std::nullopt}),
    [](const testing::TestParamInfo<FrequencyRow>& row) { return std::string(row.param.tag); });

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
