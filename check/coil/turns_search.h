// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one search for a whole number of turns: every "how many turns give X" in the check goes
// through it, whatever X is (the inductance as wound, the inductance the antenna sees at its
// frequency, ...).

#include <functional>
#include <optional>

namespace brevan::check {

inline constexpr int kMostTurns = 100000;

// A quantity that rises with the number of turns. No value (nullopt) means the coil has left
// the range where the quantity means anything (for the apparent inductance: it has become a
// capacitor); the search reads that as "above any target", so such turns are never chosen.
using TurnsQuantity = std::function<std::optional<double>(int turns)>;

struct TurnsMatch {
    int turns = 1;
    double value = 0.0; // the quantity at `turns`
};

// The whole number of turns in [1, mostTurns] whose quantity comes closest to `target`: the
// turns either side of where the quantity crosses the target, whichever is nearer. A target
// beyond reach gives mostTurns (or the last turns with a value). Nothing when even one turn has
// no value. The quantity is evaluated about 2 log2(turns) times; where it is not monotone the
// answer is one of the crossings, not necessarily the nearest.
std::optional<TurnsMatch> closestWholeTurns(const TurnsQuantity& quantity, double target,
                                            int mostTurns = kMostTurns);

} // namespace brevan::check
