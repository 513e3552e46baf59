// SPDX-License-Identifier: GPL-3.0-or-later
#include "band_plan.h"

#include <cmath>
#include <cstdio>

namespace brevan::faces {
namespace {

std::string mhz(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text(buffer);
    // Whole kilohertz read best; 60 m's edges need the half kilohertz.
    if (text.back() == '0') {
        text.pop_back();
    }
    return text;
}

std::string regionsText(const std::vector<int>& regions) {
    std::string text = regions.size() == 1 ? "Region " : "Regions ";
    for (std::size_t i = 0; i < regions.size(); ++i) {
        text += (i == 0                    ? ""
                 : i + 1 == regions.size() ? " and "
                                           : ", ") +
                std::to_string(regions[i]);
    }
    return text;
}

bool sameEdges(const BandEdges& a, const BandEdges& b) {
    return a.lowMHz == b.lowMHz && a.highMHz == b.highMHz;
}

} // namespace

const std::vector<Band>& hfBands() {
    static const std::vector<Band> bands{
        {"160 m", {{1.810, 2.000}, {1.800, 2.000}, {1.800, 2.000}}},
        {"80 m", {{3.500, 3.800}, {3.500, 4.000}, {3.500, 3.900}}},
        {"60 m", {{5.3515, 5.3665}, {5.3515, 5.3665}, {5.3515, 5.3665}}},
        {"40 m", {{7.000, 7.200}, {7.000, 7.300}, {7.000, 7.200}}},
        {"30 m", {{10.100, 10.150}, {10.100, 10.150}, {10.100, 10.150}}},
        {"20 m", {{14.000, 14.350}, {14.000, 14.350}, {14.000, 14.350}}},
        {"17 m", {{18.068, 18.168}, {18.068, 18.168}, {18.068, 18.168}}},
        {"15 m", {{21.000, 21.450}, {21.000, 21.450}, {21.000, 21.450}}},
        {"12 m", {{24.890, 24.990}, {24.890, 24.990}, {24.890, 24.990}}},
        {"10 m", {{28.000, 29.700}, {28.000, 29.700}, {28.000, 29.700}}},
    };
    return bands;
}

std::vector<BandChoice> bandChoices() {
    std::vector<BandChoice> choices;
    for (const Band& band : hfBands()) {
        std::vector<bool> taken(3, false);
        for (int first = 0; first < 3; ++first) {
            if (taken[first]) {
                continue;
            }
            std::vector<int> regions;
            for (int other = first; other < 3; ++other) {
                if (!taken[other] && sameEdges(band.regions[first], band.regions[other])) {
                    taken[other] = true;
                    regions.push_back(other + 1);
                }
            }
            const BandEdges edges = band.regions[first];
            const std::string where = regions.size() == 3 ? "" : ", " + regionsText(regions);
            // The centre to the kilohertz's tenth: what a person would type for it.
            const double centre = std::round((edges.lowMHz + edges.highMHz) / 2 * 1e4) / 1e4;
            choices.push_back({band.name + where + ": " + mhz(edges.lowMHz) + " to " +
                                   mhz(edges.highMHz) + " MHz",
                               edges, centre});
        }
    }
    return choices;
}

int bandChoiceAt(const std::vector<BandChoice>& choices, double frequencyMHz) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (std::abs(choices[i].centreMHz - frequencyMHz) < 1e-6) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace brevan::faces
