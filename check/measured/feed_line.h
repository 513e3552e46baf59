// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A known feed line between the analyser and the antenna, taken back out of a sweep.
//
// Most builders sweep at the station end of the coax. A line of characteristic impedance Z0 and
// propagation constant gamma = alpha + j beta turns the antenna's reflection coefficient (on Z0)
// G_L into G_in = G_L exp(-2 gamma l) at its other end, which is the familiar
//   Z_in = Z0 (Z_L + Z0 tanh(gamma l)) / (Z0 + Z_L tanh(gamma l))
// written without the tangent's poles; de-embedding runs it backwards. beta = 2 pi f / (vf c);
// the loss, given in dB per 100 m at the design frequency, grows with the square root of the
// frequency as a coax's conductor loss does.
//
// A lossless line only turns G around the Smith chart: |G|, and so the SWR and where its minimum
// lies, stay; the reactance and its zero move. An SWR-only sweep has no phase to turn back, so it
// can only be corrected for the line's loss (|G_L| = |G_in| exp(2 alpha l)).

#include "measured/measured_sweep.h"

#include <complex>
#include <cstddef>

namespace brevan::check {

struct FeedLine {
    double lengthM = 0.0;
    double velocityFactor = 0.66;
    double lossDbPer100mAtF = 0.0;
    double designMHz = 0.0;
    double characteristicOhm = 50.0;
};

// The propagation constant (1/m) at a frequency: real part the loss in neper per metre.
// Requires velocityFactor > 0 and designMHz > 0.
std::complex<double> propagationConstant(const FeedLine& line, double frequencyMHz);

struct DeembeddedSweep {
    MeasuredSweep atFeed;
    // An SWR-only sweep: only the line's loss was taken out, its phase being unknown.
    bool lossOnly = false;
    // Points where the line's loss is more than the measured return loss (|G_L| would reach 1):
    // their SWR is set infinite. It says the loss given is too high, or the sweep is noisy there.
    std::size_t pointsBeyondLoss = 0;
};

// The sweep as it would be measured at the feed point. The impedance sweep's reference
// resistance is kept; an SWR-only sweep's SWR is taken to be on the line's impedance.
DeembeddedSweep deembedFeedLine(const MeasuredSweep& atStation, const FeedLine& line);

// The other way: what the analyser at the station end sees of a sweep at the feed point.
MeasuredSweep throughFeedLine(const MeasuredSweep& atFeed, const FeedLine& line);

// ... and of one impedance at the feed point, at a frequency.
std::complex<double> throughFeedLine(std::complex<double> atFeed, const FeedLine& line,
                                     double frequencyMHz);

} // namespace brevan::check
