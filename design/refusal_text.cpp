// SPDX-License-Identifier: GPL-3.0-or-later
#include "refusal_text.h"

namespace brevan {

std::string refusalText(DesignFault fault, DesignStep step) {
    switch (fault) {
    case DesignFault::ZeroFrequency:
        return "The frequency reads as 0 MHz. Enter the design frequency (1.5 to 30 MHz).";
    case DesignFault::FullOuterNotPositive:
        return "B is too long for this frequency: each coil must sit within a quarter wave "
               "(234 / F ft) of the centre. Enter a shorter B or a lower frequency.";
    case DesignFault::OuterNotPositive:
        return "A must be more than twice B, so that wire is left beyond each coil. "
               "Enter a longer A or a shorter B.";
    case DesignFault::NoWireDiameter:
        return step == DesignStep::One ? "Pick the antenna wire SWG from the list (10 to 30)."
                                       : "Pick the coil wire SWG from the list (10 to 30).";
    case DesignFault::CoilRadiusNotPositive:
        return "The coil former diameter must be more than 0 mm. Enter the former diameter.";
    case DesignFault::NegativeInductance:
        return "The inductance from step 1 is negative, so no coil can be wound for it. "
               "Start the program again with a longer A or a shorter B.";
    case DesignFault::NonFinite:
        return step == DesignStep::One
                   ? "These numbers are too large to design with. Check the frequency, A and B."
                   : "These numbers are too large to design with. Check the former diameter "
                     "and the coil length.";
    case DesignFault::None: break;
    }
    return {};
}

} // namespace brevan
