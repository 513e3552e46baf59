// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/power_words.h"

#include "general_format.h"
#include "report/advice_parts.h"
#include "report/report_format.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace brevan::check {

namespace {

// Volts as people say them: "64 V", "407 V", "1.0 kV", "12 kV".
std::string volts(double v) {
    if (v < 1000.0) {
        return number(v, 0) + " V";
    }
    return (v < 10000.0 ? number(v / 1000.0, 1) : number(v / 1000.0, 0)) + " kV";
}

std::string amps(double a) {
    return (a < 10.0 ? number(a, 2) : number(a, 1)) + " A";
}

std::string watts(double w) {
    return (w < 10.0 ? number(w, 2) : w < 100.0 ? number(w, 1) : number(w, 0)) + " W";
}

// A power to hold, rounded down to what a builder sets: "150 W", "2.6 kW".
std::string wattsHeld(double w) {
    if (w >= 1000.0) {
        return number(std::floor(w / 100.0) / 10.0, 1) + " kW";
    }
    if (w >= 10.0) {
        return number(std::floor(w), 0) + " W";
    }
    return number(std::floor(w * 10.0) / 10.0, 1) + " W";
}

std::string rise(double kelvin) {
    return number(kelvin, 0) + " °C";
}

// A rise past a limit, with the decimals that keep it from reading as the limit itself.
std::string riseBeyond(double kelvin, double limit) {
    int decimals = 0;
    while (decimals < 2 && number(kelvin, decimals) == number(limit, decimals)) {
        ++decimals;
    }
    return number(kelvin, decimals) + " °C";
}

const char* modeName(const CheckReport& r) {
    return modeDuty(r.inputs.power.mode).name;
}

// The figures of the antenna that will hang: once swept, the antenna after the sweep's cut.
const PowerFigures* hung(const CheckReport& r) {
    if (!r.power) {
        return nullptr;
    }
    return r.power->swept ? &*r.power->swept : r.power->hung();
}

// What fails, worst first, each as a phrase; empty when the coils and the tips hold.
std::vector<std::string> failures(const PowerFigures& f) {
    std::vector<std::string> out;
    const CoilStress& c = f.coil;
    if (c.temperatureRise > kEnamelMostRise) {
        // Rise against rise: the enamel's rating is a temperature, the air's added to it.
        out.push_back("each winding would run about " +
                      riseBeyond(c.temperatureRise, kEnamelMostRise) + " above the air, past the " +
                      rise(kEnamelMostRise) + " its enamel (rated " +
                      rise(kEnamelMostRise + kAmbientCelsius) + ") takes in air at " +
                      rise(kAmbientCelsius) + " (the wire is too thin for the current)");
    } else if (c.temperatureRise > kFormerMostRise) {
        out.push_back("each coil would warm by about " +
                      riseBeyond(c.temperatureRise, kFormerMostRise) + ", more than the " +
                      rise(kFormerMostRise) +
                      " a plastic former takes (PVC softens from about 65 °C)");
    }
    if (c.turnVoltagePeak > c.turnWithstand) {
        out.push_back(volts(c.turnVoltagePeak) + " peak between adjacent turns passes the " +
                      volts(c.turnWithstand) +
                      (c.closeWound ? " at which discharges start to wear the enamel through"
                                    : " the air between the spaced turns holds"));
    }
    return out;
}

std::string changes(const CheckReport& r, const PowerFigures& f) {
    const CoilStress& c = f.coil;
    std::vector<std::string> out;
    if (r.coilToWind) {
        return "wind the coil named below";
    }
    if (r.antenna && advice_parts::unusableUntilTheCoilsChange(*r.antenna)) {
        return "give the coils the turns named below, then check again";
    }
    if (c.temperatureRise > kFormerMostRise) {
        out.push_back("wind thicker wire on a larger former (less loss, more surface to shed it)");
    }
    if (c.turnVoltagePeak > c.turnWithstand) {
        out.push_back(c.closeWound ? "space the turns (bare wire with a gap of a wire's diameter "
                                     "or more between turns)"
                                   : "space the turns wider or wind more of them");
    }
    std::string line;
    for (std::size_t i = 0; i < out.size(); ++i) {
        line += (i == 0 ? "" : i + 1 == out.size() ? " and " : ", ") + out[i];
    }
    return line;
}

using Cell = std::function<std::string(const PowerFigures&)>;

PowerRow row(const CheckReport& r, const std::string& label, const Cell& cell) {
    const PowerReport& p = *r.power;
    return {label, p.built ? cell(*p.built) : "-", p.trimmed ? cell(*p.trimmed) : "-"};
}

std::string decibels(double dB) {
    return (dB >= 0 ? "+" : "") + number(dB, 1) + " dB";
}

std::string choiceText(const CheckReport& r, const WindingChoice& c) {
    const WoundCoil& coil = c.coil.coil;
    const std::string wire = c.coil.gauge == 0
                                 ? wireName(r.inputs.coilWireSwg, r.inputs.coilWireSize)
                                 : tableGaugeText(Lengths(r.inputs.units), c.coil.gauge);
    const bool close = coil.pitch <= coil.wireDiameter * 1.0000001;
    const Lengths L(r.inputs.units);
    const std::string winding =
        close ? "close-wound"
              : "at a " + pitchWithTpi(L, coil.pitch, number(coil.pitch * 1000, 1) + " mm") +
                    " pitch";
    const double dB = c.dbAgainstPlanned;
    // A long coil is named only where no shorter one would do: say the model is less sure of it.
    return turnsText(coil.turns) + " of " + wire + " " + winding + " (" +
           withInches(L, c.coil.windingLength, number(c.coil.windingLength * 1000, 0) + " mm") +
           " long" + (c.coil.isLong ? std::string(", ") + kNamedLongCoil : std::string()) +
           "), Q " + number(c.coil.q, 0) + "; it holds up to " + wattsHeld(coilLimitW(c.power)) +
           " " + modeName(r) + ", and the antenna would radiate about " +
           number(c.radiatedShare * 100, 0) + " % (" + decibels(dB) + ")" +
           (c.radiatedShareIfLoss
                ? ", " + number(*c.radiatedShareIfLoss * 100, 0) + " % (" +
                      decibels(c.dbAgainstPlannedIfLoss) + ") if the sweep's difference is loss"
                : "");
}

} // namespace

std::string coilToWindSentence(const CheckReport& r) {
    if (!r.coilToWind) {
        return {};
    }
    const CoilToWind& w = *r.coilToWind;
    std::string line = "The coil to wind, of the same reactance at F (check it for its own "
                       "trim): ";
    if (w.onFormer) {
        line += "on your " +
                withInches(Lengths(r.inputs.units), r.inputs.formerMm / 1000,
                           formatDouble(r.inputs.formerMm, ".") + " mm") +
                " former, " + choiceText(r, *w.onFormer);
    }
    if (w.otherFormer) {
        const double former = w.otherFormer->coil.formerDiameter;
        line += std::string(w.onFormer ? "; or " : "") + "on a " +
                withInches(Lengths(r.inputs.units), former, number(former * 1000, 0) + " mm") +
                " former, " + choiceText(r, *w.otherFormer);
    }
    const std::optional<double> ifLoss = r.measured ? r.measured->radiatedIfLoss : std::nullopt;
    line += ". The planned coil has Q " + number(w.plannedQ, 0) + " and the antenna " +
            number(w.plannedRadiatedShare * 100, 0) + " %" +
            (ifLoss ? " (" + number(*ifLoss * 100, 0) + " % if it is loss)" : "") + ".";
    // The named coil's Q is estimated; a given Q says how far the estimate missed the planned
    // coil, and the named one may miss its own as far.
    const CoilLosses& l = r.losses;
    if (l.qGiven && l.estimatedQ > 0.0) {
        line += " You gave the planned coil Q " + significant(l.q, 3) + " where its estimate is " +
                significant(l.estimatedQ, 3) + ": the coil named, whose Q is estimated, " +
                (l.q < l.estimatedQ ? "may fall as far short of its own."
                                    : "may do as much better than its own.");
    }
    return line;
}

std::string powerSettingText(const PowerSetting& setting) {
    return formatDouble(setting.watts, ".") + " W " + modeDuty(setting.mode).name;
}

std::vector<PowerRow> powerRows(const CheckReport& r) {
    if (!r.power || (!r.power->built && !r.power->trimmed)) {
        return {};
    }
    const std::string mode = modeName(r);
    return {
        row(r, "Current in each coil",
            [](const PowerFigures& f) {
                return amps(f.coil.currentRms) + ", " + amps(f.coil.currentPeak) + " peak";
            }),
        row(r, "Across each coil",
            [](const PowerFigures& f) {
                return volts(f.coil.voltageRms) + ", " + volts(f.coil.voltagePeak) + " peak";
            }),
        row(r, "Between turns, peak",
            [](const PowerFigures& f) {
                return volts(f.coil.turnVoltagePeak) + " (holds " + volts(f.coil.turnWithstand) +
                       ")";
            }),
        row(r, "Heat in each coil, key-down",
            [](const PowerFigures& f) {
                return watts(f.coil.heatKeyDown) + " (avg " + watts(f.coil.heatAverage) + ")";
            }),
        row(r, "Each coil warms by",
            [](const PowerFigures& f) { return "about " + rise(f.coil.temperatureRise); }),
        row(r, "Each tip",
            [](const PowerFigures& f) {
                return volts(f.tipVoltageRms) + ", " + volts(f.tipVoltagePeak) + " peak";
            }),
        row(r, "Heat in the wire, key-down",
            [](const PowerFigures& f) { return watts(f.wireHeatKeyDown); }),
        row(r, "The coils hold up to",
            [mode](const PowerFigures& f) { return wattsHeld(coilLimitW(f)) + " " + mode; }),
    };
}

bool powerFails(const CheckReport& r) {
    const PowerFigures* f = hung(r);
    return f && !failures(*f).empty();
}

std::vector<std::string> powerSentences(const CheckReport& r) {
    const PowerFigures* f = hung(r);
    if (!f) {
        return {};
    }
    const CoilStress& c = f->coil;
    const std::string at = "At " + powerSettingText(r.inputs.power);
    const std::string which = r.power->swept     ? "as swept, after the cut"
                              : r.power->trimmed ? "trimmed"
                                                 : "as built";
    std::string hold = at + ", " + which + ", each coil carries " + amps(c.currentRms) +
                       " and holds " + volts(c.voltageRms) + " (" + volts(c.voltagePeak) +
                       " peak, " + volts(c.turnVoltagePeak) +
                       " between turns) and warms by about " + rise(c.temperatureRise) + " (" +
                       watts(c.heatKeyDown) + " of heat key-down, " + watts(c.heatAverage) +
                       " on average); each tip reaches " + volts(f->tipVoltageRms) + " (" +
                       volts(f->tipVoltagePeak) + " peak): use end insulators rated " +
                       volts(insulatorRatingV(*f)) + " or more.";
    const std::vector<std::string> fail = failures(*f);
    if (fail.empty()) {
        return {hold};
    }
    std::string line = at + " the coils fail: ";
    for (std::size_t i = 0; i < fail.size(); ++i) {
        line += (i == 0 ? "" : "; and ") + fail[i];
    }
    line += ". They hold up to " + wattsHeld(coilLimitW(*f)) + " " + modeName(r) + "; to run " +
            powerSettingText(r.inputs.power) + ", " + changes(r, *f) + ".";
    return {line, hold};
}

std::string powerSummary(const CheckReport& r) {
    const PowerFigures* f = hung(r);
    if (!f) {
        return {};
    }
    std::string line = "At " + powerSettingText(r.inputs.power) + " each coil holds " +
                       volts(f->coil.voltageRms) + " and warms by about " +
                       rise(f->coil.temperatureRise) + "; the tips reach " +
                       volts(f->tipVoltageRms) + ".";
    if (powerFails(r)) {
        line += " The coils hold up to " + wattsHeld(coilLimitW(*f)) + " " + modeName(r) + ".";
    }
    return line;
}

namespace {

// How far the rise errs on the warm side: what the former would take off it, were it PVC
// reaching well past each end of the winding.
std::string formerShare(const CheckReport& r) {
    const CoilStress& coil = hung(r)->coil;
    if (!(coil.temperatureRise > 0.0)) {
        return {};
    }
    const double share = coil.formerShare;
    const bool rod = r.coil.coil.formerPermittivity > 1.0;
    return std::string(": a PVC ") + (rod ? "rod" : "tube of 2 mm wall") +
           " reaching well past each end would take about " + number(share * 100, 0) +
           " % off the rise";
}

} // namespace

std::vector<std::string> powerMethodNotes(const CheckReport& r) {
    if (!hung(r)) {
        return {};
    }
    const ModeDuty& mode = modeDuty(r.inputs.power.mode);
    std::vector<std::string> notes = {
        "The power is the peak envelope power at the feed point; " + std::string(mode.name) +
            " averages " + number(mode.averageToPeak * 100, 0) + " % of it (" + mode.why +
            "). Currents and voltages are rms at that peak, from the engine's own currents at F "
            "scaled to it; the heat on average warms the coil, which takes minutes to warm.",
        "The warming: the winding's outer surface and its two leads, which carry its heat along "
        "the copper and are warmed by their own current, in still air at 25 °C, by natural "
        "convection (Churchill and Chu) and radiation; wind cools it, sunshine warms it, and the "
        "former beyond the winding, which also sheds heat, is left out" +
            formerShare(r) + ".",
        "Between turns: close-wound enamelled turns hold Paschen's minimum, 327 V peak, below "
        "which no discharge starts in the air beside them; spaced bare turns half of Peek's "
        "onset for two round wires, or of the sparkover of so wide a gap if less.",
        "The tips' voltage: against the ground (against infinity in free space), from the charge "
        "the engine's currents leave on the wire, summed over the wire and its image; within "
        "about 2 % of four times the segments, 7 % with the coils near the tips. End insulators "
        "are asked for twice its peak.",
    };
    // Once swept, the verdict's figures are the swept antenna's, the table's the model's.
    const PowerFigures* model = r.power->hung();
    if (r.power->swept && model) {
        const double ohm = r.power->sweptFeedResistance;
        notes.insert(notes.begin() + 1,
                     "The table is the model's; the verdict's figures are the antenna's as "
                     "swept, after its cut: its " +
                         significant(ohm, 3) + " ohm at F at the feed point takes " +
                         amps(r.power->swept->feedCurrentRms) +
                         " at the feed at this power, where "
                         "the model, " +
                         (r.power->trimmed ? "trimmed" : "as built") + ", takes " +
                         amps(model->feedCurrentRms) +
                         ", and its coils and tips carry the model's currents for each ampere "
                         "there.");
    }
    return notes;
}

} // namespace brevan::check
