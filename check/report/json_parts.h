// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the JSON report's files share: its numbers and texts, and the sections written in a
// file of their own (the power, the measured sweep and the study). Only report_json*.cpp
// include it.

#include "check_report.h"
#include "json/json_text.h"

#include <optional>
#include <string>
#include <vector>

namespace brevan::check::json_parts {

// JSON has no infinity or NaN; a figure without a value is null. jsonText writes the shortest
// text that reads back to the same double.
Json num(double value);
Json num(const std::optional<double>& value);
// A figure that is decimal by nature (a length from whole millimetres and centimetres, a wire
// diameter from the gauge table in inches) but came out of arithmetic with a binary tail:
// the double nearest its decimal value, so it is written as people write it (15.44, not
// 15.440000000000001). `places` is far below any figure's own resolution.
Json decimal(double value, int places);
Json decimal(const std::optional<double>& value, int places);
inline constexpr int kMicrometres = 6; // places of a length in metres
inline constexpr int kWirePlaces = 4;  // places of a gauge diameter in millimetres

Json text(const std::string& value);
Json texts(const std::vector<std::string>& lines);

// The match a trimmed or a measured antenna needs: a transformer and an L-network.
Json matchingJson(const std::optional<Matching>& m);

// The sections: "power", "measured" and "study" (null when the report has none).
Json power(const CheckReport& r);
Json measured(const CheckReport& r);
Json study(const CheckReport& r);

} // namespace brevan::check::json_parts
