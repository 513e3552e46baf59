// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Constants shared by the check's formulas.

namespace brevan::check {

inline constexpr double kPi = 3.14159265358979323846;
// The classic 4 pi x 1e-7 H/m; the 2019 SI value differs from it by 6e-10, far below the
// accuracy of any formula here.
inline constexpr double kMu0 = 4e-7 * kPi;
inline constexpr double kMetresPerInch = 0.0254;
inline constexpr double kVacuumPermittivity = 8.8541878128e-12; // F/m, CODATA 2018

} // namespace brevan::check
