// SPDX-License-Identifier: GPL-3.0-or-later
// The plain functions of the check's record; the check itself, stage by stage, is in
// check_stages.cpp.
#include "fullwave/antenna_check.h"

#include "coil/physics.h"
#include "portable_maths.h"

namespace brevan::check {

AntennaModel antennaModel(const AntennaCheckInput& input, double length, CoilImpedance) {
    AntennaModel model;
    model.length = length;
    model.coilDistance = input.coilDistance;
    model.wireDiameter = input.wireDiameter;
    model.ground = input.ground;
    model.hang = input.hang;
    model.insulation = input.insulation;
    model.coilStraightExcess = input.coilStraightExcess;
    return model;
}

RadiatedPower radiatedPower(const AntennaResult& hung, bool ofTrimmed,
                            std::optional<double> fullSizeShare) {
    RadiatedPower out;
    out.ofTrimmed = ofTrimmed;
    out.share = hung.designEfficiency;
    if (fullSizeShare && *fullSizeShare > 0.0) {
        out.fullSizeShare = fullSizeShare;
        if (out.share > 0.0) {
            out.dbAgainstFullSize =
                10.0 * portable::log(out.share / *fullSizeShare) / portable::log(10.0);
        }
    }
    return out;
}

Matching matchingFor(const Samples& curve, double designMHz) {
    return {bestTransformer(curve, designMHz, kReferenceImpedance),
            lNetwork(curve, designMHz, kReferenceImpedance)};
}

double apparentInductance(std::complex<double> impedance, double designMHz) {
    const double omega = 2 * kPi * designMHz * 1e6;
    return impedance.imag() / omega;
}

double resonanceSwr(const AntennaResult& result) {
    return swr(std::complex<double>{result.resonanceResistance, 0.0});
}

bool inBand(const SwrBand& band, double frequencyMHz) {
    return band.lowerMHz && band.upperMHz && frequencyMHz >= *band.lowerMHz &&
           frequencyMHz <= *band.upperMHz;
}

} // namespace brevan::check
