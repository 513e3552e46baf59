// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/engine_rounds.h"

#include "floating_chars.h"

#include <algorithm>
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

// A batch of few decks keeps one core busy while the other waits, round after round (a
// resonance located at a few hundred segments is a chain of such rounds, and so are the study's
// last positions near the tips): below this many decks, each deck of several frequencies goes
// to the engine as two decks of half its frequencies, the costliest first, and their points are
// joined. Each frequency is solved on its own, so the points are the same whichever deck
// carries them.
constexpr std::size_t kSplitBelow = 4;

struct Piece {
    std::size_t request = 0;
    int part = 0; // 0 or 1: the lower or upper half of its frequencies
    std::vector<DeckFrequency> frequencies;
    double cost = 0.0; // the engine's work, about frequencies x segments^2
};

bool splits(const Request& r, std::size_t decks) {
    return decks < kSplitBelow && r.frequencies.size() >= 2 && r.options.patternCards.empty();
}

std::vector<Piece> piecesOf(const std::vector<Request>& requests) {
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const Request& r = requests[i];
        const auto segments = static_cast<double>(r.segmentation.totalSegments);
        const auto add = [&](int part, auto first, auto last) {
            Piece piece{i, part, {first, last}, 0.0};
            piece.cost = static_cast<double>(piece.frequencies.size()) * segments * segments;
            pieces.push_back(std::move(piece));
        };
        const auto& f = r.frequencies;
        if (splits(r, requests.size())) {
            const auto middle = f.begin() + static_cast<std::ptrdiff_t>(f.size() / 2);
            add(0, f.begin(), middle);
            add(1, middle, f.end());
        } else {
            add(0, f.begin(), f.end());
        }
    }
    // The engine takes the decks in order as its cores come free.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.cost > b.cost; });
    return pieces;
}

std::vector<EngineRun> runDecks(const Engine& engine, const std::vector<Request>& requests) {
    const std::vector<Piece> pieces = piecesOf(requests);
    std::vector<std::string> decks;
    for (const Piece& piece : pieces) {
        const Request& r = requests[piece.request];
        decks.push_back(r.deck.empty() ? writeDeck(r.model, r.segmentation, piece.frequencies,
                                                   r.comment, r.options)
                                       : r.deck);
    }
    std::vector<EngineRun> runs = engine(decks);
    if (runs.size() != decks.size()) {
        EngineRun wrong;
        wrong.failure = EngineFailure::Unreadable;
        wrong.detail = "it answered " + std::to_string(runs.size()) + " runs for " +
                       std::to_string(decks.size()) + " decks";
        return std::vector<EngineRun>(requests.size(), wrong);
    }
    // Each request's halves joined in the order of its frequencies; a failure in either is the
    // request's.
    std::vector<EngineRun> joined(requests.size());
    for (const int part : {0, 1}) {
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (pieces[k].part != part) {
                continue;
            }
            EngineRun& into = joined[pieces[k].request];
            EngineRun& run = runs[k];
            if (into.failure == EngineFailure::None && run.failure != EngineFailure::None) {
                into.failure = run.failure;
                into.detail = run.detail;
            }
            into.points.insert(into.points.end(), run.points.begin(), run.points.end());
            into.output += run.output;
        }
    }
    return joined;
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
