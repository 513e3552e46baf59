// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the antenna check needs from a NEC-2 engine: decks in, feed points out. The real one
// runs nec2c as a separate process (engine/nec2c_engine.h); the check itself only sees this.

#include "nec/nec_output.h"

#include <functional>
#include <string>
#include <vector>

namespace brevan::check {

enum class EngineFailure {
    None,
    Missing,    // the engine program is not installed
    Failed,     // it could not start, crashed or exited non-zero
    TimedOut,   // it ran past the time limit and was stopped
    Unreadable, // it finished but its output could not be read
};

struct EngineRun {
    EngineFailure failure = EngineFailure::None;
    std::string detail; // for a failure: what happened, in words
    std::vector<FeedPoint> points;
    std::string output; // the engine's whole printed output, for what `points` do not hold
};

// Runs every deck (independent decks may run at once) and returns one run per deck, in order.
using Engine = std::function<std::vector<EngineRun>(const std::vector<std::string>& decks)>;

} // namespace brevan::check
