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
// Radiation: a grey body to surroundings at the air's temperature. Only the winding's outer
// surface counts, not the former beyond it nor its ends: the estimate errs on the warm side.
// Still air and no sun: wind cools, sunshine warms.

namespace brevan::check {

inline constexpr double kAmbientCelsius = 25.0;

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

// Emissivities: enamelled wire (a varnish, near 0.9 as paints are) and bright copper, low and
// so the warmer estimate for bare wire (tarnished copper outdoors reaches 0.5 and more).
inline constexpr double kEnamelEmissivity = 0.85;
inline constexpr double kBareCopperEmissivity = 0.1;

} // namespace brevan::check
