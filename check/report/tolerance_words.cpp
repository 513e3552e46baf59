// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of how exactly the antenna must be built.
#include "report/tolerance_words.h"

#include "report/report_format.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

const ToleranceTable* tableOf(const CheckReport& report) {
    return report.antenna && report.antenna->tolerances ? &*report.antenna->tolerances : nullptr;
}

// The antenna the moves are of.
const AntennaResult& baseOf(const CheckReport& report) {
    const AntennaCheck& a = *report.antenna;
    return a.tolerances->ofTrimmed && a.trimmed ? *a.trimmed : a.built;
}

std::string sideMove(const std::optional<ToleranceMove>& side, bool beyond) {
    return side ? khzMove(side->resonanceKHz) : beyond ? "over 30 %" : std::string("-");
}

std::string sideSwr(const std::optional<ToleranceMove>& side) {
    if (!side) {
        return "-";
    }
    return side->swr < 100 ? number(side->swr, 2) : std::string("over 100");
}

// What the builder does about the difference that matters most.
std::string whatToDo(Tolerance which) {
    switch (which) {
    case Tolerance::Turns: return "count the turns exactly";
    case Tolerance::Tips: return "measure each tip to the centimetre, and trim by the analyser";
    case Tolerance::WindingLength:
        return "hold the winding's length to the millimetre, the turns evenly spaced";
    case Tolerance::SelfCapacitance:
        return "it is the model's least certain figure, not a dimension: measure the resonance "
               "before the last trim";
    case Tolerance::CoilQ:
        return "it is the coil's loss, not a dimension: keep the coil dry and its joints clean";
    case Tolerance::Height: return "trim it at the height it will hang";
    }
    return "";
}

// The difference in a sentence: what it is, then how large.
std::string inWords(Tolerance which) {
    switch (which) {
    case Tolerance::Turns: return "the number of turns: one turn more or fewer";
    case Tolerance::Tips: return "the length of the tips: 1 cm more or less at each tip";
    case Tolerance::WindingLength: return "the winding's length: 1 mm longer or shorter";
    case Tolerance::SelfCapacitance:
        return "the coil's self-capacitance: 10 % more or less than the model's";
    case Tolerance::CoilQ: return "the coil's Q: 10 % more or less than the model's";
    case Tolerance::Height: return "the height: 1 m higher or lower";
    }
    return "";
}

// The sides' largest SWR at F, for the sentence.
double worstSwr(const ToleranceRow& row) {
    double worst = 0.0;
    for (const auto& side : {row.more, row.less}) {
        if (side) {
            worst = std::max(worst, side->swr);
        }
    }
    return worst;
}

} // namespace

std::string toleranceDifference(Tolerance which, LengthUnits units) {
    // In feet and inches the model's metric steps, with what they are near in inches.
    if (units == LengthUnits::Imperial) {
        switch (which) {
        case Tolerance::Tips: return "Each tip +/-" + feetAndInches(0.01) + " (1 cm)";
        case Tolerance::WindingLength: return "Winding +/-0.04 in (1 mm)";
        case Tolerance::Height: return "Height +/-" + feetAndInches(1.0) + " (1 m)";
        default: break;
        }
    }
    switch (which) {
    case Tolerance::Turns: return "1 turn more / fewer";
    case Tolerance::Tips: return "Each tip +1 cm / -1 cm";
    case Tolerance::WindingLength: return "Winding +1 mm / -1 mm";
    case Tolerance::SelfCapacitance: return "Self-capacitance +10/-10 %";
    case Tolerance::CoilQ: return "Coil Q +10/-10 %";
    case Tolerance::Height: return "Height +1 m / -1 m";
    }
    return "";
}

std::string toleranceNotApplying(Tolerance which) {
    switch (which) {
    case Tolerance::Turns: return "does not apply: the coil has no turns to count";
    case Tolerance::WindingLength:
        return "does not apply: a close-wound coil's length is its turns";
    case Tolerance::SelfCapacitance: return "does not apply: no self-capacitance is modelled";
    case Tolerance::Height: return "does not apply: free space has no height";
    case Tolerance::Tips:
    case Tolerance::CoilQ: break;
    }
    return "does not apply";
}

std::string khzMove(double khz) {
    const double tenths = std::round(khz * 10.0) / 10.0;
    const bool small = std::abs(tenths) < 10.0;
    const double shown = small ? tenths : std::round(khz);
    if (shown == 0.0) {
        return "0 kHz";
    }
    return (shown > 0 ? "+" : "-") + number(std::abs(shown), small ? 1 : 0) + " kHz";
}

std::vector<ToleranceLine> toleranceLines(const CheckReport& report) {
    std::vector<ToleranceLine> lines;
    const ToleranceTable* table = tableOf(report);
    if (!table) {
        return lines;
    }
    for (const ToleranceRow& row : table->rows) {
        ToleranceLine line;
        line.difference = toleranceDifference(row.which, report.inputs.units);
        if (!row.applies) {
            line.notApplying = toleranceNotApplying(row.which);
        } else {
            line.resonance =
                sideMove(row.more, row.moreBeyond) + " / " + sideMove(row.less, row.lessBeyond);
            line.swr = sideSwr(row.more) + " / " + sideSwr(row.less);
        }
        lines.push_back(line);
    }
    return lines;
}

std::string toleranceBasis(const CheckReport& report) {
    const ToleranceTable* table = tableOf(report);
    if (!table) {
        return "";
    }
    return std::string(table->ofTrimmed ? "as built and trimmed" : "as built") + ": resonance " +
           number(table->resonanceMHz, 3) + " MHz, SWR " + number(table->swr, 2) + " at F";
}

std::string toleranceSentence(const CheckReport& report) {
    const ToleranceTable* table = tableOf(report);
    if (!table || table->rows.empty()) {
        return "";
    }
    if (!table->mattersMost) {
        return "None of these differences moves the resonance.";
    }
    const ToleranceRow& row = table->rows[static_cast<std::size_t>(*table->mattersMost)];
    if (movesBeyond(row)) {
        return "What matters most for this design is " + inWords(row.which) +
               " moves the resonance by more than 30 %, out of the band the antenna is cut for; " +
               whatToDo(row.which) + ".";
    }
    std::string size = khzMove(largestMove(row));
    if (size.front() == '+' || size.front() == '-') {
        size.erase(0, 1);
    }
    std::string line = "What matters most for this design is " + inWords(row.which) +
                       " moves the resonance by up to " + size;
    if (const auto wide = bandWidth(baseOf(report).band)) {
        const double share = largestMove(row) / (*wide * 1000.0) * 100.0;
        line += share < 100.0 ? ", " + number(share, 0) + " % of the 2:1 band's width"
                              : ", " + number(share / 100.0, 1) + " times the 2:1 band's width";
    }
    line += ", and the SWR at F to " + swrText(worstSwr(row)) + "; " + whatToDo(row.which) + ".";
    return line;
}

const char* toleranceKey(Tolerance which) {
    switch (which) {
    case Tolerance::Turns: return "turns";
    case Tolerance::Tips: return "tips";
    case Tolerance::WindingLength: return "winding_length";
    case Tolerance::SelfCapacitance: return "self_capacitance";
    case Tolerance::CoilQ: return "coil_q";
    case Tolerance::Height: return "height";
    }
    return "";
}

} // namespace brevan::check
