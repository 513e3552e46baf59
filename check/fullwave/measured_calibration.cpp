// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/measured_calibration.h"

#include "fullwave/antenna_analysis.h"
#include "fullwave/trim_search.h"
#include "portable_maths.h"

#include <cmath>
#include <complex>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace brevan::check {

namespace {

constexpr double kRecalibrateThreshold = 0.0002; // relative change of the correction worth a redo
// A cut is advised only when it lowers the calibrated model's SWR at F by more than this: any
// less is the arithmetic's, not the antenna's.
constexpr double kSwrGain = 1e-3;
// Whole-centimetre steps the search for the lowest SWR at F may take past the first neighbours.
constexpr int kMostSteps = 25;

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

double reflectionOfSwr(double s) {
    return (s - 1.0) / (s + 1.0);
}

// The model's curve as corrected, with the series loss: what an analyser at its feed point
// would sweep.
MeasuredSweep modelSweep(const Analysis& analysis, double seriesLoss) {
    MeasuredSweep model;
    for (FeedPoint p : analysis.samples()) {
        p.frequencyMHz *= analysis.scale();
        p.impedance += seriesLoss;
        model.impedance.push_back(p);
    }
    return model;
}

// Where the model with the series loss resonates over where its SWR is lowest: a cut that puts
// the resonance at F times this puts the SWR minimum on F.
double resonanceOverMinimum(const Analysis& analysis, double seriesLoss, double designMHz) {
    const SweepAnalysis a =
        analyseSweep(modelSweep(analysis, seriesLoss), designMHz, kReferenceImpedance);
    return a.resonanceMHz && a.swrMinimumSpanned ? *a.resonanceMHz / a.swrMinimumMHz : 1.0;
}

// The resistance the model is calibrated to: the measured one at the reactance's zero, or the
// one the lowest SWR implies, taken on the side of 50 ohm the model is.
double measuredResistanceFor(const MeasuredResonance& resonance, const SweepAnalysis& analysis,
                             double modelOhm) {
    return resonance.resistanceOhm ? *resonance.resistanceOhm
                                   : resistanceFromSwr(analysis.minimumSwr, modelOhm);
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

using Impedances = std::map<int, std::complex<double>>; // at F, by whole centimetres of cut

// The calibrated antenna's impedance at F (without the series loss) with each tip changed by
// each of `cms` whole centimetres from `calibratedTip`, on the segmentation and correction of
// `near`, an analysed antenna of about that length: one frequency each, in one batch.
std::optional<AntennaCheckFailure> impedancesAtDesign(const Context& context, const Analysis& near,
                                                      double calibratedTip,
                                                      const std::vector<int>& cms,
                                                      Impedances& into) {
    const AntennaCheckInput& in = context.input;
    const double atDesign = workingTarget(near, in.designMHz);
    std::vector<Request> requests;
    for (const int cm : cms) {
        const AntennaModel model =
            antennaModel(in, in.length + 2.0 * (calibratedTip + cm / 100.0), near.coil());
        auto segmented = segmentWith(model, near.coarse().counts, 1, context.highestMHz);
        if (std::holds_alternative<ModelRefusal>(segmented)) {
            segmented = segmentAntenna(model, context.highestMHz);
        }
        if (const auto* refusal = std::get_if<ModelRefusal>(&segmented)) {
            return modelFailure(*refusal, "calibrated, cut");
        }
        requests.push_back(Request{model,
                                   std::get<Segmentation>(segmented),
                                   at(near.coil(), {atDesign}),
                                   describe("calibrated, cut probe", model, in.designMHz),
                                   {}});
    }
    Batch batch = runBatch(context.engine, requests);
    if (const auto* failure = failureIn(batch)) {
        return *failure;
    }
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < cms.size(); ++i) {
        into[cms[i]] = runs[i].points.front().impedance;
    }
    return std::nullopt;
}

// The whole centimetres of cut, from `start` (where `cut` was analysed), whose calibrated SWR
// at F is lowest: both neighbours and no cut at all tried together, then further steps the
// way the SWR falls for as long as it falls. `tried` holds every impedance found, 0 among them.
std::variant<int, AntennaCheckFailure> lowestSwrCut(const Context& context, const Analysis& cut,
                                                    double calibratedTip, int start,
                                                    double seriesLoss, Impedances& tried) {
    tried[start] = cut.result().designImpedance;
    std::vector<int> first{start - 1, start + 1};
    if (std::abs(start) > 1) {
        first.push_back(0);
    }
    if (auto failure = impedancesAtDesign(context, cut, calibratedTip, first, tried)) {
        return *failure;
    }
    const auto swrOf = [&tried, seriesLoss](int cm) {
        return swr(tried.at(cm) + seriesLoss, kReferenceImpedance);
    };
    const int way = swrOf(start - 1) < swrOf(start) ? -1 : swrOf(start + 1) < swrOf(start) ? 1 : 0;
    int at = start + way;
    for (int step = 0; way != 0 && step < kMostSteps; ++step) {
        const int next = at + way;
        if (tried.count(next) == 0) {
            if (auto failure = impedancesAtDesign(context, cut, calibratedTip, {next}, tried)) {
                return *failure;
            }
        }
        if (!(swrOf(next) < swrOf(at))) {
            break;
        }
        at = next;
    }
    int best = start;
    for (const auto& [cm, z] : tried) {
        if (swrOf(cm) < swrOf(best)) {
            best = cm;
        }
    }
    return best;
}

// The whole turns that put the calibrated antenna's resonance on `targetMHz`, and where it then
// resonates.
std::optional<AntennaCheckFailure> turnsAlternative(const Context& context,
                                                    const Analysis& calibrated, double targetMHz,
                                                    Calibration& out) {
    const AntennaCheckInput& in = context.input;
    if (!in.coilOfTurns || !calibrated.coarseResonance()) {
        return std::nullopt;
    }
    const double length = calibrated.model().length;
    auto coil = coilSearch(context, calibrated, length, workingTarget(calibrated, targetMHz));
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
    out.swrAtFeed = swrCurve(out.atFeed.atFeed, kReferenceImpedance);
    return out;
}

bool zeroAwayFromSwrMinimum(const SweepAnalysis& analysis) {
    return analysis.resonanceSwr &&
           reflectionOfSwr(*analysis.resonanceSwr) - reflectionOfSwr(analysis.minimumSwr) >
               kZeroAgreement;
}

std::optional<MeasuredResonance> measuredResonance(const AsMeasured& measured) {
    const SweepAnalysis& a = measured.analysis;
    const bool zero = !hasWarning(a, SweepWarning::ResonanceNotSpanned) && a.resonanceMHz &&
                      !a.resonanceIsSwrMinimum;
    const auto onMinimum = [&a](CalibrationBasis basis) -> std::optional<MeasuredResonance> {
        if (!a.swrMinimumSpanned) {
            return std::nullopt;
        }
        return MeasuredResonance{a.swrMinimumMHz, basis, std::nullopt};
    };
    if (measured.atFeed.atFeed.kind == SweepKind::SwrOnly) {
        return onMinimum(CalibrationBasis::SwrOnly);
    }
    if (!zero) {
        return onMinimum(CalibrationBasis::NoZero);
    }
    // A line given was taken out: the zero is at the feed point. Without one, a zero where the
    // SWR is much above its lowest is the line's doing, not the antenna's.
    if (!measured.feedLine && zeroAwayFromSwrMinimum(a)) {
        if (auto minimum = onMinimum(CalibrationBasis::ZeroMoved)) {
            return minimum;
        }
    }
    return MeasuredResonance{*a.resonanceMHz, CalibrationBasis::ReactanceZero, a.resistanceOhm};
}

double resistanceFromSwr(double lowestSwr, double modelOhm) {
    const double below = kReferenceImpedance / lowestSwr;
    const double above = kReferenceImpedance * lowestSwr;
    if (!(modelOhm > 0.0)) {
        return below;
    }
    return std::abs(portable::log(below / modelOhm)) <= std::abs(portable::log(above / modelOhm))
               ? below
               : above;
}

double resonanceFromSwrMinimum(double measuredMinimumMHz, double modelResonanceMHz,
                               double modelMinimumMHz) {
    return measuredMinimumMHz * modelResonanceMHz / modelMinimumMHz;
}

bool withinResonanceWindow(double measuredMHz, double designMHz) {
    return std::abs(measuredMHz / designMHz - 1.0) <= kResonanceWindow;
}

bool resistanceFarFromModel(double measuredOhm, double modelOhm) {
    return modelOhm > 0.0 ? std::abs(measuredOhm / modelOhm - 1.0) > kResistanceTolerance
                          : measuredOhm > 0.0;
}

std::variant<Calibration, AntennaCheckFailure>
calibrateToMeasurement(const AntennaCheckInput& input, const AsMeasured& measured,
                       const Engine& engine, const Progress& progress,
                       const AnalysisRecord* checked) {
    Calibration out;
    const std::optional<MeasuredResonance> resonance = measuredResonance(measured);
    if (!resonance) {
        out.outcome = CalibrationOutcome::NoMeasuredResonance;
        return out;
    }
    out.basis = resonance->basis;
    out.fromSwrMinimum = resonance->basis != CalibrationBasis::ReactanceZero;
    const double f = input.designMHz;
    if (!withinResonanceWindow(resonance->frequencyMHz, f)) {
        // No model of this antenna resonates there: nothing to calibrate, and no cut.
        out.outcome = CalibrationOutcome::OtherBand;
        out.calibrationMHz = resonance->frequencyMHz;
        return out;
    }
    const Context context{
        input, engine, progress, f * (1.0 + kResonanceWindow), sweepPlan(input.ground.kind), {}};

    tell(progress, "calibrating the model to the measured sweep");
    std::unique_ptr<Analysis> built;
    if (checked && checked->model.length == input.length) {
        built = Analysis::restored(context, *checked);
    } else {
        auto builtOr = newAnalysis(context, input.length, input.built, "as built, to calibrate");
        if (const auto* failure = failureIn(builtOr)) {
            return *failure;
        }
        built = takeAnalysis(builtOr);
        if (auto failure = runTogether(engine, {built.get()})) {
            return *failure;
        }
    }
    const AntennaResult asBuilt = built->result();
    if (!built->coarseResonance() || !asBuilt.resonanceMHz) {
        out.outcome = CalibrationOutcome::NoModelResonance;
        return out;
    }
    // The series loss as the built antenna gives it, for where the SWR minimum lies beside the
    // resonance; worked out again on the calibrated antenna below.
    out.measuredResistance =
        measuredResistanceFor(*resonance, measured.analysis, asBuilt.resonanceResistance);
    const double firstLoss = out.measuredResistance - asBuilt.resonanceResistance;
    const double ratio = resonanceOverMinimum(*built, firstLoss, f);
    out.calibrationMHz =
        out.fromSwrMinimum ? resonance->frequencyMHz * ratio : resonance->frequencyMHz;
    // The resonance after the cut that puts the SWR minimum on F.
    const double cutTargetMHz = f * ratio;

    // The tip change to the measured resonance and the one to that target, from the same antenna.
    const double toMeasured = workingTarget(*built, out.calibrationMHz);
    const double toDesign = workingTarget(*built, cutTargetMHz);
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
    out.correction = std::round(c.root * 1e4) / 1e4;
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
    if (std::abs(calibrated->scale() / built->scale() - 1.0) > kRecalibrateThreshold ||
        std::abs(cut->scale() / built->scale() - 1.0) > kRecalibrateThreshold) {
        const double cutTip = toMeasuredTip + roundToCentimetre(toDesignTip - toMeasuredTip);
        const double measuredTarget = workingTarget(*calibrated, out.calibrationMHz);
        const double designTarget = workingTarget(*cut, cutTargetMHz);
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
    const AntennaResult calibratedResult = calibrated->result();
    if (!calibratedResult.resonanceMHz ||
        std::abs(*calibratedResult.resonanceMHz / out.calibrationMHz - 1.0) > kCalibrationReach) {
        // The search settled, but the antenna it settled on does not resonate where measured.
        out.outcome = CalibrationOutcome::OutOfReach;
        return out;
    }
    out.modelResistance = calibratedResult.resonanceResistance;
    out.measuredResistance =
        measuredResistanceFor(*resonance, measured.analysis, out.modelResistance);
    out.seriesLoss = out.measuredResistance - out.modelResistance;
    out.resistanceFar = resistanceFarFromModel(out.measuredResistance, out.modelResistance);

    // The whole centimetres around the cut, for the lowest SWR at F with the series loss.
    tell(progress, "trying the cut a centimetre either way");
    const int start =
        static_cast<int>(std::lround(roundToCentimetre(toDesignTip - toMeasuredTip) * 100.0));
    Impedances tried;
    auto bestOr = lowestSwrCut(context, *cut, toMeasuredTip, start, out.seriesLoss, tried);
    if (const auto* failure = failureIn(bestOr)) {
        return *failure;
    }
    const auto swrWith = [&out](std::complex<double> z) {
        return swr(z + out.seriesLoss, kReferenceImpedance);
    };
    out.swrAtDesignNow = swrWith(tried.at(0));
    int best = std::get<int>(bestOr);
    out.cutLowersSwr = best != 0 && swrWith(tried.at(best)) < out.swrAtDesignNow - kSwrGain;
    if (!out.cutLowersSwr) {
        best = 0;
    }
    out.tipChange = best / 100.0;
    out.lengthAfterCut = std::round((input.length + 2.0 * out.tipChange) * 1e6) / 1e6;

    // The antenna after that cut, analysed whole for where its reactance's zero lies.
    Analysis* after = best == start ? cut.get() : best == 0 ? calibrated.get() : nullptr;
    std::unique_ptr<Analysis> other;
    if (!after) {
        auto otherOr = newAnalysis(context, input.length + 2.0 * (toMeasuredTip + out.tipChange),
                                   input.built, "calibrated, after the cut", counts);
        if (const auto* failure = failureIn(otherOr)) {
            return *failure;
        }
        other = takeAnalysis(otherOr);
        if (auto failure = runTogether(engine, {other.get()})) {
            return *failure;
        }
        after = other.get();
    }
    const AntennaResult afterResult = after->result();
    AfterCut expect;
    expect.resonanceMHz = afterResult.resonanceMHz;
    expect.resistanceOhm = afterResult.resonanceResistance + out.seriesLoss;
    const std::complex<double> atDesign = tried.at(best) + out.seriesLoss;
    expect.swrAtDesign = swr(atDesign, kReferenceImpedance);
    expect.impedanceAtDesign = atDesign;
    if (measured.feedLine) {
        expect.swrAtDesignAtAnalyser =
            swr(throughFeedLine(atDesign, *measured.feedLine, f), kReferenceImpedance);
    }
    out.afterCut = expect;
    if (out.cutLowersSwr) {
        if (auto failure = turnsAlternative(context, *calibrated, cutTargetMHz, out)) {
            return *failure;
        }
    }
    if (afterResult.resonanceMHz && swr(expect.resistanceOhm) > kMatchAbove) {
        // The match is the hung antenna's, not the design's: its own curve, with the loss the
        // sweep showed (last, as the curve's points join the analysis's own).
        tell(progress, "sweeping the antenna after the cut for its match");
        AntennaResult swept = afterResult;
        if (auto failure = sweepCurves(context, {after}, {&swept})) {
            return *failure;
        }
        for (FeedPoint& p : swept.curve) {
            p.impedance += out.seriesLoss;
        }
        out.matching = matchingFor(swept.curve, f);
    }
    out.outcome = CalibrationOutcome::Calibrated;
    return out;
}

} // namespace brevan::check
