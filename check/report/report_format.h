// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers for people: fixed decimals, a full stop as the decimal point whatever the locale the
// process runs in (Qt sets the user's locale for the C library at start-up).

#include "check_inputs.h"
#include "coil/helical_line.h"

#include <string>

namespace brevan::check {

std::string number(double value, int decimals);

// Three significant digits or more, the way an engineer rounds a figure: 7.18, 0.914, 1650.
std::string significant(double value, int digits = 3);

// A length to the nearest eighth of an inch, the way a tape measure reads: "49 ft 2 3/8 in",
// "1 ft 0 5/8 in", "7 3/8 in", "3 ft", "0 in". A foot is 0.3048 m exactly.
std::string feetAndInches(double metres);

// The report's lengths in the builder's units (--units): in metric in the unit and decimals
// each place gives, or every one in feet and inches (feetAndInches).
class Lengths {
public:
    explicit Lengths(LengthUnits units) : m_units(units) {}
    std::string m(double metres, int decimals) const;  // "7.64 m"
    std::string cm(double metres, int decimals) const; // "31 cm"
    std::string mm(double metres, int decimals) const; // "8.2 mm"
    bool imperial() const { return m_units == LengthUnits::Imperial; }

private:
    std::string metric(double value, int decimals, const char* unit, double metres) const;
    LengthUnits m_units;
};

// A wire and its bare diameter: "SWG 16, 1.626 mm"; in feet and inches as AWG with metric
// beside, "AWG 14 (SWG 16, 1.626 mm)", the gauge the nearest in diameter unless given as AWG.
std::string wireText(const CheckInputs& in, int swg, const std::optional<WireSize>& size,
                     double diameterMm);

// A wire as AWG: "AWG 14" when given so, else the AWG gauge nearest in diameter with the wire
// as given beside, "AWG 14 (SWG 16)", "AWG 14 (1.63 mm)".
std::string awgText(int swg, const std::optional<WireSize>& size, double diameterMm);

// A gauge of the table's coil column the check proposes: "SWG 18"; in feet and inches
// "AWG 17 (SWG 18)".
std::string tableGaugeText(const Lengths& lengths, int swg);

// A coil's dimension, where an eighth of an inch is too coarse alone: "52.00 mm"; in feet and
// inches "2 in (52.0 mm)".
std::string coilDimension(const Lengths& lengths, double metres);

// A length as written in metric, led in feet and inches by its eighths of an inch: "3/8 in
// (8.2 mm)". In metric the text alone.
std::string withInches(const Lengths& lengths, double metres, const std::string& metric);

// A pitch between turn centres as written in metric, led in feet and inches by turns per inch,
// as a winder counts them: "27.8 turns per inch (0.914 mm)".
std::string pitchWithTpi(const Lengths& lengths, double pitchM, const std::string& metric);

// "1 turn", "9 turns".
std::string turnsText(double turns);

// A resonance to the kHz, with the model's relative uncertainty when it is large enough to
// matter at that resolution: "7.372 MHz", "7.372 MHz ± 0.3 %".
inline constexpr double kShownUncertainty = 0.0005;
std::string resonanceText(double frequencyMHz, double uncertainty);

// The share as people say it: "± 0.3 %", "± 0.06 %", "± 1.2 %".
std::string uncertaintyText(double uncertainty);

// An SWR for a sentence: one decimal below 10 ("4.1"), whole above ("625").
std::string swrText(double swr);

// "it spans 31 degrees of its own slow wave, its wire 0.16 wavelength"
std::string longCoilText(const CoilLength& length);

// What a coil the check names says of itself when it is long against the waves at F.
inline constexpr const char* kNamedLongCoil =
    "a long coil, whose current falls along it: the model is less sure of it";

// Whose self-capacitance the coil is given: "Knight 2016", or for a long coil the helical
// line's.
std::string selfCapacitanceSource(SelfResonanceModel model);

} // namespace brevan::check
