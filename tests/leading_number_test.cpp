// SPDX-License-Identifier: GPL-3.0-or-later
#include "leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Row {
    const char* text;
    double expected;
};

TEST(LeadingNumber, ReadsTheLeadingNumber) {
    const Row rows[] = {
        {"12.5", 12.5},   {" 12.5", 12.5},  {"12.5 ", 12.5}, {"1.2.3", 1.2}, {"007", 7},
        {".", 0},         {" ", 0},         {"", 0},         {"abc", 0},     {"7.05", 7.05},
        {"1 2", 12},      {"1\t2\n3", 123}, {"-3", -3},      {"+4", 4},      {"- 5", -5},
        {".5", 0.5},      {"5.", 5},        {"1e3", 1000},   {"1E+3", 1000}, {"2d2", 200},
        {"1D-2", 0.01},   {"1e", 1},        {"1e+", 1},      {"12abc", 12},  {"3,5", 3},
        {"&H1F", 31},     {"&hff", 255},    {"&O17", 15},    {"&o8", 0},     {"&H", 0},
        {"1000000", 1e6}, {"--1", 0},       {"1e-400", 0},   {"15.0", 15},   {"1 .5", 1.5},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(brevan::parseLeadingNumber(r.text), r.expected) << '"' << r.text << '"';
    }
}

TEST(LeadingNumber, OverflowReadsAsInfinityNeverNaN) {
    const std::string longDigits(400, '9');
    EXPECT_EQ(brevan::parseLeadingNumber(longDigits), HUGE_VAL);
    EXPECT_EQ(brevan::parseLeadingNumber("-" + longDigits), -HUGE_VAL);
    EXPECT_EQ(brevan::parseLeadingNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(brevan::parseLeadingNumber("1e99999999999999999999999"), HUGE_VAL);
    EXPECT_EQ(brevan::parseLeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(brevan::parseLeadingNumber("&H" + std::string(300, 'F')), HUGE_VAL);
}

} // namespace
