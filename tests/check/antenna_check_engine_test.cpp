// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna check on the real engine: a plain dipole against induced-EMF theory, the typical
// design's three antennas, its trim and needed coil against resonances found independently of
// the check.
#include "antenna_check_parts.h"
#include "fullwave/antenna_analysis.h"
#include "fullwave/needed_coil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

using namespace antenna_test;

// The reactance's zero in one sweep of the real engine, by linear interpolation.
std::optional<double> sweptResonance(const AntennaModel& model, const Segmentation& segmentation,
                                     const CoilImpedance& coil, double centreMHz, double spanMHz) {
    const int count = 61;
    const double step = 2.0 * spanMHz / (count - 1);
    std::vector<DeckFrequency> frequencies;
    for (int i = 0; i < count; ++i) {
        const double f = centreMHz - spanMHz + step * i;
        frequencies.push_back(DeckFrequency{f, coil(f * 1e6)});
    }
    const auto runs = realEngine()({writeDeck(model, segmentation, frequencies, "independent")});
    if (runs.size() != 1 || runs[0].failure != EngineFailure::None ||
        runs[0].points.size() != frequencies.size()) {
        ADD_FAILURE() << "the engine failed";
        return std::nullopt;
    }
    const auto& points = runs[0].points;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double x0 = points[i].impedance.imag();
        const double x1 = points[i + 1].impedance.imag();
        if (x0 < 0.0 && x1 >= 0.0) {
            return frequencies[i].frequencyMHz + step * x0 / (x0 - x1);
        }
    }
    return std::nullopt;
}

// The resonance of a model found independently of the check: swept at a segmentation and at
// one with every segment halved, and extrapolated to endless segments with NEC-2's observed
// convergence for wires with lumped loads, (segments)^-0.75. Segmented like the check segments
// every model, for the top of its search window, with `counts` when given (a trimmed antenna
// keeps the built one's), so both see the same wire.
std::optional<double> resonanceOf(const AntennaModel& model, const CoilImpedance& coil,
                                  double centreMHz, double spanMHz,
                                  std::optional<SegmentCounts> counts = std::nullopt) {
    const double highest = kDesignMHz * (1.0 + kResonanceWindow);
    const auto coarse =
        counts ? segmentWith(model, *counts, 1, highest) : segmentAntenna(model, highest);
    if (!std::holds_alternative<Segmentation>(coarse)) {
        ADD_FAILURE() << std::get<ModelRefusal>(coarse).reason;
        return std::nullopt;
    }
    const auto fine = segmentWith(model, std::get<Segmentation>(coarse).counts, 2, highest);
    if (!std::holds_alternative<Segmentation>(fine)) {
        ADD_FAILURE() << std::get<ModelRefusal>(fine).reason;
        return std::nullopt;
    }
    const auto r1 = sweptResonance(model, std::get<Segmentation>(coarse), coil, centreMHz, spanMHz);
    const auto r2 = sweptResonance(model, std::get<Segmentation>(fine), coil, centreMHz, spanMHz);
    if (!r1 || !r2) {
        return std::nullopt;
    }
    return *r2 + (*r2 - *r1) / (std::pow(2.0, 0.75) - 1.0);
}

SegmentCounts builtCounts(const AntennaCheckInput& input) {
    const auto segmented = segmentAntenna(antennaModel(input, input.length, input.built),
                                          kDesignMHz * (1.0 + kResonanceWindow));
    return std::get<Segmentation>(segmented).counts;
}

// ------------------------------------------------------------------ the real engine

// Induced-EMF impedance of a centre-fed dipole with a sinusoidal current (Carter 1932; Balanis,
// Antenna Theory, ch. 4 and 8): Si and Ci by their power series, fine for arguments below 10.
double sineIntegral(double x) {
    double sum = 0.0;
    double term = x; // x^(2n+1) / (2n+1)!
    for (int n = 0; n < 40; ++n) {
        sum += term / (2 * n + 1);
        term *= -x * x / ((2.0 * n + 2.0) * (2.0 * n + 3.0));
    }
    return sum;
}

double cosineIntegral(double x) {
    constexpr double kEuler = 0.57721566490153286;
    double sum = 0.0;
    double term = -x * x / 2.0; // (-1)^n x^(2n) / (2n)!
    for (int n = 1; n < 40; ++n) {
        sum += term / (2 * n);
        term *= -x * x / ((2.0 * n + 1.0) * (2.0 * n + 2.0));
    }
    return kEuler + std::log(x) + sum;
}

// Input impedance (the loop values over sin^2(kl/2)); kl the electrical length, ka the radius.
std::complex<double> inducedEmfImpedance(double kl, double ka) {
    constexpr double kEta = 376.730313668;
    constexpr double kEuler = 0.57721566490153286;
    const double si = sineIntegral(kl);
    const double si2 = sineIntegral(2 * kl);
    const double ci = cosineIntegral(kl);
    const double ci2 = cosineIntegral(2 * kl);
    const double r = kEta / (2 * kPi) *
                     (kEuler + std::log(kl) - ci + 0.5 * std::sin(kl) * (si2 - 2 * si) +
                      0.5 * std::cos(kl) * (kEuler + std::log(kl / 2) + ci2 - 2 * ci));
    const double x = kEta / (4 * kPi) *
                     (2 * si + std::cos(kl) * (2 * si - si2) -
                      std::sin(kl) * (2 * ci - ci2 - cosineIntegral(2 * ka * ka / kl)));
    const double s = std::sin(kl / 2);
    return {r / (s * s), x / (s * s)};
}

TEST(InducedEmf, HalfWaveGivesTheTextbookValues) {
    const auto z = inducedEmfImpedance(kPi, 1e-4);
    EXPECT_NEAR(z.real(), 73.08, 0.01); // 73.1 + j42.5 ohm
    EXPECT_NEAR(z.imag(), 42.52, 0.01);
}

// A plain half-wave dipole (no loads): resonant where the induced-EMF theory puts it and with
// its resistance. The sinusoidal current is off by terms of order 1/Omega, Omega = 2 ln(2h/a)
// (about 20 here): so the resistance is trusted to 1.5/Omega; the resonance, where those
// terms cancel to first order, to 0.3 %.
TEST(RealEngine, PlainHalfWaveDipoleMatchesTheory) {
    AntennaCheckInput input;
    input.designMHz = kDesignMHz;
    input.length = kMetreMegahertz / kDesignMHz / 2.0;
    input.coilDistance = input.length / 4.0;
    input.wireDiameter = kWireDiameter;
    input.designed = seriesCoil(0.0, 0.0); // no coil: the plain wire
    input.built = input.designed;
    const AntennaCheck check = checked(input);
    ASSERT_TRUE(check.designed.resonanceMHz);
    const double resonance = *check.designed.resonanceMHz;

    // The theory's resonant length as a fraction of a half wave, for this wire at resonance.
    const double radius = kWireDiameter / 2.0;
    double low = 0.9 * kPi;
    double high = kPi;
    const double k = 2.0 * kPi * resonance / kMetreMegahertz;
    for (int i = 0; i < 80; ++i) {
        const double kl = 0.5 * (low + high);
        (inducedEmfImpedance(kl, k * radius).imag() < 0.0 ? low : high) = kl;
    }
    const double theoryFraction = low / kPi;
    const double modelledFraction = 2.0 * input.length * resonance / kMetreMegahertz;
    EXPECT_GT(theoryFraction, 0.97); // L/d ~ 1.3e4: about 2.5 % short of a half wave
    EXPECT_LT(theoryFraction, 0.98);
    EXPECT_NEAR(modelledFraction, theoryFraction, 0.003);

    // The copper wire's own loss adds to the resistance at the feed; the share radiated is
    // the radiation resistance that the theory gives.
    const double omega = 2.0 * std::log(input.length / radius);
    const double theoryResistance = inducedEmfImpedance(low, k * radius).real();
    const double radiation = check.designed.resonanceResistance * check.designed.designEfficiency;
    EXPECT_NEAR(radiation, theoryResistance, 1.5 / omega * theoryResistance);
    EXPECT_GT(radiation, 65.0);
    EXPECT_LT(radiation, 73.1);
    // A half wave of 1.6 mm copper at 7 MHz loses about 1.4 ohm against some 72 radiated.
    EXPECT_GT(check.designed.designEfficiency, 0.97);
    EXPECT_LT(check.designed.designEfficiency, 0.995);
    // A dipole longer than resonant at F can only be shortened; no coil helps.
    EXPECT_EQ(check.trim.outcome, TrimOutcome::Reached);
    EXPECT_LT(check.trim.tipChange, 0.0);
    EXPECT_EQ(check.neededCoil.outcome, CoilOutcome::NoCoilReaches);
    EXPECT_EQ(check.neededCoil.turns, 0);
}

// Loads of zero ohm are the unloaded wire: the deck without its coil loads (LD 4) gives the
// same impedances.
TEST(RealEngine, ZeroLoadIsTheUnloadedWire) {
    const AntennaCheckInput input = typicalDesign();
    const AntennaModel loaded = antennaModel(input, input.length, seriesCoil(0.0, 0.0));
    const auto segmentation =
        std::get<Segmentation>(segmentAntenna(loaded, kDesignMHz * (1.0 + kResonanceWindow)));
    std::vector<DeckFrequency> frequencies;
    for (int i = 0; i < 7; ++i) {
        frequencies.push_back(DeckFrequency{6.0 + 0.5 * i, {0.0, 0.0}});
    }
    const std::string deck = writeDeck(loaded, segmentation, frequencies, "zero loads");
    std::string unloaded;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("LD 4", 0) != 0) { // the coils go; the wire's copper stays
            unloaded += line + "\n";
        }
    }
    ASSERT_NE(deck, unloaded);
    const auto runs = realEngine()({deck, unloaded});
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_EQ(runs[0].points.size(), 7u);
    ASSERT_EQ(runs[1].points.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(runs[0].points[i].frequencyMHz);
        EXPECT_NEAR(std::abs(runs[0].points[i].impedance - runs[1].points[i].impedance), 0.0,
                    1e-4 * std::abs(runs[1].points[i].impedance));
    }
}

TEST(RealEngine, MoreInductanceLowersTheResonance) {
    std::optional<double> previous;
    for (const double microhenry : {2.0, 4.0, 6.0, 9.0, 12.0}) {
        SCOPED_TRACE(microhenry);
        AntennaCheckInput input = typicalDesign();
        input.designed = seriesCoil(0.0, microhenry * 1e-6);
        const AntennaCheck check = checked(input);
        ASSERT_TRUE(check.designed.resonanceMHz);
        if (previous) {
            EXPECT_LT(*check.designed.resonanceMHz, *previous - 0.01);
        }
        previous = check.designed.resonanceMHz;
    }
}

class TypicalDesign : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<std::string> lines;
        auto result = checkAntenna(typicalDesign(), realEngine(),
                                   [&lines](const std::string& line) { lines.push_back(line); });
        ASSERT_TRUE(std::holds_alternative<AntennaCheck>(result))
            << std::get<AntennaCheckFailure>(result).message;
        check_ = std::get<AntennaCheck>(result);
        progressLines_ = lines;
    }
    static inline AntennaCheck check_;
    static inline std::vector<std::string> progressLines_;
};

TEST_F(TypicalDesign, ThreeAntennasInTheOrderABuilderExpects) {
    const AntennaCheckInput input = typicalDesign();
    ASSERT_TRUE(check_.designed.resonanceMHz && check_.built.resonanceMHz && check_.trimmed &&
                check_.trimmed->resonanceMHz);
    // The built coil is smaller than designed: it resonates higher, and the trim adds wire.
    EXPECT_GT(*check_.built.resonanceMHz, *check_.designed.resonanceMHz);
    EXPECT_EQ(check_.trim.outcome, TrimOutcome::Reached);
    EXPECT_GT(check_.trim.tipChange, 0.0);
    EXPECT_EQ(check_.designed.length, input.length);
    EXPECT_EQ(check_.built.coilAtDesign, input.built(kDesignHz));
    EXPECT_EQ(check_.trimmed->coilAtDesign, input.built(kDesignHz));
    for (const AntennaResult* result : {&check_.designed, &check_.built, &*check_.trimmed}) {
        ASSERT_TRUE(result->band.lowerMHz && result->band.upperMHz);
        EXPECT_TRUE(inBand(result->band, *result->resonanceMHz));
        EXPECT_NEAR(result->designSwr, swr(result->designImpedance), 1e-12);
        EXPECT_GT(result->resonanceResistance, 30.0);
        EXPECT_LT(result->resonanceResistance, 80.0);
        // The two segmentations agree to well within the trim's centimetre.
        EXPECT_GE(result->resonanceUncertainty, 0.0);
        EXPECT_LT(result->resonanceUncertainty, 0.005);
        EXPECT_TRUE(result->converged);
    }
    EXPECT_TRUE(inBand(check_.trimmed->band, kDesignMHz));
    // The copper wire takes a little of the power, the lossy coils some more.
    EXPECT_GT(check_.designed.designEfficiency, 0.95);
    EXPECT_LT(check_.designed.designEfficiency, 0.995);
    EXPECT_LT(check_.built.designEfficiency, check_.designed.designEfficiency);
    EXPECT_LT(check_.built.designEfficiency, 0.99);
    EXPECT_GT(check_.built.designEfficiency, 0.8);
    EXPECT_GE(progressLines_.size(), 3u);
    EXPECT_NE(check_.builtDeck.find("EN"), std::string::npos);
    EXPECT_GT(check_.segments, 0);
    EXPECT_GT(check_.fineSegments, check_.segments);
}

// The trimmed antenna, modelled again on its own and cut afresh for its length as any antenna
// of that length would be, resonates at F; one centimetre either way would be farther off. A
// centimetre of each tip moves this antenna by about 0.1 %, so the rounding alone may leave up
// to half of that.
TEST_F(TypicalDesign, TrimmedAntennaResonatesAtTheDesignFrequency) {
    const AntennaCheckInput input = typicalDesign();
    ASSERT_TRUE(check_.trimmed && check_.trimmed->resonanceMHz);
    const auto offAt = [&](double tipChange) {
        const auto f = resonanceOf(antennaModel(input, input.length + 2.0 * tipChange, input.built),
                                   input.built, kDesignMHz, 0.01 * kDesignMHz);
        return f ? std::abs(*f - kDesignMHz) : 1e9;
    };
    const double tip = check_.trim.tipChange;
    EXPECT_FALSE(check_.trim.toMillimetres);
    EXPECT_NEAR(std::round(tip * 100.0), tip * 100.0, 1e-9);
    const double off = offAt(tip);
    const double perCentimetre =
        (*check_.built.resonanceMHz - *check_.trimmed->resonanceMHz) / (tip * 100.0);
    const double rounding = std::max(0.0005 * kDesignMHz, 0.55 * std::abs(perCentimetre));
    EXPECT_LE(off, rounding);
    EXPECT_NEAR(*check_.trimmed->resonanceMHz, kDesignMHz, rounding);
    EXPECT_NEAR(*check_.trimmed->resonanceMHz, kDesignMHz, off + 1e-4 * kDesignMHz);
    EXPECT_GE(offAt(tip + 0.01), off);
    EXPECT_GE(offAt(tip - 0.01), off);
}

// The needed coil, with the loss `resistance` its search held, puts the designed length on F,
// found independently of the check; its whole turns are the nearest and resonate on the right
// side of F.
void expectNeededCoilOnF(const AntennaCheckInput& input, const AntennaCheck& check,
                         double resistance) {
    ASSERT_EQ(check.neededCoil.outcome, CoilOutcome::Found);
    const double needed = check.neededCoil.apparentInductance;
    ASSERT_GT(needed, testInductance(input.builtTurns)); // the built coil is too small
    const CoilImpedance neededCoil = seriesCoil(resistance, needed);
    const auto f = resonanceOf(antennaModel(input, input.length, neededCoil), neededCoil,
                               kDesignMHz, 0.01 * kDesignMHz, builtCounts(input));
    ASSERT_TRUE(f);
    EXPECT_NEAR(*f, kDesignMHz, 0.0005 * kDesignMHz);
    const int turns = check.neededCoil.turns;
    const double miss = std::abs(testInductance(turns) - needed);
    EXPECT_LE(miss, std::abs(testInductance(turns + 1) - needed));
    EXPECT_LE(miss, std::abs(testInductance(turns - 1) - needed));
    EXPECT_EQ(check.neededCoil.turnsAtDesign, testCoil(turns)(kDesignHz));
    ASSERT_TRUE(check.neededCoil.turnsResonanceMHz);
    const bool moreThanNeeded = testInductance(turns) > needed;
    EXPECT_EQ(*check.neededCoil.turnsResonanceMHz < kDesignMHz, moreThanNeeded);
    EXPECT_NEAR(*check.neededCoil.turnsResonanceMHz, kDesignMHz, 0.02 * kDesignMHz);
}

TEST_F(TypicalDesign, NeededCoilResonatesAtTheDesignFrequency) {
    const AntennaCheckInput input = typicalDesign();
    expectNeededCoilOnF(input, check_, input.built(kDesignHz).real());
}

// Wound with so few turns that as built it has no resonance near F, or with none at all, the
// antenna gets no trim, yet the coil that keeps the designed length is still sought: from the
// built coil's Q at step 1's inductance, or step 1's lossless coil where there is no coil to
// scale.
TEST(RealEngine, ABuiltCoilFarTooSmallStillGetsTheCoilThatPutsItOnF) {
    const double q = 200.0;
    const double threeTurns = testInductance(3);
    const struct {
        const char* name;
        CoilImpedance built;
        double searchedLoss; // ohm, the start's at F
    } rows[] = {
        {"three turns", seriesCoil(omegaAt(kDesignHz) * threeTurns / q, threeTurns),
         omegaAt(kDesignHz) * kDesignedInductance / q},
        {"no coil", seriesCoil(0.0, 0.0), 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AntennaCheckInput input = typicalDesign();
        input.builtTurns = 3;
        input.built = row.built;
        const AntennaCheck check = checked(input);
        EXPECT_FALSE(check.built.resonanceMHz);
        EXPECT_EQ(check.trim.outcome, TrimOutcome::NoResonance);
        EXPECT_FALSE(check.trimmed);
        expectNeededCoilOnF(input, check, row.searchedLoss);
    }
}

// The figure the report sets beside the built antenna for Medhurst's capacitance is the
// engine's own resonance of that antenna, modelled again on its own.
TEST(RealEngine, MedhurstResonanceIsTheEnginesOwn) {
    AntennaCheckInput input = typicalDesign();
    const double larger = 1.02 * testInductance(input.builtTurns);
    input.medhurst = seriesCoil(input.built(kDesignHz).real(), larger);
    const AntennaCheck check = checked(input);
    ASSERT_TRUE(check.medhurst && check.medhurst->resonanceMHz && check.built.resonanceMHz);
    EXPECT_LT(*check.medhurst->resonanceMHz, *check.built.resonanceMHz);
    const auto f = resonanceOf(antennaModel(input, input.length, input.medhurst), input.medhurst,
                               kDesignMHz, 0.05 * kDesignMHz, builtCounts(input));
    ASSERT_TRUE(f);
    EXPECT_NEAR(*check.medhurst->resonanceMHz, *f, 0.0005 * kDesignMHz);
    EXPECT_LT(check.medhurst->resonanceUncertainty, 0.005);
}

TEST(RealEngine, OverAPerfectGround) {
    AntennaCheckInput input = typicalDesign();
    input.ground = Ground{GroundKind::Perfect, 10.0};
    const AntennaCheck check = checked(input);
    ASSERT_TRUE(check.built.resonanceMHz && check.trimmed && check.trimmed->resonanceMHz);
    EXPECT_NEAR(*check.trimmed->resonanceMHz, kDesignMHz, 0.001 * kDesignMHz);
    // A perfect ground loses no power: only the copper wire does.
    EXPECT_GT(check.designed.designEfficiency, 0.95);
    EXPECT_LT(check.designed.designEfficiency, 0.995);
    EXPECT_NE(check.builtDeck.find("GN 1"), std::string::npos);
    EXPECT_TRUE(check.built.sky);
}

// The segments of each deck the engine is given, and the engine's own answers.
struct RecordingEngine {
    std::vector<int> segments;
    Engine engine() {
        return [this](const std::vector<std::string>& decks) {
            for (const std::string& deck : decks) {
                std::istringstream lines(deck);
                int total = 0;
                for (std::string card; std::getline(lines, card);) {
                    if (card.rfind("GW ", 0) == 0) {
                        std::istringstream fields(card.substr(3));
                        int tag = 0;
                        int count = 0;
                        fields >> tag >> count;
                        total += count;
                    }
                }
                segments.push_back(total);
            }
            return realEngine()(decks);
        };
    }
};

// A batch of a few decks goes to the engine in halves, the costliest first, and every request
// still gets its own frequencies' points in its own order, the same bits as its deck alone.
TEST(RealEngine, ABatchSplitOverBothCoresGivesEachDeckItsOwnPoints) {
    const AntennaCheckInput input = typicalDesign();
    const AntennaModel model = antennaModel(input, input.length, input.built);
    const Segmentation coarse = std::get<Segmentation>(segmentAntenna(model, 8.0));
    const Segmentation fine = std::get<Segmentation>(segmentWith(model, coarse.counts, 2, 8.0));
    const auto request = [&](const Segmentation& seg, std::vector<double> mhz) {
        return Request{model, seg, at(input.built, mhz), "batch", {}};
    };
    const Request one = request(coarse, {6.9});
    const Request three = request(coarse, {6.8, 7.0, 7.2});
    const Request fineFour = request(fine, {6.95, 7.0, 7.05, 7.1});
    struct Row {
        const char* what;
        std::vector<Request> requests;
        std::vector<int> segments; // of the decks, in the order the engine gets them
    };
    const int c = coarse.totalSegments;
    const int f = fine.totalSegments;
    const std::vector<Row> rows = {
        {"a lone deck", {three}, {c, c}},
        {"the finer deck first", {three, fineFour}, {f, f, c, c}},
        {"one frequency is not split", {one, three, fineFour}, {f, f, c, c, c}},
        {"four decks go whole", {one, three, fineFour, one}, {f, c, c, c}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingEngine recording;
        const Batch batch = runBatch(recording.engine(), row.requests);
        ASSERT_TRUE(std::holds_alternative<std::vector<EngineRun>>(batch));
        EXPECT_EQ(recording.segments, row.segments);
        const auto& runs = std::get<std::vector<EngineRun>>(batch);
        ASSERT_EQ(runs.size(), row.requests.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const Request& r = row.requests[i];
            const std::vector<EngineRun> alone =
                realEngine()({writeDeck(r.model, r.segmentation, r.frequencies, r.comment)});
            ASSERT_EQ(runs[i].points.size(), alone.front().points.size());
            for (std::size_t k = 0; k < runs[i].points.size(); ++k) {
                EXPECT_EQ(runs[i].points[k].frequencyMHz, r.frequencies[k].frequencyMHz);
                EXPECT_EQ(runs[i].points[k].impedance, alone.front().points[k].impedance);
                EXPECT_EQ(runs[i].points[k].structureLoss, alone.front().points[k].structureLoss);
            }
        }
    }
}

// The study analyses the antenna with the coil it found whole, after the coil search has
// already located that antenna's resonance at the finer levels (near the tips at a third): the
// analysis takes those levels' points and asks the engine only for the working level, and its
// figures are the fresh analysis's to within the resonance's interpolation.
TEST(RealEngine, TheAntennaWithTheCoilFoundIsNotLocatedTwice) {
    AntennaCheckInput input = typicalDesign();
    input.coilDistance = 5.6;
    const Engine& engine = realEngine();
    const Progress progress;
    const Context context{input,
                          engine,
                          progress,
                          kDesignMHz * (1.0 + kResonanceWindow),
                          sweepPlan(input.ground.kind),
                          {}};
    auto built = std::move(std::get<std::unique_ptr<Analysis>>(
        newAnalysis(context, input.length, input.built, "as built")));
    ASSERT_FALSE(runTogether(engine, {built.get()}));
    NeededCoilTask coil(context, *built, input.length);
    ASSERT_FALSE(runTogether(engine, {&coil}));
    ASSERT_EQ(coil.outcome(), CoilOutcome::Found);
    ASSERT_NE(coil.corrected(), nullptr);

    std::vector<AntennaResult> results;
    std::vector<int> finest;
    for (const bool reuse : {false, true}) {
        auto analysis = std::move(std::get<std::unique_ptr<Analysis>>(
            newAnalysis(context, input.length, coil.coil(), "on F")));
        if (reuse) {
            analysis->reuseLevels(*coil.corrected());
        }
        RecordingEngine recording;
        ASSERT_FALSE(runTogether(recording.engine(), {analysis.get()}));
        results.push_back(analysis->result());
        finest.push_back(*std::max_element(recording.segments.begin(), recording.segments.end()));
        EXPECT_EQ(finest.back() == analysis->coarse().totalSegments, reuse);
    }
    EXPECT_GT(finest.front(), 2 * finest.back()); // the fresh one went to a third level
    ASSERT_TRUE(results[0].resonanceMHz && results[1].resonanceMHz);
    EXPECT_NEAR(*results[1].resonanceMHz, *results[0].resonanceMHz, 1e-6 * kDesignMHz);
    EXPECT_NEAR(results[1].resonanceUncertainty, results[0].resonanceUncertainty, 1e-6);
    EXPECT_NEAR(results[1].designEfficiency, results[0].designEfficiency, 1e-6);
    ASSERT_TRUE(results[1].band.lowerMHz && results[1].band.upperMHz);
    EXPECT_NEAR(*results[1].band.lowerMHz, *results[0].band.lowerMHz, 1e-6 * kDesignMHz);
    EXPECT_NEAR(*results[1].band.upperMHz, *results[0].band.upperMHz, 1e-6 * kDesignMHz);
}

} // namespace
} // namespace brevan::check
