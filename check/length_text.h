// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lengths as builders type them, in metric or in feet and inches:
//
//   "15"  "15m"  "15 m"  "1500cm"  "40mm"           a plain number keeps the option's own unit
//   "49.2ft"  "49 ft 2.5 in"  "49' 2.5\""  "49'2.5"  "2in"  "1.97\""  "2 inches"
//   "49 ft 2 3/8 in"  "3/8 in"                   fractions, as the report gives feet and inches
//
// a pitch also as turns per inch ("6tpi", "6 tpi"), and a wire also by its cross-section
// ("2.5mm2", "2.5 mm²"), the way stranded wire is sold in much of the world. The numbers take a
// full stop as the decimal point, whatever the locale (parseOptionNumber), and units any case.
// A foot is 0.3048 m and an inch 25.4 mm, exactly.

#include <optional>
#include <string_view>

namespace brevan::check {

enum class LengthUnit { Metres, Millimetres };

// In `unit`; nothing when the text is no length.
std::optional<double> parseLength(std::string_view text, LengthUnit unit);

// Millimetres between turn centres: a length, or turns per inch.
std::optional<double> parsePitch(std::string_view text);

// A cross-section in square millimetres ("2.5mm2", "2.5 mm²"): the round wire's diameter in
// millimetres; nothing when the text is no cross-section.
std::optional<double> parseCrossSectionDiameterMm(std::string_view text);

} // namespace brevan::check
