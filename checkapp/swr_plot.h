// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The SWR of the three antennas against frequency, as the report's curves have it (and the
// antenna as measured, when a sweep is open, in a colour of its own): the design
// frequency, the 2:1 line and each antenna's 2:1 band marked. The painting is a free function
// over a painter and a rectangle, so the window's widget and the printed build sheet draw the
// same picture.
//
//   CheckReport --swrPlotData--> SwrPlotData --paintSwrPlot(painter, rect, view)--> picture

#include "check_report.h"
#include "report/svg_plot.h"

#include <QColor>
#include <QPalette>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class QFontMetricsF;
class QPainter;

struct SwrPlotData {
    std::vector<brevan::check::PlotCurve> curves; // reportPlotCurves: designed, built, trimmed
    std::vector<brevan::check::SwrBand> bands;    // each model curve's 2:1 band, in that order
    std::vector<std::size_t> styles; // each curve's colour and dash; the measured sweep its own
    double designMHz = 0.0;
    double lowMHz = 0.0; // the whole sweep, the design frequency included
    double highMHz = 0.0;
};

// Empty curves when the report holds no full-wave check.
SwrPlotData swrPlotData(const brevan::check::CheckReport& report);

// The SWR of a curve at a frequency, between its points; nothing outside the sweep.
std::optional<double> swrAt(const brevan::check::PlotCurve& curve, double frequencyMHz);

// The colours of one picture. Curves keep a contrast of at least 3:1 on the background, so
// they read on a light and on a dark theme alike.
struct PlotColours {
    QColor background;
    QColor text;
    QColor grid;
    QColor marker; // the design frequency and the 2:1 line
    std::vector<QColor> curves;
};
PlotColours plotColours(const QPalette& palette);

// `from` moved `share` (0..1) of the way to `to`.
QColor blend(const QColor& from, const QColor& to, double share);

// WCAG's minimum contrast for lines and large text, which both drawings' strokes are held to.
constexpr double kLineContrast = 3.0;
// WCAG's contrast ratio of two colours, 1 (same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);
// `colour` made lighter or darker, keeping its hue, until it has `ratio` against `background`.
QColor readableOn(const QColor& colour, const QColor& background, double ratio = kLineContrast);

// Where the curves go inside a picture's rectangle, and the mapping of both axes.
struct SwrPlotFrame {
    QRectF area;
    double lowMHz = 0.0;
    double highMHz = 1.0;
    double topSwr = 5.0; // the SWR axis runs 1..topSwr on a logarithmic scale, clipped above
    double xAt(double frequencyMHz) const;
    double yAt(double swr) const;
    double frequencyAt(double x) const;
};

struct SwrPlotView {
    double lowMHz = 0.0; // the visible range of frequencies
    double highMHz = 0.0;
    std::optional<double> cursorMHz; // the read-out's frequency, drawn as a line
    QString caption;                 // the line above the legend when there is no read-out
};

// Laid out for the labels' font (`metrics`); line widths grow with it, so a printed page at
// 300 dpi and a screen at 2x keep the same proportions.
SwrPlotFrame swrPlotFrame(const QFontMetricsF& metrics, const QRectF& rect, const SwrPlotData& data,
                          const SwrPlotView& view);
void paintSwrPlot(QPainter& painter, const QRectF& rect, const SwrPlotData& data,
                  const SwrPlotView& view, const PlotColours& colours);

// "7.100 MHz   As designed SWR 1.52   As built SWR 3.10 ..." for a frequency.
QString readOutText(const SwrPlotData& data, double frequencyMHz);

// A frequency as the read-out gives it, to `decimals` places: enough to tell points apart on
// a view `spanMHz` wide.
QString mhzText(double value, int decimals);
int readOutDecimals(double spanMHz);
