#include "app_icon.h"

QImage drawAppIcon(int sizePixels) {
    QImage image(sizePixels, sizePixels, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

QIcon makeAppIcon() { return QIcon(QPixmap::fromImage(drawAppIcon(32))); }
