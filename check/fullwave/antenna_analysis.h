// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One antenna analysed the way the check analyses every antenna: swept over the whole window on
// the working segmentation and refined until no resonance or band edge can hide; its resonance
// located again on the finer segmentation; and the two extrapolated to NEC-2's limit (the maths
// in extrapolation.h; here, which frequencies the engine is asked for, and when). The
// correction scales the whole curve, so every figure of the antenna is the corrected one.

#include "fullwave/engine_rounds.h"
#include "fullwave/extrapolation.h"
#include "nec/radiation_pattern.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevan::check {

constexpr double kPoleWidth = 0.0005; // of F: a pole's interval is split down to this
constexpr double kFineWidth = 0.0025; // of F: resonance and band edges sampled this closely
constexpr int kMostRounds = 10;
// Share of the interpolated shift for coils beside the feed taken as its uncertainty.
constexpr double kPositionSpread = 0.2;
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
    // Its resonance's place foretold closely (the third level, from the two others): the search
    // begins with a fine width around it rather than across 2.5 %.
    bool foretold = false;
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

    std::vector<Request> requests() override;
    void take(const std::vector<EngineRun>& runs) override;

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

    // Where the third level's resonance lies if the levels converge at the order assumed.
    double thirdLevelGuess() const;
    bool wantsThirdLevel() const;
    // Once both levels have their resonance, and only when their spread is large.
    void askThirdLevel();
    // The limit and its uncertainty from the levels that found a resonance.
    void settleScale();

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
