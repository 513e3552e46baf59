// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// NEC-2's limit of a resonance from the resonances it gives at two or three segmentations of
// one antenna, each level with every segment of the one before halved. Plain numbers in, the
// limit and its uncertainty out: which frequencies the engine is asked for, and when, is the
// analysis's business (antenna_analysis.h).
//
//   r1, r2 --twoLevels--> limit at the order 0.75, spread of the orders 0.6..0.9
//   r1, r2, r3 --threeLevels--> limit at the order the three show, or bounds where they show none

namespace brevan::check {

// NEC-2's resonance of a wire with lumped loads approaches its limit as (segments)^-0.75: solved
// for designs from 160 m to 10 m at 30 to 1300 segments. Two levels, the second with every
// segment halved, extrapolate to the limit; the spread of the order between 0.6 and 0.9 is taken
// as the extrapolation's uncertainty.
inline constexpr double kConvergenceOrder = 0.75;
inline constexpr double kOrderSpread = 0.39; // (1/(2^0.6 - 1) - 1/(2^0.9 - 1)) / 2
// Above this spread of the two-level extrapolation (what the report would show beside a
// resonance) the order 0.75 is not taken on trust: the resonance is located once more at four
// times the working segments and the order the three show is used. Short antennas and coils
// near the tips, where the short wire beyond them and the coil come near a series resonance of
// their own, converge much slower (orders of 0.25 to 0.5 were seen).
inline constexpr double kThirdLevelAbove = 0.0005;
// The order the three levels show is known to about this much either way: the even deck of
// the convergence test, on the same antenna, shows orders up to a quarter apart from the
// check's levels (1.02 against 0.78 at 5.37 MHz), and further levels of one segmentation were
// seen to speed up (0.9, 1.4, 2.0 on a 28.5 MHz design).
inline constexpr double kObservedOrderSpread = 0.25;
// Below this order the levels are not yet converging as a power of the segments (a fourth
// level was seen to move by as much as the third).
inline constexpr double kSlowestExtrapolated = 0.5;

// A limit in MHz and its uncertainty as a share of it.
struct Extrapolated {
    double limitMHz = 0.0;
    double uncertainty = 0.0;
};

// The working level's resonance r1 and the finer level's r2, at the order 0.75.
Extrapolated twoLevels(double r1, double r2);

// The same limit with the whole difference of the two levels as its uncertainty: for when a
// third level was wanted but could not be had.
Extrapolated twoLevelsWithoutOrder(double r1, double r2);

// Where the level of twice r2's segments lies at the order 0.75: where its search begins.
double nextLevel(double r1, double r2);

// Whether the two levels' spread asks for a third level.
bool wantsThirdLevel(double r1, double r2);

// The limit from three levels, by the order they show.
Extrapolated threeLevels(double r1, double r2, double r3);

// NEC-2's helix (helix_deck.h) at so few segments a turn is not yet converging as the square of
// the chord alone. Three levels of 4, 6 and 8 segments a turn, fitted with the chord's square
// and cube, came within 0.11 % of the limit of 12, 16 and 24 segments a turn on nine antennas
// from 160 to 40 m, built and trimmed (the square alone of 6 and 8: 0.33 % to 0.70 % high; the
// square and the fourth power: 0.12 % to 0.33 % high, the square and the power 2.5: 0.05 % to
// 0.16 % low). The uncertainty is how far the square and the fourth power put it instead.
inline constexpr int kHelixLevels[3] = {4, 6, 8}; // segments a turn
Extrapolated helixChordLimit(double r4, double r6, double r8);

} // namespace brevan::check
