// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// JSON as this program has always written it (with Qt's QJsonDocument until the core took it
// over), so that a report or a design file is the same text byte for byte whichever face wrote
// it, the command line, the check window or the web page:
//
//   - keys in byte order (nlohmann::json keeps its objects sorted so), four spaces per level,
//     `"key": value`, an empty object or array still opened and closed on lines of their own;
//   - a double that is a whole number no larger than 2^53 as that integer, any other in the
//     shortest text that reads back to the same double, in decimal or exponent form, whichever
//     is shorter, decimal when they tie (1e-05, 0.00015, 1.5e+16);
//   - text as UTF-8, escaping only the quote, the backslash and control characters; a byte
//     that is not UTF-8 becomes U+FFFD.
//
// A figure that is infinite or NaN has no JSON form: callers write null for it.

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace brevan::check {

using Json = nlohmann::json;

// The document, ending in a newline.
std::string jsonText(const Json& document);

// One finite double as jsonText writes it.
std::string jsonNumber(double value);

} // namespace brevan::check
