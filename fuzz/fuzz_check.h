// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace brevan::fuzz {

// A broken property must look like a crash to libFuzzer, so that it keeps the input.
inline void require(bool holds, const char* property, std::string_view text = {}) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s [%.*s]\n", property, static_cast<int>(text.size()),
                     text.data());
        std::abort();
    }
}

// A shown number is never empty and never spells an infinity or a NaN, in any letter case.
inline bool isNumberText(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return !lower.empty() && lower.find("inf") == std::string::npos &&
           lower.find("nan") == std::string::npos;
}

} // namespace brevan::fuzz
