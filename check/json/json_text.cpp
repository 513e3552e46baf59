// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_text.h"

#include "floating_chars.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>

namespace brevan::check {
namespace {

constexpr int kIndent = 4;
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

std::string integerText(std::int64_t value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The shortest round-trip digits and the exponent form, from the exponent form itself:
// "-1.2345e+16" gives sign "-", digits "12345", point after 17 digits.
struct Digits {
    std::string_view sign;
    std::string digits;
    int pointAt = 0; // where the decimal point goes, counted in digits from the first
};

Digits digitsOf(std::string_view exponentForm) {
    Digits d;
    if (exponentForm.front() == '-') {
        d.sign = "-";
        exponentForm.remove_prefix(1);
    }
    const std::size_t e = exponentForm.find('e');
    for (const char c : exponentForm.substr(0, e)) {
        if (c != '.') {
            d.digits += c;
        }
    }
    int exponent = 0;
    std::string_view power = exponentForm.substr(e + 1);
    if (power.front() == '+') {
        power.remove_prefix(1);
    }
    std::from_chars(power.data(), power.data() + power.size(), exponent);
    d.pointAt = exponent + 1;
    return d;
}

std::string decimalForm(const Digits& d) {
    const int count = static_cast<int>(d.digits.size());
    std::string out(d.sign);
    if (d.pointAt <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.pointAt), '0');
        out += d.digits;
    } else if (d.pointAt >= count) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.pointAt - count), '0');
    } else {
        out += d.digits.substr(0, static_cast<std::size_t>(d.pointAt));
        out += '.';
        out += d.digits.substr(static_cast<std::size_t>(d.pointAt));
    }
    return out;
}

void appendEscaped(std::string& out, const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xf];
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++i;
            continue;
        }
        // A well-formed sequence of 2 to 4 bytes is copied; anything else is one U+FFFD per byte.
        const int length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= size;
        std::uint32_t point = c & (0x7f >> length);
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = bytes[i + static_cast<std::size_t>(k)];
            valid = (next & 0xc0) == 0x80;
            point = (point << 6) | (next & 0x3f);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && point >= least[length] && point <= 0x10ffff &&
                (point < 0xd800 || point > 0xdfff);
        if (valid) {
            out.append(text, i, static_cast<std::size_t>(length));
            i += static_cast<std::size_t>(length);
        } else {
            out += "\xef\xbf\xbd";
            ++i;
        }
    }
    out += '"';
}

void append(std::string& out, const Json& value, int depth) {
    const std::string inner(static_cast<std::size_t>((depth + 1) * kIndent), ' ');
    const std::string closing(static_cast<std::size_t>(depth * kIndent), ' ');
    switch (value.type()) {
    case Json::value_t::object: {
        out += "{\n";
        bool first = true;
        for (const auto& [key, member] : value.items()) {
            out += first ? "" : ",\n";
            first = false;
            out += inner;
            appendEscaped(out, key);
            out += ": ";
            append(out, member, depth + 1);
        }
        out += first ? "" : "\n";
        out += closing + "}";
        break;
    }
    case Json::value_t::array: {
        out += "[\n";
        bool first = true;
        for (const Json& element : value) {
            out += first ? "" : ",\n";
            first = false;
            out += inner;
            append(out, element, depth + 1);
        }
        out += first ? "" : "\n";
        out += closing + "]";
        break;
    }
    case Json::value_t::string: appendEscaped(out, value.get_ref<const std::string&>()); break;
    case Json::value_t::boolean: out += value.get<bool>() ? "true" : "false"; break;
    case Json::value_t::number_integer: out += integerText(value.get<std::int64_t>()); break;
    case Json::value_t::number_unsigned: {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value.get<std::uint64_t>());
        out.append(buffer, result.ptr);
        break;
    }
    case Json::value_t::number_float: {
        const double d = value.get<double>();
        out += std::isfinite(d) ? jsonNumber(d) : "null";
        break;
    }
    case Json::value_t::null:
    case Json::value_t::discarded:
    case Json::value_t::binary: out += "null"; break;
    }
}

} // namespace

std::string jsonNumber(double value) {
    if (std::trunc(value) == value && std::fabs(value) <= kLargestExactInteger) {
        return integerText(static_cast<std::int64_t>(value));
    }
    char buffer[64];
    const auto result =
        toChars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string exponentForm(buffer, result.ptr);
    const std::string decimal = decimalForm(digitsOf(exponentForm));
    return decimal.size() <= exponentForm.size() ? decimal : exponentForm;
}

std::string jsonText(const Json& document) {
    std::string out;
    append(out, document, 0);
    out += '\n';
    return out;
}

} // namespace brevan::check
