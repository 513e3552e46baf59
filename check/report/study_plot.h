// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The coil-position study as a picture: efficiency and the 2:1 band against the coils'
// distance from the feed, the design's own B and the best positions marked. The picture is laid
// out once, as plain data in its own units; the SVG writer and the window both draw that.

#include "check_report.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brevan::check {

struct PicturePoint {
    double x = 0.0;
    double y = 0.0;
};

struct PictureTick {
    double at = 0.0; // x for the B axis, y for the others
    std::string label;
};

// The picture in units of a 800 x 500 page, y downwards.
struct StudyPicture {
    static constexpr double kWidth = 800.0;
    static constexpr double kHeight = 500.0;
    static constexpr double kLeft = 80.0;
    static constexpr double kRight = 700.0;
    static constexpr double kTop = 60.0;
    static constexpr double kBottom = 430.0;
    std::string title;
    std::string bandName; // the right axis: on 50 ohm, or with an ideal match
    std::vector<PictureTick> bTicks;
    std::vector<PictureTick> efficiencyTicks;
    std::vector<PictureTick> bandTicks;
    // One entry per point of the study; nothing where it has no value.
    std::vector<std::optional<PicturePoint>> efficiency;
    std::vector<std::optional<PicturePoint>> band;
    std::vector<double> xs; // each point's x
    double usersX = 0.0;
    std::optional<double> mostEfficientX;
    std::optional<double> widestBandX;
};

// The report must hold a study.
StudyPicture studyPicture(const CheckReport& report);

// The picture `--study-plot` writes.
std::string studyPlotSvg(const CheckReport& report);

// The point whose marker is nearest `x` (in the picture's units), if any lies within a finger's
// width of it.
std::optional<std::size_t> studyPointAt(const StudyPicture& picture, double x);

} // namespace brevan::check
