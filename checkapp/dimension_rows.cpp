// SPDX-License-Identifier: GPL-3.0-or-later
#include "dimension_rows.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace dimension_rows {

std::vector<PlacedDimension> DimensionRows::place(std::vector<Dimension> waiting) const {
    std::vector<PlacedDimension> placed;
    std::size_t stuck = 0;
    while (!waiting.empty()) {
        const Dimension d = waiting.front();
        waiting.erase(waiting.begin());
        std::vector<double> laterLeaders;
        for (const Dimension& later : waiting) {
            laterLeaders.insert(laterLeaders.end(), {later.from, later.to});
        }
        const bool lastResort = stuck > waiting.size();
        if (std::optional<PlacedDimension> p = placeOne(d, laterLeaders, placed, lastResort)) {
            placed.push_back(*p);
            stuck = 0;
        } else {
            waiting.push_back(d);
            ++stuck;
        }
    }
    return placed;
}

std::optional<double>
DimensionRows::freeX(const Dimension& d, double width,
                     const std::vector<std::pair<double, double>>& blocked) const {
    const double middle = (d.from + d.to) / 2;
    const double centred = std::clamp(middle - width / 2, m_left, m_right - width);
    std::vector<double> candidates{centred};
    for (const auto& [a, b] : blocked) {
        candidates.push_back(a - width);
        candidates.push_back(b);
    }
    const double reach = width / 2 + std::abs(d.to - d.from) / 2 + 2 * m_metrics.height();
    std::optional<double> best;
    for (const double x : candidates) {
        const bool inside = x >= m_left - 1e-9 && x + width <= m_right + 1e-9;
        const bool near = std::abs(x + width / 2 - middle) <= reach;
        const bool clear = std::none_of(blocked.begin(), blocked.end(), [&](const auto& r) {
            return x < r.second && x + width > r.first;
        });
        if (inside && near && clear &&
            (!best || std::abs(x - centred) < std::abs(*best - centred))) {
            best = x;
        }
    }
    return best;
}

std::optional<PlacedDimension> DimensionRows::placeOne(Dimension d,
                                                       const std::vector<double>& laterLeaders,
                                                       const std::vector<PlacedDimension>& placed,
                                                       bool lastResort) const {
    const double margin = 3 * m_unit;
    const double room = m_right - m_left;
    if (m_metrics.horizontalAdvance(d.text) > room) {
        d.text = m_metrics.elidedText(d.text, Qt::ElideRight, room);
    }
    const double width = m_metrics.horizontalAdvance(d.text);
    const double lo = std::min(d.from, d.to);
    const double hi = std::max(d.from, d.to);
    for (int row = 0;; ++row) {
        std::vector<std::pair<double, double>> blocked;
        for (const double x : laterLeaders) {
            blocked.emplace_back(x - margin, x + margin);
        }
        bool spanClashes = false;
        for (const PlacedDimension& other : placed) {
            if (other.d.above != d.above) {
                continue;
            }
            if (other.row > row) {
                blocked.emplace_back(other.d.from - margin, other.d.from + margin);
                blocked.emplace_back(other.d.to - margin, other.d.to + margin);
            } else if (other.row == row) {
                blocked.emplace_back(other.textBox.left() - margin, other.textBox.right() + margin);
                const double otherLo = std::min(other.d.from, other.d.to);
                const double otherHi = std::max(other.d.from, other.d.to);
                // Lines of neighbouring pieces meet end to end, but do not overlap.
                spanClashes = spanClashes || (lo + 0.5 < otherHi && otherLo < hi - 0.5);
            }
        }
        if (!spanClashes) {
            if (const std::optional<double> x = freeX(d, width, blocked)) {
                return PlacedDimension{d, row, lineY(d.above, row),
                                       textBoxAt(d.above, row, *x, width)};
            }
        }
        if (row == kMostRows) {
            if (!lastResort) {
                return std::nullopt;
            }
            const double x = std::clamp((lo + hi - width) / 2, m_left, m_right - width);
            return PlacedDimension{d, row, lineY(d.above, row), textBoxAt(d.above, row, x, width)};
        }
    }
}

void paintDimension(QPainter& p, const PlacedDimension& placed, double wireY, double unit,
                    double tick, const QFontMetricsF& metrics) {
    const Dimension& d = placed.d;
    const double y = wireY + placed.lineY;
    p.setPen(QPen(d.colour, unit * 0.8, Qt::DotLine));
    p.drawLine(QPointF(d.from, wireY), QPointF(d.from, y));
    p.drawLine(QPointF(d.to, wireY), QPointF(d.to, y));
    p.setPen(QPen(d.colour, unit));
    p.drawLine(QPointF(d.from, y), QPointF(d.to, y));
    for (const double x : {d.from, d.to}) {
        p.drawLine(QPointF(x, y - tick), QPointF(x, y + tick));
    }
    const QRectF box = placed.textBox.translated(0, wireY);
    p.drawText(QPointF(box.left(), box.top() + metrics.ascent()), d.text);
}

} // namespace dimension_rows
