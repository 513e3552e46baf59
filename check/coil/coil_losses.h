#pragma once

// Losses and self-resonance of the wound coil. SI units throughout: metres, hertz, ohms, farads.

#include "coil/coil_model.h"

namespace brevan::check {

// Annealed copper at 20 degrees C (IEC 60028), ohm metres.
inline constexpr double kCopperResistivity = 1.7241e-8;

double skinDepth(double frequency);

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
// below 1 nm is taken as 1 nm, so the value stays finite.
double selfCapacitance(const WoundCoil& coil);

// 1 / (2 pi sqrt(L C)). Hertz; 0 when either value is not positive.
double selfResonantFrequency(double inductance, double capacitance);

} // namespace brevan::check
