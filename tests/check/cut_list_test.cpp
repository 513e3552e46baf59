// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_list.h"

#include <gtest/gtest.h>

namespace {

using brevan::check::CutList;
using brevan::check::CutListInput;
using brevan::check::makeCutList;

TEST(CutList, EachHalfAddsUpToHalfTheLengthWithBToTheCoilsMiddle) {
    struct Row {
        const char* name;
        CutListInput in;
        double inner, outer, spare, toCut;
    };
    const Row rows[] = {
        // 15 m, coils at 3 m, 8.2296 mm of winding: B is measured to the coil's middle.
        {"typical", {15, 3, 0.0082296, 1.44, std::nullopt}, 2.996, 4.496, 0.09, 4.586},
        {"trim_added", {15, 3, 0.0082296, 1.44, 0.23}, 2.996, 4.496, 0.10, 4.826},
        {"trim_cut", {15, 3, 0.0082296, 1.44, -0.3}, 2.996, 4.496, 0.09, 4.286},
        // Short outer wires still get a spare worth trimming.
        {"short_tip", {2.1, 1, 0.01, 0.5, std::nullopt}, 0.995, 0.045, 0.05, 0.095},
        // B = 0: each coil starts at the feed point, so there is no inner wire and the outer
        // wire is A / 2 less the whole winding (160 m band, a 28 cm coil).
        {"coils_at_feed", {31.6, 0, 0.28, 21.0, std::nullopt}, 0.0, 15.52, 0.32, 15.84},
        {"coils_at_feed_trimmed", {31.6, 0, 0.28, 21.0, -0.5}, 0.0, 15.52, 0.31, 15.33},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CutList cut = makeCutList(row.in);
        EXPECT_DOUBLE_EQ(cut.innerWire, row.inner);
        EXPECT_DOUBLE_EQ(cut.outerWire, row.outer);
        EXPECT_DOUBLE_EQ(cut.tipSpare, row.spare);
        EXPECT_NEAR(cut.outerWireToCut, row.toCut, 1e-12);
        EXPECT_NEAR(cut.innerWire + cut.outerWire + row.in.windingLength, row.in.length / 2, 0.001);
        EXPECT_NEAR(cut.antennaWireTotal, 2 * (cut.innerWire + cut.outerWireToCut), 1e-9);
        EXPECT_NEAR(cut.coilWireEach, row.in.windingWire + 2 * brevan::check::kCoilLeadAllowance,
                    0.0005);
        EXPECT_FALSE(cut.coilReachesCentre || cut.coilReachesTip);
        EXPECT_EQ(cut.coilsAtFeed, row.in.coilDistance == 0.0);
        EXPECT_EQ(cut.tipChange, row.in.tipChange);
    }
}

TEST(CutList, ACoilThatOverrunsTheCentreOrTheTipIsFlaggedNotNegative) {
    const CutList centre = makeCutList({10, 0.02, 0.05, 3, std::nullopt});
    EXPECT_TRUE(centre.coilReachesCentre);
    EXPECT_EQ(centre.innerWire, 0.0);
    const CutList tip = makeCutList({2, 0.98, 0.05, 3, std::nullopt});
    EXPECT_TRUE(tip.coilReachesTip);
    EXPECT_EQ(tip.outerWire, 0.0);
    EXPECT_GE(tip.outerWireToCut, 0.0);
}

} // namespace
