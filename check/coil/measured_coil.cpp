// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/measured_coil.h"

#include "coil/coil_losses.h"
#include "coil/physics.h"

namespace brevan::check {
namespace {

// Measured over computed inductance at low frequency: every figure of the wound coil's winding
// scales by it.
double scale(const MeasuredCoil& coil) {
    const double wound = asWoundInductance(coil.wound);
    return wound > 0.0 ? coil.inductance / wound : 0.0;
}

} // namespace

MeasuredCoil measuredWithSelfResonance(const WoundCoil& wound, double inductance,
                                       double selfResonanceHz) {
    MeasuredCoil coil{wound, inductance, 0.0};
    const double omega = 2.0 * kPi * selfResonanceHz;
    const double atResonance = measuredInductanceAt(coil, selfResonanceHz);
    if (omega > 0.0 && atResonance > 0.0) {
        coil.capacitance = 1.0 / (omega * omega * atResonance);
    }
    return coil;
}

double measuredInductanceAt(const MeasuredCoil& coil, double frequencyHz) {
    return scale(coil) * inductanceAt(coil.wound, frequencyHz);
}

std::complex<double> measuredCoilImpedance(const MeasuredCoil& coil, double frequencyHz,
                                           std::optional<double> q) {
    const double k = scale(coil);
    const double resistance = k * lossResistance(coil.wound, frequencyHz, q);
    if (!(frequencyHz > 0.0)) {
        return {resistance, 0.0};
    }
    const double omega = 2.0 * kPi * frequencyHz;
    const std::complex<double> winding(resistance,
                                       omega * k * inductanceAt(coil.wound, frequencyHz));
    return withCapacitanceAcross(winding, omega, coil.capacitance);
}

ApparentCoil apparentMeasuredCoil(const MeasuredCoil& coil, double frequencyHz,
                                  std::optional<double> q) {
    if (!(frequencyHz > 0.0)) {
        ApparentCoil seen;
        seen.inductance = coil.inductance;
        seen.resistance = measuredCoilImpedance(coil, 0.0, q).real();
        return seen;
    }
    return apparentFrom(measuredCoilImpedance(coil, frequencyHz, q), frequencyHz);
}

double measuredSelfResonance(const MeasuredCoil& coil, std::optional<double> q) {
    return firstSelfResonance(
        selfResonantFrequency(coil.inductance, coil.capacitance),
        [&](double f) { return measuredCoilImpedance(coil, f, q).imag() > 0.0; });
}

} // namespace brevan::check
