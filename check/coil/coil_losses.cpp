#include "coil/coil_losses.h"

#include "coil/physics.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace brevan::check {
namespace {

// Radius / skin depth above which the wire's asymptotic series replaces the Bessel series: the
// series has lost only ~1e-14 to cancellation there and the asymptote's first omitted term is
// below 1e-8 of the result.
constexpr double kSkinSeriesLimit = 12.0;

// Dowell's layer ratio below which its closed form loses more than ~1e-12 to cancellation, and
// above which sinh and cosh have long since cancelled to 1 (and would later overflow).
constexpr double kDowellSmall = 0.01;
constexpr double kDowellLarge = 20.0;

// Medhurst's formula needs a length; a winding shorter than this is treated as this long.
constexpr double kShortestWindingCm = 1e-7;

// R_ac / R_dc of an isolated round wire with x = radius / skin depth: the real part of
// (z / 2) I0(z) / I1(z), z = (1 + j) x, the exact solution of the diffusion equation in the
// wire (equivalent to the Kelvin-function form with ber and bei).
double wireSkinRatio(double x) {
    if (x > kSkinSeriesLimit) {
        // (z/2) I0/I1 expanded for large z; its x^-2 and x^-6 terms are purely reactive.
        const double inv = 1.0 / x;
        const double inv3 = inv * inv * inv;
        return 0.5 * x + 0.25 + 3.0 / 32.0 * inv -
               inv3 * (63.0 / 1024.0 + inv * (27.0 / 256.0 + inv * 1899.0 / 16384.0));
    }
    const std::complex<double> z(x, x);
    const std::complex<double> quarterZ2 = 0.25 * z * z;
    std::complex<double> termI0(1.0, 0.0); // (z^2/4)^k / (k!)^2
    std::complex<double> termI1(1.0, 0.0); // (z^2/4)^k / (k! (k+1)!)
    std::complex<double> sumI0 = termI0;
    std::complex<double> sumI1 = termI1;
    for (int k = 1; k < 200; ++k) {
        const double kk = static_cast<double>(k);
        termI0 *= quarterZ2 / (kk * kk);
        termI1 *= quarterZ2 / (kk * (kk + 1.0));
        sumI0 += termI0;
        sumI1 += termI1;
        if (std::abs(termI0) <= 1e-17 * std::abs(sumI0) &&
            std::abs(termI1) <= 1e-17 * std::abs(sumI1)) {
            break;
        }
    }
    // I1(z) = (z/2) sumI1, so (z/2) I0 / I1 = sumI0 / sumI1.
    return (sumI0 / sumI1).real();
}

// Dowell's factor for a single layer of thickness ratio delta.
double dowellOneLayer(double delta) {
    if (delta < kDowellSmall) {
        const double d2 = delta * delta;
        return 1.0 + 4.0 / 45.0 * d2 * d2;
    }
    if (delta > kDowellLarge) {
        return delta;
    }
    const double x = 2.0 * delta;
    return delta * (std::sinh(x) + std::sin(x)) / (std::cosh(x) - std::cos(x));
}

} // namespace

double skinDepth(double frequency) {
    const double f = std::max(frequency, std::numeric_limits<double>::min());
    return std::sqrt(kCopperResistivity / (kPi * f * kMu0));
}

double windingWireLength(const WoundCoil& coil) {
    return coil.turns * std::hypot(kPi * coil.meanDiameter, coil.pitch);
}

CoilLoss coilResistance(const WoundCoil& coil, double frequency) {
    CoilLoss loss;
    const double d = coil.wireDiameter;
    if (!(d > 0.0)) {
        return loss;
    }
    const double delta = skinDepth(frequency);
    loss.dcResistance = kCopperResistivity * windingWireLength(coil) / (0.25 * kPi * d * d);
    loss.skinResistance = loss.dcResistance * wireSkinRatio(0.5 * d / delta);
    // Dowell: the round wires as square foils of equal area, side sqrt(pi)/2 d, with the
    // layer's porosity d / p; a pitch below the wire diameter is read as close-wound.
    const double porosity = coil.pitch > d ? d / coil.pitch : 1.0;
    const double layer = std::pow(0.25 * kPi, 0.75) * (d / delta) * std::sqrt(porosity);
    loss.acResistance = std::max(loss.dcResistance * dowellOneLayer(layer), loss.skinResistance);
    loss.proximityFactor =
        loss.skinResistance > 0.0 ? loss.acResistance / loss.skinResistance : 1.0;
    return loss;
}

double selfCapacitance(const WoundCoil& coil) {
    const double diameterCm = 100.0 * coil.meanDiameter;
    const double lengthCm = std::max(100.0 * sheetLength(coil), kShortestWindingCm);
    const double picofarads = 0.1126 * lengthCm + 0.08 * diameterCm +
                              0.27 * diameterCm * std::sqrt(diameterCm / lengthCm);
    return picofarads * 1e-12;
}

double selfResonantFrequency(double inductance, double capacitance) {
    if (!(inductance > 0.0) || !(capacitance > 0.0)) {
        return 0.0;
    }
    // sqrt of each apart: the product of two small values could underflow to zero.
    return 1.0 / (2.0 * kPi * std::sqrt(inductance) * std::sqrt(capacitance));
}

} // namespace brevan::check
