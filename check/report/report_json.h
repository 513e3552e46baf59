// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "check_report.h"

#include <string>

namespace brevan::check {

// The report as one JSON object for scripts: the same content as the text, numbers at full
// precision, units in the key names (_mhz, _m, _mm, _uh, _ohm, _hz, _pf, _percent). Every face
// writes it with this function, so `brevan-check --format json`, the window's export and the
// web page's are the same bytes.
std::string reportJson(const CheckReport& report, const std::string& version);

} // namespace brevan::check
