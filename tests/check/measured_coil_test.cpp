// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/measured_coil.h"

#include "coil/coil_losses.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "wound_coils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <optional>
#include <vector>

namespace brevan::check {
namespace {

// Measured at exactly what the coil as wound computes, with its own capacitance, the measured
// coil is the computed one: at every frequency, with and without a given Q.
TEST(MeasuredCoil, MeasuredAsComputedIsTheComputedCoil) {
    const std::vector<WoundCoil> coils = {coilOf(9, 50.9144, 0.9144, 0.9144),
                                          coilOf(90, 51.2, 1.5, 1.22), coilOf(28, 27, 2.5, 2.05)};
    for (const WoundCoil& wound : coils) {
        const MeasuredCoil measured{wound, asWoundInductance(wound), modelCapacitance(wound)};
        for (const std::optional<double> q : {std::optional<double>(), std::optional(250.0)}) {
            for (const double f : {1e5, 1.9e6, 3.6e6, 7.05e6, 14.2e6}) {
                SCOPED_TRACE(f);
                const std::complex<double> expected = coilImpedance(wound, f, q);
                const std::complex<double> got = measuredCoilImpedance(measured, f, q);
                EXPECT_NEAR(got.real(), expected.real(), 1e-9 * std::abs(expected));
                EXPECT_NEAR(got.imag(), expected.imag(), 1e-9 * std::abs(expected));
            }
            EXPECT_NEAR(measuredSelfResonance(measured, q), selfResonance(wound, q),
                        1e-9 * selfResonance(wound, q));
        }
    }
}

// A measured self-resonance gives the capacitance that resonates the winding there, and the
// coil then self-resonates where it was measured (its loss moves that by about 1 / 2Q^2).
TEST(MeasuredCoil, SelfResonanceIsWhereItWasMeasured) {
    struct Row {
        double inductanceUh;
        double selfResonanceMHz;
        double q;
    };
    const Row rows[] = {{120, 12, 300}, {119.8, 9.5, 150}, {7.2, 40, 400}, {35, 15, 80}};
    const WoundCoil wound = coilOf(90, 51.2, 1.5, 1.22);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.inductanceUh);
        const MeasuredCoil coil =
            measuredWithSelfResonance(wound, row.inductanceUh * 1e-6, row.selfResonanceMHz * 1e6);
        const double omega = 2 * kPi * row.selfResonanceMHz * 1e6;
        EXPECT_NEAR(coil.capacitance * omega * omega *
                        measuredInductanceAt(coil, row.selfResonanceMHz * 1e6),
                    1.0, 1e-12);
        EXPECT_NEAR(measuredSelfResonance(coil, row.q) / 1e6, row.selfResonanceMHz,
                    row.selfResonanceMHz / (row.q * row.q));
        // Far below its resonance the coil shows what was measured, less the wire's internal
        // inductance that the skin effect takes away (under 1 %).
        const ApparentCoil low =
            apparentMeasuredCoil(coil, row.selfResonanceMHz * 1e6 / 1000, row.q);
        EXPECT_NEAR(low.inductance / (row.inductanceUh * 1e-6), 1.0, 0.01);
        EXPECT_LT(low.inductance, row.inductanceUh * 1e-6);
    }
}

// With its self-capacitance across it, the coil looks larger at F by 1 / (1 - (F / f_self)^2),
// as any lossless LC pair does; with a Q it keeps the wound coil's losses in proportion.
TEST(MeasuredCoil, ApparentInductanceFollowsTheLumpedPair) {
    const WoundCoil wound = coilOf(90, 51.2, 1.5, 1.22);
    const MeasuredCoil coil = measuredWithSelfResonance(wound, 120e-6, 12e6);
    for (const double f : {1.9e6, 3.6e6, 7.05e6}) {
        SCOPED_TRACE(f);
        const double winding = measuredInductanceAt(coil, f);
        const double lossless =
            winding / (1 - winding * coil.capacitance * std::pow(2 * kPi * f, 2));
        EXPECT_NEAR(apparentMeasuredCoil(coil, f, 1e9).inductance / lossless, 1.0, 1e-9);
        const double scale = 120e-6 / asWoundInductance(wound);
        const double resistance =
            measuredCoilImpedance({wound, 120e-6, 0.0}, f, std::nullopt).real();
        EXPECT_NEAR(resistance, scale * coilResistance(wound, f).acResistance, 1e-9 * resistance);
    }
}

} // namespace
} // namespace brevan::check
