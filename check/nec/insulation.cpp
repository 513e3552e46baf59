// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/insulation.h"

#include "coil/physics.h"
#include "portable_maths.h"

#include <cmath>

namespace brevan::check {

bool isInsulated(const Insulation& insulation) {
    return insulation.thickness > 0.0 && insulation.permittivity > 1.0;
}

double sleeveInductance(const Insulation& insulation, double wireDiameter) {
    if (!isInsulated(insulation) || wireDiameter <= 0.0) {
        return 0.0;
    }
    const double a = wireDiameter / 2.0;
    const double b = a + insulation.thickness;
    return kMu0 / (2.0 * kPi) * (1.0 - 1.0 / insulation.permittivity) * portable::log(b / a);
}

} // namespace brevan::check
