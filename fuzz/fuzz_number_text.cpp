// SPDX-License-Identifier: GPL-3.0-or-later
// Every conversion between numbers and texts, fed any bytes as a text and any bit pattern as a
// number. The texts that the program writes must read back to the same text, whichever reader
// gets them.

#include "fuzz_check.h"
#include "general_format.h"
#include "leading_number.h"
#include "locale_number.h"
#include "single_precision.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using brevan::fuzz::isNumberText;
using brevan::fuzz::require;

constexpr std::string_view kSeparators[] = {".", ","};

bool hasExponent(const std::string& text) {
    return text.find('E') != std::string::npos;
}

// Whether the text's significant digits are a lone 1, as in "1000", "0,01" or "1E+28".
bool isPowerOfTen(const std::string& text) {
    const std::string mantissa = text.substr(0, text.find('E'));
    const auto first = mantissa.find_first_of("123456789");
    return first != std::string::npos && mantissa[first] == '1' &&
           mantissa.find_first_of("123456789", first + 1) == std::string::npos;
}

void checkDouble(double value) {
    if (!std::isfinite(value)) {
        require(brevan::formatDouble(value, ".").empty(), "a non-finite double has a text");
        return;
    }
    for (std::string_view separator : kSeparators) {
        const std::string text = brevan::formatDouble(value, separator);
        require(isNumberText(text), "formatDouble wrote no number", text);
        const auto back = brevan::parseLocaleNumber(text, separator);
        require(back.has_value(), "parseLocaleNumber cannot read formatDouble", text);
        require(brevan::formatDouble(*back, separator) == text,
                "formatDouble's text changes when read back", text);
    }
    const std::string text = brevan::formatDouble(value, ".");
    if (!hasExponent(text)) {
        require(brevan::formatDouble(brevan::parseLeadingNumber(text), ".") == text,
                "parseLeadingNumber changes formatDouble's text", text);
    }
}

void checkSingle(float value) {
    if (!std::isfinite(value)) {
        require(brevan::formatSingle(value, ".").empty(), "a non-finite single has a text");
        return;
    }
    for (std::string_view separator : kSeparators) {
        const std::string text = brevan::formatSingle(value, separator);
        require(isNumberText(text), "formatSingle wrote no number", text);
        const auto back = brevan::parseLocaleNumber(text, separator);
        require(back.has_value(), "parseLocaleNumber cannot read formatSingle", text);
        const std::string again = brevan::formatSingle(brevan::toSingle(*back), separator);
        if (isPowerOfTen(text)) {
            // Seven digits are finer than a single just below a power of ten: the single
            // nearest to 1E+28 lies below it and writes as 9.999999E+27. One unit in the last
            // digit is all the text may move.
            const auto moved = brevan::parseLocaleNumber(again, separator);
            require(moved && std::fabs(*moved - *back) <= 1e-6 * std::fabs(*back),
                    "formatSingle's text moves when read back", text);
        } else {
            require(again == text, "formatSingle's text changes when read back", text);
        }
    }
}

template <typename T> T fromBits(const std::uint8_t* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double leading = brevan::parseLeadingNumber(text);
    require(!std::isnan(leading), "parseLeadingNumber gave NaN", text);
    checkDouble(leading);
    checkSingle(brevan::toSingle(leading));

    for (std::string_view separator : kSeparators) {
        if (const auto value = brevan::parseLocaleNumber(text, separator)) {
            require(std::isfinite(*value), "parseLocaleNumber gave a non-finite number", text);
            checkDouble(*value);
        }
    }
    if (!text.empty()) { // any separator at all, for memory safety only
        const auto value = brevan::parseLocaleNumber(text.substr(1), text.substr(0, 1));
        require(!value || std::isfinite(*value), "parseLocaleNumber gave a non-finite number",
                text);
    }

    if (size >= sizeof(double)) {
        checkDouble(fromBits<double>(data));
    }
    if (size >= sizeof(float)) {
        checkSingle(fromBits<float>(data));
    }
    return 0;
}
