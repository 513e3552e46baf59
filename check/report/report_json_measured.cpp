// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON report's "measured" (the sweep read back, the calibration and its cut) and "study"
// (where the coils should go).
#include "report/json_parts.h"

#include "report/advice.h"

#include <nlohmann/json.hpp>

namespace brevan::check::json_parts {
namespace {

const char* calibrationOutcome(check::CalibrationOutcome outcome) {
    switch (outcome) {
    case check::CalibrationOutcome::Calibrated: return "calibrated";
    case check::CalibrationOutcome::NoMeasuredResonance: return "no-measured-resonance";
    case check::CalibrationOutcome::NoModelResonance: return "no-model-resonance";
    case check::CalibrationOutcome::OtherBand: return "other-band";
    case check::CalibrationOutcome::OutOfReach: return "out-of-reach";
    case check::CalibrationOutcome::CutOutOfReach: return "cut-out-of-reach";
    case check::CalibrationOutcome::NotConverged: return "not-converged";
    }
    return "";
}

Json sweepWarnings(const check::SweepAnalysis& a) {
    Json out = Json::array();
    for (const check::SweepWarning w : a.warnings) {
        switch (w) {
        case check::SweepWarning::ResonanceNotSpanned:
            out.push_back("resonance-not-spanned");
            break;
        case check::SweepWarning::LowerEdgeNotSpanned:
            out.push_back("lower-edge-not-spanned");
            break;
        case check::SweepWarning::UpperEdgeNotSpanned:
            out.push_back("upper-edge-not-spanned");
            break;
        case check::SweepWarning::DesignOutsideSweep: out.push_back("design-outside-sweep"); break;
        }
    }
    return out;
}

Json feedLine(const std::optional<check::FeedLine>& line) {
    if (!line) {
        return Json();
    }
    return Json{{"length_m", num(line->lengthM)},
                {"velocity_factor", num(line->velocityFactor)},
                {"loss_db_per_100m", num(line->lossDbPer100mAtF)},
                {"characteristic_ohm", num(line->characteristicOhm)}};
}

const char* calibrationBasis(check::CalibrationBasis basis) {
    switch (basis) {
    case check::CalibrationBasis::ReactanceZero: return "reactance-zero";
    case check::CalibrationBasis::SwrOnly: return "swr-only-minimum";
    case check::CalibrationBasis::ZeroMoved: return "swr-minimum-zero-moved";
    case check::CalibrationBasis::NoZero: return "swr-minimum-no-zero";
    }
    return "";
}

Json calibration(const check::Calibration& c) {
    const bool calibrated = c.outcome == check::CalibrationOutcome::Calibrated ||
                            c.outcome == check::CalibrationOutcome::CutOutOfReach;
    const bool cut = c.outcome == check::CalibrationOutcome::Calibrated;
    const auto when = [](bool yes, const Json& value) { return yes ? value : Json(); };
    Json after;
    if (cut && c.afterCut) {
        after = Json{{"resonance_mhz", num(c.afterCut->resonanceMHz)},
                     {"resistance_ohm", num(c.afterCut->resistanceOhm)},
                     {"swr_at_design", num(c.afterCut->swrAtDesign)},
                     {"resistance_at_design_ohm", num(c.afterCut->impedanceAtDesign.real())},
                     {"reactance_at_design_ohm", num(c.afterCut->impedanceAtDesign.imag())},
                     {"swr_at_design_at_analyser", num(c.afterCut->swrAtDesignAtAnalyser)}};
    }
    return Json{{"outcome", calibrationOutcome(c.outcome)},
                {"calibrated_on", when(calibrated, calibrationBasis(c.basis))},
                {"calibrated_to_mhz", when(calibrated, num(c.calibrationMHz))},
                {"from_swr_minimum", c.fromSwrMinimum},
                {"tip_correction_m", when(calibrated, decimal(c.correction, kMicrometres))},
                {"calibrated_to_ohm", when(cut, num(c.measuredResistance))},
                {"series_loss_ohm", when(cut, num(c.seriesLoss))},
                {"model_resistance_ohm", when(cut, num(c.modelResistance))},
                {"resistance_far_from_model", c.resistanceFar},
                {"swr_at_design_now", when(cut, num(c.swrAtDesignNow))},
                {"cut_lowers_swr", when(cut, c.cutLowersSwr)},
                {"tip_change_m", when(cut, decimal(c.tipChange, kMicrometres))},
                {"length_after_cut_m", when(cut, decimal(c.lengthAfterCut, kMicrometres))},
                {"after_cut", after},
                {"matching_after_cut", when(cut, matchingJson(c.matching))},
                {"coil_turns_instead", when(cut && c.turns > 0, c.turns)},
                {"coil_turns_resonance_mhz", when(cut && c.turns > 0, num(c.turnsResonanceMHz))}};
}

} // namespace

Json measured(const CheckReport& r) {
    if (!r.measured) {
        return Json();
    }
    const check::AsMeasured& m = r.measured->sweep;
    const check::SweepAnalysis& a = m.analysis;
    const bool swrOnly = m.atAnalyser.kind == check::SweepKind::SwrOnly;
    return Json{
        {"file", text(m.fileName)},
        {"format", m.atAnalyser.format == check::SweepFormat::Touchstone ? "touchstone" : "csv"},
        {"kind", swrOnly ? "swr" : "impedance"},
        {"points",
         static_cast<int>(swrOnly ? m.atAnalyser.swr.size() : m.atAnalyser.impedance.size())},
        {"feed_line", feedLine(m.feedLine)},
        {"resonance_mhz", num(a.resonanceMHz)},
        {"resonance_is_swr_minimum", a.resonanceIsSwrMinimum},
        {"resistance_ohm", num(a.resistanceOhm)},
        {"resonance_swr", num(a.resonanceSwr)},
        {"swr_minimum_mhz", num(a.swrMinimumMHz)},
        {"swr_minimum_spanned", a.swrMinimumSpanned},
        {"minimum_swr", num(a.minimumSwr)},
        {"swr_at_design", num(a.swrAtDesign)},
        {"band_lower_mhz", num(a.bandLowerMHz)},
        {"band_upper_mhz", num(a.bandUpperMHz)},
        {"warnings", sweepWarnings(a)},
        {"calibration", calibration(r.measured->calibration)},
        {"radiated_if_loss_percent",
         r.measured->radiatedIfLoss ? num(*r.measured->radiatedIfLoss * 100) : Json()},
        {"verdict", text(check::measuredVerdict(r))},
        {"notes", texts(check::measuredNotes(r))}};
}

namespace {

const char* studyOutcome(check::StudyOutcome outcome) {
    switch (outcome) {
    case check::StudyOutcome::Found: return "found";
    case check::StudyOutcome::NoResonance: return "no_resonance";
    case check::StudyOutcome::NoCoilReaches: return "no_coil_reaches";
    case check::StudyOutcome::NotConverged: return "not_converged";
    }
    return "";
}

Json band(const check::SwrBand& b) {
    return Json{{"lower_mhz", num(b.lowerMHz)},
                {"upper_mhz", num(b.upperMHz)},
                {"width_khz", num(check::bandWidth(b).value_or(NAN) * 1000)}};
}

Json index(const std::optional<std::size_t>& i) {
    return i ? Json(static_cast<int>(*i)) : Json();
}

// Where the coils should go: one entry per position, in ascending B.
} // namespace

Json study(const CheckReport& r) {
    if (!r.study) {
        return Json();
    }
    Json points = Json::array();
    for (const check::StudyPoint& p : r.study->points) {
        const bool found = p.outcome == check::StudyOutcome::Found;
        const auto value = [found](double v) { return found ? num(v) : Json(); };
        points.push_back(Json{{"distance_b_m", decimal(p.coilDistance, kMicrometres)},
                              {"outcome", studyOutcome(p.outcome)},
                              {"apparent_inductance_uh", value(p.inductance * 1e6)},
                              {"turns", found && p.turns > 0 ? Json(p.turns) : Json()},
                              {"coil_resistance_ohm", value(p.coilResistance)},
                              {"coil_q", value(p.coilQ)},
                              {"resonance_mhz", num(p.resonanceMHz)},
                              {"resonance_resistance_ohm", value(p.resonanceResistance)},
                              {"efficiency_percent", value(p.efficiency * 100)},
                              {"band_50_ohm", found ? band(p.band) : Json()},
                              {"band_matched", found ? band(p.matchedBand) : Json()}});
    }
    return Json{{"kind", "coil-position"},
                {"points", points},
                {"users_point", static_cast<int>(r.study->users)},
                {"most_efficient_point", index(r.study->mostEfficient)},
                {"widest_band_point", index(r.study->widestBand)},
                {"widest_band_on", r.study->widestOnFifty ? "50_ohm" : "matched"},
                {"sentences", texts(check::studySentences(r))}};
}

} // namespace brevan::check::json_parts
