// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/helix_deck.h"

#include "coil/physics.h"
#include "coil/round_wire.h"
#include "nec/nec_deck.h"
#include "portable_maths.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <variant>
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

AntennaModel modelOf(const HelixAntenna& a) {
    AntennaModel model;
    model.length = a.length;
    model.coilDistance = a.coilDistance;
    model.wireDiameter = a.wireDiameter;
    model.ground = a.ground;
    model.hang = a.hang;
    model.insulation = a.insulation;
    return model;
}

// How it hangs, bent at the feed segment's edge as the lumped antenna is at its own.
std::optional<WireShape> shapeOf(const HelixAntenna& a) {
    const auto shape = wireShapeAlong(modelOf(a), kHelixFeedSegment, a.length / 2.0);
    const WireShape* s = std::get_if<WireShape>(&shape);
    return s ? std::optional<WireShape>(*s) : std::nullopt;
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
           g.half - g.outer >= kFinest && shapeOf(a);
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
    const WireShape shape = shapeOf(a).value_or(WireShape{});
    const bool overGround = a.ground.kind != GroundKind::FreeSpace;
    if (shape.droop != 0.0) {
        // The leg, every tag beyond the feed's, swung about the feed segment's outer end.
        const std::string pivotX = deckNumber(g.radius);
        const std::string pivotZ = deckNumber(kHelixFeedSegment);
        deck += "GM 0 0 0 0 0 " + deckNumber(-g.radius) + " 0 " + deckNumber(-kHelixFeedSegment) +
                " 2\n";
        deck += "GM 0 0 0 " + deckNumber(shape.droop * 180.0 / kPi) + " 0 " + pivotX + " 0 " +
                pivotZ + " 2\n";
    }
    if (overGround) {
        // Laid along x, the wire at the apex's height and the coils above it: z = -x up to it.
        deck += "GM 0 0 0 90 0 0 0 " + deckNumber(shape.apexHeight + g.radius) + " 0\n";
    }
    deck +=
        "GX " + std::to_string(kHelixImageTags) + (overGround ? " 100\nGE 1\n" : " 001\nGE 0\n");
    deck += groundCards(a.ground);
    deck += "LD 5 0 0 0 " + deckNumber(1.0 / kCopperResistivity) + '\n';
    const double sleeve = sleeveInductance(a.insulation, a.wireDiameter);
    if (sleeve > 0.0) {
        // By absolute segment: the feed's and the inner wire's, then the outer wire's, of this
        // half and of its image, numbered after it.
        const int half = helixSegments(a, segmentsPerTurn);
        const int inner = 1 + static_cast<int>(in.size());
        const int outer = inner + turnSegments(a, segmentsPerTurn) + 1;
        for (const int image : {0, half}) {
            for (const auto& [from, to] : {std::pair<int, int>{1, inner}, {outer, half}}) {
                deck += "LD 2 0 " + std::to_string(image + from) + ' ' +
                        std::to_string(image + to) + " 0 " + deckNumber(sleeve) + " 0\n";
            }
        }
    }
    deck += "EX 0 1 1 0 1 0\nEX 0 " + std::to_string(1 + kHelixImageTags) + " 1 0 -1 0\n";
    deck += "FR 0 1 0 0 " + deckNumber(frequencyMHz) + " 0\nXQ 0\nEN\n";
    return deck;
}

} // namespace brevan::check
