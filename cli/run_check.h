// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One run of brevan-check, from the command line to the exit status:
//
//   arguments --parseCommandLine--> option texts --readCheckInputs--> CheckInputs
//   --buildCheckReport--> CheckReport --addAntennaCheck (nec2c)--> report, picture, deck
//   --> files (whole or not at all), then standard output
//
// Nothing reaches standard output unless the whole run succeeded. A signal that asks the run to
// stop (stop_signals.h) ends the engine's runs and writes nothing; the status comes from the one
// table in exit_status.h.

#include "exit_status.h"
#include "nec/engine/nec2c_engine.h"

#include <QStringList>

#include <atomic>
#include <functional>

namespace brevan::cli {

struct RunEnvironment {
    // Makes the engine for a run's options; tests put a stand-in here.
    std::function<check::Engine(const check::Nec2cOptions&)> engine = check::nec2cEngine;
    // Turns to a signal's number when one asks the run to stop; null: nothing does.
    const std::atomic<int>* stopSignal = nullptr;
};

// Never throws: an exception of any kind ends as kExitInternal with a message.
int runCheck(const QStringList& arguments, const RunEnvironment& environment = {});

} // namespace brevan::cli
