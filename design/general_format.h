// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brevan {

// The one way this program writes a number: up to 15 significant digits for a double and 7 for
// a single, no leading space, no trailing zeros, no trailing separator, no digit grouping, and
// the given decimal separator. Magnitudes of 1e15 and above, and below 1e-4, use an exponent
// ("1E+15"); the few largest doubles, whose 15 digits would round up beyond the double range,
// are cut down to 1.79769313486231E+308 so that every text reads back. Non-finite values have
// no text: the result is empty, and callers never show one.
std::string formatDouble(double value, std::string_view decimalSeparator);
std::string formatSingle(float value, std::string_view decimalSeparator);

} // namespace brevan
