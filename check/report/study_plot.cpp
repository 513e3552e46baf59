// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/study_plot.h"

#include "report/svg_parts.h"

#include <algorithm>
#include <cmath>

namespace brevan::check {

namespace {

using P = StudyPicture;

constexpr double kNearest = 15.0; // a click within this of a marker takes it
constexpr const char* kEfficiencyColour = "#1f5fbf";
constexpr const char* kBandColour = "#c8332b";

struct Axis {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
    int decimals = 0;
    double at(double v, double from, double to) const {
        return from + (v - low) / (high - low) * (to - from);
    }
    std::vector<PictureTick> ticks(double from, double to) const {
        std::vector<PictureTick> out;
        for (double v = low; v <= high + 1e-9 * step; v += step) {
            out.push_back({at(v, from, to), svg::number(v, decimals)});
        }
        return out;
    }
};

Axis axis(double low, double high) {
    if (high - low < 1e-9) {
        low -= 1.0;
        high += 1.0;
    }
    const double step = svg::niceStep(high - low, 5);
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step,
            svg::decimalsFor(step)};
}

// The band that names the widest position: on 50 ohm, or with an ideal match when no
// position has one on 50 ohm.
std::optional<double> shownBand(const CoilPositionStudy& study, const StudyPoint& p) {
    return p.outcome == StudyOutcome::Found
               ? bandWidth(study.widestOnFifty ? p.band : p.matchedBand)
               : std::nullopt;
}

std::string svgLine(double x1, double y1, double x2, double y2, const std::string& style) {
    return svg::line(x1, y1, x2, y2, style);
}

// A curve with a marker at each point that has a value; gaps where a point has none.
std::string series(const std::vector<std::optional<PicturePoint>>& points, const char* colour,
                   const std::string& dash) {
    std::string out;
    std::string line;
    const auto flush = [&] {
        if (!line.empty()) {
            out += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
                   "\" stroke-width=\"2\"" +
                   (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"") + " points=\"" +
                   line + "\"/>\n";
        }
        line.clear();
    };
    for (const auto& p : points) {
        if (!p) {
            flush();
            continue;
        }
        line += (line.empty() ? "" : " ") + svg::coord(p->x) + "," + svg::coord(p->y);
        out += "<circle cx=\"" + svg::coord(p->x) + "\" cy=\"" + svg::coord(p->y) +
               "\" r=\"3.5\" fill=\"" + colour + "\"/>\n";
    }
    flush();
    return out;
}

std::string marker(double x, const std::string& label, double row, const std::string& style) {
    return svgLine(x, P::kTop, x, P::kBottom, style) +
           svg::text(x + 4.0, P::kTop + 14.0 + 16.0 * row, label, " class=\"marker\"");
}

} // namespace

StudyPicture studyPicture(const CheckReport& report) {
    const CoilPositionStudy& study = *report.study;
    double reach = 0.0;
    double lowest = 100.0;
    double highest = 0.0;
    double widest = 0.0;
    for (const StudyPoint& p : study.points) {
        reach = std::max(reach, p.coilDistance);
        if (p.outcome == StudyOutcome::Found) {
            lowest = std::min(lowest, p.efficiency * 100);
            highest = std::max(highest, p.efficiency * 100);
            widest = std::max(widest, shownBand(study, p).value_or(0.0) * 1000);
        }
    }
    const Axis b = axis(0.0, std::max(reach, 0.01));
    const Axis efficiency = axis(std::min(lowest, highest), std::max(highest, lowest));
    const Axis band = axis(0.0, std::max(widest, 1.0));
    const auto x = [&b](double metres) { return b.at(metres, P::kLeft, P::kRight); };

    StudyPicture picture;
    picture.title = "Where the coils should go: each position with the coil that puts it on " +
                    svg::number(report.inputs.frequencyMHz, 3) + " MHz";
    picture.bandName =
        study.widestOnFifty ? "2:1 band on 50 ohm (kHz)" : "2:1 band with an ideal match (kHz)";
    picture.bTicks = b.ticks(P::kLeft, P::kRight);
    picture.efficiencyTicks = efficiency.ticks(P::kBottom, P::kTop);
    picture.bandTicks = band.ticks(P::kBottom, P::kTop);
    for (const StudyPoint& p : study.points) {
        const double px = x(p.coilDistance);
        picture.xs.push_back(px);
        const bool found = p.outcome == StudyOutcome::Found;
        picture.efficiency.push_back(
            found ? std::optional<PicturePoint>(
                        {px, efficiency.at(p.efficiency * 100, P::kBottom, P::kTop)})
                  : std::nullopt);
        const auto wide = shownBand(study, p);
        picture.band.push_back(
            wide ? std::optional<PicturePoint>({px, band.at(*wide * 1000, P::kBottom, P::kTop)})
                 : std::nullopt);
    }
    picture.usersX = picture.xs[study.users];
    if (study.mostEfficient) {
        picture.mostEfficientX = picture.xs[*study.mostEfficient];
    }
    if (study.widestBand) {
        picture.widestBandX = picture.xs[*study.widestBand];
    }
    return picture;
}

std::optional<std::size_t> studyPointAt(const StudyPicture& picture, double x) {
    std::optional<std::size_t> nearest;
    double distance = kNearest;
    for (std::size_t i = 0; i < picture.xs.size(); ++i) {
        const double d = std::abs(picture.xs[i] - x);
        if (d <= distance) {
            distance = d;
            nearest = i;
        }
    }
    return nearest;
}

std::string studyPlotSvg(const CheckReport& report) {
    using svg::coord;
    const StudyPicture picture = studyPicture(report);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      coord(P::kWidth) + "\" height=\"" + coord(P::kHeight) + "\" viewBox=\"0 0 " +
                      coord(P::kWidth) + " " + coord(P::kHeight) +
                      "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    out +=
        svg::text(P::kWidth / 2.0, 28.0, picture.title, " text-anchor=\"middle\" font-size=\"16\"");
    for (const PictureTick& t : picture.bTicks) {
        out += svgLine(t.at, P::kTop, t.at, P::kBottom, "stroke=\"#e4e4e4\"");
        out +=
            svg::text(t.at, P::kBottom + 20.0, t.label, " class=\"xtick\" text-anchor=\"middle\"");
    }
    for (const PictureTick& t : picture.efficiencyTicks) {
        out += svgLine(P::kLeft, t.at, P::kRight, t.at, "stroke=\"#e4e4e4\"");
        out += svg::text(P::kLeft - 8.0, t.at + 4.0, t.label,
                         " class=\"ytick\" text-anchor=\"end\" fill=\"" +
                             std::string(kEfficiencyColour) + "\"");
    }
    for (const PictureTick& t : picture.bandTicks) {
        out += svg::text(P::kRight + 8.0, t.at + 4.0, t.label,
                         " class=\"ytick\" fill=\"" + std::string(kBandColour) + "\"");
    }
    out += "<rect class=\"frame\" x=\"" + coord(P::kLeft) + "\" y=\"" + coord(P::kTop) +
           "\" width=\"" + coord(P::kRight - P::kLeft) + "\" height=\"" +
           coord(P::kBottom - P::kTop) + "\" fill=\"none\" stroke=\"black\"/>\n";
    out += marker(picture.usersX, "your B", 0, "stroke=\"#555555\" stroke-width=\"1.2\"");
    if (picture.mostEfficientX) {
        out += marker(*picture.mostEfficientX, "most efficient", 1,
                      "stroke=\"" + std::string(kEfficiencyColour) + "\" stroke-dasharray=\"2 3\"");
    }
    if (picture.widestBandX) {
        out += marker(*picture.widestBandX, "widest band", 2,
                      "stroke=\"" + std::string(kBandColour) + "\" stroke-dasharray=\"2 3\"");
    }
    out += series(picture.efficiency, kEfficiencyColour, "");
    out += series(picture.band, kBandColour, "9 5");
    out += svg::text((P::kLeft + P::kRight) / 2.0, P::kBottom + 44.0, "B, centre to each coil (m)",
                     " text-anchor=\"middle\"");
    const double middle = (P::kTop + P::kBottom) / 2.0;
    out += svg::text(24.0, middle, "Efficiency (%)",
                     " text-anchor=\"middle\" fill=\"" + std::string(kEfficiencyColour) +
                         "\" transform=\"rotate(-90 24 " + coord(middle) + ")\"");
    out += svg::text(P::kWidth - 30.0, middle, picture.bandName,
                     " text-anchor=\"middle\" fill=\"" + std::string(kBandColour) +
                         "\" transform=\"rotate(90 " + coord(P::kWidth - 30.0) + " " +
                         coord(middle) + ")\"");
    out += "</svg>\n";
    return out;
}

} // namespace brevan::check
