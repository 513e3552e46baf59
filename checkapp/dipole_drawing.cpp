#include "dipole_drawing.h"

#include "coil/coil_model.h"
#include "report/report_format.h"
#include "swr_plot_widget.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using brevan::check::CheckReport;
using brevan::check::CutList;

constexpr double kContrast = 3.0;
constexpr int kMostTurnsDrawn = 60; // beyond this, or closer than 2.5 pen units, turns are elided
constexpr int kTurnsAtEachEnd = 4;  // drawn at each end of an elided winding

double unitOf(const QFontMetricsF& metrics) {
    return std::max(0.5, metrics.height() / 16.0);
}

QString metresText(double metres) {
    return QString::fromStdString(brevan::check::number(metres, 3)) + QStringLiteral(" m");
}

QString millimetresText(double metres) {
    return QString::fromStdString(brevan::check::number(metres * 1000, 1)) + QStringLiteral(" mm");
}

double lengthOf(const std::vector<MarkedLength>& pieces, const std::string& label) {
    for (const MarkedLength& piece : pieces) {
        if (piece.label == label) {
            return piece.metres;
        }
    }
    return 0.0;
}

// A length written on the drawing: a dimension line over [from, to] (drawing x), its text
// above or below the wire, in the first row where it overlaps no other text.
struct Dimension {
    double from = 0.0;
    double to = 0.0;
    QString text;
    QColor colour;
    bool above = true;
};

class DimensionRows {
public:
    DimensionRows(const QFontMetricsF& metrics, double wireY, double left, double right)
        : m_metrics(metrics), m_wireY(wireY), m_left(left), m_right(right) {}

    void draw(QPainter& p, const Dimension& d) {
        const double unit = unitOf(m_metrics);
        const double width = m_metrics.horizontalAdvance(d.text);
        const double middle = (d.from + d.to) / 2;
        const double textLeft = std::clamp(middle - width / 2, m_left, m_right - width);
        std::vector<QRectF>& placed = d.above ? m_above : m_below;
        int row = 0;
        QRectF box;
        QRectF span;
        for (;; ++row) {
            // The text with a margin, and the dimension line itself: lines of neighbouring
            // pieces meet end to end, so the line gets no margin.
            const double top = yOf(d.above, row) - m_metrics.height();
            box = QRectF(textLeft - unit * 3, top, width + unit * 6, m_metrics.height());
            span = QRectF(std::min(d.from, d.to) + 0.5, top,
                          std::max(std::abs(d.to - d.from) - 1.0, 0.0), m_metrics.height());
            const auto clashes = [&](const QRectF& other) {
                return other.intersects(box) || other.intersects(span);
            };
            if (std::none_of(placed.begin(), placed.end(), clashes)) {
                break;
            }
        }
        placed.push_back(box);
        placed.push_back(span);
        const double y = yOf(d.above, row);
        p.setPen(QPen(d.colour, unit * 0.8, Qt::DotLine));
        p.drawLine(QPointF(d.from, m_wireY), QPointF(d.from, y));
        p.drawLine(QPointF(d.to, m_wireY), QPointF(d.to, y));
        p.setPen(QPen(d.colour, unit));
        p.drawLine(QPointF(d.from, y), QPointF(d.to, y));
        for (const double x : {d.from, d.to}) {
            p.drawLine(QPointF(x, y - 3 * unit), QPointF(x, y + 3 * unit));
        }
        p.drawText(QPointF(textLeft, y - unit * 2 - m_metrics.descent()), d.text);
    }

    // Rows above and below the wire that the labels need, for laying out the drawing.
    static double rowHeight(const QFontMetricsF& metrics) { return metrics.height() * 1.5; }

private:
    // The dimension line of a row; its text sits just above it.
    double yOf(bool above, int row) const {
        const double h = rowHeight(m_metrics);
        return above ? m_wireY - h * (row + 1) + m_metrics.height() * 0.3
                     : m_wireY + h * (row + 1) + m_metrics.height() * 0.1;
    }

    const QFontMetricsF& m_metrics;
    double m_wireY;
    double m_left;
    double m_right;
    std::vector<QRectF> m_above;
    std::vector<QRectF> m_below;
};

// The whole antenna as it hangs, small: a level feed at the apex and the legs at their angle,
// fitted into `box`.
void paintVSketch(QPainter& p, const QRectF& box, const brevan::check::WireShape& shape,
                  const QColor& colour, double unit) {
    const double droop = shape.droop;
    const double leg = std::min(box.width() * 0.45 / std::max(std::cos(droop), 1e-3),
                                box.height() / std::max(std::sin(droop), 1e-3));
    const QPointF apex(box.center().x(), box.top());
    const double feed = box.width() * 0.04;
    const QPointF leftBend = apex - QPointF(feed, 0);
    const QPointF rightBend = apex + QPointF(feed, 0);
    const QPointF down(leg * std::cos(droop), leg * std::sin(droop));
    p.setPen(QPen(colour, 1.5 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(
        QPolygonF{leftBend - QPointF(down.x(), -down.y()), leftBend, rightBend, rightBend + down});
}

// The half dipole along the wire. The coil keeps a readable width even where its true length
// is a few pixels; everything else, the dimensions included, is to scale.
void paintHalfDipole(QPainter& p, const QRectF& rect, const CheckReport& report,
                     const DrawingColours& colours, const QFontMetricsF& metrics) {
    const double unit = unitOf(metrics);
    const std::vector<MarkedLength> pieces = markedLengths(report);
    const CutList& cut = report.cut;
    const double inner = lengthOf(pieces, "Inner wire");
    const double coil = lengthOf(pieces, "Coil");
    const double outer = cut.outerWire;
    const std::optional<double> tipChange = shownTipChange(report);
    const double trim = tipChange.value_or(0.0);
    const double coilEnd = inner + coil;
    const double trimmedTip = coilEnd + std::max(outer + trim, 0.0);
    const double wireEnd = trimmedTip + cut.tipSpare;
    const double reach = std::max(coilEnd + outer, wireEnd);

    const QString feed = QStringLiteral("feed");
    const QString tip = QStringLiteral("tip");
    const double left = rect.left() + metrics.horizontalAdvance(feed) + 8 * unit;
    const double right = rect.right() - metrics.horizontalAdvance(tip) - 8 * unit;
    const double scale = (right - left) / std::max(reach, 1e-6);
    const auto xAt = [&](double metres) { return left + metres * scale; };
    const double wireY =
        rect.top() + metrics.height() * 1.8 + 2 * DimensionRows::rowHeight(metrics);

    // The wire as designed, then what the trim adds or takes and the spare beyond it.
    p.setPen(QPen(colours.wire, 2 * unit, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(xAt(0), wireY), QPointF(xAt(std::min(coilEnd + outer, trimmedTip)), wireY));
    if (trim > 0) {
        p.setPen(QPen(colours.trimAdded, 3 * unit, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(xAt(coilEnd + outer), wireY), QPointF(xAt(trimmedTip), wireY));
    } else if (trim < 0) {
        p.setPen(QPen(colours.trimCut, 2 * unit, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(xAt(trimmedTip), wireY), QPointF(xAt(coilEnd + outer), wireY));
        for (const double at : {trimmedTip, coilEnd + outer}) {
            p.drawLine(QPointF(xAt(at) - 3 * unit, wireY - 4 * unit),
                       QPointF(xAt(at) + 3 * unit, wireY + 4 * unit));
        }
    }
    p.setPen(QPen(colours.spare, 2 * unit, Qt::DotLine, Qt::FlatCap));
    p.drawLine(QPointF(xAt(trimmedTip), wireY), QPointF(xAt(wireEnd), wireY));

    // The coil, at least a little wider than it is tall so its turns can be seen.
    const double coilHeight = metrics.height() * 0.9;
    const double coilWidth = std::max(coil * scale, coilHeight * 1.2);
    // Never left of the feed point: with B = 0 the coil starts there.
    const double coilLeft = std::max(xAt(inner + coil / 2) - coilWidth / 2, xAt(0));
    const QRectF coilBox(coilLeft, wireY - coilHeight / 2, coilWidth, coilHeight);
    p.setPen(QPen(colours.coil, 1.5 * unit));
    p.setBrush(colours.background);
    p.drawRect(coilBox);
    for (int i = 1; i <= 4; ++i) {
        const double x = coilBox.left() + coilBox.width() * i / 5.0;
        p.drawLine(QPointF(x - coilHeight * 0.2, coilBox.bottom()),
                   QPointF(x + coilHeight * 0.2, coilBox.top()));
    }
    p.setBrush(Qt::NoBrush);

    // Feed point and tip insulator.
    p.setPen(QPen(colours.text, unit));
    p.setBrush(colours.background);
    p.drawEllipse(QPointF(xAt(0), wireY), 3.5 * unit, 3.5 * unit);
    p.drawRect(QRectF(xAt(wireEnd), wireY - 3 * unit, 6 * unit, 6 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawText(QPointF(rect.left(), wireY + metrics.ascent() / 2 - metrics.descent() / 2), feed);
    p.drawText(QPointF(xAt(reach) + 8 * unit, wireY + metrics.ascent() / 2 - metrics.descent() / 2),
               tip);

    DimensionRows rows(metrics, wireY, rect.left(), rect.right());
    if (!cut.coilsAtFeed) {
        rows.draw(p, {xAt(0), xAt(inner), QStringLiteral("Inner wire ") + metresText(inner),
                      colours.text, true});
    }
    rows.draw(p, {coilBox.left(), coilBox.right(), QStringLiteral("Coil ") + millimetresText(coil),
                  colours.coil, true});
    rows.draw(p, {xAt(coilEnd), xAt(coilEnd + outer),
                  QStringLiteral("Outer wire ") + metresText(outer), colours.text, true});
    if (tipChange) {
        const bool adds = *tipChange >= 0;
        const QString what = *tipChange == 0.0 ? QStringLiteral(": do not cut")
                             : adds            ? QStringLiteral(": add at the tip")
                                               : QStringLiteral(": cut from the tip");
        rows.draw(p, {xAt(std::min(coilEnd + outer, trimmedTip)),
                      xAt(std::max(coilEnd + outer, trimmedTip)),
                      (cutFromSweep(report) ? QStringLiteral("As measured, trim ")
                                            : QStringLiteral("Trim ")) +
                          (adds ? QStringLiteral("+") : QString()) + metresText(*tipChange) + what,
                      adds ? colours.trimAdded : colours.trimCut, false});
    }
    rows.draw(p, {xAt(trimmedTip), xAt(wireEnd),
                  QStringLiteral("Spare ") + metresText(cut.tipSpare), colours.spare, false});
    rows.draw(p, {xAt(coilEnd), xAt(wireEnd),
                  QStringLiteral("Outer wire to cut ") + metresText(cut.outerWireToCut),
                  colours.text, false});

    p.setPen(colours.text);
    const std::optional<brevan::check::WireShape> v = hungShape(report);
    QString title = v ? QStringLiteral("One leg of the inverted V (") +
                            QString::fromStdString(brevan::check::number(v->legAngle, 0)) +
                            QStringLiteral(" deg between the legs), to scale along the wire "
                                           "(cut two)")
                      : QStringLiteral("One half of the dipole, to scale along the wire (cut two)");
    if (cutFromSweep(report)) {
        title += QStringLiteral(": the trim the measured sweep asks for");
    } else if (!tipChange) {
        title += report.antenna ? QStringLiteral(": no trim reaches F, tips cut as designed")
                                : QStringLiteral(": the trim follows from the full-wave check");
    }
    double titleWidth = rect.width();
    if (v) {
        const double sketchWidth = metrics.height() * 3;
        titleWidth -= sketchWidth + metrics.height();
        paintVSketch(p,
                     QRectF(rect.right() - sketchWidth, rect.top() + unit, sketchWidth,
                            metrics.height() - 2 * unit),
                     *v, colours.wire, unit);
        p.setPen(colours.text);
    }
    p.drawText(QPointF(rect.left(), rect.top() + metrics.ascent()),
               metrics.elidedText(title, Qt::ElideRight, titleWidth));
}

// The coil from the side: the former, each turn (or both ends of a winding too dense to show
// turn by turn), and its winding length and diameter.
void paintCoil(QPainter& p, const QRectF& rect, const CheckReport& report,
               const DrawingColours& colours, const QFontMetricsF& metrics) {
    const double unit = unitOf(metrics);
    const brevan::check::WoundCoil& coil = report.coil.coil;
    const double winding = brevan::check::sheetLength(coil);
    const double former = report.inputs.formerMm / 1000;
    const double turns = coil.turns;

    const QRectF room = rect.adjusted(metrics.height() * 0.5, metrics.height() * 2.6,
                                      -metrics.height() * 0.5, -metrics.height() * 2.6);
    const double scale = std::min(room.width() / std::max(winding * 1.4, 1e-6),
                                  room.height() / std::max(former + 2 * coil.wireDiameter, 1e-6));
    // To scale where the turns can be told apart; a short winding is stretched until they can.
    const int whole = std::max(1, static_cast<int>(std::lround(turns)));
    const double readable = whole <= kMostTurnsDrawn ? whole * 6 * unit : 0.0;
    const double width =
        std::clamp(std::max(winding * scale, readable), metrics.height() * 2, room.width() / 1.4);
    const double height = std::clamp(former * scale, metrics.height(), room.height());
    const QRectF body(room.center().x() - width * 0.7, room.center().y() - height / 2, width * 1.4,
                      height);
    const QRectF wound(room.center().x() - width / 2, body.top(), width, height);

    p.setPen(QPen(colours.text, unit));
    p.setBrush(colours.former);
    p.drawRect(body);
    p.setBrush(Qt::NoBrush);

    // Turn by turn while they can be told apart; otherwise a few at each end and a gap.
    const bool elided = whole > kMostTurnsDrawn || width / whole < 2.5 * unit;
    const double pitch = elided ? 4 * unit : width / whole;
    const double wirePen = std::clamp(coil.wireDiameter * scale, unit, pitch * 0.55);
    std::vector<double> starts;
    if (!elided) {
        for (int i = 0; i < whole; ++i) {
            starts.push_back(wound.left() + pitch * i);
        }
    } else {
        for (int i = 0; i < kTurnsAtEachEnd; ++i) {
            starts.push_back(wound.left() + pitch * i);
            starts.push_back(wound.right() - pitch * (i + 1));
        }
    }
    const double slant = pitch;
    p.setPen(QPen(colours.coil, wirePen, Qt::SolidLine, Qt::RoundCap));
    for (const double x : starts) {
        p.drawLine(QPointF(x, wound.bottom() + wirePen / 2),
                   QPointF(x + slant, wound.top() - wirePen / 2));
    }
    // The leads run out along the former.
    p.drawLine(QPointF(body.left() - 8 * unit, wound.bottom() + wirePen / 2),
               QPointF(wound.left(), wound.bottom() + wirePen / 2));
    p.drawLine(QPointF(wound.right(), wound.top() - wirePen / 2),
               QPointF(body.right() + 8 * unit, wound.top() - wirePen / 2));
    if (elided) {
        const QString gap = QStringLiteral("...");
        p.setPen(colours.text);
        p.fillRect(QRectF(wound.center().x() - metrics.horizontalAdvance(gap),
                          wound.center().y() - metrics.height() / 2,
                          metrics.horizontalAdvance(gap) * 2, metrics.height()),
                   colours.former);
        p.drawText(QPointF(wound.center().x() - metrics.horizontalAdvance(gap) / 2,
                           wound.center().y() + metrics.ascent() / 2 - metrics.descent() / 2),
                   gap);
    }

    // Winding length below, the turns and wire above.
    const double y = body.bottom() + metrics.height() * 0.8;
    p.setPen(QPen(colours.text, unit));
    p.drawLine(QPointF(wound.left(), y), QPointF(wound.right(), y));
    for (const double x : {wound.left(), wound.right()}) {
        p.drawLine(QPointF(x, y - 3 * unit), QPointF(x, y + 3 * unit));
    }
    const QString windingText = QStringLiteral("winding ") + millimetresText(winding);
    p.drawText(QPointF(room.center().x() - metrics.horizontalAdvance(windingText) / 2,
                       y + metrics.height() * 0.3 + metrics.ascent()),
               windingText);
    const QString title = QString::fromStdString(brevan::check::turnsText(turns)) +
                          QStringLiteral(" of SWG ") + QString::number(report.inputs.coilWireSwg) +
                          QStringLiteral("\non a ") +
                          QString::fromStdString(brevan::check::number(report.inputs.formerMm, 1)) +
                          QStringLiteral(" mm former");
    p.drawText(QRectF(rect.left(), rect.top(), rect.width(), metrics.height() * 2.4),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title);
}

} // namespace

bool cutFromSweep(const CheckReport& report) {
    return report.measured &&
           report.measured->calibration.outcome == brevan::check::CalibrationOutcome::Calibrated;
}

std::optional<double> shownTipChange(const CheckReport& report) {
    return cutFromSweep(report) ? std::optional<double>(report.measured->calibration.tipChange)
                                : report.cut.tipChange;
}

std::optional<brevan::check::WireShape> hungShape(const CheckReport& report) {
    if (report.inputs.hang.shape != brevan::check::HangShape::InvertedV || !report.antenna) {
        return std::nullopt;
    }
    const auto& antenna = *report.antenna;
    return antenna.trimmed ? antenna.trimmed->shape : antenna.built.shape;
}

std::vector<MarkedLength> markedLengths(const CheckReport& report) {
    const CutList& cut = report.cut;
    std::vector<MarkedLength> pieces;
    if (!cut.coilsAtFeed) {
        pieces.push_back({"Inner wire", cut.innerWire});
    }
    pieces.push_back({"Coil", brevan::check::sheetLength(report.coil.coil)});
    pieces.push_back({"Outer wire", cut.outerWire});
    if (const std::optional<double> trim = shownTipChange(report)) {
        pieces.push_back({"Trim", *trim});
    }
    pieces.push_back({"Spare", cut.tipSpare});
    return pieces;
}

DrawingColours drawingColours(const QPalette& palette) {
    DrawingColours c;
    c.background = palette.color(QPalette::Base);
    c.text = palette.color(QPalette::Text);
    c.wire = c.text;
    c.coil = readableOn(QColor(0xb0, 0x5a, 0x10), c.background, kContrast);
    c.former = blend(c.background, c.text, 0.12);
    c.trimAdded = readableOn(QColor(0x2a, 0x8f, 0x3a), c.background, kContrast);
    c.trimCut = readableOn(QColor(0xc8, 0x33, 0x2b), c.background, kContrast);
    c.spare = readableOn(blend(c.background, c.text, 0.55), c.background, kContrast);
    return c;
}

void paintDipoleDrawing(QPainter& painter, const QRectF& rect, const CheckReport& report,
                        const DrawingColours& colours) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, colours.background);
    const double coilWidth = std::max(rect.width() * 0.28, metrics.height() * 10);
    const double gap = metrics.height();
    const QRectF wire(rect.left(), rect.top(), rect.width() - coilWidth - gap, rect.height());
    const QRectF coil(rect.right() - coilWidth, rect.top(), coilWidth, rect.height());
    paintHalfDipole(painter, wire, report, colours, metrics);
    paintCoil(painter, coil, report, colours, metrics);
    painter.restore();
}

DipoleDrawing::DipoleDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dipoleDrawing"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Cut list drawing"));
    setAccessibleDescription(QStringLiteral("No design yet."));
}

void DipoleDrawing::setReport(const CheckReport& report) {
    m_report = report;
    QString description = QStringLiteral("One half of the dipole from the feed point:");
    for (const MarkedLength& piece : markedLengths(report)) {
        description += QStringLiteral(" ") + QString::fromStdString(piece.label) +
                       QStringLiteral(" ") + metresText(piece.metres) + QStringLiteral(",");
    }
    description += QStringLiteral(" outer wire to cut ") + metresText(report.cut.outerWireToCut) +
                   QStringLiteral(".");
    if (const auto v = hungShape(report)) {
        description += QStringLiteral(" Hung as an inverted V, ") +
                       QString::fromStdString(brevan::check::number(v->legAngle, 0)) +
                       QStringLiteral(" degrees between the legs; the lengths are along the wire.");
    }
    setAccessibleDescription(description);
    update();
}

void DipoleDrawing::clearReport() {
    m_report.reset();
    setAccessibleDescription(QStringLiteral("No design yet."));
    update();
}

QSize DipoleDrawing::sizeHint() const {
    const int h = fontMetrics().height();
    return {h * 48, h * 11};
}

QSize DipoleDrawing::minimumSizeHint() const {
    const int h = fontMetrics().height();
    return {h * 30, h * 10};
}

void DipoleDrawing::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const DrawingColours colours = drawingColours(palette());
    painter.fillRect(rect(), colours.background);
    if (!m_report) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("The drawing of what to cut appears here."));
        return;
    }
    paintDipoleDrawing(painter, QRectF(rect()).adjusted(4, 4, -4, -4), *m_report, colours);
}
