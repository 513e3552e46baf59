// SPDX-License-Identifier: GPL-3.0-or-later
#include "band_plan.h"

#include <gtest/gtest.h>

#include <string>

using brevan::faces::bandChoiceAt;
using brevan::faces::bandChoices;

// Where the regions' edges differ, the picker offers each set once.
struct BandRow {
    const char* band;
    int entries;
    double lowestCentre;
};

class BandEntries : public ::testing::TestWithParam<BandRow> {};

TEST_P(BandEntries, OnePerDistinctSetOfEdges) {
    const BandRow row = GetParam();
    int entries = 0;
    double lowest = 1e9;
    for (const auto& choice : bandChoices()) {
        if (choice.label.rfind(std::string(row.band) + ",", 0) == 0 ||
            choice.label.rfind(std::string(row.band) + ":", 0) == 0) {
            ++entries;
            lowest = std::min(lowest, choice.centreMHz);
        }
    }
    EXPECT_EQ(entries, row.entries);
    EXPECT_DOUBLE_EQ(lowest, row.lowestCentre);
}

INSTANTIATE_TEST_SUITE_P(Iaru, BandEntries,
                         ::testing::Values(BandRow{"160 m", 2, 1.9}, BandRow{"80 m", 3, 3.65},
                                           BandRow{"60 m", 1, 5.359}, BandRow{"40 m", 2, 7.1},
                                           BandRow{"30 m", 1, 10.125}, BandRow{"20 m", 1, 14.175},
                                           BandRow{"17 m", 1, 18.118}, BandRow{"15 m", 1, 21.225},
                                           BandRow{"12 m", 1, 24.94}, BandRow{"10 m", 1, 28.85}));

TEST(BandChoices, EachCentreLiesInsideItsEdgesAndFindsItsOwnEntry) {
    const auto choices = bandChoices();
    ASSERT_EQ(choices.size(), 14u);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        SCOPED_TRACE(choices[i].label);
        EXPECT_GT(choices[i].centreMHz, choices[i].edges.lowMHz);
        EXPECT_LT(choices[i].centreMHz, choices[i].edges.highMHz);
        EXPECT_EQ(bandChoiceAt(choices, choices[i].centreMHz), static_cast<int>(i));
    }
}

TEST(BandChoices, LabelsNameTheRegionsWhereTheyDiffer) {
    const auto choices = bandChoices();
    EXPECT_EQ(choices[0].label, "160 m, Region 1: 1.810 to 2.000 MHz");
    EXPECT_EQ(choices[1].label, "160 m, Regions 2 and 3: 1.800 to 2.000 MHz");
    EXPECT_EQ(choices[5].label, "60 m: 5.3515 to 5.3665 MHz");
    EXPECT_EQ(bandChoiceAt(choices, 7.05), -1); // typed, not a band's centre
}
