// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small pieces every SVG picture of the report is written with: numbers as SVG wants them,
// escaped text, tick steps, a line and a label.

#include <string>

namespace brevan::check::svg {

// Fixed decimals, never "-0".
std::string number(double value, int decimals);
// Coordinates: two decimals are far below a printed pixel.
std::string coord(double value);
std::string escaped(const std::string& text);
// A 1-2-5 step giving about `wanted` intervals over `span`.
double niceStep(double span, int wanted);
// The decimals a tick of `step` needs.
int decimalsFor(double step);
std::string text(double x, double y, const std::string& content, const std::string& extra);
std::string line(double x1, double y1, double x2, double y2, const std::string& style);

} // namespace brevan::check::svg
