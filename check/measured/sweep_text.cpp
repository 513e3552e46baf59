// SPDX-License-Identifier: GPL-3.0-or-later
#include "measured/sweep_text.h"

#include "nec/printed_text.h"
#include "portable_maths.h"

#include <cctype>

namespace brevan::check::sweep_text {

namespace {
constexpr std::size_t kLongestQuote = 40;
} // namespace

Lines::Lines(std::string_view text) : m_text(text) {
    // A spreadsheet's byte-order mark is not part of the first line.
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
        m_position = 3;
    }
}

std::optional<std::string_view> Lines::next() {
    if (m_position >= m_text.size()) {
        return std::nullopt;
    }
    const std::size_t end = m_text.find_first_of("\r\n", m_position);
    const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
    const std::string_view line = m_text.substr(m_position, stop - m_position);
    m_position = stop;
    if (m_position < m_text.size()) {
        const bool crlf = m_text[m_position] == '\r' && m_position + 1 < m_text.size() &&
                          m_text[m_position + 1] == '\n';
        m_position += crlf ? 2 : 1;
    }
    ++m_number;
    return line;
}

std::string_view withoutComment(std::string_view line) {
    return printed::trimmed(line.substr(0, line.find('!')));
}

std::optional<double> number(std::string_view word) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
        if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
            return std::nullopt;
        }
    }
    return printed::number(word);
}

std::string lowercase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string quoted(std::string_view text) {
    if (text.size() > kLongestQuote) {
        return "'" + std::string(text.substr(0, kLongestQuote)) + "...'";
    }
    return "'" + std::string(text) + "'";
}

std::string countOf(std::size_t n, const char* thing) {
    return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

std::optional<std::complex<double>> impedanceFromReflection(std::complex<double> s11,
                                                            double referenceOhm) {
    const std::complex<double> denominator = 1.0 - s11;
    if (portable::abs(denominator) < 1e-12) {
        return std::nullopt;
    }
    return portable::divide(referenceOhm * (1.0 + s11), denominator);
}

std::optional<std::string> outOfOrder(double frequencyMHz, std::optional<double> previousMHz) {
    if (!(frequencyMHz > 0.0)) {
        return std::string("a frequency above zero");
    }
    if (previousMHz && !(frequencyMHz > *previousMHz)) {
        return std::string("a frequency above the previous point's");
    }
    return std::nullopt;
}

} // namespace brevan::check::sweep_text
