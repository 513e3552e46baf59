// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the antenna check's tests share: the typical design with a coil of the tests' own (so
// they do not lean on the coil model), and the check run on the real engine.

#include "coil/physics.h"
#include "fullwave/antenna_check.h"
#include "real_engine.h"

#include <gtest/gtest.h>

#include <complex>
#include <variant>

namespace brevan::check::antenna_test {

inline constexpr double kMetreMegahertz = 299.792458; // c, m * MHz
inline constexpr double kDesignMHz = 7.05;
inline constexpr double kDesignHz = kDesignMHz * 1e6;
inline constexpr double kWireDiameter = 1.62600e-3; // SWG 16
inline constexpr double kDesignedInductance = 7.17692396135787e-6;

inline double omegaAt(double frequencyHz) {
    return 2.0 * kPi * frequencyHz;
}

// A coil helper of our own, so these tests do not lean on the coil model: inductance grows as
// the square of the turns, the loss in proportion to them, and it has no self-capacitance, so
// its apparent inductance is its inductance at every frequency.
inline double testInductance(int turns) {
    const double n = turns / 30.0;
    return 6.8e-6 * n * n;
}

inline CoilImpedance seriesCoil(double resistance, double inductance) {
    return [resistance, inductance](double frequencyHz) {
        return std::complex<double>{resistance, omegaAt(frequencyHz) * inductance};
    };
}

inline CoilImpedance testCoil(int turns) {
    return seriesCoil(1.5 * turns / 30.0, testInductance(turns));
}

// The coil's inductance as the deck gives it at F.
inline double apparentInductance(const std::complex<double>& atDesign) {
    return atDesign.imag() / omegaAt(kDesignHz);
}

inline AntennaCheckInput typicalDesign() {
    AntennaCheckInput input;
    input.designMHz = kDesignMHz;
    input.length = 15.0;
    input.coilDistance = 3.0;
    input.wireDiameter = kWireDiameter;
    input.designed = seriesCoil(0.0, kDesignedInductance);
    input.built = testCoil(30);
    input.builtTurns = 30;
    input.coilOfTurns = testCoil;
    return input;
}

inline AntennaCheck checked(const AntennaCheckInput& input, const Engine& engine = realEngine()) {
    auto result = checkAntenna(input, engine, {});
    if (const auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        ADD_FAILURE() << failure->message;
        return {};
    }
    return std::get<AntennaCheck>(result);
}

} // namespace brevan::check::antenna_test
