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
