// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/helix_deck.h"

#include "coil/physics.h"
#include "coil/round_wire.h"
#include "nec/nec_deck.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brevan::check {

namespace {

constexpr double kFinest = 0.005;  // m, the wire's segments at a coil's ends
constexpr double kGrowth = 1.25;   // each segment on from there, times the one before
constexpr double kCoarsest = 0.10; // m

struct HelixGeometry {
    double radius = 0.0; // m, of the polygon: its area is the circle's
    double winding = 0.0;
    double inner = 0.0; // m, from the feed, the coil's ends
    double outer = 0.0;
    double half = 0.0;
};

HelixGeometry geometryOf(const HelixAntenna& a, int segmentsPerTurn) {
    HelixGeometry g;
    const double angle = 2.0 * kPi / segmentsPerTurn;
    g.radius = a.coil.meanDiameter / 2.0 * std::sqrt(angle / portable::sin(angle));
    g.winding = a.coil.turns * a.coil.pitch;
    g.inner = a.coilDistance - g.winding / 2.0;
    g.outer = a.coilDistance + g.winding / 2.0;
    g.half = a.length / 2.0;
    return g;
}

// The segment lengths over `span`, from kFinest at its start growing to kCoarsest, the last
// stretched or the run of equal ones evened out to end exactly.
std::vector<double> graded(double span) {
    std::vector<double> steps;
    double covered = 0.0;
    double step = kFinest;
    while (covered + step < span && step < kCoarsest) {
        steps.push_back(step);
        covered += step;
        step = std::min(step * kGrowth, kCoarsest);
    }
    const double rest = span - covered;
    const int even = std::max(1, static_cast<int>(std::lround(rest / kCoarsest)));
    for (int i = 0; i < even; ++i) {
        steps.push_back(rest / even);
    }
    return steps;
}

int turnSegments(const HelixAntenna& a, int segmentsPerTurn) {
    return std::max(1, static_cast<int>(std::lround(a.coil.turns * segmentsPerTurn)));
}

std::string wireCard(int tag, int segments, double x, double z1, double z2, double radius) {
    return "GW " + std::to_string(tag) + ' ' + std::to_string(segments) + ' ' + deckNumber(x) +
           " 0 " + deckNumber(z1) + ' ' + deckNumber(x) + " 0 " + deckNumber(z2) + ' ' +
           deckNumber(radius) + '\n';
}

} // namespace

bool helixFits(const HelixAntenna& a) {
    const HelixGeometry g = geometryOf(a, 8);
    return a.coil.turns > 0.0 && a.coil.pitch > 0.0 && g.inner >= kHelixFeedSegment + kFinest &&
           g.half - g.outer >= kFinest;
}

int helixSegments(const HelixAntenna& a, int segmentsPerTurn) {
    const HelixGeometry g = geometryOf(a, segmentsPerTurn);
    return 1 + static_cast<int>(graded(g.inner - kHelixFeedSegment).size()) +
           turnSegments(a, segmentsPerTurn) + static_cast<int>(graded(g.half - g.outer).size());
}

std::string writeHelixDeck(const HelixAntenna& a, int segmentsPerTurn, double frequencyMHz,
                           const std::string& comment) {
    const HelixGeometry g = geometryOf(a, segmentsPerTurn);
    const double wireRadius = a.wireDiameter / 2.0;
    std::string deck = "CM " + comment + "\nCE\n";
    int tag = 0;
    deck += wireCard(++tag, 1, g.radius, 0.0, kHelixFeedSegment, wireRadius);
    // From the feed to the coil: fine at the coil, so the steps are laid from there inwards.
    std::vector<double> in = graded(g.inner - kHelixFeedSegment);
    std::reverse(in.begin(), in.end());
    double z = kHelixFeedSegment;
    for (const double step : in) {
        deck += wireCard(++tag, 1, g.radius, z, z + step, wireRadius);
        z += step;
    }
    ++tag;
    deck += "GH " + std::to_string(tag) + ' ' + std::to_string(turnSegments(a, segmentsPerTurn)) +
            ' ' + deckNumber(a.coil.pitch) + ' ' + deckNumber(g.winding) + ' ' +
            deckNumber(g.radius) + ' ' + deckNumber(g.radius) + ' ' + deckNumber(g.radius) + ' ' +
            deckNumber(g.radius) + ' ' + deckNumber(a.coil.wireDiameter / 2.0) + '\n';
    deck += "GM 0 0 0 0 0 0 0 " + deckNumber(g.inner) + ' ' + std::to_string(tag) + '\n';
    z = g.outer;
    for (const double step : graded(g.half - g.outer)) {
        deck += wireCard(++tag, 1, g.radius, z, z + step, wireRadius);
        z += step;
    }
    deck += "GX " + std::to_string(kHelixImageTags) + " 001\nGE 0\n";
    deck += "LD 5 0 0 0 " + deckNumber(1.0 / kCopperResistivity) + '\n';
    deck += "EX 0 1 1 0 1 0\nEX 0 " + std::to_string(1 + kHelixImageTags) + " 1 0 -1 0\n";
    deck += "FR 0 1 0 0 " + deckNumber(frequencyMHz) + " 0\nXQ 0\nEN\n";
    return deck;
}

} // namespace brevan::check
