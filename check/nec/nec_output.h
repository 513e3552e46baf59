// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the engine's printed output back into numbers.

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevan::check {

// One frequency of a run: the input impedance at the feed and the power budget.
struct FeedPoint {
    double frequencyMHz = 0.0;
    std::complex<double> impedance; // ohm
    double inputPower = 0.0;        // W
    double radiatedPower = 0.0;     // W
    double structureLoss = 0.0;     // W, wire and loads
};

// Efficiency from the power budget: radiated / input.
double efficiency(const FeedPoint& point);

// The feed points of every frequency in the order printed, or nothing with `error` set when the
// text is not a complete run of the engine (no frequency, a missing input-parameter or
// power-budget block, an unreadable number).
std::optional<std::vector<FeedPoint>> parseEngineOutput(std::string_view text, std::string* error);

// The current on every segment (A, at the segment's centre, in the engine's order of segments)
// of the first frequency printed, for the deck's 1 V source; nothing when the output has no
// complete table of currents. The engine prints each current to five digits.
std::optional<std::vector<std::complex<double>>> parseSegmentCurrents(std::string_view text);

} // namespace brevan::check
