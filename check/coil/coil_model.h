// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The loading coil as it will really be wound: a single layer of round wire on a former, its
// turns' centres on a helix whose diameter is the former's plus one wire diameter. All values
// are SI (metres, henries); callers convert at their edges.

namespace brevan::check {

struct WoundCoil {
    double turns = 0.0;        // whole turns as a rule, but any positive value works
    double meanDiameter = 0.0; // m, former diameter + wire diameter (turn centre to centre)
    double pitch = 0.0;        // m, distance between turn centres (>= wireDiameter)
    double wireDiameter = 0.0; // m, bare copper
    // Relative permittivity inside the winding: 1 for air or a thin-walled tube, that of the
    // rod for a solid former. Only the self-capacitance depends on it (coil_losses.h).
    double formerPermittivity = 1.0;
};

// The winding length of the equivalent current sheet: turns x pitch.
double sheetLength(const WoundCoil& coil);

// Nagaoka's coefficient of a uniform current sheet as a function of diameter / length.
// Exact (complete elliptic integrals by the arithmetic-geometric mean) for any positive ratio.
double nagaokaCoefficient(double diameterOverLength);

// Rosa's correction for the self-inductance of a round wire against a strip of the current
// sheet: A = 3/2 - phi/4 - ln(2 p / d). phi / 4 is the wire's internal inductance in units of
// mu0 / 2 pi: phi = 1 for uniform current (DC, Rosa's own A = 5/4 - ln(2 p / d)), falling to 0
// as the current crowds into the skin (round_wire.h). The internal inductance adds to the
// wire's own, so losing it raises A and lowers L.
double rosaSelfCorrection(double pitch, double wireDiameter, double internalFraction = 1.0);

// Rosa's correction for the mutual inductances between turns, B(N): B(1) = 0, B(10) = 0.2664,
// rising slowly (about ln N / 6N short of the limit) to 0.3379 for endless turns. Defined for
// whole turns; between two whole numbers it is interpolated linearly, and it is 0 below 1.
double rosaMutualCorrection(double turns);

// L = mu0 pi a^2 N^2 K / l  -  mu0 a N (A + B), with a the radius to the wire centres and
// l = N p, mu0 = 4 pi 1e-7 H/m. Henries. Rosa's corrections assume p << D: against the exact
// sum over coaxial rings the result is within about 0.13 (p/D)^2.
double currentSheetInductance(const WoundCoil& coil);

// The inductance at DC, current uniform across the wire: what the coil measures on an
// inductance bridge at low frequency, and the figure the report gives as "as wound".
double asWoundInductance(const WoundCoil& coil);

// The inductance at `frequencyHz`, with the wire's internal inductance as the exact Bessel
// solution gives it at that frequency (copper). At HF, once the wire is many skin depths thick,
// it has all but gone: mu0 a N / 4 less than asWoundInductance (about 1 % for a short
// close-wound coil). At or below 0 Hz it is asWoundInductance. Henries.
double inductanceAt(const WoundCoil& coil, double frequencyHz);
// What of the inductance does not change with frequency, worked out once for a coil whose
// impedance is asked at many frequencies (its self-resonance search asks about ninety times).
struct InductanceParts {
    double sheet = 0.0;            // henries, currentSheetInductance
    double mutualCorrection = 0.0; // rosaMutualCorrection of its turns
};
InductanceParts inductanceParts(const WoundCoil& coil);
// inductanceAt from those parts, with the wire's internal inductance at `internalFraction` of
// its DC value (roundWireInternal at that frequency): the same operations, so the same bits.
double inductanceFrom(const WoundCoil& coil, const InductanceParts& parts, double internalFraction);

// Wheeler's 1928 estimate L(uH) = r^2 N^2 / (9 r + 10 l), r and l in inches, for the same coil.
// Henries.
double wheelerInductance(const WoundCoil& coil);

// The whole number of turns (1 to kMostTurns) whose as-wound inductance, at the same pitch and
// diameter, comes closest to `target` henries (closestWholeTurns over asWoundInductance).
int closestTurns(const WoundCoil& coil, double target);

// How much more inductance a straight round wire of diameter `wireDiameter` has over `length`
// than the coil's own axial path: the current that runs along a coil's axis is spread round
// its winding, like a thin tube of the coil's mean diameter, not drawn into one thin wire.
// Both as partial self-inductances by their geometric mean distances (the wire's radius, the
// tube's radius): mu0 / 2 pi [l asinh(l / g) - sqrt(l^2 + g^2) + g] for each, which for a coil
// much longer than wide is mu0 l / 2 pi ln(D / d). Henries; 0 when the wire is not thinner.
double straightWireExcess(double length, double coilDiameter, double wireDiameter);

// The same coil with another number of turns.
WoundCoil withTurns(const WoundCoil& coil, double turns);

} // namespace brevan::check
