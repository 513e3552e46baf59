// SPDX-License-Identifier: GPL-3.0-or-later
#include "general_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Row {
    double value;
    const char* point;
    const char* comma;
};

TEST(GeneralFormat, Doubles) {
    const Row rows[] = {
        {7.17692396135787, "7.17692396135787", "7,17692396135787"},
        {49.199999999999996, "49.2", "49,2"},
        {12, "12", "12"},
        {-3.5, "-3.5", "-3,5"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {25.584, "25.584", "25,584"},
        {1000, "1000", "1000"},
        {123456789012345, "123456789012345", "123456789012345"},
        {1e15, "1E+15", "1E+15"},
        {0.0001, "0.0001", "0,0001"},
        {1.5e-7, "1.5E-07", "1,5E-07"},
        {0.1 + 0.2, "0.3", "0,3"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324",
         "4,94065645841247E-324"},
        // Rounded to 15 digits these would read 1.79769313486232E+308, beyond every double.
        {std::numeric_limits<double>::max(), "1.79769313486231E+308", "1,79769313486231E+308"},
        {-std::numeric_limits<double>::max(), "-1.79769313486231E+308", "-1,79769313486231E+308"},
        {1.797693134862315e308, "1.79769313486231E+308", "1,79769313486231E+308"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(brevan::formatDouble(r.value, "."), r.point);
        EXPECT_EQ(brevan::formatDouble(r.value, ","), r.comma);
    }
}

TEST(GeneralFormat, SinglesUseSevenDigits) {
    EXPECT_EQ(brevan::formatSingle(59.0F, "."), "59");
    EXPECT_EQ(brevan::formatSingle(280.0F, "."), "280");
    EXPECT_EQ(brevan::formatSingle(49.2F, "."), "49.2");
    EXPECT_EQ(brevan::formatSingle(1234567.0F, ","), "1234567");
    EXPECT_EQ(brevan::formatSingle(12345678.0F, "."), "1.234568E+07");
}

TEST(GeneralFormat, NonFiniteHasNoText) {
    EXPECT_EQ(brevan::formatDouble(HUGE_VAL, "."), "");
    EXPECT_EQ(brevan::formatDouble(std::nan(""), "."), "");
    EXPECT_EQ(brevan::formatSingle(HUGE_VALF, "."), "");
}

} // namespace
