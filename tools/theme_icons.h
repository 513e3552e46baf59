// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The renderer of a program's icon into the hicolor icon theme, shared by the programs' icon
// tools: each passes the function that draws its own icon, so the installed menu entry shows the
// picture the running window draws. Runs at build time on machines without a display, which is
// why it needs no QGuiApplication.
//
//   <tool> <hicolor-dir> <icon-name> <size>...
//       writes <hicolor-dir>/<size>x<size>/apps/<icon-name>.png for each size

#include <QImage>

using IconDrawing = QImage (*)(int sizePixels);

// The tool's main: reads the arguments above and writes one PNG a size. Returns the exit status:
// 0 written, 1 a file cannot be written, 2 usage.
int renderThemeIcons(int argc, char* argv[], IconDrawing draw);
