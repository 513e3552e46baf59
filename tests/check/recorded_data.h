// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files recorded for the tests (tests/check/data), and small edits of them.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string recorded(const std::string& name) {
    std::ifstream file(std::string(BREVAN_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// `text` with the first occurrence of `from` replaced; the test fails if it is not there.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// `text` without the lines that hold `fragment`.
inline std::string withoutLines(const std::string& text, const std::string& fragment) {
    std::istringstream in(text);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        if (line.find(fragment) == std::string::npos) {
            kept += line + '\n';
        }
    }
    return kept;
}
