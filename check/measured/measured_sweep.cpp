// SPDX-License-Identifier: GPL-3.0-or-later
#include "measured/measured_sweep.h"

#include "measured/sweep_text.h"
#include "nec/printed_text.h"

#include <algorithm>

namespace brevan::check {

namespace {

using namespace sweep_text;

enum class Family { Touchstone, Csv, Unknown };

std::string extensionOf(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return lowercase(std::string_view(fileName).substr(dot + 1));
}

Family familyByName(const std::string& fileName) {
    const std::string ext = extensionOf(fileName);
    if (ext == "csv") {
        return Family::Csv;
    }
    if (ext == "s1p" || ext == "ts" ||
        (ext.size() == 3 && ext.front() == 's' && ext.back() == 'p')) {
        return Family::Touchstone;
    }
    return Family::Unknown;
}

bool allNumbers(std::string_view line) {
    const auto words = printed::words(line);
    return std::all_of(words.begin(), words.end(),
                       [](std::string_view w) { return number(w).has_value(); });
}

// The first line that is neither blank nor a comment tells the family; a CSV header never
// starts with '#' or '[' and is never all numbers.
Family familyByContent(std::string_view text) {
    Lines lines(text);
    while (const auto raw = lines.next()) {
        const std::string_view line = withoutComment(*raw);
        if (line.empty()) {
            continue;
        }
        if (line.front() == '#' || line.front() == '[' || allNumbers(line)) {
            return Family::Touchstone;
        }
        if (line.find_first_of(",;\t") != std::string_view::npos) {
            return Family::Csv;
        }
        return Family::Unknown;
    }
    return Family::Unknown;
}

std::optional<int> firstMeaningfulLine(std::string_view text) {
    Lines lines(text);
    while (const auto raw = lines.next()) {
        if (!withoutComment(*raw).empty()) {
            return lines.number();
        }
    }
    return std::nullopt;
}

} // namespace

std::string message(const SweepError& error) {
    return error.fileName + ", line " + std::to_string(error.line) + ": expected " +
           error.expected + ", found " + error.found;
}

std::variant<MeasuredSweep, SweepError> readSweep(std::string_view text,
                                                  const std::string& fileName) {
    Family family = familyByContent(text);
    if (family == Family::Unknown) {
        family = familyByName(fileName);
    }
    switch (family) {
    case Family::Touchstone: return readTouchstone(text, fileName);
    case Family::Csv: return readCsvSweep(text, fileName);
    case Family::Unknown: break;
    }
    const auto line = firstMeaningfulLine(text);
    Lines lines(text);
    std::string_view found;
    for (int i = 0; i < line.value_or(0); ++i) {
        found = lines.next().value_or(std::string_view());
    }
    return SweepError{fileName, line.value_or(1),
                      "a Touchstone option line ('# MHz S RI R 50') or a CSV header row",
                      line ? quoted(printed::trimmed(found)) : std::string("an empty file")};
}

std::vector<SwrPoint> swrCurve(const MeasuredSweep& sweep, double systemOhm) {
    if (sweep.kind == SweepKind::SwrOnly) {
        return sweep.swr;
    }
    std::vector<SwrPoint> out;
    out.reserve(sweep.impedance.size());
    for (const FeedPoint& p : sweep.impedance) {
        out.push_back(SwrPoint{p.frequencyMHz, swr(p.impedance, systemOhm)});
    }
    return out;
}

} // namespace brevan::check
