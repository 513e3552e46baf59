// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/trim_search.h"

#include "coil/physics.h"
#include "coil/turns_search.h"
#include "cut_list.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

std::vector<Request> SearchTask::requests() {
    if (m_failure || !m_search.next) {
        return {};
    }
    auto request = m_probe(*m_search.next);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&request)) {
        m_failure = *failure;
        return {};
    }
    return {std::get<Request>(std::move(request))};
}

void SearchTask::take(const std::vector<EngineRun>& runs) {
    takeProbe(m_search, *m_search.next, runs.front().points.front().impedance.imag());
}

namespace {

constexpr double kTrimCentimetre = 0.01; // m
constexpr double kTrimShareOfBand = 0.2; // of the 2:1 band's width, for a centimetre of tip
constexpr double kTrimShareOfF = 0.001;  // of F, where the antenna has no 2:1 band

} // namespace

// Why a search for the tip change ended where it did.
TrimOutcome searchOutcome(const TrimSearch& trim) {
    switch (trim.task->search().state) {
    case SearchState::Converged: return TrimOutcome::Reached;
    case SearchState::OutOfRange:
        return trim.limit < 0.0 ? TrimOutcome::CoilsInTheWay : TrimOutcome::TooFar;
    default: return TrimOutcome::NotConverged;
    }
}

// Whether a centimetre of each tip moves the resonance by more than a fifth of the built
// antenna's 2:1 band (a tenth of a per cent of F without one), as the trim search went from its
// resonance to F over `root` metres: then whole centimetres could leave the trimmed antenna far
// up its SWR curve, and the trim is given to the millimetre. A short high-band antenna moves
// half a per cent a centimetre; the typical 40 m one a twentieth of its band.
bool millimetreTrim(const AntennaResult& built, double root, double designMHz) {
    if (!built.resonanceMHz || std::abs(root) < kTrimCentimetre) {
        return false;
    }
    const double perCentimetre =
        std::abs(*built.resonanceMHz - designMHz) / std::abs(root) * kTrimCentimetre;
    const SwrBand& band = built.band;
    const double allowed = band.lowerMHz && band.upperMHz
                               ? kTrimShareOfBand * (*band.upperMHz - *band.lowerMHz)
                               : kTrimShareOfF * designMHz;
    return perCentimetre > allowed;
}

double trimStep(const Trim& trim) {
    return trim.toMillimetres ? 0.001 : kTrimCentimetre;
}

double roundToCentimetre(double metres) {
    return std::round(metres * 100.0) / 100.0;
}

int closestApparentTurns(const AntennaCheckInput& input, double needed) {
    const double hz = input.designMHz * 1e6;
    const TurnsQuantity apparent = [&](int turns) -> std::optional<double> {
        const double inductance = input.coilOfTurns(turns)(hz).imag() / (2.0 * kPi * hz);
        return inductance > 0.0 ? std::optional<double>(inductance) : std::nullopt;
    };
    const auto match = closestWholeTurns(apparent, needed);
    return match ? match->turns : 0;
}

// The shortest tip change a builder can make: each tip cut back to a joint beyond its coil's
// end, or as far in as the NEC rules let the model follow, whichever is longer. In whole
// millimetres from there outwards, so that a model that refuses is never probed.
double shortestTip(const Context& context, double upTo) {
    const auto& in = context.input;
    const double half = in.length / 2.0;
    double tip = coilEnd(in.coilDistance, in.windingLength) + kJointAllowance - half;
    tip = std::ceil(tip * 1000.0) / 1000.0;
    for (; tip < upTo; tip += std::max(0.001, 0.1 * (upTo - tip))) {
        const AntennaModel model = antennaModel(in, in.length + 2.0 * tip, {});
        const auto coarse = segmentAntenna(model, context.highestMHz);
        const auto* seg = std::get_if<Segmentation>(&coarse);
        if (seg && std::holds_alternative<Segmentation>(
                       segmentWith(model, seg->counts, 2, context.highestMHz))) {
            return tip;
        }
    }
    return upTo;
}

// The trim as a search over the tip change at the analysed antenna's segment counts, so that
// the reactance changes smoothly with it; outward when the antenna resonates above the target.
// Where those counts no longer fit the NEC rules, the probe is cut afresh for its length.
std::optional<TrimSearch> trimSearch(const Context& context, const Analysis& built, double start,
                                     double startReactance, double target) {
    const auto& in = context.input;
    const auto resonance = built.coarseResonance();
    if (!resonance) {
        return std::nullopt;
    }
    const Segmentation& seg = built.coarse();
    const double half = in.length / 2.0;
    // Shortest: cut back to a joint beyond the coil. Longest: the wire beyond the coil doubled.
    const double shortest = shortestTip(context, start);
    const double longest = half - (seg.coilsAtFeed ? 0.0 : in.coilDistance);
    const bool outward = resonance->frequencyMHz > target;
    const double guess = start + half * (resonance->frequencyMHz / target - 1.0);
    RootSearch search =
        startRootSearch(start, startReactance, guess, outward ? longest : std::min(shortest, start),
                        kTipTolerance, kTipFallWidth);
    const SegmentCounts counts = seg.counts;
    const CoilImpedance coil = built.coil();
    SearchTask::Probe probe = [&context, counts, coil,
                               target](double tip) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model =
            antennaModel(context.input, context.input.length + 2.0 * tip, coil);
        auto segmented = segmentWith(model, counts, 1, context.highestMHz);
        if (std::holds_alternative<ModelRefusal>(segmented)) {
            // Stretched past the rules: cut afresh for this length.
            segmented = segmentAntenna(model, context.highestMHz);
        }
        if (auto* refusal = std::get_if<ModelRefusal>(&segmented)) {
            return modelFailure(*refusal, "trimmed");
        }
        return Request{model,
                       std::get<Segmentation>(segmented),
                       at(coil, {target}),
                       describe("trim probe", model, context.input.designMHz),
                       {}};
    };
    return TrimSearch{std::make_unique<SearchTask>(std::move(search), std::move(probe)),
                      outward ? longest : shortest};
}

std::unique_ptr<SearchTask> coilSearch(const Context& context, const Analysis& built, double length,
                                       double target) {
    const double omega = 2.0 * kPi * target * 1e6;
    const std::complex<double> builtCoil = built.coil()(target * 1e6);
    const double start = builtCoil.imag() / omega;
    const double startReactance = impedanceAt(built.samples(), target).imag();
    const double resonance = built.coarseResonance()->frequencyMHz;
    const bool more = resonance > target;
    const double ratio = resonance / target;
    const double guess = start * (ratio * ratio);
    RootSearch search =
        startRootSearch(start, startReactance, guess, more ? 1000.0 * start : 1e-3 * start,
                        kInductanceTolerance * start, kInductanceFallWidth * start);
    const Segmentation seg = built.coarse();
    const double resistance = builtCoil.real();
    SearchTask::Probe probe = [&context, seg, length, target, omega, resistance](
                                  double inductance) -> std::variant<Request, AntennaCheckFailure> {
        const AntennaModel model = antennaModel(context.input, length, {});
        return Request{model,
                       seg,
                       {DeckFrequency{target, {resistance, omega * inductance}}},
                       describe("coil probe", model, context.input.designMHz),
                       {}};
    };
    return std::make_unique<SearchTask>(std::move(search), std::move(probe));
}

} // namespace brevan::check
