// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Other coils that give the antenna the inductance it needs at F while staying well below
// their own self-resonance: worked out coil by coil from the same physics as the user's own
// (coil_impedance.h), never from a rule of thumb. The report's advice is this list.

#include "coil/coil_model.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace brevan::check {

// Common sizes of plastic pipe and tube used as coil formers, outside diameter, metres.
inline constexpr double kCommonFormers[] = {0.020, 0.025, 0.032, 0.040, 0.050,
                                            0.063, 0.075, 0.090, 0.110};

// How far above F an alternative must self-resonate: at 3 F the self-capacitance already
// raises the apparent inductance by 1 / (1 - 1/9), 12 %, and a modest error in the estimate of C
// moves it little.
inline constexpr double kResonanceMargin = 3.0;

struct AlternativesRequest {
    double inductance = 0.0;     // H, what the antenna needs the coil to look like at F
    double frequency = 0.0;      // Hz, F
    double formerDiameter = 0.0; // m, the user's former (tried besides the common sizes)
    double wireDiameter = 0.0;   // m, the user's coil wire (tried besides the SWG table)
    double pitch = 0.0;          // m, the user's pitch (tried besides close-wound and 2 d)
};

struct CoilAlternative {
    WoundCoil coil;                  // turns chosen for the needed apparent inductance at F
    double formerDiameter = 0.0;     // m
    int gauge = 0;                   // SWG of the wire, 0 for the user's own wire
    double windingLength = 0.0;      // m, turns x pitch
    double apparentInductance = 0.0; // H, Im Z / omega at F
    double selfResonance = 0.0;      // Hz
    double q = 0.0;                  // Im Z / Re Z at F, the winding's own losses
    // Long against the waves at F (coilLengthAt), where the lumped model is less sure.
    bool isLong = false;
};

struct CoilAlternatives {
    // Those that self-resonate at kResonanceMargin F or higher, the `count` with the highest Q
    // at F, best first: each of them gives the antenna the same reactance, so what is left to
    // choose by is the power the coil burns, which for the same current goes as 1 / Q. Coils
    // that are not long come before long ones, whose model is less sure.
    std::vector<CoilAlternative> coils;
    // Of every combination that gives the inductance, the one that self-resonates highest,
    // whether or not it clears the margin: when `coils` is empty, how near any coil of these
    // sizes can come (a few hundred microhenries at 80 m cannot clear 3 F on any of them).
    std::optional<CoilAlternative> highestResonance;
};

// Every combination of former (the user's and kCommonFormers), wire (the user's and each SWG
// in the coil column of the wire gauge table) and pitch (close-wound, twice the wire diameter
// and the user's pitch as a multiple of the wire diameter), each wound to the whole turns whose
// apparent inductance at F comes closest to the request (and dropped unless that is within one
// turn's worth of it). Nothing when the request has no positive inductance, frequency or wire.
// `pitchRatios`, pitches as multiples of the wire's diameter, replace close-wound and 2 d when
// given (the user's pitch is tried besides).
CoilAlternatives coilAlternatives(const AlternativesRequest& request, std::size_t count = 5,
                                  const std::vector<double>& pitchRatios = {});

} // namespace brevan::check
