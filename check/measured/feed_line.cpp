// SPDX-License-Identifier: GPL-3.0-or-later
#include "measured/feed_line.h"
#include "coil/physics.h"

#include "portable_maths.h"

#include <cmath>
#include <limits>

namespace brevan::check {

namespace {

constexpr double kLightMPerS = 299792458.0;
// dB to neper: a power ratio of 10 dB is a voltage ratio of ln(10)/2 neper.
const double kNeperPerDb = portable::log(10.0) / 20.0;

std::complex<double> reflection(std::complex<double> z, double z0) {
    return portable::divide(z - z0, z + z0);
}

std::complex<double> impedance(std::complex<double> gamma, double z0) {
    return portable::divide(z0 * (1.0 + gamma), 1.0 - gamma);
}

// The factor exp(2 gamma l) by which the line scales the reflection coefficient from station
// back to feed; its inverse goes the other way.
std::complex<double> roundTrip(const FeedLine& line, double frequencyMHz) {
    return portable::exp(2.0 * propagationConstant(line, frequencyMHz) * line.lengthM);
}

} // namespace

std::complex<double> propagationConstant(const FeedLine& line, double frequencyMHz) {
    const double alphaAtF = line.lossDbPer100mAtF / 100.0 * kNeperPerDb;
    const double alpha = alphaAtF * std::sqrt(frequencyMHz / line.designMHz);
    const double beta = 2.0 * kPi * frequencyMHz * 1e6 / (line.velocityFactor * kLightMPerS);
    return {alpha, beta};
}

DeembeddedSweep deembedFeedLine(const MeasuredSweep& atStation, const FeedLine& line) {
    DeembeddedSweep out;
    out.atFeed = atStation;
    const double z0 = line.characteristicOhm;
    if (atStation.kind == SweepKind::Impedance) {
        for (FeedPoint& p : out.atFeed.impedance) {
            const auto g = reflection(p.impedance, z0) * roundTrip(line, p.frequencyMHz);
            p.impedance = impedance(g, z0);
        }
        return out;
    }
    out.lossOnly = true;
    for (SwrPoint& p : out.atFeed.swr) {
        const double measured = (p.swr - 1.0) / (p.swr + 1.0);
        const double g = measured * portable::abs(roundTrip(line, p.frequencyMHz));
        if (g >= 1.0) {
            p.swr = std::numeric_limits<double>::infinity();
            ++out.pointsBeyondLoss;
        } else {
            p.swr = (1.0 + g) / (1.0 - g);
        }
    }
    return out;
}

std::complex<double> throughFeedLine(std::complex<double> atFeed, const FeedLine& line,
                                     double frequencyMHz) {
    const double z0 = line.characteristicOhm;
    return impedance(portable::divide(reflection(atFeed, z0), roundTrip(line, frequencyMHz)), z0);
}

MeasuredSweep throughFeedLine(const MeasuredSweep& atFeed, const FeedLine& line) {
    MeasuredSweep out = atFeed;
    if (out.kind == SweepKind::Impedance) {
        for (FeedPoint& p : out.impedance) {
            p.impedance = throughFeedLine(p.impedance, line, p.frequencyMHz);
        }
        return out;
    }
    for (SwrPoint& p : out.swr) {
        const double g = std::isinf(p.swr) ? 1.0 : (p.swr - 1.0) / (p.swr + 1.0);
        const double seen = g / portable::abs(roundTrip(line, p.frequencyMHz));
        p.swr = (1.0 + seen) / (1.0 - seen);
    }
    return out;
}

} // namespace brevan::check
