// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of the antenna as measured: what to cut and the notes on the sweep.
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

// The measured SWR minimum within this share of F is "at F": less than a centimetre of most tips.
constexpr double kAtDesignShare = 0.001;

std::string mhz3(double value) {
    return number(value, 3) + " MHz";
}

std::string ohmText(double value) {
    return significant(value, 3) + " ohm";
}

// "6.912 MHz (the reactance's zero at the feed point)"
std::string measuredResonanceText(const MeasuredReport& m) {
    return mhz3(m.calibration.calibrationMHz) +
           (m.calibration.fromSwrMinimum
                ? " (worked out from the SWR minimum at " + mhz3(m.sweep.analysis.swrMinimumMHz) +
                      ")"
                : std::string(" (the reactance's zero at the feed point)"));
}

// "cut 3 cm from each tip"
std::string cutText(const Lengths& L, double tipChange) {
    const double cm = tipChange * 100;
    return std::string(cm > 0 ? "add " : "cut ") + L.cm(std::abs(tipChange), 0) + " " +
           (cm > 0 ? "to" : "from") + " each tip";
}

// "an SWR of 1.2 at 7.05 MHz at the feed point (1.3 at the analyser, through the feed line)"
std::string expectedSwrText(const CheckReport& report, const AfterCut& after) {
    std::string line = "an SWR of " + swrText(after.swrAtDesign) + " at " + designText(report) +
                       " at the feed point";
    if (after.swrAtDesignAtAnalyser) {
        line += " (" + swrText(*after.swrAtDesignAtAnalyser) +
                " at the analyser, through the feed line)";
    }
    return line;
}

std::string calibratedVerdict(const CheckReport& report, const MeasuredReport& m) {
    const Calibration& c = m.calibration;
    const std::string f = designText(report);
    if (!c.cutLowersSwr) {
        const SweepAnalysis& a = m.sweep.analysis;
        const bool atDesign =
            a.swrMinimumSpanned &&
            std::abs(a.swrMinimumMHz / report.inputs.frequencyMHz - 1.0) <= kAtDesignShare;
        return std::string("As measured, ") +
               (atDesign ? "the lowest SWR is already at " + f + ": do not cut. No"
                         : "no cut lowers the SWR at " + f + ": do not cut. No") +
               " change of each tip by whole centimetres lowers the SWR at " + f +
               " in the model calibrated to the sweep.";
    }
    std::string line = "As measured, the antenna resonates at " + measuredResonanceText(m) + ": " +
                       cutText(Lengths(report.inputs.units), c.tipChange) +
                       " of the antenna as it hangs, for the lowest SWR at " + f + ".";
    if (c.afterCut) {
        const AfterCut& after = *c.afterCut;
        line += " Then expect " + expectedSwrText(report, after);
        if (after.resonanceMHz) {
            line += ", with the reactance's zero at " + mhz3(*after.resonanceMHz) + " and " +
                    ohmText(after.resistanceOhm) + " there";
        }
        line += ".";
    }
    return line;
}

std::string sweepSpan(const MeasuredReport& m) {
    const MeasuredSweep& s = m.sweep.atFeed.atFeed;
    const bool swrOnly = s.kind == SweepKind::SwrOnly;
    const double low = swrOnly ? s.swr.front().frequencyMHz : s.impedance.front().frequencyMHz;
    const double high = swrOnly ? s.swr.back().frequencyMHz : s.impedance.back().frequencyMHz;
    return number(low, 3) + " to " + number(high, 3) + " MHz";
}

std::string feedLineNote(const MeasuredReport& m, const Lengths& L) {
    const bool swrOnly = m.sweep.atAnalyser.kind == SweepKind::SwrOnly;
    const std::string rule = "a lossless line does not move the SWR minimum, but it turns the "
                             "impedance, so the reactance's zero moves";
    const CalibrationBasis basis = m.calibration.basis;
    if (!m.sweep.feedLine &&
        (basis == CalibrationBasis::ZeroMoved || basis == CalibrationBasis::NoZero)) {
        return "No feed line was given. Give --feedline-length and --feedline-vf (and "
               "--feedline-loss) of the coax the sweep was made through, and the check takes "
               "the line out: the reactance's zero at the feed point can then be used as well.";
    }
    if (!m.sweep.feedLine) {
        return swrOnly ? "Taken as measured at the feed point. An SWR minimum stays where it is "
                         "through coax (" +
                             rule + "), but the line's loss makes the SWR look lower."
                       : "Taken as measured at the feed point. If it was swept at the end of the "
                         "coax, give --feedline-length and --feedline-vf: " +
                             rule + ".";
    }
    const FeedLine& line = *m.sweep.feedLine;
    std::string out = "The feed line (" + L.m(line.lengthM, 2) + ", velocity factor " +
                      number(line.velocityFactor, 2) + ", " + number(line.lossDbPer100mAtF, 1) +
                      " dB per 100 m at F) is taken out of the sweep: " + rule + ".";
    if (m.sweep.atFeed.lossOnly) {
        out += " The sweep gives only the SWR, with no phase to turn back, so only the line's "
               "loss is taken out.";
    }
    if (m.sweep.atFeed.pointsBeyondLoss > 0) {
        out += " At " + std::to_string(m.sweep.atFeed.pointsBeyondLoss) +
               " points the line's loss is more than the measured return loss: the loss given "
               "is too high, or the sweep is noisy there.";
    }
    return out;
}

// "the 41.7 ohm an SWR of 1.2 implies (or 60.0 ohm: ...)"
std::string impliedResistance(const SweepAnalysis& a, double resistance) {
    const double other = resistance < kReferenceImpedance ? kReferenceImpedance * a.minimumSwr
                                                          : kReferenceImpedance / a.minimumSwr;
    return "the " + ohmText(resistance) + " its lowest SWR of " + swrText(a.minimumSwr) +
           " implies at resonance (or " + ohmText(other) +
           ": an SWR does not tell on which side of " + number(kReferenceImpedance, 0) +
           " ohm; the one nearer the model's is taken)";
}

// Why the model is calibrated on the SWR minimum, when it is.
std::string basisNote(const MeasuredReport& m) {
    const SweepAnalysis& a = m.sweep.analysis;
    const Calibration& c = m.calibration;
    const std::string minimum = swrText(a.minimumSwr) + " at " + mhz3(a.swrMinimumMHz);
    switch (c.basis) {
    case CalibrationBasis::ReactanceZero: return {};
    case CalibrationBasis::SwrOnly:
        return "The sweep gives only the SWR, so the model is calibrated on its minimum at " +
               mhz3(a.swrMinimumMHz) +
               ", which lies near, not exactly at, the resonance (a sweep with R and X, or S11, "
               "says it exactly), and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    case CalibrationBasis::ZeroMoved:
        return "The reactance's zero (" + mhz3(*a.resonanceMHz) + ", " + ohmText(*a.resistanceOhm) +
               ", where the SWR is " + swrText(*a.resonanceSwr) +
               ") lies away from the lowest SWR (" + minimum +
               "). With no feed line given, the sweep is taken to have been made through coax: "
               "through a line of unknown length the reactance's zero moves, but the frequency "
               "of the SWR minimum does not. So the SWR minimum is trusted: the model is "
               "calibrated on it and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    case CalibrationBasis::NoZero:
        return "The sweep shows no reactance zero near F, but its SWR minimum (" + minimum +
               "): through coax the reactance's zero moves, the SWR minimum does not. The model "
               "is calibrated on that minimum and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    }
    return {};
}

std::string calibrationNote(const MeasuredReport& m, const Lengths& L) {
    const Calibration& c = m.calibration;
    const double cm = c.correction * 100;
    std::string line = "To resonate where the antenna did, the model needs each tip " +
                       L.cm(std::abs(c.correction), 1) + " " + (cm < 0 ? "shorter" : "longer") +
                       " than designed. That stands for what the model does not know: the "
                       "height and surroundings, the wire's insulation, or tips already cut "
                       "otherwise. To have the antenna's " +
                       ohmText(c.measuredResistance) + " at resonance, where the model has " +
                       ohmText(c.modelResistance) + ", it takes " +
                       ohmText(std::abs(c.seriesLoss)) +
                       (c.seriesLoss < 0 ? " off the resistance at its feed point"
                                         : " of loss in series with its feed point") +
                       ". The cut is worked out on the model so calibrated.";
    return line;
}

std::string resistanceNote(const MeasuredReport& m) {
    const Calibration& c = m.calibration;
    const std::string how = c.basis == CalibrationBasis::ReactanceZero
                                ? "At resonance the antenna measured "
                                : "At resonance the lowest SWR implies ";
    return how + ohmText(c.measuredResistance) + " where the model has " +
           ohmText(c.modelResistance) + ", more than " + number(kResistanceTolerance * 100, 0) +
           " % apart. That usually means losses the model does not have (joints, the coils, "
           "the ground), the feed line radiating (current on the outside of the coax; a choke "
           "at the feed point stops it) or an object near the antenna; the sweep cannot tell "
           "which. The calibrated model carries the difference at its feed point, so the cut "
           "and what to expect after it allow for it.";
}

std::vector<std::string> sweepWarnings(const CheckReport& report, const MeasuredReport& m) {
    std::vector<std::string> out;
    const SweepAnalysis& a = m.sweep.analysis;
    if (hasWarning(a, SweepWarning::LowerEdgeNotSpanned)) {
        out.push_back("The sweep starts where the SWR is still below 2: the 2:1 band runs past "
                      "its start, and its lower edge is not measured.");
    }
    if (hasWarning(a, SweepWarning::UpperEdgeNotSpanned)) {
        out.push_back("The sweep ends where the SWR is still below 2: the 2:1 band runs past "
                      "its end, and its upper edge is not measured.");
    }
    // Another band's sweep: the verdict has said it.
    if (hasWarning(a, SweepWarning::DesignOutsideSweep) &&
        m.calibration.outcome != CalibrationOutcome::OtherBand) {
        out.push_back("The sweep (" + sweepSpan(m) + ") does not reach " + designText(report) +
                      ": the SWR there is not measured.");
    }
    return out;
}

} // namespace

std::string measuredVerdict(const CheckReport& report) {
    if (!report.measured) {
        return {};
    }
    const MeasuredReport& m = *report.measured;
    const Calibration& c = m.calibration;
    const std::string f = designText(report);
    switch (c.outcome) {
    case CalibrationOutcome::Calibrated: return calibratedVerdict(report, m);
    case CalibrationOutcome::NoMeasuredResonance: {
        std::string line = "The sweep (" + sweepSpan(m) +
                           ") shows neither the reactance's zero nor the bottom of the SWR dip";
        if (report.antenna && report.antenna->built.resonanceMHz) {
            line +=
                "; the model puts the resonance at " + mhz3(*report.antenna->built.resonanceMHz);
        }
        return line + ": no cut can be worked out from it. Sweep again over a wider range.";
    }
    case CalibrationOutcome::NoModelResonance:
        return "The model of the antenna as built has no resonance within 30 % of " + f +
               " to calibrate to the sweep, so no cut is worked out from it.";
    case CalibrationOutcome::OtherBand: {
        const SweepAnalysis& a = m.sweep.analysis;
        const bool coversF = !hasWarning(a, SweepWarning::DesignOutsideSweep);
        const double off = (c.calibrationMHz / report.inputs.frequencyMHz - 1.0) * 100;
        return "The sweep (" + sweepSpan(m) + ") " +
               (coversF ? "shows its resonance "
                        : "does not cover " + f + ", and shows a resonance ") +
               "at " + mhz3(c.calibrationMHz) + ", " + number(std::abs(off), 0) + " % " +
               (off > 0 ? "above " : "below ") + f + ", more than " +
               number(kResonanceWindow * 100, 0) +
               " % from it and beyond any trim of this design: it seems to be of another band or "
               "another antenna, and no cut is worked out from it. Sweep the antenna around " +
               f + ".";
    }
    case CalibrationOutcome::OutOfReach:
        return "No change of the model's tips makes it resonate at " + mhz3(c.calibrationMHz) +
               ", where the antenna measured: the sweep and the design do not fit. Check the "
               "coils and the figures given.";
    case CalibrationOutcome::CutOutOfReach:
        return "As measured, the antenna resonates at " + measuredResonanceText(m) +
               ", and no trim of its tips brings the lowest SWR to " + f +
               ": the coils must change.";
    case CalibrationOutcome::NotConverged:
        return "The search for the cut from the sweep ran out of tries; trim the tips on the "
               "analyser.";
    }
    return {};
}

std::string measuredSummary(const CheckReport& report) {
    if (!report.measured) {
        return {};
    }
    const SweepAnalysis& a = report.measured->sweep.analysis;
    const std::string f = designText(report);
    std::string line = "The sweep (" + sweepSpan(*report.measured) + ") shows its lowest SWR, " +
                       swrText(a.minimumSwr) + ", at " + mhz3(a.swrMinimumMHz) +
                       (a.swrMinimumSpanned ? "" : ", its end: the dip lies beyond it");
    line += a.swrAtDesign ? "; at " + f + " the SWR is " + swrText(*a.swrAtDesign)
                          : "; it does not cover " + f;
    if (!a.belowTwo) {
        return line + "; the SWR never falls to 2, so it has no 2:1 band.";
    }
    const auto edge = [](const std::optional<double>& mhz, const char* beyond) {
        return mhz ? mhz3(*mhz) : std::string(beyond);
    };
    line += "; its 2:1 band runs from " + edge(a.bandLowerMHz, "below its start") + " to " +
            edge(a.bandUpperMHz, "beyond its end");
    if (a.bandLowerMHz && a.bandUpperMHz) {
        line += " (" + number((*a.bandUpperMHz - *a.bandLowerMHz) * 1000, 0) + " kHz wide)";
    }
    return line + ".";
}

std::vector<std::string> measuredNotes(const CheckReport& report) {
    std::vector<std::string> out;
    if (!report.measured) {
        return out;
    }
    const MeasuredReport& m = *report.measured;
    const Calibration& c = m.calibration;
    const bool calibrated = c.outcome == CalibrationOutcome::Calibrated;
    const bool resonanceFound = calibrated || c.outcome == CalibrationOutcome::CutOutOfReach;
    if (const std::string basis = basisNote(m); resonanceFound && !basis.empty()) {
        out.push_back(basis);
    }
    if (calibrated) {
        out.push_back(calibrationNote(m, Lengths(report.inputs.units)));
    }
    out.push_back(feedLineNote(m, Lengths(report.inputs.units)));
    if (calibrated && c.resistanceFar) {
        out.push_back(resistanceNote(m));
    }
    if (calibrated && c.cutLowersSwr && c.turns > 0) {
        const int now = static_cast<int>(std::lround(report.coil.coil.turns));
        if (c.turns == now) {
            out.push_back("No whole number of turns on the coils comes closer than the present " +
                          turnsText(now) + ": cut the tips.");
        } else {
            std::string line = "Instead of the cut, " + turnsText(c.turns) + " on each coil (now " +
                               turnsText(now) + ")";
            if (c.turnsResonanceMHz) {
                line += " would put the resonance at " + mhz3(*c.turnsResonanceMHz);
            }
            out.push_back(line + ".");
        }
    }
    for (std::string& line : sweepWarnings(report, m)) {
        out.push_back(std::move(line));
    }
    return out;
}

} // namespace brevan::check
