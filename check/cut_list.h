// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What to cut, per half of the dipole and in total. B is taken from the feed point at the centre
// to the middle of each coil, and A from tip to tip with the coils in line, so each half is
// inner wire + coil + outer wire = A / 2. B = 0 puts both coils at the feed point: each coil then
// starts there, and each half is coil + outer wire = A / 2, with no inner wire.

#include <optional>

namespace brevan::check {

inline constexpr double kCoilLeadAllowance = 0.10; // m of coil wire left at each end for leads
// The least outer wire a builder can join to a coil's end: the shortest a tip is cut back to.
inline constexpr double kJointAllowance = 0.02; // m

// Where each coil's far end lies from the centre: with B = 0 the coil starts at the feed.
inline double coilEnd(double coilDistance, double windingLength) {
    return (coilDistance == 0.0 ? windingLength / 2 : coilDistance) + windingLength / 2;
}

struct CutListInput {
    double length = 0.0;        // m, A
    double coilDistance = 0.0;  // m, B
    double windingLength = 0.0; // m, the coil as wound: turns x pitch
    double windingWire = 0.0;   // m, wire in the winding itself
    // m, each tip, from the full-wave check; only a trim that reaches F belongs here.
    std::optional<double> tipChange;
    // m, the least spare each tip must keep: where the model's resonance is uncertain by more
    // than the usual spare can trim (long coils), the wire that uncertainty asks for.
    double spareAtLeast = 0.0;
};

struct CutList {
    bool coilsAtFeed = false;        // B = 0: each coil starts at the feed point
    double innerWire = 0.0;          // m, centre to the near end of the coil, each half
    double outerWire = 0.0;          // m, far end of the coil to the tip, each half, as designed
    std::optional<double> tipChange; // m, added to (or cut from) each outer wire
    double outerWireToCut = 0.0;     // m, outer wire with the trim and the spare for adjustment
    double tipSpare = 0.0;           // m, left on each tip for the final adjustment
    double coilWireEach = 0.0;       // m, winding plus both leads
    double antennaWireTotal = 0.0;   // m, both halves as cut
    double coilWireTotal = 0.0;      // m, both coils
    bool coilReachesCentre = false;  // the coil is longer than 2 B: no inner wire is left
    bool coilReachesTip = false;     // the coil reaches past the tip
};

CutList makeCutList(const CutListInput& input);

} // namespace brevan::check
