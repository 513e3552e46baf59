// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records made by hand for the report's tests: the typical design as the check library builds
// it without the engine, and a full-wave check with the typical design's figures, which each
// test bends to the case it reads the words of.

#include "check_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace brevan::check::test {

inline CheckInputs inputsOf(std::map<std::string, std::string> given) {
    const std::variant<CheckInputs, UsageError> read = readCheckInputs(given);
    EXPECT_TRUE(std::holds_alternative<CheckInputs>(read));
    return std::get<CheckInputs>(read);
}

// 7.05 MHz, 15 m, coils at 3 m, SWG 16 wire, 9 turns of SWG 20 on a 50 mm former.
inline CheckReport typicalReport(std::map<std::string, std::string> changes = {}) {
    std::map<std::string, std::string> given{
        {"frequency", "7.05"}, {"length", "15"},      {"distance", "3"},  {"wire", "16"},
        {"former", "50"},      {"coil-length", "40"}, {"coil-wire", "20"}};
    for (const auto& [option, value] : changes) {
        given[option] = value;
    }
    std::variant<CheckReport, DesignRefusal> built = buildCheckReport(inputsOf(given));
    EXPECT_TRUE(std::holds_alternative<CheckReport>(built));
    return std::get<CheckReport>(built);
}

inline AntennaResult result(double length, std::optional<double> resonance, double resistance,
                            double swrAtF, std::optional<double> lower,
                            std::optional<double> upper) {
    AntennaResult r;
    r.length = length;
    r.coilAtDesign = {1.16, 2 * 3.14159265358979 * 7.05e6 * 6.81e-6};
    r.coilApparentInductance = apparentInductance(r.coilAtDesign, 7.05);
    r.resonanceMHz = resonance;
    r.resonanceResistance = resistance;
    r.designImpedance = {43.0, -103.0};
    r.designSwr = swrAtF;
    r.band = {lower, upper};
    r.designEfficiency = 0.935;
    return r;
}

// The typical design's full-wave check: built at 7.372 MHz, 38 cm added to each tip.
inline AntennaCheck typicalCheck() {
    AntennaCheck check;
    check.designed = result(15, 7.287, 47.1, 4.70, 7.187, 7.392);
    check.built = result(15, 7.372, 49.9, 6.76, 7.265, 7.483);
    check.trimmed = result(15.76, 7.047, 49.7, 1.02, 6.943, 7.154);
    check.trim.outcome = TrimOutcome::Reached;
    check.trim.tipChange = 0.38;
    check.trim.trimmedLength = 15.76;
    check.neededCoil.outcome = CoilOutcome::Found;
    check.neededCoil.apparentInductance = 8.27e-6;
    check.neededCoil.turns = 10;
    check.neededCoil.turnsAtDesign = {1.3, 2 * 3.14159265358979 * 7.05e6 * 8.11e-6};
    check.neededCoil.turnsApparentInductance = apparentInductance(check.neededCoil.turnsAtDesign, 7.05);
    check.neededCoil.turnsResonanceMHz = 7.083;
    check.segments = 61;
    check.fineSegments = 121;
    check.fullSizeEfficiency = 0.98;
    check.radiated = radiatedPower(*check.trimmed, true, check.fullSizeEfficiency);
    return check;
}

// A trim that stops short of F, with where the antenna resonates at that limit.
inline AntennaCheck notReached(TrimOutcome outcome, double limitLength,
                               std::optional<double> limitResonance) {
    AntennaCheck check = typicalCheck();
    check.trimmed.reset();
    check.trim.outcome = outcome;
    check.trim.tipChange = (limitLength - 15) / 2;
    check.trim.limitLength = limitLength;
    check.trim.limitResonanceMHz = limitResonance;
    check.neededCoil.outcome = CoilOutcome::NotSought;
    check.radiated = radiatedPower(check.built, false, check.fullSizeEfficiency);
    return check;
}

inline std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\n";
    }
    return out;
}

} // namespace brevan::check::test
