// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lengths written along the half dipole's wire: each a dimension line with a leader from the
// wire to each end, placed in rows above and below the wire so that no words overlap and no
// leader runs through words.

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace dimension_rows {

// The drawing's pen unit: line widths and gaps grow with the font.
inline double unitOf(const QFontMetricsF& metrics) {
    return std::max(0.5, metrics.height() / 16.0);
}

// A length written on the drawing: a dimension line over [from, to] (drawing x) with a leader
// from the wire to each end, its words above the line above the wire and below it below.
struct Dimension {
    double from = 0.0;
    double to = 0.0;
    QString text;
    QColor colour;
    bool above = true;
};

// Where a dimension went: its row (0 next to the wire), the line's distance from the wire and
// the box of its words, both relative to the wire (y = 0), since the wire's height follows
// from how many rows the words need.
struct PlacedDimension {
    Dimension d;
    int row = 0;
    double lineY = 0.0;
    QRectF textBox;
};

// The rows of dimensions on one side of the wire. Words never cross a leader: a dimension
// placed later may go to a farther row, so a dimension's words keep clear of the leaders of every
// one still to come, and of those of the ones placed farther out. Words stay near their own
// piece, and move out a row where they do not fit.
class DimensionRows {
public:
    DimensionRows(const QFontMetricsF& metrics, double left, double right)
        : m_metrics(metrics), m_unit(unitOf(metrics)), m_left(left), m_right(right) {}

    // Places the dimensions in their order; one whose words find no place clear of the leaders
    // of those still to come waits until they are placed, unless every one waiting is stuck.
    std::vector<PlacedDimension> place(std::vector<Dimension> waiting) const;

    // From the wire to the first row's line: clear of the coil, the feed's and tip's words.
    double nearGap() const { return m_metrics.height() / 2 + tick() + m_unit; }
    // A row's words, and clear of them the ticks of the next row's line.
    double rowStep() const { return m_metrics.height() + 7 * m_unit; }
    double tick() const { return 3 * m_unit; }

private:
    static constexpr int kMostRows = 8;

    double lineY(bool above, int row) const {
        const double y = nearGap() + row * rowStep();
        return above ? -y : y;
    }

    QRectF textBoxAt(bool above, int row, double x, double width) const {
        const double line = lineY(above, row);
        const double h = m_metrics.height();
        const double top = above ? line - tick() - m_unit - h : line + tick() + m_unit;
        return {x, top, width, h};
    }

    // Where on a row words of `width` may start: nearest the middle of their piece, clear of
    // `blocked` (x ranges), and close enough to the piece to be read as its.
    std::optional<double> freeX(const Dimension& d, double width,
                                const std::vector<std::pair<double, double>>& blocked) const;

    std::optional<PlacedDimension> placeOne(Dimension d, const std::vector<double>& laterLeaders,
                                            const std::vector<PlacedDimension>& placed,
                                            bool lastResort) const;

    const QFontMetricsF& m_metrics;
    double m_unit;
    double m_left;
    double m_right;
};

// The dimension's leaders, line, ticks and words, its row's line `placed.lineY` from the wire.
void paintDimension(QPainter& p, const PlacedDimension& placed, double wireY, double unit,
                    double tick, const QFontMetricsF& metrics);

} // namespace dimension_rows
