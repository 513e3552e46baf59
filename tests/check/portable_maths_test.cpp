// SPDX-License-Identifier: GPL-3.0-or-later
// The check's own elementary functions: as accurate as the C library's to a few units in the
// last place over the ranges the check uses, and right at the edges. That they give the same
// bits in the web page as on the desktop is held by the browser tests, which compare the page's
// JSON report with brevan-check's byte for byte.

#include "portable_maths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <random>

namespace {

namespace portable = brevan::portable;

// How many representable doubles lie between a and b.
std::int64_t ulpsApart(double a, double b) {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    if ((x < 0) != (y < 0)) {
        return a == b ? 0 : std::numeric_limits<std::int64_t>::max();
    }
    return x > y ? x - y : y - x;
}

struct Against {
    const char* name;
    std::function<double(double)> ours;
    std::function<double(double)> library;
    double from;
    double to;
    bool logarithmic; // the range is spread evenly in log x
    std::int64_t ulps;
};

TEST(PortableMaths, WithinAFewUlpsOfTheCLibrary) {
    const Against cases[] = {
        {"log", portable::log, [](double x) { return std::log(x); }, 1e-300, 1e300, true, 1},
        {"log near 1", portable::log, [](double x) { return std::log(x); }, 0.5, 2.0, false, 1},
        {"log2", portable::log2, [](double x) { return std::log2(x); }, 1e-300, 1e300, true, 1},
        {"log2 near 1", portable::log2, [](double x) { return std::log2(x); }, 0.5, 2.0, false, 1},
        {"asin", portable::asin, [](double x) { return std::asin(x); }, -1, 1, false, 1},
        {"asin near 1", portable::asin, [](double x) { return std::asin(x); }, 0.999, 1, false, 1},
        {"exp", [](double x) { return portable::exp(x); }, [](double x) { return std::exp(x); },
         -700, 700, false, 1},
        {"sin", portable::sin, [](double x) { return std::sin(x); }, -40, 40, false, 1},
        {"cos", portable::cos, [](double x) { return std::cos(x); }, -40, 40, false, 1},
        {"sinh", portable::sinh, [](double x) { return std::sinh(x); }, -30, 30, false, 2},
        {"cosh", portable::cosh, [](double x) { return std::cosh(x); }, -30, 30, false, 2},
        {"hypot(1, x)", [](double x) { return portable::hypot(1.0, x); },
         [](double x) { return std::hypot(1.0, x); }, 1e-8, 1e8, true, 2},
        {"x^0.75", [](double x) { return portable::pow(x, 0.75); },
         [](double x) { return std::pow(x, 0.75); }, 1e-3, 1e3, true, 6},
        {"x^-7", [](double x) { return portable::pow(x, -7.0); },
         [](double x) { return std::pow(x, -7.0); }, 1, 1e4, true, 8},
    };
    std::mt19937_64 random(20261209);
    for (const Against& c : cases) {
        std::uniform_real_distribution<double> spread(c.logarithmic ? std::log(c.from) : c.from,
                                                      c.logarithmic ? std::log(c.to) : c.to);
        std::int64_t worst = 0;
        for (int i = 0; i < 100000; ++i) {
            const double x = c.logarithmic ? std::exp(spread(random)) : spread(random);
            worst = std::max(worst, ulpsApart(c.ours(x), c.library(x)));
        }
        EXPECT_LE(worst, c.ulps) << c.name;
    }
}

TEST(PortableMaths, EdgesAndExactValues) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(portable::log(1.0), 0.0);
    EXPECT_EQ(portable::log(0.0), -kInf);
    EXPECT_TRUE(std::isnan(portable::log(-1.0)));
    EXPECT_EQ(portable::log(kInf), kInf);
    EXPECT_EQ(portable::log(std::ldexp(1.0, 600)), 600 * std::log(2.0));
    EXPECT_EQ(portable::exp(0.0), 1.0);
    EXPECT_EQ(portable::exp(710.0), kInf);
    EXPECT_EQ(portable::exp(-746.0), 0.0);
    EXPECT_GT(portable::exp(-740.0), 0.0); // below the normal range, not yet nothing
    EXPECT_EQ(portable::sin(0.0), 0.0);
    EXPECT_EQ(portable::cos(0.0), 1.0);
    EXPECT_TRUE(std::isnan(portable::sin(kInf)));
    EXPECT_EQ(portable::hypot(3.0, 4.0), 5.0);
    EXPECT_EQ(portable::hypot(-kInf, std::nan("")), kInf);
    EXPECT_EQ(portable::hypot(1e300, 1e300), std::sqrt(2.0) * 1e300);
    EXPECT_EQ(portable::pow(2.0, 10.0), 1024.0);
    EXPECT_EQ(portable::pow(10.0, -2.0), 1.0 / 100.0);
    EXPECT_EQ(portable::pow(0.0, 0.5), 0.0);
    EXPECT_EQ(portable::sinh(0.0), 0.0);
    EXPECT_EQ(portable::cosh(0.0), 1.0);
    EXPECT_EQ(portable::log2(1.0), 0.0);
    EXPECT_EQ(portable::log2(0.125), -3.0);
    EXPECT_EQ(portable::log2(std::ldexp(1.0, 1000)), 1000.0);
    EXPECT_EQ(portable::log2(0.0), -kInf);
    EXPECT_TRUE(std::isnan(portable::log2(-2.0)));
    EXPECT_EQ(portable::asin(0.0), 0.0);
    EXPECT_EQ(portable::asin(1.0), std::asin(1.0));
    EXPECT_EQ(portable::asin(-1.0), -std::asin(1.0));
    EXPECT_EQ(portable::asin(0.5), std::asin(0.5));
    EXPECT_TRUE(std::isnan(portable::asin(1.0000000000000002)));
}

// ln x rounded to the nearest double, from the long double log (64 bits, within an ulp of its
// own), or nothing when that value lies too near the middle of two doubles to tell.
std::optional<double> roundedTrueLog(double x) {
    const long double wide = std::log(static_cast<long double>(x));
    const double nearest = static_cast<double>(wide);
    const long double ulp =
        std::nextafter(nearest, std::numeric_limits<double>::infinity()) - nearest;
    const long double fromMiddle = 0.5L - std::fabs((wide - nearest) / ulp);
    return fromMiddle > 1.0L / 256 ? std::optional<double>(nearest) : std::nullopt;
}

// The design core's logarithm is the double nearest the true value; the plain portable log,
// and glibc's, miss it far more often near 1.
TEST(PortableMaths, NearestLogIsTheRoundedTrueValue) {
    const struct {
        double from;
        double to;
        int allowedMisses; // of 100 000
    } ranges[] = {
        {1e-300, 1e-10, 2}, {1e-10, 0.7, 10}, {0.7, 1.0, 10}, {1.0, 1.5, 10},
        {1.5, 4.0, 5},      {4.0, 1e4, 3},    {1e4, 1e300, 2},
    };
    std::mt19937_64 random(20261209);
    for (const auto& r : ranges) {
        std::uniform_real_distribution<double> spread(r.from, r.to);
        int misses = 0;
        for (int i = 0; i < 100000; ++i) {
            const double x = spread(random);
            const std::optional<double> nearest = roundedTrueLog(x);
            misses += nearest && portable::nearestLog(x) != *nearest ? 1 : 0;
        }
        EXPECT_LE(misses, r.allowedMisses) << r.from << " to " << r.to;
    }
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(portable::nearestLog(1.0), 0.0);
    EXPECT_EQ(portable::nearestLog(0.0), -kInf);
    EXPECT_EQ(portable::nearestLog(kInf), kInf);
    EXPECT_TRUE(std::isnan(portable::nearestLog(-1.0)));
    EXPECT_TRUE(std::isnan(portable::nearestLog(std::nan(""))));
    EXPECT_EQ(portable::nearestLog(std::ldexp(1.0, -1074)),
              static_cast<double>(-1074 * std::log(2.0L)));
}

// Where a figure is printed to so many significant digits, the decade decides the digits: a
// value a hair below a power of ten belongs to the decade below, where log10 may round up.
TEST(PortableMaths, DecimalExponentIsTheDecadeItself) {
    const struct {
        double value;
        int exponent;
    } cases[] = {
        {1.0, 0},
        {9.999, 0},
        {10.0, 1},
        {-250.0, 2},
        {std::nextafter(1000.0, 0.0), 2},
        {1000.0, 3},
        {0.1, -1},
        {std::nextafter(0.1, 0.0), -2},
        {0.05, -2},
        {1e-21, -21},
        {std::nextafter(1e-21, 0.0), -22},
        {1e22, 22},
        {std::nextafter(1e22, 0.0), 21},
        {3e-300, -300}, // beyond 10^22, away from the powers themselves
        {3e300, 300},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(portable::decimalExponent(c.value), c.exponent) << c.value;
    }
    // Elsewhere the C library's floor(log10 x).
    std::mt19937_64 random(10);
    std::uniform_real_distribution<double> spread(std::log(1e-30), std::log(1e30));
    for (int i = 0; i < 100000; ++i) {
        const double x = std::exp(spread(random));
        const double decade = std::log10(x);
        if (std::abs(decade - std::round(decade)) > 1e-12) {
            EXPECT_EQ(portable::decimalExponent(x), static_cast<int>(std::floor(decade))) << x;
        }
    }
}

TEST(PortableMaths, ComplexDivisionMagnitudeAndExponential) {
    using C = std::complex<double>;
    struct Quotient {
        C a;
        C b;
        C exact;
    };
    const Quotient quotients[] = {
        {{1, 0}, {0, 1}, {0, -1}},
        {{3, 4}, {3, 4}, {1, 0}},
        {{10, 5}, {1, 2}, {4, -3}},
        {{-7, 1}, {2, -1}, {-3, -1}},
        {{1e300, 1e300}, {1e300, 1e300}, {1, 0}}, // no overflow on the way
    };
    for (const Quotient& q : quotients) {
        EXPECT_EQ(portable::divide(q.a, q.b), q.exact) << q.a << " / " << q.b;
    }
    // Everywhere else, within a few units of the library's quotient.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> part(-1e3, 1e3);
    for (int i = 0; i < 10000; ++i) {
        const C a{part(random), part(random)};
        const C b{part(random), part(random)};
        const C ours = portable::divide(a, b);
        const C library = a / b;
        EXPECT_LE(std::abs(ours - library),
                  8 * std::numeric_limits<double>::epsilon() * std::abs(library));
    }
    // By zero, as the C library: an unloaded segment's admittance is infinite, not a trap.
    const C byZero = portable::divide(C{1, 0}, C{0, 0});
    EXPECT_TRUE(std::isinf(byZero.real()) && byZero.real() > 0);
    EXPECT_TRUE(std::isnan(byZero.imag()));
    EXPECT_TRUE(std::isinf(portable::divide(C{-2, 0}, C{0, 0}).real()));
    EXPECT_LT(portable::divide(C{-2, 0}, C{0, 0}).real(), 0);
    EXPECT_EQ(portable::abs(C{-3, 4}), 5.0);
    const C e = portable::exp(C{1.0, std::acos(-1.0) / 2});
    EXPECT_LE(std::abs(e - std::exp(C{1.0, std::acos(-1.0) / 2})), 1e-15);
}

} // namespace
