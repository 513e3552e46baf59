// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>

// Elementary functions that give the same bits on every platform the check is built for: the
// desktop (glibc, whose results depend on the processor's fused multiply-add) and the web page
// (Emscripten's libm). Each is made of IEEE basic operations only (+ - * / and sqrt, all
// correctly rounded, and exact scaling by powers of two), compiled without contraction into
// fused multiply-adds, so the check's figures, and the JSON report that prints them whole, are
// the same byte for byte in both builds. Accuracy is within two units in the last place of the
// true value, well inside what the check's figures need; speed is not the point.
//
// Complex division and magnitude count here too: GCC's runtime and libc++ divide complex
// numbers by different methods, and |z| is the C library's hypot on both sides.
//
// Used where a call of the C library's functions made the two builds differ; the design
// library keeps its own arithmetic.

namespace brevan::check::portable {

double log(double x);
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

} // namespace brevan::check::portable
