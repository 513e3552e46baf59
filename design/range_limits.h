// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The advisory limits that the change handlers warn about, as plain functions so the command-line
// check warns about exactly the same designs. Lengths in feet, frequency in MHz.

#include <optional>

namespace brevan {

inline constexpr double kFeetPerMetre = 3.28;
inline constexpr double kMillimetresPerInch = 25.4;

// Outside 1 to 30 MHz (the message says 1.5, the test has always been 1).
bool frequencyOutsideHf(double freqMHz);

// Int(421.2 / F): nine tenths of a half wave, a whole number of feet in single precision.
// Nothing for F = 0 or when the quotient has no finite single value.
std::optional<float> maxLengthFeet(double freqMHz);

// 2.6 x B: A shorter than this puts the coils too far out.
double minLengthFeet(double distB);

// Int(A x 0.8 / 2): B may be at most four tenths of A. Nothing when it has no finite single
// value.
std::optional<float> maxDistanceFeet(double lengthA);

// Range tests at the precision the window keeps the limits in. An infinite value is out of every
// range.
bool isAboveLimit(float value, float limit);
bool isBelowLimit(double value, double limit);

} // namespace brevan
