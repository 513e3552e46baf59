// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One antenna analysed the way the check analyses every antenna: swept over the whole window on
// the working segmentation and refined until no resonance or band edge can hide; its resonance
// located again on the finer segmentation; and the two extrapolated to NEC-2's limit. The
// correction scales the whole curve, so every figure of the antenna is the corrected one.

#include "fullwave/engine_rounds.h"
#include "nec/radiation_pattern.h"
#include "portable_maths.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevan::check {

// NEC-2's resonance of a wire with lumped loads approaches its limit as (segments)^-0.75: solved
// here for designs from 160 m to 10 m at 30 to 1300 segments. Two levels, the second with every
// segment halved, extrapolate to the limit; the spread of the order between 0.6 and 0.9 is taken
// as the extrapolation's uncertainty.
constexpr double kConvergenceOrder = 0.75;
constexpr double kOrderSpread = 0.39; // (1/(2^0.6 - 1) - 1/(2^0.9 - 1)) / 2
constexpr double kPoleWidth = 0.0005; // of F: a pole's interval is split down to this
constexpr double kFineWidth = 0.0025; // of F: resonance and band edges sampled this closely
constexpr int kMostRounds = 10;
// Share of the interpolated shift for coils beside the feed taken as its uncertainty.
constexpr double kPositionSpread = 0.2;
// Above this spread of the two-level extrapolation (what the report would show beside a
// resonance) the order 0.75 is not taken on trust: the resonance is located once more at four
// times the working segments and the order the three show is used. Short antennas and coils
// near the tips, where the short wire beyond them and the coil come near a series resonance of
// their own, converge much slower (orders of 0.25 to 0.5 were seen).
constexpr double kThirdLevelAbove = 0.0005;
// The order the three levels show is known to about this much either way: the even deck of
// the convergence test, on the same antenna, shows orders up to a quarter apart from the
// check's levels (1.02 against 0.78 at 5.37 MHz), and further levels of one segmentation were
// seen to speed up (0.9, 1.4, 2.0 on a 28.5 MHz design).
constexpr double kObservedOrderSpread = 0.25;
// Below this order the levels are not yet converging as a power of the segments (a fourth
// level was seen to move by as much as the third).
constexpr double kSlowestExtrapolated = 0.5;
// Beyond this the third level would cost seconds a frequency; without it the whole difference
// of the two levels is taken as the uncertainty.
constexpr int kMostThirdLevelSegments = 500;

struct SweepPlan {
    int coarse = 31; // over the whole window, odd so that F is the middle point
    int curve = 41;  // for the picture
};

// A Sommerfeld ground costs the engine about ten times more per frequency.
SweepPlan sweepPlan(GroundKind ground);

struct Context {
    const AntennaCheckInput& input;
    const Engine& engine;
    const Progress& progress;
    double highestMHz = 0.0; // every model is segmented for the top of the search window
    SweepPlan plan;
    std::string patternCards; // over ground: the far field at F
};

std::string describe(const std::string& what, const AntennaModel& model, double designMHz);
std::vector<DeckFrequency> at(const CoilImpedance& coil, const std::vector<double>& mhz);
std::vector<double> evenly(double low, double high, int count);

// The search for one resonance on one segmentation, near where the working level found it.
struct Locator {
    AntennaModel model;
    Segmentation segmentation;
    Samples samples;
    int rounds = 0;
    std::optional<double> resonanceMHz;
    bool failed = false;
};

// The frequencies `locator` needs next to place its resonance near `aroundMHz`; nothing when it
// has placed it or given up (`failed`).
std::optional<std::vector<double>> locate(Locator& locator, double aroundMHz, double designMHz);

// What a finished analysis found, kept beyond the engine rounds and the context it ran in, so
// that later work on the same antenna (the calibration to a measured sweep) starts from it
// instead of repeating it.
struct AnalysisRecord {
    AntennaModel model;
    CoilImpedance coil;
    Segmentation coarse;
    Segmentation fine;
    std::string what;
    Samples samples;
    std::optional<Resonance> coarseResonance;
    double scale = 1.0;
    double uncertainty = 0.0;
    bool converged = true;
    std::optional<std::vector<std::complex<double>>> designCurrents;
};

// An antenna analysed at the working segmentation over the whole window, then its resonance at
// the finer one, then the design frequency with the correction between the two applied.
class Analysis : public Task {
public:
    Analysis(const Context& context, AntennaModel model, CoilImpedance coil, Segmentation coarse,
             Segmentation fine, std::string what)
        : m_context(context), m_model(std::move(model)), m_coil(std::move(coil)),
          m_coarse(std::move(coarse)), m_fine(std::move(fine)), m_what(std::move(what)) {
        m_fineLocator.model = m_model;
        m_fineLocator.segmentation = m_fine;
        m_positionLocator = positionLocator();
    }

    // At 4x the working segments: asked for only when the two levels' spread is large.
    struct ThirdLevel {
        bool asked = false;
        std::optional<Locator> locator; // nothing: the NEC rules allow no finer level
    };

    // Takes the finer levels' samples of `same`, an analysis of the very same antenna (model,
    // segmentation and coil) whose correction is already worked out: the engine would give the
    // same points again, so this analysis seeks its resonances there among them first and asks
    // the engine only for what they still leave open. The study's antenna with the coil found
    // is analysed whole after the coil search has already corrected it.
    void reuseLevels(const Analysis& same) {
        if (!sameAntenna(same)) {
            return;
        }
        m_fineLocator.samples = same.m_fineLocator.samples;
        if (m_positionLocator && same.m_positionLocator) {
            m_positionLocator->samples = same.m_positionLocator->samples;
        }
        if (same.m_third.locator) {
            m_thirdSamples = same.m_third.locator->samples;
        }
    }

    // Skips the sweep when a search has already put the working level's resonance at
    // `workingMHz`: only the correction to NEC-2's limit is sought, then the point at F. Only
    // scale(), coarseResonance() and samples() (that one point) mean anything afterwards.
    void startAtResonance(double workingMHz) {
        m_stage = Stage::Fine;
        m_coarseResonance = Resonance{workingMHz, 0};
    }

    std::vector<Request> requests() override {
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
                        // The finest level is sought near where the two others point.
                        const double around = l == third ? r * twoLevelScale() : r;
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

    void take(const std::vector<EngineRun>& runs) override {
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

    // The frequencies at the working level for the picture, within [low, high] as corrected.
    Request curveRequest(double low, double high, int count) const {
        return request(m_coarse, evenly(low / m_scale, high / m_scale, count));
    }
    // More frequencies at the working level, as the engine is asked them (not corrected).
    Request samplesRequest(const std::vector<double>& workingMHz) const {
        return request(m_coarse, workingMHz);
    }
    // The far field at F, over ground.
    Request patternRequest() const {
        Request r = request(m_coarse, {m_context.input.designMHz / m_scale});
        r.options.patternCards = skyPatternCard();
        return r;
    }
    void addCurve(const std::vector<FeedPoint>& points) { addSamples(m_samples, points); }

    AntennaResult result() const;
    AnalysisRecord record() const {
        return AnalysisRecord{m_model,       m_coil,      m_coarse,          m_fine,
                              m_what,        m_samples,   m_coarseResonance, m_scale,
                              m_uncertainty, m_converged, m_designCurrents};
    }
    // A finished analysis taken up again from its record, in `context`: nothing left to run.
    static std::unique_ptr<Analysis> restored(const Context& context, AnalysisRecord record) {
        auto out = std::make_unique<Analysis>(context, std::move(record.model),
                                              std::move(record.coil), std::move(record.coarse),
                                              std::move(record.fine), std::move(record.what));
        out->m_stage = Stage::Done;
        out->m_samples = std::move(record.samples);
        out->m_coarseResonance = record.coarseResonance;
        out->m_scale = record.scale;
        out->m_uncertainty = record.uncertainty;
        out->m_converged = record.converged;
        out->m_designCurrents = std::move(record.designCurrents);
        return out;
    }
    double scale() const { return m_scale; }
    const AntennaModel& model() const { return m_model; }
    const Segmentation& coarse() const { return m_coarse; }
    const Segmentation& fine() const { return m_fine; }
    const CoilImpedance& coil() const { return m_coil; }
    const Samples& samples() const { return m_samples; }
    std::optional<Resonance> coarseResonance() const { return m_coarseResonance; }

private:
    enum class Stage { Sweep, Fine, Design, Done };

    Request request(const AntennaModel& model, const Segmentation& seg,
                    const std::vector<double>& mhz) const {
        return Request{
            model, seg, at(m_coil, mhz), describe(m_what, model, m_context.input.designMHz), {}};
    }
    Request request(const Segmentation& seg, const std::vector<double>& mhz) const {
        return Request{m_model,
                       seg,
                       at(m_coil, mhz),
                       describe(m_what, m_model, m_context.input.designMHz),
                       {}};
    }

    // The same wire, cut the same way at both levels, with the same coil at F: what the decks
    // of the two analyses say, written out.
    bool sameAntenna(const Analysis& other) const {
        const std::vector<double> f{m_context.input.designMHz};
        for (const auto level : {&Analysis::m_coarse, &Analysis::m_fine}) {
            if (writeDeck(m_model, this->*level, at(m_coil, f), {}) !=
                writeDeck(other.m_model, other.*level, at(other.m_coil, f), {})) {
                return false;
            }
        }
        return true;
    }

    // Coils closer to the feed than a fraction of a segment sit on the feed segment; their
    // offset is put back by interpolating, at the working level, between the feed and the
    // coils one segment out, where the resonance moves in proportion to B.
    std::optional<Locator> positionLocator() const {
        if (!m_coarse.coilsAtFeed || m_model.coilDistance <= 0.0) {
            return std::nullopt;
        }
        Locator l;
        l.model = m_model;
        l.model.coilDistance = m_coarse.longestSegment;
        auto seg = segmentAntenna(l.model, m_context.highestMHz);
        if (!std::holds_alternative<Segmentation>(seg) || std::get<Segmentation>(seg).coilsAtFeed) {
            return std::nullopt;
        }
        l.segmentation = std::get<Segmentation>(seg);
        return l;
    }

    // The two levels' resonance extrapolated to fine segments with the order 0.75.
    double twoLevelLimit() const {
        const double r1 = m_coarseResonance->frequencyMHz;
        const double r2 = *m_fineLocator.resonanceMHz;
        return r2 + (r2 - r1) / (portable::pow(2.0, kConvergenceOrder) - 1.0);
    }

    // That limit against the working level.
    double twoLevelScale() const { return twoLevelLimit() / m_coarseResonance->frequencyMHz; }

    // The spread of that extrapolation for orders from 0.6 to 0.9.
    double twoLevelSpread() const {
        const double r1 = m_coarseResonance->frequencyMHz;
        const double r2 = *m_fineLocator.resonanceMHz;
        return kOrderSpread * std::abs(r2 - r1) / twoLevelLimit();
    }

    bool wantsThirdLevel() const {
        return m_coarseResonance && m_fineLocator.resonanceMHz &&
               twoLevelSpread() > kThirdLevelAbove;
    }

    // Once both levels have their resonance, and only when their spread is large.
    void askThirdLevel() {
        if (m_third.asked || !wantsThirdLevel()) {
            return;
        }
        m_third.asked = true;
        // Counted as equal segments of the coil's step: a graded inner wire makes the finer
        // levels cheap, but which rule settles the limit stays the one the convergence tests
        // hold against the even deck (near the tips a third level's order can read faster
        // than the levels beyond it converge).
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
            m_third.locator = l;
        }
    }

    // The limit and its uncertainty from the three levels, by the order they show.
    void settleThreeLevels(double r1, double r2, double r3) {
        const double d1 = r2 - r1;
        const double d2 = r3 - r2;
        if (d1 * d2 <= 0.0 || std::abs(d2) >= std::abs(d1)) {
            // Not converging yet: nothing to extrapolate; the levels' whole spread is what is
            // known.
            const double limit = r3;
            m_scale = limit / r1;
            m_uncertainty = std::max(std::abs(r1 - r3), std::abs(r2 - r3)) / limit;
            return;
        }
        const double order = portable::log2(d1 / d2);
        const auto rest = [d2](double p) {
            return d2 / (portable::pow(2.0, std::max(p, 0.1)) - 1.0);
        };
        if (order < kSlowestExtrapolated) {
            // Too slow to trust the extrapolation: the limit lies between the finest level and
            // where the order points.
            const double limit = r3 + rest(order) / 2.0;
            m_scale = limit / r1;
            m_uncertainty = std::abs(rest(order)) / 2.0 / limit;
            return;
        }
        if (order < kConvergenceOrder) {
            // Slower than NEC-2 usually converges, the levels are short of their asymptotic
            // range and the next ones converge faster (a short wire beyond the coils): the
            // finest level's side widens from the extrapolation at the faster order towards the
            // finest level itself, which it reaches at kSlowestExtrapolated, so that the range
            // joins both neighbouring rules.
            const double share =
                (order - kSlowestExtrapolated) / (kConvergenceOrder - kSlowestExtrapolated);
            const double slow = rest(order - kObservedOrderSpread * share);
            const double fast = share * rest(order + kObservedOrderSpread);
            const double limit = r3 + (slow + fast) / 2.0;
            m_scale = limit / r1;
            m_uncertainty = std::abs(slow - fast) / 2.0 / limit;
            return;
        }
        const double limit = r3 + rest(order);
        m_scale = limit / r1;
        m_uncertainty = std::max(std::abs(rest(order - kObservedOrderSpread) -
                                          rest(order + kObservedOrderSpread)) /
                                     2.0,
                                 kOrderSpread * std::abs(d2)) /
                        limit;
    }

    void settleScale() {
        if (!m_coarseResonance || !m_fineLocator.resonanceMHz) {
            m_converged = m_converged && !m_fineLocator.failed;
            return;
        }
        const double r1 = m_coarseResonance->frequencyMHz;
        const double r2 = *m_fineLocator.resonanceMHz;
        const double limit = twoLevelLimit();
        m_scale = limit / r1;
        m_uncertainty = twoLevelSpread();
        if (m_third.locator && m_third.locator->resonanceMHz) {
            settleThreeLevels(r1, r2, *m_third.locator->resonanceMHz);
        } else if (m_third.asked) {
            // No finer level within the rules or the time, or it found no resonance: the order
            // is not known, and the whole difference of the two levels is the uncertainty.
            m_uncertainty = std::abs(r2 - r1) / limit;
        }
        if (m_positionLocator && m_positionLocator->resonanceMHz) {
            const double share = m_model.coilDistance / m_positionLocator->model.coilDistance;
            const double moved = share * (*m_positionLocator->resonanceMHz / r1 - 1.0);
            m_scale *= 1.0 + moved;
            // The resonance bends a little away from the straight line between the two.
            m_uncertainty += kPositionSpread * std::abs(moved);
        }
        m_converged = m_converged && !m_fineLocator.failed &&
                      !(m_positionLocator && m_positionLocator->failed);
    }

    const Context& m_context;
    AntennaModel m_model;
    CoilImpedance m_coil;
    Segmentation m_coarse;
    Segmentation m_fine;
    std::string m_what;
    Stage m_stage = Stage::Sweep;
    Samples m_samples;
    Locator m_fineLocator;
    std::optional<Locator> m_positionLocator;
    ThirdLevel m_third;
    Samples m_thirdSamples;          // reused from another analysis of the same antenna
    std::vector<Locator*> m_waiting; // the locators whose decks are out, in order
    int m_rounds = 0;
    bool m_converged = true;
    // The engine's segment currents at F (the design stage), for the power figures.
    std::optional<std::vector<std::complex<double>>> m_designCurrents;
    std::optional<Resonance> m_coarseResonance;
    double m_scale = 1.0;
    double m_uncertainty = 0.0;
};

// The frequency the working level must resonate at for the corrected antenna to resonate at F.
double workingTarget(const Analysis& analysis, double designMHz);

// An analysis of the antenna at `length`, segmented afresh or with the given counts.
std::variant<std::unique_ptr<Analysis>, AntennaCheckFailure>
newAnalysis(const Context& context, double length, CoilImpedance coil, const std::string& what,
            std::optional<SegmentCounts> counts = std::nullopt);

// The SWR pictures of the analysed antennas, over one range of frequencies.
std::optional<AntennaCheckFailure> sweepCurves(const Context& context,
                                               const std::vector<Analysis*>& analyses,
                                               std::vector<AntennaResult*> results);

// Over ground: the far field at F of each analysed antenna.
std::optional<AntennaCheckFailure> skyShares(const Context& context,
                                             const std::vector<Analysis*>& analyses,
                                             const std::vector<AntennaResult*>& results);

} // namespace brevan::check
