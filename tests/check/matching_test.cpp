// SPDX-License-Identifier: GPL-3.0-or-later
// Matching a feed point to 50 ohm: the transformer the report names and the L-network it
// designs, on made-up feed points whose answers are known.

#include "analysis/matching.h"
#include "coil/physics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brevan::check {
namespace {

// A series resonant circuit: R + j X0 (f/f0 - f0/f), sampled every 0.1 % around f0.
Samples seriesCircuit(double r, double f0, double x0) {
    Samples s;
    for (int i = -200; i <= 200; ++i) {
        const double f = f0 * (1.0 + 0.001 * i);
        s.push_back(FeedPoint{f, {r, x0 * (f / f0 - f0 / f)}, 0, 0, 0});
    }
    return s;
}

TEST(Transformer, TheUsualRatioThatMatchesAKnownLoad) {
    struct Row {
        double resistance;
        double ratio;
        bool stepUp;
    };
    for (const Row& row : {Row{12.5, 4.0, true}, Row{25.0, 2.0, true}, Row{450.0, 9.0, false},
                           Row{75.0, 1.5, false}, Row{14.0, 4.0, true}}) {
        SCOPED_TRACE(row.resistance);
        const TransformerMatch m =
            bestTransformer(seriesCircuit(row.resistance, 7.0, 500.0), 7.0, 50.0);
        EXPECT_EQ(m.ratio, row.ratio);
        EXPECT_EQ(m.stepUp, row.stepUp);
        EXPECT_NEAR(m.swrAtDesign,
                    swr(std::complex<double>(
                            row.resistance * (row.stepUp ? row.ratio : 1.0 / row.ratio), 0.0),
                        50.0),
                    1e-9);
    }
}

TEST(Transformer, BandIsTheMatchedCircuitsBand) {
    // 12.5 ohm through 1:4 is a 50 ohm circuit with four times the reactance; on 50 ohm a
    // resistance of 50 has SWR 2 where |X| = sqrt((50 + 50)^2 / 8).
    const double x0 = 500.0;
    const TransformerMatch m = bestTransformer(seriesCircuit(12.5, 7.0, x0), 7.0, 50.0);
    ASSERT_TRUE(m.lowerMHz && m.upperMHz);
    const double edgeX = std::sqrt(100.0 * 100.0 / 8.0) / 4.0; // the antenna's own reactance
    for (const double edge : {*m.lowerMHz, *m.upperMHz}) {
        EXPECT_NEAR(std::abs(x0 * (edge / 7.0 - 7.0 / edge)), edgeX, 1e-6 * edgeX);
    }
}

TEST(LNetworkMatch, MatchesFiftyOhmAtFWhateverTheLoad) {
    const double f = 7.05;
    for (const std::complex<double> load : {std::complex<double>(12.5, -30.0),
                                            {25.0, 10.0},
                                            {200.0, 50.0},
                                            {50.0, 40.0},
                                            {12.0, 0.0},
                                            {600.0, -900.0},
                                            {3.0, 150.0}}) {
        SCOPED_TRACE(load);
        Samples flat;
        for (int i = -5; i <= 5; ++i) {
            flat.push_back(FeedPoint{f * (1 + 0.01 * i), load, 0, 0, 0});
        }
        const auto network = lNetwork(flat, f, 50.0);
        ASSERT_TRUE(network);
        const std::complex<double> in = throughNetwork(*network, load, f);
        EXPECT_NEAR(in.real(), 50.0, 1e-9);
        EXPECT_NEAR(in.imag(), 0.0, 1e-9);
        EXPECT_GT(network->series.value, 0.0);
    }
}

TEST(LNetworkMatch, LowResistanceGetsALowPassNetworkWithTheTextbookValues) {
    // 12.5 ohm to 50 ohm at 7 MHz: Q = sqrt(50/12.5 - 1) = sqrt(3); series X = Q R,
    // shunt B = Q / 50 on the line side.
    const auto network = lNetwork(seriesCircuit(12.5, 7.0, 500.0), 7.0, 50.0);
    ASSERT_TRUE(network);
    const double omega = 2 * kPi * 7e6;
    EXPECT_EQ(network->series.element, Element::Inductor);
    EXPECT_NEAR(network->series.value, std::sqrt(3.0) * 12.5 / omega, 1e-15);
    EXPECT_EQ(network->shunt.element, Element::Capacitor);
    EXPECT_EQ(network->shunt.place, Place::ShuntLineSide);
    EXPECT_NEAR(network->shunt.value, std::sqrt(3.0) / 50.0 / omega, 1e-18);
    ASSERT_TRUE(network->lowerMHz && network->upperMHz);
    EXPECT_LT(*network->lowerMHz, 7.0);
    EXPECT_GT(*network->upperMHz, 7.0);
}

TEST(LNetworkMatch, NoResistanceNoNetwork) {
    Samples lossless = seriesCircuit(0.0, 7.0, 500.0);
    EXPECT_FALSE(lNetwork(lossless, 7.0, 50.0));
}

} // namespace
} // namespace brevan::check
