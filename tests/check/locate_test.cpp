// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/antenna_analysis.h"

#include <gtest/gtest.h>

#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

constexpr double kLocatedNearMHz = 3.6;

// A short loaded dipole's reactance through zero at f0, and where `poleMHz` is given a coil's
// self-resonance beside it: the reactance runs to +infinity below the pole and back from
// -infinity above it.
struct ReactanceWithPole {
    double f0 = kLocatedNearMHz;
    std::optional<double> poleMHz;

    double reactance(double f) const {
        const double u = f / f0;
        const double pole = poleMHz ? 3.0 * f0 / (*poleMHz - f) : 0.0;
        return 2000.0 * (u - 1.0 / u) + pole;
    }
    // The series resonance: where the reactance rises through zero on the branch below a pole
    // above f0, or above a pole below it.
    double zero() const {
        double low = poleMHz && *poleMHz < f0 ? *poleMHz + 1e-9 : 0.8 * f0;
        double high = poleMHz && *poleMHz > f0 ? *poleMHz - 1e-9 : 1.2 * f0;
        for (int i = 0; i < 200; ++i) {
            const double middle = 0.5 * (low + high);
            (reactance(middle) < 0.0 ? low : high) = middle;
        }
        return 0.5 * (low + high);
    }
};

// The finest level is sought where the two others foretell it: three solves a fine width apart
// in one round where the foretelling holds; where it misses, or a pole stands beside, the
// search widens from there and still lands on the zero, never on the pole.
TEST(Locate, AForetoldLevelLandsOnItsZeroInOneRoundAndAMissWidensToIt) {
    struct Row {
        std::string name;
        ReactanceWithPole curve;
        double foretold; // of the true zero
        bool isForetold;
        int mostSolves; // the wide start takes seven on a clean curve
    };
    const std::vector<Row> rows = {
        {"foretold as the levels do, within 0.011 %", {}, 1.0001, true, 3},
        {"foretold 0.5 % high", {}, 1.005, true, 12},
        {"foretold 3 % low", {}, 0.97, true, 30},
        {"a pole 0.4 % above f0, foretold on the zero",
         {kLocatedNearMHz, 1.004 * kLocatedNearMHz},
         1.0,
         true,
         9},
        {"a pole 0.3 % below f0, foretold 0.2 % below the zero",
         {kLocatedNearMHz, 0.997 * kLocatedNearMHz},
         0.998,
         true,
         13},
        {"the wide start, a pole 0.4 % above",
         {kLocatedNearMHz, 1.004 * kLocatedNearMHz},
         1.0,
         false,
         13},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const double truth = row.curve.zero();
        Locator l;
        l.foretold = row.isForetold;
        int solves = 0;
        while (const auto next = locate(l, row.foretold * truth, kLocatedNearMHz)) {
            ASSERT_FALSE(next->empty());
            Samples points;
            for (const double f : *next) {
                points.push_back(FeedPoint{f, {30.0, row.curve.reactance(f)}});
            }
            addSamples(l.samples, points);
            solves += static_cast<int>(next->size());
            ASSERT_LT(solves, 60) << "the search never ends";
        }
        ASSERT_FALSE(l.failed);
        ASSERT_TRUE(l.resonanceMHz.has_value());
        EXPECT_NEAR(*l.resonanceMHz, truth, 1e-6 * truth);
        EXPECT_LE(solves, row.mostSolves);
    }
}

} // namespace
} // namespace brevan::check
