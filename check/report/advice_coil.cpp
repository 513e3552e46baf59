// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of the coil as wound: its verdict, its warnings and the coils that would
// do instead.
#include "report/advice.h"

#include "coil/physics.h"
#include "cut_list.h"
#include "general_format.h"
#include "range_limits.h"
#include "report/advice_parts.h"
#include "report/report_format.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

using namespace advice_parts;

namespace {

// Below this the coil's own resonance pulls its effective inductance noticeably.
constexpr double kSelfResonanceMargin = 3.0;

// A difference the trim easily takes up; beyond it the report suggests other turns.
constexpr double kTurnsAdviceShare = 0.02;

// "14 turns of SWG 18 on a 32 mm former, close-wound, 25.1 mm long"
std::string coilText(const Lengths& L, const CoilAlternative& c) {
    const std::string wire = c.gauge == 0 ? std::string("your wire") : tableGaugeText(L, c.gauge);
    const bool closeWound = c.coil.pitch <= c.coil.wireDiameter * 1.001;
    return turnsText(c.coil.turns) + " of " + wire + " on a " +
           withInches(L, c.formerDiameter, significant(c.formerDiameter * 1000, 2) + " mm") +
           " former, " +
           (closeWound
                ? std::string("close-wound")
                : "at a " + pitchWithTpi(L, c.coil.pitch, number(c.coil.pitch * 1000, 2) + " mm") +
                      " pitch") +
           ", " + withInches(L, c.windingLength, number(c.windingLength * 1000, 1) + " mm") +
           " long";
}

} // namespace

namespace advice_parts {

std::string coilVerdict(const CheckReport& report) {
    const CoilAsWound& coil = report.coil;
    const double turns = coil.coil.turns;
    const double step1 = report.design.inductanceUh;
    const auto against = [&report, step1](double henries) {
        const double difference = percentAgainstStep1(report.design, henries);
        const std::string share = number(std::abs(difference), 1);
        const std::string stepOne = "step 1's " + number(step1, 3) + " uH";
        // Closer than the tenth it is worded to, it is neither less nor more.
        return number(henries * 1e6, 3) + " uH, " +
               (share == number(0.0, 1)
                    ? "within 0.05 % of " + stepOne
                    : share + " % " + (difference < 0 ? "less" : "more") + " than " + stepOne);
    };
    std::string line;
    if (report.measuredCoil) {
        line = "As measured, each coil is " + against(report.measuredCoil->inductance) +
               "; the check models the measured coil.";
    } else if (report.inputs.turns) {
        line =
            "Wound with " + turnsText(turns) + ", each coil is " + against(coil.inductance) + ".";
    } else {
        line = "Wound as planned, " + turnsText(turns) + " " + verb(turns, "gives", "give") + " " +
               against(coil.inductance) + ".";
    }
    // What the antenna works with: the winding at F with its self-capacitance across it.
    const CoilLosses& losses = report.losses;
    if (losses.apparentInductance > 0.0) {
        line += " At " + formatDouble(report.inputs.frequencyMHz, ".") +
                " MHz, with its self-capacitance, each coil looks like " +
                number(losses.apparentInductance * 1e6, 3) + " uH to the antenna.";
    }
    if (!report.measuredCoil && std::abs(coil.differencePercent) > kTurnsAdviceShare * 100 &&
        coil.closestTurns != static_cast<int>(turns)) {
        line += " " + turnsText(coil.closestTurns) + " " +
                verb(coil.closestTurns, "comes", "come") + " closest (" +
                number(coil.closestTurnsInductance * 1e6, 3) + " uH).";
    }
    return line;
}

bool coilSelfResonates(const CheckReport& report) {
    return report.losses.selfResonance <= report.inputs.frequencyMHz * 1e6;
}

bool coilUnfit(const CheckReport& report) {
    return coilUnfitAt(report.losses.selfResonance, report.inputs.frequencyMHz * 1e6);
}

std::string selfResonanceText(const CheckReport& report) {
    return significant(report.losses.selfResonance / 1e6, 3) + " MHz";
}

// Why a coil that self-resonates at, below or just above F must change, ending "the coil must
// change".
std::string unfitCoilText(const CheckReport& report) {
    const double f = report.inputs.frequencyMHz * 1e6;
    const CoilLosses& losses = report.losses;
    if (coilSelfResonates(report)) {
        return "the coil self-resonates at " + selfResonanceText(report) + ", at or below " +
               designText(report) + ", and acts as a capacitor: the coil must change";
    }
    return "the coil self-resonates at " + selfResonanceText(report) + ", only " +
           number((losses.selfResonance / f - 1.0) * 100, 1) + " % above " + designText(report) +
           ", where its self-capacitance makes it look like " +
           number(losses.apparentInductance * 1e6, 0) + " uH to the antenna (step 1 asks for " +
           number(report.design.inductanceUh, 1) +
           " uH). So near its own resonance a coil's reactance swings with the least change of "
           "that capacitance, and no trim on the analyser makes up for it: the coil must change";
}

// The window's advisory range checks.
std::vector<std::string> rangeWarnings(const CheckReport& report) {
    std::vector<std::string> out;
    const CheckInputs& in = report.inputs;
    const WindowDesign& design = report.design;
    if (frequencyOutsideHf(in.frequencyMHz)) {
        out.push_back("The design frequency " + designText(report) +
                      " is outside the HF range (1 to 30 MHz) the design formula is made for.");
    }
    const std::optional<float> maxLength = maxLengthFeet(in.frequencyMHz);
    if (maxLength && isAboveLimit(static_cast<float>(design.lengthAFeet), *maxLength)) {
        out.push_back("A (" + number(design.lengthAFeet, 2) +
                      " ft) is longer than nine tenths of a half wave at this frequency (" +
                      number(*maxLength, 0) +
                      " ft): a loaded dipole only makes sense when it is shorter than that; "
                      "consider a full-size dipole.");
    }
    const double minLength = minLengthFeet(design.distBFeet);
    if (isBelowLimit(design.lengthAFeet, minLength)) {
        out.push_back("A (" + number(design.lengthAFeet, 2) + " ft) is shorter than 2.6 x B (" +
                      number(minLength, 2) +
                      " ft): the coils sit too far out. Make A longer or B shorter.");
    }
    const std::optional<float> maxDist = maxDistanceFeet(design.lengthAFeet);
    if (maxDist && isAboveLimit(static_cast<float>(design.distBFeet), *maxDist)) {
        out.push_back("B (" + number(design.distBFeet, 2) + " ft) is more than four tenths of A (" +
                      number(*maxDist, 0) + " ft). Make B shorter.");
    }
    return out;
}

std::vector<std::string> coilWarnings(const CheckReport& report) {
    std::vector<std::string> out;
    const double frequency = report.inputs.frequencyMHz * 1e6;
    if (coilSelfResonates(report)) {
        out.push_back("The coil resonates by itself at " + selfResonanceText(report) +
                      ", at or below the design frequency: there it acts as a capacitor, not as "
                      "a loading coil, so the coil must change.");
    } else if (report.losses.selfResonance < kSelfResonanceMargin * frequency) {
        out.push_back("The coil's self-resonance (" + selfResonanceText(report) +
                      ") is less than three times the design frequency: its self-capacitance "
                      "raises the inductance it shows at " +
                      designText(report) + " and adds loss.");
    }
    // With the full-wave check the antenna's uncertainty says this, with what it costs.
    const CoilLength& length = report.losses.length;
    if (length.isLong && !(report.antenna && report.antenna->coilModelSpread > 0.0)) {
        out.push_back("The coil is long against the waves at " + designText(report) + " (" +
                      number(length.spanDegrees, 0) + " degrees of its own slow wave, " +
                      number(length.wireWavelengths, 2) +
                      " wavelength of wire): the check models it as one lumped coil " +
                      (report.losses.selfResonanceModel == SelfResonanceModel::Lumped
                           ? std::string("with Knight's self-capacitance")
                           : std::string("whose self-resonance follows the helical line")) +
                      ", without the current's fall along it.");
    }
    if (report.coil.shortForWheeler) {
        out.push_back("The coil is shorter than 0.4 of its diameter, where Wheeler's formula of "
                      "step 2 loses its accuracy; the as-wound figure does not.");
    }
    if (report.cut.coilReachesCentre) {
        out.push_back("The coil is longer than twice B, so it reaches the centre: no inner wire "
                      "is left. Make B larger or the coil shorter, or give B = 0 to put both "
                      "coils at the feed point.");
    }
    if (report.cut.coilReachesTip) {
        out.push_back("The coil reaches past the tip: no outer wire is left. Make A longer or B "
                      "shorter.");
    }
    return out;
}

} // namespace advice_parts

std::string alternativesSentence(const CheckReport& report) {
    const CoilAlternatives& alternatives = report.alternatives;
    const Lengths L(report.inputs.units);
    const std::vector<CoilAlternative>& coils = alternatives.coils;
    if (coils.empty()) {
        if (!alternatives.highestResonance) {
            return {};
        }
        const CoilAlternative& best = *alternatives.highestResonance;
        return "No coil of the usual formers and wires with this inductance self-resonates at "
               "three times F or more; the highest, " +
               coilText(L, best) + ", self-resonates at " +
               significant(best.selfResonance / 1e6, 3) +
               " MHz. Coils nearer the feed point, or a longer antenna, need less inductance.";
    }
    // Long ones come last, where no shorter one clears the margin: said once, not per coil.
    const auto longCount = static_cast<std::size_t>(std::count_if(
        coils.begin(), coils.end(), [](const CoilAlternative& c) { return c.isLong; }));
    const bool allLong = longCount == coils.size();
    std::string line = coils.size() == 1 ? "A coil that would do: " : "Coils that would do: ";
    for (std::size_t i = 0; i < coils.size(); ++i) {
        const CoilAlternative& c = coils[i];
        line += (i == 0                  ? ""
                 : i + 1 == coils.size() ? "; or "
                                         : "; ") +
                coilText(L, c) + " (" + number(c.apparentInductance * 1e6, 2) +
                " uH at F, self-resonance " + significant(c.selfResonance / 1e6, 3) + " MHz, Q " +
                number(c.q, 0) + (c.isLong && !allLong ? "; a long coil" : "") + ")";
    }
    line += ".";
    if (allLong) {
        line += std::string(coils.size() == 1 ? " It is " : " Each is ") + kNamedLongCoil + ".";
    } else if (longCount > 0) {
        line += " A long coil's current falls along it: the model is less sure of it.";
    }
    return line;
}

} // namespace brevan::check
