// SPDX-License-Identifier: GPL-3.0-or-later
#include "check_icon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace {

// Laid out on a 32-unit grid and scaled, so every size shows the same picture.
constexpr qreal kGrid = 32.0;

// Brevan1-2's icon is all blue; the check's red curve and copper coil tell the two apart in a
// menu at a glance.
constexpr QColor kCurveRed(208, 32, 32);
constexpr QColor kCopper(184, 100, 24);
constexpr QColor kLineGrey(128, 128, 128);

// Below about 24 pixels a scaled stroke falls between pixels and turns to a grey smear; these
// floors keep the strokes solid.
qreal atLeast(qreal scaled, qreal floorPixels) {
    return std::max(scaled, floorPixels);
}

// A resonance's SWR curve: high on both sides, a narrow rounded dip to its lowest at the
// resonance. The shape of a resonance curve turned upside down, sampled finely enough that no
// corner shows even at 256 pixels.
QPainterPath dipCurve(qreal unit) {
    constexpr qreal kLeft = 3.5;
    constexpr qreal kRight = 28.5;
    constexpr qreal kCentre = 16.0;
    constexpr qreal kTop = 3.5;
    constexpr qreal kDepth = 12.0;
    constexpr qreal kHalfWidth = 3.0;
    constexpr int kSteps = 64;
    QPainterPath path;
    for (int step = 0; step <= kSteps; ++step) {
        const qreal x = kLeft + (kRight - kLeft) * step / kSteps;
        const qreal offset = (x - kCentre) / kHalfWidth;
        const QPointF point(x * unit, (kTop + kDepth / (1.0 + offset * offset)) * unit);
        if (step == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

void drawTwoToOneLine(QPainter& painter, qreal unit, int sizePixels) {
    // The 2:1 line is a hint, not the subject: only where there are pixels enough to show it.
    if (sizePixels < 32) {
        return;
    }
    QPen pen(kLineGrey, atLeast(1.0 * unit, 1.0), Qt::DashLine, Qt::FlatCap);
    painter.setPen(pen);
    const qreal y = std::round(11.0 * unit) + 0.5;
    painter.drawLine(QPointF(3.0 * unit, y), QPointF(29.0 * unit, y));
}

// The coil seen from the side: a lead in, loops of wire, a lead out, along one axis.
void drawCoil(QPainter& painter, qreal unit) {
    QPen wire(kCopper, atLeast(2.0 * unit, 1.3), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(wire);
    painter.setBrush(Qt::NoBrush);
    const qreal axisY = 24.0 * unit;
    const qreal loopHalfHeight = 5.0 * unit;
    // Four turns need 32 pixels to stay apart; smaller icons show three, wider spaced.
    const int turns = unit < 1.0 ? 3 : 4;
    const qreal pitch = (turns == 3 ? 6.5 : 5.0) * unit;
    const qreal loopHalfWidth = (turns == 3 ? 3.8 : 3.2) * unit;
    const qreal firstX = 16.0 * unit - (turns - 1) * pitch / 2.0;

    painter.drawLine(QPointF(2.0 * unit, axisY), QPointF(firstX - loopHalfWidth, axisY));
    for (int turn = 0; turn < turns; ++turn) {
        const QPointF centre(firstX + turn * pitch, axisY);
        painter.drawEllipse(centre, loopHalfWidth, loopHalfHeight);
    }
    const qreal lastRight = firstX + (turns - 1) * pitch + loopHalfWidth;
    painter.drawLine(QPointF(lastRight, axisY), QPointF(30.0 * unit, axisY));
}

} // namespace

QImage drawCheckIcon(int sizePixels) {
    QImage image(std::max(sizePixels, 0), std::max(sizePixels, 0), QImage::Format_ARGB32);
    image.fill(Qt::white);
    if (sizePixels <= 0) {
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = sizePixels / kGrid;

    drawTwoToOneLine(painter, unit, sizePixels);
    drawCoil(painter, unit);
    QPen curve(kCurveRed, atLeast(2.5 * unit, 1.5), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(curve);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(dipCurve(unit));
    return image;
}

QIcon makeCheckIcon() {
    QIcon icon;
    // Title bars and task lists use these sizes; larger ones come from the installed theme.
    for (const int size : {16, 24, 32, 48}) {
        icon.addPixmap(QPixmap::fromImage(drawCheckIcon(size)));
    }
    return icon;
}
