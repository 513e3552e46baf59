// SPDX-License-Identifier: GPL-3.0-or-later
#include "fullwave/coil_position_study.h"

#include "coil/physics.h"
#include "fullwave/antenna_analysis.h"
#include "fullwave/needed_coil.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace brevan::check {

namespace {

constexpr int kFirstPositions = 9; // the feed to kStudyReach, evenly
constexpr int kMostPositions = 21;
constexpr int kRefinements = 2;
// Neighbours that differ by more than these get a position between them.
constexpr double kEfficiencyStep = 0.03; // absolute, 0..1
constexpr double kBandRatio = 1.25;
constexpr double kInductanceRatio = 1.5;
constexpr double kNarrowestGap = 0.02; // of the half length: positions no closer than this
// A second guess within this of the first would only repeat it.
constexpr double kSameGuess = 0.01;

SwrBand scaledBand(const Band& band, double scale) {
    SwrBand out;
    if (band.lowerMHz) {
        out.lowerMHz = *band.lowerMHz * scale;
    }
    if (band.upperMHz) {
        out.upperMHz = *band.upperMHz * scale;
    }
    return out;
}

// One position worked through: the antenna with a first-guess coil analysed, the coil that puts
// it on F found and its antenna analysed, then that antenna's band with an ideal match. Where the
// first guess leaves the antenna no resonance to start from, a second guess, when there is one,
// is analysed in its place.
class PositionTask : public Task {
public:
    PositionTask(const AntennaCheckInput& input, const Engine& engine, const Progress& progress,
                 double coilDistance, CoilImpedance start, CoilImpedance retry)
        : m_input(withDistance(input, coilDistance)),
          m_context{m_input,
                    engine,
                    progress,
                    input.designMHz * (1.0 + kResonanceWindow),
                    sweepPlan(input.ground.kind),
                    {}},
          m_start(std::move(start)), m_retry(std::move(retry)) {
        m_point.coilDistance = coilDistance;
    }

    // Builds the first analysis; a design the NEC rules refuse fails the whole study.
    std::optional<AntennaCheckFailure> begin() {
        auto analysis = newAnalysis(m_context, m_input.length, m_start, "coil-position study");
        if (auto* failure = std::get_if<AntennaCheckFailure>(&analysis)) {
            return *failure;
        }
        m_first = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
        return std::nullopt;
    }

    std::vector<Request> requests() override {
        while (!m_failure && m_stage != Stage::Done) {
            if (auto next = stageRequests(); !next.empty()) {
                return next;
            }
            advance();
        }
        return {};
    }

    void take(const std::vector<EngineRun>& runs) override {
        switch (m_stage) {
        case Stage::First: m_first->take(runs); break;
        case Stage::Coil: m_coil->take(runs); break;
        case Stage::Found: m_found->take(runs); break;
        case Stage::Band: m_found->addCurve(runs.front().points); break;
        case Stage::Done: break;
        }
    }

    const StudyPoint& point() const { return m_point; }
    const std::optional<AntennaCheckFailure>& failure() const { return m_failure; }

private:
    enum class Stage { First, Coil, Found, Band, Done };

    static AntennaCheckInput withDistance(AntennaCheckInput input, double coilDistance) {
        input.coilDistance = coilDistance;
        return input;
    }

    std::vector<Request> stageRequests() {
        switch (m_stage) {
        case Stage::First: return m_first->requests();
        case Stage::Coil: return m_coil->requests();
        case Stage::Found: return m_found->requests();
        case Stage::Band: {
            const std::vector<double> next = bandNeeds();
            if (next.empty() || ++m_bandRounds > kMostRounds) {
                return {};
            }
            return {m_found->samplesRequest(next)};
        }
        case Stage::Done: return {};
        }
        return {};
    }

    void advance() {
        if (m_stage == Stage::First) {
            if (!m_first->coarseResonance() && m_retry) {
                startAgain();
                return;
            }
            if (!m_first->coarseResonance()) {
                m_point.outcome = StudyOutcome::NoResonance;
                m_stage = Stage::Done;
                return;
            }
            m_coil = std::make_unique<NeededCoilTask>(m_context, *m_first, m_input.length);
            m_stage = Stage::Coil;
        } else if (m_stage == Stage::Coil) {
            m_failure = m_coil->failure();
            m_stage = Stage::Done;
            switch (m_coil->outcome()) {
            case CoilOutcome::Found: analyseFound(); break;
            case CoilOutcome::NoCoilReaches: m_point.outcome = StudyOutcome::NoCoilReaches; break;
            default: m_point.outcome = StudyOutcome::NotConverged; break;
            }
        } else if (m_stage == Stage::Found) {
            m_stage = Stage::Band;
        } else if (m_stage == Stage::Band) {
            settle();
        }
    }

    // The second guess in place of the first, once.
    void startAgain() {
        auto analysis = newAnalysis(m_context, m_input.length, std::exchange(m_retry, {}),
                                    "coil-position study, second guess");
        if (auto* failure = std::get_if<AntennaCheckFailure>(&analysis)) {
            m_failure = *failure;
            return;
        }
        m_first = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
    }

    // The antenna with the coil found, analysed whole for its figures.
    void analyseFound() {
        auto analysis =
            newAnalysis(m_context, m_input.length, m_coil->coil(), "coil-position study, on F");
        if (auto* failure = std::get_if<AntennaCheckFailure>(&analysis)) {
            m_failure = *failure;
            return;
        }
        m_found = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
        // The search has already located this very antenna's resonance at the finer levels:
        // near the tips a third level too, twice over when the search ran again, which made
        // the study twice as long as the check's own two levels did.
        if (const Analysis* corrected = m_coil->corrected()) {
            m_found->reuseLevels(*corrected);
        }
        m_stage = Stage::Found;
    }

    // The resonance and its resistance at the working level, if the antenna shows one.
    std::optional<std::pair<Resonance, double>> resonance() const {
        const Analysis& a = *m_found;
        const auto r = nearestResonance(a.samples(), m_input.designMHz / a.scale());
        if (!r) {
            return std::nullopt;
        }
        return std::pair{*r, impedanceAt(a.samples(), r->frequencyMHz).real()};
    }

    // The frequencies the band with an ideal match still needs, at the working level.
    std::vector<double> bandNeeds() const {
        const auto r = resonance();
        if (!r || r->second <= 0.0) {
            return {};
        }
        const double f = m_input.designMHz;
        return refinement(m_found->samples(), r->first.frequencyMHz, r->second, kPoleWidth * f,
                          kFineWidth * f);
    }

    void settle() {
        m_stage = Stage::Done;
        const Analysis& a = *m_found;
        const AntennaResult result = a.result();
        const double hz = m_input.designMHz * 1e6;
        const std::complex<double> coil = a.coil()(hz);
        m_point.outcome = StudyOutcome::Found;
        m_point.inductance = m_coil->inductance();
        m_point.turns = m_coil->turns();
        m_point.coilResistance = coil.real();
        m_point.coilQ = coil.real() > 0.0 ? coil.imag() / coil.real() : 0.0;
        m_point.resonanceMHz = result.resonanceMHz;
        m_point.resonanceResistance = result.resonanceResistance;
        m_point.efficiency = result.designEfficiency;
        m_point.band = result.band;
        if (const auto r = resonance(); r && r->second > 0.0) {
            m_point.matchedBand =
                scaledBand(bandAround(a.samples(), r->first, r->second), a.scale());
        }
    }

    AntennaCheckInput m_input;
    Context m_context;
    CoilImpedance m_start;
    CoilImpedance m_retry; // empty once used, or when there is none
    Stage m_stage = Stage::First;
    std::unique_ptr<Analysis> m_first;
    std::unique_ptr<NeededCoilTask> m_coil;
    std::unique_ptr<Analysis> m_found;
    int m_bandRounds = 0;
    StudyPoint m_point;
    std::optional<AntennaCheckFailure> m_failure;
};

std::variant<std::vector<StudyPoint>, AntennaCheckFailure>
studyAt(const AntennaCheckInput& input, const InductanceGuess& guess, const Engine& engine,
        const Progress& progress, const std::vector<double>& positions) {
    const CoilImpedance shape = scalableShape(input);
    const double users = guess(input.coilDistance);
    std::vector<std::unique_ptr<PositionTask>> tasks;
    std::vector<Task*> running;
    for (const double b : positions) {
        // At the design's own B the first coil is the one built, as in the check itself.
        const double wanted = guess(b);
        const double factor =
            b == input.coilDistance || !(wanted > 0.0) || !(users > 0.0) ? 1.0 : wanted / users;
        CoilImpedance start = [shape, factor](double f) { return factor * shape(f); };
        // A built coil far from step 1's leaves no resonance near F at any position when scaled
        // as it is; step 1's own inductance for the position is the second guess.
        CoilImpedance retry;
        const double hz = input.designMHz * 1e6;
        const double first = apparentInductance(start(hz), input.designMHz);
        if (wanted > 0.0 && std::abs(first / wanted - 1.0) > kSameGuess) {
            retry = scaledTo(shape, hz, wanted);
        }
        tasks.push_back(std::make_unique<PositionTask>(input, engine, progress, b, std::move(start),
                                                       std::move(retry)));
        if (auto failure = tasks.back()->begin()) {
            return *failure;
        }
        running.push_back(tasks.back().get());
    }
    if (auto failure = runTogether(engine, running)) {
        return *failure;
    }
    std::vector<StudyPoint> points;
    for (const auto& task : tasks) {
        if (task->failure()) {
            return *task->failure();
        }
        points.push_back(task->point());
    }
    return points;
}

} // namespace

std::optional<double> bandWidth(const SwrBand& band) {
    if (band.lowerMHz && band.upperMHz) {
        return *band.upperMHz - *band.lowerMHz;
    }
    return std::nullopt;
}

std::vector<double> studyPositions(double length, double users) {
    std::vector<double> positions;
    const double reach = kStudyReach * length / 2.0;
    for (int i = 0; i < kFirstPositions; ++i) {
        positions.push_back(reach * i / (kFirstPositions - 1));
    }
    // The design's own B takes the place of a position it nearly coincides with.
    const auto nearest =
        std::min_element(positions.begin(), positions.end(), [users](double a, double b) {
            return std::abs(a - users) < std::abs(b - users);
        });
    if (std::abs(*nearest - users) < kNarrowestGap * length / 2.0) {
        *nearest = users;
    } else {
        positions.push_back(users);
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

std::vector<double> positionsBetween(const std::vector<StudyPoint>& points, double length) {
    std::vector<double> between;
    const double narrowest = kNarrowestGap * length / 2.0;
    const auto ratio = [](double a, double b) {
        return a > 0.0 && b > 0.0 ? std::max(a, b) / std::min(a, b) : 1.0;
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        const StudyPoint& a = points[i - 1];
        const StudyPoint& b = points[i];
        if (b.coilDistance - a.coilDistance < 2.0 * narrowest) {
            continue;
        }
        const bool bothFound = a.outcome == StudyOutcome::Found && b.outcome == StudyOutcome::Found;
        const bool steep = !bothFound || std::abs(a.efficiency - b.efficiency) > kEfficiencyStep ||
                           ratio(a.inductance, b.inductance) > kInductanceRatio ||
                           ratio(bandWidth(a.matchedBand).value_or(0.0),
                                 bandWidth(b.matchedBand).value_or(0.0)) > kBandRatio;
        // Where neither side found a coil, a position between will not find one either.
        const bool neither = a.outcome != StudyOutcome::Found && b.outcome != StudyOutcome::Found;
        if (steep && !neither) {
            between.push_back((a.coilDistance + b.coilDistance) / 2.0);
        }
    }
    return between;
}

void nameBest(CoilPositionStudy& study) {
    const auto& points = study.points;
    study.mostEfficient.reset();
    study.widestBand.reset();
    const auto widest = [&](bool fifty) {
        std::optional<std::size_t> best;
        double width = 0.0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (points[i].outcome != StudyOutcome::Found) {
                continue;
            }
            const auto w = bandWidth(fifty ? points[i].band : points[i].matchedBand);
            if (w && *w > width) {
                width = *w;
                best = i;
            }
        }
        return best;
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].outcome == StudyOutcome::Found &&
            (!study.mostEfficient ||
             points[i].efficiency > points[*study.mostEfficient].efficiency)) {
            study.mostEfficient = i;
        }
    }
    study.widestBand = widest(true);
    study.widestOnFifty = study.widestBand.has_value();
    if (!study.widestBand) {
        study.widestBand = widest(false);
    }
}

std::variant<CoilPositionStudy, AntennaCheckFailure>
studyCoilPosition(const AntennaCheckInput& input, const InductanceGuess& guess,
                  const Engine& engine, const Progress& progress) {
    CoilPositionStudy study;
    std::vector<double> positions = studyPositions(input.length, input.coilDistance);
    for (int pass = 0; pass <= kRefinements && !positions.empty(); ++pass) {
        if (progress) {
            progress("studying the coil position at " + std::to_string(positions.size()) +
                     " positions");
        }
        auto points = studyAt(input, guess, engine, progress, positions);
        if (auto* failure = std::get_if<AntennaCheckFailure>(&points)) {
            return *failure;
        }
        for (StudyPoint& point : std::get<std::vector<StudyPoint>>(points)) {
            study.points.push_back(std::move(point));
        }
        std::sort(study.points.begin(), study.points.end(),
                  [](const StudyPoint& a, const StudyPoint& b) {
                      return a.coilDistance < b.coilDistance;
                  });
        positions = positionsBetween(study.points, input.length);
        const std::size_t room =
            kMostPositions - std::min<std::size_t>(kMostPositions, study.points.size());
        positions.resize(std::min(positions.size(), room));
    }
    for (std::size_t i = 0; i < study.points.size(); ++i) {
        if (study.points[i].coilDistance == input.coilDistance) {
            study.users = i;
        }
    }
    nameBest(study);
    return study;
}

} // namespace brevan::check
