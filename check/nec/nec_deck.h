// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The antenna as a NEC-2 model: one wire in the y-z plane, fed at its centre, with the two
// loading coils as lumped impedance loads on the segments centred on +-B. It hangs straight and
// horizontal, or as an inverted V whose legs droop from the edges of the feed segment.
//
//   AntennaModel --segmentAntenna--> Segmentation (uniform segments; a finer level halves them)
//   AntennaModel + Segmentation --wireShape--> where the wire bends and how far the legs droop
//   AntennaModel + Segmentation + per-frequency coil impedances --writeDeck--> deck text
//
// NEC-2's answer for a wire with lumped loads depends on the segments beside a loaded one, so
// the wire is cut into equal segments: the feed and the coils each sit on one, and the wire
// beyond the coils is cut as evenly as its length allows. Coils near the tips, whose short
// outer wire needs short segments, keep those beside the coil and grade the rest of the inner
// wire up to the usual length: the resonance moves by a few parts in 100,000 for a third of
// the segments (the engine's time grows as their square to cube).

#include "nec/insulation.h"

#include <complex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace brevan::check {

enum class GroundKind { FreeSpace, Poor, Average, Good, Perfect };

struct Ground {
    GroundKind kind = GroundKind::FreeSpace;
    double height = 0.0; // m above the ground; ignored in free space
};

// Relative permittivity and conductivity (S/m) of the finite grounds; Perfect and FreeSpace
// give zeros.
struct GroundConstants {
    double permittivity = 0.0;
    double conductivity = 0.0;
};
GroundConstants groundConstants(GroundKind kind);
const char* groundName(GroundKind kind); // "free space", "poor", "average", "good", "perfect"
bool sommerfeldGround(GroundKind kind);  // a finite ground, solved by Sommerfeld-Norton

enum class HangShape { Straight, InvertedV };

// How the wire hangs, as the builder gives it. An inverted V keeps what was given when its
// length changes (the trim): the ends' height, so the droop follows the length, or else the
// angle between the legs. The apex is the ground's height.
struct Hang {
    HangShape shape = HangShape::Straight;
    double legAngle = 180.0;          // degrees between the legs; used without an ends' height
    std::optional<double> endsHeight; // m above the ground (over ground only)
};

inline constexpr double kNarrowestLegAngle = 60.0; // degrees; 180 is the straight wire

struct AntennaModel {
    double length = 0.0;       // m, tip to tip, along the wire
    double coilDistance = 0.0; // m, centre to each coil's middle (B), along the wire
    double wireDiameter = 0.0; // m
    Ground ground;
    Hang hang;
    Insulation insulation; // of the antenna wire; none by default
    // H, each coil: the inductance the straight wire through a coil's place has beyond the
    // coil's own axial path (straightWireExcess). The coil loads are given that much less, so
    // that the model's wire and load together have the coil's own impedance.
    double coilStraightExcess = 0.0;
};

// One GW card: a straight piece of the wire with its own segment count. The ends are positions
// along the wire from the feed point; wireShape says where they lie in space.
struct WirePiece {
    int tag = 0;
    int segments = 0;
    double y1 = 0.0; // m
    double y2 = 0.0; // m
};

// How many equal segments lie between the feed's and a coil's centres (`inner`, 0 with the coils
// at the feed) and beyond the coil's segment to the tip (`outer`), each half.
struct SegmentCounts {
    int inner = 0;
    int outer = 0;
    // The coil's segment against the inner ones: shorter only where the coil sits closer to
    // the tip than one and a half segments.
    double coilShare = 1.0;
    // Where the wire beyond the coil asks for segments much shorter than the rest of the wire
    // needs, the inner wire is graded: kept at the coil's step for a few segments beside the
    // coil, then doubling, to segments `grading` times that step from there to the feed (a
    // power of two; 1: equal segments throughout). `inner` still counts the coil's steps
    // between the centres.
    int grading = 1;
    // Times the working level's segments (segmentWith's factor): a graded wire keeps the
    // lengths of its doubling pieces and halves their segments.
    int level = 1;
};

// The wire as it hangs: horizontal at the apex across the feed segment, then each leg straight
// down at `droop` to its tip. The straight wire is the V with no droop.
struct WireShape {
    double bend = 0.0;       // m along the wire from the centre: the feed segment's edge
    double droop = 0.0;      // radians below the horizontal, each leg
    double apexHeight = 0.0; // m above the ground (0 in free space)
    double endsHeight = 0.0; // m, the tips
    double span = 0.0;       // m between the tips, horizontally
    double legAngle = 0.0;   // degrees between the legs
};

// Where the pieces, the feed and the loads lie, with the NEC rules already checked.
struct Segmentation {
    SegmentCounts counts;
    std::vector<WirePiece> pieces;
    int feedTag = 0;
    int feedSegment = 0;
    bool coilsAtFeed = false; // both coils on the feed segment, as one load of twice the coil
    int coilTags[2] = {0, 0};
    int coilSegments[2] = {0, 0};
    double coilCentres[2] = {0.0, 0.0}; // m, y of the loaded segments' centres
    double shortestSegment = 0.0;       // m
    double longestSegment = 0.0;        // m
    int totalSegments = 0;
    WireShape shape; // how the pieces lie in space
};

// Why a design cannot be modelled within the NEC rules; the text says what is wrong in words.
struct ModelRefusal {
    std::string reason;
};

// Point of the wire `along` metres from the centre (negative: the other half).
struct WirePoint {
    double y = 0.0; // m, horizontal
    double z = 0.0; // m, height
};

// The shape of `model` on `segmentation`, or why it cannot hang so: ends not below the apex,
// too near the ground, legs too short for the drop, an angle outside 60..180 degrees.
std::variant<WireShape, ModelRefusal> wireShape(const AntennaModel& model,
                                                const Segmentation& segmentation);
// The same for a wire that bends `bend` from the centre and ends `tip` from it (m).
std::variant<WireShape, ModelRefusal> wireShapeAlong(const AntennaModel& model, double bend,
                                                     double tip);
WirePoint pointAlong(const WireShape& shape, double along);

// The working segmentation: segments of about A/60 (shorter where the wire beyond the coils
// needs at least three, there and beside the coil only), no longer than lambda/50 at
// `highestMHz`, at least four wire radii, each within twice its neighbours' length. Coils
// closer to the feed than a fraction of a segment are placed on the feed segment.
std::variant<Segmentation, ModelRefusal> segmentAntenna(const AntennaModel& model,
                                                        double highestMHz);

// The same division for another length or fineness: `counts` times `factor` segments (the
// length of the wire beyond the coils may differ from the model the counts were made for).
std::variant<Segmentation, ModelRefusal>
segmentWith(const AntennaModel& model, SegmentCounts counts, int factor, double highestMHz);

// One execution of a deck: the frequency and the impedance of each coil there.
struct DeckFrequency {
    double frequencyMHz = 0.0;
    std::complex<double> coil; // ohm, each coil
};

struct DeckOptions {
    // Cards that ask for the far field (RP) of a one-frequency deck; they run it in place of XQ.
    std::string patternCards;
};

// The deck for `model` on `segmentation`: the geometry once, then for each frequency its coil
// loads (LD 4), the copper (LD 5), an insulated wire's sleeve (LD 2), the source and one FR + XQ.
// `comment` goes on the first CM card.
std::string writeDeck(const AntennaModel& model, const Segmentation& segmentation,
                      const std::vector<DeckFrequency>& frequencies, const std::string& comment,
                      const DeckOptions& options = {});

// A deck for other NEC-2 programs: one FR sweep, each coil as the parallel R, L, C (LD 1) that
// equals it at `centreMHz` (exact there and close around it), the copper and any sleeve as in
// writeDeck; only cards every NEC-2 program reads.
std::string writeExportDeck(const AntennaModel& model, const Segmentation& segmentation,
                            std::complex<double> coilAtCentre, double centreMHz, double startMHz,
                            double stepMHz, int count, const std::string& comment);

// The GN card of a ground; nothing in free space.
std::string groundCards(const Ground& ground);

// Prints like %.9g in the C locale: every number on a card.
std::string deckNumber(double value);

// A length as the refusals word it: the deck's number and " m".
std::string deckMetres(double value);

// NEC-2's thin-wire kernel is unreliable on segments shorter than this many wire radii, and a
// wire that comes closer to the ground than that is refused for the same reason.
inline constexpr double kShortestInRadii = 4.0;

} // namespace brevan::check
