// SPDX-License-Identifier: GPL-3.0-or-later
// The full-wave check, stage by stage: each stage a round (or rounds) of the engine over the
// analyses it needs (antenna_analysis.h), the searches (trim_search.h), the tolerances
// (tolerance.h); checkAntenna (antenna_check.h) runs them in order.
#include "fullwave/antenna_check.h"

#include "cut_list.h"
#include "fullwave/antenna_analysis.h"
#include "fullwave/full_size_dipole.h"
#include "fullwave/helix_analysis.h"
#include "fullwave/needed_coil.h"
#include "fullwave/tolerance.h"
#include "fullwave/trim_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace brevan::check {

namespace {

// Above this SWR at resonance a builder needs more than a trim: the report designs a match.
constexpr int kMostRetrims = 4; // trimmed antennas analysed after the first
// A trimmed antenna this close to F (relative) needs no neighbour to compare it with.
constexpr double kCloseEnough = 0.0005;

void tell(const Context& context, const std::string& line) {
    if (context.progress) {
        context.progress(line);
    }
}

template <typename T> const AntennaCheckFailure* failureIn(const T& value) {
    return std::get_if<AntennaCheckFailure>(&value);
}

// A coil that acts as a capacitor at F, or self-resonates just above it, must change: no trim
// helps. A coil of no impedance at all is the plain wire, which trims like any other.
bool coilMustChange(const AntennaCheckInput& input) {
    const double hz = input.designMHz * 1e6;
    const std::complex<double> coil = input.built(hz);
    return (coil.imag() <= 0.0 && coil != std::complex<double>{}) ||
           coilUnfitAt(input.coilSelfResonance, hz);
}

// The check's input with bare wire in place of the insulated.
AntennaCheckInput bareWire(const AntennaCheckInput& input) {
    AntennaCheckInput bare = input;
    bare.insulation = {};
    return bare;
}

// The difference of the two trims, both as the engine search found them (before the rounding
// to centimetres), when both reach F.
void compareTrims(InsulationEffect& effect, const Trim& insulated,
                  const std::optional<TrimSearch>& insulatedSearch,
                  const std::optional<TrimSearch>& bareSearch) {
    effect.bareTrim = bareSearch ? searchOutcome(*bareSearch) : effect.bareTrim;
    if (insulated.outcome != TrimOutcome::Reached || !insulatedSearch ||
        effect.bareTrim != TrimOutcome::Reached) {
        return;
    }
    const double perTip = bareSearch->task->search().root - insulatedSearch->task->search().root;
    effect.shorterPerTip = perTip;
    effect.shorterTipToTip = 2.0 * perTip;
}

// A coil that ends less than a joint from its tip, or past it, leaves a stub that the coil
// and its own capacitance nearly resonate with: NEC-2's answer there swings by percents with
// the segments, and no builder can make the joint anyway.
std::optional<AntennaCheckFailure> tooCloseToTheTips(const AntennaCheckInput& input) {
    const double half = input.length / 2.0;
    const double beyond = half - coilEnd(input.coilDistance, input.windingLength);
    if (beyond >= kJointAllowance) {
        return std::nullopt;
    }
    const std::string where = beyond >= 0.0 ? "ends " + fixed(beyond * 100.0, 1) + " cm from"
                                            : "reaches " + fixed(-beyond * 100.0, 1) + " cm past";
    const double furthest = half - input.windingLength / 2.0 - kJointAllowance;
    const std::string change = furthest > 0.0
                                   ? "move the coils in to B = " + fixed(furthest, 3) + " m or less"
                                   : "make the antenna longer";
    const std::string reason = "the coils are too close to the tips: each " + where +
                               " its tip (the winding is " + fixed(input.windingLength * 100.0, 1) +
                               " cm long), less than the " + fixed(kJointAllowance * 100.0, 0) +
                               " cm a joint takes";
    return modelFailure(ModelRefusal{reason +
                                     ", and NEC-2 cannot resolve a coil's place this "
                                     "close to the tip; " +
                                     change + ", or wind the coils shorter"},
                        "as designed");
}

using Failure = std::optional<AntennaCheckFailure>;

// Analysis or failure: the analysis moved into `into`, or the failure.
Failure take(std::variant<std::unique_ptr<Analysis>, AntennaCheckFailure> analysis,
             std::unique_ptr<Analysis>& into) {
    if (const auto* failure = failureIn(analysis)) {
        return *failure;
    }
    into = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
    return std::nullopt;
}

// The deck of the built antenna for other NEC-2 programs, named for what it models.
std::string builtDeck(const AntennaCheckInput& input, const Analysis& built) {
    const double f = input.designMHz;
    const double span = 0.05 * f;
    return writeExportDeck(
        built.model(), built.coarse(), input.built(f * 1e6), f, f - span, span / 10.0, 21,
        "Brevan check: the shortened dipole as built, " + fixed(input.length, 3) +
            " m tip to tip, coils at +-" + fixed(input.coilDistance, 3) +
            " m as parallel R, L, C equal to each coil at " + fixed(f, 4) + " MHz");
}

// One check, stage by stage, each a round (or rounds) of the engine: the antennas as designed
// and as built; the trim and the coil that would need none; the trimmed antenna and the whole
// turns nearest that coil; the trim sought again on the trimmed antenna's own segments; the
// tolerances; the pictures and the far field.
class CheckRun {
public:
    CheckRun(const AntennaCheckInput& input, const Engine& engine, const Progress& progress)
        : m_input(input),
          m_bareInput(bareWire(input)), m_context{input,
                                                  engine,
                                                  progress,
                                                  input.designMHz * (1.0 + kResonanceWindow),
                                                  sweepPlan(input.ground.kind),
                                                  {}},
          m_bareContext{m_bareInput, engine, progress, m_context.highestMHz, m_context.plan, {}} {}

    std::variant<AntennaCheck, AntennaCheckFailure> run() {
        if (auto failure = tooCloseToTheTips(m_input)) {
            return *failure;
        }
        for (Failure (CheckRun::*stage)() :
             {&CheckRun::analyseAsDesignedAndBuilt, &CheckRun::searchTrimAndCoil,
              &CheckRun::analyseTrimmedAndTurns, &CheckRun::retrimOnItsOwnSegments}) {
            if (auto failure = (this->*stage)()) {
                return *failure;
            }
        }
        settleOutcomes();
        for (Failure (CheckRun::*stage)() :
             {&CheckRun::modelCoilsAsHelices, &CheckRun::workOutTolerances,
              &CheckRun::sweepPicturesAndSky}) {
            if (auto failure = (this->*stage)()) {
                return *failure;
            }
        }
        m_check.builtAnalysis = std::make_shared<const AnalysisRecord>(m_built->record());
        return m_check;
    }

private:
    double designMHz() const { return m_input.designMHz; }

    // The antenna as designed and as built, and beside them in the same engine rounds the same
    // antenna of bare wire (insulated wire), with Medhurst's capacitance, and a full-size dipole.
    Failure analyseAsDesignedAndBuilt() {
        const AntennaCheckInput& input = m_input;
        if (isInsulated(input.insulation)) {
            m_check.insulation = InsulationEffect{};
            m_check.insulation->inductancePerMetre =
                sleeveInductance(input.insulation, input.wireDiameter);
        }
        tell(m_context, "analysing the antenna as designed and as built");
        if (auto failure = take(newAnalysis(m_context, input.length, input.designed, "as designed"),
                                m_designed)) {
            return failure;
        }
        if (auto failure =
                take(newAnalysis(m_context, input.length, input.built, "as built"), m_built)) {
            return failure;
        }
        if (m_check.insulation) {
            if (auto failure = take(
                    newAnalysis(m_bareContext, input.length, input.built, "bare wire as built"),
                    m_bare)) {
                return failure;
            }
        }
        if (input.medhurst) {
            if (auto failure = take(newAnalysis(m_context, input.length, input.medhurst,
                                                "as built, Medhurst's capacitance"),
                                    m_medhurst)) {
                return failure;
            }
        }
        FullSizeTask fullSize(m_context);
        std::vector<Task*> first{m_designed.get(), m_built.get(), &fullSize};
        for (Analysis* extra : {m_bare.get(), m_medhurst.get()}) {
            if (extra) {
                first.push_back(extra);
            }
        }
        if (auto failure = runTogether(m_context.engine, first)) {
            return failure;
        }
        m_check.designed = m_designed->result();
        m_check.built = m_built->result();
        m_check.coilModelSpread = m_context.input.coilModelSpread;
        m_check.built.resonanceUncertainty += m_check.coilModelSpread;
        m_check.fullSizeEfficiency = fullSize.efficiencyAtDesign();
        if (m_medhurst) {
            m_check.medhurst = m_medhurst->result();
        }
        m_check.segments = m_built->coarse().totalSegments;
        m_check.fineSegments = m_built->fine().totalSegments;
        m_check.builtDeck = builtDeck(input, *m_built);
        if (input.helixCoil) {
            const auto helix = helixAntenna(input.length);
            if (!helix) {
                m_check.helixMiss = HelixMiss::DoesNotFit;
            } else if (!m_check.built.resonanceMHz) {
                m_check.helixMiss = HelixMiss::NoResonance;
            } else {
                // Begun in the middle of where the helices compared resonated against the
                // lumped coils: above them by up to the long coils' spread.
                const double start =
                    *m_check.built.resonanceMHz * (1.0 + input.coilModelSpread / 2.0);
                m_helixBuilt = std::make_unique<HelixResonanceTask>(*helix, start, lowestMHz(),
                                                                    m_context.highestMHz);
            }
        }
        return std::nullopt;
    }

    double lowestMHz() const { return designMHz() * (1.0 - kResonanceWindow); }

    // The antenna at `length` with its coils wound as NEC-2's helices, where the input has
    // them (AntennaCheckInput::helixCoil) and the helix fits.
    std::optional<HelixAntenna> helixAntenna(double length) const {
        const AntennaCheckInput& input = m_input;
        if (!input.helixCoil) {
            return std::nullopt;
        }
        const HelixAntenna antenna{length,           input.coilDistance, input.wireDiameter,
                                   *input.helixCoil, input.ground,       input.hang,
                                   input.insulation};
        return helixFits(antenna) ? std::optional<HelixAntenna>(antenna) : std::nullopt;
    }

    // The trim and the coil that would need none, searched together (and the bare wire's trim).
    Failure searchTrimAndCoil() {
        const double f = designMHz();
        tell(m_context, "finding the trim and the coil that would need none");
        if (coilMustChange(m_input)) {
            m_check.trim.outcome = TrimOutcome::CoilResonates;
            if (m_check.insulation) {
                m_check.insulation->bareTrim = TrimOutcome::CoilResonates;
            }
            return std::nullopt;
        }
        if (!m_built->coarseResonance()) {
            m_check.trim.outcome = TrimOutcome::NoResonance;
            return seekCoilFromStepOne();
        }
        const double target = workingTarget(*m_built, f);
        const double x0 = impedanceAt(m_built->samples(), target).imag();
        m_trim = trimSearch(m_context, *m_built, 0.0, x0, target);
        m_coil = std::make_unique<NeededCoilTask>(m_context, *m_built, m_input.length);
        // The built antenna's helices beside them: their chain of rounds fills the cores.
        std::vector<Task*> tasks{m_trim->task.get(), m_coil.get()};
        if (m_helixBuilt) {
            tasks.push_back(m_helixBuilt.get());
        }
        if (m_bare && m_bare->coarseResonance()) {
            const double bareTarget = workingTarget(*m_bare, f);
            const double bareX0 = impedanceAt(m_bare->samples(), bareTarget).imag();
            m_bareTrim = trimSearch(m_bareContext, *m_bare, 0.0, bareX0, bareTarget);
            if (m_bareTrim) {
                tasks.push_back(m_bareTrim->task.get());
            }
        }
        if (auto failure = runTogether(m_context.engine, tasks)) {
            return failure;
        }
        for (const SearchTask* search :
             {m_trim->task.get(), m_bareTrim ? m_bareTrim->task.get() : nullptr}) {
            if (search && search->failure()) {
                return search->failure();
            }
        }
        return m_coil->failure();
    }

    // No trim moves a resonance the built antenna lacks, yet the coil that puts the designed
    // length on F can still be sought: from the built coil scaled to step 1's inductance, the
    // second guess the coil-position study takes too, so that both find the same coil.
    Failure seekCoilFromStepOne() {
        const double hz = designMHz() * 1e6;
        const double stepOne = apparentInductance(m_input.designed(hz), designMHz());
        if (!(stepOne > 0.0)) {
            return std::nullopt;
        }
        if (auto failure = take(newAnalysis(m_context, m_input.length,
                                            scaledTo(scalableShape(m_input), hz, stepOne),
                                            "with step 1's inductance"),
                                m_stepOne)) {
            return failure;
        }
        if (auto failure = runTogether(m_context.engine, {m_stepOne.get()})) {
            return failure;
        }
        if (!m_stepOne->coarseResonance()) {
            return std::nullopt;
        }
        m_coil = std::make_unique<NeededCoilTask>(m_context, *m_stepOne, m_input.length);
        if (auto failure = runTogether(m_context.engine, {m_coil.get()})) {
            return failure;
        }
        return m_coil->failure();
    }

    // Each tip changed by `tip`, and the antenna that gives, ready to analyse. Cut afresh for
    // its length: the built antenna's counts, stretched or squeezed over a longer or shorter
    // wire beyond the coils, leave segments of unequal length beside the coil, and NEC-2 then
    // converges to another limit (0.6 % off after a 1.3 m trim).
    Failure trimTo(double tip) {
        m_check.trim.tipChange = tip;
        // To the micrometre, so that a length like 15.54 m stays the number it reads as.
        m_check.trim.trimmedLength = std::round((m_input.length + 2.0 * tip) * 1e6) / 1e6;
        return take(newAnalysis(m_context, m_check.trim.trimmedLength, m_input.built,
                                "as built and trimmed", std::nullopt),
                    m_trimmed);
    }

    // The trimmed antenna, or where the trim stopped; and the whole turns nearest the needed
    // coil: analysed together.
    Failure analyseTrimmedAndTurns() {
        const AntennaCheckInput& input = m_input;
        const double f = designMHz();
        tell(m_context, "analysing the trimmed antenna");
        std::vector<Task*> last;
        if (m_trim) {
            const RootSearch& s = m_trim->task->search();
            if (s.state == SearchState::Converged) {
                m_check.trim.toMillimetres = millimetreTrim(m_check.built, s.root, f);
                const double step = trimStep(m_check.trim);
                if (auto failure = trimTo(std::round(s.root / step) * step)) {
                    return failure;
                }
                last.push_back(m_trimmed.get());
                // The helices at that length beside it, if it moved the tips enough to say how
                // the helix antenna trims (a retrim moves it a centimetre or so at most).
                if (std::abs(m_check.trim.trimmedLength - input.length) >= kHelixLeastMove) {
                    startSecondHelix(m_check.trim.trimmedLength, f);
                }
                if (m_helixSecond) {
                    last.push_back(m_helixSecond.get());
                }
            } else {
                m_check.trim.outcome = searchOutcome(*m_trim);
                // Out of range: the limit itself; out of tries: the probe that came closest.
                const auto closest = std::min_element(
                    s.probes.begin(), s.probes.end(), [](const auto& a, const auto& b) {
                        return std::abs(a.second) < std::abs(b.second);
                    });
                const double limit =
                    s.state == SearchState::OutOfRange ? m_trim->limit : closest->first;
                m_check.trim.limitLength = input.length + 2.0 * limit;
                // Where the antenna resonates at that limit, for the words that say why.
                auto limitOr = newAnalysis(m_context, m_check.trim.limitLength, input.built,
                                           "at the trim's limit");
                if (auto* analysis = std::get_if<std::unique_ptr<Analysis>>(&limitOr)) {
                    m_limit = std::move(*analysis);
                    last.push_back(m_limit.get());
                }
            }
        }
        if (m_coil) {
            NeededCoil& needed = m_check.neededCoil;
            needed.outcome = m_coil->outcome();
            if (needed.outcome == CoilOutcome::Found) {
                needed.apparentInductance = m_coil->inductance();
                needed.turns = m_coil->turns();
                if (needed.turns > 0) {
                    const CoilImpedance turnsCoil = input.coilOfTurns(needed.turns);
                    needed.turnsAtDesign = turnsCoil(f * 1e6);
                    needed.turnsApparentInductance = apparentInductance(needed.turnsAtDesign, f);
                    if (auto failure =
                            take(newAnalysis(m_context, input.length, turnsCoil,
                                             "with the needed turns", m_built->coarse().counts),
                                 m_turns)) {
                        return failure;
                    }
                    last.push_back(m_turns.get());
                }
            }
        }
        return runTogether(m_context.engine, last);
    }

    // The trimmed antenna is cut afresh for its length and its correction differs a little
    // from the built one's: when its resonance is off F, the trim is sought again on its own
    // segments. Each length is modelled the same way whichever way it is reached, so the
    // lengths tried are kept: two neighbouring steps that bracket F settle it (the nearer
    // one), and a wider bracket is split, so the search cannot swing between two lengths whose
    // segmentations each point at the other.
    Failure retrimOnItsOwnSegments() {
        if (!m_trimmed) {
            return std::nullopt;
        }
        const double f = designMHz();
        const double step = trimStep(m_check.trim);
        const auto steps = [step](double tip) { return static_cast<int>(std::lround(tip / step)); };
        std::map<int, std::unique_ptr<Analysis>> tries;
        int current = steps(m_check.trim.tipChange);
        tries.emplace(current, std::move(m_trimmed));
        const auto choice = [&] {
            std::vector<TrimTry> offs;
            for (const auto& [at, analysis] : tries) {
                if (const auto r = analysis->result().resonanceMHz) {
                    offs.push_back({at, *r - f});
                }
            }
            return chooseTrim(offs, kCloseEnough * f);
        };
        for (int round = 0; round < kMostRetrims && !choice().settled; ++round) {
            std::optional<int> next = choice().next;
            if (!next) {
                // Nothing bracketed yet: the search on the latest one's own segments.
                const Analysis& latest = *tries.at(current);
                if (!latest.coarseResonance()) {
                    break;
                }
                const double retarget = workingTarget(latest, f);
                const double x0 = impedanceAt(latest.samples(), retarget).imag();
                auto again = trimSearch(m_context, latest, current * step, x0, retarget);
                if (!again) {
                    break;
                }
                if (auto failure = runTogether(m_context.engine, {again->task.get()})) {
                    return failure;
                }
                if (again->task->failure()) {
                    return again->task->failure();
                }
                const RootSearch& s = again->task->search();
                if (s.state != SearchState::Converged || tries.count(steps(s.root)) > 0) {
                    break; // it points at a length already analysed: the nearest is taken
                }
                next = steps(s.root);
            }
            if (auto failure = trimTo(*next * step)) {
                return failure;
            }
            if (auto failure = runTogether(m_context.engine, {m_trimmed.get()})) {
                return failure;
            }
            current = *next;
            tries.emplace(current, std::move(m_trimmed));
        }
        // Settled, or else the length analysed whose resonance came nearest F.
        int best = current;
        if (const auto settled = choice().settled) {
            best = *settled;
        } else {
            double nearest = 1e300;
            for (const auto& [at, analysis] : tries) {
                const auto r = analysis->result().resonanceMHz;
                if (r && std::abs(*r - f) < nearest) {
                    nearest = std::abs(*r - f);
                    best = at;
                }
            }
        }
        m_trimmed = std::move(tries.at(best));
        m_check.trim.tipChange = best * step;
        m_check.trim.trimmedLength = m_trimmed->model().length;
        return std::nullopt;
    }

    // What the rounds found, as outcomes: a trimmed antenna far from F is no trim, the bare
    // wire's trim against the insulated one's, where the turns and the trim's limit resonate,
    // and the power the antenna that will hang radiates.
    void settleOutcomes() {
        const double f = designMHz();
        if (m_trimmed) {
            m_check.trimmed = m_trimmed->result();
            m_check.trimmed->resonanceUncertainty += m_check.coilModelSpread;
            if (!m_check.trimmed->resonanceMHz ||
                std::abs(*m_check.trimmed->resonanceMHz / f - 1.0) > 0.01) {
                // Its last try is the trimmed antenna itself.
                m_check.trim.outcome = TrimOutcome::NotConverged;
                m_check.trim.limitLength = m_check.trim.trimmedLength;
                m_check.trim.limitResonanceMHz = m_check.trimmed->resonanceMHz;
            }
        }
        if (m_check.insulation) {
            compareTrims(*m_check.insulation, m_check.trim, m_trim, m_bareTrim);
        }
        if (m_turns) {
            NeededCoil& needed = m_check.neededCoil;
            const AntennaResult turns = m_turns->result();
            needed.turnsResonanceMHz = turns.resonanceMHz;
            const auto& spreadOf = m_context.input.coilModelSpreadOfTurns;
            needed.turnsResonanceUncertainty =
                turns.resonanceUncertainty + (spreadOf ? spreadOf(needed.turns) : 0.0);
        }
        if (m_limit) {
            m_check.trim.limitResonanceMHz = m_limit->result().resonanceMHz;
        }
        const bool ofTrimmed = hangsTrimmed();
        m_check.radiated = radiatedPower(ofTrimmed ? *m_check.trimmed : m_check.built, ofTrimmed,
                                         m_check.fullSizeEfficiency);
    }

    // The antenna that will hang: trimmed when the trim reached F.
    bool hangsTrimmed() const { return m_trimmed && m_check.trim.outcome == TrimOutcome::Reached; }

    // The helix antenna at a second length: each level begun from the built helix's, level 4's
    // zero moved in proportion as the lumped coils' resonance moves to `lumpedMHz` there; where
    // the built one found none, begun at `lumpedMHz`.
    void startSecondHelix(double length, double lumpedMHz) {
        const std::optional<HelixAntenna> second = helixAntenna(length);
        if (!m_helixBuilt || !second) {
            return;
        }
        const double lumped = *m_check.built.resonanceMHz;
        const std::optional<HelixLevels> levels = m_helixBuilt->levels();
        const double start = levels ? levels->zero[0] * lumpedMHz / lumped : lumpedMHz;
        m_helixSecond = std::make_unique<HelixResonanceTask>(*second, start, lowestMHz(),
                                                             m_context.highestMHz, levels);
    }

    // The coils wound as NEC-2's helices: the built antenna's (begun beside the trim search)
    // and a second length's (beside the trimmed antenna, or else 20 cm shorter), for the trim
    // that puts the helix antenna on F.
    Failure modelCoilsAsHelices() {
        if (!m_helixBuilt) {
            return std::nullopt;
        }
        const AntennaCheckInput& input = m_input;
        if (!m_helixSecond) {
            startSecondHelix(input.length - 2.0 * kHelixLeastMove, *m_check.built.resonanceMHz);
        }
        tell(m_context, "modelling the coils wound as helices");
        std::vector<Task*> tasks{m_helixBuilt.get()};
        if (m_helixSecond) {
            tasks.push_back(m_helixSecond.get());
        }
        if (auto failure = runTogether(m_context.engine, tasks)) {
            return failure;
        }
        const std::optional<Extrapolated>& built = m_helixBuilt->resonance();
        if (!built) {
            m_check.helixMiss = HelixMiss::NotFound;
            return std::nullopt;
        }
        const double f = designMHz();
        HelixCheck helix;
        helix.turns = static_cast<int>(std::lround(input.helixCoil->turns));
        helix.builtMHz = built->limitMHz;
        helix.builtUncertainty = built->uncertainty;
        const std::optional<Extrapolated> other =
            m_helixSecond ? m_helixSecond->resonance() : std::optional<Extrapolated>();
        if (other) {
            const double at = m_helixSecond->antenna().length;
            const Extrapolated& r = *other;
            if (m_check.trimmed) {
                // Trimmed little, it lies between the two lengths, on their line.
                const double share =
                    (m_check.trim.trimmedLength - input.length) / (at - input.length);
                helix.trimmedMHz = helix.builtMHz + share * (r.limitMHz - helix.builtMHz);
                helix.trimmedUncertainty = std::max(helix.builtUncertainty, r.uncertainty);
            }
            if (const auto length =
                    lengthForResonance(input.length, helix.builtMHz, at, r.limitMHz, f)) {
                const double step = trimStep(m_check.trim);
                const double tip = std::round((*length - input.length) / 2.0 / step) * step;
                helix.tipChange = tip;
                helix.tipInTheWay =
                    input.length / 2.0 + tip - coilEnd(input.coilDistance, input.windingLength) <
                    kJointAllowance;
            }
        }
        m_check.helix = helix;
        takeSpreadFromHelix(helix);
        return std::nullopt;
    }

    // With the coils solved as helices, the long coils' share of the built and trimmed antennas'
    // uncertainty is what the helices show for this antenna rather than the bound from the
    // self-capacitance's rise (which came from other antennas, up to eight times wider than the
    // gap here with the coils near 40 m tips): how far the helix antenna resonates from the
    // lumped one, with the helix's own uncertainty, the wider of built and trimmed. The whole
    // turns that would keep the length are not solved as helices: their own bound is scaled as
    // the built coil's was, so that the same turns carry the same share.
    void takeSpreadFromHelix(const HelixCheck& helix) {
        // The trim can move the gap by percents (with the coils 85 % of the way out on 40 m,
        // 0.2 % above as built and 3.0 % below trimmed): a trimmed antenna whose helix gave no
        // figure keeps the bound, and so does the built one beside it.
        if (m_check.trimmed && !helix.trimmedMHz) {
            return;
        }
        const auto gap = [](const AntennaResult& lumped, double mhz, double uncertainty) {
            return lumped.resonanceMHz ? std::abs(mhz / *lumped.resonanceMHz - 1.0) + uncertainty
                                       : 0.0;
        };
        double spread = gap(m_check.built, helix.builtMHz, helix.builtUncertainty);
        if (m_check.trimmed) {
            spread = std::max(spread,
                              gap(*m_check.trimmed, *helix.trimmedMHz, helix.trimmedUncertainty));
        }
        for (AntennaResult* result :
             {&m_check.built, m_check.trimmed ? &*m_check.trimmed : nullptr}) {
            if (result) {
                result->resonanceUncertainty += spread - m_check.coilModelSpread;
            }
        }
        NeededCoil& needed = m_check.neededCoil;
        const auto& spreadOf = m_input.coilModelSpreadOfTurns;
        if (needed.turnsResonanceMHz && spreadOf && m_check.coilModelSpread > 0.0) {
            const double bound = spreadOf(needed.turns);
            needed.turnsResonanceUncertainty += bound * (spread / m_check.coilModelSpread - 1.0);
        }
        m_check.coilModelSpread = spread;
        m_check.spreadFromHelix = true;
    }

    // How exactly it must be built: of the antenna that will hang.
    Failure workOutTolerances() {
        const bool ofTrimmed = hangsTrimmed();
        const Analysis& base = ofTrimmed ? *m_trimmed : *m_built;
        if (!base.coarseResonance()) {
            return std::nullopt;
        }
        tell(m_context, "working out the building tolerances");
        ToleranceTask tolerances(m_context, base, m_input.changedCoil, ofTrimmed);
        if (auto failure = runTogether(m_context.engine, {&tolerances})) {
            return failure;
        }
        m_check.tolerances = tolerances.table();
        return std::nullopt;
    }

    // The SWR curves of the three antennas, the match a trimmed antenna needs, and over ground
    // the far field.
    Failure sweepPicturesAndSky() {
        const double f = designMHz();
        tell(m_context, "sweeping the SWR curves");
        std::vector<Analysis*> pictured{m_designed.get(), m_built.get()};
        std::vector<AntennaResult*> results{&m_check.designed, &m_check.built};
        if (m_trimmed) {
            pictured.push_back(m_trimmed.get());
            results.push_back(&*m_check.trimmed);
        }
        if (auto failure = sweepCurves(m_context, pictured, results)) {
            return failure;
        }
        if (m_check.trimmed && m_check.trimmed->resonanceMHz &&
            swr(m_check.trimmed->resonanceResistance) > kMatchAbove) {
            m_check.matching = matchingFor(m_check.trimmed->curve, f);
        }
        if (m_input.ground.kind != GroundKind::FreeSpace) {
            tell(m_context, "working out the far field over the ground");
            return skyShares(m_context, pictured, results);
        }
        return std::nullopt;
    }

    const AntennaCheckInput& m_input;
    const AntennaCheckInput m_bareInput; // insulated wire: the same antenna of bare wire
    const Context m_context;
    const Context m_bareContext;
    AntennaCheck m_check;
    std::unique_ptr<Analysis> m_designed;
    std::unique_ptr<Analysis> m_built;
    std::unique_ptr<Analysis> m_bare;
    std::unique_ptr<Analysis> m_medhurst;
    std::optional<TrimSearch> m_trim;
    std::optional<TrimSearch> m_bareTrim;
    std::unique_ptr<NeededCoilTask> m_coil;
    std::unique_ptr<Analysis> m_stepOne; // the built coil at step 1's inductance, when needed
    std::unique_ptr<Analysis> m_trimmed;
    std::unique_ptr<Analysis> m_turns;
    std::unique_ptr<Analysis> m_limit;
    std::unique_ptr<HelixResonanceTask> m_helixBuilt;  // the coils wound as helices, as built
    std::unique_ptr<HelixResonanceTask> m_helixSecond; // and at a second length
};

} // namespace

std::variant<AntennaCheck, AntennaCheckFailure>
checkAntenna(const AntennaCheckInput& input, const Engine& engine, const Progress& progress) {
    return CheckRun(input, engine, progress).run();
}

} // namespace brevan::check
