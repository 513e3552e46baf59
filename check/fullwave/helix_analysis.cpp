// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/helix_analysis.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

HelixResonanceTask::HelixResonanceTask(const HelixAntenna& antenna, double startMHz,
                                       double lowestMHz, double highestMHz,
                                       std::optional<HelixLevels> guide)
    : m_antenna(antenna), m_start(startMHz), m_lowest(lowestMHz), m_highest(highestMHz),
      m_guide(guide), m_phase(guide ? Phase::Guided : Phase::Start) {}

Request HelixResonanceTask::at(int segmentsPerTurn, double mhz) const {
    Request r;
    r.frequencies = {DeckFrequency{mhz, {}}};
    r.segmentation.totalSegments = 2 * helixSegments(m_antenna, segmentsPerTurn);
    r.deck = writeHelixDeck(m_antenna, segmentsPerTurn, mhz,
                            "Brevan check: the coils wound as helices, " +
                                fixed(m_antenna.length, 3) + " m tip to tip, " +
                                std::to_string(segmentsPerTurn) + " segments a turn");
    return r;
}

std::vector<Request> HelixResonanceTask::requests() {
    const int level = kHelixLevels[0];
    switch (m_phase) {
    case Phase::Start:
        // Which side the zero lies is known only from the start's reactance: both neighbours
        // are asked with it, so the first round already brackets a zero close by.
        return {at(level, m_start), at(level, m_start * (1.0 - kHelixFirstStep)),
                at(level, m_start * (1.0 + kHelixFirstStep))};
    case Phase::Guided: return {at(level, m_levels[0].solved ? m_levels[0].estimate : m_start)};
    case Phase::Search: return {at(level, *m_search.next)};
    case Phase::Refine: {
        std::vector<Request> out;
        for (int i = 0; i < 3; ++i) {
            if (!m_levels[i].settled) {
                out.push_back(at(kHelixLevels[i], m_levels[i].estimate));
            }
        }
        return out;
    }
    case Phase::Done: break;
    }
    return {};
}

void HelixResonanceTask::take(const std::vector<EngineRun>& runs) {
    switch (m_phase) {
    case Phase::Start: takeStart(runs); return;
    case Phase::Guided: takeGuided(helixFeedReactance(runs.at(0))); return;
    case Phase::Search:
        takeProbe(m_search, *m_search.next, helixFeedReactance(runs.at(0)));
        afterSearch();
        return;
    case Phase::Refine: takeRefine(runs); return;
    case Phase::Done: return;
    }
}

namespace {

bool slopesAlike(double a, double b) {
    return a > 0.0 && b > 0.0 && a <= kHelixSlopeFactor * b && b <= kHelixSlopeFactor * a;
}

} // namespace

bool HelixResonanceTask::near(double mhz, double from) const {
    return std::abs(mhz - from) <= kHelixReach * from && mhz >= m_lowest && mhz <= m_highest;
}

void HelixResonanceTask::seed(double at, double x, double zero, double slope) {
    m_zero = zero;
    m_levels[0] = {true, at, x, zero, slope, SlopeFrom::Own, false};
    for (int i = 1; i < 3; ++i) {
        m_levels[i] = {false, 0.0, 0.0, zero, slope, SlopeFrom::LevelFour, false};
    }
    m_refinements = 0;
    m_phase = Phase::Refine;
}

void HelixResonanceTask::takeStart(const std::vector<EngineRun>& runs) {
    // The reactance rises with frequency between its poles: below the zero it is negative.
    const double lowF = m_start * (1.0 - kHelixFirstStep);
    const double highF = m_start * (1.0 + kHelixFirstStep);
    const double x = helixFeedReactance(runs.at(0));
    const double xLow = helixFeedReactance(runs.at(1));
    const double xHigh = helixFeedReactance(runs.at(2));
    const bool up = x < 0.0;
    const double guess = up ? highF : lowF;
    m_search =
        startRootSearch(m_start, x, guess, up ? m_highest : m_lowest, kHelixTolerance * m_start);
    // The neighbour on the search's side is its first probe, unless the window's edge stands
    // closer than it: then the search asks for the edge itself.
    if (m_search.next && std::abs(*m_search.next - guess) <= 1e-12 * guess) {
        takeProbe(m_search, *m_search.next, up ? xHigh : xLow);
    }
    // Where the three rise alike, no pole bends them: the secant on the zero's side points at
    // it, and is checked on the next solve.
    const double slopeLow = (x - xLow) / (m_start - lowF);
    const double slopeHigh = (xHigh - x) / (highF - m_start);
    if (m_search.state != SearchState::Converged && slopesAlike(slopeLow, slopeHigh)) {
        const double slope = up ? slopeHigh : slopeLow;
        const double zero = guess - (up ? xHigh : xLow) / slope;
        if (near(zero, m_start)) {
            seed(guess, up ? xHigh : xLow, zero, slope);
            return;
        }
    }
    afterSearch();
}

// Level 4 first, twice: from the start by the guide's slope, then by its own secant. The finer
// levels then begin where the guide's offsets from level 4 put them.
void HelixResonanceTask::takeGuided(double x) {
    const HelixLevels& guide = *m_guide;
    LevelZero& four = m_levels[0];
    if (!four.solved) {
        const double zero = m_start - x / guide.slope[0];
        if (!(guide.slope[0] > 0.0) || !near(zero, m_start)) {
            unguided();
            return;
        }
        m_zero = zero;
        four = {true, m_start, x, zero, guide.slope[0], SlopeFrom::OtherLength, false};
        return;
    }
    if (step(0, x) != Step::Taken) {
        unguided();
        return;
    }
    for (int i = 1; i < 3; ++i) {
        LevelZero finer;
        finer.estimate = four.estimate + guide.zero[i] - guide.zero[0];
        finer.slope = guide.slope[i];
        finer.from = SlopeFrom::OtherLength;
        m_levels[i] = finer;
    }
    m_refinements = 0;
    m_phase = Phase::Refine;
}

void HelixResonanceTask::unguided() {
    m_guide.reset();
    m_levels[0] = {};
    m_phase = Phase::Start;
}

HelixResonanceTask::Step HelixResonanceTask::step(int i, double x) {
    LevelZero& z = m_levels[i];
    double slope = z.slope;
    SlopeFrom from = z.from;
    if (z.solved && z.estimate != z.at) {
        const double secant = (x - z.x) / (z.estimate - z.at);
        // Level 4's slope stands in for another level's only until that has its own: where
        // the curves bend, theirs may be half or twice it.
        if (from == SlopeFrom::LevelFour ? secant > 0.0 : slopesAlike(secant, slope)) {
            slope = secant;
            from = SlopeFrom::Own;
        } else if ((i == 0 || from == SlopeFrom::OtherLength) && !m_searched) {
            return Step::Bent; // level 4's zero or the guide's levels are in doubt
        }
    }
    const double next = z.estimate - x / slope;
    if (!near(next, m_zero)) {
        return Step::Bent;
    }
    // A move read off a slope not the level's own here is trusted only when it is a small share
    // of the one read off its own: another length's may be some per cent off (a pole nearer),
    // level 4's twice or half.
    const double share = from == SlopeFrom::Own ? 1.0 : from == SlopeFrom::OtherLength ? 0.1 : 0.01;
    const bool settled = std::abs(next - z.estimate) < share * kHelixRefined * m_zero;
    z = {true, z.estimate, x, next, slope, from, settled};
    return Step::Taken;
}

void HelixResonanceTask::takeRefine(const std::vector<EngineRun>& runs) {
    std::size_t run = 0;
    for (int i = 0; i < 3; ++i) {
        if (m_levels[i].settled) {
            continue;
        }
        const double estimate = m_levels[i].estimate;
        const double x = helixFeedReactance(runs.at(run++));
        if (step(i, x) == Step::Taken) {
            continue;
        }
        if (m_searched) {
            m_phase = Phase::Done; // the bracket held no clean zero after all
            return;
        }
        // A pole between: level 4's zero is searched for, from what its solves said.
        const LevelZero& four = m_levels[0];
        leaveSecant(i == 0 ? estimate : four.at, i == 0 ? x : four.x);
        return;
    }
    const bool settled = std::all_of(std::begin(m_levels), std::end(m_levels),
                                     [](const LevelZero& z) { return z.settled; });
    if (settled) {
        finish();
    } else if (++m_refinements >= kHelixRefinements) {
        m_phase = Phase::Done; // no figure rather than one the secants have not settled
    }
}

void HelixResonanceTask::leaveSecant(double at, double x) {
    if (m_guide) {
        unguided();
        return;
    }
    if (m_search.state == SearchState::Running) {
        takeProbe(m_search, at, x);
    }
    afterSearch();
}

void HelixResonanceTask::afterSearch() {
    if (m_search.state == SearchState::Running && m_search.next) {
        m_phase = Phase::Search;
        return;
    }
    if (m_search.state != SearchState::Converged) {
        m_phase = Phase::Done;
        return;
    }
    // Level 4's slope and its zero's last point from the probes that bracket it.
    const double f = m_search.root;
    const auto& probes = m_search.probes;
    if (probes.size() < 2) {
        m_phase = Phase::Done;
        return;
    }
    const auto above =
        std::lower_bound(probes.begin() + 1, probes.end(), f,
                         [](const std::pair<double, double>& p, double x) { return p.first < x; });
    if (above == probes.end()) {
        m_phase = Phase::Done;
        return;
    }
    const auto& [lowF, lowX] = *(above - 1);
    const auto& [highF, highX] = *above;
    const double slope = (highX - lowX) / (highF - lowF);
    if (!(slope > 0.0)) {
        m_phase = Phase::Done; // a pole this close: no level's zero can be read off it
        return;
    }
    m_searched = true;
    seed(highF, highX, f, slope);
}

void HelixResonanceTask::finish() {
    m_resonance = helixChordLimit(m_levels[0].estimate, m_levels[1].estimate, m_levels[2].estimate);
    m_phase = Phase::Done;
}

std::optional<HelixLevels> HelixResonanceTask::levels() const {
    if (!m_resonance) {
        return std::nullopt;
    }
    HelixLevels out;
    for (int i = 0; i < 3; ++i) {
        out.zero[i] = m_levels[i].estimate;
        out.slope[i] = m_levels[i].slope;
    }
    return out;
}

double helixFeedReactance(const EngineRun& run) {
    return run.points.empty() ? 0.0 : 2.0 * run.points.front().impedance.imag();
}

std::optional<double> lengthForResonance(double length1, double mhz1, double length2, double mhz2,
                                         double targetMHz) {
    if (mhz1 == mhz2 || length1 == length2) {
        return std::nullopt;
    }
    return length1 + (targetMHz - mhz1) * (length2 - length1) / (mhz2 - mhz1);
}

} // namespace brevan::check
