// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

// The picture above the input panels: a loaded dipole with its two coils and the dimensions
// A and B, 302 x 89 logical pixels, drawn for the given device pixel ratio so it stays crisp.
QPixmap drawAntennaDiagram(qreal devicePixelRatio);
