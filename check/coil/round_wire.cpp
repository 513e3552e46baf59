// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/round_wire.h"

#include "coil/physics.h"
#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>

namespace brevan::check {
namespace {

using Complex = std::complex<double>;

// Radius / skin depth above which the asymptotic series replaces the power series. Below it the
// power series loses about e^((sqrt 2 - 1) x), ~1e-14, to cancellation; above it the asymptotic
// series (ten terms) is within 2e-10 of the exact ratio, the exponentially small part it cannot
// represent included.
constexpr double kSkinSeriesLimit = 12.0;

// Below this radius / skin depth the first terms of the power series are exact to 1e-18, and
// the series itself would divide its x^2 / 4 back out of a product that underflows.
constexpr double kThinWire = 1e-3;

// (z/2) I0(z) / I1(z) by the two power series; I1(z) = (z/2) sumI1 cancels the leading z/2.
Complex besselRatioSeries(double x) {
    const Complex z(x, x);
    const Complex quarterZ2 = 0.25 * z * z;
    Complex termI0(1.0, 0.0); // (z^2/4)^k / (k!)^2
    Complex termI1(1.0, 0.0); // (z^2/4)^k / (k! (k+1)!)
    Complex sumI0 = termI0;
    Complex sumI1 = termI1;
    for (int k = 1; k < 200; ++k) {
        const double kk = static_cast<double>(k);
        termI0 *= quarterZ2 / (kk * kk);
        termI1 *= quarterZ2 / (kk * (kk + 1.0));
        sumI0 += termI0;
        sumI1 += termI1;
        // The portable |z| and division: the C library's differ in the last bits between the
        // desktop and the web page (maths/portable_maths.h), and a thin coil wire at a low F
        // (SWG 22 at 3.6 MHz) takes this series.
        if (portable::abs(termI0) <= 1e-17 * portable::abs(sumI0) &&
            portable::abs(termI1) <= 1e-17 * portable::abs(sumI1)) {
            break;
        }
    }
    return portable::divide(sumI0, sumI1);
}

// The same for large |z|: I0/I1 = sum c_n z^-n, the c_n from the Riccati equation
// r' = 1 - r^2 + r/z that r = I0/I1 obeys (c_0 = 1, 2 c_m = m c_(m-1) - sum c_i c_(m-i)).
Complex besselRatioAsymptotic(double x) {
    constexpr std::array<double, 11> kC = {1.0,
                                           1.0 / 2.0,
                                           3.0 / 8.0,
                                           3.0 / 8.0,
                                           63.0 / 128.0,
                                           27.0 / 32.0,
                                           1899.0 / 1024.0,
                                           81.0 / 16.0,
                                           543483.0 / 32768.0,
                                           32427.0 / 512.0,
                                           72251109.0 / 262144.0};
    const Complex z(x, x);
    const Complex inv = portable::divide(1.0, z);
    Complex sum(0.0, 0.0);
    for (auto c = kC.rbegin(); c != kC.rend(); ++c) {
        sum = sum * inv + *c;
    }
    return 0.5 * z * sum;
}

} // namespace

double skinDepth(double frequency) {
    const double f = std::max(frequency, std::numeric_limits<double>::min());
    return std::sqrt(kCopperResistivity / (kPi * f * kMu0));
}

WireInternalImpedance roundWireInternal(double radiusOverDepth) {
    const double x = radiusOverDepth;
    if (!(x > 0.0)) {
        return {};
    }
    if (x < kThinWire) {
        // (z/2) I0/I1 = 1 + z^2/8 - z^4/192 + z^6/3072 - ..., with z^2 = 2j x^2.
        const double x4 = x * x * x * x;
        return {1.0 + x4 / 48.0, 1.0 - x4 / 96.0};
    }
    const Complex ratio = x > kSkinSeriesLimit ? besselRatioAsymptotic(x) : besselRatioSeries(x);
    // Im Z / R_dc = omega L_int / R_dc, and omega (mu0 / 8 pi) / R_dc per metre is x^2 / 4.
    return {ratio.real(), 4.0 * ratio.imag() / (x * x)};
}

double wireResistancePerMetre(double diameter, double frequency) {
    const double a = 0.5 * diameter;
    return kCopperResistivity / (kPi * a * a) *
           roundWireInternal(a / skinDepth(frequency)).resistanceRatio;
}

} // namespace brevan::check
