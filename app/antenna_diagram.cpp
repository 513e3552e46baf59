#include "antenna_diagram.h"

QPixmap drawAntennaDiagram(qreal devicePixelRatio) {
    QPixmap pixmap(QSize(302, 89) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::white);
    return pixmap;
}
