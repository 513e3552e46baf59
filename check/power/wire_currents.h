// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's segment currents at F say about the antenna, per ampere at the feed: the
// current through each coil, the potential of each tip and the copper's loss. The power a
// builder puts in scales all of them (power_figures.h); no second model is run.
//
//   AntennaModel + Segmentation + segment currents (nec2c, 1 V source) --currentsAtDesign-->
//     CurrentsAtDesign
//
// The tips' potential comes from the charge the currents leave on the wire. Continuity gives
// it, q = (j / omega) dI/ds, with the current taken linear between segment centres and zero at
// the free ends, as NEC-2's own basis functions have it. Summed with the thin-wire kernel
// e^(-jkR) / R, R = sqrt(d^2 + a^2), over the wire and its image in the ground (the
// quasi-static reflection (eps - 1) / (eps + 1) of the ground's complex permittivity), it is
// the potential against infinity in free space and against the ground over it. Far from the
// coils and the feed, where NEC-2's charge is sound, it converges with the segments: within a
// few per cent at the check's working level (the tests hold it against four times the
// segments).

#include "nec/nec_deck.h"

#include <complex>
#include <optional>
#include <vector>

namespace brevan::check {

struct CurrentsAtDesign {
    double feedResistance = 0.0; // ohm, Re Z at the feed where the currents were solved
    double coilCurrent = 0.0;    // A per A at the feed: the larger of the two coils
    double tipPotential = 0.0;   // V per A at the feed: the larger of the two tips
    double wireLoss = 0.0;       // W per A^2 (rms) at the feed, the copper of the whole wire
};

// From the currents of the deck's first frequency (`currents`, A, in the engine's order of
// segments, for its 1 V source); nothing when they do not fit the segmentation or the feed
// carries none.
std::optional<CurrentsAtDesign> currentsAtDesign(const AntennaModel& model,
                                                 const Segmentation& segmentation,
                                                 const std::vector<std::complex<double>>& currents,
                                                 double frequencyMHz);

// The potential (V) at the wire's point `along` metres from the centre, of the charge the
// currents leave on the wire, as described above. Exposed for the tests.
std::complex<double> wirePotential(const AntennaModel& model, const Segmentation& segmentation,
                                   const std::vector<std::complex<double>>& currents,
                                   double frequencyMHz, double along);

} // namespace brevan::check
