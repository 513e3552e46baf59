// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_list.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {
namespace {

// Whole millimetres, the resolution of a tape measure.
double toMillimetre(double metres) {
    return std::round(metres * 1000.0) / 1000.0;
}

// A tip is trimmed while watching the analyser, so it is cut a little long: 2 % of the outer
// wire, at least 5 cm, in whole centimetres.
double spareFor(double outerWire) {
    return std::max(0.05, std::ceil(outerWire * 0.02 * 100.0) / 100.0);
}

} // namespace

CutList makeCutList(const CutListInput& input) {
    CutList cut;
    cut.coilsAtFeed = input.coilDistance == 0.0;
    const double halfCoil = input.windingLength / 2;
    // At the feed point the coil's near end, not its middle, is at the centre.
    const double coilMiddle = cut.coilsAtFeed ? halfCoil : input.coilDistance;
    const double inner = coilMiddle - halfCoil;
    const double outer = input.length / 2 - coilEnd(input.coilDistance, input.windingLength);
    cut.coilReachesCentre = inner < 0;
    cut.coilReachesTip = outer <= 0;
    cut.innerWire = toMillimetre(std::max(inner, 0.0));
    cut.outerWire = toMillimetre(std::max(outer, 0.0));
    cut.tipChange = input.tipChange;
    const double trimmed = std::max(cut.outerWire + input.tipChange.value_or(0.0), 0.0);
    cut.tipSpare = std::max(spareFor(trimmed), std::ceil(input.spareAtLeast * 100.0) / 100.0);
    cut.outerWireToCut = toMillimetre(trimmed + cut.tipSpare);
    cut.coilWireEach = toMillimetre(input.windingWire + 2 * kCoilLeadAllowance);
    cut.antennaWireTotal = toMillimetre(2 * (cut.innerWire + cut.outerWireToCut));
    cut.coilWireTotal = toMillimetre(2 * cut.coilWireEach);
    return cut;
}

} // namespace brevan::check
