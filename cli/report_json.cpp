#include "report_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace brevan::cli {
namespace {

using check::AntennaResult;
using check::CheckReport;

// JSON has no infinity or NaN; a figure without a value is null.
QJsonValue num(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}
QJsonValue num(const std::optional<double>& value) {
    return value ? num(*value) : QJsonValue();
}
QJsonValue text(const std::string& value) {
    return QString::fromStdString(value);
}
QJsonArray texts(const std::vector<std::string>& lines) {
    QJsonArray out;
    for (const std::string& line : lines) {
        out.append(text(line));
    }
    return out;
}

QJsonObject inputs(const CheckReport& r) {
    const check::CheckInputs& in = r.inputs;
    QJsonObject o{{"frequency_mhz", num(in.frequencyMHz)},
                  {"length_a_m", num(in.lengthM)},
                  {"distance_b_m", num(in.distanceM)},
                  {"wire_swg", in.wireSwg},
                  {"wire_diameter_mm", num(r.design.wireDiameterInch * 25.4)},
                  {"former_mm", num(in.formerMm)},
                  {"coil_length_mm", num(in.coilLengthMm)},
                  {"coil_wire_swg", in.coilWireSwg},
                  {"coil_wire_diameter_mm", num(r.coil.coil.wireDiameter * 1000)},
                  {"pitch_mm", num(r.coil.coil.pitch * 1000)},
                  {"close_wound", !in.pitchMm.has_value()},
                  {"coil_q", num(in.coilQ)}};
    if (in.antenna) {
        o.insert("ground", QString::fromLatin1(check::groundName(in.ground.kind)));
        o.insert("height_m", in.ground.kind == check::GroundKind::FreeSpace
                                 ? QJsonValue()
                                 : num(in.ground.height));
    }
    return o;
}

QJsonObject design(const CheckReport& r) {
    const check::WindowDesign& d = r.design;
    QJsonArray passes;
    for (const CoilPass& pass : d.passes) {
        passes.append(QJsonObject{{"turns", num(pass.turns)},
                                  {"winding_length_in", num(pass.windingLength)}});
    }
    return QJsonObject{{"length_a_ft", num(d.lengthAFeet)},
                       {"distance_b_ft", num(d.distBFeet)},
                       {"inductance_uh", num(d.inductanceUh)},
                       {"inductance_text", text(d.inductanceText)},
                       {"inductance_shown", text(d.shownInductanceText)},
                       {"turns", num(d.turns)},
                       {"turns_text", text(d.turnsText)},
                       {"revised_length_mm", num(d.revisedLengthMm)},
                       {"revised_length_text", text(d.revisedLengthText)},
                       {"passes", passes}};
}

QJsonObject coil(const CheckReport& r) {
    const check::CoilAsWound& c = r.coil;
    return QJsonObject{{"turns", num(c.coil.turns)},
                       {"diameter_to_centres_mm", num(c.coil.meanDiameter * 1000)},
                       {"winding_length_mm", num(check::sheetLength(c.coil) * 1000)},
                       {"length_over_diameter", num(c.lengthOverDiameter)},
                       {"nagaoka", num(c.nagaoka)},
                       {"rosa_a", num(c.rosaSelf)},
                       {"rosa_b", num(c.rosaMutual)},
                       {"current_sheet_uh", num(c.currentSheet * 1e6)},
                       {"inductance_uh", num(c.inductance * 1e6)},
                       {"wheeler_uh", num(c.wheeler * 1e6)},
                       {"difference_percent", num(c.differencePercent)},
                       {"closest_turns", c.closestTurns},
                       {"closest_turns_uh", num(c.closestTurnsInductance * 1e6)},
                       {"short_for_wheeler", c.shortForWheeler}};
}

QJsonObject losses(const CheckReport& r) {
    const check::CoilLosses& l = r.losses;
    return QJsonObject{{"frequency_mhz", num(r.inputs.frequencyMHz)},
                       {"skin_depth_um", num(l.skinDepth * 1e6)},
                       {"winding_wire_m", num(check::windingWireLength(r.coil.coil))},
                       {"dc_resistance_ohm", num(l.resistance.dcResistance)},
                       {"skin_resistance_ohm", num(l.resistance.skinResistance)},
                       {"ac_resistance_ohm", num(l.resistance.acResistance)},
                       {"proximity_factor", num(l.resistance.proximityFactor)},
                       {"reactance_ohm", num(l.reactance)},
                       {"estimated_q", num(l.estimatedQ)},
                       {"q", num(l.q)},
                       {"q_given", l.qGiven},
                       {"series_resistance_ohm", num(l.seriesResistance)},
                       {"self_capacitance_pf", num(l.selfCapacitance * 1e12)},
                       {"self_resonance_mhz", num(l.selfResonance / 1e6)}};
}

QJsonValue antennaResult(const std::optional<AntennaResult>& maybe, double frequencyMHz) {
    if (!maybe) {
        return QJsonValue();
    }
    const AntennaResult& a = *maybe;
    const double omega = 2 * 3.14159265358979323846 * frequencyMHz * 1e6;
    QJsonArray curve;
    for (const check::FeedPoint& p : a.curve) {
        curve.append(QJsonArray{num(p.frequencyMHz), num(check::swr(p.impedance))});
    }
    return QJsonObject{
        {"length_m", num(a.length)},
        {"coil_apparent_uh", num(a.coilAtDesign.imag() / omega * 1e6)},
        {"coil_apparent_resistance_ohm", num(a.coilAtDesign.real())},
        {"resonance_mhz", num(a.resonanceMHz)},
        {"resonance_uncertainty_percent", num(a.resonanceUncertainty * 100)},
        {"converged", a.converged},
        {"resonance_resistance_ohm", a.resonanceMHz ? num(a.resonanceResistance) : QJsonValue()},
        {"design_resistance_ohm", num(a.designImpedance.real())},
        {"design_reactance_ohm", num(a.designImpedance.imag())},
        {"design_swr", num(a.designSwr)},
        {"band_lower_mhz", num(a.band.lowerMHz)},
        {"band_upper_mhz", num(a.band.upperMHz)},
        {"design_efficiency_percent", num(a.designEfficiency * 100)},
        {"swr_curve_mhz_swr", curve}};
}

QJsonValue antenna(const CheckReport& r) {
    if (!r.antenna) {
        return QJsonValue();
    }
    const check::AntennaCheck& a = *r.antenna;
    const check::Trim& t = a.trim;
    const check::NeededCoil& n = a.neededCoil;
    const double f = r.inputs.frequencyMHz;
    const double omega = 2 * 3.14159265358979323846 * f * 1e6;
    const bool reached = t.outcome == check::TrimOutcome::Reached;
    const bool found = n.outcome == check::CoilOutcome::Found;
    const auto when = [](bool valid, const QJsonValue& value) {
        return valid ? value : QJsonValue();
    };
    return QJsonObject{
        {"engine", "nec2c"},
        {"segments", a.segments},
        {"fine_segments", a.fineSegments},
        {"designed", antennaResult(a.designed, f)},
        {"built", antennaResult(a.built, f)},
        {"trimmed", antennaResult(a.trimmed, f)},
        {"trim",
         QJsonObject{{"tip_change_m", when(reached, num(t.tipChange))},
                     {"reaches_design", reached},
                     {"trimmed_length_m", when(reached, num(t.trimmedLength))},
                     {"needed_inductance_uh", when(found, num(n.apparentInductance * 1e6))},
                     {"needed_turns", when(found, n.turns)},
                     {"needed_turns_uh", when(found, num(n.turnsAtDesign.imag() / omega * 1e6))},
                     {"needed_turns_resistance_ohm", when(found, num(n.turnsAtDesign.real()))},
                     {"needed_turns_resonance_mhz", num(n.turnsResonanceMHz)}}}};
}

QJsonObject cutList(const CheckReport& r) {
    const check::CutList& c = r.cut;
    return QJsonObject{{"b_to_coil_middle", true},
                       {"inner_wire_m", num(c.innerWire)},
                       {"coil_turns", num(r.design.turns)},
                       {"coil_winding_length_m", num(check::sheetLength(r.coil.coil))},
                       {"coil_wire_each_m", num(c.coilWireEach)},
                       {"coil_lead_allowance_m", num(check::kCoilLeadAllowance)},
                       {"outer_wire_m", num(c.outerWire)},
                       {"tip_change_m", num(c.tipChange)},
                       {"tip_spare_m", num(c.tipSpare)},
                       {"outer_wire_to_cut_m", num(c.outerWireToCut)},
                       {"antenna_wire_total_m", num(c.antennaWireTotal)},
                       {"coil_wire_total_m", num(c.coilWireTotal)}};
}

} // namespace

QByteArray reportJson(const CheckReport& report, const QString& version) {
    const QJsonObject root{
        {"program", "brevan-check"},        {"version", version},
        {"verdict", texts(report.verdict)}, {"inputs", inputs(report)},
        {"design", design(report)},         {"coil", coil(report)},
        {"losses", losses(report)},         {"antenna", antenna(report)},
        {"cut_list", cutList(report)},      {"warnings", texts(report.warnings)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace brevan::cli
