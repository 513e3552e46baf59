// SPDX-License-Identifier: GPL-3.0-or-later
// What the report says of the antenna: as built, the trim, matching, the coil at the designed
// length, insulated wire, the hang, and the short cells of the antenna table.
#include "report/advice.h"

#include "check_inputs.h"
#include "coil/physics.h"
#include "cut_list.h"
#include "general_format.h"
#include "nec/insulation.h"
#include "range_limits.h"
#include "report/advice_parts.h"
#include "report/report_format.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

using namespace advice_parts;

namespace {

// Coils whose outer wire is less than this share of each half sit close to the tips.
constexpr double kNearTipShare = 0.25;

// The SWR at which an antenna counts as usable on the feed line.
constexpr double kUsableSwr = 2.0;

std::string percentFrom(double value, double reference) {
    const double percent = (value - reference) / reference * 100;
    return number(std::abs(percent), 1) + " % " + (percent < 0 ? "below" : "above");
}

std::string resonanceOf(const AntennaResult& result) {
    return resonanceText(*result.resonanceMHz, result.resonanceUncertainty);
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

std::string lengthText(const Lengths& lengths, double length, int places = 2) {
    return "(total length " + lengths.m(length, places) + ")";
}

// Whether the antenna at the trim's limit, analysed on its own, resonates on the far side of F
// from the built one: above F when cut back (the built one resonates below), below when
// lengthened. Then F lies between, where the search along the lengths found no resonance.
bool limitPastDesign(const CheckReport& report, const Trim& trim) {
    const double f = report.inputs.frequencyMHz;
    if (!trim.limitResonanceMHz) {
        return false;
    }
    return trim.outcome == TrimOutcome::CoilsInTheWay ? *trim.limitResonanceMHz > f
           : trim.outcome == TrimOutcome::TooFar      ? *trim.limitResonanceMHz < f
                                                      : false;
}

// Where the antenna resonates at the end of what a trim can do.
std::string limitResonance(const CheckReport& report, const Trim& trim) {
    return trim.limitResonanceMHz ? "it resonates at " + number(*trim.limitResonanceMHz, 3) + " MHz"
                                  : "it has no resonance within 30 % of " + designText(report);
}

std::string reachedVerdict(const CheckReport& report, const AntennaCheck& check) {
    const std::string f = designText(report);
    const Trim& trim = check.trim;
    const Lengths L(report.inputs.units);
    const double cm = trim.tipChange * 100;
    const std::string length = lengthText(L, trim.trimmedLength, trim.toMillimetres ? 3 : 2);
    // In feet and inches nothing under half an eighth of an inch is a trim.
    const bool none = L.imperial() ? feetAndInches(trim.tipChange) == "0 in" : std::abs(cm) < 0.5;
    std::string line = none ? std::string("No trim is needed")
                            : std::string(cm > 0 ? "Add " : "Cut ") +
                                  L.cm(std::abs(trim.tipChange), trim.toMillimetres ? 1 : 0) +
                                  " of wire " + (cm > 0 ? "to" : "from") + " each tip " + length;
    line += ", leaving " + L.cm(report.cut.tipSpare, 0) +
            " spare at each tip to trim off on the analyser for the lowest SWR.";
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

// The antenna with its coils wound as NEC-2's helices, where the current falls along them as
// along the real coils: where it resonates, and how far its trim to F is from the one the
// lumped coils give (or, untrimmed, from the tips as designed).
std::string helixSentence(const CheckReport& report, const AntennaCheck& check) {
    const HelixCheck& helix = *check.helix;
    const Lengths L(report.inputs.units);
    std::string line = "Modelled as helices in NEC-2 (" + turnsText(helix.turns) +
                       " each), which carries the fall of the current along each coil, the "
                       "antenna resonates at " +
                       resonanceText(helix.builtMHz, helix.builtUncertainty) + " as built";
    if (helix.trimmedMHz) {
        line +=
            " and at " + resonanceText(*helix.trimmedMHz, helix.trimmedUncertainty) + " trimmed";
    }
    if (!helix.tipChange) {
        return line + ".";
    }
    const std::string f = designText(report);
    if (helix.tipInTheWay) {
        return line + "; no trim of the tips brings it to " + f +
               ": it would cut them back to within a joint of the coils.";
    }
    const bool reached = check.trim.outcome == TrimOutcome::Reached;
    const double beyond = *helix.tipChange - (reached ? check.trim.tipChange : 0.0);
    if (std::abs(beyond) < trimStep(check.trim) / 2.0) {
        return line + ": the trim puts it on " + f + " too.";
    }
    return line + ": for " + f + " each tip wants " +
           L.cm(std::abs(beyond), check.trim.toMillimetres ? 1 : 0) +
           (beyond > 0.0 ? " more wire than " : " less wire than ") +
           (reached ? "the trim gives." : "cut as designed.");
}

// Why long coils were not also modelled as NEC-2's helices.
std::string whyNoHelix(const CheckReport& report, const AntennaCheck& check) {
    const WoundCoil& coil = report.coil.coil;
    switch (helixRefusal(report)) {
    case HelixRefusal::Measured: return "the coil is given by its measurements, not by its winding";
    case HelixRefusal::CloseWound:
        return "NEC-2's thin wires hold a helix only with its turns " +
               number(kHelixWidestSpacing, 0) + " wire diameters apart or more, and these are " +
               number(coil.pitch / coil.wireDiameter, 1);
    case HelixRefusal::None: break;
    }
    const std::string f = designText(report);
    switch (check.helixMiss) {
    case HelixMiss::DoesNotFit:
        return "wound as NEC-2's helices, the coils would reach the feed's own segment or the "
               "tips";
    case HelixMiss::NoResonance:
        return "the antenna as built has no resonance within 30 % of " + f +
               ", so that of its helices was not sought";
    case HelixMiss::NotFound:
        return "the antenna with its coils wound as NEC-2's helices has no resonance within 30 % "
               "of " +
               f + " that its search could settle";
    case HelixMiss::None: break;
    }
    return "the antenna with its coils wound as NEC-2's helices could not be modelled";
}

// Why the insulated antenna's length cannot be compared with bare wire's.
std::string noComparison(const CheckReport& report, const AntennaCheck& check) {
    const bool insulatedReached = check.trim.outcome == TrimOutcome::Reached;
    return std::string("how much shorter than bare wire it is cut cannot be said, because ") +
           (insulatedReached ? "the same antenna of bare wire" : "the insulated antenna") +
           " cannot be trimmed to " + designText(report);
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

// A band's edge is missing where the SWR stays under 2 past the swept range, or both are where
// the SWR at F is not under 2 at all.
std::string bandFromTo(const std::optional<double>& low, const std::optional<double>& high,
                       bool underTwoAtDesign = true) {
    if (!underTwoAtDesign) {
        return "it leaves no 2:1 band";
    }
    if (low && high) {
        return "its 2:1 band runs from " + number(*low, 3) + " to " + number(*high, 3) + " MHz";
    }
    return "the SWR stays under 2 beyond the swept range on at least one side";
}

// "120 deg between the legs, ends 6.48 m above the ground, 12.4 m apart"
std::string shapeText(const Lengths& L, const WireShape& shape, bool overGround) {
    const std::string ends =
        overGround ? "ends " + L.m(shape.endsHeight, 2) + " above the ground"
                   : "ends " + L.m(shape.apexHeight - shape.endsHeight, 2) + " below the apex";
    return number(shape.legAngle, 1) + " deg between the legs, " + ends + ", " +
           L.m(shape.span, 2) + " apart";
}

} // namespace

namespace advice_parts {

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

// The trim in words: how much wire, or why no trim reaches F.
std::string trimVerdict(const CheckReport& report, const AntennaCheck& check) {
    const std::string f = designText(report);
    const Trim& trim = check.trim;
    const Lengths L(report.inputs.units);
    const std::string noTrim = "No trim of the tips reaches " + f + ": ";
    const std::string untrusted = ": the coils sit too near their own resonance with the wire "
                                  "beyond them for a trim to be trusted. Move the coils in, or "
                                  "wind them with less inductance, and check again.";
    switch (trim.outcome) {
    case TrimOutcome::Reached: return reachedVerdict(report, check);
    case TrimOutcome::CoilsInTheWay: {
        // The search stops a joint beyond each coil's end, or further out where the model
        // cannot follow the tip in any more.
        const double beyond = report.cut.outerWire + (trim.limitLength - report.inputs.lengthM) / 2;
        const std::string cm = L.cm(beyond, 0) + " beyond its coil";
        const std::string limit =
            beyond <= kJointAllowance + 0.005
                ? "each tip cut back to " + cm + ", as short as a joint allows"
                : "each tip cut back to " + cm + ", as short as the model can follow it";
        if (limitPastDesign(report, trim)) {
            // Analysed alone, the shortest antenna lies past F, yet the search along the
            // lengths found no resonance at F: it lies too near where the coil and the wire
            // beyond it resonate together for any length to be trusted.
            return "No trim of the tips reaches " + f + " dependably: with " + limit + " " +
                   lengthText(L, trim.limitLength) + " " + limitResonance(report, trim) +
                   ", above " + f + ", yet the model finds no length between that and the " +
                   "designed one that resonates at " + f + untrusted;
        }
        return noTrim + "even with " + limit + " " + lengthText(L, trim.limitLength) + ", " +
               limitResonance(report, trim) + ".";
    }
    case TrimOutcome::TooFar:
        if (limitPastDesign(report, trim)) {
            return "No trim of the tips reaches " + f + " dependably: at tips twice as long " +
                   lengthText(L, trim.limitLength) + " " + limitResonance(report, trim) +
                   ", below " + f + ", yet the model finds no length between that and the " +
                   "designed one that resonates at " + f +
                   ": it cannot settle a trim there. Cut the tips as designed and trim them on "
                   "the analyser.";
        }
        return noTrim + "it would take tips more than twice as long as designed, and at that " +
               lengthText(L, trim.limitLength) + " " + limitResonance(report, trim) + ".";
    case TrimOutcome::NoResonance:
        return "No trim is given: as built, the antenna has no resonance within 30 % of " + f +
               " for a trim to move.";
    case TrimOutcome::CoilResonates: {
        const std::string alternatives = alternativesSentence(report);
        return "No trim helps: " + unfitCoilText(report) + "." +
               (alternatives.empty() ? "" : " " + alternatives);
    }
    case TrimOutcome::NotConverged:
        return "The search for the trim ran out of tries before the resonance reached " + f +
               ": at its last try " + lengthText(L, trim.limitLength) + " " +
               limitResonance(report, trim) +
               ". Cut the tips as designed and trim them on the analyser.";
    }
    return {};
}

bool calibratedBySweep(const CheckReport& report) {
    return report.measured &&
           report.measured->calibration.outcome == CalibrationOutcome::Calibrated;
}

std::string neededCoilVerdict(const CheckReport& report, const AntennaCheck& check) {
    const NeededCoil& coil = check.neededCoil;
    switch (coil.outcome) {
    case CoilOutcome::Found: {
        // The turns already wound may be the closest: then no other whole turns do better.
        const bool asWound = coil.turns > 0 && !report.measuredCoil &&
                             coil.turns == std::lround(report.coil.coil.turns);
        // Beside a trim it is the other way; where no trim reaches F, or the sweep's cut has
        // taken the trim's place, it is said on its own.
        const bool besideTheTrim =
            check.trim.outcome == TrimOutcome::Reached && !calibratedBySweep(report);
        const char* lead = besideTheTrim ? "Or keep the length" : "Keep the length";
        std::string line = std::string(lead) + " and give each coil " +
                           number(coil.apparentInductance * 1e6, 2) + " uH at " +
                           designText(report) + ": " + turnsText(coil.turns) +
                           (asWound ? ", as wound, " : " ") + verb(coil.turns, "comes", "come") +
                           " closest (" + number(coil.turnsApparentInductance * 1e6, 2) + " uH)";
        if (coil.turnsResonanceMHz) {
            line += " and " + verb(coil.turns, "resonates", "resonate") + " at " +
                    resonanceText(*coil.turnsResonanceMHz, coil.turnsResonanceUncertainty);
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

// Under half the power radiated: the verdict leads with it.
bool radiatesPoorly(const AntennaCheck& check) {
    return check.radiated.share < 0.5;
}

// How much of the power reaches the sky from the antenna that will hang, and against what.
std::string radiatedVerdict(const CheckReport& report, const AntennaCheck& check) {
    const RadiatedPower& p = check.radiated;
    const std::string which = p.ofTrimmed ? "the antenna as trimmed" : "the antenna as built";
    const bool overGround = report.inputs.ground.kind != GroundKind::FreeSpace;
    std::string line = radiatesPoorly(check) ? "Most of the power never reaches the sky: " + which
                                             : "Of the power at the feed point, " + which;
    line += " radiates " + number(p.share * 100, 0) + " % at " + designText(report);
    if (p.dbAgainstFullSize && p.fullSizeShare) {
        line += ", " + number(std::abs(*p.dbAgainstFullSize), 1) + " dB " +
                (*p.dbAgainstFullSize <= 0 ? "below" : "above") +
                " a full-size dipole of the same wire hung the same way (" +
                number(*p.fullSizeShare * 100, 0) + " %)";
    }
    line += "; the rest heats the coils and the wire";
    if (overGround) {
        line += " (the ground's own loss comes on top)";
    }
    line += ".";
    // A sweep well above the model's resistance may be loss the model lacks: what the antenna
    // then radiates.
    if (calibratedBySweep(report) && report.measured->radiatedIfLoss) {
        const Calibration& c = report.measured->calibration;
        line += " The sweep shows " + significant(c.measuredResistance, 3) +
                " ohm at resonance where the model has " + significant(c.modelResistance, 3) +
                ": if the difference is loss (joints, the coils, the ground) rather than the feed "
                "line radiating or an object nearby, the antenna radiates about " +
                number(*report.measured->radiatedIfLoss * 100, 0) + " %.";
    }
    if (radiatesPoorly(check) && unusableUntilTheCoilsChange(check)) {
        line += " As built it has no resonance near " + designText(report) +
                ": the coils that keep the length, below, come before any other change.";
    } else if (radiatesPoorly(check)) {
        line += " Coils of higher Q help most: thicker coil wire, a larger former or spaced "
                "turns; the coil-position study shows where along the wire the coils lose least.";
    }
    return line;
}

bool unusableUntilTheCoilsChange(const AntennaCheck& check) {
    return check.trim.outcome == TrimOutcome::NoResonance &&
           check.neededCoil.outcome == CoilOutcome::Found;
}

std::vector<std::string> antennaWarnings(const CheckReport& report, const AntennaCheck& check) {
    std::vector<std::string> out;
    const std::string f = designText(report);
    const double designMHz = report.inputs.frequencyMHz;
    const AntennaResult& built = check.built;
    const bool reached = check.trim.outcome == TrimOutcome::Reached;
    const bool trimmedMismatch = reached && check.trimmed && check.trimmed->designSwr > kUsableSwr;
    // Once a sweep has calibrated the model, the antenna hangs: the model's antenna as cut is
    // what was expected, and whether it needs a match is the sweep's to say, after its cut.
    const bool swept = calibratedBySweep(report);
    const auto farFrom = [](double ohm) {
        return ": its " + significant(ohm, 3) + " ohm at resonance is far from " +
               number(kReferenceImpedance, 0) +
               " ohm. Feed it through a matching network or transformer.";
    };
    if (!built.resonanceMHz) {
        out.push_back("As built, the antenna has no resonance within 30 % of " + f + " (SWR " +
                      swrText(built.designSwr) + " at " + f + "): it cannot be used there.");
    } else if (!inBand(built.band, designMHz)) {
        std::string line = "Cut to the calculated length, the antenna will not be usable at " + f +
                           " (SWR " + swrText(built.designSwr) + ")" +
                           (!reached          ? ", and no trim of the tips helps."
                            : trimmedMismatch ? " until it is trimmed and matched."
                                              : " until it is trimmed.");
        out.push_back(swept ? beforeTheSweep(std::move(line)) : line);
    }
    if (swept) {
        const std::optional<AfterCut>& after = report.measured->calibration.afterCut;
        if (after && after->swrAtDesign > kUsableSwr && swr(after->resistanceOhm) > kUsableSwr) {
            out.push_back("After its cut, the antenna as swept will still show an SWR of " +
                          swrText(after->swrAtDesign) + " at " + f + farFrom(after->resistanceOhm));
        }
    } else if (trimmedMismatch) {
        out.push_back("Trimmed to resonance, the antenna still shows an SWR of " +
                      swrText(check.trimmed->designSwr) + " at " + f +
                      farFrom(check.trimmed->resonanceResistance));
    }
    // The largest of the antennas that resonate. Only those wound as planned, built and
    // trimmed, carry the long coils' share: the designed antenna's coils are step 1's.
    double uncertainty = 0.0;
    bool wound = false;
    const auto consider = [&](const AntennaResult* result, bool asWound) {
        if (result && result->resonanceMHz && result->resonanceUncertainty > uncertainty) {
            uncertainty = result->resonanceUncertainty;
            wound = asWound;
        }
    };
    consider(&check.designed, false);
    consider(&check.built, true);
    consider(check.trimmed ? &*check.trimmed : nullptr, true);
    if (uncertainty > kShownUncertainty) {
        // Outer wires of less than a quarter of each half leave few segments between the
        // coils and the tips, where NEC-2's answer converges slowest.
        const bool nearTips = report.cut.outerWire < kNearTipShare * report.inputs.lengthM / 2;
        const double spread = wound ? check.coilModelSpread : 0.0;
        // Near the tips the helix's own charge takes much of the tip wire's part: there it
        // also resonated below the lumped coils, its trim moving it less.
        const std::string why =
            check.spreadFromHelix
                ? "wound as NEC-2's helices (below), they move the antenna's resonance "
                  "that far from the lumped coils', with the helices' own uncertainty"
                : std::string("spaced coils wound as helices in NEC-2 resonated ") +
                      (nearTips ? "higher or lower" : "higher") +
                      ", by up to a third of what the self-capacitance adds to their "
                      "reactance";
        const std::string longCoil =
            spread > 0.0 ? ": " + uncertaintyText(spread) +
                               " of it is the long coils', whose current falls along them: " + why +
                               "; the rest is that "
                         : ": ";
        out.push_back("The model's resonance is uncertain by " + uncertaintyText(uncertainty) +
                      longCoil +
                      (nearTips ? "with the coils this close to the tips, NEC-2's answer "
                                : "NEC-2's answer for a wire with lumped coils ") +
                      "still moves with the number of segments. Trim in small steps and "
                      "measure.");
    }
    if (check.helix) {
        out.push_back(helixSentence(report, check));
    } else if (check.coilModelSpread > 0.0) {
        out.push_back("The current's fall along the coils is not modelled: " +
                      whyNoHelix(report, check) + ".");
    }
    const bool settled = check.designed.converged && check.built.converged &&
                         (!check.trimmed || check.trimmed->converged);
    if (!settled) {
        out.push_back("A search of the model ran out of tries: some antenna figures are its last "
                      "try, not a settled answer.");
    }
    return out;
}

// How to match a trimmed antenna whose resistance keeps the SWR up, with the figures it gives.
std::string matchingVerdict(const CheckReport& report, const Matching& m) {
    const std::string f = designText(report);
    const TransformerMatch& t = m.transformer;
    std::string line = "With a 1:" + formatDouble(t.ratio, ".") + " transformer " +
                       (t.stepUp ? "(stepping the antenna up)" : "(stepping the antenna down)") +
                       " the SWR at " + f + " is " + swrText(t.swrAtDesign) + " and " +
                       bandFromTo(t.lowerMHz, t.upperMHz, t.swrAtDesign < 2.0) + ".";
    if (m.network) {
        const LNetwork& n = *m.network;
        line += " Or an L-network at the feed point, exact at " + f + ": " +
                componentText(n.series) +
                (n.shunt.value > 0.0 ? " and " + componentText(n.shunt) : std::string()) + "; " +
                bandFromTo(n.lowerMHz, n.upperMHz) + ".";
    }
    return line;
}

} // namespace advice_parts

std::string insulationText(const Insulation& insulation) {
    const double p = insulation.permittivity;
    const char* material = p == kPvcPermittivity            ? "PVC"
                           : p == kPolyethylenePermittivity ? "polyethylene"
                                                            : "insulation";
    return formatDouble(insulation.thickness * 1000, ".") + " mm of " + material +
           " (relative permittivity " + formatDouble(p, ".") + ")";
}

std::string formerText(double permittivity) {
    if (permittivity == 1.0) {
        return "a tube or air inside the winding";
    }
    const char* material = permittivity == kPtfePermittivity           ? "PTFE "
                           : permittivity == kPolyethylenePermittivity ? "polyethylene "
                           : permittivity == kPvcPermittivity          ? "PVC "
                                                                       : "";
    return std::string("a solid ") + material + "rod (relative permittivity " +
           formatDouble(permittivity, ".") + ")";
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
        const Lengths L(report.inputs.units);
        line += "it is cut " + L.cm(*effect.shorterTipToTip, 0) +
                " shorter than bare wire tip to tip, " + L.cm(*effect.shorterPerTip, 0) +
                " at each tip";
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
    const Lengths L(report.inputs.units);
    return L.cm(*effect.shorterTipToTip, 0) + " (" + L.cm(*effect.shorterPerTip, 0) + " each tip)";
}

std::string trimSummary(const CheckReport& report) {
    const Trim& trim = report.antenna->trim;
    const bool past = limitPastDesign(report, trim);
    const Lengths L(report.inputs.units);
    switch (trim.outcome) {
    case TrimOutcome::Reached:
        return (trim.tipChange >= 0 ? "+" : "") + L.cm(trim.tipChange, trim.toMillimetres ? 1 : 0) +
               ", total length " + L.m(trim.trimmedLength, 3);
    case TrimOutcome::CoilsInTheWay: {
        const double beyond = report.cut.outerWire + (trim.limitLength - report.inputs.lengthM) / 2;
        const std::string limit = beyond <= kJointAllowance + 0.005
                                      ? "cut back to a joint beyond the coils ("
                                      : "cut back as far as the model can follow (";
        return past ? "none reaches F dependably: " + limit + L.m(trim.limitLength, 3) +
                          ") it resonates above F, yet no length between does"
                    : "none reaches F: " + limit + L.m(trim.limitLength, 3) + ") it is still low";
    }
    case TrimOutcome::TooFar:
        return past ? "none reaches F dependably: at tips twice as long it resonates below F, "
                      "yet no length between does"
                    : "none reaches F: it would take tips over twice as long";
    case TrimOutcome::NoResonance: return "none: no resonance to move";
    case TrimOutcome::CoilResonates: return "none: the coil self-resonates, it must change";
    case TrimOutcome::NotConverged: return "not found: the search ran out of tries";
    }
    return {};
}

std::string neededCoilSummary(const AntennaCheck& check) {
    const NeededCoil& coil = check.neededCoil;
    switch (coil.outcome) {
    case CoilOutcome::Found: {
        return significant(coil.apparentInductance * 1e6, 3) +
               " uH each coil: " + turnsText(coil.turns) + " (" +
               significant(coil.turnsApparentInductance * 1e6, 3) + " uH), resonance " +
               (coil.turnsResonanceMHz
                    ? resonanceText(*coil.turnsResonanceMHz, coil.turnsResonanceUncertainty)
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

std::string hangSentence(const CheckReport& report) {
    if (report.inputs.hang.shape != HangShape::InvertedV || !report.antenna) {
        return {};
    }
    const bool overGround = report.inputs.ground.kind != GroundKind::FreeSpace;
    const AntennaCheck& a = *report.antenna;
    const Lengths L(report.inputs.units);
    std::string line = "Hung as an inverted V from its apex " +
                       (overGround ? L.m(report.inputs.ground.height, 2) + " above the ground"
                                   : std::string("in free space")) +
                       "; as built " + shapeText(L, a.built.shape, overGround);
    if (a.trimmed) {
        line += "; trimmed " + shapeText(L, a.trimmed->shape, overGround);
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
