// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_format.h"

#include "floating_chars.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

std::string number(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "-";
    }
    // -0.0 reads oddly in a report.
    const double rounded = value == 0.0 ? 0.0 : value;
    char buffer[64];
    const auto result =
        toChars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') {
        text.erase(0, 1);
    }
    return text;
}

std::string significant(double value, int digits) {
    if (!std::isfinite(value) || value == 0.0) {
        return number(value, 0);
    }
    const int magnitude = portable::decimalExponent(value);
    return number(value, std::max(0, digits - 1 - magnitude));
}

std::string feetAndInches(double metres) {
    if (!std::isfinite(metres)) {
        return "-";
    }
    constexpr double kEighthsPerMetre = 8.0 / 0.0254;
    const long long eighths = std::llround(std::abs(metres) * kEighthsPerMetre);
    const long long feet = eighths / (12 * 8);
    const long long inches = eighths % (12 * 8) / 8;
    long long fraction = eighths % 8; // eighths of an inch, in lowest terms below
    long long denominator = 8;
    while (fraction != 0 && fraction % 2 == 0) {
        fraction /= 2;
        denominator /= 2;
    }
    std::string text = metres < 0 && eighths != 0 ? "-" : "";
    if (feet != 0) {
        text += std::to_string(feet) + " ft";
    }
    if (inches != 0 || fraction != 0 || feet == 0) {
        text += feet != 0 ? " " : "";
        // "1 ft 0 5/8 in", so that the fraction is not read as the foot's.
        if (inches != 0 || fraction == 0 || feet != 0) {
            text += std::to_string(inches);
        }
        if (fraction != 0) {
            text += (inches != 0 || feet != 0 ? " " : "") + std::to_string(fraction) + "/" +
                    std::to_string(denominator);
        }
        text += " in";
    }
    return text;
}

std::string Lengths::metric(double value, int decimals, const char* unit, double metres) const {
    return imperial() ? feetAndInches(metres) : number(value, decimals) + " " + unit;
}

std::string Lengths::m(double metres, int decimals) const {
    return metric(metres, decimals, "m", metres);
}

std::string Lengths::cm(double metres, int decimals) const {
    return metric(metres * 100, decimals, "cm", metres);
}

std::string Lengths::mm(double metres, int decimals) const {
    return metric(metres * 1000, decimals, "mm", metres);
}

namespace {

// "AWG 14", "AWG 00": the gauge nearest in diameter.
std::string awgGauge(double diameterMm) {
    const int awg = nearestAwg(diameterMm);
    return "AWG " +
           (awg < 0 ? std::string(static_cast<std::size_t>(1 - awg), '0') : std::to_string(awg));
}

} // namespace

std::string wireText(const CheckInputs& in, int swg, const std::optional<WireSize>& size,
                     double diameterMm) {
    const std::string metric = number(diameterMm, 3) + " mm";
    if (in.units == LengthUnits::Metric || (size && size->system == WireSystem::Awg)) {
        return wireName(swg, size) + ", " + metric;
    }
    const bool asMillimetres = size && size->system == WireSystem::Millimetres;
    return awgGauge(diameterMm) + " (" + (asMillimetres ? "" : wireName(swg, size) + ", ") +
           metric + ")";
}

std::string awgText(int swg, const std::optional<WireSize>& size, double diameterMm) {
    if (size && size->system == WireSystem::Awg) {
        return wireName(swg, size);
    }
    return awgGauge(diameterMm) + " (" + wireName(swg, size) + ")";
}

std::string tableGaugeText(const Lengths& lengths, int swg) {
    const std::string name = "SWG " + std::to_string(swg);
    return lengths.imperial() ? awgGauge(coilWireDiameterMm(swg)) + " (" + name + ")" : name;
}

std::string coilDimension(const Lengths& lengths, double metres) {
    return lengths.imperial() ? feetAndInches(metres) + " (" + number(metres * 1000, 1) + " mm)"
                              : number(metres * 1000, 2) + " mm";
}

std::string withInches(const Lengths& lengths, double metres, const std::string& metric) {
    return lengths.imperial() ? feetAndInches(metres) + " (" + metric + ")" : metric;
}

std::string pitchWithTpi(const Lengths& lengths, double pitchM, const std::string& metric) {
    return lengths.imperial() ? number(0.0254 / pitchM, 1) + " turns per inch (" + metric + ")"
                              : metric;
}

std::string turnsText(double turns) {
    return number(turns, 0) + (turns == 1 ? " turn" : " turns");
}

std::string uncertaintyText(double uncertainty) {
    const double percent = uncertainty * 100;
    return "± " + (percent < 1 ? significant(percent, 1) : number(percent, 1)) + " %";
}

std::string resonanceText(double frequencyMHz, double uncertainty) {
    const std::string text = number(frequencyMHz, 3) + " MHz";
    return uncertainty > kShownUncertainty ? text + " " + uncertaintyText(uncertainty) : text;
}

std::string swrText(double swr) {
    return number(swr, swr < 10 ? 1 : 0);
}

std::string longCoilText(const CoilLength& length) {
    return "it spans " + number(length.spanDegrees, 0) +
           " degrees of its own slow wave, its wire " + number(length.wireWavelengths, 2) +
           " wavelength";
}

std::string selfCapacitanceSource(SelfResonanceModel model) {
    switch (model) {
    case SelfResonanceModel::Lumped: break;
    case SelfResonanceModel::Joined: return "between Knight 2016 and the helical line";
    case SelfResonanceModel::HelicalLine: return "the helical line's, Kandoian and Sichak 1953";
    }
    return "Knight 2016";
}

} // namespace brevan::check
