// SPDX-License-Identifier: GPL-3.0-or-later
#include "power/heat_transfer.h"

#include "coil/physics.h"
#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace brevan::check {

namespace {

constexpr double kStefanBoltzmann = 5.670374419e-8; // W / m^2 K^4
constexpr double kGravity = 9.80665;                // m / s^2
constexpr double kZeroCelsius = 273.15;             // K
constexpr double kCopperConduction = 401.0;         // W / m K (Incropera and DeWitt, Table A.1)

// Air at one atmosphere (Incropera and DeWitt, Table A.4).
struct Air {
    double kelvin;
    double viscosity;   // kinematic, m^2 / s
    double conduction;  // W / m K
    double diffusivity; // m^2 / s
    double prandtl;
};
constexpr std::array<Air, 7> kAir{{
    {250.0, 11.44e-6, 22.3e-3, 15.9e-6, 0.720},
    {300.0, 15.89e-6, 26.3e-3, 22.5e-6, 0.707},
    {350.0, 20.92e-6, 30.0e-3, 29.9e-6, 0.700},
    {400.0, 26.41e-6, 33.8e-3, 38.3e-6, 0.690},
    {450.0, 32.39e-6, 37.3e-3, 47.2e-6, 0.686},
    {500.0, 38.79e-6, 40.7e-3, 56.7e-6, 0.684},
    {600.0, 52.69e-6, 46.9e-3, 76.9e-6, 0.685},
}};

// Straight-line interpolation of the table, held at its ends.
Air airAt(double kelvin) {
    const double t = std::clamp(kelvin, kAir.front().kelvin, kAir.back().kelvin);
    std::size_t i = 1;
    while (i + 1 < kAir.size() && kAir[i].kelvin < t) {
        ++i;
    }
    const Air& a = kAir[i - 1];
    const Air& b = kAir[i];
    const double w = (t - a.kelvin) / (b.kelvin - a.kelvin);
    const auto mix = [w](double x, double y) { return x + w * (y - x); };
    return {t, mix(a.viscosity, b.viscosity), mix(a.conduction, b.conduction),
            mix(a.diffusivity, b.diffusivity), mix(a.prandtl, b.prandtl)};
}

// Churchill and Chu: Nu = (0.60 + 0.387 Ra^(1/6) / (1 + (0.559 / Pr)^(9/16))^(8/27))^2.
double convection(double diameter, double airCelsius, double rise) {
    const double ambient = airCelsius + kZeroCelsius;
    const Air air = airAt(ambient + 0.5 * rise);
    const double expansion = 1.0 / air.kelvin; // an ideal gas
    const double rayleigh = kGravity * expansion * rise * diameter * diameter * diameter /
                            (air.viscosity * air.diffusivity);
    const double shape =
        portable::pow(1.0 + portable::pow(0.559 / air.prandtl, 9.0 / 16.0), 8.0 / 27.0);
    const double root = 0.60 + 0.387 * portable::pow(rayleigh, 1.0 / 6.0) / shape;
    return root * root * air.conduction / diameter;
}

double radiation(double emissivity, double airCelsius, double rise) {
    const double cold = airCelsius + kZeroCelsius;
    const double hot = cold + rise;
    return emissivity * kStefanBoltzmann * (hot + cold) * (hot * hot + cold * cold);
}

// A metre of the lead, as the cylinder that sheds its heat.
CylinderInAir leadMetre(const LeadInAir& lead) {
    return {lead.diameter, 1.0, lead.emissivity, lead.airCelsius};
}

// The rise in 0..kHottestRise at which `shed`, which grows with the rise, reaches `heat`: bisected.
template <typename Shed> double riseWhere(const Shed& shed, double heat) {
    double low = 0.0;
    double high = kHottestRise;
    if (shed(high) < heat) {
        return high;
    }
    for (int i = 0; i < 60 && high - low > 1e-6; ++i) {
        const double mid = 0.5 * (low + high);
        (shed(mid) < heat ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

} // namespace

double heatShed(const CylinderInAir& c, double rise) {
    if (!(rise > 0.0) || !(c.diameter > 0.0) || !(c.length > 0.0)) {
        return 0.0;
    }
    const double area = kPi * c.diameter * c.length;
    return area *
           (convection(c.diameter, c.airCelsius, rise) +
            radiation(c.emissivity, c.airCelsius, rise)) *
           rise;
}

double temperatureRise(const CylinderInAir& c, double heat) {
    if (!(heat > 0.0)) {
        return 0.0;
    }
    return riseWhere([&c](double rise) { return heatShed(c, rise); }, heat);
}

double surfaceCoefficient(const CylinderInAir& c, double rise) {
    if (!(c.diameter > 0.0)) {
        return 0.0;
    }
    const double r = std::max(rise, 0.0);
    return convection(c.diameter, c.airCelsius, r) + radiation(c.emissivity, c.airCelsius, r);
}

LeadFin leadFinAt(const LeadInAir& lead, double farRise) {
    if (!(lead.diameter > 0.0)) {
        return {};
    }
    const double h = surfaceCoefficient(leadMetre(lead), farRise);
    const double perimeter = kPi * lead.diameter;
    const double section = 0.25 * kPi * lead.diameter * lead.diameter;
    const double m = std::sqrt(h * perimeter / (kCopperConduction * section));
    // tanh(m L), from one exponential: 1 at any length beyond a few 1 / m.
    const double fall = portable::exp(-2.0 * m * std::max(lead.length, 0.0));
    const double reach = (1.0 - fall) / (1.0 + fall);
    return {farRise, std::sqrt(h * perimeter * kCopperConduction * section) * reach};
}

LeadFin leadFin(const LeadInAir& lead) {
    return leadFinAt(lead, temperatureRise(leadMetre(lead), lead.heatPerMetre));
}

double leadHeatPerMetre(const LeadInAir& lead, double farRise) {
    return heatShed(leadMetre(lead), farRise);
}

double windingShed(const CylinderInAir& winding, const LeadFin& lead, double rise) {
    return heatShed(winding, rise) + 2.0 * lead.conductance * (rise - lead.farRise);
}

double windingRise(const CylinderInAir& winding, const LeadFin& lead, double heat) {
    if (!(heat > 0.0) && !(lead.farRise > 0.0)) {
        return 0.0;
    }
    return riseWhere([&](double rise) { return windingShed(winding, lead, rise); }, heat);
}

double formerFinHeat(const FormerInAir& former, double rise) {
    if (!(former.diameter > 0.0) || !(former.wall > 0.0) || !(rise > 0.0)) {
        return 0.0;
    }
    const double wall = std::min(former.wall, 0.5 * former.diameter);
    const double section = kPi * wall * (former.diameter - wall);
    // P h theta is what a metre of the former's outside sheds at theta: Simpson's rule over
    // the rise, which is smooth enough for 32 steps to hold 1e-4.
    const CylinderInAir metre{former.diameter, 1.0, former.emissivity, former.airCelsius};
    constexpr int kSteps = 32;
    const double step = rise / kSteps;
    double sum = heatShed(metre, rise);
    for (int i = 1; i < kSteps; ++i) {
        sum += (i % 2 == 1 ? 4.0 : 2.0) * heatShed(metre, i * step);
    }
    const double integral = sum * step / 3.0;
    return std::sqrt(2.0 * kPvcConduction * section * integral);
}

double windingRiseWithFormer(const CylinderInAir& winding, const LeadFin& lead,
                             const FormerInAir& former, double heat) {
    if (!(heat > 0.0) && !(lead.farRise > 0.0)) {
        return 0.0;
    }
    return riseWhere(
        [&](double rise) {
            return windingShed(winding, lead, rise) + 2.0 * formerFinHeat(former, rise);
        },
        heat);
}

} // namespace brevan::check
