// SPDX-License-Identifier: GPL-3.0-or-later
#include "loading_coil.h"

#include "general_format.h"
#include "portable_maths.h"
#include "wire_gauge_table.h"

#include <cmath>

namespace brevan {
namespace {

// The ten-digit value the formula was fitted with; the full-precision constant would move the
// last digits of every published result.
constexpr double kPi = 3.141592654;
constexpr double kQuarterWaveFeetMHz = 234.0;

// x * x, which is what an optimising compiler makes of pow(x, 2). Written out, because an
// unoptimised build calls the C library's pow instead, and glibc's misses the nearest double of
// x^2 for about one argument in a thousand: a debug build would print other last digits.
double square(double x) {
    return x * x;
}

// (ln(24 * length / D) - 1) / length, with the reciprocal formed first. The logarithm is the
// double nearest the true one, the same on the desktop and in the web page: the C library's
// differ between the two in the last place for a few arguments in a million, and the check
// prints the inductance whole.
double logTerm(double length, double wireDia) {
    const double ln = portable::nearestLog(length * 24 / wireDia);
    return (ln - 1) * (1 / length);
}

bool allFinite(const DesignState& s) {
    for (double v : {s.fullOuterLength, s.outerLength, s.inductanceScale, s.fullLogTerm,
                     s.fullShapeTerm, s.outerLogTerm, s.outerShapeTerm, s.inductance}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

DesignFault checkInputs(const DesignState& s, double wireSWG) {
    // A gauge without a row keeps the last diameter looked up: a non-finite one would then be
    // stored beside it.
    if (!std::isfinite(s.freqMHz) || !std::isfinite(s.lengthA) || !std::isfinite(s.distB) ||
        !std::isfinite(wireSWG)) {
        return DesignFault::NonFinite;
    }
    if (s.freqMHz == 0.0) {
        return DesignFault::ZeroFrequency;
    }
    return DesignFault::None;
}

} // namespace

LoadingCoilResult computeLoadingCoil(DesignState& state, double wireSWG,
                                     std::string_view decimalSeparator) {
    LoadingCoilResult result;
    result.fault = checkInputs(state, wireSWG);
    if (result.fault != DesignFault::None) {
        return result;
    }

    DesignState s = state; // committed only when every value is defined
    const double f = s.freqMHz;
    const double b = s.distB;
    s.fullOuterLength = kQuarterWaveFeetMHz / f - b;
    s.outerLength = s.lengthA / 2 - b;
    s.wireSWG = wireSWG;
    WireGaugeTable::lookupDiameter(WireColumn::Antenna, s.wireSWG, s.wireDia);

    if (!(s.fullOuterLength > 0.0)) {
        result.fault = std::isfinite(s.fullOuterLength) ? DesignFault::FullOuterNotPositive
                                                        : DesignFault::NonFinite;
        return result;
    }
    if (!(s.outerLength > 0.0)) {
        result.fault = DesignFault::OuterNotPositive;
        return result;
    }
    if (!(s.wireDia > 0.0)) {
        result.fault = DesignFault::NoWireDiameter;
        return result;
    }
    const double scaleDivisor = square(f * kPi) * 68;
    if (!(scaleDivisor > 0.0)) { // F so small that its square is lost: no finite scale
        result.fault = DesignFault::NonFinite;
        return result;
    }
    s.inductanceScale = 1000000 / scaleDivisor;

    s.fullLogTerm = logTerm(s.fullOuterLength, s.wireDia);
    s.fullShapeTerm = square(1 - b * f / kQuarterWaveFeetMHz) - 1;
    s.outerLogTerm = logTerm(s.outerLength, s.wireDia);
    s.outerShapeTerm = square(f * s.outerLength / kQuarterWaveFeetMHz) - 1;
    s.inductance =
        (s.fullShapeTerm * s.fullLogTerm - s.outerShapeTerm * s.outerLogTerm) * s.inductanceScale;
    if (!allFinite(s)) {
        result.fault = DesignFault::NonFinite;
        return result;
    }

    state = s;
    result.inductance = s.inductance;
    result.text = formatDouble(s.inductance, decimalSeparator);
    return result;
}

} // namespace brevan
