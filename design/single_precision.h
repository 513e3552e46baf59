// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <limits>

namespace brevan {

// Narrows a double to binary32. A value beyond the binary32 range becomes an infinity of its
// sign instead of an undefined conversion, so it compares as greater than any limit.
inline float toSingle(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isnan(value)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (value > kMax) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -kMax) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

} // namespace brevan
