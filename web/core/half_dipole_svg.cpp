// SPDX-License-Identifier: GPL-3.0-or-later
#include "half_dipole_svg.h"

#include "coil/coil_model.h"
#include "report/report_format.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace brevan::web {
namespace {

using check::number;

constexpr double kWidth = 640.0;
constexpr double kLeft = 44.0;
constexpr double kRight = 600.0;
constexpr double kWireY = 70.0;
constexpr double kRowStep = 22.0;

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string coord(double value) {
    return number(value, 1);
}

std::string metres(double value) {
    return number(value, 3) + " m";
}

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

    std::vector<Span> spans;
    if (!cut.coilsAtFeed) {
        spans.push_back({0.0, inner, "Inner wire " + metres(inner), "wire"});
    }
    spans.push_back(
        {inner, coilEnd,
         "Coil " + check::turnsText(report.design.turns) + ", " + number(coil * 1000.0, 1) + " mm",
         "coil"});
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
    svg += "<text class=\"end\" x=\"0\" y=\"" + coord(kWireY + 4) + "\">feed</text>\n";
    svg += "<text class=\"end\" x=\"" + coord(kRight + 6) + "\" y=\"" + coord(kWireY + 4) +
           "\">tip</text>\n";
    svg += "<line class=\"wire\" x1=\"" + coord(xAt(0)) + "\" y1=\"" + coord(kWireY) + "\" x2=\"" +
           coord(xAt(std::min(coilEnd + cut.outerWire, trimmedTip))) + "\" y2=\"" + coord(kWireY) +
           "\"/>\n";
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
    svg += "<text class=\"title\" x=\"0\" y=\"18\">" + escaped(title) + "</text>\n";
    double y = kWireY + 30.0;
    for (const Span& span : spans) {
        const double x1 = xAt(span.from);
        const double x2 = std::max(xAt(span.to), x1 + 1.0);
        svg += "<g class=\"piece " + span.kind + "\">";
        svg += "<line x1=\"" + coord(x1) + "\" y1=\"" + coord(y - 12) + "\" x2=\"" + coord(x2) +
               "\" y2=\"" + coord(y - 12) + "\"/>";
        svg += "<line class=\"tick\" x1=\"" + coord(x1) + "\" y1=\"" + coord(y - 16) + "\" x2=\"" +
               coord(x1) + "\" y2=\"" + coord(y - 8) + "\"/>";
        svg += "<line class=\"tick\" x1=\"" + coord(x2) + "\" y1=\"" + coord(y - 16) + "\" x2=\"" +
               coord(x2) + "\" y2=\"" + coord(y - 8) + "\"/>";
        // Labels start at their piece, or end at the right edge when the piece is far out.
        const bool fromRight = x1 > kLeft + (kRight - kLeft) * 0.55;
        svg += "<text x=\"" + coord(fromRight ? x2 : x1) + "\" y=\"" + coord(y + 2) + "\"" +
               (fromRight ? " text-anchor=\"end\"" : "") + ">" + escaped(span.label) +
               "</text></g>\n";
        y += kRowStep;
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace brevan::web
