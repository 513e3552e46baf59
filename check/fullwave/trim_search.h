// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The engine searches the check runs on an analysed antenna, shared by the check itself and by
// the calibration to a measured sweep: the change of each tip, and the coil's inductance, that
// put the working level's resonance on a target frequency. Each is a task of the engine rounds
// (engine_rounds.h) whose probes are one frequency each on the working segmentation.

#include "analysis/root_search.h"
#include "fullwave/antenna_analysis.h"

#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace brevan::check {

// The searches stop within these of the answer; the tip is then rounded to whole centimetres.
inline constexpr double kTipTolerance = 0.0005;      // m
inline constexpr double kInductanceTolerance = 1e-4; // relative
// A fall of the reactance narrowed to these with no crossing beside it hides none: a centimetre
// is the step a tip is cut in, and a per cent of inductance less than a turn of most coils.
inline constexpr double kTipFallWidth = 0.01;        // m
inline constexpr double kInductanceFallWidth = 0.01; // relative

// A search as a task: each probe is one frequency on the working segmentation.
class SearchTask : public Task {
public:
    using Probe = std::function<std::variant<Request, AntennaCheckFailure>(double x)>;
    SearchTask(RootSearch search, Probe probe)
        : m_search(std::move(search)), m_probe(std::move(probe)) {}

    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;
    const RootSearch& search() const { return m_search; }
    const std::optional<AntennaCheckFailure>& failure() const { return m_failure; }

private:
    RootSearch m_search;
    Probe m_probe;
    std::optional<AntennaCheckFailure> m_failure;
};

double roundToCentimetre(double metres);

// Whether a centimetre of each tip moves the resonance by more than a fifth of the built
// antenna's 2:1 band (a tenth of a per cent of F without one), as the trim search went from its
// resonance to F over `root` metres: then the trim is given to the millimetre.
bool millimetreTrim(const AntennaResult& built, double root, double designMHz);

struct TrimSearch {
    std::unique_ptr<SearchTask> task;
    double limit = 0.0; // the tip change the search may not pass, on the side it searches
};

// Why a search for the tip change ended where it did.
TrimOutcome searchOutcome(const TrimSearch& trim);

// The change of each tip of the antenna `analysis` models at `context.input.length` + 2 x, from
// x = `start` where the working level's reactance at `target` is `startReactance`, that makes
// the working level resonate at `target` (MHz). Nothing when the analysis shows no resonance.
std::optional<TrimSearch> trimSearch(const Context& context, const Analysis& analysis, double start,
                                     double startReactance, double target);

// The inductance of each coil that makes the antenna of `length` resonate at `target` on the
// working segmentation of `analysis` (which must show a resonance), with the coil's loss kept.
std::unique_ptr<SearchTask> coilSearch(const Context& context, const Analysis& analysis,
                                       double length, double target);

// The whole turns whose inductance as the antenna sees it at F comes closest to `needed`; a
// coil past its own resonance has none (0).
int closestApparentTurns(const AntennaCheckInput& input, double needed);

} // namespace brevan::check
