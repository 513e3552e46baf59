// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Insulated antenna wire. A thin dielectric sleeve slows the wave along the wire as if the
// wire carried a series inductance per metre; J. H. Richmond and E. H. Newman, "Dielectric
// coated wire antennas", Radio Science 11(1), 1976, give it for a sleeve of outer radius b on
// a conductor of radius a:
//
//   L' = (mu0 / 2 pi) (1 - 1/eps_r) ln(b / a)
//
// (the sleeve model NEC-4's IS card uses). NEC-2 has no sleeve, so the deck carries L' as a
// distributed series load (LD 2) on every segment of the wire.

namespace brevan::check {

struct Insulation {
    double thickness = 0.0;    // m, of the sleeve, radially; zero is bare wire
    double permittivity = 1.0; // relative, of the sleeve
};

// Flexible (plasticised) PVC, the usual sleeve of insulated antenna wire: plastics handbooks
// list about 3.3 to 4.5 for it at 1 MHz, and its permittivity keeps falling with frequency
// through HF, so 3.5 sits toward the low end. Another compound can be given as a number.
inline constexpr double kPvcPermittivity = 3.5;
// Solid polyethylene, as in coaxial cable: 2.3 from 1 kHz to beyond 1 GHz.
inline constexpr double kPolyethylenePermittivity = 2.3;
// PTFE, a common coil former: 2.1 from audio frequencies to microwaves.
inline constexpr double kPtfePermittivity = 2.1;

// A sleeve that changes anything: some thickness of a material other than air.
bool isInsulated(const Insulation& insulation);

// The series inductance per metre (H/m) the sleeve adds to a wire of `wireDiameter` (m); zero
// for bare wire.
double sleeveInductance(const Insulation& insulation, double wireDiameter);

} // namespace brevan::check
