// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The report's sentences are written by subject, one file each (advice.cpp, the verdict;
// advice_coil.cpp, advice_antenna.cpp, advice_measured.cpp, advice_study.cpp). What one
// subject's file lends another, and the verdict gathers, is declared here; nothing outside the
// report's sentences uses it.

#include "check_report.h"

#include <string>
#include <vector>

namespace brevan::check::advice_parts {

// Words every subject's sentences share (advice.cpp).
std::string designText(const CheckReport& report);
std::string verb(double count, const char* one, const char* many);
// A sentence of the model's antenna once the antenna hangs and is swept: the sweep has said
// how it really resonates, so the model's figures are what was expected before it.
std::string beforeTheSweep(std::string sentence, const std::string& why = "");

// The coil (advice_coil.cpp).
std::string coilVerdict(const CheckReport& report);
bool coilSelfResonates(const CheckReport& report);
bool coilUnfit(const CheckReport& report);
std::string selfResonanceText(const CheckReport& report);
std::string unfitCoilText(const CheckReport& report);
std::vector<std::string> rangeWarnings(const CheckReport& report);
std::vector<std::string> coilWarnings(const CheckReport& report);

// The antenna (advice_antenna.cpp).
std::vector<std::string> builtVerdict(const CheckReport& report, const AntennaResult& built);
std::string trimVerdict(const CheckReport& report, const AntennaCheck& check);
std::string matchingVerdict(const CheckReport& report, const Matching& m);
std::string neededCoilVerdict(const CheckReport& report, const AntennaCheck& check);
// Once the antenna hangs and a sweep has calibrated the model, the sweep's cut replaces the trim.
bool calibratedBySweep(const CheckReport& report);
std::string radiatedVerdict(const CheckReport& report, const AntennaCheck& check);
bool radiatesPoorly(const AntennaCheck& check);
// As built it has no resonance near F, and the coils that keep the length are known: its loss
// and its coils' stress at F are of an antenna no one hangs as it is.
bool unusableUntilTheCoilsChange(const AntennaCheck& check);
std::vector<std::string> antennaWarnings(const CheckReport& report, const AntennaCheck& check);

} // namespace brevan::check::advice_parts
