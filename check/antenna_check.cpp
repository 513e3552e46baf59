// SPDX-License-Identifier: GPL-3.0-or-later
#include "antenna_check.h"

#include "antenna_analysis.h"
#include "coil/physics.h"
#include "cut_list.h"
#include "needed_coil.h"
#include "portable_maths.h"
#include "tolerance.h"
#include "trim_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace brevan::check {

namespace {

// Above this SWR at resonance a builder needs more than a trim: the report designs a match.
constexpr double kMatchAbove = 1.5;
constexpr int kMostRetrims = 4; // trimmed antennas analysed after the first
// A trimmed antenna this close to F (relative) needs no neighbour to compare it with.
constexpr double kCloseEnough = 0.0005;
constexpr double kTrimCentimetre = 0.01; // m
constexpr double kTrimShareOfBand = 0.2; // of the 2:1 band's width, for a centimetre of tip
constexpr double kTrimShareOfF = 0.001;  // of F, where the antenna has no 2:1 band

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

// Why a search for the tip change ended where it did.
TrimOutcome searchOutcome(const TrimSearch& trim) {
    switch (trim.task->search().state) {
    case SearchState::Converged: return TrimOutcome::Reached;
    case SearchState::OutOfRange:
        return trim.limit < 0.0 ? TrimOutcome::CoilsInTheWay : TrimOutcome::TooFar;
    default: return TrimOutcome::NotConverged;
    }
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

// A plain half-wave dipole of the same wire in the same place, at F: its coils of no impedance,
// its length the usual 95 % of a free-space half wave (a dipole's power budget changes little
// with a few per cent of length either side of resonance).
class FullSizeTask : public Task {
public:
    explicit FullSizeTask(const Context& context) : m_context(context) {}

    std::vector<Request> requests() override {
        if (m_asked) {
            return {};
        }
        m_asked = true;
        const AntennaCheckInput& in = m_context.input;
        AntennaModel model =
            antennaModel(in, kFullSizeShare * kHalfWaveMetreMHz / in.designMHz, {});
        model.insulation = {};
        model.coilStraightExcess = 0.0;
        const auto segmented = segmentAntenna(model, m_context.highestMHz);
        const auto* segmentation = std::get_if<Segmentation>(&segmented);
        if (!segmentation) {
            return {};
        }
        return {Request{model,
                        *segmentation,
                        {DeckFrequency{in.designMHz, {}}},
                        describe("full-size dipole", model, in.designMHz),
                        {}}};
    }
    void take(const std::vector<EngineRun>& runs) override {
        if (!runs.empty() && !runs.front().points.empty()) {
            m_efficiency = efficiency(runs.front().points.front());
        }
    }
    std::optional<double> efficiencyAtDesign() const { return m_efficiency; }

private:
    static constexpr double kFullSizeShare = 0.95;
    static constexpr double kHalfWaveMetreMHz = 299.792458 / 2.0; // m x MHz
    const Context& m_context;
    bool m_asked = false;
    std::optional<double> m_efficiency;
};

} // namespace

AntennaModel antennaModel(const AntennaCheckInput& input, double length, CoilImpedance) {
    AntennaModel model;
    model.length = length;
    model.coilDistance = input.coilDistance;
    model.wireDiameter = input.wireDiameter;
    model.ground = input.ground;
    model.hang = input.hang;
    model.insulation = input.insulation;
    model.coilStraightExcess = input.coilStraightExcess;
    return model;
}

RadiatedPower radiatedPower(const AntennaResult& hung, bool ofTrimmed,
                            std::optional<double> fullSizeShare) {
    RadiatedPower out;
    out.ofTrimmed = ofTrimmed;
    out.share = hung.designEfficiency;
    if (fullSizeShare && *fullSizeShare > 0.0) {
        out.fullSizeShare = fullSizeShare;
        if (out.share > 0.0) {
            out.dbAgainstFullSize =
                10.0 * portable::log(out.share / *fullSizeShare) / portable::log(10.0);
        }
    }
    return out;
}

double apparentInductance(std::complex<double> impedance, double designMHz) {
    const double omega = 2 * kPi * designMHz * 1e6;
    return impedance.imag() / omega;
}

double trimStep(const Trim& trim) {
    return trim.toMillimetres ? 0.001 : kTrimCentimetre;
}

bool inBand(const SwrBand& band, double frequencyMHz) {
    return band.lowerMHz && band.upperMHz && frequencyMHz >= *band.lowerMHz &&
           frequencyMHz <= *band.upperMHz;
}

std::variant<AntennaCheck, AntennaCheckFailure>
checkAntenna(const AntennaCheckInput& input, const Engine& engine, const Progress& progress) {
    const double f = input.designMHz;
    const Context context{
        input, engine, progress, f * (1.0 + kResonanceWindow), sweepPlan(input.ground.kind), {}};
    if (auto failure = tooCloseToTheTips(input)) {
        return *failure;
    }
    AntennaCheck check;
    // Insulated wire: the same antenna of bare wire runs beside it, in the same engine rounds.
    const bool insulated = isInsulated(input.insulation);
    const AntennaCheckInput bareInput = bareWire(input);
    const Context bareContext{bareInput, engine, progress, context.highestMHz, context.plan, {}};
    if (insulated) {
        check.insulation = InsulationEffect{};
        check.insulation->inductancePerMetre =
            sleeveInductance(input.insulation, input.wireDiameter);
    }

    tell(context, "analysing the antenna as designed and as built");
    auto designedOr = newAnalysis(context, input.length, input.designed, "as designed");
    if (const auto* failure = failureIn(designedOr)) {
        return *failure;
    }
    auto builtOr = newAnalysis(context, input.length, input.built, "as built");
    if (const auto* failure = failureIn(builtOr)) {
        return *failure;
    }
    Analysis& designed = *std::get<std::unique_ptr<Analysis>>(designedOr);
    Analysis& built = *std::get<std::unique_ptr<Analysis>>(builtOr);
    std::unique_ptr<Analysis> bare;
    if (insulated) {
        auto bareOr = newAnalysis(bareContext, input.length, input.built, "bare wire as built");
        if (const auto* failure = failureIn(bareOr)) {
            return *failure;
        }
        bare = std::move(std::get<std::unique_ptr<Analysis>>(bareOr));
    }
    // Medhurst's capacitance: the same antenna once more, in the same rounds.
    std::unique_ptr<Analysis> medhurst;
    if (input.medhurst) {
        auto medhurstOr =
            newAnalysis(context, input.length, input.medhurst, "as built, Medhurst's capacitance");
        if (const auto* failure = failureIn(medhurstOr)) {
            return *failure;
        }
        medhurst = std::move(std::get<std::unique_ptr<Analysis>>(medhurstOr));
    }
    FullSizeTask fullSize(context);
    std::vector<Task*> first{&designed, &built, &fullSize};
    for (Analysis* extra : {bare.get(), medhurst.get()}) {
        if (extra) {
            first.push_back(extra);
        }
    }
    if (auto failure = runTogether(engine, first)) {
        return *failure;
    }
    check.designed = designed.result();
    check.built = built.result();
    check.fullSizeEfficiency = fullSize.efficiencyAtDesign();
    if (medhurst) {
        check.medhurst = medhurst->result();
    }
    check.segments = built.coarse().totalSegments;
    check.fineSegments = built.fine().totalSegments;
    {
        const double span = 0.05 * f;
        check.builtDeck = writeExportDeck(
            built.model(), built.coarse(), input.built(f * 1e6), f, f - span, span / 10.0, 21,
            "Brevan check: the shortened dipole as built, " + fixed(input.length, 3) +
                " m tip to tip, coils at +-" + fixed(input.coilDistance, 3) +
                " m as parallel R, L, C equal to each coil at " + fixed(f, 4) + " MHz");
    }

    // ---- the trim and the coil that would need none
    tell(context, "finding the trim and the coil that would need none");
    const bool capacitor = coilMustChange(input);
    const double target = workingTarget(built, f);
    std::optional<TrimSearch> trim;
    std::optional<TrimSearch> bareTrim;
    std::unique_ptr<NeededCoilTask> coil;
    if (capacitor) {
        check.trim.outcome = TrimOutcome::CoilResonates;
        if (check.insulation) {
            check.insulation->bareTrim = TrimOutcome::CoilResonates;
        }
    } else if (!built.coarseResonance()) {
        check.trim.outcome = TrimOutcome::NoResonance;
    } else {
        const double x0 = impedanceAt(built.samples(), target).imag();
        trim = trimSearch(context, built, 0.0, x0, target);
        coil = std::make_unique<NeededCoilTask>(context, built, input.length);
        std::vector<Task*> tasks{trim->task.get(), coil.get()};
        if (bare && bare->coarseResonance()) {
            const double bareTarget = workingTarget(*bare, f);
            const double bareX0 = impedanceAt(bare->samples(), bareTarget).imag();
            bareTrim = trimSearch(bareContext, *bare, 0.0, bareX0, bareTarget);
            if (bareTrim) {
                tasks.push_back(bareTrim->task.get());
            }
        }
        if (auto failure = runTogether(engine, tasks)) {
            return *failure;
        }
        for (const SearchTask* search :
             {trim->task.get(), bareTrim ? bareTrim->task.get() : nullptr}) {
            if (search && search->failure()) {
                return *search->failure();
            }
        }
        if (coil->failure()) {
            return *coil->failure();
        }
    }

    // ---- the trimmed antenna, and the whole turns nearest the needed coil
    tell(context, "analysing the trimmed antenna");
    std::unique_ptr<Analysis> trimmed;
    std::unique_ptr<Analysis> turns;
    std::unique_ptr<Analysis> limitAnalysis;
    std::vector<Task*> last;
    // Each tip changed by whole centimetres, and the antenna that gives, ready to analyse.
    // Cut afresh for its length: the built antenna's counts, stretched or squeezed over a
    // longer or shorter wire beyond the coils, leave segments of unequal length beside the
    // coil, and NEC-2 then converges to another limit (0.6 % off after a 1.3 m trim).
    const auto trimTo =
        [&](double tip, std::optional<SegmentCounts> counts) -> std::optional<AntennaCheckFailure> {
        check.trim.tipChange = tip;
        // To the micrometre, so that a length like 15.54 m stays the number it reads as.
        check.trim.trimmedLength = std::round((input.length + 2.0 * tip) * 1e6) / 1e6;
        auto analysis = newAnalysis(context, check.trim.trimmedLength, input.built,
                                    "as built and trimmed", counts);
        if (const auto* failure = failureIn(analysis)) {
            return *failure;
        }
        trimmed = std::move(std::get<std::unique_ptr<Analysis>>(analysis));
        return std::nullopt;
    };
    if (trim) {
        const RootSearch& s = trim->task->search();
        if (s.state == SearchState::Converged) {
            check.trim.toMillimetres = millimetreTrim(check.built, s.root, f);
            const double tip = std::round(s.root / trimStep(check.trim)) * trimStep(check.trim);
            if (auto failure = trimTo(tip, std::nullopt)) {
                return *failure;
            }
            last.push_back(trimmed.get());
        } else {
            check.trim.outcome = searchOutcome(*trim);
            // Out of range: the limit itself; out of tries: the probe that came closest.
            const auto closest = std::min_element(
                s.probes.begin(), s.probes.end(), [](const auto& a, const auto& b) {
                    return std::abs(a.second) < std::abs(b.second);
                });
            const double limit = s.state == SearchState::OutOfRange ? trim->limit : closest->first;
            check.trim.limitLength = input.length + 2.0 * limit;
            // Where the antenna resonates at that limit, for the words that say why.
            auto limitOr =
                newAnalysis(context, check.trim.limitLength, input.built, "at the trim's limit");
            if (auto* analysis = std::get_if<std::unique_ptr<Analysis>>(&limitOr)) {
                limitAnalysis = std::move(*analysis);
                last.push_back(limitAnalysis.get());
            }
        }
    }
    if (coil) {
        NeededCoil& needed = check.neededCoil;
        needed.outcome = coil->outcome();
        if (needed.outcome == CoilOutcome::Found) {
            needed.apparentInductance = coil->inductance();
            needed.turns = coil->turns();
            if (needed.turns > 0) {
                const CoilImpedance turnsCoil = input.coilOfTurns(needed.turns);
                needed.turnsAtDesign = turnsCoil(f * 1e6);
                needed.turnsApparentInductance = apparentInductance(needed.turnsAtDesign, f);
                auto turnsOr = newAnalysis(context, input.length, turnsCoil,
                                           "with the needed turns", built.coarse().counts);
                if (const auto* failure = failureIn(turnsOr)) {
                    return *failure;
                }
                turns = std::move(std::get<std::unique_ptr<Analysis>>(turnsOr));
                last.push_back(turns.get());
            }
        }
    }
    if (auto failure = runTogether(engine, last)) {
        return *failure;
    }
    // The trimmed antenna is cut afresh for its length and its correction differs a little from
    // the built one's: when its resonance is off F, the trim is sought again on its own
    // segments. Each length is modelled the same way whichever way it is reached, so the
    // lengths tried are kept: two neighbouring centimetres that bracket F settle it (the
    // nearer one), and a wider bracket is split, so the search cannot swing between two
    // lengths whose segmentations each point at the other.
    if (trimmed) {
        const double step = trimStep(check.trim);
        const auto centimetres = [step](double tip) {
            return static_cast<int>(std::lround(tip / step));
        };
        std::map<int, std::unique_ptr<Analysis>> tries;
        int current = centimetres(check.trim.tipChange);
        tries.emplace(current, std::move(trimmed));
        const auto choice = [&] {
            std::vector<TrimTry> offs;
            for (const auto& [cm, analysis] : tries) {
                if (const auto r = analysis->result().resonanceMHz) {
                    offs.push_back({cm, *r - f});
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
                auto again = trimSearch(context, latest, current * step, x0, retarget);
                if (!again) {
                    break;
                }
                if (auto failure = runTogether(engine, {again->task.get()})) {
                    return *failure;
                }
                if (again->task->failure()) {
                    return *again->task->failure();
                }
                const RootSearch& s = again->task->search();
                if (s.state != SearchState::Converged || tries.count(centimetres(s.root)) > 0) {
                    break; // it points at a length already analysed: the nearest is taken
                }
                next = centimetres(s.root);
            }
            const double tip = *next * step;
            if (auto failure = trimTo(tip, std::nullopt)) {
                return *failure;
            }
            if (auto failure = runTogether(engine, {trimmed.get()})) {
                return *failure;
            }
            current = *next;
            tries.emplace(current, std::move(trimmed));
        }
        // Settled, or else the length analysed whose resonance came nearest F.
        int best = current;
        if (const auto settled = choice().settled) {
            best = *settled;
        } else {
            double nearest = 1e300;
            for (const auto& [cm, analysis] : tries) {
                const auto r = analysis->result().resonanceMHz;
                if (r && std::abs(*r - f) < nearest) {
                    nearest = std::abs(*r - f);
                    best = cm;
                }
            }
        }
        trimmed = std::move(tries.at(best));
        check.trim.tipChange = best * step;
        check.trim.trimmedLength = trimmed->model().length;
    }
    if (trimmed) {
        check.trimmed = trimmed->result();
        if (!check.trimmed->resonanceMHz ||
            std::abs(*check.trimmed->resonanceMHz / f - 1.0) > 0.01) {
            // Its last try is the trimmed antenna itself.
            check.trim.outcome = TrimOutcome::NotConverged;
            check.trim.limitLength = check.trim.trimmedLength;
            check.trim.limitResonanceMHz = check.trimmed->resonanceMHz;
        }
    }
    if (check.insulation) {
        compareTrims(*check.insulation, check.trim, trim, bareTrim);
    }
    if (turns) {
        check.neededCoil.turnsResonanceMHz = turns->result().resonanceMHz;
    }
    if (limitAnalysis) {
        check.trim.limitResonanceMHz = limitAnalysis->result().resonanceMHz;
    }

    // ---- how exactly it must be built: of the trimmed antenna when the trim reached F
    const bool ofTrimmed = trimmed && check.trim.outcome == TrimOutcome::Reached;
    check.radiated = radiatedPower(ofTrimmed ? *check.trimmed : check.built, ofTrimmed,
                                   check.fullSizeEfficiency);
    const Analysis& toleranceBase = ofTrimmed ? *trimmed : built;
    if (toleranceBase.coarseResonance()) {
        tell(context, "working out the building tolerances");
        ToleranceTask tolerances(context, toleranceBase, input.changedCoil, ofTrimmed);
        if (auto failure = runTogether(engine, {&tolerances})) {
            return *failure;
        }
        check.tolerances = tolerances.table();
    }

    // ---- the pictures
    tell(context, "sweeping the SWR curves");
    std::vector<Analysis*> pictured{&designed, &built};
    std::vector<AntennaResult*> results{&check.designed, &check.built};
    if (trimmed) {
        pictured.push_back(trimmed.get());
        results.push_back(&*check.trimmed);
    }
    if (auto failure = sweepCurves(context, pictured, results)) {
        return *failure;
    }
    if (check.trimmed && check.trimmed->resonanceMHz &&
        swr(check.trimmed->resonanceResistance) > kMatchAbove) {
        const Samples& curve = check.trimmed->curve;
        check.matching = Matching{bestTransformer(curve, f, kReferenceImpedance),
                                  lNetwork(curve, f, kReferenceImpedance)};
    }
    if (input.ground.kind != GroundKind::FreeSpace) {
        tell(context, "working out the far field over the ground");
        if (auto failure = skyShares(context, pictured, results)) {
            return *failure;
        }
    }
    check.builtAnalysis = std::make_shared<const AnalysisRecord>(built.record());
    return check;
}

} // namespace brevan::check
