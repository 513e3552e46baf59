// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/turns_search.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

std::optional<TurnsMatch> closestWholeTurns(const TurnsQuantity& quantity, double target,
                                            int mostTurns) {
    const int last = std::max(mostTurns, 1);
    const auto below = [&](int turns) {
        const std::optional<double> value = quantity(turns);
        return value && *value < target;
    };
    const std::optional<double> one = quantity(1);
    if (!one) {
        return std::nullopt;
    }
    if (!(*one < target)) {
        return TurnsMatch{1, *one};
    }
    // Double up to a bracket, then bisect to the last whole number of turns below the target.
    int low = 1;
    int high = std::min(2, last);
    while (high < last && below(high)) {
        low = high;
        high = high > last / 2 ? last : 2 * high;
    }
    if (below(high)) {
        return TurnsMatch{high, *quantity(high)};
    }
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        (below(mid) ? low : high) = mid;
    }
    const double lowValue = *quantity(low);
    const std::optional<double> highValue = quantity(high);
    if (highValue && std::fabs(*highValue - target) <= std::fabs(target - lowValue)) {
        return TurnsMatch{high, *highValue};
    }
    return TurnsMatch{low, lowValue};
}

} // namespace brevan::check
