// SPDX-License-Identifier: GPL-3.0-or-later
// The loading coil as a lumped impedance against NEC-2's own model of the wound helix.
//
// The check puts each coil into its NEC-2 model as one impedance load: the winding R + j omega L
// in parallel with Knight's self-capacitance for a floating coil (coilImpedance), less the
// inductance its straight wire through the coil's place has beyond the coil's own axial path
// (straightWireExcess). Here the same coil is wound as a
// thin-wire helix (GH card) into a straight wire, and NEC-2 is asked what that helix is as a
// series element of the wire. Only spaced coils are modelled this way: with a pitch of 6.5 wire
// diameters or more, the segments along the wire stay many radii long and the turns many radii
// apart, where NEC-2's thin-wire kernel can be trusted.
//
// How the helix is measured. A straight wire along z carries the coil as a series element: a
// lower arm, then the winding, then an upper arm, each arm a quarter wavelength. Two equal
// sources sit a few segments from the coil on either side, mirror images through its middle.
// A helix of whole turns looks the same turned half round about the line through its middle,
// so the coil's middle stays at the antenna's zero of potential and it is driven across its
// two ends only. Fed from one side instead, the wide coil sits at the arm's potential and
// loads the wire like a fat section: what NEC-2 then reports moved by tens of percent with the
// feed's place and the arms' length, so it was not a property of the coil. Two models of that
// antenna differ only in the coil:
//   - wound: the helix itself, the arms leaving its ends along the line its turns start from;
//   - lumped: the helix replaced by a straight piece of wire of the same length (the axial
//     path the current takes through the coil, as the check's straight wire has it) with a
//     load on its middle segment.
// For the lumped model NEC-2 solves a linear network, so the feed impedance is a bilinear
// (Moebius) function of the load. Three runs with known loads fix that function; the feed
// impedance of the wound model, put through its inverse, gives the load that behaves in this
// antenna exactly as the helix does. That load's Im Z / omega is the helix's apparent
// inductance, the quantity the check takes from apparentCoil.
//
// What NEC-2 says (24 segments a turn): the helix alone, closed by a straight return, has the
// inductance of the Neumann integral over the wound wire to 0.1 % at 10 MHz, so the thin-wire
// helix itself is sound there. In the antenna, the measured load moves by about 1 % with the
// arms' length (0.15 to 0.35 wavelength), 0.3 % with the feed's place and 0.2 % with twice the
// segments: that is this measurement's resolution, larger than 0.5 %.
//
// What it shows (the lumped load compared with the straight wire's excess taken off):
//   - the straight piece's own inductance: the wire's axial current through a real coil spreads
//     over the coil's diameter, not the wire's, so the thin straight piece adds about
//     mu0 l / 2 pi ln(D / d) that the helix does not have: 1.4 % to 3.5 % for these coils. At a
//     twentieth of self-resonance, where the capacitance hardly counts, taking it off brings the
//     lumped coil from 1.5 % to 6 % above the helix to within 2.5 % (1 % to 2 % above it for five
//     coils of six, which is not explained yet); that claim is enabled below.
//   - the self-capacitance: nearer self-resonance the helix shows much less of it than either
//     published estimate. At a tenth to a third of self-resonance Knight's floating-coil
//     capacitance puts the lumped coil 2 % to 10 % above the helix, Medhurst's grounded-coil
//     figure 2 % to 15 %, and the winding with no capacitance at all is within 2.6 % for all
//     six. Knight's figure is the one measured coils bear out (self_capacitance_test.cpp), so
//     that claim (within 0.5 %) stays disabled as a measurement: run it with
//     --gtest_also_run_disabled_tests to see the numbers.

#include "coil/coil_impedance.h"
#include "coil/coil_losses.h"
#include "coil/coil_model.h"
#include "coil/physics.h"
#include "coil/round_wire.h"
#include "nec/engine/nec2c_engine.h"
#include "nec/nec_deck.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kSpeedOfLight = 299792458.0;

// Segments per turn of the helix. The GH card puts the segments' ends on the helix, so each turn
// is an inscribed polygon; with 24 sides its area is 1.1 % short of the circle's, which the
// helix radius makes up (equalAreaRadius). The segments stay 9 to 14 wire radii long for the
// coils below.
constexpr int kSegmentsPerTurn = 24;
// Each arm is a quarter wavelength: the antenna is near its half-wave resonance, the feed
// impedance stays within a few times the coil's reactance, and nec2c's five printed digits
// resolve the coil to about 1e-4.
constexpr double kArmWavelengths = 0.25;
// The arms' segments grow by this ratio away from the coil (GC card), from the helix's segment
// length at the coil, so no two neighbouring segments differ by more than 15 %.
constexpr double kTaper = 1.15;
// The sources sit on this segment of each arm, counted from the coil: close enough that the
// feed current flows through the coil, far enough that a source is not in the helix's field
// (on the segment next to the coil the result moves by 9 %).
constexpr int kFeedSegment = 6;

struct HelixRow {
    const char* name;
    double diameterMm; // turn centre to turn centre
    int turns;
    double pitchInWires; // pitch / wire diameter
    double wireMm;       // bare copper, the SWG's diameter
    double ofSelfResonance;
};

WoundCoil coilOf(const HelixRow& row) {
    WoundCoil coil;
    coil.turns = row.turns;
    coil.meanDiameter = row.diameterMm * 1e-3;
    coil.wireDiameter = row.wireMm * 1e-3;
    coil.pitch = row.pitchInWires * coil.wireDiameter;
    return coil;
}

// The radius of the inscribed polygon whose area is the circle's of radius `radius`.
double equalAreaRadius(double radius) {
    const double angle = 2.0 * kPi / kSegmentsPerTurn;
    return radius * std::sqrt(angle / std::sin(angle));
}

// Where everything lies; shared by both models so that they differ only in the coil.
struct Layout {
    double x = 0.0;            // m, the line along z on which the turns start and the arms run
    double coilLength = 0.0;   // m
    double arm = 0.0;          // m, each arm
    int armSegments = 0;       // each arm
    double helixSegment = 0.0; // m, one chord of the helix
    double radius = 0.0;       // m, wire
};

Layout layoutFor(const WoundCoil& coil, double frequencyHz) {
    Layout layout;
    layout.x = equalAreaRadius(coil.meanDiameter / 2.0);
    layout.coilLength = sheetLength(coil);
    layout.arm = kArmWavelengths * kSpeedOfLight / frequencyHz;
    layout.radius = coil.wireDiameter / 2.0;
    const double angle = 2.0 * kPi / kSegmentsPerTurn;
    layout.helixSegment =
        std::hypot(2.0 * layout.x * std::sin(angle / 2.0), coil.pitch / kSegmentsPerTurn);
    // A geometric series of n segments with ratio kTaper over the arm starts with
    // arm (kTaper - 1) / (kTaper^n - 1): take the n that makes that no longer than the helix's.
    layout.armSegments = static_cast<int>(std::ceil(
        std::log(1.0 + layout.arm * (kTaper - 1.0) / layout.helixSegment) / std::log(kTaper)));
    return layout;
}

std::string card(const std::string& name, const std::vector<std::string>& fields) {
    std::string line = name;
    for (const std::string& field : fields) {
        line += ' ' + field;
    }
    return line + '\n';
}

std::string num(double value) {
    return deckNumber(value);
}

// Tag 1: the lower arm, from its tip up to the coil's foot, its segments shrinking towards the
// coil; tag 3: the upper arm, from the coil's top up, growing away from it. Both run along +z.
std::string armCards(const Layout& layout) {
    const std::string x = num(layout.x);
    const std::string r = num(layout.radius);
    const std::string top = num(layout.coilLength);
    return card("GW", {"1", std::to_string(layout.armSegments), x, "0", num(-layout.arm), x, "0",
                       "0", "0"}) +
           card("GC", {"0", "0", num(1.0 / kTaper), r, r}) +
           card("GW", {"3", std::to_string(layout.armSegments), x, "0", top, x, "0",
                       num(layout.coilLength + layout.arm), "0"}) +
           card("GC", {"0", "0", num(kTaper), r, r});
}

std::string copper(int tag) {
    return card("LD", {"5", std::to_string(tag), "0", "0", num(1.0 / kCopperResistivity)});
}

// Two equal sources, mirror images of each other through the coil's middle.
std::string runCards(const Layout& layout, double frequencyHz) {
    return card("EX",
                {"0", "1", std::to_string(layout.armSegments + 1 - kFeedSegment), "0", "1", "0"}) +
           card("EX", {"0", "3", std::to_string(kFeedSegment), "0", "1", "0"}) +
           card("FR", {"0", "1", "0", "0", num(frequencyHz * 1e-6), "0"}) + card("XQ", {"0"});
}

// Tag 2: the winding, right-handed about z from (x, 0, 0) to (x, 0, coil length).
std::string woundDeck(const WoundCoil& coil, const Layout& layout, double frequencyHz) {
    const int turns = static_cast<int>(coil.turns);
    std::string deck = "CM helix wound into a straight wire\nCE\n";
    deck += armCards(layout);
    deck += card("GH", {"2", std::to_string(turns * kSegmentsPerTurn), num(coil.pitch),
                        num(layout.coilLength), num(layout.x), num(layout.x), num(layout.x),
                        num(layout.x), num(layout.radius)});
    deck += card("GE", {"0"});
    deck += copper(1) + copper(2) + copper(3);
    deck += runCards(layout, frequencyHz);
    return deck + "EN\n";
}

// Tag 2: a straight piece as long as the winding, cut into an odd number of segments about as
// long as the helix's, the load on the middle one. It has no copper loss of its own: the load's
// resistance is the whole winding's.
int lumpedSegments(const Layout& layout) {
    const int n = static_cast<int>(std::lround(layout.coilLength / layout.helixSegment));
    return n % 2 == 1 ? n : n + 1;
}

std::string lumpedDeck(const Layout& layout, double frequencyHz,
                       const std::array<std::complex<double>, 3>& loads) {
    const int segments = lumpedSegments(layout);
    const std::string middle = std::to_string(segments / 2 + 1);
    std::string deck = "CM the same wire with the coil as a lumped load\nCE\n";
    deck += armCards(layout);
    deck += card("GW", {"2", std::to_string(segments), num(layout.x), "0", "0", num(layout.x), "0",
                        num(layout.coilLength), num(layout.radius)});
    deck += card("GE", {"0"});
    for (const std::complex<double>& load : loads) {
        deck += card("LD", {"4", "2", middle, middle, num(load.real()), num(load.imag())});
        deck += copper(1) + copper(3);
        deck += runCards(layout, frequencyHz);
        deck += card("LD", {"-1", "0", "0", "0", "0", "0", "0"});
    }
    return deck + "EN\n";
}

// The z whose image under the Moebius map through (z[k], w[k]) is w: the cross-ratio is kept.
std::complex<double> throughInverse(const std::array<std::complex<double>, 3>& z,
                                    const std::array<std::complex<double>, 3>& w,
                                    std::complex<double> image) {
    const std::complex<double> ratio =
        (image - w[0]) * (w[1] - w[2]) / ((image - w[2]) * (w[1] - w[0]));
    const std::complex<double> m = ratio * (z[1] - z[0]) / (z[1] - z[2]);
    return (z[0] - m * z[2]) / (1.0 - m);
}

// The load that behaves in this antenna at `f` exactly as the wound helix does, ohms; nothing
// when the engine fails.
std::optional<std::complex<double>> helixLoad(const WoundCoil& coil, double f) {
    const Layout layout = layoutFor(coil, f);
    const std::complex<double> lumped = coilImpedance(coil, f, std::nullopt);
    const std::array<std::complex<double>, 3> loads = {lumped, lumped * 0.8, lumped * 1.25};
    const auto runs =
        runNec2c({woundDeck(coil, layout, f), lumpedDeck(layout, f, loads)}, {120.0, 2});
    if (runs.size() != 2u || runs[0].failure != EngineFailure::None ||
        runs[1].failure != EngineFailure::None || runs[0].points.size() != 1u ||
        runs[1].points.size() != 3u) {
        ADD_FAILURE() << "nec2c: " << (runs.empty() ? std::string() : runs[0].detail);
        return std::nullopt;
    }
    const std::array<std::complex<double>, 3> feeds = {
        runs[1].points[0].impedance, runs[1].points[1].impedance, runs[1].points[2].impedance};
    return throughInverse(loads, feeds, runs[0].points[0].impedance);
}

class HelixAgainstLumped : public ::testing::TestWithParam<HelixRow> {};

// At a twentieth of self-resonance any self-capacitance from NEC-2's own to Medhurst's moves
// the apparent inductance by less than 0.3 %: what is left is the winding and the straight
// wire. Without the straight wire's excess the lumped coil is 1.5 % to 6 % above the helix; with
// it taken off, within 2.5 % for every coil, and less than 0.6 of the uncorrected difference.
// The 1 % to 2 % that remains above this measurement's resolution is not explained yet.
TEST_P(HelixAgainstLumped, StraightWireExcessIsWhatSetsTheLumpedCoilApart) {
    const WoundCoil coil = coilOf(GetParam());
    const double f = 0.05 * selfResonance(coil, std::nullopt);
    const double omega = 2.0 * kPi * f;
    const auto helix = helixLoad(coil, f);
    ASSERT_TRUE(helix);
    const double helixL = helix->imag() / omega;
    const double uncorrected = apparentCoil(coil, f, std::nullopt).inductance;
    const double corrected =
        uncorrected - straightWireExcess(sheetLength(coil), coil.meanDiameter, coil.wireDiameter);
    const double off = corrected / helixL - 1.0;
    const double uncorrectedOff = uncorrected / helixL - 1.0;
    EXPECT_NEAR(off, 0.0, 0.025) << helixL;
    EXPECT_GT(uncorrectedOff, 0.015) << helixL;
    EXPECT_LT(std::abs(off), 0.6 * std::abs(uncorrectedOff)) << helixL;
}

TEST_P(HelixAgainstLumped, DISABLED_ApparentInductanceMatchesTheWoundHelix) {
    const HelixRow& row = GetParam();
    const WoundCoil coil = coilOf(row);
    const double selfResonant = selfResonance(coil, std::nullopt);
    ASSERT_GT(selfResonant, 0.0);
    const double f = row.ofSelfResonance * selfResonant;
    const double omega = 2.0 * kPi * f;
    const Layout layout = layoutFor(coil, f);
    const auto helix = helixLoad(coil, f);
    ASSERT_TRUE(helix);

    const double helixL = helix->imag() / omega;
    // The straight piece has more inductance than the coil's axial path: the check's model
    // takes that off each coil load, and so does this comparison.
    const double excess =
        straightWireExcess(layout.coilLength, coil.meanDiameter, coil.wireDiameter);
    const double lumpedL = apparentCoil(coil, f, std::nullopt).inductance - excess;
    const double medhurstL =
        coilImpedance(coil, f, std::nullopt, medhurstCapacitance(coil)).imag() / omega - excess;
    const double windingL = inductanceAt(coil, f) - excess;
    const double lumpedOff = lumpedL / helixL - 1.0;
    const double medhurstOff = medhurstL / helixL - 1.0;
    const double windingOff = windingL / helixL - 1.0;
    const std::string seen =
        "helix " + std::to_string(helixL * 1e6) + " uH; lumped (Knight) " +
        std::to_string(lumpedOff * 100) + " %, Medhurst " + std::to_string(medhurstOff * 100) +
        " %, no capacitance " + std::to_string(windingOff * 100) + " %, straight-wire excess " +
        std::to_string(excess / helixL * 100) + " % at " + std::to_string(f * 1e-6) + " MHz";
    std::cout << row.name << ": " << seen << "\n";
    EXPECT_NEAR(lumpedOff, 0.0, 0.005) << seen;
    // The self-capacitance must earn its place: without it the coil is further off.
    EXPECT_GT(std::abs(windingOff), std::abs(lumpedOff)) << seen;
}

INSTANTIATE_TEST_SUITE_P(Coils, HelixAgainstLumped,
                         ::testing::Values(HelixRow{"d30n10", 30.0, 10, 7.0, 0.711, 0.10},
                                           HelixRow{"d50n8", 50.0, 8, 6.5, 1.219, 0.33},
                                           HelixRow{"d60n15", 60.0, 15, 8.0, 0.914, 0.20},
                                           HelixRow{"d80n5", 80.0, 5, 10.0, 1.626, 0.25},
                                           HelixRow{"d100n20", 100.0, 20, 6.5, 2.032, 0.15},
                                           HelixRow{"d40n12", 40.0, 12, 9.0, 0.711, 0.30}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

} // namespace
} // namespace brevan::check
