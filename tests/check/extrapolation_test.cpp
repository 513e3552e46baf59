// SPDX-License-Identifier: GPL-3.0-or-later
// NEC-2's limit from two or three segmentations, on made-up levels r_n = limit + c 2^(-p n):
// where the levels follow a power, the rule that knows that power lands on the limit; where they
// swing or diverge, the stated uncertainty still covers the limit.

#include "fullwave/extrapolation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brevan::check {
namespace {

struct MadeUp {
    const char* name;
    double order; // of the made-up convergence
    double step;  // MHz: the first level's distance from the limit
};

constexpr double kLimit = 7.05;

double level(const MadeUp& m, int n) {
    return kLimit + m.step * std::pow(2.0, -m.order * n);
}

TEST(Extrapolation, TwoLevelsAtTheUsualOrderLandOnTheLimit) {
    for (const double step : {0.2, -0.2, 0.01}) {
        const MadeUp m{"usual", kConvergenceOrder, step};
        const Extrapolated e = twoLevels(level(m, 0), level(m, 1));
        EXPECT_NEAR(e.limitMHz, kLimit, 1e-12) << step;
        EXPECT_GT(e.uncertainty, 0.0);
        EXPECT_EQ(wantsThirdLevel(level(m, 0), level(m, 1)), e.uncertainty > kThirdLevelAbove);
    }
}

TEST(Extrapolation, ThreeLevelsCoverTheLimitAtEveryOrder) {
    for (const MadeUp& m :
         {MadeUp{"fast", 1.2, 0.3}, MadeUp{"usual", 0.75, -0.3}, MadeUp{"slow", 0.6, 0.3},
          MadeUp{"slower", 0.52, -0.1}, MadeUp{"slowest", 0.3, 0.3}}) {
        const Extrapolated e = threeLevels(level(m, 0), level(m, 1), level(m, 2));
        EXPECT_LE(std::abs(e.limitMHz - kLimit), e.uncertainty * e.limitMHz + 1e-12) << m.name;
        if (m.order >= kConvergenceOrder) {
            EXPECT_NEAR(e.limitMHz, kLimit, 1e-12) << m.name;
        }
    }
}

TEST(Extrapolation, LevelsThatSwingOrGrowAreTakenAtTheirWholeSpread) {
    struct Levels {
        double r1, r2, r3;
    };
    for (const Levels& l : {Levels{7.0, 7.1, 7.05}, Levels{7.0, 7.01, 7.03}}) {
        const Extrapolated e = threeLevels(l.r1, l.r2, l.r3);
        EXPECT_EQ(e.limitMHz, l.r3);
        EXPECT_DOUBLE_EQ(e.uncertainty * l.r3,
                         std::max(std::abs(l.r1 - l.r3), std::abs(l.r2 - l.r3)));
    }
    const Extrapolated whole = twoLevelsWithoutOrder(7.0, 7.02);
    EXPECT_EQ(whole.limitMHz, twoLevels(7.0, 7.02).limitMHz);
    EXPECT_NEAR(whole.uncertainty * whole.limitMHz, 0.02, 1e-12);
}

} // namespace
} // namespace brevan::check
