// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The amateur HF bands from 160 m to 10 m as the band picker offers them: each band's edges in
// the three IARU regions, and the entries of the picker, one per band and set of edges (a band
// whose edges differ between regions gets one entry per distinct set). Plain data, no Qt.

#include <string>
#include <vector>

namespace brevan::faces {

struct BandEdges {
    double lowMHz = 0.0;
    double highMHz = 0.0;
};

struct Band {
    std::string name;     // "40 m"
    BandEdges regions[3]; // IARU Region 1, 2 and 3
};

// The allocations of the Radio Regulations to the amateur service, 160 m to 10 m.
const std::vector<Band>& hfBands();

struct BandChoice {
    std::string label; // "40 m, Region 2: 7.000 to 7.300 MHz"
    BandEdges edges;
    double centreMHz = 0.0;
};

// The picker's entries in band order, lowest frequency first.
std::vector<BandChoice> bandChoices();

// The entry whose centre is `frequencyMHz` (within a hertz), or -1: the picker follows a
// frequency typed or opened from a file.
int bandChoiceAt(const std::vector<BandChoice>& choices, double frequencyMHz);

} // namespace brevan::faces
