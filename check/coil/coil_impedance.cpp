// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_impedance.h"

#include "coil/coil_losses.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "coil/turns_search.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brevan::check {
namespace {

// The bracket around the lossless LC estimate in which self-resonance is sought, and how
// narrow (relative) the bisection makes it.
constexpr double kResonanceBracket = 4.0;
constexpr double kResonanceTolerance = 1e-12;

bool isGivenQ(std::optional<double> q) {
    return q && *q > 0.0 && std::isfinite(*q);
}

double omegaOf(double frequencyHz) {
    return 2.0 * kPi * frequencyHz;
}

// One coil's impedance at many frequencies, with the same operations as it had at each
// frequency alone, so the same bits: what does not change with frequency worked out once, and
// the wire's internal impedance once a frequency for both the loss and the inductance. The
// self-resonance search asks for about ninety frequencies, twice in every report.
class CoilAtFrequencies {
public:
    CoilAtFrequencies(const WoundCoil& coil, std::optional<double> q, double capacitance)
        : m_coil(coil), m_q(q), m_capacitance(capacitance), m_parts(inductanceParts(coil)) {}

    std::complex<double> operator()(double frequencyHz) const {
        if (!(frequencyHz > 0.0)) {
            return {lossResistance(m_coil, frequencyHz, m_q), 0.0};
        }
        const double depth = skinDepth(frequencyHz);
        const WireInternalImpedance internal = roundWireInternal(0.5 * m_coil.wireDiameter / depth);
        const double inductance = inductanceFrom(m_coil, m_parts, internal.inductanceFraction);
        const double omega = omegaOf(frequencyHz);
        const double resistance = isGivenQ(m_q)
                                      ? omega * inductance / *m_q
                                      : coilResistanceWith(m_coil, depth, internal).acResistance;
        const std::complex<double> winding(resistance, omega * inductance);
        return withCapacitanceAcross(winding, omega, m_capacitance);
    }

private:
    const WoundCoil& m_coil;
    std::optional<double> m_q;
    double m_capacitance = 0.0;
    InductanceParts m_parts;
};

} // namespace

double lossResistance(const WoundCoil& coil, double frequencyHz, std::optional<double> q) {
    if (isGivenQ(q)) {
        const double f = std::max(frequencyHz, 0.0);
        return omegaOf(f) * inductanceAt(coil, f) / *q;
    }
    return coilResistance(coil, frequencyHz).acResistance;
}

std::complex<double> coilImpedance(const WoundCoil& coil, double frequencyHz,
                                   std::optional<double> q) {
    return coilImpedance(coil, frequencyHz, q, modelCapacitance(coil));
}

std::complex<double> coilImpedance(const WoundCoil& coil, double frequencyHz,
                                   std::optional<double> q, double capacitance) {
    return CoilAtFrequencies(coil, q, capacitance)(frequencyHz);
}

std::complex<double> withCapacitanceAcross(std::complex<double> winding, double omega,
                                           double capacitance) {
    // The denominator vanishes only for a lossless winding exactly at resonance.
    const std::complex<double> denominator =
        1.0 + std::complex<double>(0.0, omega * capacitance) * winding;
    if (denominator == 0.0) {
        return {std::numeric_limits<double>::max(), 0.0};
    }
    return portable::divide(winding, denominator);
}

ApparentCoil apparentFrom(std::complex<double> z, double frequencyHz) {
    const double omega = omegaOf(frequencyHz);
    ApparentCoil seen;
    seen.inductance = z.imag() / omega;
    seen.resistance = z.real();
    if (z.imag() <= 0.0) {
        seen.actsAs = CoilActsAs::Capacitor;
        seen.capacitance = z.imag() < 0.0 ? -1.0 / (omega * z.imag()) : 0.0;
    }
    return seen;
}

ApparentCoil apparentCoil(const WoundCoil& coil, double frequencyHz, std::optional<double> q) {
    if (!(frequencyHz > 0.0)) {
        ApparentCoil seen;
        seen.inductance = asWoundInductance(coil);
        seen.resistance = lossResistance(coil, 0.0, q);
        return seen;
    }
    return apparentFrom(coilImpedance(coil, frequencyHz, q), frequencyHz);
}

double selfResonance(const WoundCoil& coil, std::optional<double> q) {
    return selfResonance(coil, q, modelCapacitance(coil));
}

double selfResonance(const WoundCoil& coil, std::optional<double> q, double capacitance) {
    const CoilAtFrequencies impedance(coil, q, capacitance);
    return firstSelfResonance(selfResonantFrequency(asWoundInductance(coil), capacitance),
                              [&](double f) { return impedance(f).imag() > 0.0; });
}

double firstSelfResonance(double estimate, const std::function<bool(double)>& inductive) {
    if (!(estimate > 0.0)) {
        return 0.0;
    }
    double low = estimate / kResonanceBracket;
    double high = estimate * kResonanceBracket;
    if (!inductive(low)) {
        return 0.0;
    }
    if (inductive(high)) {
        return high; // not reached: at 4 f0 even a lossless winding is capacitive
    }
    while (high - low > kResonanceTolerance * high) {
        const double mid = std::sqrt(low * high);
        (inductive(mid) ? low : high) = mid;
    }
    return std::sqrt(low * high);
}

std::optional<int> closestTurnsSeen(const WoundCoil& coil, double frequencyHz, double target,
                                    std::optional<double> q) {
    const auto seen = [&](int turns) -> std::optional<double> {
        const ApparentCoil apparent = apparentCoil(withTurns(coil, turns), frequencyHz, q);
        if (apparent.actsAs == CoilActsAs::Capacitor) {
            return std::nullopt;
        }
        return apparent.inductance;
    };
    const std::optional<TurnsMatch> match = closestWholeTurns(seen, target);
    if (!match) {
        return std::nullopt;
    }
    return match->turns;
}

} // namespace brevan::check
