// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the text report's files share: the writer of its headings, rows and bullets, its units,
// and the sections written in a file of their own (the measured sweep and the study). Only
// report_text*.cpp include it.

#include "check_report.h"
#include "general_format.h"
#include "report/report_format.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>

namespace brevan::check::text_parts {

inline constexpr int kLabelWidth = 30;
inline constexpr std::size_t kLineWidth = 96;

class Writer {
public:
    void heading(const std::string& title) {
        m_out << (m_out.tellp() > 0 ? "\n" : "") << title << "\n";
    }
    void row(const std::string& label, const std::string& value) {
        m_out << "  " << label << std::string(std::max(1, kLabelWidth - int(label.size())), ' ')
              << value << "\n";
    }
    // A sentence wrapped at the line width behind a bullet.
    void bullet(const std::string& text) {
        std::istringstream words(text);
        std::string word;
        std::string line = "  -";
        while (words >> word) {
            if (line.size() + 1 + word.size() > kLineWidth) {
                m_out << line << "\n";
                line = "   ";
            }
            line += " " + word;
        }
        m_out << line << "\n";
    }
    void plain(const std::string& text) { m_out << text << "\n"; }
    std::string str() const { return m_out.str(); }

private:
    std::ostringstream m_out;
};

// An input echoed as it was given, not rounded.
inline std::string given(double value) {
    return formatDouble(value, ".");
}

inline std::string mm(double metres) {
    return number(metres * 1000, 1) + " mm";
}
inline std::string m3(double metres) {
    return number(metres, 3) + " m";
}
inline std::string uh(double henries) {
    return significant(henries * 1e6, 3) + " uH";
}
inline std::string ohm(double value) {
    return significant(value, 3) + " ohm";
}
inline std::string mhz(const std::optional<double>& value) {
    return value ? number(*value, 3) + " MHz" : std::string("none within 30 %");
}

// Characters as a terminal shows them: UTF-8 continuation bytes take no column.
inline std::size_t width(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The sections: "As measured" and "Where the coils should go" (nothing when the report has
// none).
void measured(Writer& w, const CheckReport& r);
void study(Writer& w, const CheckReport& r);

} // namespace brevan::check::text_parts
