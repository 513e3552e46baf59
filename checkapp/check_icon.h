// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

// The check window's icon: a coil of copper wire and, above it, the dip of an SWR curve down to
// its resonance, on white. Drawn in code so the window and the installed theme icons are the
// same picture; raster painting on a QImage needs no QGuiApplication, so a build-time tool can
// render the theme's PNGs.
QImage drawCheckIcon(int sizePixels);
QIcon makeCheckIcon();
