// SPDX-License-Identifier: GPL-3.0-or-later
// The floating coil's self-capacitance (Knight 2016) against Medhurst's grounded-coil fit it
// reconciles, against published self-resonances of real coils, and the straight wire's excess
// inductance that the antenna model takes off each coil.

#include "check_inputs.h"
#include "coil/coil_impedance.h"
#include "coil/coil_losses.h"
#include "coil/coil_model.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "wound_coils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

// A coil of `lengthOverDiameter` wound at a hundredth of its diameter, where the pitch angle
// adds 0.01 % to the capacitance.
WoundCoil shaped(double diameterMm, double lengthOverDiameter, double permittivity) {
    const double pitch = diameterMm / 100.0;
    return coilOf(100.0 * lengthOverDiameter, diameterMm, pitch, 0.5 * pitch, permittivity);
}

// Knight splits the short coil's share between the field outside the winding and the field
// inside it; with the inside filled by Medhurst's polystyrene (relative permittivity 2.5) his
// formula must give back Medhurst's own fit over the range Medhurst measured (l/D 0.1 to 5),
// and its long-coil term is Medhurst's 0.1126 pF per cm: 4 e0 / pi.
TEST(SelfCapacitance, OnPolystyreneRodsKnightGivesBackMedhurst) {
    const WoundCoil longCoil = shaped(10, 1000, 1.0);
    const double perCm = selfCapacitance(longCoil) / (100 * sheetLength(longCoil)) * 1e12;
    EXPECT_NEAR(perCm, 0.1126, 0.0003);
    struct Row {
        double lengthOverDiameter;
        double tolerance; // relative
    };
    const std::vector<Row> rows = {{0.3, 0.05}, {0.5, 0.05}, {1.0, 0.05}, {2.0, 0.05}, {5.0, 0.05}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lengthOverDiameter);
        const WoundCoil rod = shaped(50, row.lengthOverDiameter, 2.5);
        EXPECT_NEAR(selfCapacitance(rod) / medhurstCapacitance(rod), 1.0, row.tolerance);
    }
}

// Air inside the winding leaves only the outside's share of the short-coil term: a free coil
// of l/D near 1 has about two thirds of Medhurst's capacitance, long coils nearly all of it.
// A rod raises it in the order of its permittivity, and the pitch by 1 / cos^2 of its angle.
TEST(SelfCapacitance, TheFormerAndThePitch) {
    const WoundCoil square = shaped(50, 1.0, 1.0);
    EXPECT_NEAR(selfCapacitance(square) / medhurstCapacitance(square), 0.67, 0.02);
    const WoundCoil slim = shaped(50, 10.0, 1.0);
    EXPECT_NEAR(selfCapacitance(slim) / medhurstCapacitance(slim), 0.96, 0.02);
    double previous = 0.0;
    for (double permittivity : {1.0, 2.1, 2.3, 3.5, 10.0}) {
        const double c = selfCapacitance(shaped(50, 1.0, permittivity));
        EXPECT_GT(c, previous) << permittivity;
        previous = c;
    }
    // One turn per diameter: tan psi = 1 / pi, so 1 / cos^2 psi = 1 + 1 / pi^2.
    WoundCoil steep = coilOf(10, 50, 50, 1);
    WoundCoil flat = steep;
    flat.pitch = 1e-9;
    const double sameLength = selfCapacitance(steep);
    flat.turns = sheetLength(steep) / flat.pitch;
    EXPECT_NEAR(sameLength / selfCapacitance(flat), 1.0 + 1.0 / (kPi * kPi), 1e-9);
}

// Alex Pettit, KK4VB, wound 3.561 m of #13 AWG (1.83 mm) into a coil of about 30 turns and
// 37 mm, and measured its first (parallel) self-resonance as he stretched it, with a dip meter
// and an AIM4170 analyser, no connection to the coil (D. W. Knight, "Solenoid self-resonance
// measurements by Alex Pettit, KK4VB", g3ynh.info/zdocs/magnetics/appendix/kk4vb_srf.html).
// The turns follow from the wire's length: N = sqrt(w^2 - l^2) / (pi D).
struct Measured {
    const char* name;
    double lengthMm;
    double lengthOverDiameter;
    double selfResonanceMHz;
    double low; // the model's self-resonance over the measured one, the range it is held to
    double high;
};

constexpr double kWireLength = 3.561;
constexpr double kWireMm = 1.83;

WoundCoil pettitCoil(const Measured& m) {
    const double length = m.lengthMm * 1e-3;
    const double diameter = length / m.lengthOverDiameter;
    const double turns = std::sqrt(kWireLength * kWireLength - length * length) / (kPi * diameter);
    return {turns, diameter, length / turns, kWireMm * 1e-3, 1.0};
}

// The lumped model holds near l/D = 1.7, where loading coils are; stretched longer, the coil
// resonates ever further above 1 / (2 pi sqrt(L C)) with Knight's capacitance (32 % and 43 %
// low) as the wave along the helix takes over, and the helical line sets it: the model is held
// within 12 % of every measured coil, and no worse than the lumped coil where that one holds.
const std::vector<Measured> kPettit = {
    {"l62mm", 62.2, 1.678, 37.0, 0.90, 1.00},
    {"l159mm", 158.8, 4.28, 57.4, 0.88, 1.12},
    {"l324mm", 323.9, 8.73, 67.8, 0.88, 1.12},
};

class PettitCoils : public ::testing::TestWithParam<Measured> {};

TEST_P(PettitCoils, ModelSelfResonanceAgainstTheMeasured) {
    const Measured& m = GetParam();
    const WoundCoil coil = pettitCoil(m);
    const double ratio = selfResonance(coil, std::nullopt) / (m.selfResonanceMHz * 1e6);
    EXPECT_GE(ratio, m.low);
    EXPECT_LE(ratio, m.high);
    // Medhurst's grounded coils are further off for every one of them.
    const double grounded =
        selfResonance(coil, std::nullopt, medhurstCapacitance(coil)) / (m.selfResonanceMHz * 1e6);
    EXPECT_LT(grounded, ratio);
}

INSTANTIATE_TEST_SUITE_P(Kk4vb, PettitCoils, ::testing::ValuesIn(kPettit),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

// Up to two diameters long the coil keeps Knight's capacitance to the bit, so the loading coil's
// usual shapes check as before; from there to four diameters the self-resonance moves without
// a step from the lumped coil's to the helical line's, and on from four it is the line's.
TEST(ModelCapacitance, KnightsUpToTwoDiametersThenJoinedToTheLineWithoutAStep) {
    struct Row {
        double diameterMm;
        double pitchMm;
        double wireMm;
    };
    const std::vector<Row> rows = {
        {37.1, 2.03, 1.83}, {50, 1.0, 0.9}, {101, 6.5, 1.22}, {20, 0.5, 0.45}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.diameterMm);
        const auto ofShape = [&row](double lengthOverDiameter) {
            const double turns = lengthOverDiameter * row.diameterMm / row.pitchMm;
            return coilOf(turns, row.diameterMm, row.pitchMm, row.wireMm);
        };
        for (double shape : {0.3, 1.0, 1.7, 2.0}) {
            const WoundCoil coil = ofShape(shape);
            EXPECT_EQ(modelCapacitance(coil), selfCapacitance(coil)) << shape;
            EXPECT_EQ(selfResonanceModel(coil), SelfResonanceModel::Lumped) << shape;
        }
        for (double edge : {2.0, 4.0}) {
            const double below = selfResonance(ofShape(edge * (1 - 1e-7)), std::nullopt);
            const double above = selfResonance(ofShape(edge * (1 + 1e-7)), std::nullopt);
            EXPECT_NEAR(above / below, 1.0, 1e-5) << edge;
        }
        EXPECT_EQ(selfResonanceModel(ofShape(3.0)), SelfResonanceModel::Joined);
        const WoundCoil slim = ofShape(6.0);
        EXPECT_EQ(selfResonanceModel(slim), SelfResonanceModel::HelicalLine);
        EXPECT_NEAR(selfResonance(slim, std::nullopt) / helicalLineSelfResonance(slim), 1.0, 0.01);
    }
}

// Long against the waves: a coil that turns over 15 degrees of its own slow wave or holds over
// a tenth of a wavelength of wire, but never one shorter than its diameter, which carries no
// wave along its axis however much wire it holds.
TEST(CoilLength, LongWhereTheWaveOrTheWireIsButNeverShorterThanItsDiameter) {
    struct Row {
        const char* name;
        WoundCoil coil;
        double mhz;
        bool isLong;
    };
    const std::vector<Row> rows = {
        // 42 spaced turns on 100 mm at 80 m: 31 degrees, 0.16 wavelength.
        {"spaced 80 m", coilOf(42, 101.2, 6.5, 1.22), 3.6, true},
        // The same coil on 160 m: under both.
        {"spaced 160 m", coilOf(42, 101.2, 6.5, 1.22), 1.85, false},
        // The typical 40 m coil: 9 turns on 50 mm.
        {"typical", coilOf(9, 50.9, 0.914, 0.914), 7.05, false},
        // 14 close-wound turns on 37 mm at 28 MHz: 0.16 wavelength of wire, but l/D 0.34.
        {"short and fat", coilOf(14, 37.6, 0.914, 0.914), 28.123, false},
        // 40 close-wound turns of 2 mm wire on 25 mm at 21 MHz: l/D 1.8, 0.15 wavelength.
        {"close-wound 15 m", coilOf(40, 27.0, 2.03, 2.03), 21.2, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CoilLength length = coilLengthAt(row.coil, row.mhz * 1e6);
        EXPECT_EQ(length.isLong, row.isLong)
            << length.spanDegrees << " degrees, " << length.wireWavelengths << " wavelength";
    }
}

// The straight wire against the coil's own axial path: for a coil much longer than wide the
// difference of the two partial inductances is mu0 l / 2 pi ln(D / d); for a short fat coil
// much less, since the tube's own partial inductance then falls to nothing.
TEST(StraightWireExcess, LongCoilLimitAndEdges) {
    const double mu0Over2Pi = kMu0 / (2 * kPi);
    struct Row {
        double length;
        double coilDiameter;
        double wireDiameter;
        double expected;
        double tolerance; // relative
    };
    const std::vector<Row> rows = {
        {1.0, 0.01, 0.001, mu0Over2Pi * 1.0 * std::log(10.0), 0.005},
        {0.5, 0.05, 0.002, mu0Over2Pi * 0.5 * std::log(25.0), 0.02},
        // l = D: a quarter less than the long-coil figure.
        {0.05, 0.05, 0.002, 0.0, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        const double excess = straightWireExcess(row.length, row.coilDiameter, row.wireDiameter);
        if (row.expected > 0.0) {
            EXPECT_NEAR(excess, row.expected, row.tolerance * row.expected);
        } else {
            const double longLimit = mu0Over2Pi * row.length * std::log(25.0);
            EXPECT_GT(excess, 0.6 * longLimit);
            EXPECT_LT(excess, 0.9 * longLimit);
        }
    }
    EXPECT_EQ(straightWireExcess(0.0, 0.05, 0.002), 0.0);
    EXPECT_EQ(straightWireExcess(0.1, 0.002, 0.002), 0.0);
    EXPECT_EQ(straightWireExcess(0.1, 0.05, 0.0), 0.0);
}

// What the coils are wound on, as --former-material reads it: named presets or a number.
TEST(FormerMaterialOption, PresetsNumbersAndUsageErrors) {
    struct Row {
        const char* given;   // nullptr: the option left out
        double permittivity; // when read
        const char* error;   // a part of the message, or nullptr when it reads
    };
    const Row rows[] = {
        {nullptr, 1.0, nullptr},
        {"tube", 1.0, nullptr},
        {"ptfe", 2.1, nullptr},
        {"pe", 2.3, nullptr},
        {"pvc", 3.5, nullptr},
        {"4.5", 4.5, nullptr},
        {"1", 1.0, nullptr},
        {"PTFE", 0,
         "--former-material: 'PTFE' is neither a material nor a number; give tube, ptfe"},
        {"0.9", 0, "--former-material: '0.9' is out of range"},
        {"101", 0, "--former-material: '101' is out of range"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.given ? row.given : "(none)");
        std::map<std::string, std::string> given = {
            {"frequency", "7.05"}, {"length", "15"},      {"distance", "3"},   {"wire", "16"},
            {"former", "50"},      {"coil-length", "40"}, {"coil-wire", "20"}, {"no-antenna", ""}};
        if (row.given) {
            given["former-material"] = row.given;
        }
        const auto read = readCheckInputs(given);
        if (row.error) {
            ASSERT_TRUE(std::holds_alternative<UsageError>(read));
            EXPECT_NE(std::get<UsageError>(read).message.find(row.error), std::string::npos)
                << std::get<UsageError>(read).message;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<CheckInputs>(read));
        EXPECT_EQ(std::get<CheckInputs>(read).formerPermittivity, row.permittivity);
    }
}

} // namespace
} // namespace brevan::check
