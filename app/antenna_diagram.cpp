// SPDX-License-Identifier: GPL-3.0-or-later
#include "antenna_diagram.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <cmath>

namespace {

// Everything below is in logical pixels of the 302 x 89 picture; the painter scales it to the
// device pixel ratio.
constexpr qreal kWidth = 302.0;
constexpr qreal kHeight = 89.0;

constexpr qreal kWireY = 44.5;
constexpr qreal kCentreX = kWidth / 2.0;
constexpr qreal kEndInsulatorX = 13.0; // centre of the left end insulator; the right one mirrors
constexpr qreal kCoilCentreFromMiddle = 71.0;
constexpr qreal kCoilHalfLength = 16.0;
constexpr int kCoilTurns = 5;
constexpr qreal kCoilLoopRadiusY = 7.0;

constexpr qreal kInsulatorWidth = 10.0;
constexpr qreal kInsulatorHeight = 6.0;
constexpr qreal kFeedSpacing = 3.0; // each feed line's offset from the centre
constexpr qreal kFeedBottom = 61.0;

constexpr qreal kDimensionAY = 70.5;
constexpr qreal kDimensionBY = 29.5;

constexpr QColor kWireColour(0, 0, 0);
constexpr QColor kInsulatorColour(0, 64, 224);
constexpr QColor kDimensionColour(128, 128, 128);
constexpr QColor kAuthorColour(255, 0, 255);

QFont pixelFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void drawInsulator(QPainter& painter, qreal centreX) {
    const QRectF body(centreX - kInsulatorWidth / 2.0, kWireY - kInsulatorHeight / 2.0,
                      kInsulatorWidth, kInsulatorHeight);
    painter.setPen(QPen(kInsulatorColour.darker(140), 1.0));
    painter.setBrush(kInsulatorColour);
    painter.drawRoundedRect(body, 2.0, 2.0);
}

// A coil seen from the side: the wire winds round the former, so each turn is a loop that rises
// above the wire, swings forward and closes below it before the next turn starts.
QPainterPath coilPath(qreal centreX) {
    const qreal start = centreX - kCoilHalfLength;
    const qreal pitch = 2.0 * kCoilHalfLength / (kCoilTurns + 1);
    const qreal loopRadiusX = pitch * 0.85;
    constexpr int kStepsPerTurn = 12; // smooth at this size, and cheap at start-up
    constexpr qreal kTwoPi = 6.283185307179586;

    QPainterPath path(QPointF(start, kWireY));
    const int steps = kCoilTurns * kStepsPerTurn;
    for (int i = 1; i <= steps; ++i) {
        const qreal t = kTwoPi * i / kStepsPerTurn;
        const qreal x = start + pitch * t / kTwoPi + loopRadiusX * (1.0 - std::cos(t));
        const qreal y = kWireY - kCoilLoopRadiusY * std::sin(t);
        path.lineTo(x, y);
    }
    path.lineTo(centreX + kCoilHalfLength, kWireY);
    return path;
}

void drawArrowHead(QPainter& painter, QPointF tip, qreal direction) {
    const qreal length = 5.0;
    const qreal halfWidth = 2.5;
    QPolygonF head;
    head << tip << QPointF(tip.x() - direction * length, tip.y() - halfWidth)
         << QPointF(tip.x() - direction * length, tip.y() + halfWidth);
    painter.drawPolygon(head);
}

// A dimension line with arrows at both ends and its letter set into a gap in the middle, as on
// a drawing; the short extension lines tie the ends to the points measured on the antenna.
void drawDimension(QPainter& painter, qreal left, qreal right, qreal y, qreal extensionTo,
                   const QString& letter) {
    painter.setPen(QPen(kDimensionColour, 1.0));
    painter.drawLine(QLineF(left, extensionTo, left, y + (y > extensionTo ? 3.0 : -3.0)));
    painter.drawLine(QLineF(right, extensionTo, right, y + (y > extensionTo ? 3.0 : -3.0)));

    const QFont font = pixelFont(12, true);
    const QFontMetricsF metrics(font);
    const qreal middle = (left + right) / 2.0;
    const qreal gap = metrics.horizontalAdvance(letter) / 2.0 + 3.0;
    painter.drawLine(QLineF(left, y, middle - gap, y));
    painter.drawLine(QLineF(middle + gap, y, right, y));

    painter.setPen(Qt::NoPen);
    painter.setBrush(kDimensionColour);
    drawArrowHead(painter, QPointF(left, y), -1.0);
    drawArrowHead(painter, QPointF(right, y), 1.0);

    painter.setPen(kDimensionColour.darker(130));
    painter.setFont(font);
    painter.drawText(QRectF(middle - gap, y - 8.0, 2.0 * gap, 16.0), Qt::AlignCenter, letter);
}

} // namespace

QPixmap drawAntennaDiagram(qreal devicePixelRatio) {
    QPixmap pixmap(QSize(static_cast<int>(std::lround(kWidth * devicePixelRatio)),
                         static_cast<int>(std::lround(kHeight * devicePixelRatio))));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);

    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    painter.setPen(kWireColour);
    painter.setFont(pixelFont(15, true));
    painter.drawText(QRectF(0.0, 1.0, kWidth, 20.0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Loaded Dipole Antenna"));

    const qreal rightEnd = kWidth - kEndInsulatorX;
    const qreal leftCoil = kCentreX - kCoilCentreFromMiddle;
    const qreal rightCoil = kCentreX + kCoilCentreFromMiddle;

    // The wire runs in straight pieces between insulators and coils, so the coils are not
    // drawn over a straight line that would hide their loops.
    QPen wirePen(kWireColour, 1.5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    painter.setPen(wirePen);
    painter.setBrush(Qt::NoBrush);
    const qreal segments[][2] = {
        {kEndInsulatorX, leftCoil - kCoilHalfLength},
        {leftCoil + kCoilHalfLength, rightCoil - kCoilHalfLength},
        {rightCoil + kCoilHalfLength, rightEnd},
    };
    for (const auto& segment : segments) {
        painter.drawLine(QLineF(segment[0], kWireY, segment[1], kWireY));
    }
    painter.drawPath(coilPath(leftCoil));
    painter.drawPath(coilPath(rightCoil));

    for (const qreal offset : {-kFeedSpacing, kFeedSpacing}) {
        painter.drawLine(QLineF(kCentreX + offset, kWireY, kCentreX + offset, kFeedBottom));
    }

    drawInsulator(painter, kEndInsulatorX);
    drawInsulator(painter, kCentreX);
    drawInsulator(painter, rightEnd);

    drawDimension(painter, kEndInsulatorX, rightEnd, kDimensionAY,
                  kWireY + kInsulatorHeight / 2.0 + 2.0, QStringLiteral("A"));
    // B's extension lines stop above the coil's loops rather than running into them.
    drawDimension(painter, kCentreX, rightCoil, kDimensionBY, kWireY - kCoilLoopRadiusY - 2.0,
                  QStringLiteral("B"));

    painter.setPen(kAuthorColour);
    painter.setFont(pixelFont(11, false)); // the regular face is loaded already
    painter.drawText(QRectF(0.0, kHeight - 15.0, kWidth - 4.0, 14.0),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Tolvane"));
    return pixmap;
}
