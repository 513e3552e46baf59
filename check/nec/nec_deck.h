#pragma once

// The antenna as a NEC-2 model: one straight horizontal wire along y, fed at its centre, with
// the two loading coils as lumped series R + L loads on the segments centred on +-B. The deck is
// written from the NEC-2 card definitions (CM, CE, GW, GE, GN, LD, EX, PT, FR, XQ, EN).

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

struct CoilLoad {
    double inductance = 0.0; // H, each coil
    double resistance = 0.0; // ohm, each coil
};

struct AntennaModel {
    double length = 0.0;       // m, tip to tip
    double coilDistance = 0.0; // m, centre to each coil's middle (B)
    double wireDiameter = 0.0; // m
    CoilLoad coil;
    Ground ground;
};

// A frequency sweep: `count` points from `start` in steps of `step`, MHz.
struct Sweep {
    double start = 0.0;
    double step = 0.0;
    int count = 1;
};

// One GW card: a straight piece of the wire with its own segment count.
struct WirePiece {
    int tag = 0;
    int segments = 0;
    double y1 = 0.0; // m
    double y2 = 0.0; // m
};

// Where the pieces, the feed and the loads lie, with the NEC rules already checked.
struct Segmentation {
    std::vector<WirePiece> pieces;
    int feedTag = 0;
    int feedSegment = 0;
    int coilTags[2] = {0, 0};
    int coilSegments[2] = {0, 0};
    double coilCentres[2] = {0.0, 0.0}; // m, y of the loaded segments' centres
    double shortestSegment = 0.0;       // m
    double longestSegment = 0.0;        // m
    int totalSegments = 0;
};

// Why a design cannot be modelled within the NEC rules; the text says what is wrong in words.
struct ModelRefusal {
    std::string reason;
};

// Segments no longer than lambda/50 at `highestMHz`, at least four wire radii long,
// neighbouring segments within a factor of two, the loads centred within 1 % of B.
std::variant<Segmentation, ModelRefusal> segmentAntenna(const AntennaModel& model,
                                                        double highestMHz);

// The whole deck for `model` on `segmentation`, one FR + XQ pair per sweep. `comment` goes on
// the CM card.
std::string writeDeck(const AntennaModel& model, const Segmentation& segmentation,
                      const std::vector<Sweep>& sweeps, const std::string& comment);

} // namespace brevan::check
