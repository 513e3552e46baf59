// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/helical_line.h"

#include "coil/coil_losses.h"
#include "coil/physics.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {
namespace {

constexpr double kSpeedOfLight = 299792458.0;

// Where the lumped coil's self-resonance gives way to the line's, in diameters of length.
constexpr double kLumpedUpTo = 2.0;
constexpr double kLineFrom = 4.0;

double lengthOverDiameter(const WoundCoil& coil) {
    return coil.meanDiameter > 0.0 ? sheetLength(coil) / coil.meanDiameter : 0.0;
}

// 0 for the lumped coil, 1 for the line.
double lineWeight(const WoundCoil& coil) {
    return std::clamp((lengthOverDiameter(coil) - kLumpedUpTo) / (kLineFrom - kLumpedUpTo), 0.0,
                      1.0);
}

} // namespace

double helixVelocityFactor(const WoundCoil& coil, double frequencyHz) {
    if (!(coil.pitch > 0.0) || !(coil.meanDiameter > 0.0) || !(frequencyHz > 0.0)) {
        return 1.0;
    }
    const double d = coil.meanDiameter;
    const double slowing =
        20.0 * portable::pow(d / coil.pitch, 2.5) * std::sqrt(d * frequencyHz / kSpeedOfLight);
    return 1.0 / std::sqrt(1.0 + slowing);
}

double helicalLineSelfResonance(const WoundCoil& coil) {
    const double length = sheetLength(coil);
    if (!(length > 0.0)) {
        return 0.0;
    }
    // f = VF(f) c / 2 l. VF falls as f^-1/4 or slower, so each step cuts the error to a
    // quarter or less; sixty steps reach the last bit from light's own half-wave.
    const double halfWave = kSpeedOfLight / (2.0 * length);
    double f = halfWave;
    for (int i = 0; i < 60; ++i) {
        const double next = helixVelocityFactor(coil, f) * halfWave;
        if (next == f) {
            break;
        }
        f = next;
    }
    return f;
}

SelfResonanceModel selfResonanceModel(const WoundCoil& coil) {
    const double weight = lineWeight(coil);
    return weight <= 0.0   ? SelfResonanceModel::Lumped
           : weight >= 1.0 ? SelfResonanceModel::HelicalLine
                           : SelfResonanceModel::Joined;
}

double modelCapacitance(const WoundCoil& coil) {
    const double knight = selfCapacitance(coil);
    const double weight = lineWeight(coil);
    if (weight <= 0.0) {
        return knight;
    }
    const double line = helicalLineSelfResonance(coil);
    if (!(line > 0.0)) {
        return knight;
    }
    // The capacitance that resonates the winding at the line's frequency, with the winding as
    // the impedance has it there (the wire's internal inductance mostly gone).
    const double omega = 2.0 * kPi * line;
    const double lineCapacitance = 1.0 / (omega * omega * inductanceAt(coil, line));
    if (weight >= 1.0) {
        return lineCapacitance;
    }
    // Between the two, geometric in the capacitance, so in the self-resonance too.
    return portable::pow(knight, 1.0 - weight) * portable::pow(lineCapacitance, weight);
}

CoilLength coilLengthAt(const WoundCoil& coil, double frequencyHz) {
    CoilLength length;
    if (!(frequencyHz > 0.0)) {
        return length;
    }
    const double wavelength = kSpeedOfLight / frequencyHz;
    length.spanDegrees =
        360.0 * sheetLength(coil) / (helixVelocityFactor(coil, frequencyHz) * wavelength);
    length.wireWavelengths = windingWireLength(coil) / wavelength;
    length.isLong = lengthOverDiameter(coil) >= kLongCoilShortestShape &&
                    (length.spanDegrees > kLongCoilSpanDegrees ||
                     length.wireWavelengths > kLongCoilWireWavelengths);
    return length;
}

} // namespace brevan::check
