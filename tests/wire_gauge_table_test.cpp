// SPDX-License-Identifier: GPL-3.0-or-later
#include "wire_gauge_table.h"

#include <gtest/gtest.h>

using brevan::WireColumn;
using brevan::WireGaugeTable;

namespace {

struct GaugeRow {
    double gauge;
    double antenna;
    double coil;
};

const GaugeRow kTable[] = {
    {10, 0.12799, 0.127992},    {12, 0.10402, 0.10402},     {14, 0.08, 0.08},
    {16, 0.0640157, 0.0640157}, {18, 0.047992, 0.047992},   {20, 0.036, 0.036},
    {22, 0.028, 0.028},         {24, 0.022, 0.022},         {26, 0.018, 0.018},
    {28, 0.0147992, 0.0147992}, {30, 0.0124015, 0.0124015},
};

TEST(WireGaugeTable, EveryRowInBothColumns) {
    for (const GaugeRow& row : kTable) {
        double antenna = 0;
        double coil = 0;
        WireGaugeTable::lookupDiameter(WireColumn::Antenna, row.gauge, antenna);
        WireGaugeTable::lookupDiameter(WireColumn::Coil, row.gauge, coil);
        EXPECT_EQ(antenna, row.antenna) << "gauge " << row.gauge;
        EXPECT_EQ(coil, row.coil) << "gauge " << row.gauge;
    }
}

TEST(WireGaugeTable, MissKeepsThePreviousDiameter) {
    for (double gauge : {15.0, 14.5, 9.0, 32.0, 0.0, -14.0}) {
        double fresh = 0;
        WireGaugeTable::lookupDiameter(WireColumn::Antenna, gauge, fresh);
        EXPECT_EQ(fresh, 0.0) << gauge;

        double afterFourteen = 0;
        WireGaugeTable::lookupDiameter(WireColumn::Coil, 14, afterFourteen);
        WireGaugeTable::lookupDiameter(WireColumn::Coil, gauge, afterFourteen);
        EXPECT_EQ(afterFourteen, 0.08) << gauge;
        EXPECT_FALSE(WireGaugeTable::hasRow(gauge));
    }
}

} // namespace
