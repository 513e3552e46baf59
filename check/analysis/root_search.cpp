// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/root_search.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

bool onSide(const RootSearch& s, double x) {
    return s.limit >= s.start ? x >= s.start : x <= s.start;
}

// The neighbouring probes on the search's side, ordered from the start outward.
std::vector<std::pair<double, double>> sideProbes(const RootSearch& s) {
    std::vector<std::pair<double, double>> side;
    for (const auto& probe : s.probes) {
        if (onSide(s, probe.first)) {
            side.push_back(probe);
        }
    }
    if (s.limit < s.start) {
        std::reverse(side.begin(), side.end());
    }
    return side;
}

void finish(RootSearch& s, SearchState state, double root) {
    s.state = state;
    s.root = root;
    s.next.reset();
}

// The false-position point of a bracket, or its middle when false position has stopped
// shrinking it fast.
double stepInside(RootSearch& s, double low, double vLow, double high, double vHigh) {
    const double w = high - low;
    double x = low - vLow * w / (vHigh - vLow);
    if (!(x > low && x < high) || (s.lastWidth > 0.0 && w > 0.5 * s.lastWidth)) {
        x = 0.5 * (low + high);
    }
    // Never closer to an end than a tenth of the tolerance: the next probe must tell something.
    x = std::clamp(x, low + 0.1 * s.tolerance, high - 0.1 * s.tolerance);
    s.lastWidth = w;
    return x;
}

// The budget is checked only when another probe is wanted: a search that converges on its last
// allowed probe has converged.
void ask(RootSearch& s, double x) {
    if (s.probes.size() >= static_cast<std::size_t>(s.maxProbes)) {
        finish(s, SearchState::NotConverged, s.start);
        return;
    }
    s.next = x;
}

// Where falls are finite, a run of falling pairs is one turnover: a zero hides only before its
// peak (both sides below zero, so in the run's lowest pair) or after its trough (both above, in
// its highest), and the pairs inside the run need no split. `side` runs from the start outward.
bool insideFallRun(const RootSearch& s, const std::vector<std::pair<double, double>>& side,
                   std::size_t i, bool below) {
    if (s.fallWidth <= s.tolerance) {
        return false;
    }
    const bool outwardIsUp = s.limit >= s.start;
    // The pair beside this one on the side where its peak (below) or trough (above) would be.
    const bool towardStart = below == outwardIsUp;
    if (towardStart ? i == 0 : i + 2 >= side.size()) {
        return false;
    }
    const auto& a = towardStart ? side[i - 1] : side[i + 1];
    const auto& b = towardStart ? side[i] : side[i + 2];
    const bool up = b.first > a.first;
    return (up ? b.second < a.second : a.second < b.second);
}

void plan(RootSearch& s) {
    const auto side = sideProbes(s);
    for (std::size_t i = 0; i + 1 < side.size(); ++i) {
        const auto& [x0, v0] = side[i];
        const auto& [x1, v1] = side[i + 1];
        const bool ascending = x1 > x0;
        const double low = ascending ? x0 : x1;
        const double high = ascending ? x1 : x0;
        const double vLow = ascending ? v0 : v1;
        const double vHigh = ascending ? v1 : v0;
        const bool zero = vLow < 0.0 && vHigh >= 0.0;
        const bool pole = vHigh < vLow;
        // A fall from + to - is a lone pole: v rises into it from above zero and out of it
        // from below, so no zero lies beside it inside the pair.
        if ((!zero && !pole) || (pole && vLow >= 0.0 && vHigh < 0.0)) {
            continue;
        }
        if (zero && high - low <= s.tolerance) {
            finish(s, SearchState::Converged, low - vLow * (high - low) / (vHigh - vLow));
            return;
        }
        if (pole && (high - low <= std::max(s.fallWidth, s.tolerance) ||
                     insideFallRun(s, side, i, vLow < 0.0))) {
            continue; // a fall narrowed down with nothing beside it: go on past it
        }
        ask(s, zero && !pole ? stepInside(s, low, vLow, high, vHigh) : 0.5 * (low + high));
        return;
    }
    // Nothing bracketed yet: step outward, doubling, until the limit has been tried.
    const double last = side.back().first;
    if (last == s.limit) {
        finish(s, SearchState::OutOfRange, s.limit);
        return;
    }
    const double reached = std::abs(last - s.start);
    const double step = side.size() <= 1
                            ? s.firstStep
                            : std::copysign(std::max(reached, s.tolerance), s.limit - s.start);
    double x = last + step;
    if ((s.limit - x) * (s.limit - s.start) <= 0.0) {
        x = s.limit;
    }
    ask(s, x);
}

} // namespace

RootSearch startRootSearch(double start, double valueAtStart, double firstGuess, double limit,
                           double tolerance, double fallWidth) {
    RootSearch s;
    s.start = start;
    s.limit = limit;
    s.tolerance = tolerance;
    s.fallWidth = fallWidth;
    s.probes.emplace_back(start, valueAtStart);
    double step = firstGuess - start;
    if (step == 0.0 || (step > 0.0) != (limit > start)) {
        step = std::copysign(10.0 * tolerance, limit - start);
    }
    s.firstStep = step;
    if (limit == start) {
        finish(s, SearchState::OutOfRange, start);
        return s;
    }
    plan(s);
    return s;
}

void takeProbe(RootSearch& s, double x, double value) {
    const auto at = std::lower_bound(s.probes.begin(), s.probes.end(), x,
                                     [](const auto& p, double v) { return p.first < v; });
    s.probes.insert(at, {x, value});
    s.next.reset();
    plan(s);
}

TrimChoice chooseTrim(std::vector<TrimTry> tries, double close) {
    std::sort(tries.begin(), tries.end(),
              [](const TrimTry& a, const TrimTry& b) { return a.steps < b.steps; });
    TrimChoice choice;
    for (const TrimTry& t : tries) {
        if (std::abs(t.off) <= close) {
            choice.settled = t.steps;
            return choice;
        }
    }
    // The bracket nearest the try closest to the target, when several are (jumps of the model).
    std::optional<std::size_t> bracket;
    double nearest = 0.0;
    for (std::size_t i = 0; i + 1 < tries.size(); ++i) {
        const TrimTry& a = tries[i];
        const TrimTry& b = tries[i + 1];
        if ((a.off > 0.0) == (b.off > 0.0)) {
            continue;
        }
        const double gap = std::min(std::abs(a.off), std::abs(b.off));
        if (!bracket || gap < nearest) {
            bracket = i;
            nearest = gap;
        }
    }
    if (!bracket) {
        return choice;
    }
    const TrimTry& a = tries[*bracket];
    const TrimTry& b = tries[*bracket + 1];
    if (b.steps - a.steps == 1) {
        choice.settled = std::abs(a.off) <= std::abs(b.off) ? a.steps : b.steps;
        return choice;
    }
    const double at = a.steps + (b.steps - a.steps) * a.off / (a.off - b.off);
    choice.next = std::clamp(static_cast<int>(std::lround(at)), a.steps + 1, b.steps - 1);
    return choice;
}

} // namespace brevan::check
