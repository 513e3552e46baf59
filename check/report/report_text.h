// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "check_report.h"

#include <string>

namespace brevan::check {

// The report a person reads from top to bottom: what it means, inputs, the design as the window
// computes it, the coil as wound, its losses, the antenna, the cut list, warnings. Figures are
// rounded for reading; the JSON report keeps them whole.
std::string reportText(const CheckReport& report, const std::string& version);

// The built antenna with Medhurst's grounded-coil capacitance in each coil: how far the
// least certain number of the coil moves its resonance. Only for a check that has that antenna
// (AntennaCheck::medhurst).
std::string medhurstSummary(const AntennaCheck& a);

} // namespace brevan::check
