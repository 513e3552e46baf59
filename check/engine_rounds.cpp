// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_rounds.h"

#include "floating_chars.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace brevan::check {

std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = toChars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

namespace {

std::string engineWords(EngineFailure failure) {
    switch (failure) {
    case EngineFailure::Missing: return "the NEC-2 engine nec2c is not installed";
    case EngineFailure::Failed: return "the NEC-2 engine failed";
    case EngineFailure::TimedOut: return "the NEC-2 engine ran past its time limit";
    case EngineFailure::Unreadable: return "the NEC-2 engine's output could not be read";
    case EngineFailure::None: break;
    }
    return "the NEC-2 engine failed";
}

} // namespace

AntennaCheckFailure engineFailure(EngineFailure kind, const std::string& detail) {
    AntennaCheckFailure failure;
    failure.engine = kind;
    failure.message = detail.empty() ? engineWords(kind) : detail;
    return failure;
}

AntennaCheckFailure modelFailure(const ModelRefusal& refusal, const std::string& which) {
    AntennaCheckFailure failure;
    failure.model = refusal;
    failure.message = "the antenna " + which + " cannot be modelled: " + refusal.reason;
    return failure;
}

// ---------------------------------------------------------------- running the engine

namespace {

// A lone deck of several frequencies would keep one core busy while the other waits, round
// after round (a resonance located at a few hundred segments is a chain of such rounds): it
// goes to the engine as two decks of half the frequencies each, and their points are joined.
bool splitsInTwo(const std::vector<Request>& requests) {
    return requests.size() == 1 && requests.front().frequencies.size() >= 2 &&
           requests.front().options.patternCards.empty();
}

std::vector<EngineRun> runDecks(const Engine& engine, const std::vector<Request>& requests) {
    std::vector<std::string> decks;
    if (splitsInTwo(requests)) {
        const Request& r = requests.front();
        const auto middle =
            r.frequencies.begin() + static_cast<std::ptrdiff_t>(r.frequencies.size() / 2);
        for (const auto& half : {std::vector<DeckFrequency>(r.frequencies.begin(), middle),
                                 std::vector<DeckFrequency>(middle, r.frequencies.end())}) {
            decks.push_back(writeDeck(r.model, r.segmentation, half, r.comment, r.options));
        }
        std::vector<EngineRun> halves = engine(decks);
        if (halves.size() != 2 || halves[0].failure != EngineFailure::None) {
            return halves.size() == 2 ? std::vector<EngineRun>{halves[0]} : halves;
        }
        EngineRun& joined = halves[0];
        joined.failure = halves[1].failure;
        joined.detail = halves[1].detail;
        joined.points.insert(joined.points.end(), halves[1].points.begin(), halves[1].points.end());
        joined.output += halves[1].output;
        return {joined};
    }
    for (const Request& r : requests) {
        decks.push_back(writeDeck(r.model, r.segmentation, r.frequencies, r.comment, r.options));
    }
    return engine(decks);
}

} // namespace

// Runs the decks as one batch. The engine prints frequencies to five digits only, so each point
// takes the exact frequency the deck asked for, after checking that it is the one printed.
Batch runBatch(const Engine& engine, const std::vector<Request>& requests) {
    std::vector<EngineRun> runs = runDecks(engine, requests);
    const std::size_t decks = requests.size();
    if (runs.size() != decks) {
        return engineFailure(EngineFailure::Unreadable,
                             "it answered " + std::to_string(runs.size()) + " runs for " +
                                 std::to_string(decks) + " decks");
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EngineRun& run = runs[i];
        if (run.failure != EngineFailure::None) {
            return engineFailure(run.failure, run.detail);
        }
        const auto& asked = requests[i].frequencies;
        if (run.points.size() != asked.size()) {
            return engineFailure(EngineFailure::Unreadable,
                                 "it printed " + std::to_string(run.points.size()) +
                                     " frequencies where " + std::to_string(asked.size()) +
                                     " were asked for");
        }
        for (std::size_t k = 0; k < asked.size(); ++k) {
            const double f = asked[k].frequencyMHz;
            if (std::abs(run.points[k].frequencyMHz - f) > 1e-4 * f) {
                return engineFailure(EngineFailure::Unreadable,
                                     "it analysed " + fixed(run.points[k].frequencyMHz, 5) +
                                         " MHz where " + fixed(f, 5) + " MHz was asked for");
            }
            run.points[k].frequencyMHz = f;
        }
    }
    return runs;
}

// Runs the tasks together, each round one batch, until every one is finished.
std::optional<AntennaCheckFailure> runTogether(const Engine& engine,
                                               const std::vector<Task*>& tasks) {
    for (;;) {
        std::vector<Request> all;
        std::vector<std::pair<Task*, std::size_t>> owners;
        for (Task* task : tasks) {
            std::vector<Request> mine = task->requests();
            if (!mine.empty()) {
                owners.emplace_back(task, mine.size());
                all.insert(all.end(), mine.begin(), mine.end());
            }
        }
        if (all.empty()) {
            return std::nullopt;
        }
        Batch batch = runBatch(engine, all);
        if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
            return *failure;
        }
        auto& runs = std::get<std::vector<EngineRun>>(batch);
        std::size_t i = 0;
        for (const auto& [task, count] : owners) {
            task->take({runs.begin() + static_cast<std::ptrdiff_t>(i),
                        runs.begin() + static_cast<std::ptrdiff_t>(i + count)});
            i += count;
        }
    }
}

} // namespace brevan::check
