// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_json.h"

#include "report/advice.h"
#include "report/json_parts.h"
#include "report/power_words.h"
#include "report/tolerance_words.h"
#include "json/json_text.h"

#include <cstddef>
#include <nlohmann/json.hpp>

namespace brevan::check {

namespace json_parts {

namespace {

Json componentJson(const check::Component& c) {
    if (c.value == 0.0) {
        return Json();
    }
    const bool inductor = c.element == check::Element::Inductor;
    const char* place = c.place == check::Place::Series          ? "series"
                        : c.place == check::Place::ShuntLineSide ? "across_line"
                                                                 : "across_feed_point";
    return Json{{"element", inductor ? "inductor" : "capacitor"},
                {"place", place},
                {inductor ? "value_uh" : "value_pf", num(c.value * (inductor ? 1e6 : 1e12))}};
}

} // namespace

Json matchingJson(const std::optional<check::Matching>& m) {
    if (!m) {
        return Json();
    }
    const check::TransformerMatch& t = m->transformer;
    Json out{{"transformer", Json{{"ratio", num(t.ratio)},
                                  {"steps_antenna_up", t.stepUp},
                                  {"design_swr", num(t.swrAtDesign)},
                                  {"band_lower_mhz", num(t.lowerMHz)},
                                  {"band_upper_mhz", num(t.upperMHz)}}}};
    if (m->network) {
        const check::LNetwork& n = *m->network;
        out["l_network"] = Json{{"series", componentJson(n.series)},
                                {"shunt", componentJson(n.shunt)},
                                {"band_lower_mhz", num(n.lowerMHz)},
                                {"band_upper_mhz", num(n.upperMHz)}};
    } else {
        out["l_network"] = Json();
    }
    return out;
}

} // namespace json_parts

namespace {

using namespace json_parts;

Json inputs(const CheckReport& r) {
    const check::CheckInputs& in = r.inputs;
    Json o{{"frequency_mhz", num(in.frequencyMHz)},
           {"length_a_m", num(in.lengthM)},
           {"distance_b_m", num(in.distanceM)},
           {"wire", text(check::wireOptionText(in.wireSwg, in.wireSize))},
           {"wire_swg", in.wireSwg},
           {"wire_diameter_mm", decimal(check::antennaWireMm(in), kWirePlaces)},
           {"former_mm", num(in.formerMm)},
           {"coil_length_mm", num(in.coilLengthMm)},
           {"coil_wire", text(check::wireOptionText(in.coilWireSwg, in.coilWireSize))},
           {"coil_wire_swg", in.coilWireSwg},
           {"coil_wire_diameter_mm", decimal(r.coil.coil.wireDiameter * 1000, kWirePlaces)},
           {"pitch_mm",
            in.pitchMm ? num(*in.pitchMm) : decimal(r.coil.coil.pitch * 1000, kWirePlaces)},
           {"close_wound", !in.pitchMm && !in.windingLengthMm},
           {"coil_q", num(in.coilQ)},
           {"former_permittivity", num(in.formerPermittivity)},
           {"turns", num(in.turns)},
           {"winding_length_mm", num(in.windingLengthMm)},
           {"coil_inductance_uh", num(in.coilInductanceUh)},
           {"coil_self_resonance_mhz", num(in.coilSelfResonanceMHz)}};
    if (in.antenna) {
        o["ground"] = check::groundName(in.ground.kind);
        o["height_m"] =
            in.ground.kind == check::GroundKind::FreeSpace ? Json() : num(in.ground.height);
        const bool v = in.hang.shape == check::HangShape::InvertedV;
        o["shape"] = v ? "inverted-v" : "straight";
        o["leg_angle_deg"] = v && !in.hang.endsHeight ? num(in.hang.legAngle) : Json();
        o["ends_height_m"] = v ? num(in.hang.endsHeight) : Json();
        o["power_w"] = num(in.power.watts);
        o["mode"] = check::modeDuty(in.power.mode).option;
        o["insulation"] = check::isInsulated(check::wireInsulation(in))
                              ? Json{{"thickness_mm", num(in.insulationThicknessMm)},
                                     {"relative_permittivity", num(in.insulationPermittivity)}}
                              : Json();
    }
    return o;
}

Json design(const CheckReport& r) {
    const check::WindowDesign& d = r.design;
    Json passes = Json::array();
    for (const CoilPass& pass : d.passes) {
        passes.push_back(
            Json{{"turns", num(pass.turns)}, {"winding_length_in", num(pass.windingLength)}});
    }
    return Json{{"length_a_ft", num(d.lengthAFeet)},
                {"distance_b_ft", num(d.distBFeet)},
                {"wire_swg", r.inputs.wireSwg},
                {"wire_diameter_in", num(d.wireDiameterInch)},
                {"coil_wire_swg", r.inputs.coilWireSwg},
                {"coil_wire_diameter_in", num(d.coilWireDiameterInch)},
                {"inductance_uh", num(d.inductanceUh)},
                {"inductance_text", text(d.inductanceText)},
                {"inductance_shown", text(d.shownInductanceText)},
                {"turns", num(d.turns)},
                {"turns_text", text(d.turnsText)},
                {"revised_length_mm", num(d.revisedLengthMm)},
                {"revised_length_text", text(d.revisedLengthText)},
                {"passes", passes}};
}

Json coil(const CheckReport& r) {
    const check::CoilAsWound& c = r.coil;
    return Json{{"turns", num(c.coil.turns)},
                {"diameter_to_centres_mm", decimal(c.coil.meanDiameter * 1000, kWirePlaces)},
                {"winding_length_mm", decimal(check::sheetLength(c.coil) * 1000, kMicrometres)},
                {"length_over_diameter", num(c.lengthOverDiameter)},
                {"nagaoka", num(c.nagaoka)},
                {"rosa_a", num(c.rosaSelf)},
                {"rosa_b", num(c.rosaMutual)},
                {"current_sheet_uh", num(c.currentSheet * 1e6)},
                {"inductance_uh", num(c.inductance * 1e6)},
                {"inductance_at_f_uh", num(c.inductanceAtDesign * 1e6)},
                {"wheeler_uh", num(c.wheeler * 1e6)},
                {"difference_percent", num(c.differencePercent)},
                {"closest_turns", c.closestTurns},
                {"closest_turns_uh", num(c.closestTurnsInductance * 1e6)},
                {"short_for_wheeler", c.shortForWheeler}};
}

const char* selfResonanceModelName(check::SelfResonanceModel model) {
    switch (model) {
    case check::SelfResonanceModel::Lumped: break;
    case check::SelfResonanceModel::Joined: return "joined";
    case check::SelfResonanceModel::HelicalLine: return "helical line";
    }
    return "lumped";
}

Json losses(const CheckReport& r) {
    const check::CoilLosses& l = r.losses;
    return Json{{"frequency_mhz", num(r.inputs.frequencyMHz)},
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
                {"self_resonance_mhz", num(l.selfResonance / 1e6)},
                {"self_resonance_model", selfResonanceModelName(l.selfResonanceModel)},
                {"coil_span_deg", num(l.length.spanDegrees)},
                {"winding_wire_wavelengths", num(l.length.wireWavelengths)},
                {"long_coil", l.length.isLong},
                {"medhurst_capacitance_pf", num(l.medhurstCapacitance * 1e12)},
                {"medhurst_self_resonance_mhz", num(l.medhurstResonance / 1e6)},
                {"apparent_inductance_uh", num(l.apparentInductance * 1e6)},
                {"apparent_resistance_ohm", num(l.apparentResistance)}};
}

// The coil the antenna is modelled with, and where each of its figures comes from: "measured"
// by the builder, "computed" from the coil as wound, or "assumed" (a measured coil's
// self-capacitance when its self-resonance was not measured: the wound coil's).
Json modelledCoil(const CheckReport& r) {
    const check::CheckInputs& in = r.inputs;
    const check::CoilLosses& l = r.losses;
    const bool measured = r.measuredCoil.has_value();
    const bool resonance = measured && in.coilSelfResonanceMHz;
    const char* const computed = "computed";
    return Json{
        {"coil", measured ? "measured" : "computed"},
        {"inductance_uh", num((measured ? r.measuredCoil->inductance : r.coil.inductance) * 1e6)},
        {"inductance_from", measured ? "measured" : computed},
        {"self_resonance_mhz", num(l.selfResonance / 1e6)},
        {"self_resonance_from", resonance ? "measured" : computed},
        {"self_capacitance_pf", num(l.selfCapacitance * 1e12)},
        {"self_capacitance_from", resonance  ? "measured"
                                  : measured ? "assumed"
                                             : computed},
        {"q", num(l.q)},
        {"q_from", !l.qGiven  ? computed
                   : measured ? "measured"
                              : "given"},
        {"apparent_inductance_uh", num(l.apparentInductance * 1e6)}};
}

// Over ground: what the pattern sends into the sky, apart from the wire and coils' efficiency,
// in which NEC-2 counts what the ground absorbs as radiated.
Json sky(const std::optional<check::SkyShare>& share) {
    if (!share) {
        return Json();
    }
    return Json{{"radiated_into_sky_percent", num(share->share * 100)},
                {"max_gain_dbi", num(share->maxGainDbi)},
                {"max_gain_elevation_deg", num(share->maxElevation)}};
}

// An inverted V as modelled at this length; nothing for the straight wire. In free space there
// is no height, only the drop from the apex to the ends.
Json hang(const check::WireShape& shape, const check::CheckInputs& in) {
    if (in.hang.shape != check::HangShape::InvertedV) {
        return Json();
    }
    const bool overGround = in.ground.kind != check::GroundKind::FreeSpace;
    return Json{{"leg_angle_deg", num(shape.legAngle)},
                {"apex_height_m", overGround ? num(shape.apexHeight) : Json()},
                {"ends_height_m", overGround ? num(shape.endsHeight) : Json()},
                {"drop_m", num(shape.apexHeight - shape.endsHeight)},
                {"span_m", num(shape.span)}};
}

Json antennaResult(const AntennaResult& a, const check::CheckInputs& in) {
    Json curve = Json::array();
    for (std::size_t i = 0; i < a.curve.size() && i < a.curveSwr.size(); ++i) {
        curve.push_back(Json::array({num(a.curve[i].frequencyMHz), num(a.curveSwr[i])}));
    }
    return Json{{"length_m", decimal(a.length, kMicrometres)},
                {"coil_apparent_uh", num(a.coilApparentInductance * 1e6)},
                {"coil_apparent_resistance_ohm", num(a.coilAtDesign.real())},
                {"coil_reactance_ohm", num(a.coilAtDesign.imag())},
                {"resonance_mhz", num(a.resonanceMHz)},
                {"resonance_uncertainty_percent",
                 a.resonanceMHz ? num(a.resonanceUncertainty * 100) : Json()},
                {"resonance_resistance_ohm", a.resonanceMHz ? num(a.resonanceResistance) : Json()},
                {"design_resistance_ohm", num(a.designImpedance.real())},
                {"design_reactance_ohm", num(a.designImpedance.imag())},
                {"design_swr", num(a.designSwr)},
                {"band_lower_mhz", num(a.band.lowerMHz)},
                {"band_upper_mhz", num(a.band.upperMHz)},
                {"design_efficiency_percent", num(a.designEfficiency * 100)},
                {"sky", sky(a.sky)},
                {"hang", hang(a.shape, in)},
                {"converged", a.converged},
                {"swr_curve_mhz_swr", curve}};
}

const char* trimOutcome(check::TrimOutcome outcome) {
    switch (outcome) {
    case check::TrimOutcome::Reached: return "reached";
    case check::TrimOutcome::CoilsInTheWay: return "coils_in_the_way";
    case check::TrimOutcome::TooFar: return "too_far";
    case check::TrimOutcome::NoResonance: return "no_resonance";
    case check::TrimOutcome::CoilResonates: return "coil_resonates";
    case check::TrimOutcome::NotConverged: return "not_converged";
    }
    return "";
}

const char* coilOutcome(check::CoilOutcome outcome) {
    switch (outcome) {
    case check::CoilOutcome::Found: return "found";
    case check::CoilOutcome::NoCoilReaches: return "no_coil_reaches";
    case check::CoilOutcome::NotConverged: return "not_converged";
    case check::CoilOutcome::NotSought: return "not_sought";
    }
    return "";
}

Json trim(const check::Trim& t) {
    const bool reached = t.outcome == check::TrimOutcome::Reached;
    const auto ifReached = [reached](const Json& value) { return reached ? value : Json(); };
    // Only a search that went as far as it could has a limit to tell.
    const bool limited = t.outcome == check::TrimOutcome::CoilsInTheWay ||
                         t.outcome == check::TrimOutcome::TooFar ||
                         t.outcome == check::TrimOutcome::NotConverged;
    const auto ifNot = [limited](const Json& value) { return limited ? value : Json(); };
    return Json{{"outcome", trimOutcome(t.outcome)},
                {"reaches_design", reached},
                {"tip_change_m", ifReached(decimal(t.tipChange, kMicrometres))},
                {"trimmed_length_m", ifReached(decimal(t.trimmedLength, kMicrometres))},
                {"limit_length_m", ifNot(decimal(t.limitLength, kMicrometres))},
                {"limit_resonance_mhz", ifNot(num(t.limitResonanceMHz))}};
}

Json neededCoil(const check::NeededCoil& c) {
    const bool found = c.outcome == check::CoilOutcome::Found;
    const auto ifFound = [found](const Json& value) { return found ? value : Json(); };
    return Json{{"outcome", coilOutcome(c.outcome)},
                {"apparent_inductance_uh", ifFound(num(c.apparentInductance * 1e6))},
                {"turns", ifFound(c.turns)},
                {"turns_uh", ifFound(num(c.turnsApparentInductance * 1e6))},
                {"turns_resistance_ohm", ifFound(num(c.turnsAtDesign.real()))},
                {"turns_resonance_mhz", ifFound(num(c.turnsResonanceMHz))},
                {"turns_resonance_uncertainty_percent",
                 ifFound(c.turnsResonanceMHz ? num(c.turnsResonanceUncertainty * 100) : Json())}};
}

// Insulated wire: its inductance per metre and how much shorter it is cut than bare wire,
// nothing when either trim does not reach F.
Json insulation(const std::optional<check::InsulationEffect>& e) {
    if (!e) {
        return Json();
    }
    return Json{{"inductance_nh_per_m", num(e->inductancePerMetre * 1e9)},
                {"bare_trim", trimOutcome(e->bareTrim)},
                {"shorter_tip_to_tip_m", num(e->shorterTipToTip)},
                {"shorter_per_tip_m", num(e->shorterPerTip)}};
}

// The table's moves are differences of resonances placed by Newton and secant steps, so they
// carry the last bits of every operation before them, which differ between maths libraries
// (the page's build against the command's). Written to a tenth of a hertz, far below the
// engine's five printed digits, they are the same figures on every build, unless a figure's
// last bits straddle a rounding boundary (for the differences seen, about one in a million).
constexpr int kTenthsOfHertzInMHz = 7;
constexpr int kTenthsOfHertzInKHz = 4;

Json toleranceSide(const std::optional<check::ToleranceMove>& side) {
    if (!side) {
        return Json();
    }
    return Json{{"resonance_move_khz", decimal(side->resonanceKHz, kTenthsOfHertzInKHz)},
                {"swr", num(side->swr)}};
}

// How far each difference between the antenna as checked and as made moves the resonance and
// the SWR at F; a row that does not apply has "applies": false and no sides.
Json tolerances(const CheckReport& r) {
    const auto& t = r.antenna->tolerances;
    if (!t) {
        return Json();
    }
    Json rows = Json::object();
    for (const check::ToleranceRow& row : t->rows) {
        rows[check::toleranceKey(row.which)] = Json{{"applies", row.applies},
                                                    {"more", toleranceSide(row.more)},
                                                    {"less", toleranceSide(row.less)},
                                                    {"more_beyond_window", row.moreBeyond},
                                                    {"less_beyond_window", row.lessBeyond}};
    }
    return Json{
        {"of", t->ofTrimmed ? "trimmed" : "built"},
        {"resonance_mhz", decimal(t->resonanceMHz, kTenthsOfHertzInMHz)},
        {"swr", num(t->swr)},
        {"rows", rows},
        {"matters_most", t->mattersMost ? Json(check::toleranceKey(*t->mattersMost)) : Json()},
        {"sentence", text(check::toleranceSentence(r))}};
}

// The built antenna with Medhurst's grounded-coil capacitance in each coil.
Json medhurst(const CheckReport& r) {
    const check::AntennaCheck& a = *r.antenna;
    if (!a.medhurst) {
        return Json();
    }
    const auto& m = a.medhurst->resonanceMHz;
    const auto& built = a.built.resonanceMHz;
    return Json{{"capacitance_pf", num(r.losses.medhurstCapacitance * 1e12)},
                {"resonance_mhz", num(m)},
                {"resonance_change_khz", m && built ? num((*m - *built) * 1000) : Json()}};
}

Json radiated(const check::RadiatedPower& p) {
    return Json{{"of", p.ofTrimmed ? "trimmed" : "built"},
                {"percent", num(p.share * 100)},
                {"full_size_percent", p.fullSizeShare ? num(*p.fullSizeShare * 100) : Json()},
                {"db_against_full_size", num(p.dbAgainstFullSize)}};
}

// The coils wound as NEC-2's helices; null where they were not.
Json helix(const std::optional<check::HelixCheck>& h) {
    if (!h) {
        return Json();
    }
    return Json{
        {"turns", h->turns},
        {"built_resonance_mhz", num(h->builtMHz)},
        {"built_uncertainty_percent", num(h->builtUncertainty * 100)},
        {"trimmed_resonance_mhz", h->trimmedMHz ? num(*h->trimmedMHz) : Json()},
        {"trimmed_uncertainty_percent", h->trimmedMHz ? num(h->trimmedUncertainty * 100) : Json()},
        {"tip_change_m", h->tipChange ? decimal(*h->tipChange, kMicrometres) : Json()},
        {"tip_in_the_way", h->tipInTheWay}};
}

Json antenna(const CheckReport& r) {
    if (!r.antenna) {
        return Json();
    }
    const check::AntennaCheck& a = *r.antenna;
    return Json{{"engine", "nec2c"},
                {"segments", a.segments},
                {"fine_segments", a.fineSegments},
                {"coil_model_spread_percent", num(a.coilModelSpread * 100)},
                {"helix", helix(a.helix)},
                {"designed", antennaResult(a.designed, r.inputs)},
                {"built", antennaResult(a.built, r.inputs)},
                {"trimmed", a.trimmed ? antennaResult(*a.trimmed, r.inputs) : Json()},
                {"trim", trim(a.trim)},
                {"matching", matchingJson(a.matching)},
                {"needed_coil", neededCoil(a.neededCoil)},
                {"insulation", insulation(a.insulation)},
                {"tolerances", tolerances(r)},
                {"medhurst", medhurst(r)},
                {"radiated", radiated(a.radiated)}};
}

Json alternative(const check::CoilAlternative& c) {
    return Json{{"former_mm", decimal(c.formerDiameter * 1000, kMicrometres)},
                {"wire_swg", c.gauge == 0 ? Json() : Json(c.gauge)},
                {"wire_diameter_mm", decimal(c.coil.wireDiameter * 1000, kWirePlaces)},
                {"pitch_mm", decimal(c.coil.pitch * 1000, kMicrometres)},
                {"turns", num(c.coil.turns)},
                {"winding_length_mm", decimal(c.windingLength * 1000, kMicrometres)},
                {"apparent_inductance_uh", num(c.apparentInductance * 1e6)},
                {"self_resonance_mhz", num(c.selfResonance / 1e6)},
                {"q", num(c.q)},
                {"long_coil", c.isLong}};
}

// Only when the coil self-resonates at or below F: the coils that would do, best first, and
// the one that self-resonates highest.
Json alternatives(const CheckReport& r) {
    Json coils = Json::array();
    for (const check::CoilAlternative& c : r.alternatives.coils) {
        coils.push_back(alternative(c));
    }
    const auto& highest = r.alternatives.highestResonance;
    return Json{{"coils", coils}, {"highest_resonance", highest ? alternative(*highest) : Json()}};
}

Json cutList(const CheckReport& r) {
    const check::CutList& c = r.cut;
    return Json{{"b_to_coil_middle", !c.coilsAtFeed},
                {"coils_at_feed", c.coilsAtFeed},
                {"inner_wire_m", num(c.innerWire)},
                {"coil_turns", num(r.coil.coil.turns)},
                {"coil_winding_length_m", decimal(check::sheetLength(r.coil.coil), 9)},
                {"coil_wire_each_m", num(c.coilWireEach)},
                {"coil_lead_allowance_m", num(check::kCoilLeadAllowance)},
                {"outer_wire_m", num(c.outerWire)},
                {"tip_change_m", decimal(c.tipChange, kMicrometres)},
                {"tip_spare_m", num(c.tipSpare)},
                {"outer_wire_to_cut_m", num(c.outerWireToCut)},
                {"antenna_wire_total_m", num(c.antennaWireTotal)},
                {"coil_wire_total_m", num(c.coilWireTotal)}};
}

} // namespace

std::string reportJson(const CheckReport& report, const std::string& version) {
    const Json root{{"program", "brevan-check"},
                    {"version", version},
                    {"verdict", texts(check::verdictSentences(report))},
                    {"inputs", inputs(report)},
                    {"design", design(report)},
                    {"coil", coil(report)},
                    {"losses", losses(report)},
                    {"modelled_coil", modelledCoil(report)},
                    {"alternatives", alternatives(report)},
                    {"antenna", antenna(report)},
                    {"power", power(report)},
                    {"measured", measured(report)},
                    {"study", study(report)},
                    {"cut_list", cutList(report)},
                    {"warnings", texts(check::warningSentences(report))}};
    return jsonText(root);
}

} // namespace brevan::check
