// SPDX-License-Identifier: GPL-3.0-or-later
// Taking a known feed line back out of a sweep: the textbook line's known answers, the round
// trip through lines with and without loss, and what a line does and does not move.

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

constexpr double kLightMPerS = 299792458.0;

MeasuredSweep impedanceSweep(const std::vector<double>& frequencies) {
    MeasuredSweep s;
    for (const double f : frequencies) {
        FeedPoint p;
        p.frequencyMHz = f;
        p.impedance = madeUpImpedance(f);
        s.impedance.push_back(p);
    }
    return s;
}

// What the analyser sees through the line of the made-up antenna at f.
std::complex<double> throughLine(const FeedLine& line, double f) {
    return throughFeedLine(impedanceSweep({f}), line).impedance.front().impedance;
}

double wavelengthInLine(const FeedLine& line, double fMHz) {
    return line.velocityFactor * kLightMPerS / (fMHz * 1e6);
}

TEST(FeedLine, TransformsAsTheTextbookLine) {
    // Quarter and half wave at the resonance, lossless: Z0^2 / Z and Z again.
    FeedLine line{0.0, 0.66, 0.0, kResonanceMHz, 50.0};
    const auto load = madeUpImpedance(kResonanceMHz);
    line.lengthM = wavelengthInLine(line, kResonanceMHz) / 4.0;
    const auto quarter = throughLine(line, kResonanceMHz);
    EXPECT_LT(std::abs(quarter - 2500.0 / load), 1e-9);
    line.lengthM *= 2.0;
    EXPECT_LT(std::abs(throughLine(line, kResonanceMHz) - load), 1e-9);
    // An eighth wave, where the turn's direction shows: Z0 (Z + j Z0) / (Z0 + j Z).
    const std::complex<double> j(0.0, 1.0);
    line.lengthM /= 4.0;
    EXPECT_LT(
        std::abs(throughLine(line, kResonanceMHz) - 50.0 * (load + 50.0 * j) / (50.0 + j * load)),
        1e-9);
}

TEST(FeedLine, LossScalesWithTheRootOfFrequency) {
    // 50 m of 2 dB/100 m at F: 1 dB each way at F, 2 dB each way at 4 F, on a short's
    // reflection.
    const FeedLine line{50.0, 0.8, 2.0, 7.0, 50.0};
    for (const auto& [f, oneWayDb] : {std::pair{7.0, 1.0}, std::pair{28.0, 2.0}}) {
        MeasuredSweep shorted;
        FeedPoint p;
        p.frequencyMHz = f;
        p.impedance = 1e-12;
        shorted.impedance = {p};
        const auto z = throughFeedLine(shorted, line).impedance.front().impedance;
        const double returnLossDb = -20.0 * std::log10(std::abs((z - 50.0) / (z + 50.0)));
        EXPECT_NEAR(returnLossDb, 2.0 * oneWayDb, 1e-9) << f;
    }
}

struct LineRow {
    const char* tag;
    FeedLine line;
};

class ThroughAndBack : public testing::TestWithParam<LineRow> {};

TEST_P(ThroughAndBack, RecoversTheFeedPointImpedance) {
    const auto atFeed = impedanceSweep(evenFrequencies(6.8, 7.3, 51));
    const auto back = deembedFeedLine(throughFeedLine(atFeed, GetParam().line), GetParam().line);
    EXPECT_FALSE(back.lossOnly);
    ASSERT_EQ(back.atFeed.impedance.size(), atFeed.impedance.size());
    for (std::size_t i = 0; i < atFeed.impedance.size(); ++i) {
        const auto want = atFeed.impedance[i].impedance;
        EXPECT_LT(std::abs(back.atFeed.impedance[i].impedance - want), 1e-8 * std::abs(want))
            << atFeed.impedance[i].frequencyMHz;
    }
}

TEST_P(ThroughAndBack, OfAnSwrOnlySweepTakesOutOnlyTheLoss) {
    // The analyser at the station sees the line's loss and the antenna's mismatch; with the
    // phase unknown only the loss comes back out, and that is all the feed's SWR needs.
    // The SWR is the line's own, as it is where the analyser and the line are both 50 ohm.
    const FeedLine& line = GetParam().line;
    const double z0 = line.characteristicOhm;
    const auto atFeed = impedanceSweep(evenFrequencies(6.8, 7.3, 51));
    MeasuredSweep atStation;
    atStation.kind = SweepKind::SwrOnly;
    atStation.referenceOhm = z0;
    atStation.swr = swrCurve(throughFeedLine(atFeed, line), z0);
    const auto back = deembedFeedLine(atStation, line);
    EXPECT_TRUE(back.lossOnly);
    EXPECT_EQ(back.pointsBeyondLoss, 0u);
    const auto want = swrCurve(atFeed, z0);
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(back.atFeed.swr[i].swr, want[i].swr, 1e-8 * want[i].swr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ThroughAndBack,
    testing::Values(LineRow{"lossless_10m", {10.0, 0.66, 0.0, kResonanceMHz, 50.0}},
                    LineRow{"lossy_30m_foam", {30.0, 0.82, 2.0, kResonanceMHz, 50.0}},
                    LineRow{"lossy_60m_thin", {60.0, 0.66, 3.5, kResonanceMHz, 50.0}},
                    LineRow{"lossy_75_ohm", {18.0, 0.78, 1.5, kResonanceMHz, 75.0}}),
    [](const testing::TestParamInfo<LineRow>& row) { return std::string(row.param.tag); });

TEST(LosslessLine, MovesTheReactanceZeroButNotTheSwrMinimum) {
    const FeedLine line{3.0, 0.66, 0.0, kResonanceMHz, 50.0};
    const auto atFeed = impedanceSweep(evenFrequencies(6.8, 7.3, 101));
    const SweepAnalysis feed = analyseSweep(atFeed, kResonanceMHz);
    const SweepAnalysis station = analyseSweep(throughFeedLine(atFeed, line), kResonanceMHz);
    ASSERT_TRUE(feed.resonanceMHz && station.resonanceMHz);
    EXPECT_GT(std::abs(*station.resonanceMHz - *feed.resonanceMHz), 0.02);
    EXPECT_NEAR(station.swrMinimumMHz, feed.swrMinimumMHz, 1e-5);
    EXPECT_NEAR(station.minimumSwr, feed.minimumSwr, 1e-6);
    ASSERT_TRUE(feed.bandLowerMHz && station.bandLowerMHz);
    EXPECT_NEAR(*station.bandLowerMHz, *feed.bandLowerMHz, 1e-5);
}

TEST(LossyLine, LowersTheSwrSeenAtTheStation) {
    const FeedLine line{40.0, 0.66, 5.0, kResonanceMHz, 50.0};
    const auto atFeed = impedanceSweep(evenFrequencies(6.3, 7.8, 301));
    const SweepAnalysis feed = analyseSweep(atFeed, kResonanceMHz);
    const SweepAnalysis station = analyseSweep(throughFeedLine(atFeed, line), kResonanceMHz);
    ASSERT_TRUE(feed.bandLowerMHz && station.bandLowerMHz);
    EXPECT_LT(*station.bandLowerMHz, *feed.bandLowerMHz); // the band looks wider than it is
    EXPECT_LT(*station.swrAtDesign, *feed.swrAtDesign);
}

TEST(SwrOnlySweep, WithMoreLossGivenThanMeasuredIsFlagged) {
    MeasuredSweep s;
    s.kind = SweepKind::SwrOnly;
    s.swr = {{7.0, 3.0}, {7.1, 1.1}};
    const auto back = deembedFeedLine(s, FeedLine{100.0, 0.66, 10.0, 7.0, 50.0});
    EXPECT_EQ(back.pointsBeyondLoss, 1u);
    EXPECT_TRUE(std::isinf(back.atFeed.swr[0].swr));
    EXPECT_TRUE(std::isfinite(back.atFeed.swr[1].swr));
}

} // namespace
} // namespace brevan::check
