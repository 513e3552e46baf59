// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the coils should go: the antenna of the design's length with its coils moved from the
// feed towards the tips, each position analysed with the coil that makes it resonate at F.
//
//   AntennaCheckInput + a first guess of the coil at each B
//     --per position: analysis, coil search, the resonating antenna analysed--> StudyPoint
//     --where neighbours differ much, positions between them--> CoilPositionStudy
//
// Each position is worked exactly as the check works the needed coil, so at the design's own B
// the study gives the check's answer.

#include "fullwave/antenna_check.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace brevan::check {

inline constexpr double kStudyReach = 0.8; // of the half length: the furthest position studied

enum class StudyOutcome {
    Found,         // a coil puts the resonance on F
    NoResonance,   // the first guess left no resonance within the window to move
    NoCoilReaches, // no coil makes this length resonate at F with the coils here
    NotConverged,  // the search ran out of tries
};

struct StudyPoint {
    double coilDistance = 0.0; // m, B
    StudyOutcome outcome = StudyOutcome::NotConverged;
    double inductance = 0.0;     // H, each coil as it must look at F
    int turns = 0;               // whole turns of the chosen wire coming closest; 0: none
    double coilResistance = 0.0; // ohm, each coil's loss at F
    double coilQ = 0.0;
    // The antenna with that coil (the whole turns' Q, the inductance exactly as needed):
    std::optional<double> resonanceMHz;
    double resonanceResistance = 0.0; // ohm
    double efficiency = 0.0;          // 0..1 at F: wire and coils
    SwrBand band;                     // 2:1 on 50 ohm
    SwrBand matchedBand;              // 2:1 with an ideal match to the resistance at resonance
};

// The width of a band with both edges, MHz.
std::optional<double> bandWidth(const SwrBand& band);

struct CoilPositionStudy {
    std::vector<StudyPoint> points; // ascending B
    std::size_t users = 0;          // the point at the design's own B
    std::optional<std::size_t> mostEfficient;
    std::optional<std::size_t> widestBand;
    // The widest band is the 2:1 band on 50 ohm; when no position has one, the band with an
    // ideal match.
    bool widestOnFifty = true;
};

// A first guess of each coil's inductance (H) at B (m); it only has to put a resonance within
// the search window.
using InductanceGuess = std::function<double(double coilDistance)>;

// The positions a study starts from: the feed, evenly out to kStudyReach of the half length,
// and `users`.
std::vector<double> studyPositions(double length, double users);

// Where neighbouring points differ enough that a position between them says something new.
std::vector<double> positionsBetween(const std::vector<StudyPoint>& points, double length);

// The positions with the highest efficiency and the widest band (see CoilPositionStudy).
void nameBest(CoilPositionStudy& study);

std::variant<CoilPositionStudy, AntennaCheckFailure>
studyCoilPosition(const AntennaCheckInput& input, const InductanceGuess& guess,
                  const Engine& engine, const Progress& progress);

} // namespace brevan::check
