// SPDX-License-Identifier: GPL-3.0-or-later
// The C library's doubles-to-text, used where the standard library has no floating-point
// to_chars (the web page's Emscripten), held to GCC's std::to_chars and std::from_chars: every
// figure the page prints must be the desktop's, character for character.
#define BREVAN_PORTABLE_CHARS 1
#include "floating_chars.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

std::string standard(double value) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
std::string standard(double value, std::chars_format format, int precision) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}
std::string portable(double value) {
    char buffer[400];
    const auto result = brevan::portable_chars::toChars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
std::string portable(double value, std::chars_format format, int precision) {
    char buffer[400];
    const auto result =
        brevan::portable_chars::toChars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

// The figures the check prints: design inputs, limits, deck numbers, wire gauges, ties at
// every rounding position, the extremes, and random values over the whole range.
std::vector<double> values() {
    std::vector<double> out{0.0,     -0.0,    1.0,       -1.0,       0.1,           7.05,
                            15.0,    0.9144,  0.0254,    1e5,        1e-5,          1e-7,
                            1e15,    1e16,    1e21,      1e22,       123456.5,      0.125,
                            2.5,     0.045,   1.0 / 3.0, 299.792458, 6.02214076e23, 5e-324,
                            DBL_MIN, DBL_MAX, 7.177e-6,  1234567.0,  0.000123};
    std::mt19937_64 random(20);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 3000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        out.push_back(i % 2 ? v : -v);
    }
    return out;
}

TEST(PortableChars, ShortestMatchesTheStandardLibrary) {
    for (const double v : values()) {
        EXPECT_EQ(portable(v), standard(v)) << v;
    }
}

TEST(PortableChars, FixedGeneralAndScientificMatchTheStandardLibrary) {
    for (const double v : values()) {
        for (int precision = 0; precision <= 17; ++precision) {
            EXPECT_EQ(portable(v, std::chars_format::fixed, precision),
                      standard(v, std::chars_format::fixed, precision));
            EXPECT_EQ(portable(v, std::chars_format::general, precision),
                      standard(v, std::chars_format::general, precision));
            EXPECT_EQ(portable(v, std::chars_format::scientific, precision),
                      standard(v, std::chars_format::scientific, precision));
        }
    }
}

// The shortest text in exponent form, as the JSON writer asks for it.
TEST(PortableChars, ShortestInOneFormMatchesTheStandardLibrary) {
    for (const double v : values()) {
        char ours[400];
        char theirs[400];
        const auto a = brevan::portable_chars::toChars(ours, ours + sizeof ours, v,
                                                       std::chars_format::scientific);
        const auto b =
            std::to_chars(theirs, theirs + sizeof theirs, v, std::chars_format::scientific);
        EXPECT_EQ(std::string(ours, a.ptr), std::string(theirs, b.ptr)) << v;
    }
}

TEST(PortableChars, ReadingMatchesTheStandardLibrary) {
    const char* const texts[] = {"7.05",
                                 "-3e2",
                                 "15",
                                 "0.9144",
                                 "1e400",
                                 "-1e400",
                                 "1e-400",
                                 "5e-324",
                                 "2.2250738585072014e-308",
                                 "+1",
                                 " 1",
                                 "1.",
                                 ".5",
                                 ".",
                                 "-",
                                 "1e",
                                 "1e+",
                                 "1e-3x",
                                 "inf",
                                 "-inf",
                                 "INFINITY",
                                 "nan",
                                 "NaN",
                                 "0x10",
                                 "1,5",
                                 "abc",
                                 "",
                                 "00012.50",
                                 "1E5",
                                 "9007199254740993",
                                 "1.7976931348623157e308",
                                 "1.8e308"};
    for (const char* text : texts) {
        const std::string s(text);
        double a = -7.0;
        double b = -7.0;
        const auto std = std::from_chars(s.data(), s.data() + s.size(), a);
        const auto ours = brevan::portable_chars::fromChars(s.data(), s.data() + s.size(), b);
        EXPECT_EQ(ours.ec, std.ec) << s;
        EXPECT_EQ(ours.ptr - s.data(), std.ptr - s.data()) << s;
        if (std.ec == std::errc() && !std::isnan(a)) {
            EXPECT_EQ(b, a) << s;
        }
    }
}

} // namespace
