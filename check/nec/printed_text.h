// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the engine's printed text: the words of a line and the numbers in them, in the C
// locale whatever the process locale is.

#include <optional>
#include <string_view>
#include <vector>

namespace brevan::check::printed {

bool contains(std::string_view line, std::string_view needle);
std::string_view trimmed(std::string_view text);
// The whitespace-separated words of a line.
std::vector<std::string_view> words(std::string_view line);
// A whole word as a finite number.
std::optional<double> number(std::string_view word);

} // namespace brevan::check::printed
