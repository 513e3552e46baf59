// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A made-up antenna for the measured-sweep tests: a series resonance at 7.05 MHz whose
// resistance grows with frequency, roughly as a short loaded dipole's does.

#include <cmath>
#include <complex>
#include <vector>

namespace brevan::check::test {

constexpr double kResonanceMHz = 7.05;

inline std::complex<double> madeUpImpedance(double fMHz) {
    const double u = fMHz / kResonanceMHz;
    return {5.0 + 40.0 * u * u, 700.0 * (u - 1.0 / u)};
}

// Frequencies from `low` to `high` (both included) in `count` even steps.
inline std::vector<double> evenFrequencies(double low, double high, int count) {
    std::vector<double> f;
    for (int i = 0; i < count; ++i) {
        f.push_back(low + (high - low) * i / (count - 1));
    }
    return f;
}

} // namespace brevan::check::test
