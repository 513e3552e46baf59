// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_model.h"
#include "coil/physics.h"
#include "coil/turns_search.h"
#include "wound_coils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brevan::check {
namespace {

constexpr long double kPiL = 3.141592653589793238462643383279502884L;

// Nagaoka's coefficient straight from its definition, with the standard library's elliptic
// integrals in long double: the reference the AGM must reproduce.
double referenceNagaoka(double diameterOverLength) {
    const long double x = diameterOverLength;
    const long double k2 = x * x / (1.0L + x * x);
    const long double k = std::sqrt(k2);
    const long double kp = std::sqrt(1.0L - k2);
    const long double bigK = std::comp_ellint_1(k);
    const long double bigE = std::comp_ellint_2(k);
    return static_cast<double>(4.0L / (3.0L * kPiL * kp) *
                               (kp * kp / k2 * (bigK - bigE) + bigE - k));
}

// Maxwell's mutual inductance of two coaxial circles of radius a, z apart.
long double filamentMutual(long double a, long double z) {
    const long double k = std::sqrt(4.0L * a * a / (4.0L * a * a + z * z));
    return kMu0 * a * ((2.0L / k - k) * std::comp_ellint_1(k) - 2.0L / k * std::comp_ellint_2(k));
}

// The coil as N coaxial rings of round wire: each ring's own inductance with uniform current,
// mu0 a (ln(8a/rho) - 7/4), plus every pair's mutual inductance between wire centres.
double ringSumInductance(const WoundCoil& c) {
    const long double a = 0.5L * c.meanDiameter;
    const long double rho = 0.5L * c.wireDiameter;
    const int n = static_cast<int>(c.turns);
    long double total = n * kMu0 * a * (std::log(8.0L * a / rho) - 1.75L);
    for (int k = 1; k < n; ++k) {
        total += 2.0L * (n - k) * filamentMutual(a, k * static_cast<long double>(c.pitch));
    }
    return static_cast<double>(total);
}

// Rosa's B summed term by term from its definition, with no asymptotic tail.
double bruteRosaB(int n) {
    long double sum = 0.0L;
    for (int k = 1; k < n; ++k) {
        const long double s = k;
        const long double down = k > 1 ? (s - 1) * (s - 1) * std::log(s - 1) : 0.0L;
        const long double logGmd =
            ((s + 1) * (s + 1) * std::log(s + 1) + down - 2 * s * s * std::log(s)) / 2 - 1.5L;
        sum += (n - k) * (std::log(s) - logGmd);
    }
    return static_cast<double>(2.0L * sum / n);
}

TEST(NagaokaCoefficient, MatchesEllipticIntegralsFromShortToLongCoils) {
    for (double lengthOverDiameter : {0.05, 0.08, 0.1, 0.2, 0.3, 0.5, 0.7, 1.0, 1.5, 2.0, 3.0, 5.0,
                                      7.0, 10.0, 15.0, 20.0, 2e-2}) {
        SCOPED_TRACE(lengthOverDiameter);
        const double x = 1.0 / lengthOverDiameter;
        EXPECT_NEAR(nagaokaCoefficient(x), referenceNagaoka(x), 1e-12 * referenceNagaoka(x));
    }
}

// Four-figure values as tabulated by Nagaoka (J. Coll. Sci. Tokyo 27, 1909) and reprinted in
// Grover, "Inductance Calculations" (1946); they agree with the exact formula to the digit.
TEST(NagaokaCoefficient, AgreesWithPublishedTable) {
    struct Row {
        double diameterOverLength;
        double published;
    };
    const std::vector<Row> rows = {{0.1, 0.9588}, {0.5, 0.8181}, {1.0, 0.6884}, {2.0, 0.5255}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.diameterOverLength);
        EXPECT_NEAR(nagaokaCoefficient(row.diameterOverLength), row.published, 5e-5);
    }
}

TEST(NagaokaCoefficient, ReachesBothLimitsSmoothlyAndFalls) {
    // Very long: K -> 1 - 4x/(3 pi) + x^2/8. Very short: (2/pi)(l/D)(ln(4 D / l) - 1/2).
    for (double x : {1e-300, 1e-12, 1e-8, 1e-5}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(nagaokaCoefficient(x), 1.0 - 4.0 * x / (3.0 * kPi) + x * x / 8.0, 1e-15);
    }
    for (double x : {1e5, 1e8, 1e12, 1e300}) {
        SCOPED_TRACE(x);
        const double shortCoil = 2.0 / kPi / x * (std::log(4.0 * x) - 0.5);
        EXPECT_NEAR(nagaokaCoefficient(x), shortCoil, 1e-9 * shortCoil);
    }
    // Either side of the switch to the short-coil series.
    for (double x : {30.0, 49.9, 50.1, 70.0}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(nagaokaCoefficient(x), referenceNagaoka(x), 1e-12 * referenceNagaoka(x));
    }
    // Wider still the long-double reference itself loses digits; these are the exact formula
    // evaluated in 40-digit arithmetic (mpmath ellipk / ellipe).
    struct Row {
        double diameterOverLength;
        double exact;
    };
    const std::vector<Row> rows = {{100.0, 0.034960245774116153},
                                   {300.0, 0.013984599017071991},
                                   {1000.0, 0.0049618467876171734},
                                   {3000.0, 0.0018870814993651171}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.diameterOverLength);
        EXPECT_NEAR(nagaokaCoefficient(row.diameterOverLength), row.exact, 1e-13 * row.exact);
    }
    double previous = 1.0;
    for (double x = 1e-6; x < 1e9; x *= 1.07) {
        const double value = nagaokaCoefficient(x);
        ASSERT_TRUE(std::isfinite(value)) << x;
        ASSERT_LT(value, previous) << x;
        ASSERT_GT(value, 0.0) << x;
        previous = value;
    }
}

// Rosa's table of B against the number of turns (Rosa, Bull. Bureau of Standards 2, 1906;
// Rosa and Grover, Bull. Bureau of Standards 8, 1912).
TEST(RosaMutualCorrection, AgreesWithPublishedTable) {
    const std::vector<double> published = {0.0,    0.1137, 0.1663, 0.1973, 0.2180,
                                           0.2329, 0.2443, 0.2532, 0.2604, 0.2664};
    for (std::size_t i = 0; i < published.size(); ++i) {
        const double turns = static_cast<double>(i + 1);
        SCOPED_TRACE(turns);
        EXPECT_NEAR(rosaMutualCorrection(turns), published[i], 6e-5);
    }
}

TEST(RosaMutualCorrection, TailMatchesTheFullSumForManyTurns) {
    for (int turns : {11, 50, 64, 65, 66, 67, 100, 329, 1000, 5000}) {
        SCOPED_TRACE(turns);
        EXPECT_NEAR(rosaMutualCorrection(turns), bruteRosaB(turns), 1e-10);
    }
}

TEST(RosaMutualCorrection, RisesTowardItsLimitAndInterpolatesBetweenWholeTurns) {
    // 2 sum_k (ln k - ln g_k/p) over all k, summed to convergence: 0.337877.
    constexpr double kLimit = 0.3378771;
    double previous = 0.0;
    for (double turns : {2.0, 10.0, 1e2, 1e3, 1e4, 1e5, 1e7, 1e12, 1e300}) {
        SCOPED_TRACE(turns);
        const double b = rosaMutualCorrection(turns);
        EXPECT_GT(b, previous);
        EXPECT_LT(b, kLimit);
        previous = b;
    }
    EXPECT_NEAR(rosaMutualCorrection(1e12), kLimit, 1e-7);
    EXPECT_EQ(rosaMutualCorrection(0.5), 0.0);
    EXPECT_NEAR(rosaMutualCorrection(2.25),
                0.75 * rosaMutualCorrection(2.0) + 0.25 * rosaMutualCorrection(3.0), 1e-15);
}

TEST(RosaSelfCorrection, CloseWoundValueAndSpacing) {
    // Close-wound, d = p: A = 5/4 - ln 2 = 0.5569 (Rosa's table, d/p = 1).
    EXPECT_NEAR(rosaSelfCorrection(1e-3, 1e-3), 0.5569, 1e-4);
    // Spacing the turns to twice the wire diameter lowers A by ln 2.
    EXPECT_NEAR(rosaSelfCorrection(2e-3, 1e-3), 0.5569 - std::log(2.0), 1e-4);
}

// A single turn must reduce to the textbook ring of round wire, and whole coils to the sum of
// exact ring-to-ring mutual inductances. Rosa's corrections treat neighbouring turns as
// straight parallel wires, the ring sum ignores the helix' pitch: both are right to order
// (p/D)^2, and they are found to differ by 0.13 (p/D)^2 across these rows, so the tolerance is
// 0.2 (p/D)^2 (0.05 % at p/D = 1/20, 1.3 % at the 329-turn coil's 1/4).
TEST(AsWoundInductance, AgreesWithSumOverRings) {
    const std::vector<WoundCoil> rows = {
        coilOf(1, 50, 1, 1),
        coilOf(1, 200, 3, 2),
        coilOf(2, 50, 2, 1),
        coilOf(5, 50, 1, 1),
        coilOf(9, 50.9144, 0.9144, 0.9144),
        coilOf(20, 30, 1.5, 1),
        coilOf(40, 20, 0.5, 0.4),
        coilOf(10, 100, 5, 2),
        coilOf(30, 60, 3, 1.2),
        coilOf(3, 20, 2, 2),
        coilOf(50, 20, 2, 2),
        coilOf(200, 10, 0.5, 0.5),
        coilOf(4, 10, 2, 1),
        coilOf(329, 13.2512, 3.2512, 3.2512),
    };
    for (const WoundCoil& coil : rows) {
        SCOPED_TRACE(testing::Message() << coil.turns << " turns, D " << coil.meanDiameter);
        const double reference = ringSumInductance(coil);
        const double pitchOverDiameter = coil.pitch / coil.meanDiameter;
        const double tolerance = 0.2 * pitchOverDiameter * pitchOverDiameter + 2e-5;
        EXPECT_NEAR(asWoundInductance(coil), reference, tolerance * reference);
    }
}

TEST(AsWoundInductance, IsTheCurrentSheetLessRosasCorrections) {
    // Close-wound coils fall below the current sheet (A + B > 0); widely spaced thin wire
    // rises above it (A < 0 once p > 1.75 d).
    const WoundCoil close = coilOf(9, 50.9144, 0.9144, 0.9144);
    EXPECT_LT(asWoundInductance(close), currentSheetInductance(close));
    const WoundCoil spaced = coilOf(9, 50, 5, 0.5);
    EXPECT_GT(asWoundInductance(spaced), currentSheetInductance(spaced));
}

// Two loading coils as the designer's Wheeler figures would have them wound: 9 turns of SWG 20
// close-wound on a 50 mm former for 7.177 uH, and 329 turns of SWG 10 on a 10 mm former for
// 10 uH. Wound wire is not a current sheet: the first comes out some 5 % low; the second, whose
// turns are a third of its diameter apart, half as much again.
TEST(AsWoundInductance, TypicalLoadingCoilsDepartFromTheirTarget) {
    const double first = asWoundInductance(coilOf(9, 50.9144, 0.9144, 0.9144));
    EXPECT_NEAR(first / 7.177e-6, 0.95, 0.01);
    const double swg10 = 0.127992 * 25.4;
    const double second = asWoundInductance(coilOf(329, 10 + swg10, swg10, swg10));
    EXPECT_NEAR(second / 10e-6, 1.5, 0.05);
}

TEST(WheelerInductance, WithinItsClaimedAccuracyOfTheCurrentSheet) {
    // Wheeler (Proc. IRE 16, 1928) claims 1 % for l > 0.8 r; the table allows 1.5 %.
    for (double lengthOverDiameter : {0.4, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0}) {
        SCOPED_TRACE(lengthOverDiameter);
        const WoundCoil coil = coilOf(20, 50, 50 * lengthOverDiameter / 20, 0.5);
        const double sheet = currentSheetInductance(coil);
        EXPECT_NEAR(wheelerInductance(coil), sheet, 0.015 * sheet);
    }
    // A very short coil is far outside its range: Wheeler tends to a constant times r N^2 while
    // the sheet keeps growing as ln(D / l), so it reads far low.
    const WoundCoil flat = coilOf(2, 100, 0.5, 0.5);
    EXPECT_LT(wheelerInductance(flat), 0.8 * currentSheetInductance(flat));
}

TEST(ClosestTurns, BracketsTheTargetAndPicksTheNearer) {
    struct Row {
        WoundCoil coil;
        double target; // henries
    };
    const std::vector<Row> rows = {
        {coilOf(1, 50.9144, 0.9144, 0.9144), 7.177e-6},
        {coilOf(1, 10, 3.2512, 3.2512), 10e-6},
        {coilOf(1, 30, 1, 0.8), 1e-6},
        {coilOf(1, 30, 1, 0.8), 2.5e-6},
        {coilOf(1, 100, 2, 1), 50e-6},
        {coilOf(1, 0.5, 0.1, 0.1), 1e-4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        WoundCoil c = row.coil;
        const int n = closestTurns(c, row.target);
        ASSERT_GE(n, 1);
        c.turns = n;
        const double at = asWoundInductance(c);
        c.turns = n + 1;
        const double next = asWoundInductance(c);
        c.turns = n - 1;
        const double previous = n > 1 ? asWoundInductance(c) : -1.0;
        // The target lies within half a step of n's inductance on one side or the other.
        EXPECT_LE(std::fabs(at - row.target), std::fabs(next - row.target));
        EXPECT_LE(std::fabs(at - row.target), std::fabs(previous - row.target));
        EXPECT_TRUE((previous <= row.target && row.target <= next)) << n;
    }
}

TEST(ClosestTurns, SmallTargetsGiveOneTurnAndExactOnesTheirOwnCount) {
    const WoundCoil coil = coilOf(1, 40, 1.2, 1);
    EXPECT_EQ(closestTurns(coil, 0.0), 1);
    EXPECT_EQ(closestTurns(coil, 1e-12), 1);
    for (int turns : {1, 2, 7, 33, 150}) {
        WoundCoil c = coil;
        c.turns = turns;
        EXPECT_EQ(closestTurns(coil, asWoundInductance(c)), turns);
    }
}

TEST(ClosestTurns, StopsAtTheMostTurnsTheSearchAllows) {
    // 1 mH on a 0.5 mm former would take some 400000 turns.
    EXPECT_EQ(closestTurns(coilOf(1, 0.5, 0.1, 0.1), 1e-3), kMostTurns);
}

// Every value the options allow gives finite, positive inductances.
TEST(CoilModel, FiniteAcrossTheWholeInputRange) {
    for (double turns : {1.0, 1.5, 7.0, 1000.0, 100000.0}) {
        for (double diameter : {1e-4, 0.05, 1.0}) {
            for (double wire : {5e-5, 1e-3, 1e-2}) {
                for (double pitchRatio : {1.0, 3.0}) {
                    const WoundCoil c{turns, diameter + wire, wire * pitchRatio, wire};
                    SCOPED_TRACE(testing::Message() << turns << " " << diameter << " " << wire);
                    EXPECT_TRUE(std::isfinite(asWoundInductance(c)));
                    EXPECT_GT(currentSheetInductance(c), 0.0);
                    EXPECT_GT(wheelerInductance(c), 0.0);
                }
            }
        }
    }
}

} // namespace
} // namespace brevan::check
