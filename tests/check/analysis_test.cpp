// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/reactance_curve.h"
#include "analysis/root_search.h"
#include "coil/physics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

using Curve = std::function<std::complex<double>(double)>; // MHz -> ohm

double omega(double fMHz) {
    return 2.0 * kPi * fMHz * 1e6;
}

// Resistance r in series with L and C resonating at f0 with a reactance slope of quality q.
Curve seriesRlc(double f0, double q, double r) {
    const double l = q * r / omega(f0);
    const double c = 1.0 / (omega(f0) * omega(f0) * l);
    return [=](double f) { return std::complex<double>(r, omega(f) * l - 1.0 / (omega(f) * c)); };
}

// A parallel resonance (a pole of the reactance) at fp, of quality q and resistance r there.
Curve parallelRlc(double fp, double q, double r) {
    const double l = r / (q * omega(fp));
    const double c = 1.0 / (omega(fp) * omega(fp) * l);
    return [=](double f) {
        return 1.0 / std::complex<double>(1.0 / r, omega(f) * c - 1.0 / (omega(f) * l));
    };
}

Curve inSeries(Curve a, Curve b) {
    return [=](double f) { return a(f) + b(f); };
}

// A linear reactance through zero exactly at f0, so a sample there is exactly resonant.
Curve linearReactance(double f0) {
    return [=](double f) { return std::complex<double>(50.0, 400.0 * (f - f0)); };
}

Samples sample(const Curve& z, const std::vector<double>& frequencies) {
    Samples s;
    for (const double f : frequencies) {
        s.push_back(FeedPoint{f, z(f)});
    }
    return s;
}

// A sweep in 2 % steps from `low` up to `high`.
Samples sweep(const Curve& z, double low, double high) {
    std::vector<double> f;
    for (double x = low; x <= high; x *= 1.02) {
        f.push_back(x);
    }
    return sample(z, f);
}

constexpr double kPoleWidth = 0.002;
constexpr double kFineWidth = 0.0005;

// Feeds the curve's values at every frequency `refinement` asks for; the rounds it took, or
// nothing when it never settles.
std::optional<int> resolve(Samples& s, const Curve& z, double target, double reference) {
    for (int round = 0; round < 40; ++round) {
        const auto asked = refinement(s, target, reference, kPoleWidth, kFineWidth);
        if (asked.empty()) {
            return round;
        }
        addSamples(s, sample(z, asked));
    }
    return std::nullopt;
}

// The true zero of the curve's reactance rising between low and high (a generator's own).
double trueZero(const Curve& z, double low, double high) {
    for (int i = 0; i < 200; ++i) {
        const double middle = 0.5 * (low + high);
        (z(middle).imag() < 0.0 ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

// Both 2:1 edges of a series RLC on `reference` where they exist: |Gamma| = 1/3 gives
// 8 X^2 = (R + Z0)^2 - 9 (R - Z0)^2, and w L - 1/(w C) = X is a quadratic in w.
std::optional<std::pair<double, double>> rlcEdges(double f0, double q, double r, double z0) {
    const double x2 = ((r + z0) * (r + z0) - 9.0 * (r - z0) * (r - z0)) / 8.0;
    if (x2 <= 0.0) {
        return std::nullopt;
    }
    const double l = q * r / omega(f0);
    const double c = 1.0 / (omega(f0) * omega(f0) * l);
    const auto edge = [&](double x) {
        return (x + std::sqrt(x * x + 4.0 * l / c)) / (2.0 * l) / (2.0 * kPi * 1e6);
    };
    return std::make_pair(edge(-std::sqrt(x2)), edge(std::sqrt(x2)));
}

TEST(NearestResonance, FindsTheTrueSeriesResonanceOnceRefined) {
    // A series resonance at 7.0524 MHz hidden with a pole at 7.12 MHz between the 2 % samples
    // 7.030 and 7.171 (the reactance only seems to fall there), and one more above the pole.
    const Curve hidden = inSeries(seriesRlc(7.14, 100.0, 50.0), parallelRlc(7.12, 100.0, 300.0));
    const Curve twoCrossings =
        inSeries(seriesRlc(7.10, 20.0, 50.0), parallelRlc(7.12, 100.0, 300.0));
    struct Row {
        std::string name;
        Curve z;
        double low, high, target;
        std::optional<std::pair<double, double>> zeroIn; // where the true resonance lies
    };
    const std::vector<Row> rows = {
        {"series RLC, Q 1000", seriesRlc(7.05, 1000.0, 50.0), 6.0, 8.0, 7.0, {{7.04, 7.06}}},
        {"series RLC, Q 5", seriesRlc(7.05, 5.0, 50.0), 6.0, 8.0, 7.5, {{7.04, 7.06}}},
        {"beside a pole",
         inSeries(seriesRlc(6.8, 10.0, 50.0), parallelRlc(7.4, 50.0, 2000.0)),
         6.0,
         8.0,
         6.8,
         {{6.0, 7.35}}},
        {"two crossings, the lower nearer", twoCrossings, 6.0, 8.0, 6.8, {{6.85, 7.03}}},
        {"two crossings, the upper nearer", twoCrossings, 6.0, 8.0, 7.4, {{7.17, 7.32}}},
        {"hidden beside a pole", hidden, 6.0, 8.2, 7.05, {{7.03, 7.11}}},
        {"no crossing", seriesRlc(20.0, 10.0, 50.0), 6.0, 8.0, 7.0, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Samples s = sweep(row.z, row.low, row.high);
        ASSERT_TRUE(resolve(s, row.z, row.target, 50.0).has_value()) << "refinement never settles";
        const auto found = nearestResonance(s, row.target);
        ASSERT_EQ(found.has_value(), row.zeroIn.has_value());
        if (found) {
            const double truth = trueZero(row.z, row.zeroIn->first, row.zeroIn->second);
            EXPECT_NEAR(found->frequencyMHz, truth, 1e-4 * truth);
            EXPECT_LE(s[found->interval].frequencyMHz, found->frequencyMHz);
            EXPECT_GE(s[found->interval + 1].frequencyMHz, found->frequencyMHz);
        }
    }
}

TEST(NearestResonance, AResonanceOnASampleIsThatSample) {
    std::vector<double> f;
    for (int i = 60; i <= 80; ++i) {
        f.push_back(i / 10.0); // 7.0 exactly among them
    }
    const auto found = nearestResonance(sample(linearReactance(7.0), f), 7.3);
    ASSERT_TRUE(found.has_value());
    EXPECT_NEAR(found->frequencyMHz, 7.0, 1e-9);
}

TEST(BandAround, MatchesTheAnalyticEdgesOfASeriesRlc) {
    struct Row {
        std::string name;
        double q, r, low, high;
        bool edgesInside;
    };
    const std::vector<Row> rows = {
        {"Q 5 matched", 5.0, 50.0, 6.0, 8.2, true},
        {"Q 1000 matched", 1000.0, 50.0, 6.0, 8.2, true},
        {"Q 20 at 40 ohm", 20.0, 40.0, 6.0, 8.2, true},
        {"Q 5, edges beyond the sweep", 5.0, 50.0, 6.9, 7.2, false},
        {"12.5 ohm: SWR 4 at best", 1000.0, 12.5, 6.0, 8.2, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Curve z = seriesRlc(7.05, row.q, row.r);
        Samples s = sweep(z, row.low, row.high);
        ASSERT_TRUE(resolve(s, z, 7.05, 50.0).has_value());
        const auto r = nearestResonance(s, 7.05);
        ASSERT_TRUE(r.has_value());
        const Band band = bandAround(s, *r, 50.0);
        const auto edges = rlcEdges(7.05, row.q, row.r, 50.0);
        EXPECT_EQ(band.belowTwo, edges.has_value());
        ASSERT_EQ(band.lowerMHz.has_value(), row.edgesInside);
        ASSERT_EQ(band.upperMHz.has_value(), row.edgesInside);
        if (row.edgesInside) {
            EXPECT_NEAR(*band.lowerMHz, edges->first, 1e-6 * edges->first);
            EXPECT_NEAR(*band.upperMHz, edges->second, 1e-6 * edges->second);
            EXPECT_NEAR(swr(z(*band.lowerMHz), 50.0), 2.0, 1e-4);
        }
    }
}

using Function = std::function<double(double)>;

// Runs a search to its end, evaluating v wherever it asks.
RootSearch runSearch(const Function& v, double start, double guess, double limit, double tolerance,
                     int maxProbes = 24) {
    RootSearch s = startRootSearch(start, v(start), guess, limit, tolerance);
    s.maxProbes = maxProbes;
    for (int i = 0; i < 1000 && s.next; ++i) {
        const double x = *s.next;
        takeProbe(s, x, v(x));
    }
    return s;
}

TEST(RootSearch, FindsTheZeroNearestTheStartOnItsSideNeverAPole) {
    const Function cubic = [](double x) { return x * x * x + x - 3.0; };
    const Function tan = [](double x) { return std::tan(x); };
    const Function line = [](double x) { return x - 2.0; };
    struct Row {
        std::string name;
        Function v;
        double start, guess, limit, tolerance;
        SearchState state;
        double root;
    };
    const std::vector<Row> rows = {
        {"rising cubic", cubic, 0.0, 0.5, 10.0, 1e-6, SearchState::Converged, 1.2134116627},
        {"guess beyond the root", cubic, 0.0, 5.0, 10.0, 1e-6, SearchState::Converged,
         1.2134116627},
        {"guess beyond a pole", tan, -1.0, 2.0, 10.0, 1e-6, SearchState::Converged, 0.0},
        {"from above zero past a pole", tan, 0.5, 2.0, 10.0, 1e-6, SearchState::Converged, kPi},
        {"downward past a pole", tan, 1.0, -2.0, -10.0, 1e-6, SearchState::Converged, 0.0},
        {"guess on the wrong side", tan, -0.01, -3.0, 10.0, 1e-6, SearchState::Converged, 0.0},
        {"root exactly at the guess", line, 0.0, 2.0, 10.0, 1e-6, SearchState::Converged, 2.0},
        {"no zero up to the limit", line, -10.0, -9.0, 1.5, 1e-6, SearchState::OutOfRange, 1.5},
        {"budget too small", cubic, 0.0, 5.0, 10.0, 1e-12, SearchState::NotConverged, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RootSearch s = runSearch(row.v, row.start, row.guess, row.limit, row.tolerance,
                                       row.state == SearchState::NotConverged ? 6 : 24);
        EXPECT_EQ(s.state, row.state);
        EXPECT_FALSE(s.next.has_value());
        EXPECT_LE(s.probes.size(), 24u);
        if (row.state != SearchState::NotConverged) {
            EXPECT_NEAR(s.root, row.root, row.tolerance);
        }
    }
}

// Made-up reactances beside a coil near its own resonance, where every fall is finite: a lossy
// resonance whose peak stays below zero hides no crossing, one whose peak rises above zero
// hides the rising crossing before it, and a model cut afresh for each length jumps by a few
// ohms where its counts change. Each search must end, and end right, within the budget; with
// every fall split to the tolerance, as they once were, the first ran out of tries.
TEST(RootSearch, FiniteFallsBesideAPoleEndTheSearchWithinItsBudget) {
    // -3 ohm of background and a lossy parallel resonance at x = 2 of half-width g.
    const auto lossy = [](double g) {
        return Function(
            [g](double x) { return -3.0 - (x - 2.0) / ((x - 2.0) * (x - 2.0) + g * g); });
    };
    // The rising zero of lossy(0.01): 3u^2 + u + 3g^2 = 0, the root farther from the pole.
    const double risingZero = 2.0 + (-1.0 - std::sqrt(1.0 - 36.0 * 0.01 * 0.01)) / 6.0;
    // Two segmentations alternating every centimetre, 10 ohm apart, none near zero.
    const Function staircase = [](double x) {
        return -725.0 - 10.0 * (static_cast<long>(std::floor(x * 100.0)) % 2 != 0) + 2.0 * x;
    };
    // A lossless pole 5 cm above the zero at 0: wider than the fall width, so it is found.
    const Function nearPole = [](double x) { return x / (0.05 - x); };
    struct Row {
        std::string name;
        Function v;
        double start, guess, limit;
        SearchState state;
        double root;
    };
    const std::vector<Row> rows = {
        {"a lossy peak below zero", lossy(0.2), 0.0, 0.5, 10.0, SearchState::OutOfRange, 10.0},
        {"a lossy peak above zero", lossy(0.01), 0.0, 0.5, 10.0, SearchState::Converged,
         risingZero},
        {"the same, guessed beyond its pole", lossy(0.01), 0.0, 3.0, 10.0, SearchState::Converged,
         risingZero},
        {"jumps of a model cut afresh, inward", staircase, 0.0, -0.3, -0.6, SearchState::OutOfRange,
         -0.6},
        {"jumps of a model cut afresh, outward", staircase, 0.0, 0.3, 1.2, SearchState::OutOfRange,
         1.2},
        {"a lossless pole just above the zero", nearPole, -1.0, 2.0, 10.0, SearchState::Converged,
         0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RootSearch s =
            startRootSearch(row.start, row.v(row.start), row.guess, row.limit, 1e-4, 0.01);
        for (int i = 0; i < 1000 && s.next; ++i) {
            const double x = *s.next;
            takeProbe(s, x, row.v(x));
        }
        EXPECT_EQ(s.state, row.state);
        EXPECT_LE(s.probes.size(), static_cast<std::size_t>(s.maxProbes));
        EXPECT_NEAR(s.root, row.root, 1e-4);
    }
}

TEST(RootSearch, ConvergingOnTheLastAllowedProbeCounts) {
    const Function cubic = [](double x) { return x * x * x + x - 3.0; };
    const RootSearch free = runSearch(cubic, 0.0, 5.0, 10.0, 1e-9, 1000);
    ASSERT_EQ(free.state, SearchState::Converged);
    const int used = static_cast<int>(free.probes.size());
    EXPECT_EQ(runSearch(cubic, 0.0, 5.0, 10.0, 1e-9, used).state, SearchState::Converged);
    EXPECT_EQ(runSearch(cubic, 0.0, 5.0, 10.0, 1e-9, used - 1).state, SearchState::NotConverged);
}

// Tries at whole centimetres, each off the target by its resonance less F (MHz); a model cut
// afresh at each length jumps a little where its counts change.
TEST(ChooseTrim, SettlesOnABracketOfNeighboursAndNeverSwings) {
    struct Case {
        const char* what;
        std::vector<TrimTry> tries;
        std::optional<int> settled;
        std::optional<int> next;
    };
    const std::vector<Case> cases = {
        {"one try, off: nothing to settle on", {{-16, 0.06}}, {}, {}},
        {"one try within the closeness", {{-16, 0.004}}, -16, {}},
        {"neighbours across F: the nearer", {{-16, 0.06}, {-15, -0.09}}, -16, {}},
        {"in either order", {{-15, -0.03}, {-16, 0.06}}, -15, {}},
        {"a wide bracket is split by false position", {{-20, 0.4}, {-10, -0.1}}, {}, -12},
        {"never onto its own ends", {{-20, 0.011}, {-18, -10.0}}, {}, -19},
        {"both on one side: another search must say", {{-16, 0.06}, {-15, 0.02}}, {}, {}},
        {"the bracket nearest F among jumps",
         {{-20, 0.5}, {-19, -0.3}, {-17, 0.05}, {-16, -0.04}},
         -16,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TrimChoice choice = chooseTrim(c.tries, 0.005);
        EXPECT_EQ(choice.settled, c.settled);
        EXPECT_EQ(choice.next, c.next);
    }
}

} // namespace
} // namespace brevan::check

namespace brevan::check {
namespace {

// The picture's curve between sparse samples: a dip whose bottom falls between two samples
// shows its true depth, on a plain resonance and beside a pole, where straight lines between
// the samples' SWRs would draw it shallower and V-shaped.
TEST(SmoothSwrCurve, ADipBetweenSamplesKeepsItsDepth) {
    struct Case {
        const char* name;
        Curve z;
        bool missedBySamples; // the samples alone draw the dip shallower
    };
    const Case cases[] = {
        {"series RLC, 45 ohm", seriesRlc(7.05, 200, 45), true},
        {"beside a pole", inSeries(seriesRlc(7.05, 200, 45), parallelRlc(7.3, 30, 2000)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> f;
        for (double x = 6.9813; x < 7.13; x += 0.021) {
            f.push_back(x); // 7.05 lies a third of the way between two samples
        }
        const Samples s = sample(c.z, f);
        double sampled = 1e9;
        for (const FeedPoint& p : s) {
            sampled = std::min(sampled, swr(p.impedance, 50));
        }
        double drawn = 1e9;
        for (const auto& [mhz, value] : smoothSwrCurve(s, 0.001, 50)) {
            EXPECT_NEAR(value / swr(c.z(mhz), 50), 1.0, 0.01) << mhz;
            drawn = std::min(drawn, value);
        }
        double truth = 1e9;
        for (double x = f.front(); x <= f.back(); x += 1e-4) {
            truth = std::min(truth, swr(c.z(x), 50));
        }
        EXPECT_NEAR(drawn / truth, 1.0, 0.005);
        if (c.missedBySamples) {
            EXPECT_GT(sampled / truth, 1.05);
        }
    }
}

} // namespace
} // namespace brevan::check
