#pragma once

// The loading coil as it will really be wound: a single layer of round wire on a former, its
// turns' centres on a helix whose diameter is the former's plus one wire diameter. All values
// are SI (metres, henries); callers convert at their edges.

namespace brevan::check {

struct WoundCoil {
    double turns = 0.0;          // whole turns as a rule, but any positive value works
    double meanDiameter = 0.0;   // m, former diameter + wire diameter (turn centre to centre)
    double pitch = 0.0;          // m, distance between turn centres (>= wireDiameter)
    double wireDiameter = 0.0;   // m, bare copper
};

// The winding length of the equivalent current sheet: turns x pitch.
double sheetLength(const WoundCoil& coil);

// Nagaoka's coefficient of a uniform current sheet as a function of diameter / length.
// Exact (complete elliptic integrals by the arithmetic-geometric mean) for any positive ratio.
double nagaokaCoefficient(double diameterOverLength);

// Rosa's correction for the self-inductance of a round wire against a strip of the current
// sheet: A = 5/4 - ln(2 p / d) (uniform current in the wire).
double rosaSelfCorrection(double pitch, double wireDiameter);

// Rosa's correction for the mutual inductances between turns, B(N); B(1) = 0, B(oo) = 0.3365.
double rosaMutualCorrection(double turns);

// L = mu0 pi a^2 N^2 K / l  -  mu0 a N (A + B), with a the radius to the wire centres and
// l = N p. Henries.
double currentSheetInductance(const WoundCoil& coil);
double asWoundInductance(const WoundCoil& coil);

// Wheeler's 1928 estimate L(uH) = r^2 N^2 / (9 r + 10 l), r and l in inches, for the same coil.
// Henries.
double wheelerInductance(const WoundCoil& coil);

// The whole number of turns (at least 1) whose as-wound inductance, at the same pitch and
// diameter, comes closest to `target` henries.
int closestTurns(const WoundCoil& coil, double target);

} // namespace brevan::check
