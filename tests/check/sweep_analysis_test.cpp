// SPDX-License-Identifier: GPL-3.0-or-later
// What a sweep shows, on the made-up antenna whose answers are known: its resonance, the SWR at
// F and the 2:1 band, from impedance and from SWR-only sweeps, and the warnings when the sweep
// stops short.

#include "made_up_antenna.h"
#include "measured/feed_line.h"
#include "measured/sweep_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace brevan::check {
namespace {

using test::evenFrequencies;
using test::kResonanceMHz;
using test::madeUpImpedance;

double exactSwr(double f) {
    return swr(madeUpImpedance(f), 50.0);
}

// Where the exact curve's SWR crosses 2 between `a` and `b`.
double exactCrossing(double a, double b) {
    for (int i = 0; i < 200; ++i) {
        const double m = 0.5 * (a + b);
        ((exactSwr(a) < 2.0) == (exactSwr(m) < 2.0) ? a : b) = m;
    }
    return 0.5 * (a + b);
}

// The exact curve's SWR minimum, by a fine scan then golden steps.
double exactSwrMinimum() {
    double low = 6.9;
    double high = 7.2;
    for (int i = 0; i < 200; ++i) {
        const double a = low + (high - low) / 3.0;
        const double b = high - (high - low) / 3.0;
        (exactSwr(a) < exactSwr(b) ? high : low) = exactSwr(a) < exactSwr(b) ? b : a;
    }
    return 0.5 * (low + high);
}

MeasuredSweep impedanceSweep(double low, double high, int count) {
    MeasuredSweep s;
    for (const double f : evenFrequencies(low, high, count)) {
        FeedPoint p;
        p.frequencyMHz = f;
        p.impedance = madeUpImpedance(f);
        s.impedance.push_back(p);
    }
    return s;
}

MeasuredSweep swrSweep(double low, double high, int count) {
    MeasuredSweep s;
    s.kind = SweepKind::SwrOnly;
    for (const double f : evenFrequencies(low, high, count)) {
        s.swr.push_back(SwrPoint{f, exactSwr(f)});
    }
    return s;
}

struct SpanRow {
    const char* tag;
    double low;
    double high;
    int count;
    bool swrOnly;
    bool resonance; // expected to be found
    std::vector<SweepWarning> warnings;
};

class SweepSpan : public testing::TestWithParam<SpanRow> {};

TEST_P(SweepSpan, FindsWhatItSpansAndWarnsOfTheRest) {
    const SpanRow& row = GetParam();
    const MeasuredSweep sweep = row.swrOnly ? swrSweep(row.low, row.high, row.count)
                                            : impedanceSweep(row.low, row.high, row.count);
    const SweepAnalysis a = analyseSweep(sweep, kResonanceMHz);
    EXPECT_EQ(a.warnings, row.warnings);
    EXPECT_EQ(a.resonanceMHz.has_value(), row.resonance);
    EXPECT_EQ(a.resonanceIsSwrMinimum, row.swrOnly && row.resonance);
    EXPECT_EQ(a.resistanceOhm.has_value(), row.resonance && !row.swrOnly);
    EXPECT_EQ(a.swrAtDesign.has_value(), !hasWarning(a, SweepWarning::DesignOutsideSweep));
    // An edge is missing only with its warning, and no edge without a band.
    EXPECT_EQ(a.bandLowerMHz.has_value(),
              a.belowTwo && !hasWarning(a, SweepWarning::LowerEdgeNotSpanned));
    EXPECT_EQ(a.bandUpperMHz.has_value(),
              a.belowTwo && !hasWarning(a, SweepWarning::UpperEdgeNotSpanned));
}

INSTANTIATE_TEST_SUITE_P(
    Spans, SweepSpan,
    testing::Values(SpanRow{"impedance_all_of_it", 6.8, 7.3, 51, false, true, {}},
                    SpanRow{"swr_all_of_it", 6.8, 7.3, 51, true, true, {}},
                    SpanRow{"impedance_above_the_resonance",
                            7.15,
                            7.5,
                            36,
                            false,
                            false,
                            {SweepWarning::ResonanceNotSpanned, SweepWarning::DesignOutsideSweep,
                             SweepWarning::LowerEdgeNotSpanned}},
                    SpanRow{"swr_above_the_resonance",
                            7.15,
                            7.5,
                            36,
                            true,
                            false,
                            {SweepWarning::ResonanceNotSpanned, SweepWarning::DesignOutsideSweep,
                             SweepWarning::LowerEdgeNotSpanned}},
                    SpanRow{"impedance_far_above",
                            7.4,
                            7.6,
                            21,
                            false,
                            false,
                            {SweepWarning::ResonanceNotSpanned, SweepWarning::DesignOutsideSweep}},
                    SpanRow{"impedance_inside_the_band",
                            7.0,
                            7.1,
                            21,
                            false,
                            true,
                            {SweepWarning::LowerEdgeNotSpanned, SweepWarning::UpperEdgeNotSpanned}},
                    SpanRow{"swr_inside_the_band",
                            7.0,
                            7.1,
                            21,
                            true,
                            true,
                            {SweepWarning::LowerEdgeNotSpanned, SweepWarning::UpperEdgeNotSpanned}},
                    SpanRow{"swr_band_edge_cut_off_above",
                            6.8,
                            7.08,
                            29,
                            true,
                            true,
                            {SweepWarning::UpperEdgeNotSpanned}}),
    [](const testing::TestParamInfo<SpanRow>& row) { return std::string(row.param.tag); });

TEST(ImpedanceSweep, ReadsResonanceResistanceSwrAndBandBetweenPoints) {
    // 10 kHz steps that straddle both the resonance and the band edges.
    const SweepAnalysis a = analyseSweep(impedanceSweep(6.803, 7.303, 51), 7.1);
    ASSERT_TRUE(a.resonanceMHz && a.bandLowerMHz && a.bandUpperMHz && a.swrAtDesign);
    EXPECT_NEAR(*a.resonanceMHz, kResonanceMHz, 1e-6);
    EXPECT_NEAR(*a.resistanceOhm, 45.0, 1e-4);
    EXPECT_NEAR(*a.swrAtDesign, exactSwr(7.1), 1e-4);
    EXPECT_NEAR(*a.bandLowerMHz, exactCrossing(6.6, kResonanceMHz), 1e-4);
    EXPECT_NEAR(*a.bandUpperMHz, exactCrossing(kResonanceMHz, 7.5), 1e-4);
    EXPECT_NEAR(a.swrMinimumMHz, exactSwrMinimum(), 1e-4);
    EXPECT_NEAR(a.minimumSwr, exactSwr(exactSwrMinimum()), 1e-4);
}

TEST(SwrOnlySweep, TakesTheMinimumForTheResonanceAndSaysSo) {
    const SweepAnalysis a = analyseSweep(swrSweep(6.803, 7.303, 101), 7.1);
    ASSERT_TRUE(a.resonanceMHz && a.bandLowerMHz && a.bandUpperMHz && a.swrAtDesign);
    EXPECT_TRUE(a.resonanceIsSwrMinimum);
    EXPECT_FALSE(a.resistanceOhm);
    // Straight lines between 5 kHz points: the dip to a step's fraction, the edges closer.
    EXPECT_NEAR(*a.resonanceMHz, exactSwrMinimum(), 2e-3);
    EXPECT_NEAR(*a.swrAtDesign, exactSwr(7.1), 1e-2);
    EXPECT_NEAR(*a.bandLowerMHz, exactCrossing(6.6, kResonanceMHz), 5e-4);
    EXPECT_NEAR(*a.bandUpperMHz, exactCrossing(kResonanceMHz, 7.5), 5e-4);
}

// Real sweeps taken through coax: the line turns the impedance, so the reactance's zero nearest
// F moves to where the SWR is 2 or more (or goes), while the SWR curve stays the feed point's.
// The band is the feed point's all the same.
struct SweepLineRow {
    const char* tag;
    double coax;      // m, lossless, velocity factor 0.66
    bool zeroRemains; // a rising zero is still in the sweep
};

class ThroughCoax : public testing::TestWithParam<SweepLineRow> {};

TEST_P(ThroughCoax, TheBandIsTheFeedPointsWhereverTheZeroMoves) {
    const SweepLineRow& row = GetParam();
    const MeasuredSweep atFeed = impedanceSweep(6.803, 7.303, 101);
    const FeedLine coax{row.coax, 0.66, 0.0, kResonanceMHz, 50.0};
    const SweepAnalysis a = analyseSweep(throughFeedLine(atFeed, coax), kResonanceMHz);
    ASSERT_EQ(a.resonanceMHz.has_value(), row.zeroRemains);
    if (a.resonanceMHz) {
        // The shape the report used to call "no band": the zero where the SWR is 2 or more.
        ASSERT_TRUE(a.resonanceSwr);
        EXPECT_GE(*a.resonanceSwr, 2.0);
        EXPECT_GT(std::abs(*a.resonanceMHz - kResonanceMHz), 0.1);
    }
    // The turned impedance interpolates a little less closely between the 5 kHz points.
    EXPECT_TRUE(a.swrMinimumSpanned);
    EXPECT_NEAR(a.swrMinimumMHz, exactSwrMinimum(), 5e-4);
    EXPECT_NEAR(a.minimumSwr, exactSwr(exactSwrMinimum()), 5e-4);
    ASSERT_TRUE(a.belowTwo && a.bandLowerMHz && a.bandUpperMHz);
    EXPECT_NEAR(*a.bandLowerMHz, exactCrossing(6.6, kResonanceMHz), 2e-4);
    EXPECT_NEAR(*a.bandUpperMHz, exactCrossing(kResonanceMHz, 7.5), 2e-4);
}

INSTANTIATE_TEST_SUITE_P(Lines, ThroughCoax,
                         testing::Values(SweepLineRow{"zero_moved_below", 4.0, true},
                                         SweepLineRow{"zero_gone", 6.0, false},
                                         SweepLineRow{"zero_moved_above", 9.5, true}),
                         [](const testing::TestParamInfo<SweepLineRow>& row) {
                             return std::string(row.param.tag);
                         });

// A band that runs past an end of the sweep keeps the edge it has, and says which is missing.
TEST(BandPastTheSweep, KeepsTheEdgeItHas) {
    const SweepAnalysis a = analyseSweep(impedanceSweep(6.95, 7.3, 36), kResonanceMHz);
    EXPECT_TRUE(a.belowTwo);
    EXPECT_FALSE(a.bandLowerMHz);
    ASSERT_TRUE(a.bandUpperMHz);
    EXPECT_NEAR(*a.bandUpperMHz, exactCrossing(kResonanceMHz, 7.5), 2e-4);
    EXPECT_TRUE(hasWarning(a, SweepWarning::LowerEdgeNotSpanned));
    EXPECT_FALSE(hasWarning(a, SweepWarning::UpperEdgeNotSpanned));
}

TEST(PoorMatch, HasNoBand) {
    MeasuredSweep s = impedanceSweep(6.8, 7.3, 51);
    for (FeedPoint& p : s.impedance) {
        p.impedance += 150.0; // far from 50 ohm everywhere
    }
    const SweepAnalysis a = analyseSweep(s, kResonanceMHz);
    EXPECT_TRUE(a.resonanceMHz);
    EXPECT_FALSE(a.belowTwo);
    // The lowest SWR is still read, for the report to say it.
    EXPECT_GE(a.minimumSwr, 2.0);
    EXPECT_NEAR(a.minimumSwr, *a.resonanceSwr, 0.05);
    EXPECT_FALSE(a.bandLowerMHz || a.bandUpperMHz);
    EXPECT_TRUE(a.warnings.empty());
}

} // namespace
} // namespace brevan::check
