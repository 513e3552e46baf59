// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What each coil and each tip must hold at the builder's power and mode, from the engine's
// currents at F (wire_currents.h) scaled to that power: the feed current is sqrt(P / R), and
// every current and voltage follows it in proportion.
//
//   CurrentsAtDesign + the coil's impedance at F + CoilBuild + PowerSetting --powerFigures-->
//     PowerFigures
//
// The power is the peak envelope power delivered at the feed point: the key-down power of CW,
// FM and the digital modes, the peak of SSB and AM. Each mode's average over a transmission
// is a share of it (modeDuty). Currents and voltages are rms at that peak, and their peaks
// sqrt 2 times more. The heat is the coil's current squared times its resistance at F, key-down
// and averaged for the mode; the temperature comes from the average, since a coil takes
// minutes to warm.
//
// Between turns: a lumped coil shares its voltage evenly among its turns.
// - Close-wound turns touch, enamel to enamel. Below Paschen's minimum, about 327 V peak in
//   air, no discharge can start in the air beside them whatever the gap; above it partial
//   discharges wear the enamel through over time, although the enamel's breakdown test passes
//   kilovolts.
// - Spaced bare turns: the gap sparks over where the field at the wires' surface reaches
//   Peek's onset field, 30 (1 + 0.301 / sqrt(r)) kV/cm peak (r in cm; F. W. Peek, "Dielectric
//   Phenomena in High-Voltage Engineering", 1929), the field of two parallel round wires at the
//   turns' pitch, and no later than a uniform gap as wide. Measured at power frequency; at HF, in
//   damp or dirty air, less, so the check asks for half of it, and never less than Paschen's
//   minimum.
//
// Limits of the winding's temperature, on a 25 degree C day: a plastic former (PVC, the usual
// pipe, softens from about 65 degrees C) keeps the winding within 40 K; the wire's enamel
// (thermal class 130, the usual solderable polyurethane) within 105 K.

#include "power/heat_transfer.h"
#include "power/wire_currents.h"

#include <complex>
#include <optional>

namespace brevan::check {

enum class Mode { Ssb, Cw, Am, Fm, Digital };

struct ModeDuty {
    Mode mode;
    const char* name;     // "SSB", as the report says it
    const char* option;   // "ssb", as --mode takes it
    double averageToPeak; // the mode's average power over its peak envelope power
    const char* why;      // where the share comes from
};

const ModeDuty& modeDuty(Mode mode);

struct PowerSetting {
    double watts = 100.0; // peak envelope power at the feed point
    Mode mode = Mode::Ssb;
};

inline constexpr double kDefaultPowerW = 100.0;
inline constexpr double kPaschenMinimumV = 327.0; // V peak, air
inline constexpr double kFormerMostRise = 40.0;   // K
inline constexpr double kEnamelMostRise = 105.0;  // K
inline constexpr double kSpacedTurnsMargin = 2.0; // of Peek's onset

// The coil as wound, for what its turns and surface hold.
struct CoilBuild {
    double turns = 0.0;
    double pitch = 0.0;            // m, turn centre to centre
    double wireDiameter = 0.0;     // m, bare copper
    double meanDiameter = 0.0;     // m, turn centre to centre across the coil
    double windingLength = 0.0;    // m
    double leadOhmsPerMetre = 0.0; // ohm / m at F, the wire alone, as each lead carries it
    double leadLength = 0.0;       // m, each lead, the winding to the antenna wire
    bool solidFormer = false;      // wound on a rod rather than a tube or air
};

// Close-wound: the turns touch (a pitch within 5 % of the wire).
bool closeWound(const CoilBuild& coil);

// The peak voltage (V) between adjacent turns that the coil holds, as above.
double turnWithstand(const CoilBuild& coil);

// The winding as the cylinder that sheds its heat, and each of its leads carrying `currentRms`
// on average.
CylinderInAir windingSurface(const CoilBuild& coil);
LeadInAir windingLead(const CoilBuild& coil, double currentRms);

struct CoilStress {
    double currentRms = 0.0;  // A, at the peak envelope power
    double currentPeak = 0.0; // A
    double voltageRms = 0.0;  // V across the coil
    double voltagePeak = 0.0;
    double turnVoltagePeak = 0.0; // V between adjacent turns
    double turnWithstand = 0.0;   // V peak
    bool closeWound = false;
    double heatKeyDown = 0.0;     // W
    double heatAverage = 0.0;     // W, for the mode
    double temperatureRise = 0.0; // K, from the average
    // K, the same were the former beyond the winding a PVC tube of kFormerWall (or a rod)
    // reaching well past each end, and the share of the rise that takes off (0..1): what the
    // rise leaves out (addFormerRelief, below; only the report's own coil has them, the coils
    // it weighs against it do not).
    double riseWithFormer = 0.0;
    double formerShare = 0.0;
};

struct PowerFigures {
    PowerSetting setting;
    double feedCurrentRms = 0.0; // A
    CoilStress coil;             // each coil
    double tipVoltageRms = 0.0;  // V, each tip (the larger)
    double tipVoltagePeak = 0.0;
    double wireHeatKeyDown = 0.0; // W, the whole antenna wire
    // The peak envelope power (W, in the same mode) at which each limit is reached.
    double turnsLimitW = 0.0;  // the voltage between turns reaches what they hold
    double formerLimitW = 0.0; // the winding reaches kFormerMostRise
    double enamelLimitW = 0.0; // the winding reaches kEnamelMostRise
};

// Each coil's impedance at F (its own, as wound) and the figures at the setting; nothing
// without a feed resistance to scale by.
std::optional<PowerFigures> powerFigures(const CurrentsAtDesign& currents,
                                         std::complex<double> coilAtDesign, const CoilBuild& coil,
                                         const PowerSetting& setting);

// The power at which the first limit of the coil is reached, and the insulators' rating the
// check asks for: twice the tips' peak voltage.
// The rise of `coil` at `figures`' heat were the former beyond the winding to shed as well, and
// the figures with it and its share filled in.
double riseWithFormer(const CoilBuild& coil, const PowerFigures& figures);
void addFormerRelief(const CoilBuild& coil, PowerFigures& figures);

double coilLimitW(const PowerFigures& figures);
double insulatorRatingV(const PowerFigures& figures);

} // namespace brevan::check
