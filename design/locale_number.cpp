// SPDX-License-Identifier: GPL-3.0-or-later
#include "locale_number.h"

#include "floating_chars.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace brevan {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Appends a run of digits from `text` at `pos` to `out`; returns how many there were.
std::size_t takeDigits(std::string_view text, std::size_t& pos, std::string& out) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) {
        out += text[pos++];
    }
    return pos - start;
}

// Rewrites the text into the plain "C" form that from_chars reads, or gives up.
std::optional<std::string> canonical(std::string_view text, std::string_view separator) {
    std::string out;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        out += text[pos++];
    }
    std::size_t digits = takeDigits(text, pos, out);
    if (!separator.empty() && text.substr(pos, separator.size()) == separator) {
        pos += separator.size();
        out += '.';
        digits += takeDigits(text, pos, out);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        out += 'e';
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            out += text[pos++];
        }
        if (takeDigits(text, pos, out) == 0) {
            return std::nullopt;
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return out;
}

// Whether a number that from_chars could not hold was too small rather than too large: its
// decimal exponent, counted from the first significant digit, is below zero.
bool isUnderflow(const std::string& plain) {
    const std::size_t e = plain.find('e');
    const std::string_view mantissa = std::string_view(plain).substr(0, e);
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const double position = firstSignificant < point
                                ? static_cast<double>(point - firstSignificant)
                                : -static_cast<double>(firstSignificant - point);
    const double exponent =
        e == std::string::npos ? 0.0 : std::strtod(plain.c_str() + e + 1, nullptr);
    return position + exponent <= 0.0;
}

} // namespace

std::optional<double> parseLocaleNumber(std::string_view text, std::string_view decimalSeparator) {
    const std::optional<std::string> plain = canonical(trimBlanks(text), decimalSeparator);
    if (!plain) {
        return std::nullopt;
    }
    const char* first = plain->data();
    const char* last = first + plain->size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-') {
        ++first; // from_chars takes no sign
    }
    double value = 0.0;
    const auto [ptr, ec] = fromChars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // An overflow has no number; an underflow is as good as zero.
        return isUnderflow(*plain) ? std::optional<double>(negative ? -0.0 : 0.0) : std::nullopt;
    }
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace brevan
