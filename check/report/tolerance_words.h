// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tolerance table in words, for the text report, the window and the build sheet alike:
// each difference between the antenna as checked and as made, how far it moves the resonance
// and the SWR at F, and which of them the builder must hold most exactly.

#include "check_report.h"

#include <string>
#include <vector>

namespace brevan::check {

// One row: the difference, then the resonance's moves and the SWR at F for both sides, or why
// the row does not apply.
struct ToleranceLine {
    std::string difference;  // "1 turn more / fewer", "Each tip +1 cm / -1 cm"
    std::string resonance;   // "-38 / +40 kHz"
    std::string swr;         // "1.62 / 1.58"
    std::string notApplying; // "free space has no height"; empty when the row applies
};

// The difference as a table's label: "1 turn more / fewer", "Each tip +1 cm / -1 cm", ...
std::string toleranceDifference(Tolerance which, LengthUnits units);

// Why a row does not apply, in a few words.
std::string toleranceNotApplying(Tolerance which);

// A resonance's move: "+40 kHz", "-6.5 kHz", "0 kHz".
std::string khzMove(double khz);

// The rows in the table's order; empty without the table.
std::vector<ToleranceLine> toleranceLines(const CheckReport& report);

// Which antenna the moves are of, with its resonance and SWR at F: "as built and trimmed:
// resonance 7.050 MHz, SWR 1.12 at F".
std::string toleranceBasis(const CheckReport& report);

// The sentence that names the tolerance that matters most and what it moves; empty without the
// table.
std::string toleranceSentence(const CheckReport& report);

// The row's key for the JSON: "turns", "tips", "winding_length", "self_capacitance", "coil_q",
// "height".
const char* toleranceKey(Tolerance which);

} // namespace brevan::check
