// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one place that runs the NEC-2 engine: nec2c from Debian's package of the same name, found
// on PATH, each run in a private temporary folder that is always removed, under a time limit.
// The decks of one call are a batch: the first failure ends the runs still going (each engine
// with every process it started) and starts no more, and so does a stop asked from outside.

#include "nec/engine.h"

#include <atomic>
#include <string>
#include <vector>

namespace brevan::check {

struct Nec2cOptions {
    double timeLimitSeconds = 60.0; // each run
    int parallelRuns = 0;           // 0: as many as the machine has cores
    // When this turns non-zero (the number of a signal, say), the runs are ended within a
    // fraction of a second and their folders removed; those that did not finish come back as
    // EngineFailure::Failed. Null: nothing outside stops a batch.
    const std::atomic<int>* stop = nullptr;
};

// Runs the decks with nec2c, up to `parallelRuns` at once, and reads each output back. After a
// failure, every deck that did not finish carries that same failure; runs that finished before
// keep their own result. An exception in a worker thread comes out of here, after every run has
// ended.
std::vector<EngineRun> runNec2c(const std::vector<std::string>& decks, const Nec2cOptions& options);

// An Engine bound to the options.
Engine nec2cEngine(const Nec2cOptions& options);

} // namespace brevan::check
