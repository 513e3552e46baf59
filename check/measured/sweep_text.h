// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the two sweep readers share: the lines of a file whatever ends them, numbers in the C
// locale, and the wording of a refusal.

#include "measured/measured_sweep.h"

#include <complex>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevan::check::sweep_text {

// Walks the lines of a text ended by LF, CR LF or a lone CR, counting them from 1.
class Lines {
public:
    explicit Lines(std::string_view text);
    // The next line without its ending, or nothing at the end of the text.
    std::optional<std::string_view> next();
    int number() const { return m_number; }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
    int m_number = 0;
};

// The text before a `!` comment, trimmed of blanks.
std::string_view withoutComment(std::string_view line);

// A whole word as a finite number; a leading '+' is allowed.
std::optional<double> number(std::string_view word);

std::string lowercase(std::string_view text);

// "'text'", shortened when long.
std::string quoted(std::string_view text);

std::string countOf(std::size_t n, const char* thing); // "1 number", "2 numbers"

// The impedance from S11 on the reference resistance. Nothing when S11 is 1 (an open circuit: no
// finite impedance).
std::optional<std::complex<double>> impedanceFromReflection(std::complex<double> s11,
                                                            double referenceOhm);

// Rejects a frequency that does not rise above the previous point's.
std::optional<std::string> outOfOrder(double frequencyMHz, std::optional<double> previousMHz);

} // namespace brevan::check::sweep_text

namespace brevan::check {

// The two readers; the first meaningful line has already told which one the text is.
std::variant<MeasuredSweep, SweepError> readTouchstone(std::string_view text,
                                                       const std::string& fileName);
std::variant<MeasuredSweep, SweepError> readCsvSweep(std::string_view text,
                                                     const std::string& fileName);

} // namespace brevan::check
