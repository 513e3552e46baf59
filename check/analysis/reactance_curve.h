// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pure functions over an antenna's feed-point samples (ascending frequency): where it resonates,
// its 2:1 band, and where the samples are too sparse to say.
//
// Between its poles the reactance of a passive antenna rises with frequency. A sign change from
// - to + between two samples is therefore a series resonance; a fall between two samples means a
// pole (a parallel resonance) lies between them, and beside a pole a series resonance can hide
// between two samples. The sweep is refined there until nothing can hide.

#include "nec/nec_output.h"

#include <complex>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace brevan::check {

using Samples = std::vector<FeedPoint>; // ascending frequency

double swr(std::complex<double> impedance, double reference);

// A series resonance: the reactance rising through zero between samples `interval` and
// `interval + 1`.
struct Resonance {
    double frequencyMHz = 0.0;
    std::size_t interval = 0;
};

// The series resonance nearest `targetMHz`, if the samples show one.
std::optional<Resonance> nearestResonance(const Samples& samples, double targetMHz);

// The impedance at `frequencyMHz` (within the samples' span), interpolated by a local cubic that
// never reaches across a pole.
std::complex<double> impedanceAt(const Samples& samples, double frequencyMHz);

// The 2:1 band on `reference` ohm around a resonance; an edge is missing where the SWR does not
// rise to 2 before the samples or the resonance's own branch end. `belowTwo` is false when the
// resistance at resonance keeps the SWR at or above 2 anywhere near it.
struct Band {
    std::optional<double> lowerMHz;
    std::optional<double> upperMHz;
    bool belowTwo = false;
};
Band bandAround(const Samples& samples, const Resonance& resonance, double reference);

// What the samples still need, as frequencies to add: every interval over which the reactance
// falls (a pole inside) until it is narrower than `poleWidthMHz`, the resonance nearest the
// target and the 2:1 band's edges until their intervals are narrower than `fineWidthMHz`.
// Empty: the curve is resolved.
std::vector<double> refinement(const Samples& samples, double targetMHz, double reference,
                               double poleWidthMHz, double fineWidthMHz);

// The SWR on `reference` ohm drawn smoothly along the samples, as (MHz, SWR): at each sample
// and at points between them no farther apart than `stepMHz`, from the impedance as impedanceAt
// interpolates it (the figures the band's edges come from), so that a dip between two samples
// shows its rounded bottom rather than the V of straight lines between their SWRs.
std::vector<std::pair<double, double>> smoothSwrCurve(const Samples& samples, double stepMHz,
                                                      double reference);

// Merges new samples into ascending order, dropping repeated frequencies.
void addSamples(Samples& samples, const std::vector<FeedPoint>& points);

} // namespace brevan::check
