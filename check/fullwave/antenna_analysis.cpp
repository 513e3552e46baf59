// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/antenna_analysis.h"

#include "nec/radiation_pattern.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

// A curve is drawn smooth at a picture's resolution: a few hundred points across its range.
constexpr int kCurvePieces = 400;

std::variant<std::pair<Segmentation, Segmentation>, AntennaCheckFailure>
levels(const Context& context, const AntennaModel& model, const std::string& what,
       std::optional<SegmentCounts> counts) {
    auto coarse = counts ? segmentWith(model, *counts, 1, context.highestMHz)
                         : segmentAntenna(model, context.highestMHz);
    if (auto* refusal = std::get_if<ModelRefusal>(&coarse)) {
        return modelFailure(*refusal, what);
    }
    const SegmentCounts base = std::get<Segmentation>(coarse).counts;
    auto fine = segmentWith(model, base, 2, context.highestMHz);
    if (auto* refusal = std::get_if<ModelRefusal>(&fine)) {
        return modelFailure(*refusal, what);
    }
    return std::pair{std::get<Segmentation>(coarse), std::get<Segmentation>(fine)};
}

// The range of frequencies the three pictures share: every dip, every 2:1 edge and F, with a
// margin of the widest band (at least 1 % of F) on each side, inside the search window.
std::pair<double, double> curveRange(const std::vector<AntennaResult>& results, double f) {
    double low = f;
    double high = f;
    double widest = 0.0;
    for (const AntennaResult& r : results) {
        for (const auto& x : {r.resonanceMHz, r.band.lowerMHz, r.band.upperMHz}) {
            if (x) {
                low = std::min(low, *x);
                high = std::max(high, *x);
            }
        }
        if (r.band.lowerMHz && r.band.upperMHz) {
            widest = std::max(widest, *r.band.upperMHz - *r.band.lowerMHz);
        }
    }
    const double margin = std::max(widest, 0.01 * f);
    return {std::max(low - margin, f * (1 - kResonanceWindow)),
            std::min(high + margin, f * (1 + kResonanceWindow))};
}

} // namespace

std::optional<std::vector<double>> locate(Locator& l, double r, double f) {
    if (l.resonanceMHz || l.failed) {
        return std::nullopt;
    }
    if (l.samples.empty()) {
        // Where the third level's resonance is foretold, it came within 0.011 % of it on designs
        // from 80 to 20 m: three solves half a fine width apart bracket it in one round, where
        // the wide start took seven in three. Missed, the search widens from there as below.
        if (l.foretold) {
            const double half = 0.5 * kFineWidth * f;
            return std::vector<double>{r - half, r, r + half};
        }
        return std::vector<double>{r * 0.985, r * 0.995, r * 1.002, r * 1.01};
    }
    if (++l.rounds > kMostRounds) {
        l.failed = true;
        return std::nullopt;
    }
    const auto found = nearestResonance(l.samples, r);
    if (!found) {
        // Not within the samples yet: widen on the side the reactance points to.
        const double low = l.samples.front().frequencyMHz;
        const double high = l.samples.back().frequencyMHz;
        if (high - low > 0.2 * r) {
            l.failed = true;
            return std::nullopt;
        }
        const bool below = l.samples.front().impedance.imag() > 0.0;
        const double span = high - low;
        return below ? std::vector<double>{low - span, low - span / 2}
                     : std::vector<double>{high + span / 2, high + span};
    }
    const auto next = refinement(l.samples, r, kReferenceImpedance, kPoleWidth * f, kFineWidth * f);
    // Only what bears on the resonance itself: its interval and poles beside it.
    std::vector<double> near;
    for (const double x : next) {
        if (std::abs(x - found->frequencyMHz) < 0.02 * r) {
            near.push_back(x);
        }
    }
    if (near.empty()) {
        l.resonanceMHz = found->frequencyMHz;
        return std::nullopt;
    }
    return near;
}

SweepPlan sweepPlan(GroundKind ground) {
    return sommerfeldGround(ground) ? SweepPlan{17, 21} : SweepPlan{};
}

std::vector<DeckFrequency> at(const CoilImpedance& coil, const std::vector<double>& mhz) {
    std::vector<DeckFrequency> out;
    for (const double f : mhz) {
        out.push_back(DeckFrequency{f, coil(f * 1e6)});
    }
    return out;
}

std::vector<double> evenly(double low, double high, int count) {
    std::vector<double> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(low + (high - low) * i / (count - 1));
    }
    return out;
}

std::string describe(const std::string& what, const AntennaModel& model, double designMHz) {
    return "Brevan check, " + what + ": " + fixed(model.length, 3) + " m tip to tip, coils at +-" +
           fixed(model.coilDistance, 3) + " m, design " + fixed(designMHz, 4) + " MHz";
}

std::vector<Request> Analysis::requests() {
    const double f = m_context.input.designMHz;
    if (m_stage == Stage::Sweep) {
        std::vector<double> next =
            m_samples.empty()
                ? evenly(f * (1 - kResonanceWindow), f * (1 + kResonanceWindow),
                         m_context.plan.coarse)
                : refinement(m_samples, f, kReferenceImpedance, kPoleWidth * f, kFineWidth * f);
        if (!next.empty() && ++m_rounds <= kMostRounds) {
            return {request(m_coarse, next)};
        }
        m_converged = m_converged && next.empty();
        m_stage = Stage::Fine;
        m_coarseResonance = nearestResonance(m_samples, f);
    }
    if (m_stage == Stage::Fine) {
        std::vector<Request> out;
        m_waiting.clear();
        if (m_coarseResonance) {
            const double r = m_coarseResonance->frequencyMHz;
            askThirdLevel();
            Locator* third = m_third.locator ? &*m_third.locator : nullptr;
            for (Locator* l :
                 {&m_fineLocator, m_positionLocator ? &*m_positionLocator : nullptr, third}) {
                if (l) {
                    // The finest level is sought where the two others point.
                    const double around = l == third ? thirdLevelGuess() : r;
                    if (const auto next = locate(*l, around, f)) {
                        out.push_back(request(l->model, l->segmentation, *next));
                        m_waiting.push_back(l);
                    }
                }
            }
        }
        if (out.empty() && !m_third.asked && wantsThirdLevel()) {
            return requests(); // the third level's first frequencies
        }
        if (!out.empty()) {
            return out;
        }
        settleScale();
        m_stage = Stage::Design;
        return {request(m_coarse, {f / m_scale})};
    }
    return {};
}

void Analysis::take(const std::vector<EngineRun>& runs) {
    if (m_stage == Stage::Sweep) {
        addSamples(m_samples, runs.front().points);
    } else if (m_stage == Stage::Fine) {
        for (std::size_t i = 0; i < m_waiting.size(); ++i) {
            addSamples(m_waiting[i]->samples, runs[i].points);
        }
    } else if (m_stage == Stage::Design) {
        addSamples(m_samples, runs.front().points);
        m_designCurrents = parseSegmentCurrents(runs.front().output);
        m_stage = Stage::Done;
    }
}

double Analysis::thirdLevelGuess() const {
    return nextLevel(m_coarseResonance->frequencyMHz, *m_fineLocator.resonanceMHz);
}

bool Analysis::wantsThirdLevel() const {
    return m_coarseResonance && m_fineLocator.resonanceMHz &&
           check::wantsThirdLevel(m_coarseResonance->frequencyMHz, *m_fineLocator.resonanceMHz);
}

void Analysis::askThirdLevel() {
    if (m_third.asked || !wantsThirdLevel()) {
        return;
    }
    m_third.asked = true;
    // Counted as equal segments of the coil's step: a graded inner wire makes the finer levels
    // cheap, but which rule settles the limit stays the one the convergence tests hold against
    // the even deck (near the tips a third level's order can read faster than the levels
    // beyond it converge).
    const SegmentCounts& counts = m_coarse.counts;
    if (4 * (1 + 2 * (counts.inner + counts.outer)) > kMostThirdLevelSegments) {
        return;
    }
    auto finest = segmentWith(m_model, m_coarse.counts, 4, m_context.highestMHz);
    if (auto* seg = std::get_if<Segmentation>(&finest)) {
        Locator l;
        l.model = m_model;
        l.segmentation = *seg;
        l.samples = m_thirdSamples;
        l.foretold = true;
        m_third.locator = l;
    }
}

void Analysis::settleScale() {
    if (!m_coarseResonance || !m_fineLocator.resonanceMHz) {
        m_converged = m_converged && !m_fineLocator.failed;
        return;
    }
    const double r1 = m_coarseResonance->frequencyMHz;
    const double r2 = *m_fineLocator.resonanceMHz;
    Extrapolated settled = twoLevels(r1, r2);
    if (m_third.locator && m_third.locator->resonanceMHz) {
        settled = threeLevels(r1, r2, *m_third.locator->resonanceMHz);
    } else if (m_third.asked) {
        // No finer level within the rules or the time, or it found no resonance: the order is
        // not known, and the whole difference of the two levels is the uncertainty.
        settled = twoLevelsWithoutOrder(r1, r2);
    }
    m_scale = settled.limitMHz / r1;
    m_uncertainty = settled.uncertainty;
    if (m_positionLocator && m_positionLocator->resonanceMHz) {
        const double share = m_model.coilDistance / m_positionLocator->model.coilDistance;
        const double moved = share * (*m_positionLocator->resonanceMHz / r1 - 1.0);
        m_scale *= 1.0 + moved;
        // The resonance bends a little away from the straight line between the two.
        m_uncertainty += kPositionSpread * std::abs(moved);
    }
    m_converged =
        m_converged && !m_fineLocator.failed && !(m_positionLocator && m_positionLocator->failed);
}

AntennaResult Analysis::result() const {
    AntennaResult out;
    const double f = m_context.input.designMHz;
    out.length = m_model.length;
    out.shape = m_coarse.shape;
    out.coilAtDesign = m_coil(f * 1e6);
    out.coilApparentInductance = apparentInductance(out.coilAtDesign, f);
    out.converged = m_converged;
    const double shifted = f / m_scale;
    const auto design = std::min_element(
        m_samples.begin(), m_samples.end(), [shifted](const FeedPoint& a, const FeedPoint& b) {
            return std::abs(a.frequencyMHz - shifted) < std::abs(b.frequencyMHz - shifted);
        });
    out.designImpedance = impedanceAt(m_samples, shifted);
    out.designSwr = swr(out.designImpedance);
    out.designEfficiency = efficiency(*design);
    if (m_designCurrents) {
        out.atDesign = currentsAtDesign(m_model, m_coarse, *m_designCurrents, shifted);
    }
    if (const auto r = nearestResonance(m_samples, f)) {
        out.resonanceMHz = r->frequencyMHz * m_scale;
        out.resonanceUncertainty = m_uncertainty;
        out.resonanceResistance = impedanceAt(m_samples, r->frequencyMHz).real();
        const Band band = bandAround(m_samples, *r, kReferenceImpedance);
        if (band.lowerMHz) {
            out.band.lowerMHz = *band.lowerMHz * m_scale;
        }
        if (band.upperMHz) {
            out.band.upperMHz = *band.upperMHz * m_scale;
        }
    }
    return out;
}

std::variant<std::unique_ptr<Analysis>, AntennaCheckFailure>
newAnalysis(const Context& context, double length, CoilImpedance coil, const std::string& what,
            std::optional<SegmentCounts> counts) {
    const AntennaModel model = antennaModel(context.input, length, coil);
    auto segmented = levels(context, model, what, counts);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&segmented)) {
        return *failure;
    }
    auto& [coarse, fine] = std::get<std::pair<Segmentation, Segmentation>>(segmented);
    return std::make_unique<Analysis>(context, model, std::move(coil), coarse, fine, what);
}

// The frequency the working level must resonate at for the corrected antenna to resonate at F.
double workingTarget(const Analysis& analysis, double designMHz) {
    return designMHz / analysis.scale();
}

std::optional<AntennaCheckFailure> sweepCurves(const Context& context,
                                               const std::vector<Analysis*>& analyses,
                                               std::vector<AntennaResult*> results) {
    std::vector<AntennaResult> plain;
    for (const AntennaResult* r : results) {
        plain.push_back(*r);
    }
    const auto [low, high] = curveRange(plain, context.input.designMHz);
    const int count = context.plan.curve;
    std::vector<Request> requests;
    for (const Analysis* a : analyses) {
        // Two halves, so two cores share the work evenly.
        Request whole = a->curveRequest(low, high, count);
        Request first = whole;
        first.frequencies.resize(static_cast<std::size_t>(count / 2));
        Request second = whole;
        second.frequencies.erase(second.frequencies.begin(),
                                 second.frequencies.begin() + count / 2);
        requests.push_back(std::move(first));
        requests.push_back(std::move(second));
    }
    Batch batch = runBatch(context.engine, requests);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
        return *failure;
    }
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < analyses.size(); ++i) {
        analyses[i]->addCurve(runs[2 * i].points);
        analyses[i]->addCurve(runs[2 * i + 1].points);
        const double scale = analyses[i]->scale();
        auto& curve = results[i]->curve;
        curve.clear();
        for (FeedPoint p : analyses[i]->samples()) {
            p.frequencyMHz *= scale;
            if (p.frequencyMHz >= low * (1 - 1e-9) && p.frequencyMHz <= high * (1 + 1e-9)) {
                curve.push_back(p);
            }
        }
        results[i]->curveSwr.clear();
        for (const FeedPoint& p : curve) {
            results[i]->curveSwr.push_back(swr(p.impedance));
        }
        const double span =
            curve.empty() ? 0.0 : curve.back().frequencyMHz - curve.front().frequencyMHz;
        results[i]->swrCurve = smoothSwrCurve(curve, span / kCurvePieces, kReferenceImpedance);
    }
    return std::nullopt;
}

// Over ground the power budget counts what the ground absorbs as radiated; the far field over
// the upper half space tells what reaches the sky.
std::optional<AntennaCheckFailure> skyShares(const Context& context,
                                             const std::vector<Analysis*>& analyses,
                                             const std::vector<AntennaResult*>& results) {
    std::vector<Request> requests;
    for (const Analysis* a : analyses) {
        requests.push_back(a->patternRequest());
    }
    Batch batch = runBatch(context.engine, requests);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&batch)) {
        return *failure;
    }
    const auto& runs = std::get<std::vector<EngineRun>>(batch);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::string error;
        const auto pattern = readSkyPattern(runs[i].output, &error);
        if (!pattern) {
            return engineFailure(EngineFailure::Unreadable,
                                 "the far field printed by nec2c could not be read: " + error);
        }
        results[i]->sky =
            SkyShare{pattern->skyShare, pattern->maxGainDbi, pattern->maxGainElevationDeg};
    }
    return std::nullopt;
}

} // namespace brevan::check
