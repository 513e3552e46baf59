// SPDX-License-Identifier: GPL-3.0-or-later
// Long coils in the antenna: the check's lumped coil against NEC-2's own model of the same coil
// wound as a helix, in the same antenna, on 160, 80 and 40 m.
//
// The helix antennas. The dipole's wire runs along z on the line x = r through the turns'
// starts, and each coil is a GH helix of whole turns between the wire's pieces, so the wire
// leaves both ends where the turns begin and end. The turns are spaced (a pitch of 5.3 wire
// diameters, where NEC-2's thin-wire helix is sound) and the polygon of each turn has the
// circle's area. Beside each end of a coil the wire is cut into 5 mm segments for 0.3 m (the
// junction of the helix's short chords and the wire's long segments converges slowest), and
// beyond that into segments of at most 0.1 m (0.2 m on 160 m). Run at 12, 16 and 24 segments a
// turn, the resonance moves as the square of the chord (its differences fall by 1.45 where the
// square predicts 1.40), and the recorded figure is that series' limit; halving the wire's
// segments beyond the 5 mm moves it by less than 1e-4.
//
// What it shows. On 80 and 160 m the helix resonates above the lumped coil in all six
// antennas: by 0.9 % to 2.5 % with the coils near the feed or mid-way, about a quarter of what
// the self-capacitance raises the coil's reactance by, by 1.9 % and 0.9 % with them 55 % and
// 64 % of the way out and by 0.5 % near the tips. Cut to the check's trimmed length it resonates
// above F by about as much again. On 40 m, where the coils are longer still against the wave (31
// turns of 100 mm span 53 degrees of their own slow wave), it resonates 3.9 % and 6.0 % above with
// the coils 55 % and 70 % of the way out, 4.1 % and 6.8 % trimmed, about a sixth of the rise; with
// them 85 % of the way out, 0.4 m from the tips, 0.2 % above as built but 3.0 % below once trimmed
// (0.18 m from the tips), since there the helix's own charge stands in for much of the tip wire and
// its trim moves it about three quarters as far. Where less than the 0.3 m of fine wire lies beyond
// a coil, that short wire is all fine. So no rule by position holds, and the check states a share
// in proportion to the rise (up to three tenths of it seen) as part of the built and trimmed
// antennas' uncertainty, says which way the helix went, and keeps the wire it asks for as spare on
// each tip. DISABLED_TheRecordedHelixIsNecTwosLimit runs the helices again, as built and as trimmed
// (under an hour).
//
// Why the check's coil stays one load. Six ways of giving the coil its length in NEC-2 were run
// against these helices. Spread evenly over the segments along its winding, so that the current
// may fall across it, the coil's impedance converges (to 0.05 % from 5 to 2.5 cm segments): the
// resonance comes 0.3 to 0.7 % nearer the helix with the coils near the feed or mid-way, but
// lands 2.2 % above it with them near the tips, where the single load is within 0.25 %. As a cage
// of six wires on its diameter, each with a sixth of its inductance a metre (a sheath that takes
// charge as the winding does), it does not converge: mid-way on 80 m it resonates at 3.78, 3.59
// and 3.51 MHz with segments of 10, 5 and 2.5 cm. As one wire of the coil's own radius carrying
// its inductance a metre, in three or five segments, no antenna resonates within 6 % of its
// helix, with the thin-wire kernel or the extended one (mid-way on 80 m, in five segments, the
// feed sees 12 to 5.6 kohm capacitive from 3.3 to 4 MHz): its segments are one or two radii long
// and it meets the antenna wire with a radius 60 times larger, both outside what NEC-2's thin
// wires hold. As a coarse helix on the coil's own diameter and length, of 2 to 42 turns in 8
// segments a turn, its wire carrying the rest of the inductance a metre, mid-way on 80 m it
// resonates 5.7, 4.5, 2.9, 2.0, 2.3 and 4.3 % above the helix at 2, 4, 8, 16, 24 and 42 turns:
// at 42 it is the helix itself in 8 segments a turn. Taken to the limit of its chords as the
// helix is (12 and 16 segments a turn, the rest of the inductance worked out ring by ring for
// both coils), it still resonates 3.3, 2.1, 1.1 and 0.5 % above the helix at 4, 8, 16 and 24
// turns: it meets the helix only as it becomes it, and at 16 turns it already takes 750
// segments, 0.3 s a frequency. As a line section between two segments (NEC-2's TL card,
// crossed, between the segments at the coil's two ends, of the helical line's electrical
// length, 31 degrees mid-way on 80 m, and the impedance that gives the coil's reactance at F),
// it acts as the coil split in halves at its two ends: at the check's working segments mid-way
// on 80 m the line resonates 1.0 % and the halves 1.1 % below the same coil as one load in the
// middle, away from the helix above it.
// The sixth gives the spread load the winding's charge: a star of six radial wires of the coil's
// radius at every joint between its loaded segments, so the coil holds charge as a sheath of its
// diameter does without a second path for its current (a cage of parallel wires is one: loaded,
// even two of them lose 5 % of the resonance with each halving of the segments, though the bare
// cage converges). It converges (0.2 to 0.7 % from 2.5 to 1.25 cm segments) and carries the
// fall: mid-way on 80 m the current at the coil's outer end is 12 % below its inner end, the
// helix's 14 %. Yet with the coils mid-way, near the feed and near the tips it resonates 4.0,
// 4.3 and 4.6 % above the helix without the self-capacitance on its segments, and -0.8, +0.5
// and -2.9 % with it (counted twice then, as the stars already hold the charge it stands for).
// The stars' length sets the charge: at 5, 10 and 15 cm the coil mid-way on 80 m self-resonates
// floating at 15.3, 11.6 and 9.8 MHz and the antenna at 3.785, 3.672 and 3.600 MHz, while
// NEC-2's helix floats at 13.2 MHz (its chords' limit) and resonates the antenna at 3.639, so
// no star gives the helix's charge and its resonance at once. Giving the segments the
// winding's mutual inductance, ring by ring (NEC-2's NT networks), moves it by 0.02 %.
// None follows the helix better than the single load and its stated spread. The helix itself
// (1,000 to 2,000 segments) takes seconds a frequency; so where the coils are spaced widely
// enough the check runs it beside the lumped antennas as half the antenna and its image at 4, 6
// and 8 segments a turn (TheStatedUncertaintyAndTheSpareCoverNecTwosHelix), about a second more.

#include "check_inputs.h"
#include "check_report.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "coil/round_wire.h"
#include "nec/nec_deck.h"
#include "real_engine.h"
#include "report/advice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kAntennaWire = 1.626e-3; // m, the antenna wire
constexpr double kCoilWire = 1.219e-3;    // m, the coil wire
constexpr double kFormer = 0.100;         // m
constexpr double kPitch = 6.5e-3;         // m

struct LongCoilDesign {
    const char* name;
    double mhz, length, distance;
    int turns;
    double coarseSegment;         // m, the wire's segments away from the coils in the helix antenna
    double helixMHz;              // NEC-2's helix antenna at its limit, as recorded
    double trimmedHelixMHz;       // the same, cut to the check's trimmed length
    std::vector<double> sweepMHz; // around its resonance
    bool nearTips = false;        // the outer wire under a quarter of each half
};

const std::vector<LongCoilDesign> kDesigns = {
    {"m80mid", 3.6, 14, 3.0, 42, 0.1, 3.6393, 3.6927, {3.60, 3.65, 3.70, 3.75}},
    {"m80feed", 3.6, 14, 0.6, 32, 0.1, 3.4779, 3.6983, {3.35, 3.45, 3.55, 3.65}},
    {"m80tips", 3.6, 14, 5.3, 76, 0.1, 3.6899, 3.6224, {3.6, 3.7, 3.8}, true},
    {"m160mid", 1.85, 30, 6.0, 70, 0.2, 1.9135, 1.8661, {1.88, 1.91, 1.94}},
    {"m80at55", 3.6, 14, 3.85, 51, 0.1, 3.6143, 3.6707, {3.55, 3.60, 3.65, 3.70}},
    {"m80at64", 3.6, 14, 4.5, 61, 0.1, 3.5999, 3.6292, {3.55, 3.60, 3.65}},
    {"m40at55", 7.1, 8, 2.2, 23, 0.1, 7.0757, 7.3925, {7.00, 7.05, 7.10, 7.15}},
    {"m40at70", 7.1, 8, 2.8, 31, 0.1, 6.9188, 7.5798, {6.85, 6.90, 6.95, 7.00}},
    {"m40at85", 7.1, 8, 3.4, 54, 0.1, 6.2174, 6.8810, {6.15, 6.20, 6.25, 6.30}, true},
};

CheckReport checked(const LongCoilDesign& d, const std::function<void(CheckInputs&)>& hang = {}) {
    CheckInputs in;
    in.frequencyMHz = d.mhz;
    in.lengthM = d.length;
    in.distanceM = d.distance;
    in.wireSwg = 16;
    in.formerMm = kFormer * 1000;
    in.coilLengthMm = 390;
    in.coilWireSwg = 18;
    in.pitchMm = kPitch * 1000;
    in.turns = d.turns;
    if (hang) {
        hang(in);
    }
    auto built = buildCheckReport(in);
    EXPECT_TRUE(std::holds_alternative<CheckReport>(built));
    CheckReport report = std::get<CheckReport>(built);
    const auto failure = addAntennaCheck(report, realEngine(), {});
    EXPECT_FALSE(failure) << (failure ? failure->message : "");
    return report;
}

class LongCoils : public ::testing::TestWithParam<LongCoilDesign> {};

// The built and the trimmed antenna's stated uncertainty covers NEC-2's helix of each, and
// without the long coils' share the built one's would not for the coils near the feed or
// mid-way. That share is what the check's own helices show, no wider than their gap to the
// lumped coils with their own uncertainty, and the warning says so. Where no helix is solved
// (close-wound coils), the share is the bound from the rise, whose words hold here too: the
// helix resonates higher (or, near the tips, lower) by up to a third of what the
// self-capacitance adds to the coil's reactance. The spare kept on
// each tip is at least the wire a higher resonance asks for, at the helix's trim or the lumped
// coil's, whichever moves it less. And the check's own helix antenna (levels of 4, 6 and 8
// segments a turn, half the antenna and its image) gives NEC-2's limit of the recorded helix, as
// built and as trimmed, within its stated uncertainty and within 0.15 %; the trim it asks for
// puts that helix on F, on the line through the two recorded resonances.
TEST_P(LongCoils, TheStatedUncertaintyAndTheSpareCoverNecTwosHelix) {
    const LongCoilDesign& d = GetParam();
    const CheckReport report = checked(d);
    ASSERT_TRUE(report.antenna);
    const AntennaCheck& a = *report.antenna;
    EXPECT_TRUE(report.losses.length.isLong);
    ASSERT_TRUE(a.built.resonanceMHz);
    const double built = *a.built.resonanceMHz;
    const double gap = d.helixMHz - built;
    std::printf("%s: built %.4f MHz +-%.2f %% (coils %.2f %%), helix %.4f MHz, %+.2f %%\n", d.name,
                built, a.built.resonanceUncertainty * 100, a.coilModelSpread * 100, d.helixMHz,
                gap / built * 100);
    EXPECT_LE(std::abs(gap), built * a.built.resonanceUncertainty);
    if (d.distance < 0.6 * d.length / 2) { // all but the coils near the tips
        EXPECT_GT(std::abs(gap), built * (a.built.resonanceUncertainty - a.coilModelSpread));
    }
    ASSERT_EQ(a.trim.outcome, TrimOutcome::Reached);
    ASSERT_TRUE(a.trimmed && a.trimmed->resonanceMHz);
    // The antenna the builder hangs: trimmed as the check says, wound as the helix.
    const double trimmed = *a.trimmed->resonanceMHz;
    const double trimmedGap = d.trimmedHelixMHz - trimmed;
    std::printf("%s: trimmed to %.3f m, %.4f MHz +-%.2f %%, helix %.4f MHz, %+.2f %%\n", d.name,
                a.trim.trimmedLength, trimmed, a.trimmed->resonanceUncertainty * 100,
                d.trimmedHelixMHz, trimmedGap / trimmed * 100);
    EXPECT_LE(std::abs(trimmedGap), trimmed * a.trimmed->resonanceUncertainty);

    const double winding = report.losses.reactance / (2 * kPi * d.mhz * 1e6);
    const double rise = report.losses.apparentInductance / winding - 1.0;
    for (const double share : {gap / built, trimmedGap / trimmed}) {
        EXPECT_LE(std::abs(share), rise / 3);
        if (!d.nearTips) {
            EXPECT_GT(share, 0.0);
        }
    }
    const std::vector<std::string> warnings = warningSentences(report);
    const std::string said = "they move the antenna's resonance that far from the lumped coils'";
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [&](const std::string& line) {
        return line.find(said) != std::string::npos;
    })) << said;
    // The wire a higher resonance asks for, at the slower of the two trims: near the tips the
    // helix's moves about three quarters as far a metre as the lumped coil's.
    if (std::abs(a.trim.tipChange) >= 0.01) {
        const double perMetre =
            std::min(std::abs(trimmed - built), std::abs(d.trimmedHelixMHz - d.helixMHz)) /
            std::abs(a.trim.tipChange);
        EXPECT_GE(report.cut.tipSpare, std::max(gap, trimmedGap) / perMetre);
    }
    // The check's own helix antenna.
    ASSERT_TRUE(a.helix);
    const HelixCheck& helix = *a.helix;
    EXPECT_EQ(helix.turns, d.turns);
    ASSERT_TRUE(helix.trimmedMHz);
    std::printf("%s: helix as built %.4f MHz +-%.2f %% (recorded %.4f), trimmed %.4f +-%.2f %% "
                "(recorded %.4f)\n",
                d.name, helix.builtMHz, helix.builtUncertainty * 100, d.helixMHz, *helix.trimmedMHz,
                helix.trimmedUncertainty * 100, d.trimmedHelixMHz);
    for (const auto& [found, uncertainty, recorded] :
         {std::tuple{helix.builtMHz, helix.builtUncertainty, d.helixMHz},
          std::tuple{*helix.trimmedMHz, helix.trimmedUncertainty, d.trimmedHelixMHz}}) {
        EXPECT_LE(std::abs(found - recorded), 0.0015 * recorded);
        // The recorded limit is itself known to about 2e-4
        // (DISABLED_TheRecordedHelixIsNecTwosLimit).
        EXPECT_LE(std::abs(found - recorded), found * uncertainty + 2e-4 * recorded);
    }
    const double share =
        std::max(std::abs(helix.builtMHz / built - 1.0) + helix.builtUncertainty,
                 std::abs(*helix.trimmedMHz / trimmed - 1.0) + helix.trimmedUncertainty);
    EXPECT_NEAR(a.coilModelSpread, share, 1e-12);
    ASSERT_TRUE(helix.tipChange);
    const double perTip =
        (d.trimmedHelixMHz - d.helixMHz) / ((a.trim.trimmedLength - d.length) / 2.0);
    const double lands = d.helixMHz + perTip * *helix.tipChange;
    EXPECT_NEAR(lands, d.mhz, 0.003 * d.mhz + std::abs(perTip) * trimStep(a.trim) / 2.0);
}

// Hung over ground, and as an inverted V of insulated wire over it, the 80 m antenna with its
// coils mid-way, and the 160 m one over ground: the check's helix antenna against the limit of
// its own deck at 12, 16 and 24
// segments a turn (fitted with the chords' square and cube, as built and at the check's
// trimmed length), within its stated uncertainty and 0.15 %, as in free space; and the lumped
// antenna's stated uncertainty covers that helix.
TEST(LongCoilsHung, OverGroundAndAsAnInsulatedInvertedVTheHelixAndTheUncertaintyHold) {
    struct Hung {
        const char* name;
        const LongCoilDesign& design;
        std::function<void(CheckInputs&)> hang;
        double trimmedLength; // m, the check's, at which the trimmed helix was recorded
        double helixMHz, trimmedHelixMHz;
    };
    const std::vector<Hung> rows = {
        {"over average ground at 10 m", kDesigns[0],
         [](CheckInputs& in) {
             in.ground = {GroundKind::Average, 10.0};
         },
         13.722, 3.6369, 3.6933},
        {"an inverted V of 120 degrees, PVC 0.5 mm, over perfect ground at 10 m", kDesigns[0],
         [](CheckInputs& in) {
             in.ground = {GroundKind::Perfect, 10.0};
             in.hang.shape = HangShape::InvertedV;
             in.hang.legAngle = 120.0;
             in.insulationThicknessMm = 0.5;
             in.insulationPermittivity = kPvcPermittivity;
         },
         13.676, 3.6265, 3.6926},
        {"160 m over average ground at 15 m", kDesigns[3],
         [](CheckInputs& in) {
             in.ground = {GroundKind::Average, 15.0};
         },
         30.94, 1.9101, 1.8652},
    };
    for (const Hung& row : rows) {
        SCOPED_TRACE(row.name);
        const LongCoilDesign& d = row.design;
        const CheckReport report = checked(d, row.hang);
        ASSERT_TRUE(report.antenna);
        const AntennaCheck& a = *report.antenna;
        ASSERT_TRUE(a.built.resonanceMHz && a.trimmed && a.trimmed->resonanceMHz && a.helix);
        ASSERT_NEAR(a.trim.trimmedLength, row.trimmedLength, 1e-6);
        const HelixCheck& helix = *a.helix;
        ASSERT_TRUE(helix.trimmedMHz && helix.tipChange);
        std::printf("%s: helix as built %.4f MHz +-%.2f %% (recorded %.4f), trimmed %.4f "
                    "(recorded %.4f)\n",
                    row.name, helix.builtMHz, helix.builtUncertainty * 100, row.helixMHz,
                    *helix.trimmedMHz, row.trimmedHelixMHz);
        for (const auto& [found, uncertainty, recorded, lumped, lumpedUncertainty] :
             {std::tuple{helix.builtMHz, helix.builtUncertainty, row.helixMHz,
                         *a.built.resonanceMHz, a.built.resonanceUncertainty},
              std::tuple{*helix.trimmedMHz, helix.trimmedUncertainty, row.trimmedHelixMHz,
                         *a.trimmed->resonanceMHz, a.trimmed->resonanceUncertainty}}) {
            EXPECT_LE(std::abs(found - recorded), 0.0015 * recorded);
            EXPECT_LE(std::abs(found - recorded), found * uncertainty + 2e-4 * recorded);
            EXPECT_LE(std::abs(recorded - lumped), lumped * lumpedUncertainty);
        }
        const double perTip =
            (row.trimmedHelixMHz - row.helixMHz) / ((row.trimmedLength - d.length) / 2.0);
        EXPECT_NEAR(row.helixMHz + perTip * *helix.tipChange, d.mhz,
                    0.003 * d.mhz + std::abs(perTip) * trimStep(a.trim) / 2.0);
    }
}

// The helix antenna's deck: the wire along z at x = r, pieces from tip to tip with each coil a
// helix between them.
std::string helixDeck(const LongCoilDesign& d, int perTurn, double length,
                      const std::vector<double>& sweepMHz) {
    const double angle = 2 * kPi / perTurn;
    const double r = (kFormer + kCoilWire) / 2 * std::sqrt(angle / std::sin(angle));
    const double h = d.turns * kPitch;
    const double inner = d.distance - h / 2;
    const double outer = d.distance + h / 2;
    const double half = length / 2;
    constexpr double kFine = 0.005;
    constexpr double kNear = 0.3;
    constexpr double kFeed = 0.05;
    // Near the tips the fine wire is all there is beyond the coil.
    const double fineEnd = std::min(outer + kNear, half);
    std::string deck = "CM helix antenna\nCE\n";
    int tag = 0;
    const auto wire = [&](double z1, double z2, double step) {
        const int n = std::max(1, static_cast<int>(std::lround(std::abs(z2 - z1) / step)));
        deck += "GW " + std::to_string(++tag) + ' ' + std::to_string(n) + ' ' + deckNumber(r) +
                " 0 " + deckNumber(z1) + ' ' + deckNumber(r) + " 0 " + deckNumber(z2) + ' ' +
                deckNumber(kAntennaWire / 2) + '\n';
        return tag;
    };
    const auto helix = [&](double z) {
        deck += "GH " + std::to_string(++tag) + ' ' + std::to_string(d.turns * perTurn) + ' ' +
                deckNumber(kPitch) + ' ' + deckNumber(h) + ' ' + deckNumber(r) + ' ' +
                deckNumber(r) + ' ' + deckNumber(r) + ' ' + deckNumber(r) + ' ' +
                deckNumber(kCoilWire / 2) + '\n';
        deck += "GM 0 0 0 0 0 0 0 " + deckNumber(z) + ' ' + std::to_string(tag) + '\n';
    };
    if (fineEnd < half) {
        wire(-half, -fineEnd, d.coarseSegment);
    }
    wire(-fineEnd, -outer, kFine);
    helix(-outer);
    wire(-inner, -inner + kNear, kFine);
    wire(-inner + kNear, -kFeed / 2, d.coarseSegment);
    const int feed = wire(-kFeed / 2, kFeed / 2, kFeed);
    wire(kFeed / 2, inner - kNear, d.coarseSegment);
    wire(inner - kNear, inner, kFine);
    helix(inner);
    wire(outer, fineEnd, kFine);
    if (fineEnd < half) {
        wire(fineEnd, half, d.coarseSegment);
    }
    deck += "GE 0\nLD 5 0 0 0 " + deckNumber(1 / kCopperResistivity) + "\nEX 0 " +
            std::to_string(feed) + " 1 0 1 0\n";
    for (const double f : sweepMHz) {
        deck += "FR 0 1 0 0 " + deckNumber(f) + " 0\nXQ 0\n";
    }
    return deck + "EN\n";
}

std::optional<double> zeroOfReactance(const std::vector<double>& mhz, const EngineRun& run) {
    for (std::size_t i = 1; i < run.points.size() && i < mhz.size(); ++i) {
        const double x1 = run.points[i - 1].impedance.imag();
        const double x2 = run.points[i].impedance.imag();
        if (x1 < 0.0 && x2 >= 0.0) {
            return mhz[i - 1] + (mhz[i] - mhz[i - 1]) * -x1 / (x2 - x1);
        }
    }
    return std::nullopt;
}

// The helix antenna's resonance at `length`: 12, 16 and 24 segments a turn, and the limit of
// the last two as the square of the chord; nothing when a sweep misses it.
std::optional<double> helixLimit(const LongCoilDesign& d, double length,
                                 const std::vector<double>& sweepMHz) {
    const std::vector<int> perTurn = {12, 16, 24};
    std::vector<std::string> decks;
    for (const int n : perTurn) {
        decks.push_back(helixDeck(d, n, length, sweepMHz));
    }
    const auto runs = runNec2c(decks, {3600.0, 0});
    std::vector<double> found;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].failure, EngineFailure::None) << runs[i].detail;
        const auto zero = zeroOfReactance(sweepMHz, runs[i]);
        if (!zero) {
            return std::nullopt;
        }
        found.push_back(*zero);
    }
    const double h1 = 1.0 / (perTurn[1] * perTurn[1]);
    const double h2 = 1.0 / (perTurn[2] * perTurn[2]);
    const double limit = found[2] - (found[1] - found[2]) * h2 / (h1 - h2);
    std::printf("%s at %.4f m: %.4f / %.4f / %.4f MHz at 12/16/24 a turn, limit %.4f\n", d.name,
                length, found[0], found[1], found[2], limit);
    return limit;
}

TEST_P(LongCoils, DISABLED_TheRecordedHelixIsNecTwosLimit) {
    const LongCoilDesign& d = GetParam();
    const auto limit = helixLimit(d, d.length, d.sweepMHz);
    ASSERT_TRUE(limit);
    EXPECT_NEAR(*limit, d.helixMHz, 2e-4 * d.helixMHz);
    // The antenna as the check trims it, wound as the helix.
    const CheckReport report = checked(d);
    ASSERT_TRUE(report.antenna && report.antenna->trimmed);
    std::vector<double> around;
    for (const double share : {0.985, 0.995, 1.005, 1.015}) {
        around.push_back(d.trimmedHelixMHz * share);
    }
    const auto trimmed = helixLimit(d, report.antenna->trim.trimmedLength, around);
    ASSERT_TRUE(trimmed);
    EXPECT_NEAR(*trimmed, d.trimmedHelixMHz, 2e-4 * d.trimmedHelixMHz);
}

INSTANTIATE_TEST_SUITE_P(Designs, LongCoils, ::testing::ValuesIn(kDesigns),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

} // namespace
} // namespace brevan::check
