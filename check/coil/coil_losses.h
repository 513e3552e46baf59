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
// The same from the skin depth at that frequency and the wire's internal impedance there
// (roundWireInternal of radius / depth), when the caller has them already: the same bits.
CoilLoss coilResistanceWith(const WoundCoil& coil, double depth,
                            const WireInternalImpedance& internal);

// The self-capacitance of a single-layer solenoid driven across its two ends and standing
// free, as D. W. Knight derives it in "The self-resonance and self-capacitance of solenoid
// coils: applicable theory, models and calculation methods" (2016, ResearchGate; earlier
// versions since 2010 at g3ynh.info, where it is section 5, "Empirically corrected formula for
// self-capacitance", of version 0.04):
//   C = 4 e0 ex l / pi * (1 + kc (1 + ei / ex) / 2) / cos^2(psi),
//   kc = 0.717439 (D/l) + 0.933048 (D/l)^(3/2) + 0.106 (D/l)^2,
// l the winding length, D the mean diameter, psi the pitch angle (tan psi = p / pi D), ex the
// permittivity outside the winding (air, 1) and ei inside it (formerPermittivity). The term in
// l alone is the long coil's limit, set by the field outside only; kc is the short coil's
// share, which Knight fitted to Medhurst's coils on solid polystyrene rods and to air-cored
// coils together by splitting it between the two sides of the winding. Farads. A winding
// length below 1 nm is taken as 1 nm, so the value stays finite.
double selfCapacitance(const WoundCoil& coil);

// Medhurst's 1947 self-capacitance of a single-layer solenoid:
// C(pF) = 0.1126 l + 0.08 D + 0.27 D sqrt(D / l), D and l in cm. Farads. Medhurst fitted it
// to coils standing on a grounded plate, one end grounded, wound on solid polystyrene rods
// (Wireless Engineer 24, 1947): the check keeps it only to show how far its answer moves with
// this least certain of the coil's numbers.
double medhurstCapacitance(const WoundCoil& coil);

// 1 / (2 pi sqrt(L C)). Hertz; 0 when either value is not positive.
double selfResonantFrequency(double inductance, double capacitance);

} // namespace brevan::check
