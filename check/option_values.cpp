// SPDX-License-Identifier: GPL-3.0-or-later
#include "option_values.h"

#include "length_text.h"
#include "portable_maths.h"

#include "floating_chars.h"
#include "wire_gauge_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace brevan::check::options {
namespace {

// What was given, as a refusal quotes it: a long paste only by its start.
constexpr std::size_t kMostQuoted = 40;
std::string quoted(std::string_view text) {
    if (text.size() <= kMostQuoted) {
        return "'" + std::string(text) + "'";
    }
    // Cut at a character's start, not inside one.
    std::size_t end = kMostQuoted;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return "'" + std::string(text.substr(0, end)) + "…' (" + std::to_string(text.size()) +
           " characters)";
}

std::string rangeText(const Range& range) {
    const std::string unit = *range.unit ? std::string(" ") + range.unit : "";
    return std::string(range.lowIncluded ? "from " : "more than ") + plain(range.low) +
           (range.lowIncluded ? " to " : " up to ") + plain(range.high) + unit;
}

// A length may carry its unit, metric or in feet and inches (length_text.h).
const char* const kLengthForms = " (a unit may follow: 15m, 40mm, 49 ft 2.5 in, 2in)";

constexpr int kLeastAwg = 0;
constexpr int kMostAwg = 40;
const Range kWireMm{0.05, true, 20, "mm", "a bare wire diameter in millimetres"};

const char* const kGaugeForms = "give one of 10 12 14 16 18 20 22 24 26 28 30 (SWG), an AWG "
                                "gauge from 0 to 40 as 'AWG 14', the bare diameter as '1.63mm', "
                                "or the cross-section as '2.5mm2'";

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char typed) {
               return std::tolower(static_cast<unsigned char>(typed)) == lower;
           });
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           startsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

// Writes a limit as people type it: 0.1, 0.9144, 100000; never an exponent, never trailing
// zeros, and never the binary tail of a converted unit (0.9143999999999999). Six significant
// digits keep a wire diameter in millimetres whole, so the limit shown is the limit applied.
std::string plain(double value) {
    const int magnitude = value == 0.0 ? 0 : portable::decimalExponent(value);
    char buffer[64];
    const auto result = toChars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                std::max(0, 5 - magnitude));
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

UsageError badValue(const std::string& option, std::string_view given, const std::string& why,
                    const std::string& accepted) {
    return {"--" + option + ": " + quoted(given) + " " + why + "; " + accepted};
}

// Reads one numeric option into `out`; nothing when it was not given. A length takes its unit
// too, and the pitch turns per inch.
std::optional<UsageError> readNumber(const std::map<std::string, std::string>& given,
                                     const std::string& option, const Range& range,
                                     std::optional<double>& out) {
    const auto it = given.find(option);
    if (it == given.end()) {
        return std::nullopt;
    }
    const std::string unit = range.unit;
    const bool length = unit == "m" || unit == "mm";
    const std::string accepted = std::string("give ") + range.accepted + ", " + rangeText(range) +
                                 ", with a full stop as the decimal point" +
                                 (length ? kLengthForms : "");
    const std::optional<double> value =
        option == "pitch" ? parsePitch(it->second)
        : length
            ? parseLength(it->second, unit == "m" ? LengthUnit::Metres : LengthUnit::Millimetres)
            : parseOptionNumber(it->second);
    if (!value) {
        return badValue(option, it->second, "is not a number", accepted);
    }
    const bool lowOk = range.lowIncluded ? *value >= range.low : *value > range.low;
    if (!lowOk || *value > range.high) {
        return badValue(option, it->second, "is out of range", accepted);
    }
    out = value;
    return std::nullopt;
}

// A wire as typed: "16" (SWG, of the table), "AWG 14" or "awg14", "1.63mm" or "1.63 mm". The
// design goes on with the table gauge nearest in diameter to an AWG or millimetre wire.
std::optional<UsageError> readGauge(const std::map<std::string, std::string>& given,
                                    const std::string& option, bool coilColumn, int& swg,
                                    std::optional<WireSize>& size) {
    const auto it = given.find(option);
    if (it == given.end()) {
        return UsageError{"--" + option + " is missing; " + kGaugeForms};
    }
    const std::string text = trimmed(it->second);
    if (startsWithNoCase(text, "awg")) {
        const std::string number = trimmed(text.substr(3));
        const std::optional<double> gauge = parseOptionNumber(number);
        // "00" to "0000" are gauges thicker than 0, not 0: refused, never read as 0.
        const bool zeros = number.size() > 1 && number[0] == '0';
        if (!gauge || *gauge != std::floor(*gauge) || zeros) {
            return badValue(option, it->second, "is not an AWG gauge",
                            "give a whole AWG gauge from 0 to 40, as 'AWG 14'");
        }
        if (*gauge < kLeastAwg || *gauge > kMostAwg) {
            return badValue(option, it->second, "is out of range",
                            "give a whole AWG gauge from 0 to 40, as 'AWG 14'");
        }
        size = WireSize{WireSystem::Awg, *gauge};
        swg = nearestTableGauge(awgDiameterMm(static_cast<int>(*gauge)), coilColumn);
        return std::nullopt;
    }
    // Stranded wire by its cross-section: the round wire of that copper.
    if (const std::optional<double> mm = parseCrossSectionDiameterMm(text)) {
        if (*mm < kWireMm.low || *mm > kWireMm.high) {
            return badValue(
                option, it->second, "is out of range",
                "give a cross-section of the copper from 0.002 to 314 mm2, as '2.5mm2'");
        }
        size = WireSize{WireSystem::Millimetres, *mm};
        swg = nearestTableGauge(*mm, coilColumn);
        return std::nullopt;
    }
    if (endsWithNoCase(text, "mm")) {
        const std::string accepted =
            std::string("give the bare wire diameter, ") + rangeText(kWireMm) + ", as '1.63mm'";
        const std::optional<double> mm =
            parseOptionNumber(trimmed(text.substr(0, text.size() - 2)));
        if (!mm) {
            return badValue(option, it->second, "is not a diameter", accepted);
        }
        if (*mm < kWireMm.low || *mm > kWireMm.high) {
            return badValue(option, it->second, "is out of range", accepted);
        }
        size = WireSize{WireSystem::Millimetres, *mm};
        swg = nearestTableGauge(*mm, coilColumn);
        return std::nullopt;
    }
    const std::optional<double> value = parseOptionNumber(text);
    if (!value || !WireGaugeTable::hasRow(*value)) {
        return badValue(option, it->second, "is not a gauge of the wire table", kGaugeForms);
    }
    swg = static_cast<int>(*value);
    size.reset();
    return std::nullopt;
}

std::optional<UsageError> readRequired(const std::map<std::string, std::string>& given,
                                       const std::string& option, const Range& range, double& out) {
    std::optional<double> value;
    if (!given.count(option)) {
        return UsageError{"--" + option + " is missing; give " + range.accepted + ", " +
                          rangeText(range)};
    }
    if (std::optional<UsageError> error = readNumber(given, option, range, value)) {
        return error;
    }
    out = *value;
    return std::nullopt;
}

std::optional<UsageError> readChoice(const std::map<std::string, std::string>& given,
                                     const std::string& option,
                                     const std::map<std::string, int>& choices, int& out) {
    const auto it = given.find(option);
    if (it == given.end()) {
        return std::nullopt;
    }
    const auto choice = choices.find(it->second);
    if (choice == choices.end()) {
        std::string names;
        for (const auto& [name, value] : choices) {
            names += (names.empty() ? "" : ", ") + name;
        }
        return badValue(option, it->second, "is not a choice", "give one of " + names);
    }
    out = choice->second;
    return std::nullopt;
}

std::optional<UsageError> readPath(const std::map<std::string, std::string>& given,
                                   const std::string& option, std::optional<std::string>& out) {
    const auto it = given.find(option);
    if (it == given.end()) {
        return std::nullopt;
    }
    if (it->second.empty()) {
        return UsageError{"--" + option + ": the file name is empty; give the file to write"};
    }
    out = it->second;
    return std::nullopt;
}

} // namespace brevan::check::options
