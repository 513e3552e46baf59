// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The report's figures as rows for the window's tables, worded and rounded as the text report
// words them. Pure: the record in, texts out; nothing here computes a figure.

#include "check_report.h"

#include <array>
#include <string>
#include <vector>

namespace brevan::faces {

struct ResultRow {
    std::string label;
    std::string value;
};

// The three antennas side by side: designed, built, trimmed ("-" when no trim reached F).
struct AntennaRow {
    std::string label;
    std::array<std::string, 3> cells;
};

std::vector<ResultRow> designRows(const check::CheckReport& report);
std::vector<ResultRow> cutListRows(const check::CheckReport& report);
// Empty without a full-wave check.
std::vector<AntennaRow> antennaRows(const check::CheckReport& report);

// How exactly to build it: each difference, then how far it moves the resonance and the SWR at
// F (both sides), or why it does not apply (and "-"). Empty without the tolerance table.
struct ToleranceTableRow {
    std::string label;
    std::array<std::string, 2> cells;
};
std::vector<ToleranceTableRow> toleranceRows(const check::CheckReport& report);

} // namespace brevan::faces
