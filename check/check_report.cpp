#include "check_report.h"

#include "coil/coil_impedance.h"
#include "coil/physics.h"

#include "general_format.h"
#include "loading_coil.h"
#include "locale_number.h"
#include "range_limits.h"
#include "report/report_format.h"
#include "wire_gauge_table.h"

#include <cmath>

namespace brevan::check {
namespace {

// Below this the coil's own resonance pulls its effective inductance noticeably.
constexpr double kSelfResonanceMargin = 3.0;
// Beyond this many turns no single-layer loading coil is realistic, and the turn counts stay
// well inside an int.
constexpr double kMostTurns = 100000;
// A difference the trim easily takes up; beyond it the report suggests other turns.
constexpr double kTurnsAdviceShare = 0.02;

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
    const double wire = design.coilWireDiameterInch * kMetresPerInch;
    wound.coil.turns = design.turns;
    wound.coil.wireDiameter = wire;
    wound.coil.pitch = in.pitchMm ? *in.pitchMm / 1000 : wire;
    wound.coil.meanDiameter = in.formerMm / 1000 + wire;
    wound.lengthOverDiameter = sheetLength(wound.coil) / wound.coil.meanDiameter;
    wound.nagaoka = nagaokaCoefficient(1 / wound.lengthOverDiameter);
    wound.rosaSelf = rosaSelfCorrection(wound.coil.pitch, wire);
    wound.rosaMutual = rosaMutualCorrection(wound.coil.turns);
    wound.currentSheet = currentSheetInductance(wound.coil);
    wound.inductance = asWoundInductance(wound.coil);
    wound.wheeler = wheelerInductance(wound.coil);
    const double target = design.inductanceUh * 1e-6;
    wound.differencePercent = (wound.inductance - target) / target * 100;
    wound.closestTurns = closestTurns(wound.coil, target);
    WoundCoil closest = wound.coil;
    closest.turns = wound.closestTurns;
    wound.closestTurnsInductance = asWoundInductance(closest);
    wound.shortForWheeler = wound.lengthOverDiameter < 0.4;
    return wound;
}

CoilLosses coilLosses(const CheckInputs& in, const CoilAsWound& wound) {
    CoilLosses losses;
    const double frequency = in.frequencyMHz * 1e6;
    losses.skinDepth = skinDepth(frequency);
    losses.resistance = coilResistance(wound.coil, frequency);
    losses.reactance = 2 * kPi * frequency * wound.inductance;
    losses.estimatedQ = losses.reactance / losses.resistance.acResistance;
    losses.qGiven = in.coilQ.has_value();
    losses.q = in.coilQ.value_or(losses.estimatedQ);
    losses.seriesResistance = losses.reactance / losses.q;
    losses.selfCapacitance = selfCapacitance(wound.coil);
    losses.selfResonance = selfResonantFrequency(wound.inductance, losses.selfCapacitance);
    return losses;
}

CutList cutList(const CheckInputs& in, const CoilAsWound& wound, std::optional<double> tip) {
    CutListInput cut;
    cut.length = in.lengthM;
    cut.coilDistance = in.distanceM;
    cut.windingLength = sheetLength(wound.coil);
    cut.windingWire = windingWireLength(wound.coil);
    cut.tipChange = tip;
    return makeCutList(cut);
}

// The window's advisory range checks, in plain words.
std::vector<std::string> rangeWarnings(const CheckInputs& in, const WindowDesign& design) {
    std::vector<std::string> out;
    if (frequencyOutsideHf(in.frequencyMHz)) {
        out.push_back("The design frequency " + formatDouble(in.frequencyMHz, ".") +
                      " MHz is outside the HF range (1 to 30 MHz) the design formula is made for.");
    }
    const std::optional<float> maxLength = maxLengthFeet(in.frequencyMHz);
    if (maxLength && isAboveLimit(static_cast<float>(design.lengthAFeet), *maxLength)) {
        out.push_back("A (" + number(design.lengthAFeet, 2) +
                      " ft) is longer than nine tenths of a half wave at this frequency (" +
                      number(*maxLength, 0) +
                      " ft): a loaded dipole only makes sense when it is shorter than that; "
                      "consider a full-size dipole.");
    }
    const double minLength = minLengthFeet(design.distBFeet);
    if (isBelowLimit(design.lengthAFeet, minLength)) {
        out.push_back("A (" + number(design.lengthAFeet, 2) + " ft) is shorter than 2.6 x B (" +
                      number(minLength, 2) +
                      " ft): the coils sit too far out. Make A longer or B shorter.");
    }
    const std::optional<float> maxDist = maxDistanceFeet(design.lengthAFeet);
    if (maxDist && isAboveLimit(static_cast<float>(design.distBFeet), *maxDist)) {
        out.push_back("B (" + number(design.distBFeet, 2) + " ft) is more than four tenths of A (" +
                      number(*maxDist, 0) + " ft). Make B shorter.");
    }
    return out;
}

std::vector<std::string> coilWarnings(const CheckReport& report) {
    std::vector<std::string> out;
    const CoilAsWound& coil = report.coil;
    const double frequency = report.inputs.frequencyMHz * 1e6;
    const double selfResonance = report.losses.selfResonance;
    const std::string srf = significant(selfResonance / 1e6, 3) + " MHz";
    if (selfResonance <= frequency) {
        out.push_back("The coil resonates by itself at " + srf +
                      ", below the design frequency: there it acts as a capacitor, not as a "
                      "loading coil. Use fewer turns on a larger former, or spaced turns.");
    } else if (selfResonance < kSelfResonanceMargin * frequency) {
        out.push_back("The coil's self-resonance (" + srf +
                      ") is less than three times the design frequency: its self-capacitance "
                      "raises the inductance it shows at " +
                      formatDouble(report.inputs.frequencyMHz, ".") + " MHz and adds loss.");
    }
    if (coil.shortForWheeler) {
        out.push_back("The coil is shorter than 0.4 of its diameter, where Wheeler's formula of "
                      "step 2 loses its accuracy; the as-wound figure does not.");
    }
    if (report.cut.coilReachesCentre) {
        out.push_back("The coil is longer than twice B, so it reaches the centre: no inner wire "
                      "is left. Make B larger or the coil shorter.");
    }
    if (report.cut.coilReachesTip) {
        out.push_back("The coil reaches past the tip: no outer wire is left. Make A longer or B "
                      "shorter.");
    }
    return out;
}

std::string coilVerdict(const CheckReport& report) {
    const CoilAsWound& coil = report.coil;
    std::string line = "Wound as planned, " + turnsText(report.design.turns) + " give " +
                       number(coil.inductance * 1e6, 3) + " uH, " +
                       number(std::abs(coil.differencePercent), 1) + " % " +
                       (coil.differencePercent < 0 ? "less" : "more") + " than step 1's " +
                       number(report.design.inductanceUh, 3) + " uH.";
    if (std::abs(coil.differencePercent) > kTurnsAdviceShare * 100 &&
        coil.closestTurns != static_cast<int>(report.design.turns)) {
        line += " " + turnsText(coil.closestTurns) + " come closest (" +
                number(coil.closestTurnsInductance * 1e6, 3) + " uH).";
    }
    return line;
}

std::string percentFrom(double value, double reference) {
    const double percent = (value - reference) / reference * 100;
    return number(std::abs(percent), 1) + " % " + (percent < 0 ? "below" : "above");
}

std::string bandText(const SwrBand& band) {
    if (!band.lowerMHz || !band.upperMHz) {
        return "its 2:1 SWR band (the SWR does not fall to 2 on both sides of resonance)";
    }
    return "its 2:1 SWR band (" + number(*band.lowerMHz, 3) + " to " + number(*band.upperMHz, 3) +
           " MHz)";
}

// The trim in words: how much wire, or why no trim reaches F.
std::string trimVerdict(const CheckReport& report, const AntennaCheck& check) {
    const std::string f = formatDouble(report.inputs.frequencyMHz, ".");
    const Trim& trim = check.trim;
    if (trim.outcome != TrimOutcome::Reached || !check.trimmed) {
        return "No trim of the tips reaches " + f + " MHz.";
    }
    const double cm = trim.tipChange * 100;
    const std::string length = "(total length " + number(trim.trimmedLength, 2) + " m)";
    const std::string resonance = check.trimmed->resonanceMHz
                                      ? number(*check.trimmed->resonanceMHz, 3) + " MHz"
                                      : std::string("no frequency within 30 %");
    const std::string change =
        std::abs(cm) < 0.5 ? std::string("No trim is needed")
                           : std::string(cm > 0 ? "Add " : "Cut ") + number(std::abs(cm), 0) +
                                 " cm of wire " + (cm > 0 ? "to" : "from") + " each tip " + length;
    return change + ", then cut each tip " + number(report.cut.tipSpare * 100, 0) +
           " cm long and trim it to the lowest SWR. Trimmed, it resonates at " + resonance +
           " with an SWR of " + number(check.trimmed->designSwr, 1) + " at " + f + " MHz.";
}

// What the full-wave check means for the builder, in a few sentences.
std::vector<std::string> antennaVerdict(const CheckReport& report, const AntennaCheck& check) {
    std::vector<std::string> out;
    const double f = report.inputs.frequencyMHz;
    const AntennaResult& built = check.built;
    if (!built.resonanceMHz) {
        out.push_back("As built, the antenna has no resonance within 30 % of " +
                      formatDouble(f, ".") + " MHz; the SWR at " + formatDouble(f, ".") +
                      " MHz is " + number(built.designSwr, 1) + ".");
    } else {
        out.push_back("As built, the antenna resonates at " + number(*built.resonanceMHz, 3) +
                      " MHz, " + percentFrom(*built.resonanceMHz, f) + " the design frequency of " +
                      formatDouble(f, ".") + " MHz.");
        out.push_back(formatDouble(f, ".") + " MHz lies " +
                      (inBand(built.band, f) ? "inside" : "outside") + " " + bandText(built.band) +
                      "; the SWR there is " + number(built.designSwr, 1) + ".");
    }
    out.push_back(trimVerdict(report, check));
    const NeededCoil& needed = check.neededCoil;
    if (needed.outcome != CoilOutcome::Found) {
        out.push_back("No loading coil can bring it to " + formatDouble(f, ".") +
                      " MHz at the designed length, whatever its inductance.");
        return out;
    }
    const double omega = 2 * kPi * f * 1e6;
    std::string coil = "Or keep the length and give each coil " +
                       number(needed.apparentInductance * 1e6, 2) +
                       " uH: " + turnsText(needed.turns) + " come closest (" +
                       number(needed.turnsAtDesign.imag() / omega * 1e6, 2) + " uH)";
    if (needed.turnsResonanceMHz) {
        coil += " and resonate at " + number(*needed.turnsResonanceMHz, 3) + " MHz";
    }
    out.push_back(coil + ".");
    return out;
}

std::vector<std::string> antennaWarnings(const CheckReport& report, const AntennaCheck& check) {
    std::vector<std::string> out;
    const double f = report.inputs.frequencyMHz;
    if (check.built.resonanceMHz && !inBand(check.built.band, f)) {
        out.push_back("Cut to the calculated length, the antenna will not be usable at " +
                      formatDouble(f, ".") + " MHz until it is trimmed (SWR " +
                      number(check.built.designSwr, 1) + ").");
    }
    if (check.built.designEfficiency < 0.5) {
        out.push_back("Only " + number(check.built.designEfficiency * 100, 0) +
                      " % of the power is radiated: the coils' losses are large. A thicker coil "
                      "wire, a larger former or coils further out help.");
    }
    return out;
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
    report.cut = cutList(inputs, report.coil, std::nullopt);
    report.warnings = rangeWarnings(inputs, report.design);
    for (std::string& warning : coilWarnings(report)) {
        report.warnings.push_back(std::move(warning));
    }
    report.verdict.push_back(coilVerdict(report));
    return report;
}

CoilImpedance coilOfTurns(const CheckReport& report, int turns) {
    const WoundCoil coil = withTurns(report.coil.coil, turns);
    const std::optional<double> q =
        report.losses.qGiven ? std::optional<double>(report.losses.q) : std::nullopt;
    return [coil, q](double frequency) { return coilImpedance(coil, frequency, q); };
}

std::optional<AntennaCheckFailure> addAntennaCheck(CheckReport& report, const Engine& engine,
                                                   const Progress& progress) {
    const CheckInputs& in = report.inputs;
    AntennaCheckInput input;
    input.designMHz = in.frequencyMHz;
    input.length = in.lengthM;
    input.coilDistance = in.distanceM;
    input.wireDiameter = report.design.wireDiameterInch * kMetresPerInch;
    const double designed = report.design.inductanceUh * 1e-6;
    input.designed = [designed](double frequency) {
        return std::complex<double>(0.0, 2 * kPi * frequency * designed);
    };
    input.built = coilOfTurns(report, static_cast<int>(report.design.turns));
    input.ground = in.ground;
    input.coilOfTurns = [report](int turns) { return coilOfTurns(report, turns); };
    input.builtTurns = static_cast<int>(report.design.turns);

    std::variant<AntennaCheck, AntennaCheckFailure> result = checkAntenna(input, engine, progress);
    if (auto* failure = std::get_if<AntennaCheckFailure>(&result)) {
        return *failure;
    }
    const AntennaCheck& check = std::get<AntennaCheck>(result);
    report.cut = cutList(in, report.coil, check.trim.tipChange);
    report.antenna = check;
    for (std::string& line : antennaVerdict(report, check)) {
        report.verdict.push_back(std::move(line));
    }
    for (std::string& line : antennaWarnings(report, check)) {
        report.warnings.push_back(std::move(line));
    }
    return std::nullopt;
}

} // namespace brevan::check
