// SPDX-License-Identifier: GPL-3.0-or-later
#include "theme_icons.h"

#include <QDir>
#include <QString>

#include <cstdio>

int renderThemeIcons(int argc, char* argv[], IconDrawing draw) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <hicolor-dir> <icon-name> <size>...\n", argv[0]);
        return 2;
    }
    const QString themeDir = QString::fromLocal8Bit(argv[1]);
    const QString iconName = QString::fromLocal8Bit(argv[2]);

    for (int i = 3; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        if (!isNumber || size <= 0) {
            std::fprintf(stderr, "not an icon size: %s\n", argv[i]);
            return 2;
        }
        const QString appsDir = QStringLiteral("%1/%2x%2/apps").arg(themeDir).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(appsDir, iconName);
        if (!QDir().mkpath(appsDir) || !draw(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
