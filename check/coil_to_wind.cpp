// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil_to_wind.h"

#include "coil/coil_impedance.h"
#include "coil/physics.h"
#include "coil/round_wire.h"
#include "cut_list.h"
#include "portable_maths.h"

#include <limits>

namespace brevan::check {

namespace {

// Close-wound to twice the wire's diameter: where Q peaks lies between.
const std::vector<double> kPitchRatios{1.0, 1.25, 1.5, 1.75, 2.0};

struct Hung {
    const AntennaResult* antenna = nullptr;
    const PowerFigures* power = nullptr;
    double share = 0.0;
    // Once a sweep has calibrated the model: the swept antenna's figures and its resistance at F
    // after the cut, which set what each coil must hold (the shares stay the model's).
    const PowerFigures* swept = nullptr;
    double sweptFeedResistance = 0.0;
    // Where the sweep's resistance, well above the model's, may be loss the model lacks: that
    // loss in series with the model's resistance, and the planned coil's share with it.
    double seriesLoss = 0.0;
    double modelResistance = 0.0;
    std::optional<double> radiatedIfLoss{};
};

std::optional<Hung> hungAntenna(const CheckReport& r) {
    if (!r.antenna || !r.power || r.measuredCoil) {
        return std::nullopt;
    }
    const AntennaCheck& a = *r.antenna;
    // A coil that resonates itself, or leaves the antenna no resonance near F, must change
    // anyway: one of the same reactance would leave the antenna as it is.
    if (a.trim.outcome == TrimOutcome::CoilResonates ||
        a.trim.outcome == TrimOutcome::NoResonance) {
        return std::nullopt;
    }
    const bool trimmed = r.power->trimmed.has_value() && a.trimmed.has_value();
    const AntennaResult& antenna = trimmed ? *a.trimmed : a.built;
    const PowerFigures* power = r.power->hung();
    if (!power || !antenna.atDesign || !(antenna.coilApparentInductance > 0.0)) {
        return std::nullopt;
    }
    Hung out{&antenna, power, a.radiated.share};
    if (r.power->swept) {
        out.swept = &*r.power->swept;
        out.sweptFeedResistance = r.power->sweptFeedResistance;
    }
    if (r.measured && r.measured->radiatedIfLoss) {
        out.seriesLoss = r.measured->calibration.seriesLoss;
        out.modelResistance = r.measured->calibration.modelResistance;
        out.radiatedIfLoss = r.measured->radiatedIfLoss;
    }
    return out;
}

// Holding the power comes first, then a coil the model is sure of (not long), then Q.
bool better(const WindingChoice& a, const WindingChoice& b, double watts) {
    const bool aHolds = coilLimitW(a.power) >= watts;
    const bool bHolds = coilLimitW(b.power) >= watts;
    if (aHolds != bHolds) {
        return aHolds;
    }
    if (a.coil.isLong != b.coil.isLong) {
        return !a.coil.isLong;
    }
    return a.coil.q > b.coil.q;
}

} // namespace

std::optional<CoilToWind> coilToWind(const CheckReport& r) {
    const std::optional<Hung> hung = hungAntenna(r);
    if (!hung) {
        return std::nullopt;
    }
    const double frequency = r.inputs.frequencyMHz * 1e6;
    const double watts = r.inputs.power.watts;
    AlternativesRequest request;
    request.inductance = hung->antenna->coilApparentInductance;
    request.frequency = frequency;
    request.formerDiameter = r.inputs.formerMm / 1000;
    request.wireDiameter = r.coil.coil.wireDiameter;
    request.pitch = r.coil.coil.pitch;
    const CoilAlternatives found =
        coilAlternatives(request, std::numeric_limits<std::size_t>::max(), kPitchRatios);

    CoilToWind out;
    const std::complex<double> planned = hung->antenna->coilAtDesign;
    out.plannedQ = planned.real() > 0.0 ? planned.imag() / planned.real() : 0.0;
    out.plannedRadiatedShare = hung->share;
    // At the same currents the antenna radiates the same; only the coils' loss changes.
    const double radiated = hung->share * watts;
    const double wire = hung->power->wireHeatKeyDown;
    const bool plannedHolds = coilLimitW(hung->swept ? *hung->swept : *hung->power) >= watts;
    for (const CoilAlternative& alternative : found.coils) {
        const std::complex<double> z = coilImpedance(alternative.coil, frequency, std::nullopt);
        const CoilBuild build{alternative.coil.turns,
                              alternative.coil.pitch,
                              alternative.coil.wireDiameter,
                              alternative.coil.meanDiameter,
                              alternative.windingLength,
                              wireResistancePerMetre(alternative.coil.wireDiameter, frequency),
                              kCoilLeadAllowance,
                              alternative.coil.formerPermittivity > 1.0};
        // The feed resistance loses what the planned coils' loss added beyond this coil's, so
        // the same power drives more current through a better coil.
        CurrentsAtDesign at = *hung->antenna->atDesign;
        const double lessLoss = 2.0 * at.coilCurrent * at.coilCurrent * (planned.real() - z.real());
        at.feedResistance -= lessLoss;
        const auto power = powerFigures(at, z, build, r.inputs.power);
        if (!power) {
            continue;
        }
        const double share = radiated / (radiated + wire + 2.0 * power->coil.heatKeyDown);
        const double db = 10.0 * portable::log(share / hung->share) / portable::log(10.0);
        WindingChoice choice{alternative, *power, share, db};
        if (hung->radiatedIfLoss) {
            // The model's resistance loses what this coil saves; the sweep's loss stays.
            const double model = hung->modelResistance - lessLoss;
            const double ifLoss = share * model / (model + hung->seriesLoss);
            choice.radiatedShareIfLoss = ifLoss;
            choice.dbAgainstPlannedIfLoss =
                10.0 * portable::log(ifLoss / *hung->radiatedIfLoss) / portable::log(10.0);
        }
        if (hung->swept) {
            // What it holds in the antenna as swept: the sweep's resistance, less the same loss.
            at.feedResistance = hung->sweptFeedResistance - lessLoss;
            const auto swept = powerFigures(at, z, build, r.inputs.power);
            if (!swept) {
                continue;
            }
            choice.power = *swept;
        }
        const bool onFormer = alternative.formerDiameter == request.formerDiameter;
        auto& slot = onFormer ? out.onFormer : out.otherFormer;
        if (!slot || better(choice, *slot, watts)) {
            slot = choice;
        }
    }
    const auto worthwhile = [&](const std::optional<WindingChoice>& c, double q, bool holds,
                                double factor) {
        const bool cHolds = c && coilLimitW(c->power) >= watts;
        return c && ((cHolds && !holds) || (cHolds == holds && c->coil.q >= factor * q));
    };
    if (!worthwhile(out.onFormer, out.plannedQ, plannedHolds, kWorthwhileQ)) {
        out.onFormer.reset();
    }
    const double baseQ = out.onFormer ? out.onFormer->coil.q : out.plannedQ;
    const bool baseHolds = out.onFormer ? coilLimitW(out.onFormer->power) >= watts : plannedHolds;
    if (!worthwhile(out.otherFormer, baseQ, baseHolds, kWorthwhileOtherFormer)) {
        out.otherFormer.reset();
    }
    if (!out.onFormer && !out.otherFormer) {
        return std::nullopt;
    }
    return out;
}

} // namespace brevan::check
