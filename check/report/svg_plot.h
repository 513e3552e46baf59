// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SWR against frequency as a self-contained SVG picture: one curve per antenna, the design
// frequency and the 2:1 line marked, axes in MHz and SWR with readable ticks, a legend.

#include <string>
#include <utility>
#include <vector>

namespace brevan::check {

struct PlotCurve {
    std::string label;                             // legend text
    std::vector<std::pair<double, double>> points; // (MHz, SWR), ascending frequency
};

std::string swrPlotSvg(const std::vector<PlotCurve>& curves, double designMHz,
                       const std::string& title);

// The same picture half as wide and flatter, with larger type and the legend above the frame:
// for a phone's screen and a printed sheet, where it is drawn some 360 px or 6 cm wide.
std::string compactSwrPlotSvg(const std::vector<PlotCurve>& curves, double designMHz,
                              const std::string& title);

} // namespace brevan::check
