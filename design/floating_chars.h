// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Doubles to and from text in the C locale, as std::to_chars and std::from_chars do them. Where
// the standard library has both for floating point (GCC's), these are those; where it has not
// (the libc++ of Debian's Emscripten, for the web page), the same results are made with the C
// library, whose printf is exact and whose strtod rounds correctly: std::to_chars with a
// precision is defined as printf, and the shortest form is the shortest printf form that reads
// back the same.

#include <charconv>
#include <system_error>

// BREVAN_PORTABLE_CHARS makes the C library's versions available beside the standard ones, so
// a native test can hold one to the other.
#if !defined(__cpp_lib_to_chars) || defined(BREVAN_PORTABLE_CHARS)
#define BREVAN_HAS_PORTABLE_CHARS 1
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#endif

#if defined(BREVAN_HAS_PORTABLE_CHARS)
namespace brevan::portable_chars {

namespace floating_chars_detail {

inline std::to_chars_result copied(char* first, char* last, const std::string& text) {
    if (static_cast<std::size_t>(last - first) < text.size()) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

inline std::string printed(const char* format, int precision, double value) {
    char buffer[400];
    const int size = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return std::string(buffer, static_cast<std::size_t>(std::max(size, 0)));
}

// The length of the longest prefix in std::from_chars's general form: an optional minus, digits
// with at most one point (at least one digit), an optional exponent; or inf, infinity, nan.
inline std::size_t numberLength(const char* first, const char* last) {
    const char* p = first;
    if (p != last && *p == '-') {
        ++p;
    }
    for (const char* word : {"infinity", "inf", "nan"}) {
        const std::size_t n = std::strlen(word);
        if (static_cast<std::size_t>(last - p) >= n &&
            std::equal(word, word + n, p, [](char a, char b) { return a == (b | 0x20); })) {
            return static_cast<std::size_t>(p + n - first);
        }
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    int digits = 0;
    while (p != last && isDigit(*p)) {
        ++p;
        ++digits;
    }
    if (p != last && *p == '.') {
        ++p;
        while (p != last && isDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        if (e != last && (*e == '+' || *e == '-')) {
            ++e;
        }
        if (e != last && isDigit(*e)) {
            while (e != last && isDigit(*e)) {
                ++e;
            }
            p = e;
        }
    }
    return static_cast<std::size_t>(p - first);
}

} // namespace floating_chars_detail

inline std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
    using floating_chars_detail::copied;
    using floating_chars_detail::printed;
    switch (format) {
    case std::chars_format::fixed: return copied(first, last, printed("%.*f", precision, value));
    case std::chars_format::scientific:
        return copied(first, last, printed("%.*e", precision, value));
    default: return copied(first, last, printed("%.*g", precision, value));
    }
}

// The shortest text that reads back the same, in fixed or scientific form, whichever is
// shorter, fixed on a tie.
inline std::to_chars_result toChars(char* first, char* last, double value) {
    using floating_chars_detail::copied;
    using floating_chars_detail::printed;
    if (!std::isfinite(value)) {
        return copied(first, last, printed("%.*g", 17, value));
    }
    std::string scientific;
    for (int precision = 0; precision <= 17; ++precision) {
        scientific = printed("%.*e", precision, value);
        if (std::strtod(scientific.c_str(), nullptr) == value) {
            break;
        }
    }
    // The same digits in fixed form: as many decimals as the digits reach below the point.
    const std::size_t e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    const std::size_t point = scientific.find('.');
    const int decimals =
        std::max(0, (point == std::string::npos ? 0 : static_cast<int>(e - point - 1)) - exponent);
    const std::string fixed = printed("%.*f", decimals, value);
    return copied(first, last, fixed.size() <= scientific.size() ? fixed : scientific);
}

// The shortest text in exponent form that reads back the same; the only form the core asks
// for so (the shortest fixed form of a large number pads its digits with zeros instead).
inline std::to_chars_result toChars(char* first, char* last, double value,
                                    [[maybe_unused]] std::chars_format scientific) {
    using floating_chars_detail::copied;
    using floating_chars_detail::printed;
    const char* const form = "%.*e";
    if (!std::isfinite(value)) {
        return copied(first, last, printed("%.*g", 17, value));
    }
    std::string text;
    for (int precision = 0; precision <= 17; ++precision) {
        text = printed(form, precision, value);
        if (std::strtod(text.c_str(), nullptr) == value) {
            break;
        }
    }
    return copied(first, last, text);
}

inline std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    const std::size_t length = floating_chars_detail::numberLength(first, last);
    if (length == 0) {
        return {first, std::errc::invalid_argument};
    }
    const std::string text(first, length);
    errno = 0;
    const double read = std::strtod(text.c_str(), nullptr);
    if (errno == ERANGE && (read == 0.0 || std::isinf(read))) {
        return {first + length, std::errc::result_out_of_range};
    }
    value = read;
    return {first + length, std::errc()};
}

} // namespace brevan::portable_chars
#endif

namespace brevan {

#if defined(__cpp_lib_to_chars)

inline std::to_chars_result toChars(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}
inline std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
    return std::to_chars(first, last, value, format, precision);
}
inline std::to_chars_result toChars(char* first, char* last, double value,
                                    std::chars_format format) {
    return std::to_chars(first, last, value, format);
}
inline std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

#else

using portable_chars::fromChars;
using portable_chars::toChars;

#endif

} // namespace brevan
