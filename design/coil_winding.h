// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_fault.h"
#include "design_state.h"

#include <array>

namespace brevan {

struct CoilPass {
    double turns = 0.0;
    double windingLength = 0.0; // inch, after cutting down to 0.1 in
};

struct CoilWindingResult {
    static constexpr int kPasses = 10;

    DesignFault fault = DesignFault::None;
    std::array<CoilPass, kPasses> passes{};
    double revisedLengthMm = 0.0; // whole millimetres
};

// Step 2: Wheeler's single-layer formula L = r^2 n^2 / (9 r + 10 l), solved for n, then l
// replaced by the length the turns really occupy, ten passes in all. Reads inductance,
// formerDia and coilLength; takes the coil wire gauge; stores coilWireSWG, coilWireDia,
// coilRadius, the pass counter in fullOuterLength, turns, windingLength and coilLength. On a
// fault `state` is left exactly as it was.
CoilWindingResult computeCoilWinding(DesignState& state, double coilWireSWG);

} // namespace brevan
