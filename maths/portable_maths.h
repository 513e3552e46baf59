// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>

// Elementary functions that give the same bits on every platform the programs are built for: the
// desktop (glibc, whose results depend on the processor's fused multiply-add) and the web page
// (Emscripten's libm). Each is made of IEEE basic operations only (+ - * / and sqrt, all
// correctly rounded, and exact scaling by powers of two), compiled without contraction into
// fused multiply-adds, so the design's and the check's figures, and the JSON report that prints
// them whole, are the same byte for byte in both builds. Accuracy is within two units in the
// last place of the true value, well inside what the check's figures need; speed is not the
// point.
//
// Complex division and magnitude count here too: GCC's runtime and libc++ divide complex
// numbers by different methods, and |z| is the C library's hypot on both sides.
//
// Used wherever a call of the C library's functions could make the two builds differ. The C
// library's sqrt stays: it is correctly rounded everywhere.

namespace brevan::portable {

double log(double x);
// The double nearest ln x, but for about one argument in twenty thousand (the C library's log
// misses it for one in a few hundred near 1): for the design core, whose figures are printed to
// the last digit. Twice the time of log.
double nearestLog(double x);
double log2(double x);
double exp(double x);
double sin(double x);
double cos(double x);
double sinh(double x);
double cosh(double x);
// The angle in [-pi/2, pi/2] whose sine is x; NaN outside [-1, 1].
double asin(double x);
// sqrt(x^2 + y^2) without overflow or underflow on the way.
double hypot(double x, double y);
// x^y: by repeated squaring when y is a whole number up to 64 in size (within a few units in
// the last place), otherwise exp(y log x) for x > 0 (within |y log x| units).
double pow(double x, double y);
// floor(log10 |x|) for finite x other than 0, found by comparison with the powers of ten
// themselves, so that a value just below a power of ten is never put in the decade above it
// (exactly so from 10^-22 to 10^22, where 10^k and 1 / 10^k are the doubles nearest them).
int decimalExponent(double x);
// a / b by Smith's method (R. L. Smith, "Algorithm 116: Complex division", Comm. ACM 5(8), 1962).
std::complex<double> divide(std::complex<double> a, std::complex<double> b);
// |z|
double abs(std::complex<double> z);
// e^z
std::complex<double> exp(std::complex<double> z);

} // namespace brevan::portable
