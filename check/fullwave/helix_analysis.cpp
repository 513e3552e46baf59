// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/helix_analysis.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

HelixResonanceTask::HelixResonanceTask(const HelixAntenna& antenna, double startMHz,
                                       double lowestMHz, double highestMHz)
    : m_antenna(antenna), m_start(startMHz), m_lowest(lowestMHz), m_highest(highestMHz) {}

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
    switch (m_phase) {
    case Phase::Start: {
        // Which side the zero lies is known only from the start's reactance: both neighbours
        // are asked with it, so the first round already brackets a zero close by.
        const int level = kHelixLevels[0];
        return {at(level, m_start), at(level, m_start * (1.0 - kHelixFirstStep)),
                at(level, m_start * (1.0 + kHelixFirstStep))};
    }
    case Phase::Search: return {at(kHelixLevels[0], *m_search.next)};
    case Phase::Levels: {
        const double f = m_search.root;
        return {at(kHelixLevels[1], f), at(kHelixLevels[2], f)};
    }
    case Phase::Refine: {
        std::vector<Request> out;
        for (int i = 0; i < 3; ++i) {
            out.push_back(at(kHelixLevels[i], m_levels[i].estimate));
        }
        return out;
    }
    case Phase::Done: break;
    }
    return {};
}

void HelixResonanceTask::take(const std::vector<EngineRun>& runs) {
    switch (m_phase) {
    case Phase::Start: {
        // The reactance rises with frequency between its poles: below the zero it is negative.
        const double x = helixFeedReactance(runs.at(0));
        const bool up = x < 0.0;
        const double guess = m_start * (1.0 + (up ? kHelixFirstStep : -kHelixFirstStep));
        m_search = startRootSearch(m_start, x, guess, up ? m_highest : m_lowest,
                                   kHelixTolerance * m_start);
        // The neighbour on the search's side is its first probe, unless the window's edge
        // stands closer than it: then the search asks for the edge itself.
        if (m_search.next && std::abs(*m_search.next - guess) <= 1e-12 * guess) {
            takeProbe(m_search, *m_search.next, helixFeedReactance(runs.at(up ? 2 : 1)));
        }
        break;
    }
    case Phase::Search: takeProbe(m_search, *m_search.next, helixFeedReactance(runs.at(0))); break;
    case Phase::Levels: {
        // Level 4's slope and its zero's last point from the probes that bracket it.
        const double f = m_search.root;
        const auto& probes = m_search.probes;
        const auto above = std::lower_bound(
            probes.begin() + 1, probes.end(), f,
            [](const std::pair<double, double>& p, double x) { return p.first < x; });
        if (probes.size() < 2 || above == probes.end()) {
            m_phase = Phase::Done;
            return;
        }
        const auto& [lowF, lowX] = *(above - 1);
        const auto& [highF, highX] = *above;
        m_slope = (highX - lowX) / (highF - lowF);
        if (!(m_slope > 0.0)) {
            m_phase = Phase::Done; // a pole this close: no level's zero can be read off it
            return;
        }
        m_levels[0] = {highF, highX, f};
        const double xs[2] = {helixFeedReactance(runs.at(0)), helixFeedReactance(runs.at(1))};
        for (int i = 1; i < 3; ++i) {
            m_levels[i] = {f, xs[i - 1], f - xs[i - 1] / m_slope};
        }
        m_phase = Phase::Refine;
        return;
    }
    case Phase::Refine: {
        double moved = 0.0;
        for (int i = 0; i < 3; ++i) {
            LevelZero& z = m_levels[i];
            const double x = helixFeedReactance(runs.at(static_cast<std::size_t>(i)));
            // Level 4's slope where the two points coincide or a pole lies between them.
            const double apart = z.estimate - z.at;
            const double secant = apart != 0.0 ? (x - z.x) / apart : 0.0;
            const double next = z.estimate - x / (secant > 0.0 ? secant : m_slope);
            moved = std::max(moved, std::abs(next - z.estimate));
            z = {z.estimate, x, next};
        }
        if (moved < kHelixRefined * m_search.root || ++m_refinements >= kHelixRefinements) {
            finish();
        }
        return;
    }
    case Phase::Done: return;
    }
    if (m_search.state == SearchState::Running && m_search.next) {
        m_phase = Phase::Search;
    } else {
        m_phase = m_search.state == SearchState::Converged ? Phase::Levels : Phase::Done;
    }
}

void HelixResonanceTask::finish() {
    m_resonance = helixChordLimit(m_levels[0].estimate, m_levels[1].estimate, m_levels[2].estimate);
    m_phase = Phase::Done;
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
