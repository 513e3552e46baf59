// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The report's coil with one property changed, for the tolerance table: the same coil model
// the check uses for the coil as wound (coilOfTurns), with one turn more or less or the winding
// 1 mm longer or shorter, and the model's self-capacitance or Q 10 % off.

#include "check_report.h"
#include "fullwave/tolerance_table.h"

namespace brevan::check {

// Nothing for a change that does not apply: a close-wound coil has no winding length of its
// own (its turns touch), and a coil of one turn cannot lose one.
ChangedCoil changedCoils(const CheckReport& report);

// A coil's impedance `z` with the capacitance across its terminals changed by `deltaC` farads:
// the admittances add.
std::complex<double> withCapacitance(std::complex<double> z, double omega, double deltaC);

// A coil's impedance `z`, a winding with `capacitance` across it, with the winding's series
// resistance divided by `qFactor` (its Q times `qFactor`).
std::complex<double> withQ(std::complex<double> z, double omega, double capacitance,
                           double qFactor);

} // namespace brevan::check
