// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace brevan {

// Reads a whole text as a number written with the user's decimal separator: optional blanks
// around it, an optional sign, digits with at most one separator, an optional exponent (E, sign,
// digits). Anything else, an empty text, or a value beyond the binary64 range has no number.
// It reads back every text that formatDouble and formatSingle write.
std::optional<double> parseLocaleNumber(std::string_view text, std::string_view decimalSeparator);

} // namespace brevan
