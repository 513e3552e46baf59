// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "design_fault.h"

#include <string>

namespace brevan {

enum class DesignStep { One, Two };

// Words for a design the core cannot compute, as the OK buttons show them; each says what the
// user can change. Shared by the window and the command-line check so both refuse alike. Empty
// for DesignFault::None.
std::string refusalText(DesignFault fault, DesignStep step);

} // namespace brevan
