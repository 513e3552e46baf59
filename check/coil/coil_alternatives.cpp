// SPDX-License-Identifier: GPL-3.0-or-later
#include "coil/coil_alternatives.h"

#include "coil/coil_impedance.h"
#include "coil/helical_line.h"
#include "coil/physics.h"
#include "wire_gauge_table.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace brevan::check {
namespace {

constexpr int kThickestGauge = 10;
constexpr int kThinnestGauge = 30;

struct Wire {
    double diameter = 0.0; // m
    int gauge = 0;         // 0: the user's own
};

std::vector<Wire> candidateWires(double userWire) {
    std::vector<Wire> wires{{userWire, 0}};
    for (int gauge = kThickestGauge; gauge <= kThinnestGauge; gauge += 2) {
        double inches = 0.0;
        brevan::WireGaugeTable::lookupDiameter(brevan::WireColumn::Coil, gauge, inches);
        if (inches > 0.0) {
            wires.push_back({inches * kMetresPerInch, gauge});
        }
    }
    return wires;
}

std::vector<double> candidateFormers(double userFormer) {
    std::vector<double> formers(std::begin(kCommonFormers), std::end(kCommonFormers));
    if (userFormer > 0.0 &&
        std::none_of(formers.begin(), formers.end(), [&](double d) { return d == userFormer; })) {
        formers.push_back(userFormer);
    }
    return formers;
}

// Pitch as a multiple of the wire diameter.
std::vector<double> candidatePitchRatios(const AlternativesRequest& request,
                                         const std::vector<double>& given) {
    std::vector<double> ratios = given.empty() ? std::vector<double>{1.0, 2.0} : given;
    const double user = request.pitch / request.wireDiameter;
    if (user > 1.0 && std::isfinite(user) &&
        std::find(ratios.begin(), ratios.end(), user) == ratios.end()) {
        ratios.push_back(user);
    }
    return ratios;
}

std::optional<CoilAlternative> windAlternative(const AlternativesRequest& request, double former,
                                               const Wire& wire, double pitchRatio) {
    WoundCoil coil{1.0, former + wire.diameter, pitchRatio * wire.diameter, wire.diameter};
    const std::optional<int> turns =
        closestTurnsSeen(coil, request.frequency, request.inductance, std::nullopt);
    if (!turns) {
        return std::nullopt;
    }
    coil.turns = *turns;
    const double resonance = selfResonance(coil, std::nullopt);
    const std::complex<double> z = coilImpedance(coil, request.frequency, std::nullopt);
    CoilAlternative alternative;
    alternative.coil = coil;
    alternative.formerDiameter = former;
    alternative.gauge = wire.gauge;
    alternative.windingLength = sheetLength(coil);
    alternative.apparentInductance = z.imag() / (2.0 * kPi * request.frequency);
    alternative.selfResonance = resonance;
    alternative.q = z.real() > 0.0 ? z.imag() / z.real() : 0.0;
    alternative.isLong = coilLengthAt(coil, request.frequency).isLong;
    return alternative;
}

// Within one turn's worth of the request: the search stops at the bound or at the last turns
// below self-resonance when the inductance is out of reach, and those must not be offered.
bool meetsRequest(const CoilAlternative& a, const AlternativesRequest& request) {
    const WoundCoil oneMore = withTurns(a.coil, a.coil.turns + 1.0);
    const double step = std::fabs(inductanceAt(oneMore, request.frequency) -
                                  inductanceAt(a.coil, request.frequency));
    return std::fabs(a.apparentInductance - request.inductance) <= step;
}

} // namespace

CoilAlternatives coilAlternatives(const AlternativesRequest& request, std::size_t count,
                                  const std::vector<double>& pitchRatios) {
    CoilAlternatives result;
    if (!(request.inductance > 0.0) || !(request.frequency > 0.0) ||
        !(request.wireDiameter > 0.0)) {
        return result;
    }
    for (const double former : candidateFormers(request.formerDiameter)) {
        for (const Wire& wire : candidateWires(request.wireDiameter)) {
            for (const double ratio : candidatePitchRatios(request, pitchRatios)) {
                const std::optional<CoilAlternative> a =
                    windAlternative(request, former, wire, ratio);
                if (!a || !meetsRequest(*a, request)) {
                    continue;
                }
                if (!result.highestResonance ||
                    a->selfResonance > result.highestResonance->selfResonance) {
                    result.highestResonance = a;
                }
                if (a->selfResonance >= kResonanceMargin * request.frequency) {
                    result.coils.push_back(*a);
                }
            }
        }
    }
    std::stable_sort(result.coils.begin(), result.coils.end(),
                     [](const CoilAlternative& a, const CoilAlternative& b) {
                         return a.isLong != b.isLong ? !a.isLong : a.q > b.q;
                     });
    if (result.coils.size() > count) {
        result.coils.resize(count);
    }
    return result;
}

} // namespace brevan::check
