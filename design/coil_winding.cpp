// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil_winding.h"

#include "wire_gauge_table.h"

#include <cmath>

namespace brevan {
namespace {

constexpr double kMmPerInch = 25.4;

DesignFault checkInputs(const DesignState& s, double coilWireSWG) {
    if (!std::isfinite(s.inductance) || !std::isfinite(s.formerDia) ||
        !std::isfinite(s.coilLength) || !std::isfinite(coilWireSWG)) {
        return DesignFault::NonFinite;
    }
    if (s.inductance < 0.0) {
        return DesignFault::NegativeInductance;
    }
    if (!(s.formerDia > 0.0)) {
        return DesignFault::CoilRadiusNotPositive;
    }
    return DesignFault::None;
}

} // namespace

CoilWindingResult computeCoilWinding(DesignState& state, double coilWireSWG) {
    CoilWindingResult result;
    result.fault = checkInputs(state, coilWireSWG);
    if (result.fault != DesignFault::None) {
        return result;
    }

    DesignState s = state; // committed only when every pass is defined
    s.coilWireSWG = coilWireSWG;
    WireGaugeTable::lookupDiameter(WireColumn::Coil, s.coilWireSWG, s.coilWireDia);
    if (!(s.coilWireDia > 0.0)) {
        // Without a wire the coil would come out 0 mm long: refuse rather than show that.
        result.fault = DesignFault::NoWireDiameter;
        return result;
    }
    s.coilRadius = s.formerDia / 2;
    if (!(s.coilRadius > 0.0)) { // the smallest positive diameter halves to nothing
        result.fault = DesignFault::CoilRadiusNotPositive;
        return result;
    }

    std::size_t pass = 0;
    for (s.fullOuterLength = 1.0; !(s.fullOuterLength > 10.0); s.fullOuterLength += 1.0) {
        const double x =
            std::sqrt(s.inductance * (s.coilLength * 10 + s.coilRadius * 9)) / s.coilRadius;
        if (!std::isfinite(x)) { // a negative pasted coil length, or an overflow
            result.fault = DesignFault::NonFinite;
            return result;
        }
        s.turns = std::floor(x);
        s.windingLength = s.turns * s.coilWireDia;
        s.windingLength = std::floor(s.windingLength * 10) / 10;
        s.coilLength = s.windingLength;
        result.passes[pass++] = {s.turns, s.windingLength};
    }
    result.revisedLengthMm = std::floor(s.windingLength * kMmPerInch);
    if (!std::isfinite(result.revisedLengthMm)) {
        result.fault = DesignFault::NonFinite;
        return result;
    }

    state = s;
    return result;
}

} // namespace brevan
