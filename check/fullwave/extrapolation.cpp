// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/extrapolation.h"

#include "portable_maths.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

double twoLevelLimit(double r1, double r2) {
    return r2 + (r2 - r1) / (portable::pow(2.0, kConvergenceOrder) - 1.0);
}

} // namespace

Extrapolated twoLevels(double r1, double r2) {
    const double limit = twoLevelLimit(r1, r2);
    return {limit, kOrderSpread * std::abs(r2 - r1) / limit};
}

Extrapolated twoLevelsWithoutOrder(double r1, double r2) {
    const double limit = twoLevelLimit(r1, r2);
    return {limit, std::abs(r2 - r1) / limit};
}

double nextLevel(double r1, double r2) {
    return r2 + (r2 - r1) / portable::pow(2.0, kConvergenceOrder);
}

bool wantsThirdLevel(double r1, double r2) {
    return twoLevels(r1, r2).uncertainty > kThirdLevelAbove;
}

Extrapolated threeLevels(double r1, double r2, double r3) {
    const double d1 = r2 - r1;
    const double d2 = r3 - r2;
    if (d1 * d2 <= 0.0 || std::abs(d2) >= std::abs(d1)) {
        // Not converging yet: nothing to extrapolate; the levels' whole spread is what is known.
        const double limit = r3;
        return {limit, std::max(std::abs(r1 - r3), std::abs(r2 - r3)) / limit};
    }
    const double order = portable::log2(d1 / d2);
    const auto rest = [d2](double p) { return d2 / (portable::pow(2.0, std::max(p, 0.1)) - 1.0); };
    if (order < kSlowestExtrapolated) {
        // Too slow to trust the extrapolation: the limit lies between the finest level and
        // where the order points.
        const double limit = r3 + rest(order) / 2.0;
        return {limit, std::abs(rest(order)) / 2.0 / limit};
    }
    if (order < kConvergenceOrder) {
        // Slower than NEC-2 usually converges, the levels are short of their asymptotic range
        // and the next ones converge faster (a short wire beyond the coils): the finest level's
        // side widens from the extrapolation at the faster order towards the finest level
        // itself, which it reaches at kSlowestExtrapolated, so that the range joins both
        // neighbouring rules.
        const double share =
            (order - kSlowestExtrapolated) / (kConvergenceOrder - kSlowestExtrapolated);
        const double slow = rest(order - kObservedOrderSpread * share);
        const double fast = share * rest(order + kObservedOrderSpread);
        const double limit = r3 + (slow + fast) / 2.0;
        return {limit, std::abs(slow - fast) / 2.0 / limit};
    }
    const double limit = r3 + rest(order);
    return {limit, std::max(std::abs(rest(order - kObservedOrderSpread) -
                                     rest(order + kObservedOrderSpread)) /
                                2.0,
                            kOrderSpread * std::abs(d2)) /
                       limit};
}

namespace {

// The limit of r(n) = limit + a n^-2 + b n^-p through the three helix levels.
double chordLimit(const double (&r)[3], double p) {
    double m[3][3];
    double v[3];
    for (int i = 0; i < 3; ++i) {
        const double n = kHelixLevels[i];
        m[i][0] = 1.0;
        m[i][1] = 1.0 / (n * n);
        m[i][2] = portable::pow(n, -p);
        v[i] = r[i];
    }
    // Gaussian elimination of the 3 x 3 system; the levels keep it well away from singular.
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            const double q = m[j][i] / m[i][i];
            for (int k = i; k < 3; ++k) {
                m[j][k] -= q * m[i][k];
            }
            v[j] -= q * v[i];
        }
    }
    const double b = v[2] / m[2][2];
    const double a = (v[1] - m[1][2] * b) / m[1][1];
    return (v[0] - m[0][1] * a - m[0][2] * b) / m[0][0];
}

} // namespace

Extrapolated helixChordLimit(double r4, double r6, double r8) {
    const double r[3] = {r4, r6, r8};
    const double limit = chordLimit(r, 3.0);
    return {limit, std::abs(chordLimit(r, 4.0) - limit) / limit};
}

} // namespace brevan::check
