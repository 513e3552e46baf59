// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_fault.h"
#include "design_state.h"

#include <string>
#include <string_view>

namespace brevan {

struct LoadingCoilResult {
    DesignFault fault = DesignFault::None;
    double inductance = 0.0; // uH, full precision
    std::string text;        // `inductance` in the general number format, for the result box
};

// Step 1: the inductance of each of the two loading coils, from freqMHz, lengthA and distB and
// the antenna wire gauge. On success it stores the seven working terms, wireSWG, wireDia and
// inductance in `state`, each rounded to binary64 in the order the formula is built. On a fault
// `state` is left exactly as it was.
LoadingCoilResult computeLoadingCoil(DesignState& state, double wireSWG,
                                     std::string_view decimalSeparator);

} // namespace brevan
