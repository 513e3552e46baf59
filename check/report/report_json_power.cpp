// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON report's "power": what the coils and the tips hold at the power and mode, and the
// coil to wind.
#include "report/json_parts.h"

#include "report/power_words.h"

#include <nlohmann/json.hpp>

namespace brevan::check::json_parts {
namespace {

Json powerFigures(const std::optional<check::PowerFigures>& f) {
    if (!f) {
        return Json();
    }
    const check::CoilStress& c = f->coil;
    return Json{{"feed_current_a", num(f->feedCurrentRms)},
                {"coil_current_a", num(c.currentRms)},
                {"coil_current_peak_a", num(c.currentPeak)},
                {"coil_voltage_v", num(c.voltageRms)},
                {"coil_voltage_peak_v", num(c.voltagePeak)},
                {"turn_voltage_peak_v", num(c.turnVoltagePeak)},
                {"turn_withstand_peak_v", num(c.turnWithstand)},
                {"turns_touch", c.closeWound},
                {"coil_heat_key_down_w", num(c.heatKeyDown)},
                {"coil_heat_average_w", num(c.heatAverage)},
                {"coil_temperature_rise_k", num(c.temperatureRise)},
                {"coil_temperature_rise_with_former_k", num(c.riseWithFormer)},
                {"tip_voltage_v", num(f->tipVoltageRms)},
                {"tip_voltage_peak_v", num(f->tipVoltagePeak)},
                {"insulator_rating_v", num(check::insulatorRatingV(*f))},
                {"wire_heat_key_down_w", num(f->wireHeatKeyDown)},
                {"turns_limit_w", num(f->turnsLimitW)},
                {"former_limit_w", num(f->formerLimitW)},
                {"enamel_limit_w", num(f->enamelLimitW)}};
}

Json windingChoice(const std::optional<check::WindingChoice>& c) {
    if (!c) {
        return Json();
    }
    const check::WoundCoil& coil = c->coil.coil;
    return Json{{"former_mm", num(c->coil.formerDiameter * 1000)},
                {"coil_wire_swg", c->coil.gauge == 0 ? Json() : Json(c->coil.gauge)},
                {"coil_wire_diameter_mm", num(coil.wireDiameter * 1000)},
                {"turns", num(coil.turns)},
                {"pitch_mm", num(coil.pitch * 1000)},
                {"winding_length_mm", num(c->coil.windingLength * 1000)},
                {"long_coil", c->coil.isLong},
                {"q", num(c->coil.q)},
                {"self_resonance_mhz", num(c->coil.selfResonance / 1e6)},
                {"holds_w", num(check::coilLimitW(c->power))},
                {"temperature_rise_k", num(c->power.coil.temperatureRise)},
                {"radiated_percent", num(c->radiatedShare * 100)},
                {"db_against_planned", num(c->dbAgainstPlanned)},
                {"radiated_if_loss_percent",
                 c->radiatedShareIfLoss ? num(*c->radiatedShareIfLoss * 100) : Json()},
                {"db_against_planned_if_loss",
                 c->radiatedShareIfLoss ? num(c->dbAgainstPlannedIfLoss) : Json()}};
}

Json coilToWind(const CheckReport& r) {
    if (!r.coilToWind) {
        return Json();
    }
    return Json{{"planned_q", num(r.coilToWind->plannedQ)},
                {"planned_radiated_percent", num(r.coilToWind->plannedRadiatedShare * 100)},
                {"on_former", windingChoice(r.coilToWind->onFormer)},
                {"other_former", windingChoice(r.coilToWind->otherFormer)}};
}

} // namespace

Json power(const CheckReport& r) {
    if (!r.power) {
        return Json();
    }
    const check::ModeDuty& mode = check::modeDuty(r.inputs.power.mode);
    return Json{{"power_w", num(r.inputs.power.watts)},
                {"mode", mode.option},
                {"average_to_peak", num(mode.averageToPeak)},
                {"built", powerFigures(r.power->built)},
                {"trimmed", powerFigures(r.power->trimmed)},
                {"swept", powerFigures(r.power->swept)},
                {"coil_to_wind", coilToWind(r)},
                {"notes", texts(check::powerMethodNotes(r))}};
}

} // namespace brevan::check::json_parts
