// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The antenna with each loading coil wound as NEC-2's own helix (GH) of its turns, pitch and
// diameter: the model that carries the current's fall along a long coil, which a lumped load
// cannot. Only the half on one side of the feed is written; NEC-2 reflects it (GX), which
// halves the matrix it fills and quarters the one it factors.
//
// The wire is laid along z on the line x = r through the turns' starts, so it leaves each coil
// where its turns begin and end. Beside each end of a coil the wire's segments start at 5 mm,
// about the chords' scale, and grow by a quarter each to at most 10 cm. It then hangs as the
// lumped antenna does (nec_deck.h): an inverted V's leg swung down about the feed segment's
// edge, and over ground the whole laid horizontal with its wire at the apex's height, the
// coils above it, reflected in the plane across the feed; an insulated wire's sleeve is its
// inductance a metre on the wire's segments, not on the coils'.

#include "coil/coil_model.h"
#include "nec/nec_deck.h"

#include <string>

namespace brevan::check {

struct HelixAntenna {
    double length = 0.0;       // m, tip to tip
    double coilDistance = 0.0; // m, feed to each coil's middle
    double wireDiameter = 0.0; // m, the antenna wire
    WoundCoil coil;            // each coil as wound: turns, pitch, mean diameter, wire
    Ground ground;
    Hang hang;
    Insulation insulation; // of the antenna wire
};

// The wire a helix antenna needs beside the feed and beyond each coil, each half: the coil must
// clear the feed's own segment and leave a segment of wire to its tip; and it must hang as
// given (wireShapeAlong).
bool helixFits(const HelixAntenna& antenna);

// The segments of the half deck for `segmentsPerTurn` (what the engine's work grows with).
int helixSegments(const HelixAntenna& antenna, int segmentsPerTurn);

// One frequency's deck. The feed is the two segments either side of the centre, each driven
// with 1 V across it in the sense of the antenna's current, so the impedance across the whole
// gap is twice what NEC-2 prints for either (helixFeedImpedance).
std::string writeHelixDeck(const HelixAntenna& antenna, int segmentsPerTurn, double frequencyMHz,
                           const std::string& comment);

inline constexpr double kHelixFeedSegment = 0.025; // m, each half of the feed
inline constexpr int kHelixImageTags = 1000;       // GX's tag increment for the other half

} // namespace brevan::check
