// SPDX-License-Identifier: GPL-3.0-or-later
#include "wire_gauge_table.h"

#include <array>

namespace brevan {
namespace {

struct GaugeRow {
    double gauge;
    double antennaInch;
    double coilInch;
};

constexpr std::array<GaugeRow, 11> kRows{{
    {10, 0.12799, 0.127992},
    {12, 0.10402, 0.10402},
    {14, 0.08, 0.08},
    {16, 0.0640157, 0.0640157},
    {18, 0.047992, 0.047992},
    {20, 0.036, 0.036},
    {22, 0.028, 0.028},
    {24, 0.022, 0.022},
    {26, 0.018, 0.018},
    {28, 0.0147992, 0.0147992},
    {30, 0.0124015, 0.0124015},
}};

const GaugeRow* findRow(double gauge) {
    for (const GaugeRow& row : kRows) {
        if (row.gauge == gauge) { // exact: 14.5 or 15 must miss
            return &row;
        }
    }
    return nullptr;
}

} // namespace

void WireGaugeTable::lookupDiameter(WireColumn column, double gauge, double& diameter) {
    if (const GaugeRow* row = findRow(gauge)) {
        diameter = column == WireColumn::Antenna ? row->antennaInch : row->coilInch;
    }
}

bool WireGaugeTable::hasRow(double gauge) {
    return findRow(gauge) != nullptr;
}

} // namespace brevan
