#pragma once

// The one place that runs the NEC-2 engine: nec2c from Debian's package of the same name, found
// on PATH, each run in a private temporary folder that is always removed, under a time limit.

#include "nec/engine.h"

#include <string>
#include <vector>

namespace brevan::check {

struct Nec2cOptions {
    double timeLimitSeconds = 60.0; // each run
    int parallelRuns = 0;           // 0: as many as the machine has cores
};

// Runs the decks with nec2c, up to `parallelRuns` at once, and reads each output back.
std::vector<EngineRun> runNec2c(const std::vector<std::string>& decks, const Nec2cOptions& options);

// An Engine bound to the options.
Engine nec2cEngine(const Nec2cOptions& options);

} // namespace brevan::check
