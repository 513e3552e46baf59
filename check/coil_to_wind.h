// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The coil to wind for the antenna that will hang: of every coil that shows the antenna the
// same reactance at F (so the trim stays as it is), well below its own self-resonance, the one
// on the builder's former with the highest Q that holds the builder's power, and one on another
// common former when that gains much (larger, as a rule; smaller where a wide coil's
// self-capacitance costs more than its size gains).
//
//   the hung antenna's coil at F + its currents + the coil alternatives (coil_alternatives.h)
//     --coilToWind--> CoilToWind
//
// Each coil's Q comes from the same physics as the builder's own coil (the winding's skin and
// proximity losses, its self-capacitance). It peaks, as Medhurst measured (R. G. Medhurst, "H.F.
// resistance and self-capacitance of single-layer solenoids", Wireless Engineer 24, 1947), for
// a winding about as long as it is wide, of wire between half and three quarters of the pitch:
// the pitches tried run from close-wound to twice the wire. What each coil holds and the share
// the antenna would radiate are worked out from the hung antenna's own currents, with the feed
// resistance less what the planned coils' extra loss added to it: a first-order estimate (the
// tests hold it within a percentage point and a tenth of the power against the check of the
// coil wound), since the trim moves a little with the coil. Once a sweep has calibrated the
// model, what each coil holds is worked out in the antenna as swept, after its cut: its
// resistance at F sets the current the power drives (the shares stay the model's).

#include "check_report.h"

#include <optional>

namespace brevan::check {

// A coil of more Q than the planned one by this much, or one that holds the power where the
// planned one fails, is worth naming; another former by this much more again.
inline constexpr double kWorthwhileQ = 1.1;
inline constexpr double kWorthwhileOtherFormer = 1.25;

// Nothing without the power figures of the antenna that will hang, or for a coil that must
// change anyway (one that resonates itself, where the alternatives say which coils would do, or
// one that leaves the antenna no resonance near F, where the needed coil does), or a measured
// coil.
std::optional<CoilToWind> coilToWind(const CheckReport& report);

} // namespace brevan::check
