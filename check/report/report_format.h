// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers for people: fixed decimals, a full stop as the decimal point whatever the locale the
// process runs in (Qt sets the user's locale for the C library at start-up).

#include "coil/helical_line.h"

#include <string>

namespace brevan::check {

std::string number(double value, int decimals);

// Three significant digits or more, the way an engineer rounds a figure: 7.18, 0.914, 1650.
std::string significant(double value, int digits = 3);

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

// Whose self-capacitance the coil is given: "Knight 2016", or for a long coil the helical
// line's.
std::string selfCapacitanceSource(SelfResonanceModel model);

} // namespace brevan::check
