// SPDX-License-Identifier: GPL-3.0-or-later
// The text report's "As measured" (the sweep read back, the calibration and its cut) and
// "Where the coils should go" (the coil-position study).
#include "report/text_parts.h"

#include "report/advice.h"
#include "report/report_format.h"

namespace brevan::check::text_parts {
namespace {

std::string sweepFileText(const AsMeasured& m) {
    const MeasuredSweep& s = m.atAnalyser;
    const bool swrOnly = s.kind == SweepKind::SwrOnly;
    const std::size_t count = swrOnly ? s.swr.size() : s.impedance.size();
    const double low = swrOnly ? s.swr.front().frequencyMHz : s.impedance.front().frequencyMHz;
    const double high = swrOnly ? s.swr.back().frequencyMHz : s.impedance.back().frequencyMHz;
    return m.fileName + ", " + (s.format == SweepFormat::Touchstone ? "Touchstone" : "CSV") + ", " +
           (swrOnly ? "SWR only" : "impedance") + ", " + std::to_string(count) + " points from " +
           number(low, 3) + " to " + number(high, 3) + " MHz";
}

std::string feedLineText(const AsMeasured& m, const Lengths& L) {
    if (!m.feedLine) {
        return "none given: measured at the feed point";
    }
    const FeedLine& line = *m.feedLine;
    return L.m(line.lengthM, 2) + ", velocity factor " + number(line.velocityFactor, 2) + ", " +
           number(line.lossDbPer100mAtF, 1) + " dB per 100 m at F, taken out";
}

std::string signedCm(const Lengths& L, double metres) {
    const double cm = std::round(metres * 1000) / 10;
    return (cm > 0 ? "+" : "") + L.cm(cm / 100, 1);
}

// The 2:1 band around the SWR minimum, or the lowest SWR when there is none.
std::string measuredBand(const AsMeasured& m) {
    const SweepAnalysis& a = m.analysis;
    if (!a.belowTwo) {
        return "none: the lowest SWR is " + swrText(a.minimumSwr) + ", at " +
               number(a.swrMinimumMHz, 3) + " MHz";
    }
    const MeasuredSweep& s = m.atFeed.atFeed;
    const bool swrOnly = s.kind == SweepKind::SwrOnly;
    const double low = swrOnly ? s.swr.front().frequencyMHz : s.impedance.front().frequencyMHz;
    const double high = swrOnly ? s.swr.back().frequencyMHz : s.impedance.back().frequencyMHz;
    return (a.bandLowerMHz ? number(*a.bandLowerMHz, 3)
                           : "below the sweep's start (" + number(low, 3) + ")") +
           " to " +
           (a.bandUpperMHz ? number(*a.bandUpperMHz, 3)
                           : "above the sweep's end (" + number(high, 3) + ")") +
           " MHz";
}

std::string calibratedToText(const Calibration& c) {
    return number(c.calibrationMHz, 3) + " MHz, " + ohm(c.measuredResistance) +
           (c.basis == CalibrationBasis::ReactanceZero ? std::string(" (the reactance's zero)")
                                                       : std::string(" (the SWR minimum)"));
}

std::string expectText(const AfterCut& after) {
    std::string line = "SWR " + swrText(after.swrAtDesign) + " at F at the feed point";
    if (after.swrAtDesignAtAnalyser) {
        line += " (" + swrText(*after.swrAtDesignAtAnalyser) + " at the analyser)";
    }
    if (after.resonanceMHz) {
        line += "; reactance's zero " + number(*after.resonanceMHz, 3) + " MHz, " +
                ohm(after.resistanceOhm);
    }
    return line;
}

} // namespace

void measured(Writer& w, const CheckReport& r) {
    if (!r.measured) {
        return;
    }
    const AsMeasured& m = r.measured->sweep;
    const SweepAnalysis& a = m.analysis;
    const Calibration& c = r.measured->calibration;
    w.heading("As measured");
    w.row("Sweep", sweepFileText(m));
    w.row("Feed line", feedLineText(m, Lengths(r.inputs.units)));
    if (a.resonanceMHz) {
        const bool moved = c.basis == CalibrationBasis::ZeroMoved;
        w.row("Resonance",
              number(*a.resonanceMHz, 3) + " MHz, " +
                  (a.resonanceIsSwrMinimum ? "the SWR minimum (an SWR-only sweep)"
                   : moved ? "the reactance's zero, away from the SWR minimum: not used"
                           : "the reactance's zero at the feed point") +
                  (hasWarning(a, SweepWarning::ResonanceNotSpanned)
                       ? ", at the sweep's end: not spanned"
                       : ""));
    } else {
        w.row("Resonance", "not in the sweep");
    }
    if (a.resistanceOhm) {
        w.row("Resistance there", ohm(*a.resistanceOhm));
    }
    w.row("Lowest SWR", swrText(a.minimumSwr) + " at " + number(a.swrMinimumMHz, 3) + " MHz");
    w.row("SWR at F", a.swrAtDesign ? swrText(*a.swrAtDesign) : std::string("not measured"));
    w.row("2:1 band", measuredBand(m));
    if (c.outcome == CalibrationOutcome::Calibrated) {
        w.row("Model calibrated to", calibratedToText(c));
        w.row("Model calibrated by",
              signedCm(Lengths(r.inputs.units), c.correction) + " on each tip, in effect, and " +
                  (c.seriesLoss < 0 ? "-" : "+") + ohm(std::abs(c.seriesLoss)) +
                  " in series at the feed point");
        w.row("Cut", c.cutLowersSwr ? signedCm(Lengths(r.inputs.units), c.tipChange) +
                                          " on each tip (- = cut off), for the lowest "
                                          "SWR at F"
                                    : std::string("none: no cut lowers the SWR at F"));
        if (c.afterCut) {
            w.row(c.cutLowersSwr ? "Then expect" : "As it hangs", expectText(*c.afterCut));
        }
        if (c.turns > 0 && c.turns != static_cast<int>(std::lround(r.coil.coil.turns))) {
            w.row("Or the coils",
                  turnsText(c.turns) + " each" +
                      (c.turnsResonanceMHz ? ": " + number(*c.turnsResonanceMHz, 3) + " MHz"
                                           : std::string()));
        }
    } else if (c.outcome == CalibrationOutcome::CutOutOfReach) {
        w.row("Model calibrated by",
              signedCm(Lengths(r.inputs.units), c.correction) + " on each tip, in effect");
    }
    w.bullet(measuredVerdict(r));
    for (const std::string& line : measuredNotes(r)) {
        w.bullet(line);
    }
}

namespace {

// A fixed-width cell, padded on the left so that the figures line up.
std::string cell(const std::string& text, std::size_t wide) {
    return std::string(wide > width(text) ? wide - width(text) : 1, ' ') + text;
}

std::string bandWidthCell(const SwrBand& band) {
    const auto wide = bandWidth(band);
    return wide ? number(*wide * 1000, 0) + " kHz" : std::string("-");
}

// The study's first column: "2.50 m", or "10 ft 11 7/8 in".
int positionWidth(const Lengths& L) {
    return L.imperial() ? 17 : 9;
}

// One row per position: the coil that puts the antenna on F there and what the antenna does.
void studyRow(Writer& w, const Lengths& L, const StudyPoint& p, bool users) {
    std::string line = cell(L.m(p.coilDistance, 2), positionWidth(L)) + (users ? " *" : "  ");
    if (p.outcome != StudyOutcome::Found) {
        w.plain(line + "   " + studyOutcomeText(p.outcome));
        return;
    }
    line += cell(number(p.inductance * 1e6, 2) + " uH", 12) +
            cell(p.turns > 0 ? std::to_string(p.turns) : std::string("-"), 6) +
            cell(number(p.coilResistance, 2) + " ohm", 11) + cell(significant(p.coilQ, 3), 6) +
            cell(number(p.efficiency * 100, 1) + " %", 9) +
            cell(number(p.resonanceResistance, 1) + " ohm", 11) + cell(bandWidthCell(p.band), 10) +
            cell(bandWidthCell(p.matchedBand), 10);
    w.plain(line);
}

} // namespace

void study(Writer& w, const CheckReport& r) {
    if (!r.study) {
        return;
    }
    w.heading("Where the coils should go: each position with the coil that puts it on " +
              given(r.inputs.frequencyMHz) + " MHz");
    const Lengths L(r.inputs.units);
    w.plain(cell("B", positionWidth(L)) + "  " + cell("each coil", 12) + cell("turns", 6) +
            cell("loss", 11) + cell("Q", 6) + cell("effic.", 9) + cell("R at res.", 11) +
            cell("2:1 50 ohm", 10) + cell("matched", 10));
    for (std::size_t i = 0; i < r.study->points.size(); ++i) {
        studyRow(w, L, r.study->points[i], i == r.study->users);
    }
    w.plain("  (* your B; 2:1 bands on 50 ohm and with an ideal match to the resistance at "
            "resonance)");
    for (const std::string& line : studySentences(r)) {
        w.bullet(line);
    }
}

} // namespace brevan::check::text_parts
