// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/svg_plot.h"

#include "portable_maths.h"
#include "report/svg_parts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace brevan::check {

namespace {

using svg::coord;
using svg::decimalsFor;
using svg::line;
using svg::niceStep;
using svg::number;
using svg::text;

// The page and the frame the curves are drawn in, in SVG user units, and the type's size.
struct Layout {
    double width, height;
    double left, right, top, bottom; // the frame
    double fontSize;
    double titleSize;
    bool legendAbove; // in rows between the title and the frame, else beside the frame
    double legendX, legendY;
};

// 800 x 500 beside the report. About half as wide and flatter, with larger type, for a phone's
// screen and the printed sheet: 360 px wide it reads at 16 px, and printed 4.6 cm high at 8 pt.
constexpr Layout kWide{800, 500, 70, 610, 50, 440, 13, 17, false, 630, 60};
constexpr Layout kCompact{420, 280, 64, 408, 96, 222, 18, 18, true, 20, 52};

// Colours apart in hue and lightness, and dashes that tell the curves apart when printed grey.
constexpr std::array<const char*, 6> kColours = {"#1f5fbf", "#c8332b", "#2a8f3a",
                                                 "#8a4fb0", "#d98a00", "#444444"};
constexpr std::array<const char*, 6> kDashes = {"", "9 5", "2 4", "12 4 2 4", "6 3", "1 2"};

struct FrequencyAxis {
    double low = 0.0;
    double high = 0.0;
    double step = 0.0;
    int decimals = 0;
};

FrequencyAxis frequencyAxis(const std::vector<PlotCurve>& curves, double designMHz) {
    double low = designMHz;
    double high = designMHz;
    for (const PlotCurve& curve : curves) {
        for (const auto& [f, value] : curve.points) {
            if (std::isfinite(f)) {
                low = std::min(low, f);
                high = std::max(high, f);
            }
        }
    }
    if (high - low < 1e-6 * std::max(1.0, std::abs(high))) {
        const double pad = std::max(0.01 * std::abs(designMHz), 0.01);
        low -= pad;
        high += pad;
    }
    const double step = niceStep(high - low, 6);
    return {low, high, step, decimalsFor(step)};
}

// SWR runs on a logarithmic scale: it spreads out the low SWR a builder reads most.
double swrTop(const std::vector<PlotCurve>& curves) {
    for (const PlotCurve& curve : curves) {
        for (const auto& point : curve.points) {
            if (point.second <= 4.0) {
                return 5.0;
            }
        }
    }
    return curves.empty() ? 5.0 : 10.0;
}

struct Frame {
    FrequencyAxis x;
    double top = 5.0; // SWR at the top edge
    Layout l = kWide;
    double xAt(double f) const {
        return l.left + (f - x.low) / (x.high - x.low) * (l.right - l.left);
    }
    double yAt(double swr) const {
        const double clamped = std::clamp(swr, 1.0, top);
        return l.bottom - portable::log(clamped) / portable::log(top) * (l.bottom - l.top);
    }
};

std::string frequencyTicks(const Frame& frame) {
    std::string out;
    const FrequencyAxis& axis = frame.x;
    for (double f = std::ceil(axis.low / axis.step - 1e-9) * axis.step;
         f <= axis.high + 1e-9 * axis.step; f += axis.step) {
        const double x = frame.xAt(f);
        out += line(x, frame.l.top, x, frame.l.bottom, "stroke=\"#e4e4e4\"");
        out += line(x, frame.l.bottom, x, frame.l.bottom + 5.0, "stroke=\"black\"");
        out += text(x, frame.l.bottom + 20.0, number(f, axis.decimals),
                    " class=\"xtick\" text-anchor=\"middle\"");
    }
    return out;
}

std::string swrTicks(const Frame& frame) {
    std::string out;
    const std::vector<double> ticks = frame.top > 5.0 ? std::vector<double>{1, 1.5, 2, 3, 5, 10}
                                                      : std::vector<double>{1, 1.5, 2, 3, 5};
    for (const double value : ticks) {
        const double y = frame.yAt(value);
        out += line(frame.l.left, y, frame.l.right, y, "stroke=\"#e4e4e4\"");
        out += line(frame.l.left - 5.0, y, frame.l.left, y, "stroke=\"black\"");
        out += text(frame.l.left - 9.0, y + 4.0, number(value, value == std::floor(value) ? 0 : 1),
                    " class=\"ytick\" text-anchor=\"end\"");
    }
    return out;
}

// The curve's points in the frame. A stretch above the top runs along the top edge, entering
// and leaving it where the curve itself crosses the top.
std::vector<std::pair<double, double>> framed(const Frame& frame, const PlotCurve& curve) {
    std::vector<std::pair<double, double>> out;
    const double logTop = portable::log(frame.top);
    const auto height = [&](double swr) {
        return std::isfinite(swr) ? portable::log(std::max(swr, 1.0)) : 10.0 * logTop;
    };
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        const auto& [f, swr] = curve.points[i];
        if (!std::isfinite(f)) {
            continue;
        }
        if (i > 0 && std::isfinite(curve.points[i - 1].first)) {
            const auto& [f0, swr0] = curve.points[i - 1];
            const double h0 = height(swr0);
            const double h1 = height(swr);
            if ((h0 > logTop) != (h1 > logTop)) {
                const double at = f0 + (f - f0) * (logTop - h0) / (h1 - h0);
                out.emplace_back(frame.xAt(at), frame.l.top);
            }
        }
        out.emplace_back(frame.xAt(f), frame.yAt(std::isfinite(swr) ? swr : frame.top));
    }
    return out;
}

std::string curveLines(const Frame& frame, const std::vector<PlotCurve>& curves) {
    std::string out;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        std::string points;
        for (const auto& [x, y] : framed(frame, curves[i])) {
            points += (points.empty() ? "" : " ") + coord(x) + "," + coord(y);
        }
        const std::string dash = kDashes[i % kDashes.size()];
        out += "<polyline fill=\"none\" stroke=\"" + std::string(kColours[i % kColours.size()]) +
               "\" stroke-width=\"2\"" +
               (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"") + " points=\"" + points +
               "\"/>\n";
    }
    return out;
}

// Beside the frame one entry a row; above it, two entries a row.
std::string legend(const Layout& l, const std::vector<PlotCurve>& curves) {
    std::string out;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const auto n = static_cast<double>(i);
        const double x = l.legendAbove
                             ? l.legendX + (l.right - l.legendX) / 2 * static_cast<double>(i % 2)
                             : l.legendX;
        const double y =
            l.legendAbove ? l.legendY + 22.0 * static_cast<double>(i / 2) : l.legendY + 24.0 * n;
        const std::string dash = kDashes[i % kDashes.size()];
        out += line(x, y, x + 34.0, y,
                    "stroke=\"" + std::string(kColours[i % kColours.size()]) +
                        "\" stroke-width=\"2\"" +
                        (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\""));
        out += text(x + 42.0, y + 4.0, curves[i].label, " class=\"legend\"");
    }
    return out;
}

std::string markers(const Frame& frame, double designMHz) {
    std::string out;
    const double y2 = frame.yAt(2.0);
    out += line(frame.l.left, y2, frame.l.right, y2,
                "stroke=\"black\" stroke-width=\"1.2\" stroke-dasharray=\"6 4\"");
    out += text(frame.l.right - 4.0, y2 - 5.0, "2:1", " text-anchor=\"end\"");
    const double x = frame.xAt(designMHz);
    out += line(x, frame.l.top, x, frame.l.bottom, "stroke=\"#555555\" stroke-width=\"1.2\"");
    out += text(x + 4.0, frame.l.top + 14.0,
                number(designMHz, std::max(3, frame.x.decimals + 1)) + " MHz", " class=\"design\"");
    return out;
}

std::string plotSvg(const Layout& l, const std::vector<PlotCurve>& curves, double designMHz,
                    const std::string& title) {
    const Frame frame{frequencyAxis(curves, designMHz), swrTop(curves), l};
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      coord(l.width) + "\" height=\"" + coord(l.height) + "\" viewBox=\"0 0 " +
                      coord(l.width) + " " + coord(l.height) +
                      "\" font-family=\"sans-serif\" font-size=\"" + number(l.fontSize, 0) +
                      "\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += text(l.width / 2.0, 28.0, title,
                " text-anchor=\"middle\" font-size=\"" + number(l.titleSize, 0) + "\"");
    svg += frequencyTicks(frame) + swrTicks(frame);
    svg += "<rect class=\"frame\" x=\"" + coord(l.left) + "\" y=\"" + coord(l.top) + "\" width=\"" +
           coord(l.right - l.left) + "\" height=\"" + coord(l.bottom - l.top) +
           "\" fill=\"none\" stroke=\"black\"/>\n";
    svg += markers(frame, designMHz) + curveLines(frame, curves) + legend(l, curves);
    svg += text((l.left + l.right) / 2.0, l.bottom + 44.0, "Frequency (MHz)",
                " text-anchor=\"middle\"");
    const double side = l.left - 48.0;
    svg += text(side, (l.top + l.bottom) / 2.0, "SWR",
                " text-anchor=\"middle\" transform=\"rotate(-90 " + number(side, 0) + " " +
                    coord((l.top + l.bottom) / 2.0) + ")\"");
    svg += "</svg>\n";
    return svg;
}

} // namespace

std::string swrPlotSvg(const std::vector<PlotCurve>& curves, double designMHz,
                       const std::string& title) {
    return plotSvg(kWide, curves, designMHz, title);
}

std::string compactSwrPlotSvg(const std::vector<PlotCurve>& curves, double designMHz,
                              const std::string& title) {
    return plotSvg(kCompact, curves, designMHz, title);
}

} // namespace brevan::check
