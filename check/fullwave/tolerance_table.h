// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tolerance table as plain data: what may differ between the antenna as checked and as
// made, and how far each difference moves the resonance and the SWR at F (tolerance.h finds
// the figures with the engine; report/ words them).

#include "nec/nec_deck.h"

#include <array>
#include <complex>
#include <functional>
#include <optional>
#include <vector>

namespace brevan::check {

// What may differ between the antenna as checked and as made, in the table's order.
enum class Tolerance {
    Turns,           // one turn more or less, at the same pitch
    Tips,            // each tip 1 cm longer or shorter
    WindingLength,   // the winding 1 mm longer or shorter, the same turns (spaced coils)
    SelfCapacitance, // the coil's self-capacitance 10 % more or less
    CoilQ,           // the coil's Q 10 % more or less
    Height,          // the antenna 1 m higher or lower (over ground)
};
inline constexpr int kTolerances = 6;
inline constexpr std::array<Tolerance, kTolerances> kAllTolerances{
    Tolerance::Turns,           Tolerance::Tips,  Tolerance::WindingLength,
    Tolerance::SelfCapacitance, Tolerance::CoilQ, Tolerance::Height};

inline constexpr double kTipChange = 0.01;         // m, each tip
inline constexpr double kWindingChange = 0.001;    // m, the winding's length
inline constexpr double kCapacitanceChange = 0.10; // relative
inline constexpr double kQChange = 0.10;           // relative
inline constexpr double kHeightChange = 1.0;       // m

// The coil with one property changed, as the coil model gives it. `more`: one turn more, the
// winding longer, 10 % more capacitance or Q. Nothing where the change does not apply to this
// coil (no turns to count, a close-wound coil cannot be wound shorter).
using ChangedCoil =
    std::function<std::optional<std::function<std::complex<double>(double frequencyHz)>>(
        Tolerance which, bool more)>;

// One side of a row: the antenna with the change made.
struct ToleranceMove {
    double resonanceKHz = 0.0; // signed move of the resonance
    double swr = 0.0;          // on 50 ohm at F, of the changed antenna
};

struct ToleranceRow {
    Tolerance which = Tolerance::Turns;
    bool applies = false;
    std::optional<ToleranceMove> more; // nothing: this side cannot be modelled (or made)
    std::optional<ToleranceMove> less;
    // That side moves the resonance beyond the check's window, 30 % either way: no figure, but
    // more than any that is given.
    bool moreBeyond = false;
    bool lessBeyond = false;
};

struct ToleranceTable {
    bool ofTrimmed = false;         // the moves of the antenna as built and trimmed, else as built
    double resonanceMHz = 0.0;      // of that antenna, as the same procedure places it
    double swr = 0.0;               // at F, of that antenna
    SegmentCounts counts;           // the working segmentation the moves were found on
    std::vector<ToleranceRow> rows; // one per Tolerance, in the enum's order
    std::optional<Tolerance> mattersMost; // the row that moves the resonance furthest
};

// The larger of a row's two resonance moves, kHz (0 when neither side was modelled).
double largestMove(const ToleranceRow& row);

// Whether a side of the row moves the resonance beyond the check's window.
bool movesBeyond(const ToleranceRow& row);

// The row that moves the resonance furthest (one that moves it beyond the window first);
// nothing when no row moves it at all.
std::optional<Tolerance> mattersMost(const std::vector<ToleranceRow>& rows);

} // namespace brevan::check
