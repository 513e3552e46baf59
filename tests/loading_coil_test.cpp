// SPDX-License-Identifier: GPL-3.0-or-later
#include "loading_coil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using brevan::DesignFault;
using brevan::DesignState;

namespace {

// Relative agreement to ten significant digits, as the published working terms are given.
::testing::AssertionResult tenDigits(double actual, double expected) {
    if (std::fabs(actual - expected) <= 5e-10 * std::fabs(expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actual << " is not " << expected;
}

struct Example {
    const char* name;
    double f, metresA, metresB, gauge;
    double wireDia, fullOuter, outer, scale, fullLog, fullShape, outerLog, outerShape;
    const char* text;
};

const Example kExamples[] = {
    {"forty_metres", 7.05, 15, 3, 16, 0.0640157, 23.35148936, 14.76, 29.97872152, 0.3459026268,
     -0.5050336331, 0.5161654175, -0.8022487515, "7.17692396135787"},
    {"eighty_metres", 3.6, 30, 8, 14, 0.08, 38.76, 22.96, 114.9704789, 0.2157164928, -0.6444171361,
     0.3413560996, -0.8752280237, "18.3668811962878"},
    {"twenty_metres", 14.1, 8, 2, 20, 0.036, 10.03574468, 6.56, 7.494680379, 0.7780631739,
     -0.6343162025, 1.125500118, -0.8437520999, "3.41836127094353"},
};

DesignState stateFor(double f, double metresA, double metresB) {
    DesignState s;
    s.freqMHz = f;
    s.lengthA = metresA * 3.28;
    s.distB = metresB * 3.28;
    return s;
}

TEST(LoadingCoil, WorkedExamplesToTheLastDigit) {
    for (const Example& e : kExamples) {
        SCOPED_TRACE(e.name);
        DesignState s = stateFor(e.f, e.metresA, e.metresB);
        const auto result = brevan::computeLoadingCoil(s, e.gauge, ".");
        ASSERT_EQ(result.fault, DesignFault::None);
        EXPECT_EQ(result.text, e.text);
        EXPECT_EQ(result.inductance, s.inductance);
        EXPECT_EQ(s.wireSWG, e.gauge);
        EXPECT_EQ(s.wireDia, e.wireDia);
        EXPECT_TRUE(tenDigits(s.fullOuterLength, e.fullOuter));
        EXPECT_TRUE(tenDigits(s.outerLength, e.outer));
        EXPECT_TRUE(tenDigits(s.inductanceScale, e.scale));
        EXPECT_TRUE(tenDigits(s.fullLogTerm, e.fullLog));
        EXPECT_TRUE(tenDigits(s.fullShapeTerm, e.fullShape));
        EXPECT_TRUE(tenDigits(s.outerLogTerm, e.outerLog));
        EXPECT_TRUE(tenDigits(s.outerShapeTerm, e.outerShape));
    }
}

TEST(LoadingCoil, TextUsesTheGivenSeparator) {
    DesignState s = stateFor(7.05, 15, 3);
    EXPECT_EQ(brevan::computeLoadingCoil(s, 16, ",").text, "7,17692396135787");
}

TEST(LoadingCoil, GaugeTenUsesTheAntennaColumn) {
    DesignState s = stateFor(7.05, 15, 3);
    ASSERT_EQ(brevan::computeLoadingCoil(s, 10, ".").fault, DesignFault::None);
    EXPECT_EQ(s.wireDia, 0.12799);
}

struct Refusal {
    const char* name;
    double f, lengthA, distB, gauge;
    DesignFault fault;
};

TEST(LoadingCoil, UndefinedInputsAreRefusedAndLeaveTheStateAlone) {
    const double inf = HUGE_VAL;
    const Refusal cases[] = {
        {"zero_frequency", 0, 49.2, 9.84, 16, DesignFault::ZeroFrequency},
        {"zero_length", 7.05, 0, 0, 16, DesignFault::OuterNotPositive},
        {"coil_at_the_tip", 7.05, 19.68, 9.84, 16, DesignFault::OuterNotPositive},
        {"coil_beyond_quarter_wave", 7.05, 200, 40, 16, DesignFault::FullOuterNotPositive},
        {"negative_frequency", -7.05, 49.2, 9.84, 16, DesignFault::FullOuterNotPositive},
        {"odd_gauge", 7.05, 49.2, 9.84, 15, DesignFault::NoWireDiameter},
        {"gauge_outside_table", 7.05, 49.2, 9.84, 32, DesignFault::NoWireDiameter},
        {"infinite_length", 7.05, inf, 9.84, 16, DesignFault::NonFinite},
        {"infinite_frequency", inf, 49.2, 9.84, 16, DesignFault::NonFinite},
        {"huge_length", 7.05, 1e308, 9.84, 16, DesignFault::NonFinite},
        {"tiny_frequency", 1e-307, 49.2, 9.84, 16, DesignFault::NonFinite},
        {"frequency_whose_square_vanishes", 1e-200, 49.2, 9.84, 16, DesignFault::NonFinite},
        {"infinite_gauge", 7.05, 49.2, 9.84, inf, DesignFault::NonFinite},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        DesignState s;
        s.freqMHz = c.f;
        s.lengthA = c.lengthA;
        s.distB = c.distB;
        const DesignState before = s;
        const auto result = brevan::computeLoadingCoil(s, c.gauge, ".");
        EXPECT_EQ(result.fault, c.fault);
        EXPECT_TRUE(result.text.empty());
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    }
}

TEST(LoadingCoil, NonFiniteGaugeIsRefusedEvenWithAnEarlierDiameter) {
    for (double gauge : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        DesignState s = stateFor(7.05, 15, 3);
        ASSERT_EQ(brevan::computeLoadingCoil(s, 16, ".").fault, DesignFault::None);
        const DesignState before = s;
        EXPECT_EQ(brevan::computeLoadingCoil(s, gauge, ".").fault, DesignFault::NonFinite);
        EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << gauge;
    }
}

TEST(LoadingCoil, ShortOuterSectionGivesANegativeValueNotAFault) {
    // 24 * outerLength / D below e: the logarithm term turns negative, which is still a result.
    DesignState s = stateFor(7.05, 6.01, 3);
    const auto result = brevan::computeLoadingCoil(s, 16, ".");
    ASSERT_EQ(result.fault, DesignFault::None);
    EXPECT_TRUE(std::isfinite(result.inductance));
}

} // namespace
