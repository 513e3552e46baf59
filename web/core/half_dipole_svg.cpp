// SPDX-License-Identifier: GPL-3.0-or-later
#include "half_dipole_svg.h"

#include "coil/coil_model.h"
#include "general_format.h"
#include "report/report_format.h"
#include "report/svg_parts.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace brevan::web {
namespace {

using check::number;
using check::svg::coord;
using check::svg::line;
using check::svg::text;

constexpr double kWidth = 640.0;
constexpr double kLeft = 44.0;
constexpr double kRight = 600.0;
constexpr double kWireY = 70.0;
constexpr double kRowStep = 22.0;

struct Span {
    double from = 0.0; // m from the feed
    double to = 0.0;
    std::string label;
    std::string kind; // the class the stylesheet colours it by
};

// The change of each tip drawn: the measured sweep's cut when it found one, else the model's.
std::optional<double> tipChange(const check::CheckReport& report) {
    if (report.measured &&
        report.measured->calibration.outcome == check::CalibrationOutcome::Calibrated) {
        return report.measured->calibration.tipChange;
    }
    return report.cut.tipChange;
}

} // namespace

std::string halfDipoleSvg(const check::CheckReport& report) {
    const check::CutList& cut = report.cut;
    const double inner = cut.coilsAtFeed ? 0.0 : cut.innerWire;
    const double coil = check::sheetLength(report.coil.coil);
    const double coilEnd = inner + coil;
    const double trim = tipChange(report).value_or(0.0);
    const double trimmedTip = coilEnd + std::max(cut.outerWire + trim, 0.0);
    const double wireEnd = trimmedTip + cut.tipSpare;
    const double reach = std::max({coilEnd + cut.outerWire, wireEnd, 1e-6});
    const auto xAt = [&](double m) { return kLeft + m / reach * (kRight - kLeft); };
    const check::Lengths L(report.inputs.units);
    const auto metres = [&L](double value) { return L.m(value, 3); };

    std::vector<Span> spans;
    if (!cut.coilsAtFeed) {
        spans.push_back({0.0, inner, "Inner wire " + metres(inner), "wire"});
    }
    // The turns wound, as the cut list gives them; a measured coil says so, as the design
    // table does.
    std::string coilLabel = "Coil " + check::turnsText(report.coil.coil.turns) + ", " +
                            check::withInches(L, coil, number(coil * 1000.0, 1) + " mm");
    if (report.measuredCoil && report.inputs.coilInductanceUh) {
        coilLabel += ", measured " + formatDouble(*report.inputs.coilInductanceUh, ".") + " uH";
    }
    spans.push_back({inner, coilEnd, coilLabel, "coil"});
    spans.push_back({coilEnd, coilEnd + cut.outerWire,
                     "Outer wire as designed " + metres(cut.outerWire), "wire"});
    if (const auto change = tipChange(report)) {
        const bool adds = *change >= 0;
        spans.push_back({std::min(coilEnd + cut.outerWire, trimmedTip),
                         std::max(coilEnd + cut.outerWire, trimmedTip),
                         std::string("Trim ") + (adds ? "+" : "") + metres(*change) +
                             (adds ? ": add at the tip" : ": cut from the tip"),
                         adds ? "added" : "cut"});
    }
    spans.push_back({trimmedTip, wireEnd, "Spare " + metres(cut.tipSpare), "spare"});
    spans.push_back(
        {coilEnd, wireEnd, "Outer wire to cut " + metres(cut.outerWireToCut), "measure"});

    const double height = kWireY + 30.0 + kRowStep * static_cast<double>(spans.size());
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"half-dipole\" viewBox=\"0 "
                      "0 " +
                      coord(kWidth) + " " + coord(height) +
                      "\" role=\"img\" aria-label=\"One half of the dipole with the lengths to "
                      "cut\">\n";
    svg += text(0, kWireY + 4, "feed", " class=\"end\"");
    svg += text(kRight + 6, kWireY + 4, "tip", " class=\"end\"");
    svg += line(xAt(0), kWireY, xAt(std::min(coilEnd + cut.outerWire, trimmedTip)), kWireY,
                "class=\"wire\"");
    svg += "<rect class=\"coil\" x=\"" + coord(xAt(inner)) + "\" y=\"" + coord(kWireY - 9) +
           "\" width=\"" + coord(std::max(xAt(coilEnd) - xAt(inner), 3.0)) + "\" height=\"18\"/>\n";
    std::string title = report.inputs.hang.shape == check::HangShape::InvertedV
                            ? "One leg of the inverted V, to scale along the wire "
                              "(cut two)"
                            : "One half of the dipole, to scale along the wire "
                              "(cut two)";
    if (!tipChange(report)) {
        title += report.antenna ? ": no trim reaches F, tips cut as designed"
                                : ": the trim follows from the full-wave check";
    }
    svg += text(0, 18, title, " class=\"title\"");
    double y = kWireY + 30.0;
    for (const Span& span : spans) {
        const double x1 = xAt(span.from);
        const double x2 = std::max(xAt(span.to), x1 + 1.0);
        svg += "<g class=\"piece " + span.kind + "\">\n";
        svg += line(x1, y - 12, x2, y - 12, "");
        svg += line(x1, y - 16, x1, y - 8, "class=\"tick\"");
        svg += line(x2, y - 16, x2, y - 8, "class=\"tick\"");
        // Labels start at their piece, or end at the right edge when the piece is far out.
        const bool fromRight = x1 > kLeft + (kRight - kLeft) * 0.55;
        svg +=
            text(fromRight ? x2 : x1, y + 2, span.label, fromRight ? " text-anchor=\"end\"" : "");
        svg += "</g>\n";
        y += kRowStep;
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace brevan::web
