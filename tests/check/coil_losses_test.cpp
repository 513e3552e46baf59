// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_losses.h"
#include "coil/physics.h"
#include "wound_coils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brevan::check {
namespace {

// A straight-ish winding of exactly one metre of wire: one turn, pitch 1 mm.
WoundCoil oneMetreOfWire(double wireMm) {
    const double pitch = 1e-3;
    return {1.0, std::sqrt(1.0 - pitch * pitch) / kPi, pitch, wireMm * 1e-3};
}

// Copper at 20 C: delta = 66.1 um / sqrt(f / MHz), as tabulated in the ARRL Handbook and
// Terman's "Radio Engineers' Handbook" (1943).
TEST(SkinDepth, CopperAtPublishedFrequencies) {
    struct Row {
        double frequency;
        double depth;
    };
    const std::vector<Row> rows = {{1e5, 209e-6}, {1e6, 66.1e-6}, {1e7, 20.9e-6}, {1e8, 6.61e-6}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frequency);
        EXPECT_NEAR(skinDepth(row.frequency), row.depth, 0.005 * row.depth);
    }
}

TEST(CoilResistance, DirectCurrentResistanceOfOneMetreOfWire) {
    // 1 m of 1 mm annealed copper: 21.95 mOhm; of 2 mm, a quarter of it.
    EXPECT_NEAR(coilResistance(oneMetreOfWire(1.0), 1e5).dcResistance, 21.95e-3, 0.01e-3);
    EXPECT_NEAR(coilResistance(oneMetreOfWire(2.0), 1e5).dcResistance, 5.488e-3, 0.01e-3);
    EXPECT_NEAR(windingWireLength(oneMetreOfWire(1.0)), 1.0, 1e-12);
}

// The isolated wire's R/Rdc against the exact solution Re[(z/2) I0(z)/I1(z)], z = (1+j) r/delta,
// evaluated independently to 15 digits with mpmath's besseli. Rows straddle the switch from
// the power series to the asymptotic series at r/delta = 12.
TEST(CoilResistance, IsolatedWireFollowsTheBesselSolution) {
    struct Row {
        double radiusOverDepth;
        double ratio;
    };
    const std::vector<Row> rows = {
        {0.1, 1.00000208332986},  {1.0, 1.02049238885562}, {3.0, 1.76813165250974},
        {8.0, 4.2615702582589},   {10.0, 5.2593018575108}, {12.0, 6.25777136324997},
        {20.0, 10.2546791146604},
    };
    const double frequency = 1e6;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.radiusOverDepth);
        const double wireMm = 2e3 * row.radiusOverDepth * skinDepth(frequency);
        const CoilLoss loss = coilResistance(oneMetreOfWire(wireMm), frequency);
        EXPECT_NEAR(loss.skinResistance / loss.dcResistance, row.ratio, 1e-7 * row.ratio);
    }
}

TEST(CoilResistance, DowellFactorRunsFromOneToTheLayerRatio) {
    // Close-wound: at low frequency the winding is at its DC resistance; at high frequency
    // Dowell's factor tends to Delta = (pi/4)^(3/4) d / delta.
    const CoilLoss low = coilResistance(coilOf(50, 20, 0.05, 0.05), 1e5);
    EXPECT_NEAR(low.acResistance / low.dcResistance, 1.0, 1e-3);
    const WoundCoil coil = coilOf(50, 20, 0.5, 0.5);
    for (double frequency : {5e7, 1e8}) {
        SCOPED_TRACE(frequency);
        const CoilLoss high = coilResistance(coil, frequency);
        const double delta = std::pow(kPi / 4, 0.75) * 0.5e-3 / skinDepth(frequency);
        EXPECT_NEAR(high.acResistance / high.dcResistance, delta, 1e-6 * delta);
    }
}

TEST(CoilResistance, CloseWoundLongCoilShowsMedhurstsProximityFactor) {
    // Medhurst (Wireless Engineer 24, 1947) measured about 3 for close-wound long coils with
    // the wire many skin depths thick.
    for (double frequency : {3.5e6, 7e6, 14e6, 28e6}) {
        SCOPED_TRACE(frequency);
        const CoilLoss loss = coilResistance(coilOf(100, 25, 1.6, 1.6), frequency);
        EXPECT_GT(loss.proximityFactor, 2.8);
        EXPECT_LT(loss.proximityFactor, 3.5);
    }
}

TEST(CoilResistance, SpacingTheTurnsLowersTheLossPerMetre) {
    double previous = 1e300;
    for (double pitchRatio : {1.0, 1.2, 1.5, 2.0, 3.0, 5.0, 10.0}) {
        SCOPED_TRACE(pitchRatio);
        const WoundCoil coil = coilOf(20, 50, 1.0 * pitchRatio, 1.0);
        const CoilLoss loss = coilResistance(coil, 7e6);
        const double perMetre = loss.acResistance / windingWireLength(coil);
        EXPECT_LE(perMetre, previous);
        EXPECT_GE(loss.acResistance, loss.skinResistance);
        EXPECT_GE(loss.proximityFactor, 1.0);
        previous = perMetre;
    }
    // Far apart the turns no longer crowd each other's current: the isolated wire remains.
    const CoilLoss apart = coilResistance(coilOf(20, 50, 20, 1), 7e6);
    EXPECT_EQ(apart.proximityFactor, 1.0);
}

TEST(MedhurstCapacitance, GrowsWithDiameterAndIsLeastNearLengthEqualsDiameter) {
    const auto capacitance = [](double diameterMm, double lengthOverDiameter) {
        const double length = diameterMm * lengthOverDiameter;
        return medhurstCapacitance(coilOf(10, diameterMm, length / 10, 0.1 * length / 10));
    };
    EXPECT_GT(capacitance(50, 1), capacitance(25, 1));
    // Medhurst's H = C / D falls from short coils to a minimum near l/D = 1 and rises again
    // for long ones, about 0.46 pF per cm of diameter at the bottom.
    const double perCm = capacitance(100, 1.0) / 10.0 * 1e12;
    EXPECT_NEAR(perCm, 0.46, 0.01);
    EXPECT_GT(capacitance(100, 0.2), capacitance(100, 0.6));
    EXPECT_GT(capacitance(100, 0.6), capacitance(100, 1.1));
    EXPECT_LT(capacitance(100, 1.1), capacitance(100, 2.0));
    EXPECT_LT(capacitance(100, 2.0), capacitance(100, 10.0));
}

TEST(SelfResonantFrequency, OfAKnownTankAndAtItsEdges) {
    // 1 uH with 25.33 pF resonates at 31.62 MHz.
    EXPECT_NEAR(selfResonantFrequency(1e-6, 25.33e-12), 31.62e6, 0.01e6);
    EXPECT_EQ(selfResonantFrequency(0.0, 1e-12), 0.0);
    EXPECT_TRUE(std::isfinite(selfResonantFrequency(1e-200, 1e-200)));
}

// Every value the options allow gives finite losses and capacitance.
TEST(CoilLosses, FiniteAcrossTheWholeInputRange) {
    for (double turns : {1.0, 100000.0}) {
        for (double diameter : {1e-4, 1.0}) {
            for (double wire : {5e-5, 1e-2}) {
                for (double pitchRatio : {1.0, 4.0}) {
                    for (double frequency : {1e5, 1e8}) {
                        const WoundCoil c{turns, diameter + wire, wire * pitchRatio, wire};
                        SCOPED_TRACE(testing::Message() << turns << " " << diameter << " " << wire
                                                        << " " << frequency);
                        const CoilLoss loss = coilResistance(c, frequency);
                        EXPECT_TRUE(std::isfinite(loss.acResistance));
                        EXPECT_GE(loss.acResistance, loss.dcResistance * 0.999999);
                        EXPECT_TRUE(std::isfinite(loss.proximityFactor));
                        EXPECT_TRUE(std::isfinite(selfCapacitance(c)));
                        EXPECT_GT(selfCapacitance(c), 0.0);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace brevan::check
