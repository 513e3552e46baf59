// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The loading coil as the antenna sees it: a two-terminal impedance at each frequency. The
// winding is R(f) + j omega L(f) (inductanceAt, lossResistance); its self-capacitance
// (modelCapacitance: Knight's floating coil, or a long coil's helical line) sits across both
// terminals. Below self-resonance the
// pair looks like a larger inductance than the winding's own; at and above it, like a capacitor.
//
//   WoundCoil -> inductanceAt, lossResistance -> coilImpedance -> apparentCoil
//                                                              -> selfResonance
//   closestTurnsSeen: the whole turns whose apparent inductance at F meets a target.

#include "coil/coil_model.h"

#include <complex>
#include <functional>
#include <optional>

namespace brevan::check {

// The coil's series loss resistance at `frequencyHz`, ohms. With a Q the user gave, the
// resistance that Q means at that frequency: omega L(f) / q. Without one, the winding's own AC
// resistance (coilResistance: Dowell, never below the isolated wire). A q that is not a
// positive number counts as none given.
double lossResistance(const WoundCoil& coil, double frequencyHz, std::optional<double> q);

// (R(f) + j omega L(f)) in parallel with the self-capacitance (modelCapacitance), ohms. At or
// below 0 Hz the
// winding's resistance alone. A lossless winding exactly at resonance (it has no resistance
// when its wire has no diameter) would be an open circuit; it is given as DBL_MAX ohms.
std::complex<double> coilImpedance(const WoundCoil& coil, double frequencyHz,
                                   std::optional<double> q);
// The same with `capacitance` farads across the winding in place of modelCapacitance(coil).
std::complex<double> coilImpedance(const WoundCoil& coil, double frequencyHz,
                                   std::optional<double> q, double capacitance);

enum class CoilActsAs {
    Inductor,  // Im Z > 0: below self-resonance
    Capacitor, // Im Z <= 0: at or above self-resonance
};

// What the antenna sees at one frequency, as the report gives it.
struct ApparentCoil {
    double inductance = 0.0;  // H, Im Z / omega; negative once the coil acts as a capacitor
    double resistance = 0.0;  // ohm, Re Z: the series resistance of the apparent coil
    double capacitance = 0.0; // F, -1 / (omega Im Z) when Im Z < 0, else 0
    CoilActsAs actsAs = CoilActsAs::Inductor;
};

// Finite for any frequency above zero, however close to self-resonance: there the winding's
// resistance bounds |Z| by about Q omega L. At or below 0 Hz: the winding's inductance and
// resistance.
ApparentCoil apparentCoil(const WoundCoil& coil, double frequencyHz, std::optional<double> q);

// The coil's first self-resonance, hertz: where Im Z falls through zero, found by bisection
// within a factor of four of 1 / (2 pi sqrt(L C)). 0 when the coil is so lossy that it is not
// inductive even at a quarter of that frequency, or has no inductance or capacitance.
double selfResonance(const WoundCoil& coil, std::optional<double> q);
// The same with `capacitance` farads across the winding in place of modelCapacitance(coil).
double selfResonance(const WoundCoil& coil, std::optional<double> q, double capacitance);

// The pieces both coils, computed and measured, are made of.
// A winding `winding` ohms with `capacitance` farads across it, at omega rad/s:
// Zw / (1 + j omega C Zw); DBL_MAX ohms for a lossless winding exactly at resonance.
std::complex<double> withCapacitanceAcross(std::complex<double> winding, double omega,
                                           double capacitance);
// What the antenna sees of a two-terminal impedance `z` at `frequencyHz` > 0.
ApparentCoil apparentFrom(std::complex<double> z, double frequencyHz);
// Where `inductive` (Im Z > 0 at a frequency) turns false, by bisection within a factor of
// four of `estimate` hertz; 0 when it is false even at a quarter of the estimate.
double firstSelfResonance(double estimate, const std::function<bool(double)>& inductive);

// The whole turns (same former, wire and pitch) whose apparent inductance at `frequencyHz`
// comes closest to `target` henries, among those still below self-resonance there (more turns
// raise both L and C, so once a coil acts as a capacitor at F, any longer one does too).
// Nothing when even one turn acts as a capacitor at F.
std::optional<int> closestTurnsSeen(const WoundCoil& coil, double frequencyHz, double target,
                                    std::optional<double> q);

} // namespace brevan::check
