// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The long coil as a helical line. A wave runs along a coil's axis at a fraction of light's
// speed that Kandoian and Sichak measured on helices and fitted ("Wide-frequency-range tuned
// helical antennas and circuits", Electrical Communication 30, 1953, as K. L. and J. F. Corum
// give it in "RF coils, helical resonators and voltage magnification by coherent spatial
// modes", IEEE TELSIKS 2001):
//   VF = 1 / sqrt(1 + 20 (D / p)^2.5 (D / lambda)^0.5),
// D the mean diameter, p the pitch, lambda the free-space wavelength. A floating coil first
// resonates where its winding length is half a wavelength of that wave.
//
// Which model sets the self-resonance. The lumped coil, Knight's self-capacitance across the
// winding (coil_losses.h), follows measured coils to 5 % at the loading coil's shape, but
// stretched it falls ever further below them (32 % low at 4.3 diameters long): there the wave
// along the helix sets the resonance, and the line comes within 7 %. The line in turn is 37 %
// high at 1.7 diameters, where the coil is too short to carry a wave of its own. So up to two
// diameters long the self-resonance is the lumped coil's, from four on the line's, and between
// them the capacitance is the two's geometric mean, weighted linearly in l/D.

#include "coil/coil_model.h"

namespace brevan::check {

// The fraction of light's speed at which a wave runs along the coil's axis at `frequencyHz`.
double helixVelocityFactor(const WoundCoil& coil, double frequencyHz);

// The floating coil's half-wave resonance as a helical line, hertz; 0 for a coil of no length.
double helicalLineSelfResonance(const WoundCoil& coil);

enum class SelfResonanceModel {
    Lumped,      // l/D up to 2: Knight's self-capacitance across the winding
    Joined,      // l/D between 2 and 4: between the two
    HelicalLine, // l/D from 4: the helical line's half-wave resonance
};

SelfResonanceModel selfResonanceModel(const WoundCoil& coil);

// The capacitance the antenna model puts across the winding: Knight's where the coil is short,
// the one that resonates the lossless winding at the line's frequency from four diameters on,
// and between them their geometric mean as above. Farads.
double modelCapacitance(const WoundCoil& coil);

// How long the coil is against the waves at `frequencyHz`: the phase its own slow wave turns
// through along the winding, and its wire against the free-space wavelength. Past about 15
// degrees, or a tenth of a wavelength of wire, the current falls noticeably from one end of
// the coil to the other, which a lumped coil does not carry. A coil shorter than its diameter
// is never long: it carries no wave along its axis (the line is far off there), and its
// wire's own resonance is already in Knight's capacitance.
struct CoilLength {
    double spanDegrees = 0.0;
    double wireWavelengths = 0.0;
    bool isLong = false;
};
inline constexpr double kLongCoilSpanDegrees = 15.0;
inline constexpr double kLongCoilWireWavelengths = 0.1;
inline constexpr double kLongCoilShortestShape = 1.0; // l/D

CoilLength coilLengthAt(const WoundCoil& coil, double frequencyHz);

// How far the lumped model may put a long coil's antenna's resonance from NEC-2's model of the
// same coil wound as a helix in the same antenna, relative, per unit of the rise the coil's
// self-capacitance gives its reactance at F (apparent / winding inductance - 1). On spaced coils
// on 160, 80 and 40 m the helix resonated away from the lumped model by 0.003 to 0.30 of that
// rise, above it but for one antenna trimmed with its coils 0.18 m from the tips
// (helix_antenna_test.cpp): in the antenna the wound coil shows less of its self-capacitance
// than it has floating, and near the tips its own capacitance to the surroundings makes up much
// of that, but by no rule of the coils' position the comparisons bear out.
inline constexpr double kLongCoilSpreadPerRise = 0.35;

} // namespace brevan::check
