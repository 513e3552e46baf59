// SPDX-License-Identifier: GPL-3.0-or-later
#include "general_format.h"

#include "floating_chars.h"

#include <array>
#include <cmath>

namespace brevan {
namespace {

template <typename T>
std::string format(T value, int significantDigits, std::string_view separator) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (value == 0) {
        value = 0; // no "-0"
    }
    std::array<char, 64> buffer{};
    const auto [end, ec] = toChars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::general, significantDigits);
    if (ec != std::errc()) {
        return {};
    }
    std::string out;
    for (const char* p = buffer.data(); p != end; ++p) {
        if (*p == '.') {
            out += separator;
        } else if (*p == 'e') {
            out += 'E';
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace

std::string formatDouble(double value, std::string_view decimalSeparator) {
    // The few largest doubles round up, at 15 digits, to 1.79769313486232E+308, a number beyond
    // every double that no reader could take back. They are written cut down instead.
    constexpr double kLargestWritten = 1.79769313486231e308;
    if (std::isfinite(value) && std::fabs(value) > kLargestWritten) {
        value = std::copysign(kLargestWritten, value);
    }
    return format(value, 15, decimalSeparator);
}

std::string formatSingle(float value, std::string_view decimalSeparator) {
    return format(value, 7, decimalSeparator);
}

} // namespace brevan
