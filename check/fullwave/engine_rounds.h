// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The engine's work in rounds: every piece of work (an antenna's analysis, a search) says what
// decks it needs next; one round runs them all as one batch, so both cores share them, and hands
// each piece its results.

#include "fullwave/antenna_check.h"

#include <string>
#include <variant>
#include <vector>

namespace brevan::check {

struct Request {
    AntennaModel model;
    Segmentation segmentation;
    std::vector<DeckFrequency> frequencies;
    std::string comment;
    DeckOptions options;
    // A deck written whole (the coils wound as helices): sent as it is, one frequency, in place
    // of the model's; `segmentation.totalSegments` still gives its cost.
    std::string deck = {};
};

using Batch = std::variant<std::vector<EngineRun>, AntennaCheckFailure>;

// Runs the decks as one batch; each point takes the exact frequency its deck asked for.
Batch runBatch(const Engine& engine, const std::vector<Request>& requests);

// One piece of work that asks the engine for decks round by round: an antenna's analysis or a
// search. `requests` is empty when it is finished.
class Task {
public:
    virtual ~Task() = default;
    virtual std::vector<Request> requests() = 0;
    virtual void take(const std::vector<EngineRun>& runs) = 0;
};

// Runs the tasks together, each round one batch, until every one is finished.
std::optional<AntennaCheckFailure> runTogether(const Engine& engine,
                                               const std::vector<Task*>& tasks);

AntennaCheckFailure engineFailure(EngineFailure kind, const std::string& detail);
AntennaCheckFailure modelFailure(const ModelRefusal& refusal, const std::string& which);

// A number with fixed decimals in the C locale, for deck comments and messages.
std::string fixed(double value, int decimals);

} // namespace brevan::check
