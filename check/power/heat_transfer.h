// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How warm a coil runs: its winding as a horizontal cylinder in still air, shedding its heat by
// natural convection and by radiation.
//
// Convection: Churchill and Chu's correlation for a long horizontal cylinder, valid for
// Rayleigh numbers up to 1e12 (S. W. Churchill, H. H. S. Chu, "Correlating equations for
// laminar and turbulent free convection from a horizontal cylinder", Int. J. Heat Mass Transfer
// 18, 1975, 1049-1053; eq. 9.34 of Incropera and DeWitt, "Fundamentals of Heat and Mass
// Transfer"), with air's properties at the film temperature from the same book's Table A.4.
// Radiation: a grey body to surroundings at the air's temperature. Of the former, only what
// the winding covers counts, not what lies beyond it nor its ends: the estimate errs on the
// warm side. Still air and no sun: wind cools, sunshine warms.
//
// The leads: the coil's own wire leaves each end of the winding for the antenna wire, and its
// copper conducts the winding's heat along it to shed as a fin does (Incropera and DeWitt,
// section 3.6: a fin of length L with no heat passing its tip takes sqrt(h P k A) tanh(m L)
// theta_b from its base, m = sqrt(h P / k A)). On a short winding they shed more than its
// surface. Each carries the coil's current and is warmed by it as it goes, to q' / (h P) where
// the winding's heat no longer reaches, and takes the winding's heat only above that. Its h is
// taken there, where it is coolest, and the antenna wire it joins is taken to carry none of the
// heat on: both err on the warm side.

namespace brevan::check {

inline constexpr double kAmbientCelsius = 25.0;
// The most rise (K) the searches for one look at: beyond any winding or lead.
inline constexpr double kHottestRise = 1000.0;

struct CylinderInAir {
    double diameter = 0.0;               // m, outside the winding
    double length = 0.0;                 // m
    double emissivity = 0.9;             // of the surface, 0..1
    double airCelsius = kAmbientCelsius; // the air's, and the surroundings' it radiates to
};

// The heat (W) the surface sheds at `rise` kelvin above the air.
double heatShed(const CylinderInAir& cylinder, double rise);

// The rise (K) above the air at which the surface sheds `heat` watts.
double temperatureRise(const CylinderInAir& cylinder, double heat);

// The heat the surface sheds a square metre and a kelvin (W / m^2 K) at `rise`: convection and
// radiation together, finite at no rise.
double surfaceCoefficient(const CylinderInAir& cylinder, double rise);

// A lead of bare copper `diameter` across, its surface as the winding's, carrying the coil's
// current, whose own heat is `heatPerMetre` on average.
struct LeadInAir {
    double diameter = 0.0;     // m
    double length = 0.0;       // m, the winding to the antenna wire
    double emissivity = 0.9;   // of the surface, 0..1
    double heatPerMetre = 0.0; // W / m
    double airCelsius = kAmbientCelsius;
};

// What a lead does to the winding: it takes `conductance` (W / K) times the winding's rise above
// `farRise`, the lead's own rise far from the winding.
struct LeadFin {
    double farRise = 0.0;     // K
    double conductance = 0.0; // W / K
};
LeadFin leadFin(const LeadInAir& lead);

// The same lead at the current that keeps it `farRise` above the air, and its heat a metre
// (W / m) there.
LeadFin leadFinAt(const LeadInAir& lead, double farRise);
double leadHeatPerMetre(const LeadInAir& lead, double farRise);

// The heat (W) the winding's surface and its two leads shed at `rise` kelvin above the air (less
// than nothing below the leads' own rise, which then warm it), and the rise at which they shed
// `heat` watts.
double windingShed(const CylinderInAir& winding, const LeadFin& lead, double rise);
double windingRise(const CylinderInAir& winding, const LeadFin& lead, double heat);

// The former beyond the winding, which the rise above leaves out: a plastic tube (or rod)
// that takes the winding's heat along its wall and sheds it from its outer face, a fin reaching
// well past each end (the air inside a tube is taken as still). Along such a fin h changes with
// the rise, and it takes sqrt(2 k A P integral of h theta d theta, 0 to the base's rise) from
// its base (Incropera and DeWitt, section 3.6, with h a function of the rise). How much it
// would take off the rise is the report's measure of how far the rise errs on the warm side.
struct FormerInAir {
    double diameter = 0.0; // m, outside
    double wall = 0.0;     // m; half the diameter or more is a solid rod
    double emissivity = 0.9;
    double airCelsius = kAmbientCelsius;
};
// Rigid PVC conducts about 0.19 W / m K, and a plumbing tube's wall is about 2 mm.
inline constexpr double kPvcConduction = 0.19;
inline constexpr double kFormerWall = 2e-3;

// The heat (W) the former beyond one end of the winding takes from it at `rise`.
double formerFinHeat(const FormerInAir& former, double rise);

// The winding's rise at `heat` watts with the former beyond both ends shedding as well.
double windingRiseWithFormer(const CylinderInAir& winding, const LeadFin& lead,
                             const FormerInAir& former, double heat);

// Emissivities: enamelled wire (a varnish, near 0.9 as paints are) and bright copper, low and
// so the warmer estimate for bare wire (tarnished copper outdoors reaches 0.5 and more).
inline constexpr double kEnamelEmissivity = 0.85;
inline constexpr double kBareCopperEmissivity = 0.1;

} // namespace brevan::check
