// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/measured_coil.h"

#include "portable_maths.h"

#include "coil/coil_losses.h"
#include "coil/physics.h"

#include <cmath>
#include <limits>

namespace brevan::check {
namespace {

constexpr double kResonanceBracket = 4.0;
constexpr double kResonanceTolerance = 1e-12;

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
    const std::complex<double> denominator =
        1.0 + std::complex<double>(0.0, omega * coil.capacitance) * winding;
    if (denominator == 0.0) {
        return {std::numeric_limits<double>::max(), 0.0};
    }
    return portable::divide(winding, denominator);
}

ApparentCoil apparentMeasuredCoil(const MeasuredCoil& coil, double frequencyHz,
                                  std::optional<double> q) {
    ApparentCoil seen;
    if (!(frequencyHz > 0.0)) {
        seen.inductance = coil.inductance;
        seen.resistance = measuredCoilImpedance(coil, 0.0, q).real();
        return seen;
    }
    const double omega = 2.0 * kPi * frequencyHz;
    const std::complex<double> z = measuredCoilImpedance(coil, frequencyHz, q);
    seen.inductance = z.imag() / omega;
    seen.resistance = z.real();
    if (z.imag() <= 0.0) {
        seen.actsAs = CoilActsAs::Capacitor;
        seen.capacitance = z.imag() < 0.0 ? -1.0 / (omega * z.imag()) : 0.0;
    }
    return seen;
}

double measuredSelfResonance(const MeasuredCoil& coil, std::optional<double> q) {
    const double estimate = selfResonantFrequency(coil.inductance, coil.capacitance);
    if (!(estimate > 0.0)) {
        return 0.0;
    }
    const auto inductive = [&](double f) { return measuredCoilImpedance(coil, f, q).imag() > 0.0; };
    double low = estimate / kResonanceBracket;
    double high = estimate * kResonanceBracket;
    if (!inductive(low)) {
        return 0.0;
    }
    if (inductive(high)) {
        return high;
    }
    while (high - low > kResonanceTolerance * high) {
        const double mid = std::sqrt(low * high);
        (inductive(mid) ? low : high) = mid;
    }
    return std::sqrt(low * high);
}

} // namespace brevan::check
