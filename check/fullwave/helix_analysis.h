// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a long coil's current falls along it, the lumped load is not the coil: the antenna is
// also modelled with each coil wound as NEC-2's own helix (helix_deck.h) at two lengths, the
// built one and the trimmed one, and the trim read off the line through them.
//
//   HelixAntenna --level 4 about the start: its secant's zero, or where that fails the
//     reactance's zero by root_search.h--> f4
//     --levels 6 and 8 at f4, each level's zero by secants on its own curve-->
//     helixChordLimit (extrapolation.h) --> the resonance and its uncertainty
//
// The second length differs from the first only in its tips, and each level's zero moves with
// them by nearly the same amount (a few parts in 10^5 apart mid-way on 80 m, up to 2.5 in 10^3
// on the comparison's nine antennas: too far to take a finer level unsolved): so it begins each
// level where the first length's levels (HelixLevels) put it, and takes two solves of level 4
// and one of each finer level where the first took eight in all. Where the guide's slope points
// beyond its reach, or a secant bends away from it, it searches as the first length did.

#include "analysis/root_search.h"
#include "fullwave/engine_rounds.h"
#include "fullwave/extrapolation.h"
#include "nec/helix_deck.h"

#include <optional>
#include <vector>

namespace brevan::check {

// Each level's zero (MHz) at one length and the reactance's slope there (ohm a MHz), in the
// order of kHelixLevels.
struct HelixLevels {
    double zero[3] = {};
    double slope[3] = {};
};

// The helix antenna's resonance at one length: the zero of its reactance nearest `startMHz`
// within `lowestMHz`..`highestMHz`. With `guide`, another length's levels, each level begins
// there, moved as far as level 4's zero moved from the guide's.
class HelixResonanceTask : public Task {
public:
    HelixResonanceTask(const HelixAntenna& antenna, double startMHz, double lowestMHz,
                       double highestMHz, std::optional<HelixLevels> guide = std::nullopt);
    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;
    // Once finished; nothing when no zero lies in the window or the search ran out of tries.
    const std::optional<Extrapolated>& resonance() const { return m_resonance; }
    // Each level's zero and slope, once the resonance is found.
    std::optional<HelixLevels> levels() const;
    const HelixAntenna& antenna() const { return m_antenna; }

private:
    enum class Phase { Start, Guided, Search, Refine, Done };
    // Whose slope a level's next zero is read off.
    enum class SlopeFrom { LevelFour, OtherLength, Own };
    // One level's zero: the last frequency it was solved at and its reactance there (none
    // yet: `solved` false), where the zero is taken to be from it, the slope its secants are
    // held to, and whether the last move was small enough to end on.
    struct LevelZero {
        bool solved = false;
        double at = 0.0;
        double x = 0.0;
        double estimate = 0.0;
        double slope = 0.0;
        SlopeFrom from = SlopeFrom::LevelFour;
        bool settled = false;
    };
    enum class Step { Taken, Bent }; // bent: a pole between the points, or a zero out of reach
    Request at(int segmentsPerTurn, double mhz) const;
    void takeStart(const std::vector<EngineRun>& runs);
    void takeGuided(double x);
    void takeRefine(const std::vector<EngineRun>& runs);
    Step step(int level, double x);
    bool near(double mhz, double from) const;
    void seed(double at, double x, double zero, double slope);
    void unguided();
    void leaveSecant(double at, double x);
    void afterSearch();
    void finish();

    HelixAntenna m_antenna;
    double m_start = 0.0;
    double m_lowest = 0.0;
    double m_highest = 0.0;
    std::optional<HelixLevels> m_guide;
    Phase m_phase = Phase::Start;
    RootSearch m_search;
    bool m_searched = false; // level 4's zero is the root search's, bracketed
    double m_zero = 0.0;     // level 4's zero where the levels began from it
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
// Each level's zero is found on its own curve by secants, until a secant moves it less than
// this share of the resonance (the next would move it by a few hundredths of that), within
// kHelixRefinements rounds or not at all. Read off level 4's straight line alone, the finer
// levels' zeros came a few hundredths of a per cent low, which the extrapolation to the limit
// multiplies.
inline constexpr double kHelixRefined = 1e-3;
inline constexpr int kHelixRefinements = 4;
// Level 4's first probes either side of the start, as a share of it.
inline constexpr double kHelixFirstStep = 0.01;
// A secant's zero is taken only this far from where it began (a share of it), and a secant
// only with a slope within this factor of the one before: a pole between the points bends the
// curve far more, and then the root search brackets the zero instead.
inline constexpr double kHelixReach = 0.05;
inline constexpr double kHelixSlopeFactor = 2.0;

} // namespace brevan::check
