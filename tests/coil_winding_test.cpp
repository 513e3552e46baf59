// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil_winding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using brevan::CoilWindingResult;
using brevan::DesignFault;
using brevan::DesignState;

namespace {

DesignState stateFor(double inductance, double formerMm, double coilMm) {
    DesignState s;
    s.inductance = inductance;
    s.formerDia = formerMm / 25.4;
    s.coilLength = coilMm / 25.4;
    return s;
}

struct Example {
    const char* name;
    double inductance, formerMm, coilMm, gauge;
    std::vector<double> turns;
    std::vector<double> lengths;
    double revisedMm;
};

TEST(CoilWinding, WorkedExamplesPassByPass) {
    const Example examples[] = {
        {"settles_after_two_passes",
         20,
         50,
         40,
         18,
         {22, 19, 19, 19, 19, 19, 19, 19, 19, 19},
         {1.0, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9, 0.9},
         22},
        {"still_growing_after_ten",
         10,
         10,
         10,
         10,
         {38, 113, 193, 253, 289, 309, 319, 325, 327, 329},
         {4.8, 14.4, 24.7, 32.3, 36.9, 39.5, 40.8, 41.5, 41.8, 42.1},
         1069},
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.name);
        DesignState s = stateFor(e.inductance, e.formerMm, e.coilMm);
        const CoilWindingResult r = brevan::computeCoilWinding(s, e.gauge);
        ASSERT_EQ(r.fault, DesignFault::None);
        for (std::size_t i = 0; i < r.passes.size(); ++i) {
            EXPECT_EQ(r.passes[i].turns, e.turns[i]) << "pass " << i + 1;
            EXPECT_NEAR(r.passes[i].windingLength, e.lengths[i], 1e-12) << "pass " << i + 1;
        }
        EXPECT_EQ(r.revisedLengthMm, e.revisedMm);
        EXPECT_EQ(s.turns, e.turns.back());
        EXPECT_EQ(s.coilLength, s.windingLength);
        EXPECT_EQ(s.fullOuterLength, 11.0); // the pass counter
        EXPECT_EQ(s.coilWireSWG, e.gauge);
        EXPECT_EQ(s.coilRadius, s.formerDia / 2);
    }
}

TEST(CoilWinding, GaugeTenUsesTheCoilColumn) {
    DesignState s = stateFor(10, 10, 10);
    ASSERT_EQ(brevan::computeCoilWinding(s, 10).fault, DesignFault::None);
    EXPECT_EQ(s.coilWireDia, 0.127992);
}

TEST(CoilWinding, ZeroCoilLengthIsAccepted) {
    DesignState s = stateFor(20, 50, 0);
    const CoilWindingResult r = brevan::computeCoilWinding(s, 18);
    ASSERT_EQ(r.fault, DesignFault::None);
    EXPECT_GT(r.passes[0].turns, 0);
}

TEST(CoilWinding, UndefinedInputsAreRefusedAndLeaveTheStateAlone) {
    struct Refusal {
        const char* name;
        double inductance, formerMm, coilMm, gauge;
        DesignFault fault;
    };
    const Refusal cases[] = {
        {"zero_former", 20, 0, 40, 18, DesignFault::CoilRadiusNotPositive},
        {"negative_former", 20, -5, 40, 18, DesignFault::CoilRadiusNotPositive},
        {"negative_inductance", -1, 50, 40, 18, DesignFault::NegativeInductance},
        {"gauge_without_row", 20, 50, 40, 19, DesignFault::NoWireDiameter},
        {"negative_coil_length", 20, 50, -4000, 18, DesignFault::NonFinite},
        {"infinite_former", 20, HUGE_VAL, 40, 18, DesignFault::NonFinite},
        {"overflowing_inductance", 1e308, 50, 1e308, 18, DesignFault::NonFinite},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        DesignState s = stateFor(c.inductance, c.formerMm, c.coilMm);
        const DesignState before = s;
        EXPECT_EQ(brevan::computeCoilWinding(s, c.gauge).fault, c.fault);
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    }
}

TEST(CoilWinding, FormerTooThinForAFiniteTurnCountIsRefused) {
    const double thinnest = std::numeric_limits<double>::denorm_min();
    const struct {
        double formerInch;
        DesignFault fault;
    } cases[] = {
        {thinnest, DesignFault::CoilRadiusNotPositive}, // halves to a radius of 0
        {2 * thinnest, DesignFault::NonFinite},         // dividing by it overflows
    };
    for (const auto& c : cases) {
        DesignState s = stateFor(20, 50, 40);
        s.formerDia = c.formerInch;
        const DesignState before = s;
        EXPECT_EQ(brevan::computeCoilWinding(s, 18).fault, c.fault) << c.formerInch;
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    }
}

TEST(CoilWinding, NonFiniteGaugeIsRefusedEvenWithAnEarlierDiameter) {
    for (double gauge : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        DesignState s = stateFor(20, 50, 40);
        ASSERT_EQ(brevan::computeCoilWinding(s, 18).fault, DesignFault::None);
        const DesignState before = s;
        EXPECT_EQ(brevan::computeCoilWinding(s, gauge).fault, DesignFault::NonFinite);
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << gauge;
    }
}

} // namespace
