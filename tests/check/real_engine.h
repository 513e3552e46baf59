// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "nec/engine/nec2c_engine.h"

namespace brevan::check {

// The installed nec2c, as the command runs it.
inline const Engine& realEngine() {
    static const Engine engine = nec2cEngine({});
    return engine;
}

} // namespace brevan::check
