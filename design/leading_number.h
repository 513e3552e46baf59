// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace brevan {

// Reads the leading number of an input box's text. Spaces, tabs and line feeds are skipped
// anywhere; then an optional sign, digits with at most one full stop (whatever the user's
// locale), and an optional exponent (E or D, optional sign, digits). "&H" and "&O" introduce a
// hexadecimal or octal whole number. Reading stops at the first character that cannot continue
// the number; a text with no number reads 0. A number beyond the binary64 range reads as an
// infinity of its sign, never NaN, so callers can treat it as out of every range.
double parseLeadingNumber(std::string_view text);

} // namespace brevan
