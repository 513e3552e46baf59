// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/round_wire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brevan::check {
namespace {

// The wire's internal inductance as a fraction of its DC value mu0 / 8 pi per metre,
// 4 Im[(z/2) I0(z)/I1(z)] / x^2 with z = (1 + j) x, x = d / (2 delta), evaluated independently
// to 15 digits with mpmath's besseli. Rows straddle the switch from the power series to the
// asymptotic series at d / delta = 24.
TEST(RoundWireInternal, InductanceFractionFollowsTheBesselSolution) {
    struct Row {
        double diameterOverDepth;
        double fraction;
    };
    const std::vector<Row> rows = {
        {0.5, 0.999959312765479},    {2.0, 0.989767993126011},  {5.0, 0.759731625672654},
        {10.0, 0.396275966091337},   {16.0, 0.249168748436218}, {20.0, 0.199585100995755},
        {24.0, 0.166430595535623},   {30.0, 0.133214493999214}, {40.0, 0.0999507047612892},
        {100.0, 0.0399969392131269},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.diameterOverDepth);
        const WireInternalImpedance z = roundWireInternal(0.5 * row.diameterOverDepth);
        EXPECT_NEAR(z.inductanceFraction, row.fraction, 1e-9 * row.fraction);
    }
}

// Thick wire: Im Z / R_dc = x/2 - 3/(32 x) - 3/(32 x^2) + ..., so the fraction tends to
// 4 delta/d - 3 (delta/d)^3 - 6 (delta/d)^4; Re Z / R_dc = x/2 + 1/4 + 3/(32 x) - ..., the
// resistance ratio d/(4 delta) + 1/4 + (3/16) delta/d.
TEST(RoundWireInternal, ThickWireApproachesItsAsymptote) {
    for (double diameterOverDepth : {20.0, 24.0, 25.0, 40.0, 100.0, 1e4, 1e8}) {
        SCOPED_TRACE(diameterOverDepth);
        const double r = 1.0 / diameterOverDepth;
        const double fraction = 4.0 * r - 3.0 * r * r * r - 6.0 * r * r * r * r;
        const WireInternalImpedance z = roundWireInternal(0.5 * diameterOverDepth);
        EXPECT_NEAR(z.inductanceFraction, fraction, 2e-5 * fraction);
        const double ratio = 0.25 * diameterOverDepth + 0.25 + 3.0 / 16.0 * r;
        EXPECT_NEAR(z.resistanceRatio, ratio, r * r * r);
    }
}

TEST(RoundWireInternal, FromUniformCurrentToSkinWithoutAStep) {
    // DC, and wires so thin against the skin that the current is uniform.
    for (double x : {0.0, -1.0, 1e-300, 1e-8, 1e-4}) {
        SCOPED_TRACE(x);
        const WireInternalImpedance z = roundWireInternal(x);
        EXPECT_DOUBLE_EQ(z.inductanceFraction, 1.0);
        EXPECT_DOUBLE_EQ(z.resistanceRatio, 1.0);
    }
    // Rising frequency only ever pushes the current outwards: the internal inductance falls
    // and the resistance rises, smoothly across both switches of method.
    double previousFraction = 1.0;
    double previousRatio = 1.0;
    for (double x = 1e-4; x < 1e6; x *= 1.01) {
        const WireInternalImpedance z = roundWireInternal(x);
        ASSERT_LE(z.inductanceFraction, previousFraction + 1e-15) << x;
        ASSERT_GE(z.resistanceRatio, previousRatio - 1e-15) << x;
        ASSERT_GT(z.inductanceFraction, 0.0) << x;
        previousFraction = z.inductanceFraction;
        previousRatio = z.resistanceRatio;
    }
    // Either side of the switches at x = 1e-3 and x = 12 (d / delta = 24).
    for (double x : {1e-3, 12.0}) {
        SCOPED_TRACE(x);
        const WireInternalImpedance below = roundWireInternal(x * (1 - 1e-12));
        const WireInternalImpedance above = roundWireInternal(x * (1 + 1e-12));
        EXPECT_NEAR(below.inductanceFraction, above.inductanceFraction, 1e-9);
        EXPECT_NEAR(below.resistanceRatio, above.resistanceRatio, 1e-9);
    }
}

} // namespace
} // namespace brevan::check
