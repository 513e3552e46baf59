// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A straight round copper wire carrying alternating current: how deep the current flows and
// the wire's own (internal) impedance, from the exact Bessel solution of the diffusion equation
// inside it. The coil's resistance and its inductance at a frequency both read from here.

namespace brevan::check {

// Annealed copper at 20 degrees C (IEC 60028), ohm metres.
inline constexpr double kCopperResistivity = 1.7241e-8;

// Copper's skin depth, metres. A frequency at or below zero is read as the smallest positive one,
// so the depth stays finite (and far larger than any wire).
double skinDepth(double frequency);

// The internal impedance per metre of an isolated round wire of radius a is
// Z = R_dc (z/2) I0(z) / I1(z), z = (1 + j) a / delta (the same as (k rho / 2 pi a) J0(ka) /
// J1(ka) with k = (1 - j) / delta). Both of its parts, as ratios to their DC values:
struct WireInternalImpedance {
    double resistanceRatio = 1.0;    // R(f) / R_dc: 1 at DC, a / (2 delta) + 1/4 when thick
    double inductanceFraction = 1.0; // L_int(f) / (mu0 / 8 pi): 1 at DC, 2 delta / a when thick
};

// The exact solution as a function of x = radius / skin depth (x <= 0 reads as DC).
WireInternalImpedance roundWireInternal(double radiusOverDepth);

// An isolated straight copper wire's resistance per metre (ohm / m) at `frequency`.
double wireResistancePerMetre(double diameter, double frequency);

} // namespace brevan::check
