// SPDX-License-Identifier: GPL-3.0-or-later
// The antenna check's searches and figures on an engine with known answers (a series resonant
// circuit in place of the antenna), the SWR and band helpers, and the engine's failures.
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
// f0 = K (wire length + beta * coil inductance)^power, read from the deck's GW cards and, for
// each frequency, its coil loads (LD 4, X = omega L). Power -1 is a wire that resonates lower as
// it grows; +1 one that does the opposite, which no search over length or inductance can make
// sense of. Its resonance, 2:1 band, trim and needed inductance are all known in closed form,
// and it answers the same at every segmentation.
struct CircuitAntenna {
    double k = 142.5;    // MHz * m
    double beta = 0.6e6; // m per henry: what a coil is worth in wire
    double power = -1.0;
    double resistance = 55.0;
    double x0 = 600.0;

    double resonance(double length, double inductance) const {
        return k * std::pow(length + beta * inductance, power);
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

    // One feed point per FR card, with the coil reactance given before it.
    EngineRun run(const std::string& deck) const {
        std::istringstream lines(deck);
        std::string line;
        double halfLength = 0.0;
        double reactance = 0.0;
        EngineRun run;
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
            } else if (card == "LD" && values.at(0) == 4.0) { // a coil, not the wire's copper
                reactance = values.at(5);
            } else if (card == "FR") {
                for (int i = 0; i < static_cast<int>(values[1]); ++i) {
                    const double f = values[4] + values[5] * i;
                    const double f0 = resonance(2.0 * halfLength, reactance / omegaAt(f * 1e6));
                    FeedPoint point;
                    point.frequencyMHz = f;
                    point.impedance = {resistance, x0 * (f / f0 - f0 / f)};
                    point.inputPower = 1.0;
                    point.radiatedPower = 0.9;
                    point.structureLoss = 0.1;
                    run.points.push_back(point);
                }
            }
        }
        return run;
    }
};

TEST(CircuitAntenna, ResonanceAndBandToATenThousandth) {
    const CircuitAntenna circuit;
    const AntennaCheck check = checked(typicalDesign(), Engine(circuit));
    ASSERT_TRUE(check.trimmed);
    struct Row {
        const char* name;
        const AntennaResult& result;
    };
    for (const Row& row : {Row{"designed", check.designed}, Row{"built", check.built},
                           Row{"trimmed", *check.trimmed}}) {
        SCOPED_TRACE(row.name);
        const double length = row.result.length;
        const double inductance = apparentInductance(row.result.coilAtDesign);
        ASSERT_TRUE(row.result.resonanceMHz);
        const double f0 = circuit.resonance(length, inductance);
        EXPECT_NEAR(*row.result.resonanceMHz, f0, 1e-4 * f0);
        // Both segmentations see the same circuit: nothing to extrapolate, nothing uncertain.
        EXPECT_LT(row.result.resonanceUncertainty, 1e-6);
        EXPECT_NEAR(row.result.resonanceResistance, circuit.resistance, 1e-6);
        ASSERT_TRUE(row.result.band.lowerMHz && row.result.band.upperMHz);
        EXPECT_NEAR(*row.result.band.lowerMHz, circuit.bandEdge(length, inductance, -1.0),
                    1e-4 * f0);
        EXPECT_NEAR(*row.result.band.upperMHz, circuit.bandEdge(length, inductance, 1.0),
                    1e-4 * f0);
        EXPECT_NEAR(row.result.designEfficiency, 0.9, 1e-12);
        const double xAtF = circuit.x0 * (kDesignMHz / f0 - f0 / kDesignMHz);
        EXPECT_NEAR(row.result.designImpedance.imag(), xAtF, 1e-6 * std::abs(xAtF) + 1e-4);
        EXPECT_TRUE(row.result.converged);
    }
    EXPECT_GT(check.fineSegments, check.segments);
}

TEST(CircuitAntenna, TrimAndNeededCoilAreTheClosedFormOnes) {
    const CircuitAntenna circuit;
    const AntennaCheckInput input = typicalDesign();
    const AntennaCheck check = checked(input, Engine(circuit));
    const double builtInductance = testInductance(input.builtTurns);
    // f0 = F needs a wire of K / F - beta L.
    const double exactTip =
        (circuit.k / kDesignMHz - circuit.beta * builtInductance - input.length) / 2.0;
    EXPECT_EQ(check.trim.outcome, TrimOutcome::Reached);
    EXPECT_NEAR(check.trim.tipChange, std::round(exactTip * 100.0) / 100.0, 1e-9);
    EXPECT_NEAR(check.trim.trimmedLength, input.length + 2.0 * check.trim.tipChange, 1e-12);
    ASSERT_TRUE(check.trimmed);
    EXPECT_NEAR(check.trimmed->length, check.trim.trimmedLength, 1e-12);

    const NeededCoil& needed = check.neededCoil;
    ASSERT_EQ(needed.outcome, CoilOutcome::Found);
    const double exactInductance = (circuit.k / kDesignMHz - input.length) / circuit.beta;
    // Found to a resonance within 0.01 % of F, which is what the inductance is for.
    EXPECT_NEAR(circuit.resonance(input.length, needed.apparentInductance), kDesignMHz,
                1e-4 * kDesignMHz);
    // The helper's inductance grows as N^2: 30 turns at 6.8 uH scale as the square root.
    const double exactTurns = 30.0 * std::sqrt(exactInductance / 6.8e-6);
    EXPECT_LE(std::abs(needed.turns - exactTurns), 0.5 + 1e-9);
    EXPECT_EQ(needed.turnsAtDesign, testCoil(needed.turns)(kDesignHz));
    ASSERT_TRUE(needed.turnsResonanceMHz);
    const double turnsResonance = circuit.resonance(input.length, testInductance(needed.turns));
    EXPECT_NEAR(*needed.turnsResonanceMHz, turnsResonance, 1e-4 * turnsResonance);
}

// The built antenna with another coil in place of the built one (Medhurst's capacitance) runs
// in the same rounds and is found like any other: at the closed-form resonance of its coil.
TEST(CircuitAntenna, MedhurstCoilIsAnalysedBesideTheBuiltOne) {
    const CircuitAntenna circuit;
    AntennaCheckInput input = typicalDesign();
    const double larger = 1.03 * testInductance(input.builtTurns);
    input.medhurst = seriesCoil(input.built(kDesignHz).real(), larger);
    const AntennaCheck check = checked(input, Engine(circuit));
    ASSERT_TRUE(check.medhurst && check.medhurst->resonanceMHz);
    const double f0 = circuit.resonance(input.length, larger);
    EXPECT_NEAR(*check.medhurst->resonanceMHz, f0, 1e-4 * f0);
    EXPECT_EQ(check.medhurst->length, input.length);
    // Without a Medhurst coil there is no such antenna.
    EXPECT_FALSE(checked(typicalDesign(), Engine(circuit)).medhurst);
}

TEST(CircuitAntenna, CurvesShareOneRangeShowingEveryDipAndF) {
    const AntennaCheck check = checked(typicalDesign(), Engine(CircuitAntenna{}));
    ASSERT_TRUE(check.trimmed);
    const auto& reference = check.designed.curve;
    ASSERT_GE(reference.size(), 40u);
    ASSERT_LE(reference.size(), 120u);
    for (const AntennaResult* result : {&check.designed, &check.built, &*check.trimmed}) {
        ASSERT_GE(result->curve.size(), 40u);
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

// Where a trim cannot put the built antenna on F, it says why, where it stopped, and gives no
// trimmed antenna.
TEST(CircuitAntenna, TrimThatCannotReachTheDesignFrequency) {
    struct Row {
        const char* name;
        double k;
        double beta;
        TrimOutcome outcome;
    };
    // With beta = 3e6 the built coils are worth 20.4 m of wire against 15 m of real wire;
    // cut back to the coils the antenna is some 1.33 times shorter electrically, with the
    // outer wire doubled some 1.25 times longer.
    const std::vector<Row> rows = {
        {"resonates near 3 MHz, far below 0.7 F", 60.0, 0.6e6, TrimOutcome::NoResonance},
        {"resonates near 4.7 MHz, below 0.7 F", 90.0, 0.6e6, TrimOutcome::NoResonance},
        {"resonates at 0.72 F, coils in the way", 0.72 * kDesignMHz * 35.4, 3e6,
         TrimOutcome::CoilsInTheWay},
        {"resonates at 1.28 F, tips too long", 1.28 * kDesignMHz * 35.4, 3e6, TrimOutcome::TooFar},
    };
    const AntennaCheckInput input = typicalDesign();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CircuitAntenna circuit;
        circuit.k = row.k;
        circuit.beta = row.beta;
        const AntennaCheck check = checked(input, Engine(circuit));
        EXPECT_EQ(check.trim.outcome, row.outcome);
        EXPECT_FALSE(check.trimmed);
        if (row.outcome == TrimOutcome::CoilsInTheWay) {
            EXPECT_GT(check.trim.limitLength, 2.0 * input.coilDistance);
            EXPECT_LT(check.trim.limitLength, input.length);
        } else if (row.outcome == TrimOutcome::TooFar) {
            EXPECT_GT(check.trim.limitLength, input.length);
            EXPECT_LE(check.trim.limitLength, 2.0 * input.length - 2.0 * input.coilDistance + 1e-9);
        }
    }
}

// A coil wound so that its own capacitance resonates it below F looks like a capacitor at F:
// no trim of the wire puts that right, and no other turns of it are sought.
TEST(CircuitAntenna, CoilResonatingBelowTheDesignFrequencyIsNotTrimmed) {
    AntennaCheckInput input = typicalDesign();
    const double l = testInductance(30);
    const double selfResonanceHz = 0.5 * kDesignHz;
    const double c = 1.0 / (omegaAt(selfResonanceHz) * omegaAt(selfResonanceHz) * l);
    const CoilImpedance series = testCoil(30);
    input.built = [series, c](double frequencyHz) {
        const std::complex<double> capacitor{0.0, -1.0 / (omegaAt(frequencyHz) * c)};
        return series(frequencyHz) * capacitor / (series(frequencyHz) + capacitor);
    };
    ASSERT_LE(input.built(kDesignHz).imag(), 0.0);
    const AntennaCheck check = checked(input, Engine(CircuitAntenna{}));
    EXPECT_EQ(check.trim.outcome, TrimOutcome::CoilResonates);
    EXPECT_FALSE(check.trimmed);
    EXPECT_EQ(check.trim.tipChange, 0.0);
    EXPECT_EQ(check.neededCoil.outcome, CoilOutcome::NotSought);
    EXPECT_EQ(check.built.coilAtDesign, input.built(kDesignHz));
}

// An antenna whose reactance at F falls as its wire or coils grow leaves every search with
// nothing but falls to split. Its falls are finite, so the search ends with no zero found
// (it once ran out of tries) and that is never reported as reached.
TEST(CircuitAntenna, SearchesThroughNothingButFallsAreNotReached) {
    CircuitAntenna circuit;
    circuit.power = 1.0;
    circuit.k = 1.05 * kDesignMHz / 19.08; // the built antenna at 1.05 F
    const AntennaCheck check = checked(typicalDesign(), Engine(circuit));
    ASSERT_TRUE(check.built.resonanceMHz);
    EXPECT_NE(check.trim.outcome, TrimOutcome::Reached);
    EXPECT_NE(check.trim.outcome, TrimOutcome::NotConverged);
    EXPECT_FALSE(check.trimmed);
    EXPECT_NE(check.neededCoil.outcome, CoilOutcome::Found);
}

// ------------------------------------------------------------------ failures

TEST(AntennaCheckFailures, EngineFailureKeepsItsKind) {
    for (const EngineFailure kind : {EngineFailure::Missing, EngineFailure::Failed,
                                     EngineFailure::TimedOut, EngineFailure::Unreadable}) {
        const Engine broken = [kind](const std::vector<std::string>& decks) {
            return std::vector<EngineRun>(decks.size(), EngineRun{kind, "went wrong", {}, {}});
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

} // namespace
} // namespace brevan::check
