// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_losses.h"

#include "coil/physics.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {
namespace {

// Dowell's layer ratio below which its closed form loses more than ~1e-12 to cancellation, and
// above which sinh and cosh have long since cancelled to 1 (and would later overflow).
constexpr double kDowellSmall = 0.01;
constexpr double kDowellLarge = 20.0;

// Medhurst's formula needs a length; a winding shorter than this is treated as this long.
constexpr double kShortestWindingCm = 1e-7;

// Dowell's factor for a single layer of thickness ratio delta.
double dowellOneLayer(double delta) {
    if (delta < kDowellSmall) {
        const double d2 = delta * delta;
        return 1.0 + 4.0 / 45.0 * d2 * d2;
    }
    if (delta > kDowellLarge) {
        return delta;
    }
    const double x = 2.0 * delta;
    return delta * (portable::sinh(x) + portable::sin(x)) / (portable::cosh(x) - portable::cos(x));
}

} // namespace

double windingWireLength(const WoundCoil& coil) {
    return coil.turns * portable::hypot(kPi * coil.meanDiameter, coil.pitch);
}

CoilLoss coilResistance(const WoundCoil& coil, double frequency) {
    const double delta = skinDepth(frequency);
    return coilResistanceWith(coil, delta, roundWireInternal(0.5 * coil.wireDiameter / delta));
}

CoilLoss coilResistanceWith(const WoundCoil& coil, double delta,
                            const WireInternalImpedance& internal) {
    CoilLoss loss;
    const double d = coil.wireDiameter;
    if (!(d > 0.0)) {
        return loss;
    }
    loss.dcResistance = kCopperResistivity * windingWireLength(coil) / (0.25 * kPi * d * d);
    loss.skinResistance = loss.dcResistance * internal.resistanceRatio;
    // Dowell: the round wires as square foils of equal area, side sqrt(pi)/2 d, with the
    // layer's porosity d / p; a pitch below the wire diameter is read as close-wound. The
    // constant power once: the coil's resistance is asked at every frequency of every search.
    static const double kFoilFactor = portable::pow(0.25 * kPi, 0.75);
    const double porosity = coil.pitch > d ? d / coil.pitch : 1.0;
    const double layer = kFoilFactor * (d / delta) * std::sqrt(porosity);
    loss.acResistance = std::max(loss.dcResistance * dowellOneLayer(layer), loss.skinResistance);
    loss.proximityFactor =
        loss.skinResistance > 0.0 ? loss.acResistance / loss.skinResistance : 1.0;
    return loss;
}

double selfCapacitance(const WoundCoil& coil) {
    const double length = std::max(sheetLength(coil), kShortestWindingCm * 0.01);
    const double ratio = coil.meanDiameter / length; // D / l
    const double shortCoil =
        0.717439 * ratio + 0.933048 * ratio * std::sqrt(ratio) + 0.106 * ratio * ratio;
    const double inside = std::max(coil.formerPermittivity, 1.0);
    // 1 / cos^2 psi = 1 + tan^2 psi.
    const double slope = coil.meanDiameter > 0.0 ? coil.pitch / (kPi * coil.meanDiameter) : 0.0;
    return 4.0 * kVacuumPermittivity / kPi * length * (1.0 + shortCoil * (1.0 + inside) / 2.0) *
           (1.0 + slope * slope);
}

double medhurstCapacitance(const WoundCoil& coil) {
    const double diameterCm = 100.0 * coil.meanDiameter;
    const double lengthCm = std::max(100.0 * sheetLength(coil), kShortestWindingCm);
    const double picofarads = 0.1126 * lengthCm + 0.08 * diameterCm +
                              0.27 * diameterCm * std::sqrt(diameterCm / lengthCm);
    return picofarads * 1e-12;
}

double selfResonantFrequency(double inductance, double capacitance) {
    if (!(inductance > 0.0) || !(capacitance > 0.0)) {
        return 0.0;
    }
    // sqrt of each apart: the product of two small values could underflow to zero.
    return 1.0 / (2.0 * kPi * std::sqrt(inductance) * std::sqrt(capacitance));
}

} // namespace brevan::check
