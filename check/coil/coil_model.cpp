// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_model.h"

#include "coil/physics.h"
#include "coil/round_wire.h"
#include "coil/turns_search.h"
#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace brevan::check {
namespace {

// Beyond this diameter / length the direct Nagaoka formula loses about (D/l)^2 ulps to
// cancellation; the four-term short-coil series is already exact to 1e-14 there.
constexpr double kShortCoilRatio = 50.0;

// Rosa's B sums this many turn pairs exactly and the rest through its asymptotic series.
constexpr double kDirectPairs = 64.0;

double square(double x) {
    return x * x;
}

struct EllipticIntegrals {
    double k = 0.0;             // K(k)
    double kMinusEOverK2 = 0.0; // (K(k) - E(k)) / k^2, free of cancellation for small k
};

// The arithmetic-geometric mean with the c_n carried as c_n / k, so that K - E comes out as
// K sum 2^(n-1) c_n^2 without subtracting two nearly equal numbers.
EllipticIntegrals ellipticByAgm(double k, double kPrime) {
    double a = 1.0;
    double b = kPrime;
    double cOverK = 1.0;
    double weight = 0.5;
    double sum = 0.5;
    for (int i = 0; i < 64; ++i) {
        const double aNext = 0.5 * (a + b);
        b = std::sqrt(a * b);
        cOverK = k * cOverK * cOverK / (4.0 * aNext);
        a = aNext;
        weight *= 2.0;
        const double term = weight * cOverK * cOverK;
        sum += term;
        if (term <= 1e-17 * sum && std::fabs(a - b) <= 1e-16 * a) {
            break;
        }
    }
    const double bigK = kPi / (2.0 * a);
    return {bigK, bigK * sum};
}

// A coil much wider than long: K and E expanded in k'^2 (DLMF 19.12.1-2) and substituted into
// Nagaoka's formula, K_N = (k'/pi) sum_j k'^(2j) (alpha_j ln(4/k') + beta_j).
double shortCoilNagaoka(double kPrime) {
    constexpr double kAlpha[] = {2.0, 5.0 / 4.0, 35.0 / 32.0, 525.0 / 512.0};
    constexpr double kBeta[] = {-1.0, -23.0 / 16.0, -133.0 / 96.0, -16525.0 / 12288.0};
    const double logTerm = portable::log(4.0 / kPrime);
    const double m1 = kPrime * kPrime;
    double sum = 0.0;
    for (int j = 3; j >= 0; --j) {
        sum = sum * m1 + (kAlpha[j] * logTerm + kBeta[j]);
    }
    return kPrime / kPi * sum;
}

// ln(s) - ln(g_s / p) for two strips of width p whose centres are s pitches apart: how much the
// mutual inductance of two filaments exceeds that of the two strips of the current sheet.
// Only whole s are asked for, so below 8 the logarithms come from a table of ln 1 to ln 8,
// worked out once: the coil's inductance is asked for at every frequency of every search.
double pairCorrection(double s) {
    if (s < 8.0) {
        static const std::array<double, 9> kLnOfWhole = [] {
            std::array<double, 9> ln{};
            for (int k = 1; k <= 8; ++k) {
                ln[k] = portable::log(k);
            }
            return ln;
        }();
        const auto k = static_cast<std::size_t>(s);
        const double up = square(s + 1.0) * kLnOfWhole[k + 1];
        const double down = s > 1.0 ? square(s - 1.0) * kLnOfWhole[k - 1] : 0.0;
        const double logGmd = 0.5 * (up + down - 2.0 * s * s * kLnOfWhole[k]) - 1.5;
        return kLnOfWhole[k] - logGmd;
    }
    // The second difference of s^2 ln s expanded in 1/s^2; the next term is below 1e-14 here.
    const double inv2 = 1.0 / (s * s);
    return inv2 * (1.0 / 12.0 + inv2 * (1.0 / 60.0 + inv2 * (1.0 / 168.0 +
                                                             inv2 * (1.0 / 360.0 + inv2 / 660.0))));
}

// sum_{k >= x} k^-s for s >= 2 by Euler-Maclaurin; x is at least kDirectPairs.
double powerTail(double s, double x) {
    return portable::pow(x, 1.0 - s) / (s - 1.0) + 0.5 * portable::pow(x, -s) +
           s / 12.0 * portable::pow(x, -s - 1.0) -
           s * (s + 1.0) * (s + 2.0) / 720.0 * portable::pow(x, -s - 3.0);
}

// sum_{k = a}^{b} k^-s.
double powerSum(double s, double a, double b) {
    return powerTail(s, a) - powerTail(s, b + 1.0);
}

// sum_{k = a}^{b} 1/k as a difference of digammas, asymptotically.
double harmonicSum(double a, double b) {
    const auto psiRest = [](double x) {
        const double inv2 = 1.0 / (x * x);
        return -0.5 / x - inv2 / 12.0 + inv2 * inv2 / 120.0;
    };
    return portable::log((b + 1.0) / a) + psiRest(b + 1.0) - psiRest(a);
}

// B(N) = (2/N) sum_{k=1}^{N-1} (N - k) f(k) = 2 S1 - 2 S2 / N, with S1 = sum f(k) and
// S2 = sum k f(k). Terms past kDirectPairs use f(k) = 1/(12 k^2) + 1/(60 k^4) + ...
double rosaMutualWhole(double n) {
    if (n < 2.0) {
        return 0.0;
    }
    const double last = n - 1.0;
    const double directLast = std::min(last, kDirectPairs);
    double s1 = 0.0;
    double s2 = 0.0;
    for (double k = 1.0; k <= directLast; k += 1.0) {
        const double f = pairCorrection(k);
        s1 += f;
        s2 += k * f;
    }
    if (last > directLast) {
        const double first = directLast + 1.0;
        s1 += powerSum(2.0, first, last) / 12.0 + powerSum(4.0, first, last) / 60.0;
        s2 += harmonicSum(first, last) / 12.0 + powerSum(3.0, first, last) / 60.0 +
              powerSum(5.0, first, last) / 168.0;
    }
    return 2.0 * s1 - 2.0 * s2 / n;
}

} // namespace

double sheetLength(const WoundCoil& coil) {
    return coil.turns * coil.pitch;
}

double nagaokaCoefficient(double diameterOverLength) {
    const double x = diameterOverLength;
    if (!(x > 0.0)) {
        return 1.0; // an infinitely long sheet
    }
    const double hyp = portable::hypot(1.0, x);
    const double kPrime = 1.0 / hyp;
    if (!(kPrime > 0.0)) {
        return 0.0; // a sheet of no length at all
    }
    if (x > kShortCoilRatio) {
        return shortCoilNagaoka(kPrime);
    }
    const double k = x / hyp;
    const EllipticIntegrals ell = ellipticByAgm(k, kPrime);
    const double bigE = ell.k - k * k * ell.kMinusEOverK2;
    const double bracket = kPrime * kPrime * ell.kMinusEOverK2 + (bigE - k);
    return 4.0 / (3.0 * kPi * kPrime) * bracket;
}

double rosaSelfCorrection(double pitch, double wireDiameter, double internalFraction) {
    if (!(pitch > 0.0) || !(wireDiameter > 0.0)) {
        return 0.0;
    }
    return 1.5 - 0.25 * internalFraction - portable::log(2.0 * pitch / wireDiameter);
}

double rosaMutualCorrection(double turns) {
    if (!(turns > 1.0)) {
        return 0.0;
    }
    // B is defined for whole turns; between them it is interpolated linearly.
    const double whole = std::floor(turns);
    const double below = rosaMutualWhole(whole);
    const double fraction = turns - whole;
    if (fraction == 0.0) {
        return below;
    }
    return below + fraction * (rosaMutualWhole(whole + 1.0) - below);
}

double currentSheetInductance(const WoundCoil& coil) {
    const double length = sheetLength(coil);
    if (!(length > 0.0)) {
        return 0.0;
    }
    const double radius = 0.5 * coil.meanDiameter;
    // N^2 / l written as N / p, so a huge N cannot overflow.
    return kMu0 * kPi * radius * radius * coil.turns / coil.pitch *
           nagaokaCoefficient(coil.meanDiameter / length);
}

InductanceParts inductanceParts(const WoundCoil& coil) {
    return {currentSheetInductance(coil), rosaMutualCorrection(coil.turns)};
}

double inductanceFrom(const WoundCoil& coil, const InductanceParts& parts,
                      double internalFraction) {
    const double radius = 0.5 * coil.meanDiameter;
    const double correction = rosaSelfCorrection(coil.pitch, coil.wireDiameter, internalFraction) +
                              parts.mutualCorrection;
    return parts.sheet - kMu0 * radius * coil.turns * correction;
}

double asWoundInductance(const WoundCoil& coil) {
    return inductanceFrom(coil, inductanceParts(coil), 1.0);
}

double inductanceAt(const WoundCoil& coil, double frequencyHz) {
    if (!(frequencyHz > 0.0)) {
        return asWoundInductance(coil);
    }
    const double radiusOverDepth = 0.5 * coil.wireDiameter / skinDepth(frequencyHz);
    return inductanceFrom(coil, inductanceParts(coil),
                          roundWireInternal(radiusOverDepth).inductanceFraction);
}

double wheelerInductance(const WoundCoil& coil) {
    const double r = 0.5 * coil.meanDiameter / kMetresPerInch;
    const double l = sheetLength(coil) / kMetresPerInch;
    const double denominator = 9.0 * r + 10.0 * l;
    if (!(denominator > 0.0)) {
        return 0.0;
    }
    // r^2 N^2 / (9 r + 10 l) with N^2 / l kept apart from r so that neither overflows.
    const double microhenries = r * coil.turns * (r * coil.turns / denominator);
    return microhenries * 1e-6;
}

int closestTurns(const WoundCoil& coil, double target) {
    const auto inductance = [&coil](int turns) -> std::optional<double> {
        return asWoundInductance(withTurns(coil, turns));
    };
    const std::optional<TurnsMatch> match = closestWholeTurns(inductance, target);
    return match ? match->turns : 1;
}

double straightWireExcess(double length, double coilDiameter, double wireDiameter) {
    if (!(length > 0.0) || !(wireDiameter > 0.0) || !(coilDiameter > wireDiameter)) {
        return 0.0;
    }
    // The partial self-inductance of a straight piece of length l whose cross-section has the
    // geometric mean distance g from itself.
    // asinh(l / g) = ln((l + hypot(l, g)) / g), in the portable functions so that the browser's
    // build gives the same bits.
    const auto partial = [length](double g) {
        const double diagonal = portable::hypot(length, g);
        return kMu0 / (2.0 * kPi) *
               (length * portable::log((length + diagonal) / g) - diagonal + g);
    };
    return partial(0.5 * wireDiameter) - partial(0.5 * coilDiameter);
}

WoundCoil withTurns(const WoundCoil& coil, double turns) {
    WoundCoil c = coil;
    c.turns = turns;
    return c;
}

} // namespace brevan::check
