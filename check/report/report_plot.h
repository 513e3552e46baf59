// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The SWR picture of a checked design: the three antennas' curves as the report has them, and
// the antenna as measured over them.

#include "check_report.h"
#include "report/svg_plot.h"

#include <string>
#include <vector>

namespace brevan::check {

// The curves of the antennas that were modelled, labelled as the report labels them, and the
// measured sweep's SWR at the feed point when there is one.
std::vector<PlotCurve> reportPlotCurves(const CheckReport& report);

// The picture `--plot` writes. The report must hold a full-wave check.
std::string reportPlotCurvesSvg(const CheckReport& report);
// The same, laid out for a phone's screen and a printed sheet (compactSwrPlotSvg).
std::string compactReportPlotSvg(const CheckReport& report);

} // namespace brevan::check
