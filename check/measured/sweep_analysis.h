// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a measured sweep shows: where the antenna resonates, its resistance there, the SWR at the
// design frequency and the 2:1 band, interpolated between the sweep's points, with a warning
// wherever the sweep stops short of what it is asked.

#include "measured/measured_sweep.h"

#include <optional>
#include <vector>

namespace brevan::check {

enum class SweepWarning {
    ResonanceNotSpanned, // no rising zero of the reactance, or the SWR minimum at an end point
    LowerEdgeNotSpanned, // the SWR is still below 2 at the sweep's lowest frequency
    UpperEdgeNotSpanned, // ... at its highest
    DesignOutsideSweep   // the design frequency lies outside the sweep: no SWR there
};

struct SweepAnalysis {
    // The series resonance nearest the design frequency: the reactance rising through zero, or,
    // from an SWR-only sweep, the SWR minimum (then `resonanceIsSwrMinimum`).
    std::optional<double> resonanceMHz;
    bool resonanceIsSwrMinimum = false;
    std::optional<double> resistanceOhm; // at the resonance; impedance sweeps only

    // The SWR at the reactance's zero (impedance sweeps): much above the lowest SWR when the
    // sweep was taken through a line that moved the zero.
    std::optional<double> resonanceSwr;

    // The lowest SWR of the sweep and where, between points; on an end point when the sweep
    // does not reach the dip (then `swrMinimumSpanned` is false).
    double swrMinimumMHz = 0.0;
    double minimumSwr = 0.0;
    bool swrMinimumSpanned = false;

    std::optional<double> swrAtDesign;
    // The 2:1 band around the SWR minimum; an edge is missing where the SWR has not risen to 2
    // by the sweep's end. `belowTwo` is false when the lowest SWR is 2 or more: no band at all.
    std::optional<double> bandLowerMHz;
    std::optional<double> bandUpperMHz;
    bool belowTwo = false;

    std::vector<SweepWarning> warnings;
};

// `systemOhm` is what the SWR of an impedance sweep is taken on (the feed line's); an SWR-only
// sweep's SWR is as the analyser measured it. A sweep of fewer than two points shows nothing:
// every warning but the band's.
SweepAnalysis analyseSweep(const MeasuredSweep& sweep, double designMHz, double systemOhm = 50.0);

bool hasWarning(const SweepAnalysis& analysis, SweepWarning warning);

} // namespace brevan::check
