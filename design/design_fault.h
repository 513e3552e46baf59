// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brevan {

// Why a calculation has no defined result. The core reports it and leaves the state alone;
// only the window turns it into words for the user.
enum class DesignFault {
    None,
    ZeroFrequency,         // F = 0: no quarter-wave length
    FullOuterNotPositive,  // 234 / F - B <= 0: the coil sits beyond a quarter wave
    OuterNotPositive,      // A / 2 - B <= 0: no wire left beyond the coil
    NoWireDiameter,        // the gauge has no row in the wire table
    CoilRadiusNotPositive, // former diameter of zero (or less)
    NegativeInductance,    // step 1 gave a coil that cannot be wound
    NonFinite,             // a value left the range of binary64
};

} // namespace brevan
