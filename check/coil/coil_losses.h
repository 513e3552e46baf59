// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Losses and self-resonance of the wound coil. SI units throughout: metres, hertz, ohms, farads.

#include "coil/coil_model.h"
#include "coil/round_wire.h"

namespace brevan::check {

// The length of wire in the winding itself: N turns of the helix, leads not included.
double windingWireLength(const WoundCoil& coil);

struct CoilLoss {
    double dcResistance = 0.0;    // ohm, the winding's wire at DC
    double skinResistance = 0.0;  // ohm, an isolated straight wire of the same length
    double acResistance = 0.0;    // ohm, in the coil: skin and proximity effect
    double proximityFactor = 0.0; // acResistance / skinResistance
};

// The winding's resistance at `frequency`: Dowell's one-layer factor with the layer's porosity
// d / p, never less than the isolated wire's own skin-effect resistance (the exact Bessel
// solution for a round wire).
CoilLoss coilResistance(const WoundCoil& coil, double frequency);

// Medhurst's 1947 self-capacitance of a single-layer solenoid:
// C(pF) = 0.1126 l + 0.08 D + 0.27 D sqrt(D / l), D and l in cm. Farads. A winding length
// below 1 nm is taken as 1 nm, so the value stays finite. Medhurst fitted it to coils he
// measured on solid formers (Wireless Engineer 24, 1947); it knows nothing of the pitch, whose
// effect Knight (2016) puts at a factor 1 / cos^2 of the pitch angle, under 0.1 % for any coil
// whose pitch is below a tenth of its circumference. For coils much shorter or longer than
// Medhurst's it is an extrapolation.
double selfCapacitance(const WoundCoil& coil);

// 1 / (2 pi sqrt(L C)). Hertz; 0 when either value is not positive.
double selfResonantFrequency(double inductance, double capacitance);

} // namespace brevan::check
