// SPDX-License-Identifier: GPL-3.0-or-later
#include "length_text.h"

#include "check_inputs.h"
#include "coil/physics.h"

#include <array>
#include <cctype>
#include <cmath>
#include <string>

namespace brevan::check {

namespace {

struct Unit {
    std::string_view name;
    double millimetres;
};

constexpr double kFootMm = 304.8;
constexpr double kInchMm = 25.4;

// Longest first, so that "mm" is not read as "m" and "inches" not as "in".
constexpr std::array<Unit, 13> kUnits{{{"inches", kInchMm},
                                       {"inch", kInchMm},
                                       {"feet", kFootMm},
                                       {"foot", kFootMm},
                                       {"mm", 1.0},
                                       {"cm", 10.0},
                                       {"ft", kFootMm},
                                       {"in", kInchMm},
                                       {"m", 1000.0},
                                       {"'", kFootMm},
                                       {"′", kFootMm},
                                       {"\"", kInchMm},
                                       {"″", kInchMm}}};

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            static_cast<unsigned char>(prefix[i])) {
            return false;
        }
    }
    return true;
}

// The number at the start of `text` (digits, a full stop, an exponent), taken off it.
std::optional<double> leadingNumber(std::string_view& text) {
    std::size_t end = 0;
    while (end < text.size()) {
        const char c = text[end];
        const bool exponentSign =
            (c == '+' || c == '-') && end > 0 && (text[end - 1] == 'e' || text[end - 1] == 'E');
        const bool exponent = (c == 'e' || c == 'E') && end > 0 && end + 1 < text.size() &&
                              (std::isdigit(static_cast<unsigned char>(text[end + 1])) ||
                               text[end + 1] == '+' || text[end + 1] == '-');
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || exponent || exponentSign ||
            ((c == '+' || c == '-') && end == 0)) {
            ++end;
        } else {
            break;
        }
    }
    const std::optional<double> value = parseOptionNumber(text.substr(0, end));
    if (value) {
        text.remove_prefix(end);
    }
    return value;
}

// A count as a tape measure gives it, taken off the start of `text`: "2.5", "2 3/8", "3/8".
std::optional<double> leadingCount(std::string_view& text) {
    std::string_view rest = text;
    const std::optional<double> whole = leadingNumber(rest);
    if (!whole) {
        return std::nullopt;
    }
    // A fraction's denominator, after its '/': a number above zero.
    const auto over = [](std::string_view& t) -> std::optional<double> {
        if (t.empty() || t.front() != '/') {
            return std::nullopt;
        }
        t.remove_prefix(1);
        const std::optional<double> d = leadingNumber(t);
        return d && *d > 0.0 ? d : std::nullopt;
    };
    if (std::string_view fraction = rest; !fraction.empty() && fraction.front() == '/') {
        const std::optional<double> denominator = over(fraction);
        if (!denominator || *whole < 0.0) {
            return std::nullopt;
        }
        text = fraction;
        return *whole / *denominator;
    }
    if (!rest.empty() && isSpace(rest.front()) && *whole >= 0.0) {
        std::string_view fraction = trimmed(rest);
        const std::optional<double> numerator = leadingNumber(fraction);
        if (numerator && *numerator >= 0.0) {
            if (const std::optional<double> denominator = over(fraction)) {
                text = fraction;
                return *whole + *numerator / *denominator;
            }
        }
    }
    text = rest;
    return whole;
}

// The unit at the start of `text`, taken off it; its length in millimetres.
std::optional<double> leadingUnit(std::string_view& text) {
    for (const Unit& unit : kUnits) {
        if (startsWithNoCase(text, unit.name)) {
            text.remove_prefix(unit.name.size());
            return unit.millimetres;
        }
    }
    return std::nullopt;
}

// `count` of a unit `millimetres` long, in `unit`, to the nanometre: so that 49.2 ft is the
// double nearest 14.99616 m, as the builder would have typed it, not one beside it.
double inUnit(double count, double millimetres, LengthUnit unit) {
    const double mm = count * millimetres;
    return unit == LengthUnit::Millimetres ? std::round(mm * 1e6) / 1e6
                                           : std::round(mm * 1e6) / 1e9;
}

} // namespace

std::optional<double> parseLength(std::string_view text, LengthUnit unit) {
    text = trimmed(text);
    if (const std::optional<double> plain = parseOptionNumber(text)) {
        return plain;
    }
    std::string_view rest = text;
    const std::optional<double> first = leadingCount(rest);
    rest = trimmed(rest);
    const std::optional<double> firstUnit = first ? leadingUnit(rest) : std::nullopt;
    if (!firstUnit) {
        return std::nullopt;
    }
    rest = trimmed(rest);
    if (rest.empty()) {
        return inUnit(*first, *firstUnit, unit);
    }
    // Feet, then inches: "49 ft 2.5 in", "49' 2.5\"", "49'2.5", "49 ft 2 3/8 in".
    const std::optional<double> inches =
        *firstUnit == kFootMm && *first >= 0.0 ? leadingCount(rest) : std::nullopt;
    rest = trimmed(rest);
    const std::optional<double> inchUnit = rest.empty() ? kInchMm : leadingUnit(rest);
    if (!inches || *inches < 0.0 || inchUnit != kInchMm || !trimmed(rest).empty()) {
        return std::nullopt;
    }
    const double total = inUnit(*first * kFootMm + *inches * kInchMm, 1.0, unit);
    return std::isfinite(total) ? std::optional<double>(total) : std::nullopt;
}

std::optional<double> parsePitch(std::string_view text) {
    text = trimmed(text);
    std::string_view rest = text;
    const std::optional<double> count = leadingNumber(rest);
    rest = trimmed(rest);
    if (count && startsWithNoCase(rest, "tpi") && trimmed(rest.substr(3)).empty()) {
        return *count > 0.0 ? std::optional<double>(kInchMm / *count) : std::nullopt;
    }
    return parseLength(text, LengthUnit::Millimetres);
}

std::optional<double> parseCrossSectionDiameterMm(std::string_view text) {
    text = trimmed(text);
    std::string_view rest = text;
    const std::optional<double> area = leadingNumber(rest);
    rest = trimmed(rest);
    if (!area || !(*area > 0.0) || !startsWithNoCase(rest, "mm")) {
        return std::nullopt;
    }
    rest = trimmed(rest.substr(2));
    if (rest != "2" && rest != "²" && rest != "^2") {
        return std::nullopt;
    }
    return std::sqrt(4.0 * *area / kPi);
}

} // namespace brevan::check
