// SPDX-License-Identifier: GPL-3.0-or-later
// Lengths as builders type them: every spelling of metres, millimetres, feet and inches, turns
// per inch and a wire's cross-section, and what is no length at all.

#include "length_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace brevan::check {
namespace {

struct LengthRow {
    const char* text;
    LengthUnit unit;
    std::optional<double> value; // nothing: refused
};

const LengthRow kLengths[] = {
    {"15", LengthUnit::Metres, 15.0},
    {"15m", LengthUnit::Metres, 15.0},
    {" 15 M ", LengthUnit::Metres, 15.0},
    {"1500cm", LengthUnit::Metres, 15.0},
    {"40mm", LengthUnit::Millimetres, 40.0},
    {"4 cm", LengthUnit::Millimetres, 40.0},
    {"0.04m", LengthUnit::Millimetres, 40.0},
    {"49.2ft", LengthUnit::Metres, 14.99616},
    {"49.2 FT", LengthUnit::Metres, 14.99616},
    {"49 feet", LengthUnit::Metres, 14.9352},
    {"1 foot", LengthUnit::Metres, 0.3048},
    {"49 ft 2.5 in", LengthUnit::Metres, 14.9987},
    {"49ft2.5in", LengthUnit::Metres, 14.9987},
    {"49' 2.5\"", LengthUnit::Metres, 14.9987},
    {"49'2.5", LengthUnit::Metres, 14.9987},
    {"49′ 2.5″", LengthUnit::Metres, 14.9987},
    {"49 ft 2.5 inches", LengthUnit::Metres, 14.9987},
    {"2in", LengthUnit::Millimetres, 50.8},
    {"1.97\"", LengthUnit::Millimetres, 50.038},
    {"2 inches", LengthUnit::Millimetres, 50.8},
    {"1 inch", LengthUnit::Millimetres, 25.4},
    {"1e3mm", LengthUnit::Metres, 1.0},
    // Fractions of an inch, as the report writes feet and inches.
    {"49 ft 2 3/8 in", LengthUnit::Metres, 14.995525},
    {"49' 2 3/8\"", LengthUnit::Metres, 14.995525},
    {"3/8 in", LengthUnit::Millimetres, 9.525},
    {"1 1/2 ft", LengthUnit::Metres, 0.4572},
    // Refused: no number, a unit twice, inches before feet, a negative foot with inches, a
    // comma, units that are not lengths.
    {"ft", LengthUnit::Metres, std::nullopt},
    {"49ft 2.5ft", LengthUnit::Metres, std::nullopt},
    {"2in 3ft", LengthUnit::Metres, std::nullopt},
    {"-1ft 13in", LengthUnit::Metres, std::nullopt},
    {"49,2ft", LengthUnit::Metres, std::nullopt},
    {"15 km", LengthUnit::Metres, std::nullopt},
    {"15 m 2", LengthUnit::Metres, std::nullopt},
    {"7.05MHz", LengthUnit::Metres, std::nullopt},
    {"", LengthUnit::Metres, std::nullopt},
    {"3/0 in", LengthUnit::Metres, std::nullopt},
    {"2 3 in", LengthUnit::Metres, std::nullopt},
    {"3/8", LengthUnit::Metres, std::nullopt},
    {"-1/2 in", LengthUnit::Metres, std::nullopt},
};

TEST(LengthText, ReadsEverySpellingOfMetricFeetAndInches) {
    for (const LengthRow& row : kLengths) {
        SCOPED_TRACE(row.text);
        const std::optional<double> read = parseLength(row.text, row.unit);
        ASSERT_EQ(read.has_value(), row.value.has_value());
        if (row.value) {
            // The double nearest the decimal a builder would have typed in metric.
            EXPECT_EQ(*read, *row.value);
        }
    }
}

TEST(LengthText, APitchInTurnsPerInchAndAWireByItsCrossSection) {
    EXPECT_DOUBLE_EQ(*parsePitch("6tpi"), 25.4 / 6);
    EXPECT_DOUBLE_EQ(*parsePitch("6 TPI"), 25.4 / 6);
    EXPECT_EQ(*parsePitch("2.5"), 2.5);
    EXPECT_EQ(*parsePitch("0.1in"), 2.54);
    EXPECT_FALSE(parsePitch("0tpi"));
    EXPECT_FALSE(parsePitch("tpi"));
    // 2.5 mm2 of copper is a round wire of sqrt(4 x 2.5 / pi) = 1.7841 mm.
    for (const char* text : {"2.5mm2", "2.5 mm2", "2.5mm²", "2.5 MM²", "2.5 mm^2"}) {
        SCOPED_TRACE(text);
        EXPECT_NEAR(*parseCrossSectionDiameterMm(text), 1.78412, 1e-5);
    }
    for (const char* text : {"2.5mm", "2.5", "mm2", "0mm2", "2.5mm3"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseCrossSectionDiameterMm(text));
    }
}

} // namespace
} // namespace brevan::check
