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

// The helix's levels of 4, 6 and 8 segments a turn, made up as limit + a / n^2 + b / n^p: with
// the cube (p = 3) the fit lands on the limit whatever a and b; with the fourth power it misses
// by just what it states, the two fits' difference; with the square alone both agree.
TEST(Extrapolation, TheHelixsChordsLandOnTheLimitOrStateTheirMiss) {
    struct Chords {
        const char* name;
        double square, other, power; // MHz, MHz, the other term's power of 1 / n
    };
    for (const Chords& c :
         {Chords{"square only", 0.8, 0.0, 3}, Chords{"square and cube", 0.8, -2.5, 3},
          Chords{"falling, with the cube", -1.5, 4.0, 3},
          Chords{"square and fourth power", 0.8, -9.0, 4}}) {
        const auto at = [&c](int n) {
            return kLimit + c.square / (n * n) + c.other * std::pow(n, -c.power);
        };
        const Extrapolated e =
            helixChordLimit(at(kHelixLevels[0]), at(kHelixLevels[1]), at(kHelixLevels[2]));
        if (c.power == 3) {
            EXPECT_NEAR(e.limitMHz, kLimit, 1e-12) << c.name;
        } else {
            EXPECT_GT(std::abs(e.limitMHz - kLimit), 1e-4) << c.name;
            EXPECT_NEAR(e.uncertainty * e.limitMHz, std::abs(e.limitMHz - kLimit), 1e-12) << c.name;
        }
        if (c.other == 0.0) {
            EXPECT_LT(e.uncertainty, 1e-12) << c.name;
        } else {
            EXPECT_GT(e.uncertainty, 1e-5) << c.name;
        }
    }
}

} // namespace
} // namespace brevan::check
