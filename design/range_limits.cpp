// SPDX-License-Identifier: GPL-3.0-or-later
#include "range_limits.h"

#include "single_precision.h"

#include <cmath>

namespace brevan {
namespace {

constexpr double kLengthFrequencyProduct = 421.2; // ft x MHz: nine tenths of a half wave
constexpr double kMinLengthPerDistance = 2.6;
constexpr double kMaxDistanceShare = 0.8;
constexpr double kLowestMHz = 1;
constexpr double kHighestMHz = 30;

// A limit is a whole number of feet held in single precision. A quotient or product with no
// finite single value gives no limit, and the caller keeps the one it had.
std::optional<float> wholeFeetLimit(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const float limit = toSingle(std::floor(value));
    if (!std::isfinite(limit)) {
        return std::nullopt;
    }
    return limit;
}

} // namespace

bool frequencyOutsideHf(double freqMHz) {
    return freqMHz > kHighestMHz || freqMHz < kLowestMHz;
}

std::optional<float> maxLengthFeet(double freqMHz) {
    // A frequency that reads 0 has no length limit; dividing by it is never attempted.
    if (freqMHz == 0.0) {
        return std::nullopt;
    }
    return wholeFeetLimit(kLengthFrequencyProduct / freqMHz);
}

double minLengthFeet(double distB) {
    return distB * kMinLengthPerDistance;
}

std::optional<float> maxDistanceFeet(double lengthA) {
    return wholeFeetLimit(lengthA * kMaxDistanceShare / 2);
}

bool isAboveLimit(float value, float limit) {
    return !std::isfinite(value) || value > limit;
}

bool isBelowLimit(double value, double limit) {
    return !std::isfinite(value) || value < limit;
}

} // namespace brevan
