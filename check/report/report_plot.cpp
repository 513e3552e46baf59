#include "report/report_plot.h"

#include "report/report_format.h"

#include <utility>

namespace brevan::check {

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
        PlotCurve curve{label, {}};
        for (const FeedPoint& p : result->curve) {
            curve.points.emplace_back(p.frequencyMHz, swr(p.impedance));
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

std::string reportPlotCurvesSvg(const CheckReport& report) {
    return swrPlotSvg(reportPlotCurves(report), report.inputs.frequencyMHz,
                      "SWR of the loaded dipole, " + number(report.inputs.lengthM, 2) +
                          " m, coils at " + number(report.inputs.distanceM, 2) + " m");
}

} // namespace brevan::check
