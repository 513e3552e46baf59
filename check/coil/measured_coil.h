// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A coil the builder measured, as the antenna sees it. An LCR meter or analyser gives its
// inductance at low frequency and, where it reaches so far, its self-resonance; the rest comes
// from the coil as wound, in proportion:
//
//   the winding at f = (measured L / as-wound L) x (the wound coil's R(f) + j omega L(f))
//
// so the measured coil keeps the wound coil's Q and the share of its inductance that the skin
// effect removes at HF (the wire's internal part), and
//
//   the self-capacitance = 1 / ((2 pi f_self)^2 L(f_self)), from the measured self-resonance,
//                          or the wound coil's own when none was measured
//
// across both terminals, as for a computed coil (coil_impedance.h).

#include "coil/coil_impedance.h"
#include "coil/coil_model.h"

#include <complex>
#include <optional>

namespace brevan::check {

struct MeasuredCoil {
    WoundCoil wound;          // the coil as wound: its Q and internal inductance, in proportion
    double inductance = 0.0;  // H, measured at low frequency
    double capacitance = 0.0; // F, across the terminals
};

// The measured coil with the capacitance that puts its lossless self-resonance at
// `selfResonanceHz`.
MeasuredCoil measuredWithSelfResonance(const WoundCoil& wound, double inductance,
                                       double selfResonanceHz);

// The winding's inductance at `frequencyHz`, henries: the measured one less the wound coil's
// share of internal inductance that the skin effect removes there.
double measuredInductanceAt(const MeasuredCoil& coil, double frequencyHz);

// Ohms, with the loss of the given Q or, without one, the wound coil's Q.
std::complex<double> measuredCoilImpedance(const MeasuredCoil& coil, double frequencyHz,
                                           std::optional<double> q);

ApparentCoil apparentMeasuredCoil(const MeasuredCoil& coil, double frequencyHz,
                                  std::optional<double> q);

// Where Im Z falls through zero, hertz, sought as selfResonance (coil_impedance.h) does.
double measuredSelfResonance(const MeasuredCoil& coil, std::optional<double> q);

} // namespace brevan::check
