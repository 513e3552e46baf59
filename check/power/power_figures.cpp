// SPDX-License-Identifier: GPL-3.0-or-later
#include "power/power_figures.h"

#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brevan::check {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
// Peek's onset field for smooth wires in air of relative density 1: 30 kV/cm, in V/m, and his
// radius term's 0.301 sqrt(cm), in sqrt(m).
constexpr double kPeekField = 3.0e6;
constexpr double kPeekRadiusTerm = 0.0301;
// The sparkover of a uniform gap in air at 20 degrees C and one atmosphere, V = 24.4 d + 6.53
// sqrt(d) kV for d in cm (E. Kuffel, W. S. Zaengl, J. Kuffel, "High Voltage Engineering:
// Fundamentals", 2nd ed., 2000, section 5.5): a gap between round wires, whose field is
// stronger than uniform nowhere but at the wires, sparks over no later.
constexpr double kUniformGapPerCm = 24.4e3;  // V / cm
constexpr double kUniformGapRootCm = 6.53e3; // V / sqrt(cm)
constexpr double kCloseWoundPitch = 1.05;    // of the wire's diameter

// Shares of the peak envelope power averaged over a transmission. SSB, CW, FM and the digital
// modes: the operating duty factors of FCC OET Bulletin 65, Supplement B (1997), Table 1
// ("conventional SSB" without speech processing; CW of ordinary keying). AM: the carrier, a
// quarter of the peak envelope power when speech peaks reach full modulation, with speech's
// sidebands at an average modulation of 30 % (1 + 0.3^2 / 2 of the carrier).
constexpr std::array<ModeDuty, 5> kModes{{
    {Mode::Ssb, "SSB", "ssb", 0.20, "FCC OET Bulletin 65 Supplement B, conventional SSB"},
    {Mode::Cw, "CW", "cw", 0.40, "FCC OET Bulletin 65 Supplement B, CW"},
    {Mode::Am, "AM", "am", 0.26125,
     "the carrier at a quarter of the peak, with speech at an average modulation of 30 %"},
    {Mode::Fm, "FM", "fm", 1.0, "FCC OET Bulletin 65 Supplement B, FM: a constant envelope"},
    {Mode::Digital, "digital", "digital", 1.0,
     "FCC OET Bulletin 65 Supplement B, RTTY and FSK: full duty, as FT8 and PSK are"},
}};

double acosh(double x) {
    return portable::log(x + std::sqrt(x * x - 1.0));
}

// The power at which a figure that grows as the power (or as its square root, for a voltage)
// reaches `limit`.
double powerAt(double watts, double value, double limit, bool voltage) {
    if (!(value > 0.0)) {
        return 0.0;
    }
    const double ratio = limit / value;
    return watts * (voltage ? ratio * ratio : ratio);
}

// The power at which the winding, shedding `heat` at `watts`, runs `rise` above the air. Its
// heat and its leads' own grow as the power, and so does the leads' own rise: the power is
// bisected by that rise, whose excess of heat over what is shed grows with it.
double powerAtRise(double watts, double heat, const CylinderInAir& surface, const LeadInAir& lead,
                   double rise) {
    if (!(heat > 0.0)) {
        return 0.0;
    }
    if (!(lead.heatPerMetre > 0.0) || !(lead.diameter > 0.0)) {
        return watts * windingShed(surface, leadFinAt(lead, 0.0), rise) / heat;
    }
    const auto power = [&](double far) {
        return watts * leadHeatPerMetre(lead, far) / lead.heatPerMetre;
    };
    const auto excess = [&](double far) {
        return heat / watts * power(far) - windingShed(surface, leadFinAt(lead, far), rise);
    };
    double low = 0.0;
    double high = rise; // where the leads take none of the winding's heat
    while (excess(high) < 0.0 && high < kHottestRise) {
        low = high;
        high *= 2.0;
    }
    for (int i = 0; i < 60 && high - low > 1e-9 * high; ++i) {
        const double mid = 0.5 * (low + high);
        (excess(mid) < 0.0 ? low : high) = mid;
    }
    return power(0.5 * (low + high));
}

} // namespace

const ModeDuty& modeDuty(Mode mode) {
    for (const ModeDuty& m : kModes) {
        if (m.mode == mode) {
            return m;
        }
    }
    return kModes.front();
}

bool closeWound(const CoilBuild& coil) {
    return coil.pitch <= kCloseWoundPitch * coil.wireDiameter;
}

double turnWithstand(const CoilBuild& coil) {
    if (closeWound(coil)) {
        return kPaschenMinimumV;
    }
    // Two parallel round wires of radius a, centres 2h apart: the field at the surface facing
    // the other wire is V c / (2 a (h - a) acosh(h / a)), c = sqrt(h^2 - a^2).
    const double a = 0.5 * coil.wireDiameter;
    const double h = 0.5 * coil.pitch;
    const double c = std::sqrt(h * h - a * a);
    const double onsetField = kPeekField * (1.0 + kPeekRadiusTerm / std::sqrt(a));
    const double onset = onsetField * 2.0 * a * (h - a) * acosh(h / a) / c;
    const double gapCm = (coil.pitch - coil.wireDiameter) * 100.0;
    const double uniform = kUniformGapPerCm * gapCm + kUniformGapRootCm * std::sqrt(gapCm);
    return std::max(kPaschenMinimumV, std::min(onset, uniform) / kSpacedTurnsMargin);
}

CylinderInAir windingSurface(const CoilBuild& coil) {
    return {coil.meanDiameter + coil.wireDiameter,
            std::max(coil.windingLength, coil.turns * coil.pitch),
            closeWound(coil) ? kEnamelEmissivity : kBareCopperEmissivity};
}

LeadInAir windingLead(const CoilBuild& coil, double currentRms) {
    return {coil.wireDiameter, coil.leadLength, windingSurface(coil).emissivity,
            currentRms * currentRms * coil.leadOhmsPerMetre};
}

std::optional<PowerFigures> powerFigures(const CurrentsAtDesign& currents,
                                         std::complex<double> coilAtDesign, const CoilBuild& coil,
                                         const PowerSetting& setting) {
    if (!(currents.feedResistance > 0.0) || !(setting.watts > 0.0)) {
        return std::nullopt;
    }
    PowerFigures out;
    out.setting = setting;
    const double share = modeDuty(setting.mode).averageToPeak;
    out.feedCurrentRms = std::sqrt(setting.watts / currents.feedResistance);
    CoilStress& s = out.coil;
    s.currentRms = currents.coilCurrent * out.feedCurrentRms;
    s.currentPeak = kSqrt2 * s.currentRms;
    s.voltageRms = s.currentRms * portable::abs(coilAtDesign);
    s.voltagePeak = kSqrt2 * s.voltageRms;
    s.turnVoltagePeak = coil.turns > 0.0 ? s.voltagePeak / coil.turns : 0.0;
    s.turnWithstand = turnWithstand(coil);
    s.closeWound = closeWound(coil);
    s.heatKeyDown = s.currentRms * s.currentRms * std::max(0.0, coilAtDesign.real());
    s.heatAverage = share * s.heatKeyDown;
    const CylinderInAir surface = windingSurface(coil);
    const LeadInAir lead = windingLead(coil, std::sqrt(share) * s.currentRms);
    s.temperatureRise = windingRise(surface, leadFin(lead), s.heatAverage);
    out.tipVoltageRms = currents.tipPotential * out.feedCurrentRms;
    out.tipVoltagePeak = kSqrt2 * out.tipVoltageRms;
    out.wireHeatKeyDown = currents.wireLoss * out.feedCurrentRms * out.feedCurrentRms;
    out.turnsLimitW = powerAt(setting.watts, s.turnVoltagePeak, s.turnWithstand, true);
    out.formerLimitW = powerAtRise(setting.watts, s.heatAverage, surface, lead, kFormerMostRise);
    out.enamelLimitW = powerAtRise(setting.watts, s.heatAverage, surface, lead, kEnamelMostRise);
    return out;
}

double riseWithFormer(const CoilBuild& coil, const PowerFigures& f) {
    const CoilStress& s = f.coil;
    const double share = modeDuty(f.setting.mode).averageToPeak;
    const double formerDiameter = coil.meanDiameter - coil.wireDiameter;
    const FormerInAir former{formerDiameter, coil.solidFormer ? formerDiameter : kFormerWall};
    return windingRiseWithFormer(windingSurface(coil),
                                 leadFin(windingLead(coil, std::sqrt(share) * s.currentRms)),
                                 former, s.heatAverage);
}

void addFormerRelief(const CoilBuild& coil, PowerFigures& f) {
    CoilStress& s = f.coil;
    s.riseWithFormer = riseWithFormer(coil, f);
    s.formerShare = s.temperatureRise > 0.0 ? 1.0 - s.riseWithFormer / s.temperatureRise : 0.0;
}

double coilLimitW(const PowerFigures& f) {
    double limit = 0.0;
    for (const double w : {f.turnsLimitW, f.formerLimitW, f.enamelLimitW}) {
        if (w > 0.0 && (limit == 0.0 || w < limit)) {
            limit = w;
        }
    }
    return limit;
}

double insulatorRatingV(const PowerFigures& f) {
    return 2.0 * f.tipVoltagePeak;
}

} // namespace brevan::check
