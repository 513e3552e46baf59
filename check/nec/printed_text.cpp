// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/printed_text.h"

#include "floating_chars.h"

#include <cmath>
#include <system_error>

namespace brevan::check::printed {

bool contains(std::string_view line, std::string_view needle) {
    return line.find(needle) != std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t position = 0;
    while (true) {
        const auto start = line.find_first_not_of(" \t\r", position);
        if (start == std::string_view::npos) {
            break;
        }
        auto end = line.find_first_of(" \t\r", start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        result.push_back(line.substr(start, end - start));
        position = end;
    }
    return result;
}

// A whole word as a finite number, read in the C locale whatever the process locale is.
std::optional<double> number(std::string_view word) {
    double value = 0.0;
    const auto result = fromChars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace brevan::check::printed
