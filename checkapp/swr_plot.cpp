// SPDX-License-Identifier: GPL-3.0-or-later
#include "swr_plot.h"

#include "dimension_rows.h"

#include "report/svg_parts.h"

#include "report/report_plot.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using brevan::check::PlotCurve;
using brevan::check::SwrBand;

constexpr double kHighestSwr = 1.0e6;   // an open circuit's SWR, kept finite for drawing
constexpr double kShownSwrLimit = 99.0; // above it the read-out only says "> 99"

// Hues apart, and dashes that tell the curves apart on a grey printout.
// The fourth, the antenna as measured, keeps its own whether or not a trimmed curve is drawn.
const std::array<QColor, 4> kCurveHues = {QColor(0x1f, 0x5f, 0xbf), QColor(0xc8, 0x33, 0x2b),
                                          QColor(0x2a, 0x8f, 0x3a), QColor(0x8e, 0x3c, 0xb0)};
const std::array<Qt::PenStyle, 4> kCurveDashes = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                  Qt::DashDotLine};
constexpr std::size_t kMeasuredStyle = 3;

std::size_t styleOf(const SwrPlotData& data, std::size_t curve) {
    return curve < data.styles.size() ? data.styles[curve] : curve;
}

} // namespace

QColor blend(const QColor& from, const QColor& to, double share) {
    const auto mix = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

namespace {

double luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

using brevan::check::svg::decimalsFor;
using brevan::check::svg::niceStep;
// Drawing units: a pen of width 1 at the size of the labels' font, on screen or on paper.
using dimension_rows::unitOf;

double topSwrOf(const SwrPlotData& data) {
    for (const PlotCurve& curve : data.curves) {
        for (const auto& point : curve.points) {
            if (point.second <= 4.0) {
                return 5.0;
            }
        }
    }
    return data.curves.empty() ? 5.0 : 10.0;
}

std::vector<double> swrTicks(double top) {
    return top > 5.0 ? std::vector<double>{1, 1.5, 2, 3, 5, 10}
                     : std::vector<double>{1, 1.5, 2, 3, 4, 5};
}

QString swrReading(std::optional<double> swr) {
    if (!swr) {
        return QStringLiteral("-");
    }
    return *swr >= kShownSwrLimit ? QStringLiteral("> 99") : QString::number(*swr, 'f', 2);
}

// The legend's entries as laid out in rows of `width`: (row, x offset) of each.
struct LegendLayout {
    std::vector<std::pair<int, double>> places;
    int rows = 0;
};

double legendEntryWidth(const QFontMetricsF& metrics, const PlotCurve& curve) {
    return 3.0 * metrics.height() + metrics.horizontalAdvance(QString::fromStdString(curve.label)) +
           metrics.height();
}

LegendLayout legendLayout(const QFontMetricsF& metrics, const SwrPlotData& data, double width) {
    LegendLayout layout;
    double x = 0.0;
    int row = 0;
    for (const PlotCurve& curve : data.curves) {
        const double w = legendEntryWidth(metrics, curve);
        if (x > 0.0 && x + w > width) {
            ++row;
            x = 0.0;
        }
        layout.places.emplace_back(row, x);
        x += w;
    }
    layout.rows = data.curves.empty() ? 0 : row + 1;
    return layout;
}

QPen curvePen(const PlotColours& colours, std::size_t i, double unit) {
    QPen pen(colours.curves[i % colours.curves.size()], 2.0 * unit);
    pen.setStyle(kCurveDashes[i % kCurveDashes.size()]);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void paintGrid(QPainter& p, const SwrPlotFrame& f, const QFontMetricsF& metrics,
               const PlotColours& colours) {
    const double unit = unitOf(metrics);
    const QRectF& a = f.area;
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00.000")) * 1.6;
    const double step =
        niceStep(f.highMHz - f.lowMHz, std::clamp(static_cast<int>(a.width() / labelWidth), 2, 10));
    const int decimals = decimalsFor(step);
    for (double mhz = std::ceil(f.lowMHz / step - 1e-9) * step; mhz <= f.highMHz + 1e-9 * step;
         mhz += step) {
        const double x = f.xAt(mhz);
        p.setPen(QPen(colours.grid, unit));
        p.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
        p.setPen(QPen(colours.text, unit));
        p.drawLine(QPointF(x, a.bottom()), QPointF(x, a.bottom() + 4 * unit));
        const QString label = mhzText(mhz, decimals);
        const double w = metrics.horizontalAdvance(label);
        p.drawText(QPointF(x - w / 2, a.bottom() + 4 * unit + metrics.ascent()), label);
    }
    for (const double swr : swrTicks(f.topSwr)) {
        const double y = f.yAt(swr);
        p.setPen(QPen(colours.grid, unit));
        p.drawLine(QPointF(a.left(), y), QPointF(a.right(), y));
        p.setPen(QPen(colours.text, unit));
        p.drawLine(QPointF(a.left() - 4 * unit, y), QPointF(a.left(), y));
        const QString label = QString::number(swr, 'f', swr == std::floor(swr) ? 0 : 1);
        p.drawText(QPointF(a.left() - 6 * unit - metrics.horizontalAdvance(label),
                           y + metrics.ascent() / 2 - metrics.descent() / 2),
                   label);
    }
}

void paintAxisTitles(QPainter& p, const SwrPlotFrame& f, const QFontMetricsF& metrics,
                     const PlotColours& colours) {
    const QRectF& a = f.area;
    p.setPen(colours.text);
    const QString x = QStringLiteral("Frequency (MHz)");
    p.drawText(QPointF(a.center().x() - metrics.horizontalAdvance(x) / 2,
                       a.bottom() + 4 * unitOf(metrics) + metrics.height() + metrics.ascent()),
               x);
    const QString y = QStringLiteral("SWR");
    p.save();
    p.translate(a.left() - metrics.horizontalAdvance(QStringLiteral("1.5")) - 6 * unitOf(metrics) -
                    metrics.descent() - metrics.height() * 0.4,
                a.center().y() + metrics.horizontalAdvance(y) / 2);
    p.rotate(-90);
    p.drawText(QPointF(0, 0), y);
    p.restore();
}

// The 2:1 line, the design frequency, and each antenna's 2:1 band as a bar along the bottom
// with ticks where its edges meet the 2:1 line.
void paintMarkers(QPainter& p, const SwrPlotFrame& f, const SwrPlotData& data,
                  const QFontMetricsF& metrics, const PlotColours& colours) {
    const double unit = unitOf(metrics);
    const QRectF& a = f.area;
    const double y2 = f.yAt(2.0);
    QPen dashed(colours.marker, 1.2 * unit, Qt::DashLine);
    p.setPen(dashed);
    p.drawLine(QPointF(a.left(), y2), QPointF(a.right(), y2));
    p.setPen(colours.marker);
    const QString two = QStringLiteral("2:1");
    p.drawText(QPointF(a.right() - 3 * unit - metrics.horizontalAdvance(two),
                       y2 - 3 * unit - metrics.descent()),
               two);

    const double xf = f.xAt(data.designMHz);
    if (xf >= a.left() && xf <= a.right()) {
        p.setPen(QPen(colours.marker, 1.2 * unit));
        p.drawLine(QPointF(xf, a.top()), QPointF(xf, a.bottom()));
        const QString label = QStringLiteral("F ") +
                              mhzText(data.designMHz, readOutDecimals(f.highMHz - f.lowMHz)) +
                              QStringLiteral(" MHz");
        const double w = metrics.horizontalAdvance(label);
        const double x = xf + 3 * unit + w > a.right() ? xf - 3 * unit - w : xf + 3 * unit;
        p.drawText(QPointF(x, a.top() + 2 * unit + metrics.ascent()), label);
    }

    for (std::size_t i = 0; i < data.bands.size() && i < data.curves.size(); ++i) {
        const SwrBand& band = data.bands[i];
        if (!band.lowerMHz && !band.upperMHz) {
            continue;
        }
        const double y = a.bottom() - (4.0 + 5.0 * static_cast<double>(i)) * unit;
        const double x0 = f.xAt(band.lowerMHz.value_or(f.lowMHz));
        const double x1 = f.xAt(band.upperMHz.value_or(f.highMHz));
        QPen pen(colours.curves[i % colours.curves.size()], 2.0 * unit);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(QPointF(x0, y), QPointF(x1, y));
        for (const auto& [edge, x] : {std::pair(band.lowerMHz, x0), std::pair(band.upperMHz, x1)}) {
            if (edge) {
                p.drawLine(QPointF(x, y - 3 * unit), QPointF(x, y + 2 * unit));
                p.drawLine(QPointF(x, y2 - 5 * unit), QPointF(x, y2 + 5 * unit));
            }
        }
    }
}

void paintCurves(QPainter& p, const SwrPlotFrame& f, const SwrPlotData& data, double unit,
                 const PlotColours& colours) {
    for (std::size_t i = 0; i < data.curves.size(); ++i) {
        QPainterPath path;
        bool started = false;
        for (const auto& [mhz, swr] : data.curves[i].points) {
            if (!std::isfinite(mhz)) {
                continue;
            }
            const QPointF point(f.xAt(mhz), f.yAt(std::isfinite(swr) ? swr : kHighestSwr));
            if (started) {
                path.lineTo(point);
            } else {
                path.moveTo(point);
                started = true;
            }
        }
        p.strokePath(path, curvePen(colours, styleOf(data, i), unit));
    }
}

void paintCursor(QPainter& p, const SwrPlotFrame& f, const SwrPlotData& data, double cursorMHz,
                 double unit, const PlotColours& colours) {
    const double x = f.xAt(cursorMHz);
    p.setPen(QPen(colours.text, unit, Qt::DotLine));
    p.drawLine(QPointF(x, f.area.top()), QPointF(x, f.area.bottom()));
    for (std::size_t i = 0; i < data.curves.size(); ++i) {
        if (const std::optional<double> swr = swrAt(data.curves[i], cursorMHz)) {
            p.setPen(QPen(colours.text, unit));
            p.setBrush(colours.curves[styleOf(data, i) % colours.curves.size()]);
            p.drawEllipse(QPointF(x, f.yAt(*swr)), 3.5 * unit, 3.5 * unit);
        }
    }
    p.setBrush(Qt::NoBrush);
}

void paintLegend(QPainter& p, const QRectF& rect, const SwrPlotFrame& f, const SwrPlotData& data,
                 const QFontMetricsF& metrics, const PlotColours& colours) {
    const double unit = unitOf(metrics);
    const LegendLayout layout = legendLayout(metrics, data, f.area.width());
    const double top = rect.top() + metrics.height() * 1.3;
    for (std::size_t i = 0; i < data.curves.size(); ++i) {
        const auto [row, offset] = layout.places[i];
        const double y = top + metrics.height() * 1.15 * row + metrics.height() / 2;
        const double x = f.area.left() + offset;
        p.setPen(curvePen(colours, styleOf(data, i), unit));
        p.drawLine(QPointF(x, y), QPointF(x + 2.4 * metrics.height(), y));
        p.setPen(colours.text);
        p.drawText(
            QPointF(x + 2.8 * metrics.height(), y + metrics.ascent() / 2 - metrics.descent() / 2),
            QString::fromStdString(data.curves[i].label));
    }
}

void paintHeadline(QPainter& p, const QRectF& rect, const SwrPlotFrame& f, const SwrPlotData& data,
                   const SwrPlotView& view, const QFontMetricsF& metrics,
                   const PlotColours& colours) {
    const QString text = view.cursorMHz ? readOutText(data, *view.cursorMHz) : view.caption;
    p.setPen(colours.text);
    p.drawText(QPointF(f.area.left(), rect.top() + metrics.ascent() + metrics.height() * 0.15),
               metrics.elidedText(text, Qt::ElideRight, rect.right() - f.area.left()));
}

} // namespace

SwrPlotData swrPlotData(const brevan::check::CheckReport& report) {
    SwrPlotData data;
    data.designMHz = report.inputs.frequencyMHz;
    data.curves = brevan::check::reportPlotCurves(report);
    if (report.antenna) {
        data.bands = {report.antenna->designed.band, report.antenna->built.band};
        if (report.antenna->trimmed) {
            data.bands.push_back(report.antenna->trimmed->band);
        }
    }
    // The models' curves come first, in their order; the measured one, when there is one, last.
    for (std::size_t i = 0; i < data.curves.size(); ++i) {
        data.styles.push_back(i);
    }
    if (report.measured && !data.styles.empty()) {
        data.styles.back() = kMeasuredStyle;
    }
    data.lowMHz = data.designMHz;
    data.highMHz = data.designMHz;
    for (const PlotCurve& curve : data.curves) {
        for (const auto& point : curve.points) {
            if (std::isfinite(point.first)) {
                data.lowMHz = std::min(data.lowMHz, point.first);
                data.highMHz = std::max(data.highMHz, point.first);
            }
        }
    }
    if (data.highMHz - data.lowMHz < 1e-6 * std::max(1.0, data.highMHz)) {
        const double pad = std::max(0.01 * data.designMHz, 0.01);
        data.lowMHz -= pad;
        data.highMHz += pad;
    }
    return data;
}

std::optional<double> swrAt(const PlotCurve& curve, double frequencyMHz) {
    const auto& points = curve.points;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const auto& [f0, s0] = points[i - 1];
        const auto& [f1, s1] = points[i];
        if (frequencyMHz >= f0 && frequencyMHz <= f1 && f1 > f0) {
            if (!std::isfinite(s0) || !std::isfinite(s1)) {
                return kHighestSwr;
            }
            return s0 + (s1 - s0) * (frequencyMHz - f0) / (f1 - f0);
        }
    }
    if (!points.empty() && points.front().first == frequencyMHz) {
        return points.front().second;
    }
    return std::nullopt;
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& colour, const QColor& background, double ratio) {
    const bool darkBackground = luminance(background) < 0.18;
    QColor c = colour.toHsl();
    for (int i = 0; i < 100 && contrastRatio(c, background) < ratio; ++i) {
        const float step = darkBackground ? 0.02f : -0.02f;
        c.setHslF(c.hslHueF(), c.hslSaturationF(), std::clamp(c.lightnessF() + step, 0.0f, 1.0f));
    }
    return c.toRgb();
}

PlotColours plotColours(const QPalette& palette) {
    PlotColours colours;
    colours.background = palette.color(QPalette::Base);
    colours.text = palette.color(QPalette::Text);
    colours.grid = blend(colours.background, colours.text, 0.14);
    colours.marker =
        readableOn(blend(colours.background, colours.text, 0.6), colours.background, kLineContrast);
    for (const QColor& hue : kCurveHues) {
        colours.curves.push_back(readableOn(hue, colours.background, kLineContrast));
    }
    return colours;
}

double SwrPlotFrame::xAt(double frequencyMHz) const {
    return area.left() + (frequencyMHz - lowMHz) / (highMHz - lowMHz) * area.width();
}

double SwrPlotFrame::yAt(double swr) const {
    const double clamped = std::clamp(swr, 1.0, kHighestSwr);
    return area.bottom() - std::log(clamped) / std::log(topSwr) * area.height();
}

double SwrPlotFrame::frequencyAt(double x) const {
    return lowMHz + (x - area.left()) / area.width() * (highMHz - lowMHz);
}

SwrPlotFrame swrPlotFrame(const QFontMetricsF& metrics, const QRectF& rect, const SwrPlotData& data,
                          const SwrPlotView& view) {
    const double unit = unitOf(metrics);
    const double h = metrics.height();
    const double left =
        rect.left() + h * 1.4 + metrics.horizontalAdvance(QStringLiteral("1.5")) + 6 * unit;
    const double right = rect.right() - h * 0.8;
    const int legendRows = legendLayout(metrics, data, right - left).rows;
    const double top = rect.top() + h * 1.3 + h * 1.15 * legendRows + h * 0.4;
    const double bottom = rect.bottom() - 4 * unit - h * 2.2;
    SwrPlotFrame frame;
    frame.area =
        QRectF(QPointF(left, top), QPointF(std::max(right, left + 1), std::max(bottom, top + 1)));
    frame.lowMHz = view.highMHz > view.lowMHz ? view.lowMHz : data.lowMHz;
    frame.highMHz = view.highMHz > view.lowMHz ? view.highMHz : data.highMHz;
    frame.topSwr = topSwrOf(data);
    return frame;
}

void paintSwrPlot(QPainter& painter, const QRectF& rect, const SwrPlotData& data,
                  const SwrPlotView& view, const PlotColours& colours) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double unit = unitOf(metrics);
    const SwrPlotFrame f = swrPlotFrame(metrics, rect, data, view);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, colours.background);
    paintGrid(painter, f, metrics, colours);
    painter.save();
    painter.setClipRect(f.area);
    paintMarkers(painter, f, data, metrics, colours);
    paintCurves(painter, f, data, unit, colours);
    if (view.cursorMHz) {
        paintCursor(painter, f, data, *view.cursorMHz, unit, colours);
    }
    painter.restore();
    painter.setPen(QPen(colours.text, unit));
    painter.drawRect(f.area);
    paintAxisTitles(painter, f, metrics, colours);
    paintLegend(painter, rect, f, data, metrics, colours);
    paintHeadline(painter, rect, f, data, view, metrics, colours);
    painter.restore();
}

QString mhzText(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

int readOutDecimals(double spanMHz) {
    return std::max(3, decimalsFor(niceStep(spanMHz, 6)) + 1);
}

QString readOutText(const SwrPlotData& data, double frequencyMHz) {
    QString text =
        mhzText(frequencyMHz, readOutDecimals(data.highMHz - data.lowMHz)) + QStringLiteral(" MHz");
    for (const PlotCurve& curve : data.curves) {
        text += QStringLiteral("   ") + QString::fromStdString(curve.label) +
                QStringLiteral(": SWR ") + swrReading(swrAt(curve, frequencyMHz));
    }
    return text;
}
