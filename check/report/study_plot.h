#pragma once

// The coil-position study as a self-contained SVG picture: efficiency and the 2:1 band against
// the coils' distance from the feed, the design's own B and the best positions marked.

#include "check_report.h"

#include <cstddef>
#include <optional>
#include <string>

namespace brevan::check {

// The picture `--study-plot` writes and the window shows. The report must hold a study.
std::string studyPlotSvg(const CheckReport& report);

// The study's point whose marker is nearest `x` (in the picture's units, 0 to its width), if
// any lies within a finger's width of it.
std::optional<std::size_t> studyPointAt(const CoilPositionStudy& study, double x);

// The picture's width in its own units, for mapping a click into it.
double studyPlotWidth();

} // namespace brevan::check
