// SPDX-License-Identifier: GPL-3.0-or-later
#include "locale_number.h"

#include "general_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

struct Row {
    const char* text;
    const char* separator;
    std::optional<double> expected;
};

TEST(LocaleNumber, ReadsAWholeNumberOrNothing) {
    const Row rows[] = {
        {"14", ".", 14},
        {" 20 ", ".", 20},
        {"7.1", ".", 7.1},
        {"7,1", ",", 7.1},
        {"7,1", ".", std::nullopt},
        {"7.1", ",", std::nullopt},
        {"-3.5", ".", -3.5},
        {"+2", ".", 2},
        {"1E+15", ".", 1e15},
        {"1,5E-07", ",", 1.5e-7},
        {"1000", ",", 1000},
        {"1.000,5", ",", std::nullopt},
        {"", ".", std::nullopt},
        {" ", ".", std::nullopt},
        {".", ".", std::nullopt},
        {"abc", ".", std::nullopt},
        {"14a", ".", std::nullopt},
        {"1e", ".", std::nullopt},
        {"1e400", ".", std::nullopt},
        {"1e-400", ".", 0.0},
        {"5.", ".", 5},
        {",5", ",", 0.5},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(brevan::parseLocaleNumber(r.text, r.separator), r.expected)
            << '"' << r.text << "\" with '" << r.separator << "'";
    }
    EXPECT_EQ(brevan::parseLocaleNumber(std::string(400, '9'), "."), std::nullopt);
}

TEST(LocaleNumber, ReadsBackWhatTheFormatWrites) {
    using Limits = std::numeric_limits<double>;
    for (double v : {7.17692396135787, 18.3, -3.45, 1e15, 1.5e-7, 123456.789, 0.0, Limits::max(),
                     -Limits::max(), Limits::min(), Limits::denorm_min()}) {
        for (const char* sep : {".", ","}) {
            const std::string text = brevan::formatDouble(v, sep);
            const auto back = brevan::parseLocaleNumber(text, sep);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(brevan::formatDouble(*back, sep), text);
        }
    }
}

} // namespace
