// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_report.h"

#include "coil_to_wind.h"

#include "fullwave/antenna_analysis.h"

#include "coil/coil_impedance.h"
#include "coil/physics.h"
#include "coil/round_wire.h"
#include "cut_list.h"

#include "fullwave/tolerance_coils.h"
#include "general_format.h"
#include "loading_coil.h"
#include "locale_number.h"
#include "range_limits.h"
#include "wire_gauge_table.h"

#include <cmath>
#include <complex>

namespace brevan::check {
namespace {

// Beyond this many turns no single-layer loading coil is realistic, and the turn counts stay
// well inside an int.
constexpr double kMostTurns = 100000;

// The window's inputs as its change handlers store them.
DesignState windowState(const CheckInputs& in) {
    DesignState state;
    state.freqMHz = in.frequencyMHz;
    state.lengthA = in.lengthM * kFeetPerMetre;
    state.distB = in.distanceM * kFeetPerMetre;
    state.formerDia = in.formerMm / kMillimetresPerInch;
    state.coilLength = in.coilLengthMm / kMillimetresPerInch;
    return state;
}

// What L shows once its change handler has cut step 1's text down to 0.1 uH.
std::string shownInductance(const std::string& written) {
    const double value = parseLocaleNumber(written, ".").value_or(0.0);
    return formatDouble(std::floor(value * 10) / 10, ".");
}

std::variant<WindowDesign, DesignRefusal> runWindowDesign(const CheckInputs& in) {
    DesignState state = windowState(in);
    WindowDesign design;
    design.lengthAFeet = state.lengthA;
    design.distBFeet = state.distB;
    const LoadingCoilResult step1 = computeLoadingCoil(state, in.wireSwg, ".");
    if (step1.fault != DesignFault::None) {
        return DesignRefusal{refusalText(step1.fault, DesignStep::One)};
    }
    design.wireDiameterInch = state.wireDia;
    design.inductanceUh = step1.inductance;
    design.inductanceText = step1.text;
    design.shownInductanceText = shownInductance(step1.text);
    if (design.shownInductanceText == "0") {
        return DesignRefusal{
            "Step 1 gives " + step1.text +
            " uH, which the window shows as 0 and so never opens step 2: the antenna needs no "
            "loading coil. Enter a shorter A or a larger B."};
    }
    const CoilWindingResult step2 = computeCoilWinding(state, in.coilWireSwg);
    if (step2.fault != DesignFault::None) {
        return DesignRefusal{refusalText(step2.fault, DesignStep::Two)};
    }
    design.passes = step2.passes;
    design.coilWireDiameterInch = state.coilWireDia;
    design.turns = state.turns;
    design.turnsText = formatDouble(state.turns, ".");
    design.revisedLengthMm = step2.revisedLengthMm;
    design.revisedLengthText =
        "Revised length = " + formatDouble(step2.revisedLengthMm, ".") + " mm";
    if (design.turns > kMostTurns) {
        return DesignRefusal{"Step 2 gives " + design.turnsText +
                             " turns, far more than a loading coil can have (the check goes to " +
                             formatDouble(kMostTurns, ".") +
                             "). Check the frequency, A and B, or use a larger former."};
    }
    if (design.turns < 1) {
        return DesignRefusal{"Step 2 gives 0 turns for " + design.shownInductanceText +
                             " uH on this former, so there is no coil to check. Enter a smaller "
                             "former diameter."};
    }
    return design;
}

CoilAsWound windCoil(const CheckInputs& in, const WindowDesign& design) {
    CoilAsWound wound;
    // The coil the builder wound, of the wire they have: step 2's turns unless they say
    // otherwise, the table's wire unless they named another.
    const double wire = coilWireMm(in) / 1000;
    wound.coil.turns = in.turns.value_or(design.turns);
    wound.coil.wireDiameter = wire;
    wound.coil.pitch = in.windingLengthMm ? *in.windingLengthMm / 1000 / wound.coil.turns
                       : in.pitchMm       ? *in.pitchMm / 1000
                                          : wire;
    wound.coil.meanDiameter = in.formerMm / 1000 + wire;
    wound.coil.formerPermittivity = in.formerPermittivity;
    // A measured coil of turns not given: the turns of this wire, pitch and former that come
    // closest to it, whose length, capacitance and Q stand for the coil's own.
    if (in.coilInductanceUh && !in.turns) {
        wound.coil.turns = closestTurns(wound.coil, *in.coilInductanceUh * 1e-6);
    }
    wound.lengthOverDiameter = sheetLength(wound.coil) / wound.coil.meanDiameter;
    wound.nagaoka = nagaokaCoefficient(1 / wound.lengthOverDiameter);
    wound.rosaSelf = rosaSelfCorrection(wound.coil.pitch, wire);
    wound.rosaMutual = rosaMutualCorrection(wound.coil.turns);
    wound.currentSheet = currentSheetInductance(wound.coil);
    wound.inductance = asWoundInductance(wound.coil);
    wound.inductanceAtDesign = inductanceAt(wound.coil, in.frequencyMHz * 1e6);
    wound.wheeler = wheelerInductance(wound.coil);
    const double target = design.inductanceUh * 1e-6;
    wound.differencePercent = percentAgainstStep1(design, wound.inductance);
    wound.closestTurns = closestTurns(wound.coil, target);
    WoundCoil closest = wound.coil;
    closest.turns = wound.closestTurns;
    wound.closestTurnsInductance = asWoundInductance(closest);
    wound.shortForWheeler = wound.lengthOverDiameter < 0.4;
    return wound;
}

// The builder's measured coil, its capacitance from the measured self-resonance or, without
// one, the wound coil's own.
std::optional<MeasuredCoil> measuredCoil(const CheckInputs& in, const CoilAsWound& wound) {
    if (!in.coilInductanceUh) {
        return std::nullopt;
    }
    const double inductance = *in.coilInductanceUh * 1e-6;
    if (in.coilSelfResonanceMHz) {
        return measuredWithSelfResonance(wound.coil, inductance, *in.coilSelfResonanceMHz * 1e6);
    }
    return MeasuredCoil{wound.coil, inductance, modelCapacitance(wound.coil)};
}

// The measured coil's figures in place of the computed ones; the wire's resistances stay those
// of the coil as wound, which set its Q when none was measured.
void measuredLosses(const CheckInputs& in, const MeasuredCoil& coil, CoilLosses& losses) {
    const double frequency = in.frequencyMHz * 1e6;
    losses.reactance = 2 * kPi * frequency * measuredInductanceAt(coil, frequency);
    // Scaled, the winding keeps its Q: the given one, or the wound coil's estimate.
    losses.seriesResistance = losses.reactance / losses.q;
    losses.selfCapacitance = coil.capacitance;
    losses.selfResonance = in.coilSelfResonanceMHz ? *in.coilSelfResonanceMHz * 1e6
                                                   : measuredSelfResonance(coil, in.coilQ);
    const ApparentCoil seen = apparentMeasuredCoil(coil, frequency, in.coilQ);
    losses.apparentInductance = seen.inductance;
    losses.apparentResistance = seen.resistance;
}

CoilLosses coilLosses(const CheckInputs& in, const CoilAsWound& wound) {
    CoilLosses losses;
    const double frequency = in.frequencyMHz * 1e6;
    losses.skinDepth = skinDepth(frequency);
    losses.resistance = coilResistance(wound.coil, frequency);
    // The winding at F: its inductance without the wire's internal part, which the skin effect
    // has all but removed.
    losses.reactance = 2 * kPi * frequency * inductanceAt(wound.coil, frequency);
    losses.estimatedQ = losses.reactance / losses.resistance.acResistance;
    losses.qGiven = in.coilQ.has_value();
    losses.q = in.coilQ.value_or(losses.estimatedQ);
    losses.seriesResistance = lossResistance(wound.coil, frequency, in.coilQ);
    losses.selfCapacitance = modelCapacitance(wound.coil);
    losses.selfResonanceModel = selfResonanceModel(wound.coil);
    losses.length = coilLengthAt(wound.coil, frequency);
    // Where the coil stops being an inductor: the same impedance the antenna model uses.
    losses.selfResonance = selfResonance(wound.coil, in.coilQ);
    losses.medhurstCapacitance = medhurstCapacitance(wound.coil);
    losses.medhurstResonance = selfResonance(wound.coil, in.coilQ, losses.medhurstCapacitance);
    const ApparentCoil seen = apparentCoil(wound.coil, frequency, in.coilQ);
    losses.apparentInductance = seen.inductance;
    losses.apparentResistance = seen.resistance;
    return losses;
}

// A coil that self-resonates at, below or just above F must change (coilUnfitAt), and the
// report names coils of the same inductance that would do.
CoilAlternatives alternativesIfNeeded(const CheckReport& report) {
    const double frequency = report.inputs.frequencyMHz * 1e6;
    if (!coilUnfitAt(report.losses.selfResonance, frequency)) {
        return {};
    }
    AlternativesRequest request;
    request.inductance = report.design.inductanceUh * 1e-6;
    request.frequency = frequency;
    request.formerDiameter = report.inputs.formerMm / 1000;
    request.wireDiameter = report.coil.coil.wireDiameter;
    request.pitch = report.coil.coil.pitch;
    return coilAlternatives(request);
}

CutList cutList(const CheckInputs& in, const CoilAsWound& wound, std::optional<double> tip,
                double spareAtLeast = 0.0) {
    CutListInput cut;
    cut.spareAtLeast = spareAtLeast;
    cut.length = in.lengthM;
    cut.coilDistance = in.distanceM;
    cut.windingLength = sheetLength(wound.coil);
    cut.windingWire = windingWireLength(wound.coil);
    cut.tipChange = tip;
    return makeCutList(cut);
}

} // namespace

std::variant<CheckReport, DesignRefusal> buildCheckReport(const CheckInputs& inputs) {
    std::variant<WindowDesign, DesignRefusal> design = runWindowDesign(inputs);
    if (auto* refusal = std::get_if<DesignRefusal>(&design)) {
        return *refusal;
    }
    CheckReport report;
    report.inputs = inputs;
    report.design = std::get<WindowDesign>(design);
    report.coil = windCoil(inputs, report.design);
    report.losses = coilLosses(inputs, report.coil);
    report.measuredCoil = measuredCoil(inputs, report.coil);
    if (report.measuredCoil) {
        measuredLosses(inputs, *report.measuredCoil, report.losses);
    }
    report.cut = cutList(inputs, report.coil, std::nullopt);
    report.alternatives = alternativesIfNeeded(report);
    return report;
}

double percentAgainstStep1(const WindowDesign& design, double henries) {
    const double target = design.inductanceUh * 1e-6;
    return (henries - target) / target * 100;
}

CoilImpedance coilOfTurns(const CheckReport& report, int turns) {
    const WoundCoil coil = withTurns(report.coil.coil, turns);
    const std::optional<double> q =
        report.losses.qGiven ? std::optional<double>(report.losses.q) : std::nullopt;
    // A coil measured above or below the model of its own turns is taken to be so at any turns
    // wound the same way: the turns the check names are then the builder's, not the model's.
    const double measured = report.measuredCoil && report.coil.inductance > 0.0
                                ? report.measuredCoil->inductance / report.coil.inductance
                                : 1.0;
    return [coil, q, c = modelCapacitance(coil), measured](double frequency) {
        return measured * coilImpedance(coil, frequency, q, c);
    };
}

namespace {

CoilBuild coilBuild(const WoundCoil& coil, double frequency) {
    return {coil.turns,         coil.pitch,
            coil.wireDiameter,  coil.meanDiameter,
            sheetLength(coil),  wireResistancePerMetre(coil.wireDiameter, frequency),
            kCoilLeadAllowance, coil.formerPermittivity > 1.0};
}

// `feedResistance`: in place of the one the currents were solved at (nothing: that one).
std::optional<PowerFigures> powerOf(const CheckReport& report, const AntennaResult& antenna,
                                    std::optional<double> feedResistance = std::nullopt) {
    if (!antenna.atDesign) {
        return std::nullopt;
    }
    const CoilBuild build = coilBuild(report.coil.coil, report.inputs.frequencyMHz * 1e6);
    CurrentsAtDesign at = *antenna.atDesign;
    if (feedResistance) {
        at.feedResistance = *feedResistance;
    }
    auto figures = powerFigures(at, antenna.coilAtDesign, build, report.inputs.power);
    if (figures) {
        addFormerRelief(build, *figures);
    }
    return figures;
}

// How far each tip's metre moves the resonance, MHz: from how far the trim moved it, or for a
// trim under a centimetre from the tolerance table's centimetre of tip.
std::optional<double> tipMovesPerMetre(const AntennaCheck& check, double tip) {
    if (std::abs(tip) >= 0.01) {
        return (*check.trimmed->resonanceMHz - *check.built.resonanceMHz) / tip;
    }
    if (check.tolerances) {
        for (const ToleranceRow& row : check.tolerances->rows) {
            if (row.which == Tolerance::Tips && row.applies && row.more) {
                return row.more->resonanceKHz / 1000.0 / kTipChange;
            }
        }
    }
    return std::nullopt;
}

// Each tip's wire that the long coils' share of the trimmed antenna's uncertainty asks for: the
// helix resonated above the lumped model, so the antenna may want that much more wire than the
// trim gives.
double spreadSpare(const AntennaCheck& check, double tip) {
    if (!(check.coilModelSpread > 0.0) || !check.trimmed || !check.trimmed->resonanceMHz ||
        !check.built.resonanceMHz) {
        return 0.0;
    }
    const std::optional<double> perMetre = tipMovesPerMetre(check, tip);
    if (!perMetre || !(std::abs(*perMetre) > 0.0)) {
        return 0.0;
    }
    return check.coilModelSpread * *check.trimmed->resonanceMHz / std::abs(*perMetre);
}

// That, or the wire beyond the trim that the coils wound as helices ask for, if more.
double modelSpare(const AntennaCheck& check, std::optional<double> tip) {
    if (!tip) {
        return 0.0;
    }
    const std::optional<HelixCheck>& helix = check.helix;
    const double helixMore =
        helix && helix->tipChange && !helix->tipInTheWay ? *helix->tipChange - *tip : 0.0;
    return std::max(spreadSpare(check, *tip), helixMore);
}

} // namespace

void applyAntennaCheck(CheckReport& report, AntennaCheck check) {
    // A trim that stops short of F is no length to cut: the tips are cut as designed.
    const std::optional<double> tip = check.trim.outcome == TrimOutcome::Reached
                                          ? std::optional<double>(check.trim.tipChange)
                                          : std::nullopt;
    report.cut = cutList(report.inputs, report.coil, tip, modelSpare(check, tip));
    PowerReport power;
    power.built = powerOf(report, check.built);
    if (check.trimmed && tip) {
        power.trimmed = powerOf(report, *check.trimmed);
    }
    report.power = power;
    report.antenna = std::move(check);
    report.coilToWind = coilToWind(report);
}

CoilImpedance builtCoil(const CheckReport& report) {
    const std::optional<double> q = report.inputs.coilQ;
    if (report.measuredCoil) {
        const MeasuredCoil measured = *report.measuredCoil;
        return [measured, q](double frequency) {
            return measuredCoilImpedance(measured, frequency, q);
        };
    }
    const WoundCoil wound = report.coil.coil;
    return [wound, q, c = modelCapacitance(wound)](double frequency) {
        return coilImpedance(wound, frequency, q, c);
    };
}

namespace {

// How far a long coil's lumped model may be from the coil wound as a helix: in proportion to
// what its self-capacitance adds to its reactance at F (`seen` against `winding`, reactances
// or inductances alike).
double spreadOfRise(double seen, double winding) {
    if (!(winding > 0.0) || !(seen > winding)) {
        return 0.0;
    }
    return kLongCoilSpreadPerRise * (seen / winding - 1.0);
}

// Of the coil as wound. A measured coil brings its own self-resonance, but not the current's
// fall along it.
double coilModelSpread(const CheckReport& report) {
    const CoilLosses& losses = report.losses;
    if (!losses.length.isLong) {
        return 0.0;
    }
    const double winding = losses.reactance / (2 * kPi * report.inputs.frequencyMHz * 1e6);
    return spreadOfRise(losses.apparentInductance, winding);
}

// Of `turns` wound the same way, with the self-capacitance coilOfTurns gives them.
double coilModelSpreadOfTurns(const CheckReport& report, int turns) {
    const double frequency = report.inputs.frequencyMHz * 1e6;
    const WoundCoil coil = withTurns(report.coil.coil, turns);
    if (!coilLengthAt(coil, frequency).isLong) {
        return 0.0;
    }
    const std::optional<double> q = std::nullopt; // the reactances do not depend on it
    return spreadOfRise(coilImpedance(coil, frequency, q, modelCapacitance(coil)).imag(),
                        coilImpedance(coil, frequency, q, 0.0).imag());
}

} // namespace

AntennaCheckInput antennaCheckInput(const CheckReport& report) {
    const CheckInputs& in = report.inputs;
    AntennaCheckInput input;
    input.designMHz = in.frequencyMHz;
    input.length = in.lengthM;
    input.coilDistance = in.distanceM;
    input.wireDiameter = antennaWireMm(in) / 1000;
    const double designed = report.design.inductanceUh * 1e-6;
    input.designed = [designed](double frequency) {
        return std::complex<double>{0.0, 2 * kPi * frequency * designed};
    };
    const int builtTurns = static_cast<int>(std::lround(report.coil.coil.turns));
    input.built = builtCoil(report);
    if (!report.measuredCoil) {
        // The same coil with Medhurst's grounded-coil capacitance: how far the model's least
        // certain number could move the answer. A measured coil brings its own.
        const WoundCoil coil = report.coil.coil;
        const std::optional<double> q = report.inputs.coilQ;
        const double grounded = medhurstCapacitance(coil);
        input.medhurst = [coil, q, grounded](double frequency) {
            return coilImpedance(coil, frequency, q, grounded);
        };
    }
    input.ground = in.ground;
    input.hang = in.hang;
    input.insulation = wireInsulation(in);
    input.coilOfTurns = [report](int turns) { return coilOfTurns(report, turns); };
    input.builtTurns = builtTurns;
    input.windingLength = sheetLength(report.coil.coil);
    input.changedCoil = changedCoils(report);
    input.coilStraightExcess =
        straightWireExcess(input.windingLength, report.coil.coil.meanDiameter, input.wireDiameter);
    input.coilSelfResonance = report.losses.selfResonance;
    input.coilModelSpread = coilModelSpread(report);
    input.coilModelSpreadOfTurns = [report](int turns) {
        return coilModelSpreadOfTurns(report, turns);
    };
    if (report.losses.length.isLong && helixRefusal(report) == HelixRefusal::None) {
        input.helixCoil = report.coil.coil;
    }
    return input;
}

HelixRefusal helixRefusal(const CheckReport& report) {
    const WoundCoil& coil = report.coil.coil;
    if (report.measuredCoil) {
        return HelixRefusal::Measured;
    }
    if (coil.pitch < kHelixWidestSpacing * coil.wireDiameter) {
        return HelixRefusal::CloseWound;
    }
    return HelixRefusal::None;
}

std::optional<AntennaCheckFailure> addAntennaCheck(CheckReport& report, const Engine& engine,
                                                   const Progress& progress) {
    const AntennaCheckInput input = antennaCheckInput(report);
    std::variant<AntennaCheck, AntennaCheckFailure> result = checkAntenna(input, engine, progress);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        return *failure;
    }
    applyAntennaCheck(report, std::get<AntennaCheck>(std::move(result)));
    return std::nullopt;
}

double stepOneInductance(const CheckInputs& inputs, double coilDistance) {
    CheckInputs at = inputs;
    at.distanceM = coilDistance;
    DesignState state = windowState(at);
    const LoadingCoilResult step1 = computeLoadingCoil(state, at.wireSwg, ".");
    return step1.fault == DesignFault::None ? step1.inductance * 1e-6 : 0.0;
}

std::optional<AntennaCheckFailure> addCoilPositionStudy(CheckReport& report, const Engine& engine,
                                                        const Progress& progress) {
    const CheckInputs inputs = report.inputs;
    auto result = studyCoilPosition(
        antennaCheckInput(report), [inputs](double b) { return stepOneInductance(inputs, b); },
        engine, progress);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        return *failure;
    }
    report.study = std::get<CoilPositionStudy>(std::move(result));
    return std::nullopt;
}

std::optional<AntennaCheckFailure> addMeasured(CheckReport& report, const MeasuredSetup& setup,
                                               const Engine& engine, const Progress& progress) {
    AsMeasured sweep = analyseMeasured(setup, report.inputs.frequencyMHz);
    // The check has analysed the built antenna already: the calibration starts from that.
    const AnalysisRecord* built = report.antenna ? report.antenna->builtAnalysis.get() : nullptr;
    auto result = calibrateToMeasurement(antennaCheckInput(report), sweep, engine, progress, built);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        return *failure;
    }
    report.measured =
        MeasuredReport{std::move(sweep), std::get<Calibration>(std::move(result)), {}};
    const Calibration& c = report.measured->calibration;
    if (report.antenna && c.outcome == CalibrationOutcome::Calibrated && c.resistanceFar &&
        c.seriesLoss > 0.0 && c.modelResistance > 0.0) {
        report.measured->radiatedIfLoss =
            report.antenna->radiated.share * c.modelResistance / (c.modelResistance + c.seriesLoss);
    }
    if (report.antenna && report.power && c.outcome == CalibrationOutcome::Calibrated &&
        c.afterCut && c.afterCut->impedanceAtDesign.real() > 0.0) {
        const AntennaCheck& check = *report.antenna;
        const AntennaResult& hung =
            report.power->trimmed && check.trimmed ? *check.trimmed : check.built;
        report.power->sweptFeedResistance = c.afterCut->impedanceAtDesign.real();
        report.power->swept = powerOf(report, hung, report.power->sweptFeedResistance);
    }
    // The coil to wind must hold the power in the antenna as swept, and say what it radiates
    // there were the sweep's extra resistance loss.
    if (report.power && (report.power->swept || report.measured->radiatedIfLoss)) {
        report.coilToWind = coilToWind(report);
    }
    return std::nullopt;
}

} // namespace brevan::check
