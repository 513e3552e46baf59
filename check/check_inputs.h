// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The check's inputs, read from the options' texts and validated before anything is computed.
//
//   option texts --readCheckInputs--> CheckInputs | UsageError (names the option, what was
//   given and what is accepted)

#include "nec/nec_deck.h"
#include "power/power_figures.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace brevan::check {

enum class OutputFormat { Text, Json };

// How the report gives its lengths: metres and millimetres, or feet and inches.
enum class LengthUnits { Metric, Imperial };

// A wire as the builder names it: a Standard Wire Gauge of the table, an American Wire Gauge or
// a bare diameter.
enum class WireSystem { Swg, Awg, Millimetres };
struct WireSize {
    WireSystem system = WireSystem::Swg;
    double value = 0.0; // the gauge, or the bare diameter in millimetres
};

struct CheckInputs {
    double frequencyMHz = 0.0;
    double lengthM = 0.0;   // A, tip to tip
    double distanceM = 0.0; // B, centre to the middle of each coil
    int wireSwg = 0;        // the table gauge the design uses: as given, or the nearest in diameter
    double formerMm = 0.0;
    double coilLengthMm = 0.0;
    int coilWireSwg = 0;
    // An AWG gauge or a diameter as given (nothing: the SWG above is the wire itself). The
    // design keeps the table's gauge; the model and the coil use this wire's own diameter.
    std::optional<WireSize> wireSize;
    std::optional<WireSize> coilWireSize;
    std::optional<double> pitchMm; // nothing: close-wound, one bare wire diameter
    std::optional<double> coilQ;   // replaces the estimate from the losses
    // Relative permittivity inside the coil: 1 for air or a thin-walled tube (the default),
    // else that of the solid rod it is wound on.
    double formerPermittivity = 1.0;
    bool antenna = true; // run the full-wave check
    // The coil as the builder wound it, in place of step 2's turns: the turns, and the length
    // they were wound over (nothing: from the pitch).
    std::optional<double> turns;
    std::optional<double> windingLengthMm;
    // A coil the builder measured, in place of the computed one: its inductance at low frequency
    // and its self-resonance (nothing: the self-capacitance of the coil as wound is assumed).
    std::optional<double> coilInductanceUh;
    std::optional<double> coilSelfResonanceMHz;
    Ground ground;
    Hang hang; // straight, or an inverted V hung from its apex at the height
    // The antenna wire's insulation as given; zero thickness is bare wire.
    double insulationThicknessMm = 0.0;
    double insulationPermittivity = 1.0;
    PowerSetting power; // what the coils and the tips must hold
    double engineTimeoutSeconds = 60.0;
    OutputFormat format = OutputFormat::Text;
    LengthUnits units = LengthUnits::Metric; // how the words give lengths; not the design's
    std::optional<std::string> plotPath;
    std::optional<std::string> deckPath;
    bool coilPositionStudy = false; // where the coils should go, position by position
    std::optional<std::string> studyPlotPath;
    // The analyser's sweep of the antenna as hung, and the coax it was measured through.
    std::optional<std::string> measuredPath;
    std::optional<double> feedlineLengthM; // nothing: measured at the feed point
    double feedlineVelocityFactor = 0.66;  // solid polyethylene coax
    double feedlineLossDb = 0.0;           // dB per 100 m at F
};

struct UsageError {
    std::string message;
};

// A whole option value as a number: digits with the full stop as decimal point and an optional
// exponent, whatever the locale; leading/trailing characters, a comma, inf or nan are refused.
std::optional<double> parseOptionNumber(std::string_view text);

// `given` maps each option that was given (long name without dashes) to its value; flags map to
// an empty text. Unknown names are the caller's business.
std::variant<CheckInputs, UsageError>
readCheckInputs(const std::map<std::string, std::string>& given);

// The insulation of the inputs in SI units.
Insulation wireInsulation(const CheckInputs& inputs);

// Bare diameter of a wire gauge of the table, millimetres (coil column); 0 for no row.
double coilWireDiameterMm(int swg);
double antennaWireDiameterMm(int swg);

// The wire's option text as read and written back ("14", "AWG 12", "1.63mm"), and as the
// report names it ("SWG 14", "AWG 12", "1.63 mm").
std::string wireOptionText(int swg, const std::optional<WireSize>& size);
std::string wireName(int swg, const std::optional<WireSize>& size);

// The bare diameter of an AWG gauge, millimetres: 0.127 mm x 92^((36 - n) / 39).
double awgDiameterMm(int gauge);

// The AWG gauge nearest in diameter to `mm`, 0000 (-3) to 40.
int nearestAwg(double mm);

// The even table gauge (SWG 10 to 30) nearest in diameter to `mm`, in the antenna or coil
// column.
int nearestTableGauge(double mm, bool coilColumn);

// The real bare diameters of the inputs' wires, millimetres: the given size, else the table's.
double antennaWireMm(const CheckInputs& inputs);
double coilWireMm(const CheckInputs& inputs);

} // namespace brevan::check
