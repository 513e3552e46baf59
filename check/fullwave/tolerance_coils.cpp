// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/tolerance_coils.h"

#include "coil/coil_impedance.h"
#include "coil/coil_model.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "portable_maths.h"

namespace brevan::check {

namespace {

// A pitch this close to the wire's diameter is close-wound.
constexpr double kCloseWound = 1.0 + 1e-9;

// The portable division, so that the browser's build gives the same bits.
std::complex<double> inverse(std::complex<double> z) {
    return portable::divide(1.0, z);
}

// The report's coil wound differently, as the antenna sees it (from the given Q when there is one).
CoilImpedance woundAs(const CheckReport& report, const WoundCoil& coil) {
    const std::optional<double> q = report.inputs.coilQ;
    return [coil, q, c = modelCapacitance(coil)](double frequency) {
        return coilImpedance(coil, frequency, q, c);
    };
}

// A measured coil has no turns or winding of its own to count.
std::optional<CoilImpedance> turnsChanged(const CheckReport& report, bool more) {
    const double turns = report.coil.coil.turns + (more ? 1 : -1);
    if (report.measuredCoil || turns < 1) {
        return std::nullopt;
    }
    return woundAs(report, withTurns(report.coil.coil, turns));
}

// The same turns wound over a winding 1 mm longer or shorter: only a spaced coil can be, and
// never shorter than close-wound.
std::optional<CoilImpedance> windingChanged(const CheckReport& report, bool more) {
    const WoundCoil& coil = report.coil.coil;
    if (report.measuredCoil || coil.turns <= 0.0 || coil.pitch <= coil.wireDiameter * kCloseWound) {
        return std::nullopt;
    }
    const double length = sheetLength(coil) + (more ? kWindingChange : -kWindingChange);
    WoundCoil changed = coil;
    changed.pitch = length / coil.turns;
    if (changed.pitch < coil.wireDiameter) {
        return std::nullopt;
    }
    return woundAs(report, changed);
}

} // namespace

std::complex<double> withCapacitance(std::complex<double> z, double omega, double deltaC) {
    return inverse(inverse(z) + std::complex<double>(0.0, omega * deltaC));
}

std::complex<double> withQ(std::complex<double> z, double omega, double capacitance,
                           double qFactor) {
    const std::complex<double> winding = withCapacitance(z, omega, -capacitance);
    const std::complex<double> changed = winding - winding.real() * (1.0 - 1.0 / qFactor);
    return withCapacitance(changed, omega, capacitance);
}

ChangedCoil changedCoils(const CheckReport& report) {
    return [report](Tolerance which, bool more) -> std::optional<CoilImpedance> {
        const CoilImpedance built = builtCoil(report);
        const double capacitance = report.losses.selfCapacitance;
        const double sign = more ? 1.0 : -1.0;
        switch (which) {
        case Tolerance::Turns: return turnsChanged(report, more);
        case Tolerance::WindingLength: return windingChanged(report, more);
        case Tolerance::SelfCapacitance:
            if (capacitance <= 0.0) {
                return std::nullopt;
            }
            return [built, capacitance, sign](double hz) {
                return withCapacitance(built(hz), 2.0 * kPi * hz,
                                       sign * kCapacitanceChange * capacitance);
            };
        case Tolerance::CoilQ:
            return [built, capacitance, sign](double hz) {
                return withQ(built(hz), 2.0 * kPi * hz, capacitance, 1.0 + sign * kQChange);
            };
        case Tolerance::Tips:
        case Tolerance::Height: break;
        }
        return std::nullopt;
    };
}

} // namespace brevan::check
