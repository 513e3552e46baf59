// SPDX-License-Identifier: GPL-3.0-or-later
// The series below are the textbook ones (Abramowitz and Stegun 4.1.27, 4.2.1, 4.3.65-66),
// each on a range small enough that a fixed number of terms is exact to the last bit, after an
// argument reduction done with constants split so that their products with small integers are
// exact (Cody and Waite, "Software Manual for the Elementary Functions", 1980).
#include "portable_maths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace brevan::portable {
namespace {

// ln 2 in two parts: the first has its last 11 bits zero, so k * kLn2Hi is exact for |k| < 2^11.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.44269504088896338700e+00;
// pi / 2 in three parts, each with its last bits zero, for the reduction of sin and cos.
constexpr double kPiOver2A = 1.57079632673412561417e+00;
constexpr double kPiOver2B = 6.07710050630396597660e-11;
constexpr double kPiOver2C = 2.02226624879595063154e-21;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// pi / 4 in two parts, for asin near 1.
constexpr double kPiOver4Hi = 7.85398163397448278999e-01;
constexpr double kPiOver4Lo = 3.06161699786838301793e-17;
// 1 / ln 2 in two parts: the first has its last 32 bits zero, so its product with a number of
// 21 bits is exact.
constexpr double kInvLn2Hi = 1.44269504072144627571e+00;
constexpr double kInvLn2Lo = 1.67517131648865118353e-10;

// x * 2^n, exact unless the result leaves the normal range.
double scaled(double x, int n) {
    return std::ldexp(x, n);
}

// Nearest whole number of a value well inside the range of int, ties away from zero: made of
// comparisons and a conversion that truncates, both exact.
int nearest(double x) {
    return static_cast<int>(x < 0 ? x - 0.5 : x + 0.5);
}

// sin r and cos r for |r| <= pi / 4: Taylor series to the term below 2^-60 of the first.
double sinSeries(double r) {
    const double z = r * r;
    double sum = 0.0;
    // 1/(2k+1)! for k = 10 down to 1, from the last term inwards (Horner).
    static constexpr double kInverse[] = {
        -1.0 / 6.0,
        1.0 / 120.0,
        -1.0 / 5040.0,
        1.0 / 362880.0,
        -1.0 / 39916800.0,
        1.0 / 6227020800.0,
        -1.0 / 1307674368000.0,
        1.0 / 355687428096000.0,
        -1.0 / 121645100408832000.0,
        1.0 / 51090942171709440000.0,
    };
    for (int k = 9; k >= 0; --k) {
        sum = kInverse[k] + z * sum;
    }
    return r + r * (z * sum);
}

double cosSeries(double r) {
    const double z = r * r;
    static constexpr double kInverse[] = {
        1.0 / 24.0,
        -1.0 / 720.0,
        1.0 / 40320.0,
        -1.0 / 3628800.0,
        1.0 / 479001600.0,
        -1.0 / 87178291200.0,
        1.0 / 20922789888000.0,
        -1.0 / 6402373705728000.0,
        1.0 / 2432902008176640000.0,
    };
    double sum = 0.0;
    for (int k = 8; k >= 0; --k) {
        sum = kInverse[k] + z * sum;
    }
    // 1 - z/2 + z^2 (...), with 1 - z/2 split so that its rounding is carried.
    const double half = 0.5 * z;
    const double w = 1.0 - half;
    return w + (((1.0 - w) - half) + z * (z * sum));
}

// x = k pi/2 + r, |r| <= pi/4 (about), for |x| below 2^20 pi/2, where k pi/2 in three parts
// is exact enough.
double reduced(double x, int& quadrant) {
    const int k = nearest(x * kTwoOverPi);
    quadrant = k & 3;
    const double kd = static_cast<double>(k);
    return ((x - kd * kPiOver2A) - kd * kPiOver2B) - kd * kPiOver2C;
}

constexpr double kReduceLimit = 1.6e6; // about 2^20 pi/2

// x with the last 32 bits of its significand cleared: 21 bits are left, so the product of two
// such numbers, or of one with kInvLn2Hi, is exact.
double upperBits(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= 0xffffffff00000000U;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// 2 / (2k + 1) for k = 1 to 12, the series of 2 atanh s over s, worked out once by the compiler,
// which rounds each division as the processor would.
constexpr auto kTwoOverOdd = [] {
    std::array<double, 13> c{};
    for (int k = 1; k <= 12; ++k) {
        c[k] = 2.0 / (2 * k + 1);
    }
    return c;
}();

// log x for finite x > 0, as e ln 2 + log(1 + f), where x = (1 + f) 2^e and 1 + f lies in
// [sqrt(1/2), sqrt(2)); log(1 + f) = f - hfsq + tail, in the parts that carry its rounding.
struct LogParts {
    double e = 0.0;
    double f = 0.0;
    double hfsq = 0.0; // f^2 / 2
    double tail = 0.0; // s (hfsq + R)
};

LogParts logParts(double x) {
    // x = m 2^e with m in [sqrt(1/2), sqrt(2)); frexp is exact.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) {
        m *= 2.0;
        --e;
    }
    // log m = log(1 + f) = 2 atanh(s) = f - s (f - R), s = f / (2 + f), R = 2 (s^2/3 + s^4/5 ...)
    LogParts p;
    p.e = static_cast<double>(e);
    p.f = m - 1.0; // exact: m is within a factor two of 1
    const double s = p.f / (2.0 + p.f);
    const double z = s * s;
    double r = 0.0;
    for (int k = 12; k >= 1; --k) {
        r = kTwoOverOdd[k] + z * r;
    }
    r *= z;
    p.hfsq = 0.5 * p.f * p.f;
    p.tail = s * (p.hfsq + r);
    return p;
}

// A double and the rounding error of the operation that made it: hi + lo exactly.
struct Exact {
    double hi;
    double lo;
};

// a + b (Knuth's two-sum).
constexpr Exact exactSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a * b (Dekker's product, with Veltkamp's split into halves of 26 bits), for |a|, |b| < 2^996.
constexpr Exact exactProduct(double a, double b) {
    constexpr auto halves = [](double v) {
        const double c = 134217729.0 * v; // 2^27 + 1
        const double hi = c - (c - v);
        return Exact{hi, v - hi};
    };
    const double product = a * b;
    const Exact x = halves(a);
    const Exact y = halves(b);
    return {product, ((x.hi * y.hi - product) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// (a.hi + a.lo)(b.hi + b.lo) as a double and the rest, when each lo is below an ulp of its hi
// (lo * lo is then below what the rest can hold).
Exact times(Exact a, Exact b) {
    const Exact p = exactProduct(a.hi, b.hi);
    return {p.hi, p.lo + a.hi * b.lo + a.lo * b.hi};
}

// 2 / n as a double and the rest, for the series' first terms.
constexpr Exact twoOver(double n) {
    const double hi = 2.0 / n;
    const Exact back = exactProduct(n, hi);
    return {hi, ((2.0 - back.hi) - back.lo) / n};
}

// asin x - x = x (x^2/6 + 3 x^4/40 + ...) over x: the series in z = x^2 <= 1/4, to the term
// below 2^-56 of the first. Its coefficients are (2n)! / (4^n (n!)^2 (2n + 1)).
double asinTail(double z) {
    constexpr int kTerms = 26;
    // Worked out once by the compiler, each step rounded as the processor would round it.
    static constexpr auto kCoefficients = [] {
        std::array<double, kTerms + 1> c{};
        double central = 1.0; // (2n)! / (4^n (n!)^2)
        for (int n = 1; n <= kTerms; ++n) {
            central *= static_cast<double>(2 * n - 1) / static_cast<double>(2 * n);
            c[n] = central / static_cast<double>(2 * n + 1);
        }
        return c;
    }();
    double sum = 0.0;
    for (int n = kTerms; n >= 1; --n) {
        sum = kCoefficients[n] + z * sum;
    }
    return z * sum;
}

// 10^k, exactly for 0 <= k <= 22 and the quotient of one rounding otherwise in that range.
double tenTo(int k) {
    return pow(10.0, static_cast<double>(k));
}

} // namespace

double log(double x) {
    if (std::isnan(x) || x < 0.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (x == 0.0) {
        return -std::numeric_limits<double>::infinity();
    }
    if (std::isinf(x)) {
        return x;
    }
    const LogParts p = logParts(x);
    // log(1 + f) = f - hfsq + s (hfsq + R): the form whose rounding stays below an ulp of f.
    return p.e * kLn2Hi - ((p.hfsq - (p.tail + p.e * kLn2Lo)) - p.f);
}

// log m = 2 atanh s = 2 s + 2 s^3/3 + 2 s^5/5 + ..., s = f / (2 + f) as in logParts, but with
// s and the first three terms carried in two doubles each, so that what is left to round
// is below a thousandth of an ulp of the result.
double nearestLog(double x) {
    if (std::isnan(x) || x <= 0.0 || std::isinf(x)) {
        return log(x); // NaN, -infinity or infinity alike
    }
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) {
        m *= 2.0;
        --e;
    }
    const double f = m - 1.0; // exact
    const Exact twoPlusF = exactSum(2.0, f);
    const double sHi = f / twoPlusF.hi;
    const Exact back = exactProduct(sHi, twoPlusF.hi);
    const Exact s{sHi, (((f - back.hi) - back.lo) - sHi * twoPlusF.lo) / twoPlusF.hi};
    const Exact hiSquared = exactProduct(s.hi, s.hi);
    const Exact square{hiSquared.hi, hiSquared.lo + 2.0 * s.hi * s.lo};
    const Exact cube = times(square, s);
    const Exact fifth = times(cube, square);
    static constexpr Exact kTwoThirds = twoOver(3.0);
    static constexpr Exact kTwoFifths = twoOver(5.0);
    const Exact third = times(cube, kTwoThirds);
    const Exact fifthTerm = times(fifth, kTwoFifths);
    // 2 s^7/7 + ... to the term below 2^-60 of the first, in plain doubles.
    const double z = square.hi;
    double r = 0.0;
    for (int k = 12; k >= 3; --k) {
        r = kTwoOverOdd[k] + z * r;
    }
    const double rest = fifth.hi * z * r;
    const double ed = static_cast<double>(e);
    const Exact a = exactSum(ed * kLn2Hi, 2.0 * s.hi); // e kLn2Hi is exact for |e| < 2^11
    const Exact b = exactSum(a.hi, third.hi);
    const Exact c = exactSum(b.hi, fifthTerm.hi);
    const double lo =
        (((rest + fifthTerm.lo) + third.lo) + 2.0 * s.lo + ed * kLn2Lo) + (a.lo + b.lo + c.lo);
    return c.hi + lo;
}

double log2(double x) {
    if (std::isnan(x) || x < 0.0 || x == 0.0 || std::isinf(x)) {
        return log(x); // NaN, -infinity or infinity alike
    }
    const LogParts p = logParts(x);
    // log2 x = e + log(1 + f) / ln 2, with log(1 + f) = hi + lo and hi of 21 bits, so that
    // hi / ln 2 is exact in its first part and the rest is small.
    const double hi = upperBits(p.f - p.hfsq);
    const double lo = ((p.f - hi) - p.hfsq) + p.tail;
    const double productHi = hi * kInvLn2Hi;
    const double productLo = (lo + hi) * kInvLn2Lo + lo * kInvLn2Hi;
    // e + productHi, its rounding error carried into the low part.
    const double sum = p.e + productHi;
    return sum + (productLo + ((p.e - sum) + productHi));
}

double exp(double x) {
    if (std::isnan(x)) {
        return x;
    }
    if (x > 709.782712893384) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < -745.2) {
        return 0.0;
    }
    // x = k ln 2 + r, |r| <= ln 2 / 2; exp x = 2^k exp r.
    const int k = nearest(x * kInvLn2);
    const double kd = static_cast<double>(k);
    const double hi = x - kd * kLn2Hi; // exact
    const double lo = kd * kLn2Lo;
    const double r = hi - lo;
    // exp r = 1 + r + r^2/2! + ... + r^14/14!, the last below 2^-60 for |r| <= 0.35.
    // 1/n!, each the previous divided by n, worked out once by the compiler.
    static constexpr auto kInverses = [] {
        std::array<double, 15> c{};
        double inverse = 1.0;
        for (int n = 0; n <= 14; ++n) {
            c[n] = inverse;
            inverse /= static_cast<double>(n + 1);
        }
        return c;
    }();
    double sum = 0.0;
    for (int n = 14; n >= 2; --n) {
        sum = kInverses[n] + r * sum;
    }
    // 1 + (r + r^2 (...)), the small part first.
    const double value = 1.0 + (hi - (lo - r * r * sum));
    // Two steps, so that a result near the bottom of the range is scaled only once inexactly.
    return k < -1000 ? scaled(scaled(value, k + 1000), -1000) : scaled(value, k);
}

double sin(double x) {
    if (!std::isfinite(x)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::abs(x) > kReduceLimit) {
        return std::sin(x); // far beyond any angle the check uses
    }
    int quadrant = 0;
    const double r = reduced(x, quadrant);
    switch (quadrant) {
    case 0: return sinSeries(r);
    case 1: return cosSeries(r);
    case 2: return -sinSeries(r);
    default: return -cosSeries(r);
    }
}

double cos(double x) {
    if (!std::isfinite(x)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (std::abs(x) > kReduceLimit) {
        return std::cos(x);
    }
    int quadrant = 0;
    const double r = reduced(x, quadrant);
    switch (quadrant) {
    case 0: return cosSeries(r);
    case 1: return -sinSeries(r);
    case 2: return -cosSeries(r);
    default: return sinSeries(r);
    }
}

double sinh(double x) {
    if (std::abs(x) < 1.0) {
        // x + x^3/3! + ... + x^17/17!, the last below 2^-60 of x here.
        static constexpr double kInverse[] = {
            1.0 / 6.0,        1.0 / 120.0,        1.0 / 5040.0,          1.0 / 362880.0,
            1.0 / 39916800.0, 1.0 / 6227020800.0, 1.0 / 1307674368000.0, 1.0 / 355687428096000.0,
        };
        const double z = x * x;
        double sum = 0.0;
        for (int k = 7; k >= 0; --k) {
            sum = kInverse[k] + z * sum;
        }
        return x + x * (z * sum);
    }
    const double e = exp(std::abs(x));
    const double value = 0.5 * (e - 1.0 / e);
    return x < 0 ? -value : value;
}

double cosh(double x) {
    const double e = exp(std::abs(x));
    return 0.5 * (e + 1.0 / e);
}

double asin(double x) {
    if (std::isnan(x) || std::abs(x) > 1.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double a = std::abs(x);
    double value = 0.0;
    if (a <= 0.5) {
        value = a + a * asinTail(a * a);
    } else {
        // asin a = pi/2 - 2 asin(sqrt((1 - a) / 2)), with the square root s = w + d carried in
        // two parts: w of 21 bits, and d = (z - w^2) / (s + w) what sqrt's rounding lost.
        const double z = (1.0 - a) * 0.5; // exact for a in [1/2, 1]
        const double s = std::sqrt(z);
        const double w = upperBits(s);
        const double d = s > 0.0 ? (z - w * w) / (s + w) : 0.0; // z - w^2 is exact
        // pi/4 - w is exact here (both have no bits below 2^-53 and it is above 1/4), so the
        // rounding falls on the small part only, and on the last subtraction.
        value = 2.0 * ((kPiOver4Hi - w) - ((d + s * asinTail(z)) - kPiOver4Lo));
    }
    return x < 0 ? -value : value;
}

double hypot(double x, double y) {
    x = std::abs(x);
    y = std::abs(y);
    if (std::isinf(x) || std::isinf(y)) {
        return std::numeric_limits<double>::infinity();
    }
    if (std::isnan(x) || std::isnan(y)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double big = std::max(x, y);
    const double small = std::min(x, y);
    if (big == 0.0) {
        return 0.0;
    }
    const double ratio = small / big;
    return big * std::sqrt(1.0 + ratio * ratio);
}

double pow(double x, double y) {
    if (y == std::floor(y) && std::abs(y) <= 64.0) {
        auto n = static_cast<int>(std::abs(y));
        double result = 1.0;
        double square = x;
        while (n > 0) {
            if (n & 1) {
                result *= square;
            }
            square *= square;
            n >>= 1;
        }
        return y < 0 ? 1.0 / result : result;
    }
    if (x == 0.0 && y > 0.0) {
        return 0.0;
    }
    return exp(y * log(x));
}

int decimalExponent(double x) {
    const double a = std::abs(x);
    int binary = 0;
    std::frexp(a, &binary); // a in [2^(binary - 1), 2^binary)
    // floor((binary - 1) log10 2) is the exponent or one below it; the comparisons settle it.
    int k = static_cast<int>(std::floor((binary - 1) * 0.30102999566398120));
    while (k > -330 && a < tenTo(k)) {
        --k;
    }
    while (k < 310 && a >= tenTo(k + 1)) {
        ++k;
    }
    return k;
}

std::complex<double> divide(std::complex<double> a, std::complex<double> b) {
    const double c = b.real();
    const double d = b.imag();
    if (std::abs(c) >= std::abs(d)) {
        if (c == 0.0) {
            // And so d == 0: infinities or NaN, as the C library gives them, made without a
            // division by zero (which the sanitizer build traps).
            const double infinity = std::copysign(std::numeric_limits<double>::infinity(), c);
            return {a.real() * infinity, a.imag() * infinity};
        }
        const double ratio = d / c;
        const double denominator = c + d * ratio;
        return {(a.real() + a.imag() * ratio) / denominator,
                (a.imag() - a.real() * ratio) / denominator};
    }
    const double ratio = c / d;
    const double denominator = c * ratio + d;
    return {(a.real() * ratio + a.imag()) / denominator,
            (a.imag() * ratio - a.real()) / denominator};
}

double abs(std::complex<double> z) {
    return hypot(z.real(), z.imag());
}

std::complex<double> exp(std::complex<double> z) {
    const double magnitude = exp(z.real());
    return {magnitude * cos(z.imag()), magnitude * sin(z.imag())};
}

} // namespace brevan::portable
