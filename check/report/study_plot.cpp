#include "report/study_plot.h"

#include "report/svg_parts.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brevan::check {

namespace {

using svg::coord;
using svg::line;
using svg::number;
using svg::text;

constexpr double kWidth = 800.0;
constexpr double kHeight = 500.0;
constexpr double kLeft = 80.0;
constexpr double kRight = 700.0;
constexpr double kTop = 60.0;
constexpr double kBottom = 430.0;
constexpr double kNearest = 15.0; // a click within this of a marker takes it
constexpr const char* kEfficiencyColour = "#1f5fbf";
constexpr const char* kBandColour = "#c8332b";

struct Axis {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;
    int decimals = 0;
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
    return bandWidth(study.widestOnFifty ? p.band : p.matchedBand);
}

struct Frame {
    Axis x;
    Axis efficiency; // %
    Axis band;       // kHz
    double xAt(double b) const { return kLeft + (b - x.low) / (x.high - x.low) * (kRight - kLeft); }
    static double yAt(const Axis& a, double v) {
        return kBottom - (v - a.low) / (a.high - a.low) * (kBottom - kTop);
    }
};

Frame frameFor(const CoilPositionStudy& study) {
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
    Frame frame;
    frame.x = axis(0.0, std::max(reach, 0.01));
    frame.efficiency = axis(std::min(lowest, highest), std::min(100.0, std::max(highest, lowest)));
    frame.band = axis(0.0, std::max(widest, 1.0));
    return frame;
}

std::string ticks(const Frame& frame) {
    std::string out;
    for (double b = frame.x.low; b <= frame.x.high + 1e-9 * frame.x.step; b += frame.x.step) {
        const double x = frame.xAt(b);
        out += line(x, kTop, x, kBottom, "stroke=\"#e4e4e4\"");
        out += text(x, kBottom + 20.0, number(b, frame.x.decimals),
                    " class=\"xtick\" text-anchor=\"middle\"");
    }
    const Axis& e = frame.efficiency;
    for (double v = e.low; v <= e.high + 1e-9 * e.step; v += e.step) {
        const double y = Frame::yAt(e, v);
        out += line(kLeft, y, kRight, y, "stroke=\"#e4e4e4\"");
        out += text(kLeft - 8.0, y + 4.0, number(v, e.decimals),
                    " class=\"ytick\" text-anchor=\"end\" fill=\"" +
                        std::string(kEfficiencyColour) + "\"");
    }
    const Axis& k = frame.band;
    for (double v = k.low; v <= k.high + 1e-9 * k.step; v += k.step) {
        out += text(kRight + 8.0, Frame::yAt(k, v) + 4.0, number(v, k.decimals),
                    " class=\"ytick\" fill=\"" + std::string(kBandColour) + "\"");
    }
    return out;
}

// A curve with a marker at each position that has a value; gaps where a position has none.
std::string series(const Frame& frame,
                   const std::vector<std::pair<double, std::optional<double>>>& values,
                   const Axis& a, const char* colour, const std::string& dash) {
    std::string out;
    std::string points;
    const auto flush = [&] {
        if (!points.empty()) {
            out += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
                   "\" stroke-width=\"2\"" +
                   (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"") + " points=\"" +
                   points + "\"/>\n";
        }
        points.clear();
    };
    for (const auto& [b, v] : values) {
        if (!v) {
            flush();
            continue;
        }
        const double x = frame.xAt(b);
        const double y = Frame::yAt(a, *v);
        points += (points.empty() ? "" : " ") + coord(x) + "," + coord(y);
        out += "<circle cx=\"" + coord(x) + "\" cy=\"" + coord(y) + "\" r=\"3.5\" fill=\"" +
               colour + "\"/>\n";
    }
    flush();
    return out;
}

std::string marker(const Frame& frame, double b, const std::string& label, double row,
                   const std::string& style) {
    const double x = frame.xAt(b);
    return line(x, kTop, x, kBottom, style) +
           text(x + 4.0, kTop + 14.0 + 16.0 * row, label, " class=\"marker\"");
}

} // namespace

double studyPlotWidth() {
    return kWidth;
}

std::optional<std::size_t> studyPointAt(const CoilPositionStudy& study, double x) {
    if (study.points.empty()) {
        return std::nullopt;
    }
    const Frame frame = frameFor(study);
    std::optional<std::size_t> nearest;
    double distance = kNearest;
    for (std::size_t i = 0; i < study.points.size(); ++i) {
        const double d = std::abs(frame.xAt(study.points[i].coilDistance) - x);
        if (d <= distance) {
            distance = d;
            nearest = i;
        }
    }
    return nearest;
}

std::string studyPlotSvg(const CheckReport& report) {
    const CoilPositionStudy& study = *report.study;
    const Frame frame = frameFor(study);
    std::vector<std::pair<double, std::optional<double>>> efficiency;
    std::vector<std::pair<double, std::optional<double>>> band;
    for (const StudyPoint& p : study.points) {
        const bool found = p.outcome == StudyOutcome::Found;
        efficiency.emplace_back(p.coilDistance,
                                found ? std::optional<double>(p.efficiency * 100) : std::nullopt);
        const auto wide = found ? shownBand(study, p) : std::nullopt;
        band.emplace_back(p.coilDistance,
                          wide ? std::optional<double>(*wide * 1000) : std::nullopt);
    }
    const std::string bandName =
        study.widestOnFifty ? "2:1 band on 50 ohm (kHz)" : "2:1 band with an ideal match (kHz)";
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      coord(kWidth) + "\" height=\"" + coord(kHeight) + "\" viewBox=\"0 0 " +
                      coord(kWidth) + " " + coord(kHeight) +
                      "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += text(kWidth / 2.0, 28.0,
                "Where the coils should go: each position with the coil that puts it on " +
                    number(report.inputs.frequencyMHz, 3) + " MHz",
                " text-anchor=\"middle\" font-size=\"16\"");
    svg += ticks(frame);
    svg += "<rect class=\"frame\" x=\"" + coord(kLeft) + "\" y=\"" + coord(kTop) + "\" width=\"" +
           coord(kRight - kLeft) + "\" height=\"" + coord(kBottom - kTop) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += marker(frame, study.points[study.users].coilDistance, "your B", 0,
                  "stroke=\"#555555\" stroke-width=\"1.2\"");
    if (study.mostEfficient) {
        svg += marker(frame, study.points[*study.mostEfficient].coilDistance, "most efficient", 1,
                      "stroke=\"" + std::string(kEfficiencyColour) + "\" stroke-dasharray=\"2 3\"");
    }
    if (study.widestBand) {
        svg += marker(frame, study.points[*study.widestBand].coilDistance, "widest band", 2,
                      "stroke=\"" + std::string(kBandColour) + "\" stroke-dasharray=\"2 3\"");
    }
    svg += series(frame, efficiency, frame.efficiency, kEfficiencyColour, "");
    svg += series(frame, band, frame.band, kBandColour, "9 5");
    svg += text((kLeft + kRight) / 2.0, kBottom + 44.0, "B, centre to each coil (m)",
                " text-anchor=\"middle\"");
    const double middle = (kTop + kBottom) / 2.0;
    svg += text(24.0, middle, "Efficiency (%)",
                " text-anchor=\"middle\" fill=\"" + std::string(kEfficiencyColour) +
                    "\" transform=\"rotate(-90 24 " + coord(middle) + ")\"");
    svg +=
        text(kWidth - 30.0, middle, bandName,
             " text-anchor=\"middle\" fill=\"" + std::string(kBandColour) +
                 "\" transform=\"rotate(90 " + coord(kWidth - 30.0) + " " + coord(middle) + ")\"");
    svg += "</svg>\n";
    return svg;
}

} // namespace brevan::check
