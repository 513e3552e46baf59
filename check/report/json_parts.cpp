// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/json_parts.h"

#include "portable_maths.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace brevan::check::json_parts {

// JSON has no infinity or NaN; a figure without a value is null. jsonText writes the shortest
// text that reads back to the same double.
Json num(double value) {
    return std::isfinite(value) ? Json(value) : Json();
}
Json num(const std::optional<double>& value) {
    return value ? num(*value) : Json();
}
// A figure that is decimal by nature (a length from whole millimetres and centimetres, a wire
// diameter from the gauge table in inches) but came out of arithmetic with a binary tail:
// the double nearest its decimal value, so it is written as people write it (15.44, not
// 15.440000000000001). `places` is far below any figure's own resolution.
Json decimal(double value, int places) {
    const double scale = portable::pow(10.0, places);
    return num(std::round(value * scale) / scale);
}
Json decimal(const std::optional<double>& value, int places) {
    return value ? decimal(*value, places) : Json();
}

Json text(const std::string& value) {
    return value;
}
Json texts(const std::vector<std::string>& lines) {
    Json out = Json::array();
    for (const std::string& line : lines) {
        out.push_back(text(line));
    }
    return out;
}

} // namespace brevan::check::json_parts
