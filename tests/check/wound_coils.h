// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "coil/coil_model.h"

namespace brevan::check {

// A coil given in millimetres, as the tests' tables give it.
inline WoundCoil coilOf(double turns, double diameterMm, double pitchMm, double wireMm,
                        double permittivity = 1.0) {
    return {turns, diameterMm * 1e-3, pitchMm * 1e-3, wireMm * 1e-3, permittivity};
}

} // namespace brevan::check
