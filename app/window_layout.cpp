// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_layout.h"

#include <cmath>
#include <cstring>

namespace layout {

int toPixels(int twips) {
    return static_cast<int>(std::lround(twips / double(kTwipsPerPixel)));
}

const ControlSpec* findControl(const char* name) {
    for (const ControlSpec& row : kControls) {
        if (std::strcmp(row.name, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace layout
