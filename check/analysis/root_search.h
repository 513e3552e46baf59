// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The search for the value x (a tip change, a coil's inductance) at which a quantity v(x) that
// rises with x between its poles (the reactance at a fixed frequency, as the antenna grows
// electrically longer) crosses zero: the crossing nearest the start on one side of it.
//
// The search keeps every probe. Two neighbouring probes going from - to + hold a zero between
// them; two probes where v falls hold a pole, with possibly a zero before it, and are split
// first. So a step that lands beyond a pole is never taken for progress. It is a state machine
// with no engine of its own: the caller asks `next`, evaluates v there, and calls `take`.
//
// A fall need not be a pole. A lossy antenna's reactance turns over smoothly where a lossless
// one would pass through a pole, and a model cut afresh for a new length jumps a little where
// its segment counts change. Neither hides a zero unless v climbs through it within the fall,
// which a lossless pole always does and a finite turnover may not. So a fall whose two sides
// keep one sign is split only down to `fallWidth`, coarser than the tolerance: beside a coil
// near its own resonance the reactance is all such falls, and narrowing each to the tolerance
// spent the whole budget without ever finding a crossing. And where falls are finite, a run of
// falling pairs is one turnover, split only at the end where a zero could hide. A zero closer
// than `fallWidth` to a lossless pole may be passed over: no antenna is built that near one.

#include <optional>
#include <utility>
#include <vector>

namespace brevan::check {

enum class SearchState {
    Running,
    Converged,   // a zero is bracketed within the tolerance
    OutOfRange,  // no zero between the start and the limit
    NotConverged // the tries ran out first
};

struct RootSearch {
    double start = 0.0;
    double limit = 0.0;     // the farthest x the search may go, on the side it searches
    double tolerance = 0.0; // in x
    double fallWidth = 0.0; // in x: a same-signed fall this narrow hides no zero (>= tolerance)
    double firstStep = 0.0; // signed: the side the search goes to
    int maxProbes = 40;
    std::vector<std::pair<double, double>> probes; // x, v(x), in ascending x
    std::optional<double> next;
    SearchState state = SearchState::Running;
    double root = 0.0;
    double lastWidth = 0.0; // the bracket's width at the previous step
};

// A search from x = start, where v = `valueAtStart`, toward `limit`, trying `firstGuess` first.
// `fallWidth`: see above; 0 takes the tolerance, which splits every fall to the end.
RootSearch startRootSearch(double start, double valueAtStart, double firstGuess, double limit,
                           double tolerance, double fallWidth = 0.0);

void takeProbe(RootSearch& search, double x, double value);

// The trim in whole steps (centimetres) over whole antennas analysed afresh at each length. Each
// length's model is segmented for that length, so the answer moves in small jumps as the counts
// change, and a search that iterates can swing between two lengths for ever; tries that bracket
// the target do not.
struct TrimTry {
    int steps = 0;    // the tip change, in whole steps
    double off = 0.0; // its resonance less the target: falls as the tips grow
};

struct TrimChoice {
    std::optional<int> settled; // the tries settle on this one
    std::optional<int> next;    // else this one is worth analysing; neither: none is
};

// From the tries (any order): settled on one within `close` of the target, or on the nearer of
// two neighbouring steps that bracket it; else the step false position picks inside the nearest
// wider bracket; else (no bracket) nothing, for another search to propose.
TrimChoice chooseTrim(std::vector<TrimTry> tries, double close);

} // namespace brevan::check
