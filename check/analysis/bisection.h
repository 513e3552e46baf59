// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Halving a bracket: the one root finder behind the band edges and resonances of the model's
// samples and of a measured sweep.

#include <cmath>

namespace brevan::check {

// The root of g between low and high, where g changes sign: the bracket is halved until it is
// narrower than `relative` of high, at most `steps` times.
template <typename Function>
double bisect(Function g, double low, double high, double relative, int steps) {
    const bool negativeAtLow = g(low) < 0.0;
    for (int i = 0; i < steps && high - low > relative * std::abs(high); ++i) {
        const double middle = 0.5 * (low + high);
        if ((g(middle) < 0.0) == negativeAtLow) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return 0.5 * (low + high);
}

} // namespace brevan::check
