#include "report/advice.h"

#include "coil/physics.h"
#include "cut_list.h"
#include "general_format.h"
#include "range_limits.h"
#include "report/report_format.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {
namespace {

// Below this the coil's own resonance pulls its effective inductance noticeably.
constexpr double kSelfResonanceMargin = 3.0;
// A difference the trim easily takes up; beyond it the report suggests other turns.
constexpr double kTurnsAdviceShare = 0.02;
// Coils whose outer wire is less than this share of each half sit close to the tips.
constexpr double kNearTipShare = 0.25;
// The SWR at which an antenna counts as usable on the feed line.
constexpr double kUsableSwr = 2.0;

// ---- words shared by several sentences ----

// The design frequency as it was given: "7.05 MHz".
std::string designText(const CheckReport& report) {
    return formatDouble(report.inputs.frequencyMHz, ".") + " MHz";
}

std::string verb(double count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

std::string percentFrom(double value, double reference) {
    const double percent = (value - reference) / reference * 100;
    return number(std::abs(percent), 1) + " % " + (percent < 0 ? "below" : "above");
}

std::string resonanceOf(const AntennaResult& result) {
    return resonanceText(*result.resonanceMHz, result.resonanceUncertainty);
}

// The SWR at resonance on the feed line: the least the antenna can show, however it is trimmed.
double resonanceSwr(const AntennaResult& result) {
    return swr(std::complex<double>{result.resonanceResistance, 0.0});
}

bool mismatchedAtResonance(const AntennaResult& result) {
    return result.resonanceMHz && resonanceSwr(result) > kUsableSwr;
}

// "12 ohm at resonance keeps the SWR at 4.1 on 50 ohm"
std::string mismatchText(const AntennaResult& result, double swrShown) {
    return significant(result.resonanceResistance, 3) + " ohm at resonance keeps the SWR at " +
           swrText(swrShown) + " on " + number(kReferenceImpedance, 0) + " ohm";
}

std::string bandEdges(const SwrBand& band, double designMHz) {
    const std::string lower = band.lowerMHz
                                  ? number(*band.lowerMHz, 3)
                                  : "below " + number(designMHz * (1 - kResonanceWindow), 3);
    const std::string upper = band.upperMHz
                                  ? number(*band.upperMHz, 3)
                                  : "above " + number(designMHz * (1 + kResonanceWindow), 3);
    return lower + " to " + upper + " MHz";
}

// "14 turns of SWG 18 on a 32 mm former, close-wound, 25.1 mm long"
std::string coilText(const CoilAlternative& c) {
    const std::string wire =
        c.gauge == 0 ? std::string("your wire") : "SWG " + std::to_string(c.gauge);
    const bool closeWound = c.coil.pitch <= c.coil.wireDiameter * 1.001;
    return turnsText(c.coil.turns) + " of " + wire + " on a " +
           significant(c.formerDiameter * 1000, 2) + " mm former, " +
           (closeWound ? std::string("close-wound")
                       : "at a " + number(c.coil.pitch * 1000, 2) + " mm pitch") +
           ", " + number(c.windingLength * 1000, 1) + " mm long";
}

// ---- the coil ----

std::string coilVerdict(const CheckReport& report) {
    const CoilAsWound& coil = report.coil;
    const double turns = report.design.turns;
    std::string line = "Wound as planned, " + turnsText(turns) + " " +
                       verb(turns, "gives", "give") + " " + number(coil.inductance * 1e6, 3) +
                       " uH, " + number(std::abs(coil.differencePercent), 1) + " % " +
                       (coil.differencePercent < 0 ? "less" : "more") + " than step 1's " +
                       number(report.design.inductanceUh, 3) + " uH.";
    // What the antenna works with: the winding at F with its self-capacitance across it.
    const CoilLosses& losses = report.losses;
    if (losses.apparentInductance > 0.0) {
        line += " At " + formatDouble(report.inputs.frequencyMHz, ".") +
                " MHz, with its self-capacitance, each coil looks like " +
                number(losses.apparentInductance * 1e6, 3) + " uH to the antenna.";
    }
    if (std::abs(coil.differencePercent) > kTurnsAdviceShare * 100 &&
        coil.closestTurns != static_cast<int>(turns)) {
        line += " " + turnsText(coil.closestTurns) + " " +
                verb(coil.closestTurns, "comes", "come") + " closest (" +
                number(coil.closestTurnsInductance * 1e6, 3) + " uH).";
    }
    return line;
}

bool coilSelfResonates(const CheckReport& report) {
    return report.losses.selfResonance <= report.inputs.frequencyMHz * 1e6;
}

std::string selfResonanceText(const CheckReport& report) {
    return significant(report.losses.selfResonance / 1e6, 3) + " MHz";
}

// The window's advisory range checks.
std::vector<std::string> rangeWarnings(const CheckReport& report) {
    std::vector<std::string> out;
    const CheckInputs& in = report.inputs;
    const WindowDesign& design = report.design;
    if (frequencyOutsideHf(in.frequencyMHz)) {
        out.push_back("The design frequency " + designText(report) +
                      " is outside the HF range (1 to 30 MHz) the design formula is made for.");
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
    const double frequency = report.inputs.frequencyMHz * 1e6;
    if (coilSelfResonates(report)) {
        out.push_back("The coil resonates by itself at " + selfResonanceText(report) +
                      ", at or below the design frequency: there it acts as a capacitor, not as "
                      "a loading coil, so the coil must change.");
    } else if (report.losses.selfResonance < kSelfResonanceMargin * frequency) {
        out.push_back("The coil's self-resonance (" + selfResonanceText(report) +
                      ") is less than three times the design frequency: its self-capacitance "
                      "raises the inductance it shows at " +
                      designText(report) + " and adds loss.");
    }
    if (report.coil.shortForWheeler) {
        out.push_back("The coil is shorter than 0.4 of its diameter, where Wheeler's formula of "
                      "step 2 loses its accuracy; the as-wound figure does not.");
    }
    if (report.cut.coilReachesCentre) {
        out.push_back("The coil is longer than twice B, so it reaches the centre: no inner wire "
                      "is left. Make B larger or the coil shorter, or give B = 0 to put both "
                      "coils at the feed point.");
    }
    if (report.cut.coilReachesTip) {
        out.push_back("The coil reaches past the tip: no outer wire is left. Make A longer or B "
                      "shorter.");
    }
    return out;
}

// ---- the antenna ----

std::vector<std::string> builtVerdict(const CheckReport& report, const AntennaResult& built) {
    const std::string f = designText(report);
    if (!built.resonanceMHz) {
        return {"As built, the antenna has no resonance within 30 % of " + f + ": the SWR at " + f +
                " is " + swrText(built.designSwr) + ", and it cannot be used as it is."};
    }
    std::vector<std::string> out{"As built, the antenna resonates at " + resonanceOf(built) + ", " +
                                 percentFrom(*built.resonanceMHz, report.inputs.frequencyMHz) +
                                 " the design frequency of " + f + "."};
    if (mismatchedAtResonance(built)) {
        out.push_back("Its " + mismatchText(built, resonanceSwr(built)) +
                      ", so it has no 2:1 SWR band; the SWR at " + f + " is " +
                      swrText(built.designSwr) + ".");
    } else {
        out.push_back(f + " lies " +
                      (inBand(built.band, report.inputs.frequencyMHz) ? "inside" : "outside") +
                      " its 2:1 SWR band (" + bandEdges(built.band, report.inputs.frequencyMHz) +
                      "); the SWR there is " + swrText(built.designSwr) + ".");
    }
    return out;
}

std::string lengthText(double length) {
    return "(total length " + number(length, 2) + " m)";
}

// Where the antenna resonates at the end of what a trim can do.
std::string limitResonance(const CheckReport& report, const Trim& trim) {
    return trim.limitResonanceMHz ? "it resonates at " + number(*trim.limitResonanceMHz, 3) + " MHz"
                                  : "it has no resonance within 30 % of " + designText(report);
}

std::string reachedVerdict(const CheckReport& report, const AntennaCheck& check) {
    const std::string f = designText(report);
    const Trim& trim = check.trim;
    const double cm = trim.tipChange * 100;
    const std::string length = lengthText(trim.trimmedLength);
    std::string line = std::abs(cm) < 0.5
                           ? std::string("No trim is needed")
                           : std::string(cm > 0 ? "Add " : "Cut ") + number(std::abs(cm), 0) +
                                 " cm of wire " + (cm > 0 ? "to" : "from") + " each tip " + length;
    line += ", then cut each tip " + number(report.cut.tipSpare * 100, 0) +
            " cm long and trim it to the lowest SWR.";
    if (!check.trimmed || !check.trimmed->resonanceMHz) {
        return line;
    }
    const AntennaResult& trimmed = *check.trimmed;
    line += " Trimmed, it resonates at " + resonanceOf(trimmed);
    if (trimmed.designSwr > kUsableSwr) {
        return line + ", but its " + mismatchText(trimmed, trimmed.designSwr) +
               ": it needs a matching network or transformer.";
    }
    return line + " with an SWR of " + swrText(trimmed.designSwr) + " at " + f + ".";
}

// The trim in words: how much wire, or why no trim reaches F.
std::string trimVerdict(const CheckReport& report, const AntennaCheck& check) {
    const std::string f = designText(report);
    const Trim& trim = check.trim;
    const std::string noTrim = "No trim of the tips reaches " + f + ": ";
    switch (trim.outcome) {
    case TrimOutcome::Reached: return reachedVerdict(report, check);
    case TrimOutcome::CoilsInTheWay: {
        // The search stops a joint beyond each coil's end, or further out where the model
        // cannot follow the tip in any more.
        const double beyond = report.cut.outerWire + (trim.limitLength - report.inputs.lengthM) / 2;
        const std::string cm = number(beyond * 100, 0) + " cm beyond its coil";
        const std::string limit =
            beyond <= kJointAllowance + 0.005
                ? "each tip cut back to " + cm + ", as short as a joint allows"
                : "each tip cut back to " + cm + ", as short as the model can follow it";
        return noTrim + "even with " + limit + " " + lengthText(trim.limitLength) + ", " +
               limitResonance(report, trim) + ".";
    }
    case TrimOutcome::TooFar:
        return noTrim + "it would take tips more than twice as long as designed, and at that " +
               lengthText(trim.limitLength) + " " + limitResonance(report, trim) + ".";
    case TrimOutcome::NoResonance:
        return "No trim is given: as built, the antenna has no resonance within 30 % of " + f +
               " for a trim to move.";
    case TrimOutcome::CoilResonates: {
        const std::string alternatives = alternativesSentence(report.alternatives);
        return "No trim helps: the coil self-resonates at " + selfResonanceText(report) +
               ", at or below " + f + ", and acts as a capacitor: the coil must change." +
               (alternatives.empty() ? "" : " " + alternatives);
    }
    case TrimOutcome::NotConverged:
        return "The search for the trim ran out of tries before the resonance reached " + f +
               ": at its last try " + lengthText(trim.limitLength) + " " +
               limitResonance(report, trim) +
               ". Cut the tips as designed and trim them on the analyser.";
    }
    return {};
}

// Why the insulated antenna's length cannot be compared with bare wire's.
std::string noComparison(const CheckReport& report, const AntennaCheck& check) {
    const bool insulatedReached = check.trim.outcome == TrimOutcome::Reached;
    return std::string("how much shorter than bare wire it is cut cannot be said, because ") +
           (insulatedReached ? "the same antenna of bare wire" : "the insulated antenna") +
           " cannot be trimmed to " + designText(report);
}

std::string neededCoilVerdict(const CheckReport& report, const AntennaCheck& check) {
    const NeededCoil& coil = check.neededCoil;
    const double frequency = report.inputs.frequencyMHz * 1e6;
    switch (coil.outcome) {
    case CoilOutcome::Found: {
        std::string line =
            "Or keep the length and give each coil " + number(coil.apparentInductance * 1e6, 2) +
            " uH at " + designText(report) + ": " + turnsText(coil.turns) + " " +
            verb(coil.turns, "comes", "come") + " closest (" +
            number(coil.turnsAtDesign.imag() / (2 * kPi * frequency) * 1e6, 2) + " uH)";
        if (coil.turnsResonanceMHz) {
            line += " and " + verb(coil.turns, "resonates", "resonate") + " at " +
                    number(*coil.turnsResonanceMHz, 3) + " MHz";
        }
        return line + ".";
    }
    case CoilOutcome::NoCoilReaches:
        return "No loading coil can bring it to " + designText(report) +
               " at the designed length, whatever its inductance.";
    case CoilOutcome::NotConverged:
        return "The search for a coil that keeps the designed length ran out of tries; no coil "
               "is given.";
    case CoilOutcome::NotSought: return {};
    }
    return {};
}

std::vector<std::string> antennaWarnings(const CheckReport& report, const AntennaCheck& check) {
    std::vector<std::string> out;
    const std::string f = designText(report);
    const double designMHz = report.inputs.frequencyMHz;
    const AntennaResult& built = check.built;
    const bool reached = check.trim.outcome == TrimOutcome::Reached;
    const bool trimmedMismatch = reached && check.trimmed && check.trimmed->designSwr > kUsableSwr;
    if (!built.resonanceMHz) {
        out.push_back("As built, the antenna has no resonance within 30 % of " + f + " (SWR " +
                      swrText(built.designSwr) + " at " + f + "): it cannot be used there.");
    } else if (!inBand(built.band, designMHz)) {
        out.push_back("Cut to the calculated length, the antenna will not be usable at " + f +
                      " (SWR " + swrText(built.designSwr) + ")" +
                      (!reached          ? ", and no trim of the tips helps."
                       : trimmedMismatch ? " until it is trimmed and matched."
                                         : " until it is trimmed."));
    }
    if (trimmedMismatch) {
        out.push_back("Trimmed to resonance, the antenna still shows an SWR of " +
                      swrText(check.trimmed->designSwr) + " at " + f + ": its " +
                      significant(check.trimmed->resonanceResistance, 3) +
                      " ohm at resonance is far from " + number(kReferenceImpedance, 0) +
                      " ohm. Feed it through a matching network or transformer.");
    }
    if (built.designEfficiency < 0.5) {
        out.push_back("The wire and coils turn " + number((1 - built.designEfficiency) * 100, 0) +
                      " % of the power into heat: the coils' losses are large. A thicker coil "
                      "wire or coils further out help.");
    }
    double uncertainty = 0.0;
    for (const AntennaResult* result : {&check.designed, &check.built}) {
        uncertainty =
            std::max(uncertainty, result->resonanceMHz ? result->resonanceUncertainty : 0);
    }
    if (check.trimmed && check.trimmed->resonanceMHz) {
        uncertainty = std::max(uncertainty, check.trimmed->resonanceUncertainty);
    }
    if (uncertainty > kShownUncertainty) {
        // Outer wires of less than a quarter of each half leave few segments between the
        // coils and the tips, where NEC-2's answer converges slowest.
        const bool nearTips = report.cut.outerWire < kNearTipShare * report.inputs.lengthM / 2;
        out.push_back("The model's resonance is uncertain by " + uncertaintyText(uncertainty) +
                      (nearTips ? ": with the coils this close to the tips, NEC-2's answer "
                                : ": NEC-2's answer for a wire with lumped coils ") +
                      "still moves with the number of segments. Trim in small steps and "
                      "measure.");
    }
    const bool settled = check.designed.converged && check.built.converged &&
                         (!check.trimmed || check.trimmed->converged);
    if (!settled) {
        out.push_back("A search of the model ran out of tries: some antenna figures are its last "
                      "try, not a settled answer.");
    }
    return out;
}

std::string componentText(const Component& c) {
    const bool inductor = c.element == Element::Inductor;
    const std::string value =
        inductor ? number(c.value * 1e6, 2) + " uH" : significant(c.value * 1e12, 3) + " pF";
    const std::string what = inductor ? "inductor" : "capacitor";
    switch (c.place) {
    case Place::Series: return "a " + value + " " + what + " in series with the antenna";
    case Place::ShuntLineSide: return "a " + value + " " + what + " across the coax";
    case Place::ShuntAntennaSide: return "a " + value + " " + what + " across the feed point";
    }
    return value;
}

std::string bandFromTo(const std::optional<double>& low, const std::optional<double>& high) {
    if (low && high) {
        return "its 2:1 band runs from " + number(*low, 3) + " to " + number(*high, 3) + " MHz";
    }
    return "the SWR stays under 2 beyond the swept range on at least one side";
}

// How to match a trimmed antenna whose resistance keeps the SWR up, with the figures it gives.
std::string matchingVerdict(const CheckReport& report, const Matching& m) {
    const std::string f = designText(report);
    const TransformerMatch& t = m.transformer;
    std::string line = "With a 1:" + formatDouble(t.ratio, ".") + " transformer " +
                       (t.stepUp ? "(stepping the antenna up)" : "(stepping the antenna down)") +
                       " the SWR at " + f + " is " + swrText(t.swrAtDesign) + " and " +
                       bandFromTo(t.lowerMHz, t.upperMHz) + ".";
    if (m.network) {
        const LNetwork& n = *m.network;
        line += " Or an L-network at the feed point, exact at " + f + ": " +
                componentText(n.series) +
                (n.shunt.value > 0.0 ? " and " + componentText(n.shunt) : std::string()) + "; " +
                bandFromTo(n.lowerMHz, n.upperMHz) + ".";
    }
    return line;
}

} // namespace

std::string alternativesSentence(const CoilAlternatives& alternatives) {
    const std::vector<CoilAlternative>& coils = alternatives.coils;
    if (coils.empty()) {
        if (!alternatives.highestResonance) {
            return {};
        }
        const CoilAlternative& best = *alternatives.highestResonance;
        return "No coil of the usual formers and wires with this inductance self-resonates at "
               "three times F or more; the highest, " +
               coilText(best) + ", self-resonates at " + significant(best.selfResonance / 1e6, 3) +
               " MHz. Coils nearer the feed point, or a longer antenna, need less inductance.";
    }
    std::string line = coils.size() == 1 ? "A coil that would do: " : "Coils that would do: ";
    for (std::size_t i = 0; i < coils.size(); ++i) {
        const CoilAlternative& c = coils[i];
        line += (i == 0                  ? ""
                 : i + 1 == coils.size() ? "; or "
                                         : "; ") +
                coilText(c) + " (" + number(c.apparentInductance * 1e6, 2) +
                " uH at F, self-resonance " + significant(c.selfResonance / 1e6, 3) + " MHz, Q " +
                number(c.q, 0) + ")";
    }
    return line + ".";
}

// ---- the antenna as measured ----

namespace {

// The measured SWR minimum within this share of F is "at F": less than a centimetre of most tips.
constexpr double kAtDesignShare = 0.001;

std::string mhz3(double value) {
    return number(value, 3) + " MHz";
}

std::string ohmText(double value) {
    return significant(value, 3) + " ohm";
}

// "6.912 MHz (the reactance's zero at the feed point)"
std::string measuredResonanceText(const MeasuredReport& m) {
    return mhz3(m.calibration.calibrationMHz) +
           (m.calibration.fromSwrMinimum
                ? " (worked out from the SWR minimum at " + mhz3(m.sweep.analysis.swrMinimumMHz) +
                      ")"
                : std::string(" (the reactance's zero at the feed point)"));
}

// "cut 3 cm from each tip"
std::string cutText(double tipChange) {
    const double cm = tipChange * 100;
    return std::string(cm > 0 ? "add " : "cut ") + number(std::abs(cm), 0) + " cm " +
           (cm > 0 ? "to" : "from") + " each tip";
}

// "an SWR of 1.2 at 7.05 MHz at the feed point (1.3 at the analyser, through the feed line)"
std::string expectedSwrText(const CheckReport& report, const AfterCut& after) {
    std::string line = "an SWR of " + swrText(after.swrAtDesign) + " at " + designText(report) +
                       " at the feed point";
    if (after.swrAtDesignAtAnalyser) {
        line += " (" + swrText(*after.swrAtDesignAtAnalyser) +
                " at the analyser, through the feed line)";
    }
    return line;
}

std::string calibratedVerdict(const CheckReport& report, const MeasuredReport& m) {
    const Calibration& c = m.calibration;
    const std::string f = designText(report);
    if (!c.cutLowersSwr) {
        const SweepAnalysis& a = m.sweep.analysis;
        const bool atDesign =
            a.swrMinimumSpanned &&
            std::abs(a.swrMinimumMHz / report.inputs.frequencyMHz - 1.0) <= kAtDesignShare;
        return std::string("As measured, ") +
               (atDesign ? "the lowest SWR is already at " + f + ": do not cut. No"
                         : "no cut lowers the SWR at " + f + ": do not cut. No") +
               " change of each tip by whole centimetres lowers the SWR at " + f +
               " in the model calibrated to the sweep.";
    }
    std::string line = "As measured, the antenna resonates at " + measuredResonanceText(m) + ": " +
                       cutText(c.tipChange) +
                       " of the antenna as it hangs, for the lowest SWR at " + f + ".";
    if (c.afterCut) {
        const AfterCut& after = *c.afterCut;
        line += " Then expect " + expectedSwrText(report, after);
        if (after.resonanceMHz) {
            line += ", with the reactance's zero at " + mhz3(*after.resonanceMHz) + " and " +
                    ohmText(after.resistanceOhm) + " there";
        }
        line += ".";
    }
    return line;
}

std::string sweepSpan(const MeasuredReport& m) {
    const MeasuredSweep& s = m.sweep.atFeed.atFeed;
    const bool swrOnly = s.kind == SweepKind::SwrOnly;
    const double low = swrOnly ? s.swr.front().frequencyMHz : s.impedance.front().frequencyMHz;
    const double high = swrOnly ? s.swr.back().frequencyMHz : s.impedance.back().frequencyMHz;
    return number(low, 3) + " to " + number(high, 3) + " MHz";
}

std::string feedLineNote(const MeasuredReport& m) {
    const bool swrOnly = m.sweep.atAnalyser.kind == SweepKind::SwrOnly;
    const std::string rule = "a lossless line does not move the SWR minimum, but it turns the "
                             "impedance, so the reactance's zero moves";
    const CalibrationBasis basis = m.calibration.basis;
    if (!m.sweep.feedLine &&
        (basis == CalibrationBasis::ZeroMoved || basis == CalibrationBasis::NoZero)) {
        return "No feed line was given. Give --feedline-length and --feedline-vf (and "
               "--feedline-loss) of the coax the sweep was made through, and the check takes "
               "the line out: the reactance's zero at the feed point can then be used as well.";
    }
    if (!m.sweep.feedLine) {
        return swrOnly ? "Taken as measured at the feed point. An SWR minimum stays where it is "
                         "through coax (" +
                             rule + "), but the line's loss makes the SWR look lower."
                       : "Taken as measured at the feed point. If it was swept at the end of the "
                         "coax, give --feedline-length and --feedline-vf: " +
                             rule + ".";
    }
    const FeedLine& line = *m.sweep.feedLine;
    std::string out = "The feed line (" + number(line.lengthM, 2) + " m, velocity factor " +
                      number(line.velocityFactor, 2) + ", " + number(line.lossDbPer100mAtF, 1) +
                      " dB per 100 m at F) is taken out of the sweep: " + rule + ".";
    if (m.sweep.atFeed.lossOnly) {
        out += " The sweep gives only the SWR, with no phase to turn back, so only the line's "
               "loss is taken out.";
    }
    if (m.sweep.atFeed.pointsBeyondLoss > 0) {
        out += " At " + std::to_string(m.sweep.atFeed.pointsBeyondLoss) +
               " points the line's loss is more than the measured return loss: the loss given "
               "is too high, or the sweep is noisy there.";
    }
    return out;
}

// "the 41.7 ohm an SWR of 1.2 implies (or 60.0 ohm: ...)"
std::string impliedResistance(const SweepAnalysis& a, double resistance) {
    const double other = resistance < kReferenceImpedance ? kReferenceImpedance * a.minimumSwr
                                                          : kReferenceImpedance / a.minimumSwr;
    return "the " + ohmText(resistance) + " its lowest SWR of " + swrText(a.minimumSwr) +
           " implies at resonance (or " + ohmText(other) +
           ": an SWR does not tell on which side of " + number(kReferenceImpedance, 0) +
           " ohm; the one nearer the model's is taken)";
}

// Why the model is calibrated on the SWR minimum, when it is.
std::string basisNote(const MeasuredReport& m) {
    const SweepAnalysis& a = m.sweep.analysis;
    const Calibration& c = m.calibration;
    const std::string minimum = swrText(a.minimumSwr) + " at " + mhz3(a.swrMinimumMHz);
    switch (c.basis) {
    case CalibrationBasis::ReactanceZero: return {};
    case CalibrationBasis::SwrOnly:
        return "The sweep gives only the SWR, so the model is calibrated on its minimum at " +
               mhz3(a.swrMinimumMHz) +
               ", which lies near, not exactly at, the resonance (a sweep with R and X, or S11, "
               "says it exactly), and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    case CalibrationBasis::ZeroMoved:
        return "The reactance's zero (" + mhz3(*a.resonanceMHz) + ", " + ohmText(*a.resistanceOhm) +
               ", where the SWR is " + swrText(*a.resonanceSwr) +
               ") lies away from the lowest SWR (" + minimum +
               "). With no feed line given, the sweep is taken to have been made through coax: "
               "through a line of unknown length the reactance's zero moves, but the frequency "
               "of the SWR minimum does not. So the SWR minimum is trusted: the model is "
               "calibrated on it and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    case CalibrationBasis::NoZero:
        return "The sweep shows no reactance zero near F, but its SWR minimum (" + minimum +
               "): through coax the reactance's zero moves, the SWR minimum does not. The model "
               "is calibrated on that minimum and on " +
               impliedResistance(a, c.measuredResistance) + ".";
    }
    return {};
}

std::string calibrationNote(const MeasuredReport& m) {
    const Calibration& c = m.calibration;
    const double cm = c.correction * 100;
    std::string line = "To resonate where the antenna did, the model needs each tip " +
                       number(std::abs(cm), 1) + " cm " + (cm < 0 ? "shorter" : "longer") +
                       " than designed. That stands for what the model does not know: the "
                       "height and surroundings, the wire's insulation, or tips already cut "
                       "otherwise. To have the antenna's " +
                       ohmText(c.measuredResistance) + " at resonance, where the model has " +
                       ohmText(c.modelResistance) + ", it takes " +
                       ohmText(std::abs(c.seriesLoss)) +
                       (c.seriesLoss < 0 ? " off the resistance at its feed point"
                                         : " of loss in series with its feed point") +
                       ". The cut is worked out on the model so calibrated.";
    return line;
}

std::string resistanceNote(const MeasuredReport& m) {
    const Calibration& c = m.calibration;
    const std::string how = c.basis == CalibrationBasis::ReactanceZero
                                ? "At resonance the antenna measured "
                                : "At resonance the lowest SWR implies ";
    return how + ohmText(c.measuredResistance) + " where the model has " +
           ohmText(c.modelResistance) + ", more than " + number(kResistanceTolerance * 100, 0) +
           " % apart. That usually means losses the model does not have (joints, the coils, "
           "the ground), the feed line radiating (current on the outside of the coax; a choke "
           "at the feed point stops it) or an object near the antenna; the sweep cannot tell "
           "which. The calibrated model carries the difference at its feed point, so the cut "
           "and what to expect after it allow for it.";
}

std::vector<std::string> sweepWarnings(const CheckReport& report, const MeasuredReport& m) {
    std::vector<std::string> out;
    const SweepAnalysis& a = m.sweep.analysis;
    if (hasWarning(a, SweepWarning::LowerEdgeNotSpanned)) {
        out.push_back("The sweep starts where the SWR is still below 2: the 2:1 band runs past "
                      "its start, and its lower edge is not measured.");
    }
    if (hasWarning(a, SweepWarning::UpperEdgeNotSpanned)) {
        out.push_back("The sweep ends where the SWR is still below 2: the 2:1 band runs past "
                      "its end, and its upper edge is not measured.");
    }
    if (hasWarning(a, SweepWarning::DesignOutsideSweep)) {
        out.push_back("The sweep (" + sweepSpan(m) + ") does not reach " + designText(report) +
                      ": the SWR there is not measured.");
    }
    return out;
}

} // namespace

std::string measuredVerdict(const CheckReport& report) {
    if (!report.measured) {
        return {};
    }
    const MeasuredReport& m = *report.measured;
    const Calibration& c = m.calibration;
    const std::string f = designText(report);
    switch (c.outcome) {
    case CalibrationOutcome::Calibrated: return calibratedVerdict(report, m);
    case CalibrationOutcome::NoMeasuredResonance: {
        std::string line = "The sweep (" + sweepSpan(m) +
                           ") shows neither the reactance's zero nor the bottom of the SWR dip";
        if (report.antenna && report.antenna->built.resonanceMHz) {
            line +=
                "; the model puts the resonance at " + mhz3(*report.antenna->built.resonanceMHz);
        }
        return line + ": no cut can be worked out from it. Sweep again over a wider range.";
    }
    case CalibrationOutcome::NoModelResonance:
        return "The model of the antenna as built has no resonance within 30 % of " + f +
               " to calibrate to the sweep, so no cut is worked out from it.";
    case CalibrationOutcome::OutOfReach:
        return "No change of the model's tips makes it resonate at " + mhz3(c.calibrationMHz) +
               ", where the antenna measured: the sweep and the design do not fit. Check the "
               "coils and the figures given.";
    case CalibrationOutcome::CutOutOfReach:
        return "As measured, the antenna resonates at " + measuredResonanceText(m) +
               ", and no trim of its tips brings the lowest SWR to " + f +
               ": the coils must change.";
    case CalibrationOutcome::NotConverged:
        return "The search for the cut from the sweep ran out of tries; trim the tips on the "
               "analyser.";
    }
    return {};
}

std::vector<std::string> measuredNotes(const CheckReport& report) {
    std::vector<std::string> out;
    if (!report.measured) {
        return out;
    }
    const MeasuredReport& m = *report.measured;
    const Calibration& c = m.calibration;
    const bool calibrated = c.outcome == CalibrationOutcome::Calibrated;
    const bool resonanceFound = calibrated || c.outcome == CalibrationOutcome::CutOutOfReach;
    if (const std::string basis = basisNote(m); resonanceFound && !basis.empty()) {
        out.push_back(basis);
    }
    if (calibrated) {
        out.push_back(calibrationNote(m));
    }
    out.push_back(feedLineNote(m));
    if (calibrated && c.resistanceFar) {
        out.push_back(resistanceNote(m));
    }
    if (calibrated && c.cutLowersSwr && c.turns > 0) {
        const int now = static_cast<int>(report.design.turns);
        if (c.turns == now) {
            out.push_back("No whole number of turns on the coils comes closer than the present " +
                          turnsText(now) + ": cut the tips.");
        } else {
            std::string line = "Instead of the cut, " + turnsText(c.turns) + " on each coil (now " +
                               turnsText(now) + ")";
            if (c.turnsResonanceMHz) {
                line += " would put the resonance at " + mhz3(*c.turnsResonanceMHz);
            }
            out.push_back(line + ".");
        }
    }
    for (std::string& line : sweepWarnings(report, m)) {
        out.push_back(std::move(line));
    }
    return out;
}

std::string insulationText(const Insulation& insulation) {
    const double p = insulation.permittivity;
    const char* material = p == kPvcPermittivity            ? "PVC"
                           : p == kPolyethylenePermittivity ? "polyethylene"
                                                            : "insulation";
    return formatDouble(insulation.thickness * 1000, ".") + " mm of " + material +
           " (relative permittivity " + formatDouble(p, ".") + ")";
}

std::string insulationSentence(const CheckReport& report) {
    if (!report.antenna || !report.antenna->insulation) {
        return {};
    }
    const AntennaCheck& check = *report.antenna;
    const InsulationEffect& effect = *check.insulation;
    std::string line = "The antenna wire's " + insulationText(wireInsulation(report.inputs)) +
                       " slows the wave along it like " +
                       significant(effect.inductancePerMetre * 1e9, 3) +
                       " nH of series inductance per metre (Richmond and Newman's sleeve model), "
                       "so ";
    if (effect.shorterTipToTip && effect.shorterPerTip) {
        line += "it is cut " + number(*effect.shorterTipToTip * 100, 0) +
                " cm shorter than bare wire tip to tip, " + number(*effect.shorterPerTip * 100, 0) +
                " cm at each tip";
    } else {
        line += noComparison(report, check);
    }
    return line + ". The enamel on the coil wire is too thin to matter at these frequencies: "
                  "its layer is microns thick and lies within the coil, which the model already "
                  "takes as one lumped coil.";
}

std::string insulationSummary(const CheckReport& report) {
    if (!isInsulated(wireInsulation(report.inputs))) {
        return {};
    }
    if (!report.antenna || !report.antenna->insulation) {
        return "after the full-wave check";
    }
    const InsulationEffect& effect = *report.antenna->insulation;
    if (!effect.shorterTipToTip || !effect.shorterPerTip) {
        return "no figure: a trim does not reach F";
    }
    return number(*effect.shorterTipToTip * 100, 0) + " cm (" +
           number(*effect.shorterPerTip * 100, 0) + " cm each tip)";
}

std::vector<std::string> verdictSentences(const CheckReport& report) {
    std::vector<std::string> out{coilVerdict(report)};
    const bool trimSaysIt =
        report.antenna && report.antenna->trim.outcome == TrimOutcome::CoilResonates;
    if (coilSelfResonates(report) && !trimSaysIt) {
        const std::string alternatives = alternativesSentence(report.alternatives);
        if (!alternatives.empty()) {
            out.push_back(alternatives);
        }
    }
    if (!report.antenna) {
        return out;
    }
    const AntennaCheck& check = *report.antenna;
    for (std::string& line : builtVerdict(report, check.built)) {
        out.push_back(std::move(line));
    }
    out.push_back(trimVerdict(report, check));
    if (check.matching) {
        out.push_back(matchingVerdict(report, *check.matching));
    }
    const std::string coil = neededCoilVerdict(report, check);
    if (!coil.empty()) {
        out.push_back(coil);
    }
    const std::string insulation = insulationSentence(report);
    if (!insulation.empty()) {
        out.push_back(insulation);
    }
    const std::string measured = measuredVerdict(report);
    if (!measured.empty()) {
        out.push_back(measured);
    }
    return out;
}

std::vector<std::string> warningSentences(const CheckReport& report) {
    std::vector<std::string> out = rangeWarnings(report);
    for (std::string& line : coilWarnings(report)) {
        out.push_back(std::move(line));
    }
    if (report.antenna) {
        for (std::string& line : antennaWarnings(report, *report.antenna)) {
            out.push_back(std::move(line));
        }
    }
    return out;
}

std::string trimSummary(const Trim& trim) {
    switch (trim.outcome) {
    case TrimOutcome::Reached:
        return (trim.tipChange >= 0 ? "+" : "") + number(trim.tipChange * 100, 0) +
               " cm, total length " + number(trim.trimmedLength, 3) + " m";
    case TrimOutcome::CoilsInTheWay:
        return "none reaches F: cut back to a joint beyond the coils (" +
               number(trim.limitLength, 3) + " m) it is still low";
    case TrimOutcome::TooFar: return "none reaches F: it would take tips over twice as long";
    case TrimOutcome::NoResonance: return "none: no resonance to move";
    case TrimOutcome::CoilResonates: return "none: the coil self-resonates, it must change";
    case TrimOutcome::NotConverged: return "not found: the search ran out of tries";
    }
    return {};
}

std::string neededCoilSummary(const AntennaCheck& check, double designMHz) {
    const NeededCoil& coil = check.neededCoil;
    switch (coil.outcome) {
    case CoilOutcome::Found: {
        const double frequency = designMHz * 1e6;
        return significant(coil.apparentInductance * 1e6, 3) +
               " uH each coil: " + turnsText(coil.turns) + " (" +
               significant(coil.turnsAtDesign.imag() / (2 * kPi * frequency) * 1e6, 3) +
               " uH), resonance " +
               (coil.turnsResonanceMHz ? number(*coil.turnsResonanceMHz, 3) + " MHz"
                                       : std::string("none within 30 %"));
    }
    case CoilOutcome::NoCoilReaches: return "no coil at B reaches F";
    case CoilOutcome::NotConverged: return "not found: the search ran out of tries";
    case CoilOutcome::NotSought:
        return check.trim.outcome == TrimOutcome::CoilResonates ? "none: the coil must change"
               : check.trim.outcome == TrimOutcome::NoResonance ? "none: no resonance to move"
                                                                : "not sought";
    }
    return {};
}

// ---- where the coils should go ----

std::string studyOutcomeText(StudyOutcome outcome) {
    switch (outcome) {
    case StudyOutcome::Found: return "found";
    case StudyOutcome::NoResonance: return "no coil: no resonance within 30 % to start from";
    case StudyOutcome::NoCoilReaches: return "no coil here puts the antenna on F";
    case StudyOutcome::NotConverged: return "no coil: the search ran out of tries";
    }
    return {};
}

namespace {

// Efficiencies closer than this are the same for a builder: the model's own spread is larger.
constexpr double kCloseEfficiency = 0.005;
constexpr double kCloseBand = 0.03; // relative

std::string metresText(double metres) {
    return number(metres, 2) + " m";
}

// "0.50 m further out than your 2.50 m", "0.50 m nearer the feed than your 2.50 m"
std::string fromUsers(double best, double users) {
    return metresText(std::abs(best - users)) +
           (best > users ? " further out than" : " nearer the feed than") + " your " +
           metresText(users);
}

std::string bandKhz(const SwrBand& band) {
    const auto wide = bandWidth(band);
    return wide ? number(*wide * 1000, 0) + " kHz" : std::string();
}

std::string efficiencySentence(const CoilPositionStudy& study) {
    const StudyPoint& best = study.points[*study.mostEfficient];
    const StudyPoint& users = study.points[study.users];
    const std::string percent = number(best.efficiency * 100, 1) + " %";
    if (*study.mostEfficient == study.users) {
        return "Of the positions studied, your B = " + metresText(users.coilDistance) +
               " gives the highest efficiency, " + percent + ".";
    }
    std::string line = "The highest efficiency, " + percent +
                       ", is with the coils at B = " + metresText(best.coilDistance) + ", " +
                       fromUsers(best.coilDistance, users.coilDistance);
    if (users.outcome != StudyOutcome::Found) {
        return line + ".";
    }
    const double gap = best.efficiency - users.efficiency;
    if (gap < kCloseEfficiency) {
        const double points = std::max(0.1, std::ceil(gap * 1000 - 1e-6) / 10);
        return line + "; yours comes within " + number(points, 1) + " percentage points of it.";
    }
    return line + ", where it is " + number(users.efficiency * 100, 1) + " %.";
}

std::string bandSentence(const CoilPositionStudy& study) {
    const StudyPoint& best = study.points[*study.widestBand];
    const StudyPoint& users = study.points[study.users];
    const auto bandOf = [&](const StudyPoint& p) {
        return study.widestOnFifty ? p.band : p.matchedBand;
    };
    const std::string what =
        study.widestOnFifty
            ? "The widest 2:1 band on 50 ohm, "
            : "No position gives a 2:1 band on 50 ohm without a match; with an ideal match the "
              "widest, ";
    if (*study.widestBand == study.users) {
        return what + bandKhz(bandOf(best)) +
               ", is with the coils where you have them, B = " + metresText(users.coilDistance) +
               ".";
    }
    std::string line = what + bandKhz(bandOf(best)) +
                       ", is with the coils at B = " + metresText(best.coilDistance) + ", " +
                       fromUsers(best.coilDistance, users.coilDistance);
    if (users.outcome != StudyOutcome::Found) {
        return line + ".";
    }
    const std::string yours = bandKhz(bandOf(users));
    const auto widest = bandWidth(bandOf(best));
    const auto own = bandWidth(bandOf(users));
    if (own && *own > *widest * (1.0 - kCloseBand)) {
        const double percent = std::max(1.0, std::ceil((1.0 - *own / *widest) * 100 - 1e-6));
        return line + "; yours, " + yours + ", comes within " + number(percent, 0) + " % of it.";
    }
    if (yours.empty()) {
        return line + (study.widestOnFifty ? ", where the SWR stays above 2."
                                           : ", where the band is not closed.");
    }
    return line + ", where it is " + yours + ".";
}

} // namespace

std::vector<std::string> studySentences(const CheckReport& report) {
    std::vector<std::string> out;
    if (!report.study || report.study->points.empty()) {
        return out;
    }
    const CoilPositionStudy& study = *report.study;
    if (study.mostEfficient) {
        out.push_back(efficiencySentence(study));
    }
    if (study.widestBand) {
        out.push_back(bandSentence(study));
    }
    std::string missing;
    for (const StudyPoint& p : study.points) {
        if (p.outcome != StudyOutcome::Found) {
            missing += (missing.empty() ? "" : ", ") + metresText(p.coilDistance);
        }
    }
    if (!missing.empty()) {
        out.push_back("With the coils at B = " + missing +
                      " the study found no coil that puts "
                      "the antenna on " +
                      designText(report) + ".");
    }
    out.push_back("Each position has the coil that puts the antenna on " + designText(report) +
                  " at the length you gave, with the Q of its whole turns; the efficiency counts "
                  "the wire and the coils, not the ground.");
    return out;
}

} // namespace brevan::check

namespace brevan::check {
namespace {

// "120 deg between the legs, ends 6.48 m above the ground, 12.4 m apart"
std::string shapeText(const WireShape& shape, bool overGround) {
    const std::string ends =
        overGround ? "ends " + number(shape.endsHeight, 2) + " m above the ground"
                   : "ends " + number(shape.apexHeight - shape.endsHeight, 2) + " m below the apex";
    return number(shape.legAngle, 1) + " deg between the legs, " + ends + ", " +
           number(shape.span, 2) + " m apart";
}

} // namespace

std::string hangSentence(const CheckReport& report) {
    if (report.inputs.hang.shape != HangShape::InvertedV || !report.antenna) {
        return {};
    }
    const bool overGround = report.inputs.ground.kind != GroundKind::FreeSpace;
    const AntennaCheck& a = *report.antenna;
    std::string line = "Hung as an inverted V from its apex " +
                       (overGround ? number(report.inputs.ground.height, 2) + " m above the ground"
                                   : std::string("in free space")) +
                       "; as built " + shapeText(a.built.shape, overGround);
    if (a.trimmed) {
        line += "; trimmed " + shapeText(a.trimmed->shape, overGround);
    }
    return line + ".";
}

std::string alongWireNote(const CheckReport& report) {
    if (report.inputs.hang.shape != HangShape::InvertedV) {
        return {};
    }
    return "Every length is measured along the wire: the legs of the inverted V are cut like the "
           "halves of a straight dipole.";
}

} // namespace brevan::check
