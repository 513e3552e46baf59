#include "antenna_check.h"
#include "nec/engine/nec2c_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace brevan::check {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetreMegahertz = 299.792458; // c, m * MHz
constexpr double kDesignMHz = 7.05;
constexpr double kWireDiameter = 1.62600e-3; // SWG 16

// A coil helper of our own, so these tests do not lean on the coil model: inductance grows as
// the square of the turns, the loss in proportion to them.
CoilLoad testCoil(int turns) {
    const double n = turns / 30.0;
    return CoilLoad{6.8e-6 * n * n, 1.5 * n};
}

AntennaCheckInput typicalDesign() {
    AntennaCheckInput input;
    input.designMHz = kDesignMHz;
    input.length = 15.0;
    input.coilDistance = 3.0;
    input.wireDiameter = kWireDiameter;
    input.designed = CoilLoad{7.17692396135787e-6, 0.0};
    input.built = testCoil(30);
    input.builtTurns = 30;
    input.coilOfTurns = testCoil;
    return input;
}

const Engine& realEngine() {
    static const Engine engine = nec2cEngine({});
    return engine;
}

AntennaCheck checked(const AntennaCheckInput& input, const Engine& engine = realEngine()) {
    auto result = checkAntenna(input, engine, {});
    if (const auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        ADD_FAILURE() << failure->message;
        return {};
    }
    return std::get<AntennaCheck>(result);
}

// The resonance of a model found independently of the check: one sweep of the real engine and
// a linear interpolation of the reactance's zero. Segmented like the check segments every
// model, for the top of its search window, so both see the same wire.
std::optional<double> resonanceOf(const AntennaModel& model, double centreMHz, double spanMHz) {
    const auto segmented = segmentAntenna(model, kDesignMHz * (1.0 + kResonanceWindow));
    if (!std::holds_alternative<Segmentation>(segmented)) {
        ADD_FAILURE() << std::get<ModelRefusal>(segmented).reason;
        return std::nullopt;
    }
    const int count = 61;
    const Sweep sweep{centreMHz - spanMHz, 2.0 * spanMHz / (count - 1), count};
    const auto runs =
        realEngine()({writeDeck(model, std::get<Segmentation>(segmented), {sweep}, "independent")});
    if (runs.size() != 1 || runs[0].failure != EngineFailure::None) {
        ADD_FAILURE() << "the engine failed";
        return std::nullopt;
    }
    const auto& points = runs[0].points;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double x0 = points[i].impedance.imag();
        const double x1 = points[i + 1].impedance.imag();
        if (x0 < 0.0 && x1 >= 0.0) {
            const double f0 = sweep.start + sweep.step * static_cast<double>(i);
            return f0 + sweep.step * x0 / (x0 - x1);
        }
    }
    return std::nullopt;
}

// ------------------------------------------------------------------ SWR and the band

TEST(Swr, OnFiftyOhms) {
    struct Row {
        std::complex<double> impedance;
        double expected;
    };
    const std::vector<Row> rows = {
        {{50.0, 0.0}, 1.0},
        {{100.0, 0.0}, 2.0},
        {{25.0, 0.0}, 2.0},
        {{150.0, 0.0}, 3.0},
        // |G| = |j50 / (100 + j50)| = 1 / sqrt(5)
        {{50.0, 50.0}, (1.0 + 1.0 / std::sqrt(5.0)) / (1.0 - 1.0 / std::sqrt(5.0))},
        {{50.0, -50.0}, (1.0 + 1.0 / std::sqrt(5.0)) / (1.0 - 1.0 / std::sqrt(5.0))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.impedance);
        EXPECT_NEAR(swr(row.impedance), row.expected, 1e-12);
    }
    EXPECT_TRUE(std::isinf(swr({0.0, 0.0})));  // a short reflects everything
    EXPECT_TRUE(std::isinf(swr({0.0, 80.0}))); // so does a pure reactance
    EXPECT_NEAR(swr({75.0, 0.0}, 75.0), 1.0, 1e-12);
}

TEST(InBand, EdgesIncludedAndBothNeeded) {
    const SwrBand band{7.0, 7.2};
    struct Row {
        SwrBand band;
        double frequency;
        bool expected;
    };
    const std::vector<Row> rows = {
        {band, 7.1, true},
        {band, 7.0, true},
        {band, 7.2, true},
        {band, 6.999, false},
        {band, 7.201, false},
        {SwrBand{7.0, {}}, 7.1, false},
        {SwrBand{{}, 7.2}, 7.1, false},
        {SwrBand{}, 7.1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frequency);
        EXPECT_EQ(inBand(row.band, row.frequency), row.expected);
    }
}

// ------------------------------------------------------------------ an engine with known answers

// A series resonant circuit in place of the antenna: Z = R + j X0 (f/f0 - f0/f), with
// f0 = K / (wire length + beta * coil inductance), read from the deck's GW and LD cards. Its
// resonance, 2:1 band, trim and needed inductance are all known in closed form.
struct CircuitAntenna {
    double k = 142.5;    // MHz * m
    double beta = 0.6e6; // m per henry: what a coil is worth in wire
    double resistance = 55.0;
    double x0 = 600.0;

    double resonance(double length, double inductance) const {
        return k / (length + beta * inductance);
    }
    double bandEdge(double length, double inductance, double sign) const {
        const double r = resistance;
        const double edgeReactance = std::sqrt(((r + 50) * (r + 50) - 9 * (r - 50) * (r - 50)) / 8);
        const double u = sign * edgeReactance / x0;
        return resonance(length, inductance) * (u + std::sqrt(u * u + 4.0)) / 2.0;
    }

    std::vector<EngineRun> operator()(const std::vector<std::string>& decks) const {
        std::vector<EngineRun> runs;
        for (const std::string& deck : decks) {
            runs.push_back(run(deck));
        }
        return runs;
    }

    EngineRun run(const std::string& deck) const {
        std::istringstream lines(deck);
        std::string line;
        double halfLength = 0.0;
        double inductance = 0.0;
        std::vector<double> frequencies;
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string card;
            fields >> card;
            std::vector<double> values;
            for (double value = 0.0; fields >> value;) {
                values.push_back(value);
            }
            if (card == "GW") {
                halfLength = std::max({halfLength, std::abs(values[3]), std::abs(values[6])});
            } else if (card == "LD" && values.at(0) == 0.0) { // a coil, not the wire's copper
                inductance = values.at(5);
            } else if (card == "FR") {
                for (int i = 0; i < static_cast<int>(values[1]); ++i) {
                    frequencies.push_back(values[4] + values[5] * i);
                }
            }
        }
        const double f0 = resonance(2.0 * halfLength, inductance);
        EngineRun run;
        for (const double f : frequencies) {
            FeedPoint point;
            point.frequencyMHz = f;
            point.impedance = {resistance, x0 * (f / f0 - f0 / f)};
            point.inputPower = 1.0;
            point.radiatedPower = 0.9;
            point.structureLoss = 0.1;
            run.points.push_back(point);
        }
        return run;
    }
};

TEST(CircuitAntenna, ResonanceAndBandToATenThousandth) {
    const CircuitAntenna circuit;
    const AntennaCheckInput input = typicalDesign();
    const AntennaCheck check = checked(input, Engine(circuit));
    struct Row {
        const char* name;
        const AntennaResult& result;
    };
    for (const Row& row : {Row{"designed", check.designed}, Row{"built", check.built},
                           Row{"trimmed", check.trimmed}}) {
        SCOPED_TRACE(row.name);
        const double length = row.result.length;
        const double inductance = row.result.coil.inductance;
        ASSERT_TRUE(row.result.resonanceMHz);
        const double f0 = circuit.resonance(length, inductance);
        EXPECT_NEAR(*row.result.resonanceMHz, f0, 1e-4 * f0);
        EXPECT_NEAR(row.result.resonanceResistance, circuit.resistance, 1e-6);
        ASSERT_TRUE(row.result.band.lowerMHz && row.result.band.upperMHz);
        EXPECT_NEAR(*row.result.band.lowerMHz, circuit.bandEdge(length, inductance, -1.0),
                    1e-4 * f0);
        EXPECT_NEAR(*row.result.band.upperMHz, circuit.bandEdge(length, inductance, 1.0),
                    1e-4 * f0);
        EXPECT_NEAR(row.result.designEfficiency, 0.9, 1e-12);
        const double xAtF = circuit.x0 * (kDesignMHz / f0 - f0 / kDesignMHz);
        EXPECT_NEAR(row.result.designImpedance.imag(), xAtF, 1e-6 * std::abs(xAtF) + 1e-9);
    }
}

TEST(CircuitAntenna, TrimAndNeededInductanceAreTheClosedFormOnes) {
    const CircuitAntenna circuit;
    const AntennaCheckInput input = typicalDesign();
    const AntennaCheck check = checked(input, Engine(circuit));
    // f0 = F needs a wire of K / F - beta L.
    const double exactTip =
        (circuit.k / kDesignMHz - circuit.beta * input.built.inductance - input.length) / 2.0;
    EXPECT_NEAR(check.trim.tipChange, std::round(exactTip * 100.0) / 100.0, 1e-9);
    EXPECT_NEAR(check.trim.trimmedLength, input.length + 2.0 * check.trim.tipChange, 1e-12);
    const double exactInductance = (circuit.k / kDesignMHz - input.length) / circuit.beta;
    // Found to a resonance within 0.01 % of F, which is what the inductance is for.
    EXPECT_NEAR(circuit.resonance(input.length, check.trim.neededInductance), kDesignMHz,
                1e-4 * kDesignMHz);
    // The helper's inductance grows as N^2: 30 turns at 6.8 uH scale as the square root.
    const double exactTurns = 30.0 * std::sqrt(exactInductance / 6.8e-6);
    EXPECT_LE(std::abs(check.trim.neededTurns - exactTurns), 0.5 + 1e-9);
    EXPECT_EQ(check.trim.neededTurnsCoil.inductance, testCoil(check.trim.neededTurns).inductance);
}

TEST(CircuitAntenna, CurvesShareOneRangeShowingEveryDipAndF) {
    const AntennaCheck check = checked(typicalDesign(), Engine(CircuitAntenna{}));
    const auto& reference = check.designed.curve;
    ASSERT_GE(reference.size(), 60u);
    ASSERT_LE(reference.size(), 120u);
    for (const AntennaResult* result : {&check.designed, &check.built, &check.trimmed}) {
        ASSERT_EQ(result->curve.size(), reference.size());
        EXPECT_EQ(result->curve.front().frequencyMHz, reference.front().frequencyMHz);
        EXPECT_EQ(result->curve.back().frequencyMHz, reference.back().frequencyMHz);
        EXPECT_TRUE(std::is_sorted(result->curve.begin(), result->curve.end(),
                                   [](const FeedPoint& a, const FeedPoint& b) {
                                       return a.frequencyMHz < b.frequencyMHz;
                                   }));
        for (const auto& f :
             {result->band.lowerMHz, result->band.upperMHz, std::optional<double>(kDesignMHz)}) {
            ASSERT_TRUE(f);
            EXPECT_LT(reference.front().frequencyMHz, *f);
            EXPECT_GT(reference.back().frequencyMHz, *f);
        }
    }
}

TEST(CircuitAntenna, NoBandWhereTheResistanceIsFarFrom50Ohm) {
    CircuitAntenna circuit;
    circuit.resistance = 120.0; // SWR 2.4 at best
    const AntennaCheck check = checked(typicalDesign(), Engine(circuit));
    ASSERT_TRUE(check.built.resonanceMHz);
    EXPECT_FALSE(check.built.band.lowerMHz);
    EXPECT_FALSE(check.built.band.upperMHz);
    EXPECT_NEAR(check.built.resonanceResistance, 120.0, 1e-6);
}

TEST(CircuitAntenna, NoResonanceWithinTheWindow) {
    CircuitAntenna circuit;
    circuit.k = 60.0; // resonates near 3 MHz, far below 0.7 F
    AntennaCheckInput input = typicalDesign();
    // The trim would have to cut the wire past the coils: it goes as far as it can, cut back
    // to the coils in whole centimetres, and says it falls short.
    const AntennaCheck short_ = checked(input, Engine(circuit));
    EXPECT_FALSE(short_.trim.reachesDesign);
    EXPECT_LT(short_.trim.tipChange, 0.0);
    EXPECT_GT(short_.trim.trimmedLength, 2.0 * input.coilDistance);
    EXPECT_LT(short_.trim.trimmedLength, 2.0 * input.coilDistance + 1.0);
    EXPECT_NEAR(std::round(short_.trim.tipChange * 100.0), short_.trim.tipChange * 100.0, 1e-9);

    circuit.k = 90.0; // about 4.7 MHz: outside the window, but a trim can still reach F
    const AntennaCheck check = checked(input, Engine(circuit));
    EXPECT_TRUE(check.trim.reachesDesign);
    EXPECT_FALSE(check.built.resonanceMHz);
    ASSERT_TRUE(check.trimmed.resonanceMHz);
    EXPECT_NEAR(*check.trimmed.resonanceMHz, kDesignMHz, 0.001 * kDesignMHz);
}

// ------------------------------------------------------------------ failures

TEST(AntennaCheckFailures, EngineFailureKeepsItsKind) {
    for (const EngineFailure kind : {EngineFailure::Missing, EngineFailure::Failed,
                                     EngineFailure::TimedOut, EngineFailure::Unreadable}) {
        const Engine broken = [kind](const std::vector<std::string>& decks) {
            return std::vector<EngineRun>(decks.size(), EngineRun{kind, "went wrong", {}});
        };
        auto result = checkAntenna(typicalDesign(), broken, {});
        ASSERT_TRUE(std::holds_alternative<AntennaCheckFailure>(result));
        const auto& failure = std::get<AntennaCheckFailure>(result);
        EXPECT_EQ(failure.engine, kind);
        EXPECT_FALSE(failure.model);
        EXPECT_NE(failure.message.find("went wrong"), std::string::npos);
    }
}

TEST(AntennaCheckFailures, ShortOutputIsUnreadable) {
    const Engine truncating = [](const std::vector<std::string>& decks) {
        auto runs = CircuitAntenna{}(decks);
        for (EngineRun& run : runs) {
            run.points.pop_back();
        }
        return runs;
    };
    auto result = checkAntenna(typicalDesign(), truncating, {});
    ASSERT_TRUE(std::holds_alternative<AntennaCheckFailure>(result));
    EXPECT_EQ(std::get<AntennaCheckFailure>(result).engine, EngineFailure::Unreadable);
}

TEST(AntennaCheckFailures, CoilsBeyondTheTipsAreRefused) {
    AntennaCheckInput input = typicalDesign();
    input.coilDistance = 8.0; // past the 7.5 m half-length
    int decks = 0;
    const Engine counting = [&decks](const std::vector<std::string>& batch) {
        decks += static_cast<int>(batch.size());
        return CircuitAntenna{}(batch);
    };
    auto result = checkAntenna(input, counting, {});
    ASSERT_TRUE(std::holds_alternative<AntennaCheckFailure>(result));
    const auto& failure = std::get<AntennaCheckFailure>(result);
    ASSERT_TRUE(failure.model);
    EXPECT_EQ(failure.engine, EngineFailure::None);
    EXPECT_FALSE(failure.message.empty());
    EXPECT_EQ(decks, 0);
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
    EXPECT_LT(check.trim.tipChange, 0.0);
    EXPECT_EQ(check.trim.neededInductance, 0.0);
    EXPECT_EQ(check.trim.neededTurns, 0);
}

// Loads of zero ohm and zero henry are the unloaded wire: the deck without its LD cards gives
// the same impedances.
TEST(RealEngine, ZeroLoadIsTheUnloadedWire) {
    AntennaCheckInput input = typicalDesign();
    const AntennaModel loaded = antennaModel(input, input.length, CoilLoad{});
    const auto segmentation =
        std::get<Segmentation>(segmentAntenna(loaded, kDesignMHz * (1.0 + kResonanceWindow)));
    const std::string deck = writeDeck(loaded, segmentation, {Sweep{6.0, 0.5, 7}}, "zero loads");
    std::string unloaded;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("LD 0", 0) != 0) { // the coils go; the wire's copper stays
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
        input.designed = CoilLoad{microhenry * 1e-6, 0.0};
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
    ASSERT_TRUE(check_.designed.resonanceMHz && check_.built.resonanceMHz &&
                check_.trimmed.resonanceMHz);
    // The built coil is smaller than designed: it resonates higher, and the trim adds wire.
    EXPECT_GT(*check_.built.resonanceMHz, *check_.designed.resonanceMHz);
    EXPECT_GT(check_.trim.tipChange, 0.0);
    EXPECT_EQ(check_.designed.length, input.length);
    EXPECT_EQ(check_.built.coil.resistance, input.built.resistance);
    for (const AntennaResult* result : {&check_.designed, &check_.built, &check_.trimmed}) {
        ASSERT_TRUE(result->band.lowerMHz && result->band.upperMHz);
        EXPECT_TRUE(inBand(result->band, *result->resonanceMHz));
        EXPECT_NEAR(result->designSwr, swr(result->designImpedance), 1e-12);
        EXPECT_GT(result->resonanceResistance, 30.0);
        EXPECT_LT(result->resonanceResistance, 80.0);
    }
    EXPECT_TRUE(inBand(check_.trimmed.band, kDesignMHz));
    // The copper wire takes a little of the power, the lossy coils some more.
    EXPECT_GT(check_.designed.designEfficiency, 0.95);
    EXPECT_LT(check_.designed.designEfficiency, 0.995);
    EXPECT_LT(check_.built.designEfficiency, check_.designed.designEfficiency);
    EXPECT_LT(check_.built.designEfficiency, 0.99);
    EXPECT_GT(check_.built.designEfficiency, 0.8);
    EXPECT_GE(progressLines_.size(), 3u);
    EXPECT_NE(check_.builtDeck.find("EN"), std::string::npos);
    EXPECT_EQ(check_.builtSegmentation.totalSegments > 0, true);
}

// The trimmed antenna, modelled again on its own, resonates at F; one centimetre either way
// would be farther off. A centimetre of each tip moves this antenna by about 0.1 %, so the
// rounding alone may leave up to half of that.
TEST_F(TypicalDesign, TrimmedAntennaResonatesAtTheDesignFrequency) {
    const AntennaCheckInput input = typicalDesign();
    const auto offAt = [&](double tipChange) {
        const auto f = resonanceOf(antennaModel(input, input.length + 2.0 * tipChange, input.built),
                                   kDesignMHz, 0.01 * kDesignMHz);
        return f ? std::abs(*f - kDesignMHz) : 1e9;
    };
    const double tip = check_.trim.tipChange;
    EXPECT_NEAR(std::round(tip * 100.0), tip * 100.0, 1e-9);
    const double off = offAt(tip);
    const double perCentimetre =
        (*check_.built.resonanceMHz - *check_.trimmed.resonanceMHz) / (tip * 100.0);
    EXPECT_LE(off, std::max(0.0005 * kDesignMHz, 0.55 * std::abs(perCentimetre)));
    EXPECT_NEAR(*check_.trimmed.resonanceMHz, kDesignMHz, off + 1e-4 * kDesignMHz);
    EXPECT_GE(offAt(tip + 0.01), off);
    EXPECT_GE(offAt(tip - 0.01), off);
}

TEST_F(TypicalDesign, NeededInductanceResonatesAtTheDesignFrequency) {
    const AntennaCheckInput input = typicalDesign();
    const double needed = check_.trim.neededInductance;
    ASSERT_GT(needed, input.built.inductance); // the built coil is too small
    const auto f =
        resonanceOf(antennaModel(input, input.length, CoilLoad{needed, input.built.resistance}),
                    kDesignMHz, 0.01 * kDesignMHz);
    ASSERT_TRUE(f);
    EXPECT_NEAR(*f, kDesignMHz, 0.0005 * kDesignMHz);
    // The whole turns nearest in inductance, and their resonance on the right side of F.
    const int turns = check_.trim.neededTurns;
    const double miss = std::abs(testCoil(turns).inductance - needed);
    EXPECT_LE(miss, std::abs(testCoil(turns + 1).inductance - needed));
    EXPECT_LE(miss, std::abs(testCoil(turns - 1).inductance - needed));
    ASSERT_TRUE(check_.trim.neededTurnsResonanceMHz);
    const bool moreThanNeeded = check_.trim.neededTurnsCoil.inductance > needed;
    EXPECT_EQ(*check_.trim.neededTurnsResonanceMHz < kDesignMHz, moreThanNeeded);
    EXPECT_NEAR(*check_.trim.neededTurnsResonanceMHz, kDesignMHz, 0.02 * kDesignMHz);
}

TEST(RealEngine, OverAPerfectGround) {
    AntennaCheckInput input = typicalDesign();
    input.ground = Ground{GroundKind::Perfect, 10.0};
    const AntennaCheck check = checked(input);
    ASSERT_TRUE(check.built.resonanceMHz && check.trimmed.resonanceMHz);
    EXPECT_NEAR(*check.trimmed.resonanceMHz, kDesignMHz, 0.001 * kDesignMHz);
    // A perfect ground loses no power: only the copper wire does.
    EXPECT_GT(check.designed.designEfficiency, 0.95);
    EXPECT_LT(check.designed.designEfficiency, 0.995);
    EXPECT_NE(check.builtDeck.find("GN 1"), std::string::npos);
}

} // namespace
} // namespace brevan::check
