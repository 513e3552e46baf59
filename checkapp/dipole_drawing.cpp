// SPDX-License-Identifier: GPL-3.0-or-later
#include "dipole_drawing.h"

#include "coil/coil_model.h"
#include "dimension_rows.h"
#include "report/report_format.h"
#include "swr_plot.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using brevan::check::CheckReport;
using brevan::check::CutList;
using dimension_rows::Dimension;
using dimension_rows::DimensionRows;
using dimension_rows::paintDimension;
using dimension_rows::PlacedDimension;
using dimension_rows::unitOf;

constexpr int kMostTurnsDrawn = 60; // beyond this, or closer than 2.5 pen units, turns are elided
constexpr int kTurnsAtEachEnd = 4;  // drawn at each end of an elided winding

QString metresText(const CheckReport& report, double metres) {
    return QString::fromStdString(brevan::check::Lengths(report.inputs.units).m(metres, 3));
}

QString millimetresText(const CheckReport& report, double metres) {
    return QString::fromStdString(
        brevan::check::withInches(brevan::check::Lengths(report.inputs.units), metres,
                                  brevan::check::number(metres * 1000, 1) + " mm"));
}

double lengthOf(const std::vector<MarkedLength>& pieces, const std::string& label) {
    for (const MarkedLength& piece : pieces) {
        if (piece.label == label) {
            return piece.metres;
        }
    }
    return 0.0;
}

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

// The half dipole along the wire, laid out: the pieces in metres, where they fall on the
// drawing, and where each length's line and words go. The coil keeps a readable width even
// where its true length is a few pixels; everything else, the dimensions included, is to scale.
struct HalfDipole {
    double inner = 0.0;
    double coil = 0.0;
    double outer = 0.0;
    std::optional<double> tipChange;
    double trim = 0.0;
    double coilEnd = 0.0;
    double trimmedTip = 0.0;
    double wireEnd = 0.0;
    double reach = 0.0;
    double left = 0.0;
    double scale = 1.0;
    double top = 0.0;    // of the title
    double wireY = 0.0;  // absolute
    double height = 0.0; // from the title's top to the lowest words
    double width = 0.0;
    double tick = 0.0;
    QRectF coilBox;
    QRectF feedText;
    QRectF tipText;
    std::vector<PlacedDimension> dims; // y relative to the wire

    double xAt(double metres) const { return left + metres * scale; }
    // The wire and its words lower down, the title where it is.
    void lowerWire(double dy) {
        wireY += dy;
        height += dy;
        coilBox.translate(0, dy);
        feedText.translate(0, dy);
        tipText.translate(0, dy);
    }
};

const QString kFeed = QStringLiteral("feed");
const QString kTip = QStringLiteral("tip");

HalfDipole layOutHalfDipole(double x, double top, double width, const CheckReport& report,
                            const DrawingColours& colours, const QFontMetricsF& metrics) {
    const double unit = unitOf(metrics);
    const double h = metrics.height();
    const std::vector<MarkedLength> pieces = markedLengths(report);
    const CutList& cut = report.cut;
    HalfDipole l;
    l.inner = lengthOf(pieces, "Inner wire");
    l.coil = lengthOf(pieces, "Coil");
    l.outer = cut.outerWire;
    l.tipChange = shownTipChange(report);
    l.trim = l.tipChange.value_or(0.0);
    l.coilEnd = l.inner + l.coil;
    l.trimmedTip = l.coilEnd + std::max(l.outer + l.trim, 0.0);
    l.wireEnd = l.trimmedTip + cut.tipSpare;
    l.reach = std::max(l.coilEnd + l.outer, l.wireEnd);
    l.width = width;

    l.left = x + metrics.horizontalAdvance(kFeed) + 8 * unit;
    const double right = x + width - metrics.horizontalAdvance(kTip) - 8 * unit;
    l.scale = std::max(right - l.left, 1.0) / std::max(l.reach, 1e-6);

    // The coil, at least a little wider than it is tall so its turns can be seen; never left
    // of the feed point: with B = 0 the coil starts there.
    const double coilHeight = h * 0.9;
    const double coilWidth = std::max(l.coil * l.scale, coilHeight * 1.2);
    const double coilLeft = std::max(l.xAt(l.inner + l.coil / 2) - coilWidth / 2, l.xAt(0));
    l.coilBox = QRectF(coilLeft, -coilHeight / 2, coilWidth, coilHeight);

    // Nearest the wire the lengths of single pieces, farther out those that span them, in an
    // order that lets the words of the short pieces at the tip stand clear of the leaders.
    std::vector<Dimension> above;
    above.push_back({l.xAt(l.coilEnd), l.xAt(l.coilEnd + l.outer),
                     QStringLiteral("Outer wire ") + metresText(report, l.outer), colours.text,
                     true});
    if (!cut.coilsAtFeed) {
        above.push_back({l.xAt(0), l.xAt(l.inner),
                         QStringLiteral("Inner wire ") + metresText(report, l.inner), colours.text,
                         true});
    }
    above.push_back({l.coilBox.left(), l.coilBox.right(),
                     QStringLiteral("Coil ") + millimetresText(report, l.coil), colours.coil,
                     true});
    std::vector<Dimension> below;
    below.push_back({l.xAt(l.coilEnd), l.xAt(l.wireEnd),
                     QStringLiteral("Outer wire to cut ") + metresText(report, cut.outerWireToCut),
                     colours.text, false});
    if (l.tipChange) {
        const bool adds = *l.tipChange >= 0;
        const double designedTip = l.coilEnd + l.outer;
        const QString what = *l.tipChange == 0.0 ? QStringLiteral(": do not cut")
                             : adds              ? QStringLiteral(": add at the tip")
                                                 : QStringLiteral(": cut from the tip");
        below.push_back(
            {l.xAt(std::min(designedTip, l.trimmedTip)), l.xAt(std::max(designedTip, l.trimmedTip)),
             (cutFromSweep(report) ? QStringLiteral("As measured, trim ")
                                   : QStringLiteral("Trim ")) +
                 (adds ? QStringLiteral("+") : QString()) + metresText(report, *l.tipChange) + what,
             adds ? colours.trimAdded : colours.trimCut, false});
    }
    below.push_back({l.xAt(l.trimmedTip), l.xAt(l.wireEnd),
                     QStringLiteral("Spare ") + metresText(report, cut.tipSpare), colours.spare,
                     false});

    const DimensionRows rows(metrics, x, x + width);
    l.tick = rows.tick();
    l.dims = rows.place(above);
    const std::vector<PlacedDimension> placedBelow = rows.place(below);
    l.dims.insert(l.dims.end(), placedBelow.begin(), placedBelow.end());

    // The feed's and the tip's words beside the wire's ends, and above and below the wire as
    // much room as the rows of words take.
    l.feedText = QRectF(x, -h / 2, metrics.horizontalAdvance(kFeed), h);
    l.tipText = QRectF(l.xAt(l.reach) + 8 * unit, -h / 2, metrics.horizontalAdvance(kTip), h);
    double up = h / 2;
    double down = h / 2;
    for (const PlacedDimension& d : l.dims) {
        up = std::max(up, -d.textBox.top());
        down = std::max(down, d.textBox.bottom());
    }
    const double titleHeight = h * 1.3;
    l.top = top;
    l.wireY = top + titleHeight + up;
    l.height = titleHeight + up + down;
    l.coilBox.translate(0, l.wireY);
    l.feedText.translate(0, l.wireY);
    l.tipText.translate(0, l.wireY);
    return l;
}

void paintHalfDipole(QPainter& p, const HalfDipole& l, const CheckReport& report,
                     const DrawingColours& colours, const QFontMetricsF& metrics) {
    const double unit = unitOf(metrics);
    const double wireY = l.wireY;
    const double designedTip = l.coilEnd + l.outer;

    // The wire as designed, then what the trim adds or takes and the spare beyond it.
    p.setPen(QPen(colours.wire, 2 * unit, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(l.xAt(0), wireY),
               QPointF(l.xAt(std::min(designedTip, l.trimmedTip)), wireY));
    if (l.trim > 0) {
        p.setPen(QPen(colours.trimAdded, 3 * unit, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(l.xAt(designedTip), wireY), QPointF(l.xAt(l.trimmedTip), wireY));
    } else if (l.trim < 0) {
        p.setPen(QPen(colours.trimCut, 2 * unit, Qt::DashLine, Qt::FlatCap));
        p.drawLine(QPointF(l.xAt(l.trimmedTip), wireY), QPointF(l.xAt(designedTip), wireY));
        for (const double at : {l.trimmedTip, designedTip}) {
            p.drawLine(QPointF(l.xAt(at) - 3 * unit, wireY - 4 * unit),
                       QPointF(l.xAt(at) + 3 * unit, wireY + 4 * unit));
        }
    }
    p.setPen(QPen(colours.spare, 2 * unit, Qt::DotLine, Qt::FlatCap));
    p.drawLine(QPointF(l.xAt(l.trimmedTip), wireY), QPointF(l.xAt(l.wireEnd), wireY));

    const QRectF& coilBox = l.coilBox;
    const double coilHeight = coilBox.height();
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
    p.drawEllipse(QPointF(l.xAt(0), wireY), 3.5 * unit, 3.5 * unit);
    p.drawRect(QRectF(l.xAt(l.wireEnd), wireY - 3 * unit, 6 * unit, 6 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawText(QPointF(l.feedText.left(), l.feedText.top() + metrics.ascent()), kFeed);
    p.drawText(QPointF(l.tipText.left(), l.tipText.top() + metrics.ascent()), kTip);

    for (const PlacedDimension& d : l.dims) {
        paintDimension(p, d, wireY, unit, l.tick, metrics);
    }

    p.setPen(colours.text);
    const std::optional<brevan::check::WireShape> v = hungShape(report);
    QString title = v ? QStringLiteral("One leg of the inverted V (") +
                            QString::fromStdString(brevan::check::number(v->legAngle, 0)) +
                            QStringLiteral(" deg between the legs), to scale along the wire "
                                           "(cut two)")
                      : QStringLiteral("One half of the dipole, to scale along the wire (cut two)");
    if (cutFromSweep(report)) {
        title += QStringLiteral(": the trim the measured sweep asks for");
    } else if (!l.tipChange) {
        title += report.antenna ? QStringLiteral(": no trim reaches F, tips cut as designed")
                                : QStringLiteral(": the trim follows from the full-wave check");
    }
    const double left = l.feedText.left();
    double titleWidth = l.width;
    if (v) {
        const double sketchWidth = metrics.height() * 3;
        titleWidth -= sketchWidth + metrics.height();
        paintVSketch(p,
                     QRectF(left + l.width - sketchWidth, l.top + unit, sketchWidth,
                            metrics.height() - 2 * unit),
                     *v, colours.wire, unit);
        p.setPen(colours.text);
    }
    p.drawText(QPointF(left, l.top + metrics.ascent()),
               metrics.elidedText(title, Qt::ElideRight, titleWidth));
}

// The drawing laid out in `rect`: where there is room under the half dipole for a coil of a
// readable size, the coil goes there, so no space is left empty under the wire; otherwise the
// coil stands beside it, and the wire with its lengths sits in the middle of the height under
// the title.
struct Layout {
    HalfDipole half;
    QRectF coil;
};

constexpr double kCoilBelowLines = 10.0; // the least height, in lines, of a coil under the wire

Layout layOut(const QRectF& rect, const CheckReport& report, const DrawingColours& colours,
              const QFontMetricsF& metrics) {
    const double h = metrics.height();
    HalfDipole wide =
        layOutHalfDipole(rect.left(), rect.top(), rect.width(), report, colours, metrics);
    const double coilRoom = rect.height() - wide.height - h;
    if (coilRoom >= kCoilBelowLines * h) {
        return {wide, QRectF(rect.left(), rect.top() + wide.height + h, rect.width(), coilRoom)};
    }
    const double coilWidth = std::max(rect.width() * 0.28, h * 10);
    HalfDipole beside = layOutHalfDipole(rect.left(), rect.top(), rect.width() - coilWidth - h,
                                         report, colours, metrics);
    beside.lowerWire(std::max((rect.height() - beside.height) / 2, 0.0));
    return {beside, QRectF(rect.right() - coilWidth, rect.top(), coilWidth, rect.height())};
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
    const QString windingText = QStringLiteral("winding ") + millimetresText(report, winding);
    p.drawText(QPointF(room.center().x() - metrics.horizontalAdvance(windingText) / 2,
                       y + metrics.height() * 0.3 + metrics.ascent()),
               windingText);
    const QString title =
        QString::fromStdString(brevan::check::turnsText(turns)) + QStringLiteral(" of ") +
        QString::fromStdString(
            report.inputs.units == brevan::check::LengthUnits::Imperial
                ? brevan::check::awgText(report.inputs.coilWireSwg, report.inputs.coilWireSize,
                                         brevan::check::coilWireMm(report.inputs))
                : brevan::check::wireName(report.inputs.coilWireSwg, report.inputs.coilWireSize)) +
        QStringLiteral("\non a ") +
        QString::fromStdString(brevan::check::withInches(
            brevan::check::Lengths(report.inputs.units), report.inputs.formerMm / 1000,
            brevan::check::number(report.inputs.formerMm, 1) + " mm")) +
        QStringLiteral(" former");
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
    c.coil = readableOn(QColor(0xb0, 0x5a, 0x10), c.background, kLineContrast);
    c.former = blend(c.background, c.text, 0.12);
    c.trimAdded = readableOn(QColor(0x2a, 0x8f, 0x3a), c.background, kLineContrast);
    c.trimCut = readableOn(QColor(0xc8, 0x33, 0x2b), c.background, kLineContrast);
    c.spare = readableOn(blend(c.background, c.text, 0.55), c.background, kLineContrast);
    return c;
}

void paintDipoleDrawing(QPainter& painter, const QRectF& rect, const CheckReport& report,
                        const DrawingColours& colours) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, colours.background);
    const Layout layout = layOut(rect, report, colours, metrics);
    paintHalfDipole(painter, layout.half, report, colours, metrics);
    paintCoil(painter, layout.coil, report, colours, metrics);
    painter.restore();
}

DipoleLayout dipoleLayout(const QRectF& rect, const CheckReport& report,
                          const QFontMetricsF& metrics) {
    const Layout layout = layOut(rect, report, DrawingColours{}, metrics);
    const HalfDipole& half = layout.half;
    DipoleLayout out;
    out.wirePart = QRectF(half.feedText.left(), half.top, half.width, half.height);
    out.coilPart = layout.coil;
    out.wireY = half.wireY;
    out.texts.push_back({kFeed, half.feedText});
    out.texts.push_back({kTip, half.tipText});
    for (const PlacedDimension& d : half.dims) {
        out.texts.push_back({d.d.text, d.textBox.translated(0, half.wireY)});
        for (const double x : {d.d.from, d.d.to}) {
            out.leaders.emplace_back(x, half.wireY, x, half.wireY + d.lineY);
        }
    }
    return out;
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
                       QStringLiteral(" ") + metresText(report, piece.metres) + QStringLiteral(",");
    }
    description += QStringLiteral(" outer wire to cut ") +
                   metresText(report, report.cut.outerWireToCut) + QStringLiteral(".");
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
    return {h * 48, h * 13};
}

QSize DipoleDrawing::minimumSizeHint() const {
    const int h = fontMetrics().height();
    // Room for the title, two rows of words above the wire and four below it.
    return {h * 30, h * 12};
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
