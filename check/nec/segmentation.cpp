// SPDX-License-Identifier: GPL-3.0-or-later
#include "nec/nec_deck.h"

#include "floating_chars.h"
#include "portable_maths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevan::check {

namespace {

constexpr double kMetreMegahertz = 299.792458; // c in m * MHz: lambda = c / f
constexpr double kWavelengthsPerSegment = 50.0;
constexpr double kSegmentsAlongWire = 60.0; // the working resolution when the wavelength allows
constexpr int kLeastOuter = 3;              // segments beyond each coil, where the wire allows
constexpr int kMostInner = 110;             // keeps the finer level within a few hundred segments
// Coils closer to the feed than this share of a segment sit on the feed segment: one segment of
// that length across the whole wire would take thousands.
constexpr double kAtFeedShare = 0.4;
// A graded inner wire: this many segments of the coil's step beside the coil, then two of each
// doubled length; its longest segments come to within a factor of about 1.4 of the working
// resolution. Beside the coil the wire is cut as it would be evenly, so NEC-2's answer for the
// load stays what the equal segments give.
constexpr int kBesideCoil = 4;
constexpr int kEachDoubling = 2;
constexpr double kGradedLongest = 1.41421356; // sqrt 2: the power of two nearest the resolution

struct Limits {
    double shortest = 0.0; // 4 radii
    double longest = 0.0;  // lambda / 50 at the highest frequency
};

// The value a card will carry, so that the segmentation holds exactly what the engine reads.
// Read back with the full stop whatever the locale: strtod would stop at it under a German one
// (Qt sets the user's locale at start-up) and make every segment 0 m long.
double asOnCard(double value) {
    const std::string text = deckNumber(value);
    double read = 0.0;
    fromChars(text.data(), text.data() + text.size(), read);
    return read;
}

std::optional<std::string> inputProblem(const AntennaModel& model, double highestMHz) {
    const auto bad = [](double value) { return !std::isfinite(value) || value <= 0.0; };
    if (bad(highestMHz)) {
        return "the highest frequency of the sweep must be a positive number of MHz";
    }
    if (bad(model.length)) {
        return "the antenna length must be a positive number of metres";
    }
    if (bad(model.wireDiameter)) {
        return "the wire diameter must be a positive number of metres";
    }
    if (!std::isfinite(model.coilDistance) || model.coilDistance < 0.0 ||
        model.coilDistance >= model.length / 2.0) {
        return "the coils must lie between the centre and the tips: B = " +
               deckMetres(model.coilDistance) + " with the half length " +
               deckMetres(model.length / 2.0);
    }
    if (model.ground.kind != GroundKind::FreeSpace) {
        const double radius = model.wireDiameter / 2.0;
        if (!std::isfinite(model.ground.height) ||
            model.ground.height < kShortestInRadii * radius) {
            return "over ground the wire must hang at least 4 wire radii (" +
                   deckMetres(kShortestInRadii * radius) + ") above it; the height is " +
                   deckMetres(model.ground.height);
        }
    }
    return std::nullopt;
}

Limits limitsFor(const AntennaModel& model, double highestMHz) {
    return {kShortestInRadii * model.wireDiameter / 2.0,
            kMetreMegahertz / highestMHz / kWavelengthsPerSegment};
}

// The inner wire's pieces, as (end along the wire, segments), from the feed segment's edge to
// the coil's segment at `coilEdge`, and that feed edge; `step` is the coil's step at this level.
// Even: inner - 1 segments of the step and a feed segment of one step. Graded: kBesideCoil
// segments of the step per level beside the coil, then kEachDoubling per level of each doubled
// length, then the rest to a feed segment of the longest length, in segments between half and
// all of it. Nothing when the graded pieces leave no room for one whole longest segment.
struct InnerWire {
    double feedEdge = 0.0;
    std::vector<std::pair<double, int>> runs;
};

InnerWire evenInnerWire(const SegmentCounts& counts, double step, double coilEdge) {
    return {step / 2.0, {{coilEdge, counts.inner - 1}}};
}

std::optional<InnerWire> innerWire(const SegmentCounts& counts, double step, double coilEdge) {
    if (counts.grading <= 1) {
        return evenInnerWire(counts, step, coilEdge);
    }
    InnerWire wire;
    const double longest = counts.grading * step;
    const double base = step * counts.level; // the working level's step
    double edge = coilEdge - kBesideCoil * base;
    std::vector<std::pair<double, int>> outward{{coilEdge, kBesideCoil * counts.level}};
    for (int size = 2; size < counts.grading; size *= 2) {
        outward.emplace_back(edge, kEachDoubling * counts.level);
        edge -= kEachDoubling * size * base;
    }
    wire.feedEdge = longest / 2.0;
    const double rest = edge - wire.feedEdge;
    if (rest < longest * (1.0 - 1e-9)) {
        return std::nullopt;
    }
    wire.runs.emplace_back(edge, static_cast<int>(std::ceil(rest / longest - 1e-9)));
    wire.runs.insert(wire.runs.end(), outward.rbegin(), outward.rend());
    return wire;
}

// Equal segments everywhere (or a graded inner wire, see innerWire): `inner` steps between the
// feed's and the coil's centres, `outer` segments beyond the coil's segment. With inner = 0 the
// coils are on the feed segment and `outer` counts the segments of each half beyond it.
Segmentation assemble(const AntennaModel& model, SegmentCounts counts) {
    const double half = asOnCard(model.length / 2.0);
    Segmentation seg;
    seg.counts = counts;
    std::vector<double> edges; // the positive half, from the feed segment's edge to the tip
    InnerWire inner;
    double step = 0.0;
    double outerStep = 0.0; // before the edges are rounded to the cards
    if (counts.inner == 0) {
        step = half / (counts.outer + 0.5);
        outerStep = step;
        edges.push_back(step / 2.0);
        edges.push_back(half);
    } else {
        const double b = model.coilDistance;
        step = b / counts.inner;
        const double coil = counts.coilShare * step;
        outerStep = (half - b - coil / 2.0) / counts.outer;
        // chooseCounts grades only where there is room; counts made for another antenna fall
        // back to equal segments.
        const std::optional<InnerWire> graded = innerWire(counts, step, b - coil / 2.0);
        inner = graded ? *graded : evenInnerWire(counts, step, b - coil / 2.0);
        edges = {inner.feedEdge, b - coil / 2.0, b + coil / 2.0, half};
    }
    for (double& edge : edges) {
        edge = asOnCard(edge);
    }
    // Pieces from -A/2 to +A/2: the mirrored half, the feed, the half.
    std::vector<std::pair<double, int>> runs; // end of the run and its segments, positive half
    if (counts.inner == 0) {
        runs = {{half, counts.outer}};
    } else {
        for (auto& [end, segments] : inner.runs) {
            runs.emplace_back(asOnCard(end), segments);
        }
        runs.back().first = edges[1];
        runs.insert(runs.end(), {{edges[2], 1}, {half, counts.outer}});
    }
    std::vector<WirePiece> negative;
    double start = edges[0];
    for (const auto& [end, segments] : runs) {
        if (segments > 0) {
            negative.push_back(WirePiece{0, segments, -end, -start});
        }
        start = end;
    }
    std::reverse(negative.begin(), negative.end());
    int tag = 0;
    for (WirePiece piece : negative) {
        piece.tag = ++tag;
        seg.pieces.push_back(piece);
    }
    seg.pieces.push_back(WirePiece{++tag, 1, -edges[0], edges[0]});
    seg.feedTag = tag;
    seg.feedSegment = 1;
    start = edges[0];
    for (const auto& [end, segments] : runs) {
        if (segments > 0) {
            seg.pieces.push_back(WirePiece{++tag, segments, start, end});
        }
        start = end;
    }
    if (counts.inner == 0) {
        seg.coilsAtFeed = true;
        seg.coilTags[0] = seg.coilTags[1] = seg.feedTag;
        seg.coilSegments[0] = seg.coilSegments[1] = 1;
    } else {
        // The coil's own one-segment piece on each side.
        seg.coilTags[0] = 2; // from the tip: the outer run, then the coil
        seg.coilTags[1] =
            seg.feedTag + 1 +
            static_cast<int>(std::count_if(runs.begin(), runs.end() - 2,
                                           [](const auto& r) { return r.second > 0; }));
        seg.coilSegments[0] = seg.coilSegments[1] = 1;
        const WirePiece& coil = seg.pieces[static_cast<std::size_t>(seg.coilTags[1] - 1)];
        seg.coilCentres[1] = 0.5 * (coil.y1 + coil.y2);
        seg.coilCentres[0] = -seg.coilCentres[1];
    }
    seg.shortestSegment = std::max(step, outerStep);
    seg.longestSegment = 0.0;
    for (const WirePiece& piece : seg.pieces) {
        const double length = (piece.y2 - piece.y1) / piece.segments;
        seg.shortestSegment = std::min(seg.shortestSegment, length);
        seg.longestSegment = std::max(seg.longestSegment, length);
    }
    seg.totalSegments = 1;
    for (const auto& [end, segments] : runs) {
        seg.totalSegments += 2 * segments;
    }
    return seg;
}

// The counts near `target` that keep the wire beyond the coil closest to the inner segments'
// length, with at least kLeastOuter segments there where they stay 4 radii long.
SegmentCounts chooseCounts(const AntennaModel& model, double target, const Limits& limits) {
    const double half = model.length / 2.0;
    const double b = model.coilDistance;
    if (b < kAtFeedShare * target) {
        return {0, std::max(1, static_cast<int>(std::lround(half / target - 0.5)))};
    }
    // Finer where the wire beyond the coil is short, as long as its segments keep 4 radii.
    const double beyond = half - b;
    const double fitted = std::max(beyond / (kLeastOuter + 0.5), limits.shortest);
    const double step = std::max(std::min(target, fitted), b / kMostInner);
    const int centre = std::max(1, static_cast<int>(std::lround(b / step)));
    SegmentCounts best{centre, 1};
    double bestMismatch = 1e300;
    for (int inner = std::max(1, centre - 2); inner <= centre + 2; ++inner) {
        const double s = b / inner;
        const double rest = half - b - s / 2.0;
        if (rest <= 0.0) {
            continue;
        }
        const int outer = std::max(1, static_cast<int>(std::lround(rest / s)));
        // Even segments beside the coil first, then the resolution asked for.
        const double mismatch =
            std::abs(portable::log(rest / outer / s)) + 0.05 * std::abs(portable::log(s / step));
        if (mismatch < bestMismatch - 1e-12) {
            bestMismatch = mismatch;
            best = {inner, outer, 1.0};
        }
    }
    const double s = b / best.inner;
    if (beyond < 1.5 * s) {
        // Too close to the tip for a whole segment and one beyond it: the coil's segment and
        // the one beyond it share what is left, equally.
        best.inner = std::max(best.inner, 2);
        best.outer = 1;
        best.coilShare = std::min(1.0, beyond / (1.5 * b / best.inner));
    }
    // Steps much shorter than the resolution asked for, for the wire beyond the coil: the rest
    // of the inner wire graded up to about that resolution, within lambda/50.
    const double coilStep = b / best.inner;
    const double coilEdge = b - best.coilShare * coilStep / 2.0;
    for (int grading = 2;
         grading * coilStep <= kGradedLongest * target && grading * coilStep <= limits.longest;
         grading *= 2) {
        SegmentCounts graded = best;
        graded.grading = grading;
        if (!innerWire(graded, coilStep, coilEdge)) {
            break;
        }
        best.grading = grading;
    }
    return best;
}

std::optional<std::string> ruleBreach(const Segmentation& seg, const Limits& limits) {
    if (seg.shortestSegment < limits.shortest * (1.0 - 1e-9)) {
        return "its segments would be " + deckMetres(seg.shortestSegment) +
               " long, shorter than 4 wire radii (" + deckMetres(limits.shortest) + ")";
    }
    if (seg.longestSegment > limits.longest * (1.0 + 1e-9)) {
        return "its segments would be " + deckMetres(seg.longestSegment) +
               " long, longer than lambda/50 (" + deckMetres(limits.longest) + ")";
    }
    return std::nullopt;
}

} // namespace

GroundConstants groundConstants(GroundKind kind) {
    // ARRL Antenna Book, "Conductivities and dielectric constants for common types of earth",
    // the rows it rates poor (rocky soil, steep hills), average (pastoral, medium hills, heavy
    // clay) and very good (pastoral, low hills, rich soil).
    switch (kind) {
    case GroundKind::Poor: return {13.0, 0.002};
    case GroundKind::Average: return {13.0, 0.005};
    case GroundKind::Good: return {20.0, 0.0303};
    case GroundKind::FreeSpace:
    case GroundKind::Perfect: break;
    }
    return {};
}

const char* groundName(GroundKind kind) {
    switch (kind) {
    case GroundKind::FreeSpace: return "free space";
    case GroundKind::Poor: return "poor";
    case GroundKind::Average: return "average";
    case GroundKind::Good: return "good";
    case GroundKind::Perfect: return "perfect";
    }
    return "free space";
}

bool sommerfeldGround(GroundKind kind) {
    return kind == GroundKind::Poor || kind == GroundKind::Average || kind == GroundKind::Good;
}

std::variant<Segmentation, ModelRefusal>
segmentWith(const AntennaModel& model, SegmentCounts counts, int factor, double highestMHz) {
    if (const auto problem = inputProblem(model, highestMHz)) {
        return ModelRefusal{*problem};
    }
    const Limits limits = limitsFor(model, highestMHz);
    counts.inner *= factor;
    counts.outer = std::max(1, counts.outer * factor);
    counts.level *= factor;
    if (counts.inner > 0 && model.length / 2.0 - model.coilDistance <=
                                counts.coilShare * model.coilDistance / counts.inner / 2.0) {
        return ModelRefusal{"the wire beyond each coil is shorter than half a segment"};
    }
    Segmentation seg = assemble(model, counts);
    if (const auto breach = ruleBreach(seg, limits)) {
        return ModelRefusal{"the wire cannot be divided within the NEC rules: " + *breach};
    }
    // The legs' droop follows the wire as divided: they bend at the feed segment's edges.
    auto shape = wireShape(model, seg);
    if (const auto* refusal = std::get_if<ModelRefusal>(&shape)) {
        return *refusal;
    }
    seg.shape = std::get<WireShape>(shape);
    return seg;
}

std::variant<Segmentation, ModelRefusal> segmentAntenna(const AntennaModel& model,
                                                        double highestMHz) {
    if (const auto problem = inputProblem(model, highestMHz)) {
        return ModelRefusal{*problem};
    }
    const Limits limits = limitsFor(model, highestMHz);
    if (limits.shortest > limits.longest) {
        return ModelRefusal{"the wire is too thick for " + deckNumber(highestMHz) +
                            " MHz: a segment must be at least 4 wire radii (" +
                            deckMetres(limits.shortest) + ") long but at most lambda/50 (" +
                            deckMetres(limits.longest) + ")"};
    }
    const double target = std::min(model.length / kSegmentsAlongWire, limits.longest);
    return segmentWith(model, chooseCounts(model, target, limits), 1, highestMHz);
}

} // namespace brevan::check
