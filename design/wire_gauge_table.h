// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brevan {

enum class WireColumn { Antenna, Coil };

// Bare-wire diameters in inches for the even Standard Wire Gauges 10 to 30. The two columns
// agree except at gauge 10, where the antenna wire is 0.12799 in and the coil wire 0.127992 in.
class WireGaugeTable {
public:
    // Stores the diameter of `gauge` in `diameter`. A gauge without a row (odd, outside 10..30,
    // fractional) stores nothing, so `diameter` keeps the last value looked up in that column.
    static void lookupDiameter(WireColumn column, double gauge, double& diameter);

    static bool hasRow(double gauge);
};

} // namespace brevan
