// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One half of the dipole as an SVG picture for the page: to scale along the wire from the feed
// point to the tip, each piece of the cut list written on it, the coil beside it. The lengths
// are the report's own; the texts come from the window's cut list rows.

#include "check_report.h"

#include <string>

namespace brevan::web {

std::string halfDipoleSvg(const check::CheckReport& report);

} // namespace brevan::web
