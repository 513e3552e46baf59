// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: three blue diagonal strokes crossing a thick blue bar, on white.
QImage drawAppIcon(int sizePixels);
QIcon makeAppIcon();
