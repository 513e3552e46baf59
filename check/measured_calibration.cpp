#include "measured_calibration.h"

#include "antenna_analysis.h"
#include "trim_search.h"

#include <cmath>
#include <memory>
#include <tuple>
#include <utility>

namespace brevan::check {

namespace {

constexpr double kRescaleThreshold = 0.0002; // relative change of the correction worth a redo

void tell(const Progress& progress, const std::string& line) {
    if (progress) {
        progress(line);
    }
}

template <typename T> const AntennaCheckFailure* failureIn(const T& value) {
    return std::get_if<AntennaCheckFailure>(&value);
}

std::optional<AntennaCheckFailure> searchFailure(const std::optional<TrimSearch>& search) {
    return search ? search->task->failure() : std::nullopt;
}

// The model's SWR minimum on 50 ohm, from the analysis's samples as corrected.
double modelSwrMinimum(const Analysis& analysis, double designMHz) {
    MeasuredSweep model;
    for (FeedPoint p : analysis.samples()) {
        p.frequencyMHz *= analysis.scale();
        model.impedance.push_back(p);
    }
    return analyseSweep(model, designMHz, kReferenceImpedance).swrMinimumMHz;
}

std::unique_ptr<Analysis>
takeAnalysis(std::variant<std::unique_ptr<Analysis>, AntennaCheckFailure>& a) {
    return std::move(std::get<std::unique_ptr<Analysis>>(a));
}

using AnalysedPair = std::pair<std::unique_ptr<Analysis>, std::unique_ptr<Analysis>>;

// The antenna calibrated with `toMeasured` on each tip, and the same cut to whole centimetres
// toward `toDesign`, both analysed.
std::variant<AnalysedPair, AntennaCheckFailure> calibratedPair(const Context& context,
                                                               double toMeasured, double toDesign,
                                                               const SegmentCounts& counts) {
    const AntennaCheckInput& in = context.input;
    const double cutTip = toMeasured + roundToCentimetre(toDesign - toMeasured);
    auto calibratedOr =
        newAnalysis(context, in.length + 2.0 * toMeasured, in.built, "calibrated", counts);
    if (const auto* failure = failureIn(calibratedOr)) {
        return *failure;
    }
    auto cutOr = newAnalysis(context, in.length + 2.0 * cutTip, in.built,
                             "calibrated, after the cut", counts);
    if (const auto* failure = failureIn(cutOr)) {
        return *failure;
    }
    AnalysedPair pair{takeAnalysis(calibratedOr), takeAnalysis(cutOr)};
    if (auto failure = runTogether(context.engine, {pair.first.get(), pair.second.get()})) {
        return *failure;
    }
    return pair;
}

// The whole turns that put the calibrated antenna on F, and where it then resonates.
std::optional<AntennaCheckFailure> turnsAlternative(const Context& context,
                                                    const Analysis& calibrated, Calibration& out) {
    const AntennaCheckInput& in = context.input;
    if (!in.coilOfTurns || !calibrated.coarseResonance()) {
        return std::nullopt;
    }
    const double length = calibrated.model().length;
    auto coil = coilSearch(context, calibrated, length, workingTarget(calibrated, in.designMHz));
    if (auto failure = runTogether(context.engine, {coil.get()})) {
        return failure;
    }
    if (coil->failure()) {
        return coil->failure();
    }
    if (coil->search().state != SearchState::Converged) {
        return std::nullopt;
    }
    out.turns = closestApparentTurns(in, coil->search().root);
    if (out.turns <= 0) {
        return std::nullopt;
    }
    auto turnsOr = newAnalysis(context, length, in.coilOfTurns(out.turns), "calibrated, turns",
                               calibrated.coarse().counts);
    if (const auto* failure = failureIn(turnsOr)) {
        return *failure;
    }
    auto turns = takeAnalysis(turnsOr);
    if (auto failure = runTogether(context.engine, {turns.get()})) {
        return failure;
    }
    out.turnsResonanceMHz = turns->result().resonanceMHz;
    return std::nullopt;
}

} // namespace

AsMeasured analyseMeasured(const MeasuredSetup& setup, double designMHz) {
    AsMeasured out;
    out.fileName = setup.fileName;
    out.atAnalyser = setup.sweep;
    out.feedLine = setup.feedLine;
    if (out.feedLine) {
        out.feedLine->designMHz = designMHz;
        out.atFeed = deembedFeedLine(setup.sweep, *out.feedLine);
    } else {
        out.atFeed.atFeed = setup.sweep;
    }
    out.analysis = analyseSweep(out.atFeed.atFeed, designMHz, kReferenceImpedance);
    return out;
}

std::optional<double> calibrationFrequency(const SweepAnalysis& analysis) {
    if (hasWarning(analysis, SweepWarning::ResonanceNotSpanned)) {
        return std::nullopt;
    }
    return analysis.resonanceMHz;
}

double resonanceFromSwrMinimum(double measuredMinimumMHz, double modelResonanceMHz,
                               double modelMinimumMHz) {
    return measuredMinimumMHz * modelResonanceMHz / modelMinimumMHz;
}

bool resistanceFarFromModel(double measuredOhm, double modelOhm) {
    return modelOhm > 0.0 ? std::abs(measuredOhm / modelOhm - 1.0) > kResistanceTolerance
                          : measuredOhm > 0.0;
}

std::variant<Calibration, AntennaCheckFailure>
calibrateToMeasurement(const AntennaCheckInput& input, const AsMeasured& measured,
                       const Engine& engine, const Progress& progress) {
    Calibration out;
    const std::optional<double> measuredAt = calibrationFrequency(measured.analysis);
    if (!measuredAt) {
        out.outcome = CalibrationOutcome::NoMeasuredResonance;
        return out;
    }
    out.fromSwrMinimum = measured.analysis.resonanceIsSwrMinimum;
    const double f = input.designMHz;
    const Context context{
        input, engine, progress, f * (1.0 + kResonanceWindow), sweepPlan(input.ground.kind), {}};

    tell(progress, "calibrating the model to the measured sweep");
    auto builtOr = newAnalysis(context, input.length, input.built, "as built, to calibrate");
    if (const auto* failure = failureIn(builtOr)) {
        return *failure;
    }
    auto built = takeAnalysis(builtOr);
    if (auto failure = runTogether(engine, {built.get()})) {
        return *failure;
    }
    const AntennaResult asBuilt = built->result();
    if (!built->coarseResonance() || !asBuilt.resonanceMHz) {
        out.outcome = CalibrationOutcome::NoModelResonance;
        return out;
    }
    out.calibrationMHz = out.fromSwrMinimum
                             ? resonanceFromSwrMinimum(*measuredAt, *asBuilt.resonanceMHz,
                                                       modelSwrMinimum(*built, f))
                             : *measuredAt;

    // The tip change to the measured resonance and the one to F, from the same antenna.
    const double toMeasured = workingTarget(*built, out.calibrationMHz);
    const double toDesign = workingTarget(*built, f);
    auto calibrating = trimSearch(context, *built, 0.0,
                                  impedanceAt(built->samples(), toMeasured).imag(), toMeasured);
    auto trimming =
        trimSearch(context, *built, 0.0, impedanceAt(built->samples(), toDesign).imag(), toDesign);
    if (auto failure = runTogether(engine, {calibrating->task.get(), trimming->task.get()})) {
        return *failure;
    }
    for (const auto* search : {&calibrating, &trimming}) {
        if (auto failure = searchFailure(*search)) {
            return *failure;
        }
    }
    const RootSearch& c = calibrating->task->search();
    const RootSearch& t = trimming->task->search();
    if (c.state != SearchState::Converged) {
        out.outcome = c.state == SearchState::OutOfRange ? CalibrationOutcome::OutOfReach
                                                         : CalibrationOutcome::NotConverged;
        return out;
    }
    if (t.state != SearchState::Converged) {
        out.outcome = t.state == SearchState::OutOfRange ? CalibrationOutcome::CutOutOfReach
                                                         : CalibrationOutcome::NotConverged;
        return out;
    }
    double toMeasuredTip = c.root;
    double toDesignTip = t.root;

    // The calibrated antenna as it is and as it will be after the cut.
    tell(progress, "analysing the calibrated antenna before and after the cut");
    const SegmentCounts counts = built->coarse().counts;
    auto pairOr = calibratedPair(context, toMeasuredTip, toDesignTip, counts);
    if (const auto* failure = failureIn(pairOr)) {
        return *failure;
    }
    auto [calibrated, cut] = std::move(std::get<AnalysedPair>(pairOr));
    // Their corrections differ a little from the built antenna's: when that moves either
    // resonance, both tips are sought once more from where they are, on their own corrections.
    if (std::abs(calibrated->scale() / built->scale() - 1.0) > kRescaleThreshold ||
        std::abs(cut->scale() / built->scale() - 1.0) > kRescaleThreshold) {
        const double cutTip = toMeasuredTip + roundToCentimetre(toDesignTip - toMeasuredTip);
        const double measuredTarget = workingTarget(*calibrated, out.calibrationMHz);
        const double designTarget = workingTarget(*cut, f);
        auto again =
            trimSearch(context, *calibrated, toMeasuredTip,
                       impedanceAt(calibrated->samples(), measuredTarget).imag(), measuredTarget);
        auto againCut = trimSearch(context, *cut, cutTip,
                                   impedanceAt(cut->samples(), designTarget).imag(), designTarget);
        if (again && againCut) {
            if (auto failure = runTogether(engine, {again->task.get(), againCut->task.get()})) {
                return *failure;
            }
            for (const auto* search : {&again, &againCut}) {
                if (auto failure = searchFailure(*search)) {
                    return *failure;
                }
            }
            if (again->task->search().state == SearchState::Converged &&
                againCut->task->search().state == SearchState::Converged) {
                toMeasuredTip = again->task->search().root;
                toDesignTip = againCut->task->search().root;
                pairOr = calibratedPair(context, toMeasuredTip, toDesignTip, counts);
                if (const auto* failure = failureIn(pairOr)) {
                    return *failure;
                }
                std::tie(calibrated, cut) = std::move(std::get<AnalysedPair>(pairOr));
            }
        }
    }
    out.correction = std::round(toMeasuredTip * 1e4) / 1e4;
    out.tipChange = roundToCentimetre(toDesignTip - toMeasuredTip);
    out.lengthAfterCut = std::round((input.length + 2.0 * out.tipChange) * 1e6) / 1e6;
    const AntennaResult calibratedResult = calibrated->result();
    out.modelResistance = calibratedResult.resonanceResistance;
    if (measured.analysis.resistanceOhm) {
        out.resistanceFar =
            resistanceFarFromModel(*measured.analysis.resistanceOhm, out.modelResistance);
    }
    out.afterCut = cut->result();
    if (auto failure = turnsAlternative(context, *calibrated, out)) {
        return *failure;
    }
    out.outcome = CalibrationOutcome::Calibrated;
    return out;
}

} // namespace brevan::check
