// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_plot.h"

#include "report/report_format.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brevan::check {

namespace {

std::string plotTitle(const CheckReport& report) {
    return "SWR of the loaded dipole, " + number(report.inputs.lengthM, 2) + " m, coils at " +
           number(report.inputs.distanceM, 2) + " m";
}

// The measured SWR at the feed point, over the models' range widened to take in the measured
// dip, so a wide sweep does not squeeze the models' curves into a corner.
PlotCurve measuredCurve(const MeasuredReport& measured, const std::vector<PlotCurve>& models,
                        double designMHz) {
    double low = designMHz;
    double high = designMHz;
    for (const PlotCurve& c : models) {
        if (!c.points.empty()) {
            low = std::min(low, c.points.front().first);
            high = std::max(high, c.points.back().first);
        }
    }
    const double dip = measured.sweep.analysis.swrMinimumMHz;
    const double margin = 0.01 * designMHz;
    low = std::min(low, dip - margin);
    high = std::max(high, dip + margin);
    PlotCurve curve{measured.sweep.feedLine ? "As measured, at the feed point" : "As measured", {}};
    for (const SwrPoint& p : measured.sweep.swrAtFeed) {
        if (p.frequencyMHz >= low && p.frequencyMHz <= high && std::isfinite(p.swr)) {
            curve.points.emplace_back(p.frequencyMHz, p.swr);
        }
    }
    return curve;
}

} // namespace

std::vector<PlotCurve> reportPlotCurves(const CheckReport& report) {
    std::vector<PlotCurve> curves;
    if (!report.antenna) {
        return curves;
    }
    const AntennaCheck& a = *report.antenna;
    const std::pair<const char*, const AntennaResult*> antennas[] = {
        {"As designed", &a.designed},
        {"As built", &a.built},
        {"As built, trimmed", a.trimmed ? &*a.trimmed : nullptr}};
    for (const auto& [label, result] : antennas) {
        if (!result) {
            continue;
        }
        curves.push_back(PlotCurve{label, result->swrCurve});
    }
    if (report.measured) {
        curves.push_back(measuredCurve(*report.measured, curves, report.inputs.frequencyMHz));
    }
    return curves;
}

std::string reportPlotCurvesSvg(const CheckReport& report) {
    return swrPlotSvg(reportPlotCurves(report), report.inputs.frequencyMHz, plotTitle(report));
}

std::string compactReportPlotSvg(const CheckReport& report) {
    return compactSwrPlotSvg(reportPlotCurves(report), report.inputs.frequencyMHz,
                             plotTitle(report));
}

} // namespace brevan::check
