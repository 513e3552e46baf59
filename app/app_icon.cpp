// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_icon.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QRectF>

#include <array>
#include <cmath>

namespace {

// The icon is laid out on a 32-unit grid and scaled, so every size shows the same picture.
constexpr qreal kGrid = 32.0;

constexpr QColor kIconBlue(0, 0, 224);

// At 16 and 24 pixels a scaled stroke falls between pixels and turns to grey mush; these floors
// keep the strokes and the bar solid there.
qreal atLeast(qreal scaled, qreal floorPixels) {
    return scaled < floorPixels ? floorPixels : scaled;
}

} // namespace

QImage drawAppIcon(int sizePixels) {
    QImage image(sizePixels, sizePixels, QImage::Format_ARGB32);
    image.fill(Qt::white);
    if (sizePixels <= 0) {
        return image;
    }

    // Raster painting on a QImage needs no QGuiApplication, which lets the build render the
    // installed PNGs with a plain command-line tool.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = sizePixels / kGrid;

    // The bar is snapped to whole pixels so its long edges stay sharp at every size.
    const qreal barHeight = std::round(atLeast(4.0 * unit, 2.0));
    const qreal barTop = std::round((sizePixels - barHeight) / 2.0);
    const qreal barLeft = std::round(3.0 * unit);
    painter.fillRect(QRectF(barLeft, barTop, sizePixels - 2.0 * barLeft, barHeight), kIconBlue);

    QPen stroke(kIconBlue, atLeast(2.5 * unit, 1.5), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(stroke);
    // Evenly spaced and parallel, each stroke crossing the bar at its own middle.
    const std::array<qreal, 3> crossings{9.5, 16.0, 22.5};
    for (const qreal centreX : crossings) {
        painter.drawLine(
            QLineF((centreX - 5.0) * unit, 27.0 * unit, (centreX + 5.0) * unit, 5.0 * unit));
    }
    return image;
}

QIcon makeAppIcon() {
    QIcon icon;
    // Title bars and task lists use these sizes; larger ones come from the installed theme
    // icons, so the window does not draw them at every start.
    for (const int size : {16, 24, 32, 48}) {
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    }
    return icon;
}
