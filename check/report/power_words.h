// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the coils and the tips must hold at the builder's power, in words: the table's rows
// (the antenna as built and as trimmed side by side), the verdict's sentence, the build
// sheet's line and how the figures were found. The figures themselves are the record's
// (power/power_figures.h).

#include "check_report.h"

#include <string>
#include <vector>

namespace brevan::check {

// "100 W SSB".
std::string powerSettingText(const PowerSetting& setting);

struct PowerRow {
    std::string label;
    std::string built;
    std::string trimmed; // "-" when no trim reached F
};

// Nothing without the full-wave check.
std::vector<PowerRow> powerRows(const CheckReport& report);

// What each coil and each insulator must hold, and what fails at this power, with the power it
// holds and what to change; nothing without the full-wave check.
std::vector<std::string> powerSentences(const CheckReport& report);

// The coil to wind instead, on the builder's former and on a larger one, with its Q, the power
// it holds and the share of the power the antenna would radiate; empty when there is none.
std::string coilToWindSentence(const CheckReport& report);

// Whether something fails at the given power: the verdict leads with it.
bool powerFails(const CheckReport& report);

// One line for the build sheet: "At 100 W SSB each coil holds 0.40 kV and warms about 28 °C;
// the tips reach 1.0 kV." Empty without the full-wave check.
std::string powerSummary(const CheckReport& report);

// How the figures were found and how exact they are, for the report's notes.
std::vector<std::string> powerMethodNotes(const CheckReport& report);

} // namespace brevan::check
