// SPDX-License-Identifier: GPL-3.0-or-later
// The coil-position study's own decisions on made-up points: which positions it works, where
// it looks closer, which it names, what it says and which point a click on the picture takes.
#include "fullwave/coil_position_study.h"
#include "hand_made_report.h"
#include "report/advice.h"
#include "report/study_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brevan::check {
namespace {

// A found position: its efficiency (0..1) and the widths of its bands around 7.05 MHz (MHz; 0:
// no band).
StudyPoint point(double b, double efficiency, double band, double matched, double uh = 10) {
    StudyPoint p;
    p.coilDistance = b;
    p.outcome = StudyOutcome::Found;
    p.inductance = uh * 1e-6;
    p.efficiency = efficiency;
    if (band > 0) {
        p.band = {7.05 - band / 2, 7.05 + band / 2};
    }
    if (matched > 0) {
        p.matchedBand = {7.05 - matched / 2, 7.05 + matched / 2};
    }
    return p;
}

TEST(StudyPositions, FromTheFeedToFourFifthsWithTheUsersBAmongThem) {
    struct Row {
        double length;
        double users;
        std::size_t count;
    };
    const Row rows[] = {
        {15, 3.3, 10}, // between two grid positions: one more
        {15, 3, 9},    // on a grid position: takes its place
        {24, 6, 9},    // on a grid position (as the binary sum lands): takes its place
        {24, 6.05, 9}, // next to one: takes its place
        {7, 3.0, 10},  // beyond the grid's reach
        {12, 0.0, 9},  // at the feed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.users);
        const std::vector<double> b = studyPositions(row.length, row.users);
        EXPECT_EQ(b.size(), row.count);
        EXPECT_TRUE(std::is_sorted(b.begin(), b.end()));
        EXPECT_EQ(b.front(), 0.0);
        EXPECT_NEAR(std::max(b.back(), 0.4 * row.length), std::max(row.users, 0.4 * row.length),
                    1e-12);
        EXPECT_NE(std::find(b.begin(), b.end(), row.users), b.end());
    }
}

TEST(StudyPositions, LooksCloserOnlyWhereNeighboursDiffer) {
    struct Row {
        const char* name;
        std::vector<StudyPoint> points;
        std::vector<double> between;
    };
    StudyPoint missing = point(6, 0, 0, 0);
    missing.outcome = StudyOutcome::NoCoilReaches;
    StudyPoint missingToo = missing;
    missingToo.coilDistance = 7;
    const Row rows[] = {
        {"flat", {point(0, 0.90, 0.1, 0.1), point(1, 0.91, 0.1, 0.1)}, {}},
        {"efficiency_jumps", {point(0, 0.85, 0.1, 0.1), point(1, 0.90, 0.1, 0.1)}, {0.5}},
        {"band_narrows", {point(0, 0.90, 0.1, 0.2), point(1, 0.90, 0.1, 0.1)}, {0.5}},
        {"coil_grows", {point(0, 0.9, 0.1, 0.1, 10), point(1, 0.9, 0.1, 0.1, 16)}, {0.5}},
        {"too_close", {point(0, 0.85, 0.1, 0.1), point(0.2, 0.90, 0.1, 0.1)}, {}},
        {"edge_of_reach", {point(5, 0.9, 0.1, 0.1), missing}, {5.5}},
        {"beyond_reach", {missing, missingToo}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(positionsBetween(row.points, 15.0), row.between);
    }
}

TEST(StudyBest, NamesTheMostEfficientAndTheWidestBand) {
    CoilPositionStudy study;
    study.points = {point(0, 0.85, 0, 0.09), point(1.5, 0.90, 0.12, 0.10),
                    point(3, 0.92, 0.11, 0.10), point(4.5, 0.91, 0.08, 0.08)};
    nameBest(study);
    EXPECT_EQ(study.mostEfficient, 2U);
    EXPECT_EQ(study.widestBand, 1U);
    EXPECT_TRUE(study.widestOnFifty);

    // With no band on 50 ohm anywhere, the widest with an ideal match.
    for (StudyPoint& p : study.points) {
        p.band = {};
    }
    nameBest(study);
    EXPECT_EQ(study.widestBand, 1U); // 0.10 first reached at 1.5 m
    EXPECT_FALSE(study.widestOnFifty);
}

TEST(StudySentences, SayHowFarTheUsersBIsFromTheBest) {
    struct Row {
        const char* name;
        std::vector<StudyPoint> points;
        std::size_t users;
        std::vector<const char*> said;
    };
    StudyPoint none = point(6, 0, 0, 0);
    none.outcome = StudyOutcome::NoCoilReaches;
    const Row rows[] = {
        {"users_is_best",
         {point(0, 0.85, 0.05, 0.09), point(3, 0.92, 0.12, 0.10)},
         1,
         {"your B = 3.00 m gives the highest efficiency, 92.0 %",
          "the coils where you have them, B = 3.00 m"}},
        {"further_out",
         {point(0, 0.85, 0.12, 0.09), point(3, 0.92, 0.08, 0.10)},
         0,
         {"The highest efficiency, 92.0 %, is with the coils at B = 3.00 m, 3.00 m further out "
          "than your 0.00 m, where it is 85.0 %",
          "the coils where you have them"}},
        {"close_enough",
         {point(1, 0.918, 0.119, 0.10), point(3, 0.92, 0.12, 0.10)},
         0,
         {"The highest efficiency, 92.0 %, is with the coils at B = 3.00 m, 2.00 m further out "
          "than your 1.00 m; yours comes within 0.2 percentage points of it.",
          "The widest 2:1 band on 50 ohm, 120 kHz, is with the coils at B = 3.00 m, 2.00 m "
          "further out than your 1.00 m; yours, 119 kHz, comes within 1 % of it."}},
        {"no_band_on_50",
         {point(0, 0.85, 0, 0.09), point(3, 0.92, 0, 0.10)},
         0,
         {"No position gives a 2:1 band on 50 ohm without a match; with an ideal match the widest, "
          "100 kHz, is with the coils at B = 3.00 m"}},
        {"no_coil_far_out",
         {point(0, 0.85, 0.1, 0.09), point(3, 0.92, 0.1, 0.10), none},
         1,
         {"With the coils at B = 6.00 m the study found no coil"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CheckReport report = test::typicalReport();
        CoilPositionStudy study;
        study.points = row.points;
        study.users = row.users;
        nameBest(study);
        report.study = study;
        const std::string said = test::joined(studySentences(report));
        for (const char* words : row.said) {
            EXPECT_NE(said.find(words), std::string::npos) << words << "\n" << said;
        }
    }
}

TEST(StudyPlot, AClickTakesTheNearestMarkerWithinReach) {
    CheckReport report = test::typicalReport();
    CoilPositionStudy study;
    study.points = {point(0, 0.85, 0.1, 0.1), point(2, 0.9, 0, 0.1), point(6, 0.9, 0.1, 0.1)};
    nameBest(study);
    report.study = study;
    const StudyPicture picture = studyPicture(report);
    const std::string svg = studyPlotSvg(report);
    // The markers as drawn: efficiency at each position, the band where there is one.
    std::vector<double> xs;
    for (std::size_t at = svg.find("<circle cx=\""); at != std::string::npos;
         at = svg.find("<circle cx=\"", at + 1)) {
        xs.push_back(std::stod(svg.substr(at + 12)));
    }
    ASSERT_EQ(xs.size(), 5U);
    EXPECT_FALSE(picture.band[1]);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(xs[i], picture.xs[i], 0.01);
        EXPECT_EQ(studyPointAt(picture, xs[i] + 4), i);
    }
    EXPECT_FALSE(studyPointAt(picture, (xs[1] + xs[2]) / 2));
    EXPECT_LT(xs[2], StudyPicture::kRight + 1e-9);
    EXPECT_EQ(picture.usersX, picture.xs[0]);
}

} // namespace
} // namespace brevan::check
