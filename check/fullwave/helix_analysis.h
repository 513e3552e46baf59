// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a long coil's current falls along it, the lumped load is not the coil: the antenna is
// also modelled with each coil wound as NEC-2's own helix (helix_deck.h) at two lengths, the
// built one and the trimmed one, and the trim read off the line through them.
//
//   HelixAntenna --level 4: the reactance's zero (root_search.h)--> f4
//     --levels 6 and 8 at f4, each level's zero from level 4's slope over its bracket and then
//       by secants on its own curve-->
//     helixChordLimit (extrapolation.h) --> the resonance and its uncertainty

#include "analysis/root_search.h"
#include "fullwave/engine_rounds.h"
#include "fullwave/extrapolation.h"
#include "nec/helix_deck.h"

#include <optional>
#include <vector>

namespace brevan::check {

// The helix antenna's resonance at one length: the zero of its reactance nearest `startMHz`
// within `lowestMHz`..`highestMHz`.
class HelixResonanceTask : public Task {
public:
    HelixResonanceTask(const HelixAntenna& antenna, double startMHz, double lowestMHz,
                       double highestMHz);
    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;
    // Once finished; nothing when no zero lies in the window or the search ran out of tries.
    const std::optional<Extrapolated>& resonance() const { return m_resonance; }
    const HelixAntenna& antenna() const { return m_antenna; }

private:
    enum class Phase { Start, Search, Levels, Refine, Done };
    // One level's zero: the last frequency it was solved at, its reactance there, and where the
    // zero is taken to be from it.
    struct LevelZero {
        double at = 0.0;
        double x = 0.0;
        double estimate = 0.0;
    };
    Request at(int segmentsPerTurn, double mhz) const;
    void finish();

    HelixAntenna m_antenna;
    double m_start = 0.0;
    double m_lowest = 0.0;
    double m_highest = 0.0;
    Phase m_phase = Phase::Start;
    RootSearch m_search;
    double m_slope = 0.0; // level 4's, ohm a MHz, at its zero
    LevelZero m_levels[3];
    int m_refinements = 0;
    std::optional<Extrapolated> m_resonance;
};

// The reactance across the helix deck's whole feed gap (ohm): both halves of it in series.
double helixFeedReactance(const EngineRun& run);

// The tip-to-tip length at which the resonance is `targetMHz`, on the line through two lengths
// and their resonances; nothing when they resonate alike.
std::optional<double> lengthForResonance(double length1, double mhz1, double length2, double mhz2,
                                         double targetMHz);

// Level 4's search stops once it brackets its zero within this share of it: each level's zero
// is then found from the bracket's false-position point (kHelixRefined), so the bracket only has
// to hold the zero with no pole beside it.
inline constexpr double kHelixTolerance = 0.01;
// The second length is the trimmed one when the trim moved the tips by at least this much tip to
// tip, else the built one twice this much shorter (m).
inline constexpr double kHelixLeastMove = 0.1;
// Each level's zero is then found on its own curve, from level 4's slope and by secants, until
// a secant moves it less than this share of the resonance (the next would move it by a few
// hundredths of that), or for at most kHelixRefinements rounds. Read off level 4's straight line
// alone, the finer levels' zeros came a few hundredths of a per cent low, which the
// extrapolation to the limit multiplies.
inline constexpr double kHelixRefined = 1e-3;
inline constexpr int kHelixRefinements = 3;
// Level 4's first probes either side of the start, as a share of it.
inline constexpr double kHelixFirstStep = 0.01;

} // namespace brevan::check
