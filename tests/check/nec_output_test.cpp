// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_output.h"

#include "recorded_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

std::string cutAt(const std::string& text, const std::string& marker, int occurrence) {
    std::size_t at = 0;
    for (int i = 0; i < occurrence; ++i) {
        at = text.find(marker, i == 0 ? 0 : at + 1);
    }
    EXPECT_NE(at, std::string::npos);
    return text.substr(0, at);
}

struct Expected {
    double frequencyMHz;
    double resistance;
    double reactance;
    double input;
    double radiated;
    double loss;
};

void expectPoints(const std::vector<FeedPoint>& points, const std::vector<Expected>& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(points[i].frequencyMHz, expected[i].frequencyMHz);
        EXPECT_DOUBLE_EQ(points[i].impedance.real(), expected[i].resistance);
        EXPECT_DOUBLE_EQ(points[i].impedance.imag(), expected[i].reactance);
        EXPECT_DOUBLE_EQ(points[i].inputPower, expected[i].input);
        EXPECT_DOUBLE_EQ(points[i].radiatedPower, expected[i].radiated);
        EXPECT_DOUBLE_EQ(points[i].structureLoss, expected[i].loss);
    }
}

TEST(ParseEngineOutput, ReadsRecordedRuns) {
    std::string error;
    const auto free = parseEngineOutput(recorded("nec_free_space.out"), &error);
    ASSERT_TRUE(free) << error;
    expectPoints(*free, {{6.9, 42.646, -127.61, 1.1778e-3, 1.0550e-3, 1.2283e-4},
                         {7.05, 45.628, -79.014, 2.7404e-3, 2.4624e-3, 2.7796e-4},
                         {7.2, 48.845, -29.951, 7.4393e-3, 6.7046e-3, 7.3467e-4}});

    const auto ground = parseEngineOutput(recorded("nec_average_ground.out"), nullptr);
    ASSERT_TRUE(ground);
    expectPoints(*ground, {{7.0, 49.566, -84.941, 2.5624e-3, 2.3245e-3, 2.3787e-4},
                           {7.1, 52.190, -52.237, 4.7859e-3, 4.3523e-3, 4.3359e-4}});
}

TEST(ParseEngineOutput, EfficiencyFromThePowerBudget) {
    const auto points = parseEngineOutput(recorded("nec_free_space.out"), nullptr);
    ASSERT_TRUE(points);
    EXPECT_NEAR(efficiency(points->front()), 1.0550e-3 / 1.1778e-3, 1e-12);
    // The engine's own figure, printed as "89.57 Percent".
    EXPECT_NEAR(100.0 * efficiency(points->front()), 89.57, 0.01);

    FeedPoint nothingIn;
    nothingIn.radiatedPower = 1.0;
    EXPECT_EQ(efficiency(nothingIn), 0.0);
    nothingIn.inputPower = -1.0;
    EXPECT_EQ(efficiency(nothingIn), 0.0);
}

TEST(ParseEngineOutput, RefusesBrokenText) {
    const std::string good = recorded("nec_free_space.out");
    struct Row {
        const char* name;
        std::string text;
        const char* saying;
    };
    const std::vector<Row> rows = {
        {"empty", "", "no frequency"},
        {"not an engine's output", "hello\nworld\n", "no frequency"},
        {"only the structure", cutAt(good, "--------- FREQUENCY", 1), "no frequency"},
        {"cut before the second block's input parameters",
         cutAt(good, "ANTENNA INPUT PARAMETERS", 2), "input parameters"},
        {"cut inside the input-parameter table", cutAt(good, "  No:   No:", 2), "input parameters"},
        {"cut inside the power budget", cutAt(good, "RADIATED POWER", 3), "power budget"},
        {"cut after the last power budget", cutAt(good, "DATA CARD No:   7 EN", 1), "truncated"},
        {"no power budgets", withoutLines(good, "POWER="), "power budget"},
        {"no structure loss", withoutLines(good, "STRUCTURE LOSS"), "power budget"},
        {"no input parameters", withoutLines(good, "ANTENNA INPUT PARAMETERS"), "input parameters"},
        {"letters in the impedance", replaced(good, "4.2646E+01", "4.26x6E+01"), "4.26x6E+01"},
        {"not a number in the impedance", replaced(good, "-1.2761E+02", "        nan"), "nan"},
        {"missing column", replaced(good, " -1.2761E+02", ""), "columns"},
        {"letters in a power", replaced(good, "=  1.0550E-03", "=  1.0550F-03"), "power"},
        {"infinite power", replaced(good, "=  1.0550E-03", "=  inf"), "power"},
        {"unreadable frequency", replaced(good, "6.9000E+00 MHz", "6.9000E+0O MHz"), "frequency"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        EXPECT_FALSE(parseEngineOutput(row.text, &error));
        EXPECT_NE(error.find(row.saying), std::string::npos) << error;
        EXPECT_FALSE(parseEngineOutput(row.text, nullptr));
    }
}

} // namespace
} // namespace brevan::check
